#pragma once
// A temporary folder for one test, removed with everything in it afterwards, plus helpers that
// build archives with the system's zip tool and Python's zipfile.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kw-zip-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

    // Runs a shell command inside the folder; true when it exited with 0.
    bool Shell(const std::string& command) const {
        return std::system(("cd '" + path_ + "' && " + command).c_str()) == 0;
    }
    // Runs a Python script inside the folder.
    bool Python(const std::string& script) const {
        Write("make.py", script);
        return Shell("python3 make.py");
    }
    void Write(const std::string& name, const std::string& content) const {
        std::filesystem::create_directories(std::filesystem::path(*this / name).parent_path());
        std::ofstream(*this / name, std::ios::binary) << content;
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(*this / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // lstat of a path below the folder; st_mode 0 when it does not exist.
    struct stat Stat(const std::string& name) const {
        struct stat info {};
        if (::lstat((*this / name).c_str(), &info) != 0) info.st_mode = 0;
        return info;
    }

private:
    std::string path_;
};
