#include "device/HidDeviceRecord.h"

#include <utility>

HidDeviceRecord::HidDeviceRecord(HidDeviceInfo info, HidHandle device)
    : info_(std::move(info)), device_(std::move(device)) {}

int HidDeviceRecord::SendFeatureReport(const uint8_t* data, size_t length) {
  const std::lock_guard lock(io_);
  if (!device_) return -1;
  return hid_send_feature_report(device_.get(), data, length);
}

int HidDeviceRecord::GetFeatureReport(uint8_t* data, size_t length) {
  const std::lock_guard lock(io_);
  if (!device_) return -1;
  return hid_get_feature_report(device_.get(), data, length);
}

int HidDeviceRecord::Write(const uint8_t* data, size_t length) {
  const std::lock_guard lock(io_);
  if (!device_) return -1;
  return hid_write(device_.get(), data, length);
}
