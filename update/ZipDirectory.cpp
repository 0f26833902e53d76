#include "update/ZipDirectory.h"

#include "update/FileIo.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace update {
namespace {

constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kEnd64Signature = 0x06064b50;
constexpr std::uint32_t kLocatorSignature = 0x07064b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::size_t kEndSize = 22;
constexpr std::size_t kEnd64Size = 56;
constexpr std::size_t kLocatorSize = 20;
constexpr std::size_t kCentralSize = 46;
constexpr std::size_t kLocalSize = 30;
constexpr std::size_t kMaxComment = 0xFFFF;
constexpr std::uint16_t kZip64ExtraId = 0x0001;
constexpr std::uint16_t kTimestampExtraId = 0x5455;

std::uint16_t Le16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t Le32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint64_t Le64(const unsigned char* p) {
    return static_cast<std::uint64_t>(Le32(p)) | (static_cast<std::uint64_t>(Le32(p + 4)) << 32);
}

bool SignatureAt(int fd, std::uint64_t offset, std::uint32_t signature) {
    unsigned char bytes[4];
    return ReadAt(fd, bytes, sizeof bytes, offset) && Le32(bytes) == signature;
}

// Fills the fields that the central header marked 0xFFFFFFFF from a ZIP64 extra block.
void ReadZip64Extra(const unsigned char* data, std::size_t size, ZipRecord& record, bool& needUncompressed,
                    bool& needCompressed, bool& needOffset) {
    std::size_t at = 0;
    const auto take = [&](std::uint64_t& field, bool& need) {
        if (!need || at + 8 > size) return;
        field = Le64(data + at);
        at += 8;
        need = false;
    };
    take(record.uncompressedSize, needUncompressed);
    take(record.compressedSize, needCompressed);
    take(record.localHeaderOffset, needOffset);
}

void ReadTimestampExtra(const unsigned char* data, std::size_t size, ZipRecord& record) {
    if (size < 1) return;
    const unsigned flags = data[0];
    std::size_t at = 1;
    const auto take = [&](unsigned bit, bool& has, std::int64_t& time) {
        if (!(flags & bit) || at + 4 > size) return;
        time = static_cast<std::int32_t>(Le32(data + at));
        has = true;
        at += 4;
    };
    // The central copy usually holds only the modification time even when the flags name more.
    take(1, record.hasWriteTime, record.writeTime);
    take(2, record.hasAccessTime, record.accessTime);
    take(4, record.hasCreationTime, record.creationTime);
}

}  // namespace

ZipResult ZipDirectory::FindEnd(int fd, std::uint64_t fileSize) {
    if (fileSize < kEndSize) return kZipOpenFailed;
    const std::size_t tailSize = static_cast<std::size_t>(std::min<std::uint64_t>(fileSize, kEndSize + kMaxComment));
    const std::uint64_t tailStart = fileSize - tailSize;
    std::vector<unsigned char> tail(tailSize);
    if (!ReadAt(fd, tail.data(), tail.size(), tailStart)) return kZipOpenFailed;

    // The last end record whose comment fits inside the file.
    std::size_t found = tailSize;
    for (std::size_t p = tailSize - kEndSize + 1; p-- > 0;) {
        if (Le32(&tail[p]) == kEndSignature && p + kEndSize + Le16(&tail[p + 20]) <= tailSize) {
            found = p;
            break;
        }
    }
    if (found == tailSize) return kZipOpenFailed;
    const unsigned char* end = &tail[found];
    const std::uint64_t endPos = tailStart + found;
    const std::uint16_t disk = Le16(end + 4);
    const std::uint16_t dirDisk = Le16(end + 6);
    count_ = Le16(end + 10);
    dirSize_ = Le32(end + 12);
    dirOffset_ = Le32(end + 16);
    dirEnd_ = endPos;

    unsigned char locator[kLocatorSize];
    if (endPos >= kLocatorSize && ReadAt(fd, locator, sizeof locator, endPos - kLocatorSize) &&
        Le32(locator) == kLocatorSignature) {
        // The ZIP64 end record: where the locator says, or right before the locator when bytes
        // were put in front of the archive.
        const std::uint64_t stated = Le64(locator + 8);
        const std::uint64_t before = endPos - kLocatorSize >= kEnd64Size ? endPos - kLocatorSize - kEnd64Size : stated;
        unsigned char rec[kEnd64Size];
        std::uint64_t recPos = stated;
        bool ok = stated < endPos && ReadAt(fd, rec, sizeof rec, stated) && Le32(rec) == kEnd64Signature;
        if (!ok && before != stated) {
            recPos = before;
            ok = ReadAt(fd, rec, sizeof rec, before) && Le32(rec) == kEnd64Signature;
        }
        if (!ok) return kZipOpenFailed;
        if (Le32(rec + 16) != 0 || Le32(rec + 20) != 0) return kZipOpenFailed;  // spanned archive
        count_ = Le64(rec + 32);
        dirSize_ = Le64(rec + 40);
        dirOffset_ = Le64(rec + 48);
        dirEnd_ = recPos;
        return kZipOk;
    }
    if (disk != 0 || dirDisk != 0) return kZipOpenFailed;  // spanned archives are not supported
    return kZipOk;
}

