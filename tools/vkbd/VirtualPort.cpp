#include "tools/vkbd/VirtualPort.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <utility>

#include "tools/vkbd/VirtualKeyboard.h"

namespace vkbd {

VirtualPort::VirtualPort(std::shared_ptr<VirtualKeyboard> keyboard, int interfaceIndex)
    : keyboard_(std::move(keyboard)), interface_(interfaceIndex) {}

VirtualPort::~VirtualPort() { keyboard_->OnPortClosed(); }

bool VirtualPort::Connected() const {
  const std::lock_guard lock(mutex_);
  return !gone_;
}

int VirtualPort::Write(const uint8_t* data, size_t length) {
  if (!Connected()) return -1;
  return keyboard_->OnOutput(interface_, data, length);
}

int VirtualPort::SendFeature(const uint8_t* data, size_t length) {
  if (!Connected()) return -1;
  return keyboard_->OnFeatureSet(interface_, data, length);
}

int VirtualPort::GetFeature(uint8_t* data, size_t length) {
  if (!Connected()) return -1;
  return keyboard_->OnFeatureGet(interface_, data, length);
}

int VirtualPort::Read(uint8_t* data, size_t length, int timeoutMs) {
  std::unique_lock lock(mutex_);
  const auto ready = [this] { return gone_ || !queue_.empty(); };
  if (timeoutMs < 0) {
    arrived_.wait(lock, ready);
  } else if (!arrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready)) {
    return 0;
  }
  if (queue_.empty()) return -1;  // gone
  const std::vector<uint8_t> report = std::move(queue_.front());
  queue_.pop_front();
  const size_t n = std::min(length, report.size());
  if (n && data) std::memcpy(data, report.data(), n);
  return static_cast<int>(n);
}

void VirtualPort::Deliver(std::vector<uint8_t> report) {
  {
    const std::lock_guard lock(mutex_);
    if (gone_) return;
    queue_.push_back(std::move(report));
  }
  arrived_.notify_all();
}

void VirtualPort::Disconnect() {
  {
    const std::lock_guard lock(mutex_);
    gone_ = true;
    queue_.clear();
  }
  arrived_.notify_all();
}

}  // namespace vkbd
