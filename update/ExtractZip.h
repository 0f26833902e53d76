#pragma once
// Unpacks a whole zip archive into a folder. Blocking; call from the worker thread.
#include "update/ZipResult.h"

#include <string>

// Opens `archivePath`, unpacks every entry below `targetFolder` (created when missing) and
// closes the archive. True whenever the archive opened, also when single entries failed; their
// last error goes to `lastError` when given. False when the archive or the target folder could
// not be opened.
bool ExtractZip(const std::string& archivePath, const std::string& targetFolder,
                update::ZipResult* lastError = nullptr);
