#pragma once
// One open handle on one interface of a virtual keyboard (what hid_open_path returns). Input
// reports the keyboard emits while the handle is open queue here until read. After an unplug
// every operation fails, as an open hidraw node does when its device goes away.
// Thread-safe; a blocked Read wakes on a report, on unplug and on time-out.
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

namespace vkbd {

class VirtualKeyboard;

class VirtualPort {
 public:
  VirtualPort(std::shared_ptr<VirtualKeyboard> keyboard, int interfaceIndex);
  ~VirtualPort();
  VirtualPort(const VirtualPort&) = delete;
  VirtualPort& operator=(const VirtualPort&) = delete;

  int InterfaceIndex() const { return interface_; }
  VirtualKeyboard& Keyboard() const { return *keyboard_; }

  // hidapi semantics: bytes transferred, 0 on read time-out, -1 on failure.
  int Write(const uint8_t* data, size_t length);
  int SendFeature(const uint8_t* data, size_t length);
  int GetFeature(uint8_t* data, size_t length);
  // timeoutMs < 0 waits until a report arrives or the device goes away.
  int Read(uint8_t* data, size_t length, int timeoutMs);

  // Called by the keyboard.
  void Deliver(std::vector<uint8_t> report);
  void Disconnect();
  bool Connected() const;

 private:
  const std::shared_ptr<VirtualKeyboard> keyboard_;
  const int interface_;
  mutable std::mutex mutex_;
  std::condition_variable arrived_;
  std::deque<std::vector<uint8_t>> queue_;
  bool gone_ = false;
};

}  // namespace vkbd
