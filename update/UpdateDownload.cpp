#include "update/UpdateDownload.h"

#include "platform/FileSystem.h"
#include "platform/ShellOpen.h"
#include "update/ExtractZip.h"
#include "update/ZipReader.h"
#include "update/Versions.h"

#include <cerrno>
#include <cstdint>
#include <sys/stat.h>
#include <unistd.h>

namespace update {
namespace {

constexpr const char* kTempFolderName = "temp";
constexpr const char* kUrlSeparator = "//";
constexpr std::uint32_t kUnixTypeMask = 0170000;
constexpr std::uint32_t kUnixSymlink = 0120000;

const char* NamePrefix(UpdatePackage package) {
    return package == UpdatePackage::Software ? "Keyboard-Software-" : "FirmwareUpdateTool-";
}

// Removes a file (or a link, never what it points to); true when nothing is left of that name.
bool RemoveFile(const std::string& path) { return ::unlink(path.c_str()) == 0 || errno == ENOENT; }

bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// Whether any entry of the archive is a symbolic link. Unpacking writes such an entry as a plain
// file holding the link's target text, which must never pass for the program.
bool HoldsLinks(const std::string& archive) {
    ZipReader reader;
    if (reader.Open(archive) != kZipOk) return false;
    ZipEntry entry;
    reader.GetEntry(-1, entry);
    const std::int64_t count = entry.index;
    for (std::int64_t i = 0; i < count; ++i) {
        if (reader.GetEntry(i, entry) == kZipOk && (entry.unixMode & kUnixTypeMask) == kUnixSymlink) return true;
    }
    return false;
}

}  // namespace

std::string UpdateArchiveName(UpdatePackage package, const std::string& version) {
    return NamePrefix(package) + version + ".zip";
}

std::string UpdateProgramName(UpdatePackage package, const std::string& version) {
    return NamePrefix(package) + version + ".exe";
}

std::string UpdateTempFolder(const std::string& dataFolder) {
    if (!dataFolder.empty() && dataFolder.back() != '/') return dataFolder + "/" + kTempFolderName;
    return dataFolder + kTempFolderName;
}

UpdateOutcome DownloadUpdate(UpdatePackage package, const std::string& baseUrl, const std::string& version,
                             const std::string& dataFolder, const platform::FetchProgress& progress,
                             const platform::FetchOptions& options) {
    UpdateOutcome outcome;
    if (!IsAcceptedVersion(version)) {
        outcome.status = UpdateStatus::BadVersion;
        return outcome;
    }
    const std::string temp = UpdateTempFolder(dataFolder);
    const std::string archive = temp + "/" + UpdateArchiveName(package, version);
    const std::string program = temp + "/" + UpdateProgramName(package, version);
    if (dataFolder.empty() || !platform::MakeDirectories(temp) || !RemoveFile(program)) {
        outcome.status = UpdateStatus::NoTempFolder;
        return outcome;
    }
    outcome.fetchResult = platform::FetchFile(baseUrl + kUrlSeparator + UpdateArchiveName(package, version),
                                              archive, progress, options);
    if (outcome.fetchResult != platform::kFetchCompleted) {
        RemoveFile(archive);
        outcome.status = UpdateStatus::DownloadFailed;
        return outcome;
    }
    if (HoldsLinks(archive)) {
        RemoveFile(archive);
        outcome.status = UpdateStatus::HoldsLinks;
        return outcome;
    }
    const bool opened = ExtractZip(archive, temp);
    // A download that is no archive is of no further use either; the next attempt fetches anew.
    RemoveFile(archive);
    if (!opened) {
        outcome.status = UpdateStatus::NotAnArchive;
        return outcome;
    }
    if (!IsRegularFile(program)) {
        outcome.status = UpdateStatus::NoProgram;
        return outcome;
    }
    outcome.status = UpdateStatus::Ready;
    outcome.programPath = program;
    return outcome;
}

UpdateOutcome InstallUpdate(UpdatePackage package, const std::string& baseUrl, const std::string& version,
                            const std::string& dataFolder, const platform::FetchProgress& progress,
                            const platform::FetchOptions& options) {
    UpdateOutcome outcome = DownloadUpdate(package, baseUrl, version, dataFolder, progress, options);
    if (outcome.status != UpdateStatus::Ready) return outcome;
    outcome.status = platform::ShellOpen(outcome.programPath) ? UpdateStatus::Launched : UpdateStatus::LaunchFailed;
    return outcome;
}

}  // namespace update
