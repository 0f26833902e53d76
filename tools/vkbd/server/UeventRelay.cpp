#include "tools/vkbd/server/UeventRelay.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

#include "tools/vkbd/Uevents.h"

namespace vkbd {

namespace {
constexpr const char* kSuffix = ".uevents";
constexpr int kBacklog = 8;
}  // namespace

UeventRelay::~UeventRelay() {
  const std::lock_guard lock(mutex_);
  for (const int fd : listeners_) close(fd);
  if (listenFd_ >= 0) unlink(path_.c_str());
}

bool UeventRelay::Listen(const std::string& commandSocket, std::string& error) {
  path_ = commandSocket + kSuffix;
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  if (path_.size() >= sizeof addr.sun_path) {
    error = "socket path too long: " + path_;
    return false;
  }
  unlink(path_.c_str());
  std::memcpy(addr.sun_path, path_.c_str(), path_.size() + 1);
  const int fd = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
  if (fd < 0 || bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0 ||
      listen(fd, kBacklog) != 0) {
    error = "cannot listen on " + path_ + ": " + std::strerror(errno);
    if (fd >= 0) close(fd);
    return false;
  }
  listenFd_ = fd;
  // Like the connection threads, it ends with the process.
  std::thread(&UeventRelay::AcceptLoop, this).detach();
  return true;
}

void UeventRelay::AcceptLoop() {
  for (;;) {
    const int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) {
      if (errno == EINTR) continue;
      return;
    }
    const std::lock_guard lock(mutex_);
    listeners_.push_back(fd);
  }
}

void UeventRelay::Broadcast(const KeyboardSpec& spec, int port, bool added) {
  const std::lock_guard lock(mutex_);
  for (const std::string& event : HidrawUevents(spec, port, added, sequence_)) {
    std::erase_if(listeners_, [&](int fd) {
      if (send(fd, event.data(), event.size(), MSG_NOSIGNAL) >= 0) return false;
      close(fd);
      return true;
    });
  }
}

}  // namespace vkbd
