#include "device/UdevRule.h"

#include <cstdio>
#include <utility>

namespace {
constexpr int32_t kMaxId = 0xFFFF;
constexpr const char* kHeader =
    "# Written by Keywright: gives the logged-in user access to the HID interfaces of its "
    "keyboards.\n";
}  // namespace

std::string UdevRuleText(const std::vector<DeviceFilter>& filters) {
  std::string text = kHeader;
  std::vector<std::pair<int32_t, int32_t>> seen;
  for (const DeviceFilter& filter : filters) {
    const std::pair ids{filter.vendorId, filter.productId};
    if (ids.first < 0 || ids.first > kMaxId || ids.second < 0 || ids.second > kMaxId) continue;
    bool repeated = false;
    for (const auto& s : seen) repeated = repeated || s == ids;
    if (repeated) continue;
    seen.push_back(ids);
    char line[160];
    std::snprintf(line, sizeof line,
                  "SUBSYSTEM==\"hidraw\", KERNEL==\"hidraw*\", ATTRS{idVendor}==\"%04x\", "
                  "ATTRS{idProduct}==\"%04x\", TAG+=\"uaccess\"\n",
                  static_cast<unsigned>(ids.first), static_cast<unsigned>(ids.second));
    text += line;
  }
  return text;
}

std::vector<std::string> UdevInstallCommand(const std::string& ruleText) {
  // The text goes inside single quotes; a quote (or a NUL) in it would end them.
  if (ruleText.find_first_of(std::string("'\0", 2)) != std::string::npos) return {};
  const std::string script = std::string("printf '%s' '") + ruleText + "' > " + kUdevRulePath +
                             " && udevadm control --reload-rules"
                             " && udevadm trigger --subsystem-match=hidraw --action=change";
  return {"/bin/sh", "-c", script};
}
