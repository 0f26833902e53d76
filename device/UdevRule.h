// The udev rule that gives the logged-in user access to the keyboards' HID interfaces, and the
// command that installs it as root. Built only from the device table's numeric ids, so nothing
// a user or a device supplies reaches the root shell. Pure functions; any thread.
#pragma once

#include <string>
#include <vector>

#include "device/DeviceFilter.h"

inline constexpr const char* kUdevRulePath = "/etc/udev/rules.d/70-keywright.rules";

// One uaccess line per distinct vendor/product pair, in table order, each id as four lower-case
// hex digits; pairs outside 0..FFFF are left out. Ends with a newline.
std::string UdevRuleText(const std::vector<DeviceFilter>& filters);

// The arguments for RunPrivileged: a /bin/sh script that writes `ruleText` to kUdevRulePath,
// reloads the rules and re-triggers the hidraw nodes so that open devices get the new access
// without a replug. Empty when the text could break out of its quoting.
std::vector<std::string> UdevInstallCommand(const std::string& ruleText);
