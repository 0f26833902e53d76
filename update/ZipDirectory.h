#pragma once
// The central directory of a zip archive, read in one go when the archive opens: the end record
// (and its ZIP64 form), then one record per central file header. Plain value; one thread.
#include "update/ZipResult.h"

#include <cstdint>
#include <string>
#include <vector>

namespace update {

// What one central file header says about its entry.
struct ZipRecord {
    std::string storedName;  // raw bytes as stored
    std::uint16_t versionMadeBy = 0;
    std::uint16_t flags = 0;
    std::uint16_t method = 0;
    std::uint16_t dosTime = 0;
    std::uint16_t dosDate = 0;
    std::uint32_t crc = 0;
    std::uint64_t compressedSize = 0;
    std::uint64_t uncompressedSize = 0;
    std::uint32_t externalAttributes = 0;
    std::uint64_t localHeaderOffset = 0;  // from the start of the file
    // Extended timestamp ("UT") times, Unix seconds, each valid when its flag is set.
    bool hasWriteTime = false, hasAccessTime = false, hasCreationTime = false;
    std::int64_t writeTime = 0, accessTime = 0, creationTime = 0;
    // kZipOk, or why this entry cannot be unpacked (bad ZIP64 field, data out of place).
    ZipResult error = kZipOk;
};

class ZipDirectory {
public:
    // Reads the directory of the archive open on `fd` (of `fileSize` bytes). Fails with
    // kZipOpenFailed when no usable end record or directory is found.
    ZipResult Read(int fd, std::uint64_t fileSize);

    // Number of entries the archive declares.
    std::uint64_t Count() const { return count_; }
    // Parsed records; fewer than Count() when a header in the directory was malformed.
    const std::vector<ZipRecord>& Records() const { return records_; }
    // The error of an entry index below Count() with no parsed record.
    ZipResult TailError() const { return tailError_; }

private:
    ZipResult FindEnd(int fd, std::uint64_t fileSize);
    void ParseRecords(const std::vector<unsigned char>& dir, std::uint64_t start, std::uint64_t stated);
    void CheckDataPlacement();

    std::uint64_t count_ = 0;
    std::uint64_t dirOffset_ = 0;  // as stored in the end record
    std::uint64_t dirSize_ = 0;
    std::uint64_t dirEnd_ = 0;     // position in the file where the directory must end
    std::vector<ZipRecord> records_;
    ZipResult tailError_ = kZipOk;
};

}  // namespace update
