// A line log of the device side, written only when KW_DEVICE_TRACE names a file: what each
// device refresh showed and what each device switch chose, with monotonic time stamps in
// microseconds (the clock of the virtual keyboard's report log), so that end-to-end tests and the
// hot-plug benchmark can see what the device list shows without reading pixels.
//
//   refresh <us> connected=<0|1> <VID:PID>=<0|1|denied> ...   (denied: present, no access)
//   select <us> type=<type> index=<device index>
//   firmware <us> version=<hex or none>
//
// Threads: any; lines are appended whole under a lock.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "app/DeviceTable.h"

class DeviceTrace {
 public:
  // Reads the variable once.
  DeviceTrace();
  bool Enabled() const { return !path_.empty(); }

  void Refresh(bool connected, const std::vector<DeviceTable::Shown>& shown);
  void Select(int32_t type, int deviceIndex);
  void Firmware(const std::string& versionText);

 private:
  void Append(const std::string& kind, const std::string& rest);

  std::string path_;
  std::mutex mutex_;
};
