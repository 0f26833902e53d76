#pragma once
// Download, unpacking and start of an offered update: the archive is fetched into the data
// folder's "temp", unpacked there, and the program inside it opened. Blocking; call from the
// worker thread. Nothing is written outside "temp" and nothing is started unless the whole
// archive arrived, opened, and held the program.
#include "platform/Http.h"

#include <string>

namespace update {

enum class UpdatePackage { Software, FirmwareTool };

// "Keyboard-Software-<version>.zip" / "FirmwareUpdateTool-<version>.zip".
std::string UpdateArchiveName(UpdatePackage package, const std::string& version);
// "Keyboard-Software-<version>.exe" / "FirmwareUpdateTool-<version>.exe".
std::string UpdateProgramName(UpdatePackage package, const std::string& version);

enum class UpdateStatus {
    Ready,           // unpacked; programPath names the program (not started yet)
    Launched,        // the program was opened: the caller ends the program with exit code 0
    BadVersion,      // the version is no accepted version text; nothing was fetched
    NoTempFolder,    // the temporary folder could not be created
    DownloadFailed,  // the fetch did not complete; no archive is left
    NotAnArchive,    // the download is no readable zip archive; it was removed
    HoldsLinks,      // the archive holds symbolic links; nothing was unpacked, it was removed
    NoProgram,       // the archive held no regular file of the program's name
    LaunchFailed,    // the program could not be opened
};

struct UpdateOutcome {
    UpdateStatus status = UpdateStatus::DownloadFailed;
    int fetchResult = platform::kFetchFailed;  // platform::kFetch... when a fetch ran
    std::string programPath;                    // set from Ready on
};

// "<dataFolder>temp" (a '/' is put between when `dataFolder` lacks its trailing one).
std::string UpdateTempFolder(const std::string& dataFolder);

// Fetches "<baseUrl>//<archive>" into the temporary folder, unpacks it there and deletes the
// archive. Ready when the program file is there afterwards. A program file left by an earlier
// run is removed first, so that only this archive can provide it.
UpdateOutcome DownloadUpdate(UpdatePackage package, const std::string& baseUrl, const std::string& version,
                             const std::string& dataFolder, const platform::FetchProgress& progress,
                             const platform::FetchOptions& options = {});

// DownloadUpdate, then on Ready opens the program (an executable file is started detached,
// anything else goes to the desktop's default handler): Launched or LaunchFailed.
UpdateOutcome InstallUpdate(UpdatePackage package, const std::string& baseUrl, const std::string& version,
                            const std::string& dataFolder, const platform::FetchProgress& progress,
                            const platform::FetchOptions& options = {});

}  // namespace update
