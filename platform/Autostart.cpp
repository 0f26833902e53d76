#include "platform/Autostart.h"

#include <unistd.h>

#include <cerrno>

#include "platform/FileSystem.h"
#include "platform/UserFolders.h"

namespace platform {
namespace {

}  // namespace

std::string AutostartEntryPath(const std::string& name) {
  const std::string config = ConfigHome();
  if (config.empty() || !IsPlainFileName(name)) return {};
  return config + "/autostart/" + name + ".desktop";
}

bool IsAutostartEnabled(const std::string& name) {
  const std::string path = AutostartEntryPath(name);
  return !path.empty() && PathExists(path);
}

std::string DesktopExecValue(const std::string& execPath) {
  if (execPath.empty() || execPath.front() != '/' || HasControlCharacters(execPath)) return {};
  // Quoted argument: '"', '`', '$' and '\' take a backslash. The value as a whole is then a
  // string value, whose own escaping doubles every backslash; '%' starts a field code.
  std::string quoted = "\"";
  for (const char c : execPath) {
    if (c == '"' || c == '`' || c == '$') {
      quoted += "\\\\";
      quoted += c;
    } else if (c == '\\') {
      quoted += "\\\\\\\\";
    } else if (c == '%') {
      quoted += "%%";
    } else {
      quoted += c;
    }
  }
  quoted += '"';
  return quoted;
}

bool SetAutostart(const std::string& name, bool on, const std::string& execPath) {
  const std::string path = AutostartEntryPath(name);
  if (path.empty()) return false;
  if (!on) return ::unlink(path.c_str()) == 0 || errno == ENOENT;
  const std::string exec = DesktopExecValue(execPath);
  if (exec.empty() || HasControlCharacters(name)) return false;
  if (!MakeDirectories(path.substr(0, path.rfind('/')))) return false;
  const std::string entry =
      "[Desktop Entry]\n"
      "Type=Application\n"
      "Name=" + name + "\n"
      "Exec=" + exec + "\n"
      "Terminal=false\n";
  return WriteFileAtomic(path, entry);
}

}  // namespace platform
