#include "update/ZipReader.h"

#include "update/FileIo.h"
#include "update/ZipName.h"
#include "update/ZipTime.h"

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

namespace update {
namespace {

constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::size_t kLocalSize = 30;
constexpr std::size_t kInputSize = 128 * 1024;
constexpr std::uint16_t kMethodStored = 0;
constexpr std::uint16_t kMethodDeflated = 8;
constexpr std::uint16_t kFlagEncrypted = 0x0001;
constexpr std::uint32_t kModeTypeMask = 0170000;
constexpr std::uint32_t kModeDirectory = 0040000;
constexpr std::uint32_t kModeRegular = 0100000;

std::uint16_t Le16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

// Hosts whose external attributes hold MS-DOS attribute bits: MS-DOS, VFAT, NTFS and the
// newer Windows code.
bool HostUsesDosAttributes(std::uint16_t versionMadeBy) {
    const unsigned host = versionMadeBy >> 8;
    return host == 0 || host == 7 || host == 11 || host == 14;
}

void Describe(const ZipRecord& r, std::int64_t index, ZipEntry& entry) {
    entry = ZipEntry{};
    entry.index = index;
    entry.name = CleanZipEntryName(DecodeZipName(r.storedName));
    if (HostUsesDosAttributes(r.versionMadeBy)) {
        entry.attributes = r.externalAttributes & (kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrDirectory | kAttrArchive);
    } else {
        entry.unixMode = r.externalAttributes >> 16;
        const bool directory = (entry.unixMode & kModeTypeMask) == kModeDirectory;
        entry.attributes = directory ? kAttrDirectory : kAttrArchive;
        if (!(r.externalAttributes & 0x800000)) entry.attributes |= kAttrReadOnly;
    }
    if (NameMarksDirectory(entry.name)) entry.attributes |= kAttrDirectory;
    const std::uint64_t dos = DosTimeToFileTime(r.dosDate, r.dosTime);
    entry.writeTime = r.hasWriteTime ? UnixTimeToFileTime(r.writeTime) : dos;
    entry.accessTime = r.hasAccessTime ? UnixTimeToFileTime(r.accessTime) : dos;
    entry.creationTime = r.hasCreationTime ? UnixTimeToFileTime(r.creationTime) : dos;
    entry.compressedSize = r.compressedSize;
    entry.uncompressedSize = r.uncompressedSize;
}

// Permissions of an unpacked file: read and write for everyone the umask allows, execute bits
// of a regular file from a Unix host, no write bits for a read-only entry.
unsigned FileMode(const ZipEntry& entry) {
    unsigned mode = 0666;
    const std::uint32_t type = entry.unixMode & kModeTypeMask;
    if (type == 0 || type == kModeRegular) mode |= entry.unixMode & 0111;
    if (entry.attributes & kAttrReadOnly) mode &= ~0222u;
    return mode;
}

void SetTimes(int file, const ZipEntry& entry) {
    timespec times[2];
    std::int64_t seconds = 0;
    FileTimeToUnix(entry.accessTime, seconds, times[0].tv_nsec);
    times[0].tv_sec = static_cast<time_t>(seconds);
    FileTimeToUnix(entry.writeTime, seconds, times[1].tv_nsec);
    times[1].tv_sec = static_cast<time_t>(seconds);
    ::futimens(file, times);  // times are a courtesy: a file system without them keeps the data
}

}  // namespace
}  // namespace update

// The archive handle is a name of the design and global; its parts are this folder's own.
using namespace update;

ZipReader::ZipReader() = default;
ZipReader::~ZipReader() = default;

ZipResult ZipReader::Fail(ZipResult result) {
    lastError_ = result;
    return result;
}

