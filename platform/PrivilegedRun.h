// Running one command as root through polkit's pkexec, for the few system changes the program
// offers to make (the keyboard's udev rule). Callable from any thread; blocks until the command
// and the authentication dialog are done, so call it off the UI thread.
#pragma once

#include <string>
#include <vector>

namespace platform {

// The outcome of RunPrivileged.
enum class PrivilegedResult { Done, Refused, Failed };

// Runs `pkexec argv[0] argv[1] ...` and waits for it. Done: exit status 0. Refused: pkexec's
// "not authorized" or "dismissed" (126, 127). Failed: anything else, an empty argv included.
// KW_PRIVILEGED_RUN_LOG=<file> (tests): the full command line, each argument on a line of its
// own and a blank line after it, is appended to that file instead of being run (result Done).
PrivilegedResult RunPrivileged(const std::vector<std::string>& argv);

}  // namespace platform
