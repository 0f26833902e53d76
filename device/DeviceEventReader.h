#pragma once
// Keeps the event interface (usage page 0xFFFF, usage 1) of one device table entry open on a
// thread of its own and posts every event report (report id 5) as the device event message
// 0x0444 with wParam = device type and lParam = the event byte (report byte 2).
//
// Threads: Start, Restart and Stop are called from one thread (the UI thread); the poster is
// called on the reader thread and must be thread-safe (the program wires it to Tavex's
// PostMessage). The destructor stops the thread and closes the device.
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <thread>

#include "device/HidHandle.h"

class DeviceEventReader {
 public:
  static constexpr uint32_t kDeviceEventMessage = 0x0444;
  static constexpr uint16_t kEventUsagePage = 0xFFFF;
  static constexpr uint16_t kEventUsage = 1;
  static constexpr uint8_t kEventReportId = 5;
  static constexpr int kEventReportLength = 4;
  static constexpr int kReadTimeoutMs = 3000;
  static constexpr int kPassPauseMs = 10;

  using Poster = std::function<void(uint32_t message, uintptr_t wParam, intptr_t lParam)>;

  DeviceEventReader() = default;
  ~DeviceEventReader();
  DeviceEventReader(const DeviceEventReader&) = delete;
  DeviceEventReader& operator=(const DeviceEventReader&) = delete;

  // Stops a running reader, keeps the arguments, then Restart().
  void Start(Poster poster, int32_t vendorId, int32_t productId, int32_t deviceType);
  // Stops the reader and closes the device, then opens the first event interface with the ids
  // (if any is attached) and starts the reader thread on it. A call while a restart is in progress
  // returns at once.
  void Restart();
  // Stops the reader thread and closes the device.
  void Stop();

  // True while the reader thread runs on an open event interface.
  bool IsReading() const { return run_; }

  // The event byte of an input report, or nothing: only a whole report (4 bytes) with id 5 is an
  // event; a shorter read is a broken transfer, not a key. Never reads past `length`.
  static std::optional<uint8_t> DecodeEvent(const uint8_t* report, int length);

 private:
  void StopThread();
  void ReaderLoop();
  int ReadPass(uint8_t* buffer, int length);

  Poster poster_;  // written only while no reader thread runs
  int32_t vendorId_ = 0;
  int32_t productId_ = 0;
  int32_t deviceType_ = 0;

  std::atomic<bool> run_{false};
  std::atomic<bool> busy_{false};
  std::atomic<bool> restarting_{false};
  std::thread thread_;
  HidHandle device_;  // used by the reader thread while it runs, by Restart/Stop otherwise
};
