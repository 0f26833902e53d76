#pragma once
// Description of one archive entry, as GetEntry reports it. Plain value.
#include <cstdint>
#include <string>

namespace update {

// Windows file attribute bits carried by ZipEntry::attributes.
inline constexpr std::uint32_t kAttrReadOnly = 0x01;
inline constexpr std::uint32_t kAttrHidden = 0x02;
inline constexpr std::uint32_t kAttrSystem = 0x04;
inline constexpr std::uint32_t kAttrDirectory = 0x10;
inline constexpr std::uint32_t kAttrArchive = 0x20;

}  // namespace update

struct ZipEntry {
    // Entry index; GetEntry(-1) puts the number of entries here instead.
    std::int64_t index = -1;
    // Cleaned UTF-8 name (at most 260 code points) with '/' or '\' separators as stored.
    std::string name;
    std::uint32_t attributes = 0;
    // Permission bits from a Unix host (0 when the entry came from another system).
    std::uint32_t unixMode = 0;
    // FILETIME values: 100 ns ticks since 1601-01-01 UTC.
    std::uint64_t creationTime = 0;
    std::uint64_t accessTime = 0;
    std::uint64_t writeTime = 0;
    std::uint64_t compressedSize = 0;
    std::uint64_t uncompressedSize = 0;
};
