#include "support/FakeDialogPrograms.h"

#include <sys/stat.h>

FakeDialogPrograms::FakeDialogPrograms()
    : path_("PATH", folder_.Path().c_str()),
      noBus_("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent") {}

void FakeDialogPrograms::Add(const std::string& name, const std::string& output, int status,
                             const std::string& delaySeconds) {
  // Only builtins and absolute paths: PATH holds nothing but the fakes.
  folder_.Write(name, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" +
                          folder_ / (name + ".args") + "'\n/bin/sleep " + delaySeconds +
                          "\nprintf '" + output + "'\nexit " + std::to_string(status) + "\n");
  ::chmod((folder_ / name).c_str(), 0755);
}

std::string FakeDialogPrograms::Args(const std::string& name) const {
  return folder_.Read(name + ".args");
}
