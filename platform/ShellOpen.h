// Opening a file, folder or web address the way the desktop would. Callable from any thread;
// never blocks on the started program.
#pragma once

#include <string>

namespace platform {

// An existing executable file is started detached (its own session, never a zombie of ours);
// any other existing path and any web address go to the desktop's opener (xdg-open), also
// detached. An address with a scheme ("https://...") is passed unchanged, one starting with
// "www." gets "http://" in front. Relative paths are made absolute first.
// Returns false when nothing was started: an empty target, a path that does not exist and is
// no address, or a program that could not be executed.
// KW_SHELL_OPEN_LOG=<file> (tests): the opener's command line is appended to that file, one
// line per call, instead of being run; executables are still started.
bool ShellOpen(const std::string& target);

}  // namespace platform
