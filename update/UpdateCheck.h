#pragma once
// The version checks of the update endpoints: fetch "<base address>version" and decide whether
// the reply offers an update. Blocking; call from the worker thread.
#include "platform/Http.h"

#include <functional>
#include <string>

namespace update {

struct VersionOffer {
    // The accepted reply (see IsAcceptedVersion); empty when the reply was unusable.
    std::string version;
    // Whether `version` is newer than what is installed: the update is to be offered.
    bool newer = false;
    // Result of the fetch (platform::kFetch...).
    int fetchResult = platform::kFetchFailed;
};

// The software decision on a reply: offered when the reply is accepted and CompareVersions of
// the installed version and the reply says older or gives different part counts.
VersionOffer SoftwareOffer(const std::string& installedVersion, const std::string& reply);

// Fetches the software endpoint's version text and decides on it.
VersionOffer CheckSoftwareVersion(const std::string& baseUrl, const std::string& installedVersion,
                                  const platform::FetchOptions& options = {});

// Fetches the firmware endpoint's version text; an accepted reply is offered when `isNewer`
// says so (the caller compares it with the keyboard's own version number).
VersionOffer CheckFirmwareVersion(const std::string& baseUrl, const std::function<bool(const std::string&)>& isNewer,
                                  const platform::FetchOptions& options = {});

}  // namespace update
