#pragma once
// The folder an archive is unpacked into. Every directory and file is reached relative to the
// folder's descriptor, one component at a time, never through a symbolic link, so nothing can be
// created or overwritten outside it. Owns its descriptors; one thread.
#include "platform/UniqueFd.h"
#include "update/ZipResult.h"

#include <string>
#include <vector>

namespace update {

class TargetFolder {
public:
    // Opens the folder, creating it and its parents when missing. The folder itself may be
    // reached through links: it is the caller's choice.
    ZipResult Open(const std::string& path);
    bool IsOpen() const { return root_.Valid(); }

    // The descriptor of the directory `parts` below the folder, creating each missing level.
    // A level that exists as a link or as something other than a directory fails the call.
    // The descriptor stays owned here and valid until the next call.
    ZipResult OpenDirectory(const std::vector<std::string>& parts, int& dirFd);

    // Creates the regular file `name` in `dirFd` for writing, replacing a file or link of that
    // name (the link itself, never what it points to).
    ZipResult CreateFile(int dirFd, const std::string& name, unsigned mode, platform::UniqueFd& file);

private:
    platform::UniqueFd root_;
    std::vector<std::string> cachedParts_;
    platform::UniqueFd cachedDir_;
};

}  // namespace update
