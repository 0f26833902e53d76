// One running copy per user: an advisory lock (flock) on a per-user lock file, held for the
// life of the object. Any thread may acquire; the object belongs to its holder.
#pragma once

#include <optional>
#include <string>

namespace platform {

class InstanceLock {
 public:
  // Locks $XDG_RUNTIME_DIR/<name>.lock (else /tmp/<name>-<uid>.lock). Empty when another
  // process (or another InstanceLock of this one) holds it. When the lock file cannot be
  // opened or locked for another reason the result holds nothing (HoldsLock() is false): the
  // program goes on without single-instance protection rather than refusing to start.
  static std::optional<InstanceLock> Acquire(const std::string& name);

  // Where Acquire puts the lock file of `name`; empty for a name that is not one file name.
  static std::string LockPath(const std::string& name);

  InstanceLock(InstanceLock&& other) noexcept;
  InstanceLock& operator=(InstanceLock&& other) noexcept;
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;
  ~InstanceLock();

  bool HoldsLock() const { return fd_ >= 0; }

 private:
  explicit InstanceLock(int fd) : fd_(fd) {}
  void Release();

  int fd_ = -1;  // open lock file, locked; closed (and so unlocked) with the object
};

}  // namespace platform
