#include "update/FileIo.h"

#include <cerrno>
#include <unistd.h>

namespace update {

bool ReadAt(int fd, void* buffer, std::size_t size, std::uint64_t offset) {
    auto* out = static_cast<unsigned char*>(buffer);
    while (size > 0) {
        const ssize_t got = ::pread(fd, out, size, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        out += got;
        size -= static_cast<std::size_t>(got);
        offset += static_cast<std::uint64_t>(got);
    }
    return true;
}

bool WriteAll(int fd, const void* buffer, std::size_t size) {
    const auto* in = static_cast<const unsigned char*>(buffer);
    while (size > 0) {
        const ssize_t put = ::write(fd, in, size);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        in += put;
        size -= static_cast<std::size_t>(put);
    }
    return true;
}

}  // namespace update
