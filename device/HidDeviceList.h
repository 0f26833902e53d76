#pragma once
// The open command interfaces (usage page 0xFF01, usage 1) of every connected keyboard of the
// device table, and the four ways to send a 64-byte command to one of them. A device index is a
// position in the list; -1 means "no keyboard" and every operation on it does nothing.
//
// Threads: the worker (refresh and transfers), the UI thread (custom-light edits) and the audio
// thread (music level) may call any operation at any time. The list is guarded: a refresh never
// frees a record while another thread sends through it (the send keeps it alive and the device is
// closed when that send returns). Two transfers to one device are serialised report by report, not
// as a whole; callers keep multi-report transfers on one thread.
//
// Usage on every device refresh:  list.CloseAll(); list.Refresh(); list.SetOpen(true);
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "device/DeviceFilter.h"
#include "device/HidDeviceRecord.h"

// One command: byte 0 is the report id (7 for the feature family; the output family's payload
// starts with its signature and WriteOutput puts report id 0 in front).
using HidPayload = std::array<uint8_t, 64>;

class HidDeviceList {
 public:
  static constexpr uint16_t kCommandUsagePage = 0xFF01;
  static constexpr uint16_t kCommandUsage = 1;
  static constexpr std::chrono::milliseconds kPace{32};

  // Waits the given time; injectable so that tests can count waits instead of sleeping.
  using Sleeper = std::function<void(std::chrono::nanoseconds)>;

  // The process-wide list, created on first use (thread-safe), closed at process exit.
  static HidDeviceList& Instance();

  HidDeviceList();
  ~HidDeviceList();  // CloseAll, then hid_exit
  HidDeviceList(const HidDeviceList&) = delete;
  HidDeviceList& operator=(const HidDeviceList&) = delete;

  // Appends an accepted vendor/product pair (device table order). `pathPattern` must occur in
  // the interface's identity text (compared case-insensitively).
  void AddFilter(int32_t vendorId, int32_t productId, const std::string& name,
                 const std::string& pathPattern);
  std::vector<DeviceFilter> Filters() const;
  void ClearFilters();

  // Clears the open flag and drops every record (their devices close when no send uses them).
  // Filters stay.
  void CloseAll();
  // Enumerates all HID interfaces and opens every command interface accepted by a filter,
  // appending one record per interface in enumeration order. Does not set the open flag.
  void Refresh();
  void SetOpen(bool open);
  bool IsOpen() const;

  int Count() const;
  // Index of the first record with both ids, or -1.
  int FindDevice(int32_t vendorId, int32_t productId) const;
  // Whether the last refresh found a command interface with both ids that it was not allowed
  // to open (permission denied on the hidraw node), as opposed to absent or gone away.
  bool AccessDenied(int32_t vendorId, int32_t productId) const;
  std::optional<HidDeviceInfo> DeviceInfo(int index) const;

  // Waits 32 ms, then sends the payload as a 64-byte feature report. Returns false at once,
  // without waiting, when the list is closed or the index is not valid; otherwise true when the
  // library reports success (false also when the device went away during the wait).
  bool SendFeaturePaced(const HidPayload& payload, int index);
  // As SendFeaturePaced without the wait; true when the library reports success.
  bool SendFeature(const HidPayload& payload, int index);
  // Writes report id 0 + payload (65 bytes) as an output report; a write of 0 or fewer bytes is
  // repeated once after 32 ms. True when the last write transferred more than 0 bytes.
  bool WriteOutput(const HidPayload& payload, int index);
  // Asks for the firmware version (request 07 02, reply 07 hi lo) after a 32 ms wait; a reply
  // with another report id is asked for once more. Writes `value` and returns true only for a
  // reply with report id 7; otherwise leaves `value` unchanged and returns false.
  bool ReadFirmwareVersion(int index, uint16_t& value);

  // Replaces the wait used for pacing (default: a precise monotonic sleep). Call before any
  // send, from the thread that owns the list's set-up.
  void SetSleeper(Sleeper sleeper);

 private:
  std::shared_ptr<HidDeviceRecord> Acquire(int index) const;
  void Wait(std::chrono::nanoseconds duration) const;

  mutable std::mutex mutex_;  // guards records_ and filters_
  std::vector<std::shared_ptr<HidDeviceRecord>> records_;
  std::vector<DeviceFilter> filters_;
  std::vector<std::pair<int32_t, int32_t>> denied_;  // vendor/product of the last refresh
  std::atomic<bool> open_{false};
  Sleeper sleeper_;
};
