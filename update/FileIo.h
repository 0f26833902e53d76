#pragma once
// Whole-buffer positional reads and writes on POSIX descriptors, retrying short transfers and
// interrupted calls. Any thread.
#include <cstddef>
#include <cstdint>

namespace update {

// Reads exactly `size` bytes at `offset`; false on an error or when the file ends first.
bool ReadAt(int fd, void* buffer, std::size_t size, std::uint64_t offset);
// Writes all `size` bytes at the current position; false on an error.
bool WriteAll(int fd, const void* buffer, std::size_t size);

}  // namespace update
