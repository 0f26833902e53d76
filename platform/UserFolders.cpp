#include "platform/UserFolders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace platform {

std::string GetEnvString(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

std::string HomeFolder() {
  std::string home = GetEnvString("HOME");
  if (!home.empty()) return home;
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
      found->pw_dir)
    return found->pw_dir;
  return {};
}

namespace {

// The XDG rules ignore relative values of the base-directory variables.
std::string XdgFolder(const char* variable, const char* fallbackBelowHome) {
  std::string value = GetEnvString(variable);
  if (!value.empty() && value.front() == '/') {
    while (value.size() > 1 && value.back() == '/') value.pop_back();
    return value;
  }
  const std::string home = HomeFolder();
  if (home.empty()) return {};
  return home + fallbackBelowHome;
}

}  // namespace

std::string ConfigHome() { return XdgFolder("XDG_CONFIG_HOME", "/.config"); }

std::string DataHome() { return XdgFolder("XDG_DATA_HOME", "/.local/share"); }

}  // namespace platform
