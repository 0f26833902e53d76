#pragma once
// RAII owners of hidapi handles: an open device and an enumeration list.
#include <hidapi.h>

#include <memory>

struct HidDeviceCloser {
  void operator()(hid_device* device) const { if (device) hid_close(device); }
};
using HidHandle = std::unique_ptr<hid_device, HidDeviceCloser>;

struct HidEnumerationFree {
  void operator()(hid_device_info* list) const { if (list) hid_free_enumeration(list); }
};
using HidEnumeration = std::unique_ptr<hid_device_info, HidEnumerationFree>;
