#pragma once
// A temporary folder for one test with helpers that build archives in it with the system's zip
// tool and Python's zipfile.
#include <sys/stat.h>

#include <cstdlib>
#include <string>

#include "support/TempFolder.h"

class ScratchFolder : public TempFolder {
public:
    ScratchFolder() : TempFolder("kw-zip") {}

    // Runs a shell command inside the folder; true when it exited with 0.
    bool Shell(const std::string& command) const {
        return std::system(("cd '" + Path() + "' && " + command).c_str()) == 0;
    }
    // Runs a Python script inside the folder.
    bool Python(const std::string& script) const {
        return Write("make.py", script) && Shell("python3 make.py");
    }
    // lstat of a path below the folder; st_mode 0 when it does not exist.
    struct stat Stat(const std::string& name) const {
        struct stat info {};
        if (::lstat((*this / name).c_str(), &info) != 0) info.st_mode = 0;
        return info;
    }
};
