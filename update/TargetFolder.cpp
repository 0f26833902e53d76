#include "update/TargetFolder.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace update {
namespace {

constexpr int kDirFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// One plain name inside a directory: the system would read "..", a '/' or a cut at a NUL byte as
// a way out of it.
bool IsPlainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

int OpenChildDirectory(int parent, const std::string& name) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int fd = ::openat(parent, name.c_str(), kDirFlags);
        if (fd >= 0 || errno != ENOENT || attempt == 1) return fd;
        if (::mkdirat(parent, name.c_str(), 0777) != 0 && errno != EEXIST) return -1;
    }
    return -1;
}

}  // namespace

ZipResult TargetFolder::Open(const std::string& path) {
    cachedParts_.clear();
    cachedDir_.Reset();
    root_.Reset();
    const std::string folder = path.empty() ? std::string(".") : path;
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) {
        // Create the missing levels, then open again.
        for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
            const std::string level = folder.substr(0, slash);
            if (::mkdir(level.c_str(), 0777) != 0 && errno != EEXIST) break;
            if (slash == std::string::npos) break;
        }
        fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    }
    if (fd < 0) return kZipOpenFailed;
    root_.Reset(fd);
    return kZipOk;
}

ZipResult TargetFolder::OpenDirectory(const std::vector<std::string>& parts, int& dirFd) {
    if (!root_.Valid()) return kZipOpenFailed;
    if (parts.empty()) {
        dirFd = root_.Get();
        return kZipOk;
    }
    if (cachedDir_.Valid() && parts == cachedParts_) {
        dirFd = cachedDir_.Get();
        return kZipOk;
    }
    cachedDir_.Reset();
    cachedParts_.clear();
    platform::UniqueFd current;
    for (const std::string& part : parts) {
        if (!IsPlainName(part)) return kZipOpenFailed;
        const int fd = OpenChildDirectory(current.Valid() ? current.Get() : root_.Get(), part);
        if (fd < 0) return kZipOpenFailed;
        current.Reset(fd);
    }
    cachedDir_ = std::move(current);
    cachedParts_ = parts;
    dirFd = cachedDir_.Get();
    return kZipOk;
}

ZipResult TargetFolder::CreateFile(int dirFd, const std::string& name, unsigned mode, platform::UniqueFd& file) {
    if (!IsPlainName(name)) return kZipOpenFailed;
    // Remove what is there first, so that the new file is a fresh inode: writing through an old
    // one could reach a hard link outside the folder. An existing directory stays and fails below.
    if (::unlinkat(dirFd, name.c_str(), 0) != 0 && errno != ENOENT && errno != EISDIR && errno != EPERM) {
        return kZipOpenFailed;
    }
    const int fd = ::openat(dirFd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                            static_cast<mode_t>(mode));
    if (fd < 0) return kZipOpenFailed;
    file.Reset(fd);
    return kZipOk;
}

}  // namespace update
