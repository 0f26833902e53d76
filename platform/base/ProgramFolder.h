#pragma once
// The program folder: where the running executable lies, beside its shipped data. Computed once
// for the program and its UI library alike. Any thread.
#include <string>

namespace platform {

// Folder of the running executable (from /proc/self/exe) with a trailing '/'; "./" when it
// cannot be determined, so that paths built on it stay relative to the current folder.
std::string ExecutableFolder();

}  // namespace platform