ZipResult ZipReader::Open(const std::string& archivePath) {
    if (IsOpen()) return Fail(kZipInUse);
    platform::UniqueFd fd(::open(archivePath.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (!fd.Valid() || ::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode)) return Fail(kZipOpenFailed);
    const auto size = static_cast<std::uint64_t>(info.st_size);
    if (directory_.Read(fd.Get(), size) != kZipOk) {
        directory_ = ZipDirectory{};
        return Fail(kZipOpenFailed);
    }
    archive_ = std::move(fd);
    // Deflate can reach about 1000:1, real installers and data a few to a few tens. The bound
    // lets any plausible archive through and keeps a hostile one to a small multiple of its size.
    outputLimit_ = size > (UINT64_MAX - kExpansionAllowance) / kMaxExpansion ? UINT64_MAX
                                                                              : size * kMaxExpansion + kExpansionAllowance;
    outputTotal_ = 0;
    lastError_ = kZipOk;
    return kZipOk;
}

void ZipReader::Close() {
    archive_.Reset();
    directory_ = ZipDirectory{};
    target_ = TargetFolder{};
}

ZipResult ZipReader::SetBaseFolder(const std::string& folder) {
    const ZipResult result = target_.Open(folder);
    return result == kZipOk ? result : Fail(result);
}

ZipResult ZipReader::GetEntry(std::int64_t index, ZipEntry& entry) {
    if (!IsOpen()) return Fail(kZipNotOpen);
    if (index == -1) {
        entry = ZipEntry{};
        entry.index = static_cast<std::int64_t>(directory_.Count());
        return kZipOk;
    }
    if (index < 0 || static_cast<std::uint64_t>(index) >= directory_.Count()) return Fail(kZipIndexRange);
    if (static_cast<std::uint64_t>(index) >= directory_.Records().size()) return Fail(directory_.TailError());
    const ZipRecord& record = directory_.Records()[static_cast<std::size_t>(index)];
    Describe(record, index, entry);
    return record.error == kZipOk ? kZipOk : Fail(record.error);
}

ZipResult ZipReader::UnpackEntry(std::int64_t index, const std::string& name) {
    ZipEntry entry;
    if (const ZipResult result = GetEntry(index, entry); result != kZipOk) return result;
    if (index < 0) return Fail(kZipIndexRange);
    if (!target_.IsOpen()) {
        if (const ZipResult result = SetBaseFolder("."); result != kZipOk) return result;
    }
    const ZipRecord& record = directory_.Records()[static_cast<std::size_t>(index)];
    std::vector<std::string> parts = SplitZipPath(CleanZipEntryName(name));
    int dirFd = -1;
    if ((entry.attributes & kAttrDirectory) || NameMarksDirectory(name)) {
        const ZipResult result = target_.OpenDirectory(parts, dirFd);
        return result == kZipOk ? result : Fail(result);
    }
    if (parts.empty()) return Fail(kZipOpenFailed);
    const std::string leaf = parts.back();
    parts.pop_back();
    if (const ZipResult result = target_.OpenDirectory(parts, dirFd); result != kZipOk) return Fail(result);

    platform::UniqueFd file;
    if (const ZipResult result = target_.CreateFile(dirFd, leaf, FileMode(entry), file); result != kZipOk) {
        return Fail(result);
    }
    ZipResult result = WriteEntryData(record, file.Get());
    if (result == kZipOk) SetTimes(file.Get(), entry);
    if (!file.Reset() && result == kZipOk) result = kZipWriteFailed;
    if (result != kZipOk) {
        // A partial file must not pass for the entry (it could be started as the installer).
        ::unlinkat(dirFd, leaf.c_str(), 0);
        return Fail(result);
    }
    return kZipOk;
}

ZipResult ZipReader::WriteEntryData(const ZipRecord& record, int file) {
    unsigned char local[kLocalSize];
    if (!ReadAt(archive_.Get(), local, sizeof local, record.localHeaderOffset)) return kZipHeaderRead;
    const std::uint32_t signature = static_cast<std::uint32_t>(Le16(local)) | (static_cast<std::uint32_t>(Le16(local + 2)) << 16);
    if (signature != kLocalSignature) return kZipBadHeader;
    if (record.flags & kFlagEncrypted) return kZipBadHeader;
    const std::uint64_t dataOffset = record.localHeaderOffset + kLocalSize + Le16(local + 26) + Le16(local + 28);
    if (!piece_) piece_ = std::make_unique<unsigned char[]>(kPieceSize);
    switch (record.method) {
    case kMethodStored:
        return CopyStored(record, dataOffset, file);
    case kMethodDeflated:
        return InflateData(record, dataOffset, file);
    default:
        return kZipBadHeader;
    }
}

ZipResult ZipReader::WritePiece(int file, const unsigned char* data, std::size_t size, std::uint64_t limit,
                                std::uint64_t& written, std::uint32_t& crc) {
    if (size > limit - written) return kZipBadData;  // more than declared, or past the total bound
    if (!WriteAll(file, data, size)) return kZipWriteFailed;
    written += size;
    outputTotal_ += size;
    crc = static_cast<std::uint32_t>(crc32(crc, data, static_cast<uInt>(size)));
    return kZipOk;
}

ZipResult ZipReader::CopyStored(const ZipRecord& record, std::uint64_t dataOffset, int file) {
    if (record.compressedSize != record.uncompressedSize) return kZipBadData;
    const std::uint64_t limit = std::min(record.uncompressedSize, outputLimit_ - std::min(outputLimit_, outputTotal_));
    std::uint64_t written = 0;
    std::uint32_t crc = 0;
    while (written < record.uncompressedSize) {
        const auto size = static_cast<std::size_t>(std::min<std::uint64_t>(kPieceSize, record.uncompressedSize - written));
        if (size > limit - written) return kZipBadData;
        if (!ReadAt(archive_.Get(), piece_.get(), size, dataOffset + written)) return kZipReadFailed;
        if (const ZipResult result = WritePiece(file, piece_.get(), size, limit, written, crc); result != kZipOk) {
            return result;
        }
    }
    return crc == record.crc ? kZipOk : kZipBadData;
}

ZipResult ZipReader::InflateData(const ZipRecord& record, std::uint64_t dataOffset, int file) {
    if (!inflater_.Begin()) return kZipBadData;
    if (input_.empty()) input_.resize(kInputSize);
    const std::uint64_t limit = std::min(record.uncompressedSize, outputLimit_ - std::min(outputLimit_, outputTotal_));
    std::uint64_t position = dataOffset;
    std::uint64_t remaining = record.compressedSize;
    std::uint64_t written = 0;
    std::uint32_t crc = 0;
    for (;;) {
        if (!inflater_.HasInput() && remaining > 0) {
            const auto size = static_cast<std::size_t>(std::min<std::uint64_t>(input_.size(), remaining));
            if (!ReadAt(archive_.Get(), input_.data(), size, position)) return kZipReadFailed;
            inflater_.Feed(input_.data(), size);
            position += size;
            remaining -= size;
        }
        std::size_t produced = 0;
        const ZipInflater::Status status = inflater_.Inflate(piece_.get(), kPieceSize, produced);
        if (status == ZipInflater::Status::DataError) return kZipBadData;
        if (produced > 0) {
            if (const ZipResult result = WritePiece(file, piece_.get(), produced, limit, written, crc); result != kZipOk) {
                return result;
            }
        }
        if (status == ZipInflater::Status::End) break;
        // Out of input before the end of the stream: the data was cut short.
        if (status == ZipInflater::Status::NeedInput && (remaining == 0 || inflater_.HasInput())) return kZipBadData;
    }
    return written == record.uncompressedSize && crc == record.crc ? kZipOk : kZipBadData;
}
