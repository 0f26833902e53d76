#pragma once
// One opened command interface of a keyboard. Created by HidDeviceList::Refresh and shared
// between the list and the senders that are using it at the moment: a refresh drops the list's
// reference, and the device is closed when the last sender has finished (so a refresh never
// closes a device under another thread's transfer). Report I/O on one record is serialised.
#include <cstdint>
#include <mutex>
#include <string>

#include "device/HidHandle.h"

// The identifying fields of a record, as a value (for display and tests).
struct HidDeviceInfo {
  int32_t index = -1;         // position in the list when the record was added
  uint16_t vendorId = 0;
  uint16_t productId = 0;
  std::string path;           // hidapi path as enumerated (at most 1023 bytes kept)
  std::string identity;       // "HID\VID_xxxx&PID_xxxx&MI_xx\<path>"
  std::string manufacturer;   // UTF-8; empty when unreadable
  std::string product;        // UTF-8; empty when unreadable
  std::string serial;         // always empty
  int32_t releaseNumber = 0;  // bcdDevice
};

class HidDeviceRecord {
 public:
  HidDeviceRecord(HidDeviceInfo info, HidHandle device);
  HidDeviceRecord(const HidDeviceRecord&) = delete;
  HidDeviceRecord& operator=(const HidDeviceRecord&) = delete;

  const HidDeviceInfo& Info() const { return info_; }

  // hidapi results: bytes transferred, or -1. Any thread; calls on one record run one at a time.
  int SendFeatureReport(const uint8_t* data, size_t length);
  int GetFeatureReport(uint8_t* data, size_t length);
  int Write(const uint8_t* data, size_t length);

 private:
  const HidDeviceInfo info_;
  std::mutex io_;
  HidHandle device_;  // owned; closed with the record
};
