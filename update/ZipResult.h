#pragma once
// Result codes of the zip reader. 0 is success; every other value names what went wrong with the
// archive or with one entry. The numbers are fixed: callers store and compare them.
#include <cstdint>

namespace update {

using ZipResult = std::uint32_t;

inline constexpr ZipResult kZipOk = 0;
inline constexpr ZipResult kZipOpenFailed = 512;           // archive (or an output file) did not open
inline constexpr ZipResult kZipWriteFailed = 1024;         // writing an output file failed
inline constexpr ZipResult kZipBadHeader = 1792;           // malformed or unsupported header
inline constexpr ZipResult kZipHeaderRead = 2048;          // a header could not be read
inline constexpr ZipResult kZipBadData = 4096;             // damaged compressed data, size or CRC
inline constexpr ZipResult kZipIndexRange = 0x10000;       // index out of range
inline constexpr ZipResult kZipNotOpen = 0x80000;          // the handle holds no open archive
inline constexpr ZipResult kZipInUse = 0x1000000;          // the handle already holds an archive
inline constexpr ZipResult kZipReadFailed = 0x5000000;     // entry data could not be read

}  // namespace update
