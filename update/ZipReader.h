#pragma once
// Archive handle: opens a zip archive, describes its entries and unpacks them below a base folder.
// Owns the archive descriptor, the target folder and the decoder. Not thread-safe: one thread
// uses a handle at a time (the update worker).
#include "update/TargetFolder.h"
#include "platform/UniqueFd.h"
#include "update/ZipDirectory.h"
#include "update/ZipEntry.h"
#include "update/ZipInflater.h"
#include "update/ZipResult.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class ZipReader {
public:
    // Size of the pieces entry data is decoded and written in.
    static constexpr std::size_t kPieceSize = 16384;
    // Most bytes an archive may unpack to in total: kMaxExpansion times its own size plus
    // kExpansionAllowance (see Open).
    static constexpr std::uint64_t kMaxExpansion = 100;
    static constexpr std::uint64_t kExpansionAllowance = 16u << 20;

    ZipReader();
    ~ZipReader();
    ZipReader(const ZipReader&) = delete;
    ZipReader& operator=(const ZipReader&) = delete;

    // Opens the archive and reads its central directory. kZipInUse when an archive is already
    // open, kZipOpenFailed when the file is missing or not a readable zip archive.
    update::ZipResult Open(const std::string& archivePath);
    void Close();
    bool IsOpen() const { return archive_.Valid(); }

    // Folder entries are unpacked into (created when missing). Without one, the current
    // directory is used.
    update::ZipResult SetBaseFolder(const std::string& folder);
    // Replaces the total output bound computed at Open.
    void SetOutputLimit(std::uint64_t bytes) { outputLimit_ = bytes; }

    // Describes entry `index`; index -1 puts the entry count into entry.index.
    update::ZipResult GetEntry(std::int64_t index, ZipEntry& entry);
    // Unpacks entry `index` under `name` (cleaned again: it always lands below the base folder).
    update::ZipResult UnpackEntry(std::int64_t index, const std::string& name);

    // Bytes written into files since the archive opened (failed entries included).
    std::uint64_t BytesWritten() const { return outputTotal_; }
    std::uint64_t OutputLimit() const { return outputLimit_; }

    // The result of the last failed call, update::kZipOk when none failed.
    update::ZipResult LastError() const { return lastError_; }

private:
    update::ZipResult Fail(update::ZipResult result);
    update::ZipResult WriteEntryData(const update::ZipRecord& record, int file);
    update::ZipResult CopyStored(const update::ZipRecord& record, std::uint64_t dataOffset, int file);
    update::ZipResult InflateData(const update::ZipRecord& record, std::uint64_t dataOffset, int file);
    update::ZipResult WritePiece(int file, const unsigned char* data, std::size_t size, std::uint64_t limit,
                         std::uint64_t& written, std::uint32_t& crc);

    platform::UniqueFd archive_;
    update::ZipDirectory directory_;
    update::TargetFolder target_;
    update::ZipInflater inflater_;
    std::unique_ptr<unsigned char[]> piece_;  // output buffer, created on first use
    std::vector<unsigned char> input_;
    std::uint64_t outputLimit_ = 0;
    std::uint64_t outputTotal_ = 0;
    update::ZipResult lastError_ = update::kZipOk;
};
