// Per-user base folders. Callable from any thread.
#pragma once

#include <string>

namespace platform {

// Value of an environment variable; empty when it is unset.
std::string GetEnvString(const char* name);

// The user's home folder: $HOME, else the password database entry; empty when neither is known.
std::string HomeFolder();

// $XDG_CONFIG_HOME when it is an absolute path, else <home>/.config (empty when no home is
// known). No trailing '/'.
std::string ConfigHome();

// $XDG_DATA_HOME when it is an absolute path, else <home>/.local/share (empty when no home is
// known). No trailing '/'.
std::string DataHome();

}  // namespace platform
