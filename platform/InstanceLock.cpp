#include "platform/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/FileSystem.h"
#include "platform/UserFolders.h"

namespace platform {
namespace {

constexpr mode_t kLockFileMode = 0600;

}  // namespace

std::string InstanceLock::LockPath(const std::string& name) {
  if (!IsPlainFileName(name)) return {};
  const std::string runtime = GetEnvString("XDG_RUNTIME_DIR");
  if (!runtime.empty() && runtime.front() == '/' && IsDirectory(runtime))
    return runtime + "/" + name + ".lock";
  return "/tmp/" + name + "-" + std::to_string(getuid()) + ".lock";
}

std::optional<InstanceLock> InstanceLock::Acquire(const std::string& name) {
  const std::string path = LockPath(name);
  if (path.empty()) return InstanceLock(-1);
  // Close-on-exec: programs we start must not inherit (and so keep) the lock. No symlinks, and
  // only a file of our own, since the fallback lives in a folder every user can write.
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, kLockFileMode);
  if (fd < 0) return InstanceLock(-1);
  InstanceLock lock(fd);
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != getuid()) {
    lock.Release();
    return lock;
  }
  int result;
  do {
    result = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  if (result == 0) return lock;
  if (errno == EWOULDBLOCK) return std::nullopt;
  lock.Release();  // locking unsupported here: no protection, but no refusal either
  return lock;
}

InstanceLock::InstanceLock(InstanceLock&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }

InstanceLock& InstanceLock::operator=(InstanceLock&& other) noexcept {
  if (this != &other) {
    Release();
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

InstanceLock::~InstanceLock() { Release(); }

void InstanceLock::Release() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

}  // namespace platform
