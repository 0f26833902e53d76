#include "app/DeviceTrace.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>

DeviceTrace::DeviceTrace() {
  if (const char* path = std::getenv("KW_DEVICE_TRACE"); path != nullptr) path_ = path;
}

void DeviceTrace::Refresh(bool connected, const std::vector<DeviceTable::Shown>& shown) {
  if (!Enabled()) return;
  std::string rest = connected ? "connected=1" : "connected=0";
  for (const DeviceTable::Shown& s : shown) {
    char entry[32];
    std::snprintf(entry, sizeof entry, " %04X:%04X=%s", static_cast<unsigned>(s.vendorId),
                  static_cast<unsigned>(s.productId),
                  s.connected ? "1" : s.noAccess ? "denied" : "0");
    rest += entry;
  }
  Append("refresh", rest);
}

void DeviceTrace::Select(int32_t type, int deviceIndex) {
  if (Enabled())
    Append("select", "type=" + std::to_string(type) + " index=" + std::to_string(deviceIndex));
}

void DeviceTrace::Firmware(const std::string& versionText) {
  if (Enabled()) Append("firmware", "version=" + versionText);
}

void DeviceTrace::Append(const std::string& kind, const std::string& rest) {
  const auto now = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now().time_since_epoch());
  const std::lock_guard lock(mutex_);
  std::ofstream out(path_, std::ios::app);
  out << kind << ' ' << now.count() << ' ' << rest << '\n';
}