ZipResult ZipDirectory::Read(int fd, std::uint64_t fileSize) {
    count_ = 0;
    records_.clear();
    tailError_ = kZipOk;
    if (const ZipResult result = FindEnd(fd, fileSize); result != kZipOk) return result;
    if (dirSize_ > dirEnd_) return kZipOpenFailed;
    // Every central header takes at least 46 bytes; a larger count is a lie.
    if (count_ > dirSize_ / kCentralSize) return kZipOpenFailed;
    if (count_ == 0) return kZipOk;

    // Bytes put in front of the archive (a self-extracting stub) move every offset.
    std::uint64_t start = dirOffset_;
    const std::uint64_t expected = dirEnd_ - dirSize_;
    if (start > expected || !SignatureAt(fd, start, kCentralSignature)) {
        if (start == expected || !SignatureAt(fd, expected, kCentralSignature)) return kZipOpenFailed;
        start = expected;
    }
    std::vector<unsigned char> dir(static_cast<std::size_t>(dirSize_));
    if (!ReadAt(fd, dir.data(), dir.size(), start)) return kZipOpenFailed;
    ParseRecords(dir, start, dirOffset_);
    dirOffset_ = start;
    CheckDataPlacement();
    return kZipOk;
}

// `start` is where the directory was found, `stated` where the end record put it; local header
// offsets move by the same amount.
void ZipDirectory::ParseRecords(const std::vector<unsigned char>& dir, std::uint64_t start, std::uint64_t stated) {
    records_.reserve(static_cast<std::size_t>(count_));
    std::size_t at = 0;
    for (std::uint64_t i = 0; i < count_; ++i) {
        if (dir.size() - at < kCentralSize || Le32(&dir[at]) != kCentralSignature) {
            tailError_ = kZipBadHeader;
            return;
        }
        const unsigned char* h = &dir[at];
        const std::size_t nameLen = Le16(h + 28);
        const std::size_t extraLen = Le16(h + 30);
        const std::size_t commentLen = Le16(h + 32);
        if (dir.size() - at - kCentralSize < nameLen + extraLen + commentLen) {
            tailError_ = kZipBadHeader;
            return;
        }
        ZipRecord record;
        record.versionMadeBy = Le16(h + 4);
        record.flags = Le16(h + 8);
        record.method = Le16(h + 10);
        record.dosTime = Le16(h + 12);
        record.dosDate = Le16(h + 14);
        record.crc = Le32(h + 16);
        record.compressedSize = Le32(h + 20);
        record.uncompressedSize = Le32(h + 24);
        record.externalAttributes = Le32(h + 38);
        record.localHeaderOffset = Le32(h + 42);
        record.storedName.assign(reinterpret_cast<const char*>(h + kCentralSize), nameLen);

        bool needUncompressed = record.uncompressedSize == 0xFFFFFFFF;
        bool needCompressed = record.compressedSize == 0xFFFFFFFF;
        bool needOffset = record.localHeaderOffset == 0xFFFFFFFF;
        const unsigned char* extra = h + kCentralSize + nameLen;
        for (std::size_t e = 0; e + 4 <= extraLen;) {
            const std::uint16_t id = Le16(extra + e);
            const std::size_t size = Le16(extra + e + 2);
            if (e + 4 + size > extraLen) break;
            if (id == kZip64ExtraId) {
                ReadZip64Extra(extra + e + 4, size, record, needUncompressed, needCompressed, needOffset);
            } else if (id == kTimestampExtraId) {
                ReadTimestampExtra(extra + e + 4, size, record);
            }
            e += 4 + size;
        }
        if (needUncompressed || needCompressed || needOffset) record.error = kZipBadHeader;
        if (start >= stated) {
            const std::uint64_t delta = start - stated;
            if (record.localHeaderOffset > UINT64_MAX - delta) record.error = kZipBadHeader;
            record.localHeaderOffset += delta;
        } else {
            const std::uint64_t delta = stated - start;
            if (record.localHeaderOffset < delta) record.error = kZipBadHeader;
            record.localHeaderOffset -= delta;
        }
        records_.push_back(std::move(record));
        at += kCentralSize + nameLen + extraLen + commentLen;
    }
}

// Entry data lies before the central directory and entries do not share bytes. Overlapping
// entries are how small archives are made to unpack into huge amounts of data; only the first
// entry of a run of overlapping ones stays usable.
void ZipDirectory::CheckDataPlacement() {
    const auto dataEnd = [](const ZipRecord& r) -> std::uint64_t {
        const std::uint64_t begin = r.localHeaderOffset + kLocalSize;
        return begin < r.localHeaderOffset || r.compressedSize > UINT64_MAX - begin ? UINT64_MAX
                                                                                  : begin + r.compressedSize;
    };
    std::vector<std::size_t> order(records_.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return records_[a].localHeaderOffset < records_[b].localHeaderOffset;
    });
    std::uint64_t usedUpTo = 0;
    for (const std::size_t i : order) {
        ZipRecord& r = records_[i];
        if (r.error != kZipOk) continue;
        const std::uint64_t end = dataEnd(r);
        if (end > dirOffset_ || r.localHeaderOffset < usedUpTo) {
            r.error = kZipBadHeader;
            continue;
        }
        usedUpTo = end;
    }
}

}  // namespace update
