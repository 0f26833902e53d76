// Starting the program with the user's session: the XDG autostart entry
// $XDG_CONFIG_HOME/autostart/<name>.desktop (default ~/.config). Present means enabled,
// whatever program it names. Callable from any thread.
#pragma once

#include <string>

namespace platform {

// Path of the autostart entry of `name`; empty when no configuration folder is known or the
// name is not one file name.
std::string AutostartEntryPath(const std::string& name);

bool IsAutostartEnabled(const std::string& name);

// On: writes the entry (atomically, creating the autostart folder) whose Exec starts
// `execPath`, an absolute path, quoted for the desktop entry format. Off: deletes the entry.
// True when the entry is in the asked state afterwards; false, with nothing changed, for a
// relative path or one holding control characters.
bool SetAutostart(const std::string& name, bool on, const std::string& execPath);

// The Exec value that runs `execPath` with no arguments; empty when it cannot be expressed.
std::string DesktopExecValue(const std::string& execPath);

}  // namespace platform
