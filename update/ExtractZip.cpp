#include "update/ExtractZip.h"

#include "update/ZipReader.h"

using namespace update;

bool ExtractZip(const std::string& archivePath, const std::string& targetFolder, ZipResult* lastError) {
    ZipReader reader;
    const ZipResult opened = reader.Open(archivePath);
    if (lastError) *lastError = opened;
    if (opened != kZipOk) return false;
    // Without the target folder nothing can be unpacked; the archive counts as not handled so
    // that the caller keeps it.
    if (const ZipResult result = reader.SetBaseFolder(targetFolder); result != kZipOk) {
        if (lastError) *lastError = result;
        return false;
    }
    ZipEntry entry;
    reader.GetEntry(-1, entry);
    const std::int64_t count = entry.index;
    for (std::int64_t i = 0; i < count; ++i) {
        if (reader.GetEntry(i, entry) == kZipOk) reader.UnpackEntry(i, entry.name);
    }
    if (lastError) *lastError = reader.LastError();
    reader.Close();
    return true;
}
