#include "platform/UniqueFd.h"

#include <unistd.h>

namespace platform {

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
  if (this != &other) Reset(other.Release());
  return *this;
}

int UniqueFd::Release() {
  const int fd = fd_;
  fd_ = -1;
  return fd;
}

bool UniqueFd::Reset(int fd) {
  bool ok = true;
  if (fd_ >= 0 && fd_ != fd) ok = ::close(fd_) == 0;
  fd_ = fd;
  return ok;
}

}  // namespace platform
