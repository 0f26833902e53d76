#include "update/UpdateCheck.h"

#include "update/Versions.h"

namespace update {
namespace {

constexpr const char* kVersionSuffix = "version";

// The endpoint's reply when it is an accepted version; the fetch result in `offer`.
VersionOffer FetchReply(const std::string& baseUrl, const platform::FetchOptions& options) {
    VersionOffer offer;
    std::string reply;
    offer.fetchResult = platform::FetchText(baseUrl + kVersionSuffix, reply, options);
    if (offer.fetchResult == platform::kFetchCompleted && IsAcceptedVersion(reply)) offer.version = reply;
    return offer;
}

}  // namespace

VersionOffer SoftwareOffer(const std::string& installedVersion, const std::string& reply) {
    VersionOffer offer;
    offer.fetchResult = platform::kFetchCompleted;
    if (!IsAcceptedVersion(reply)) return offer;
    offer.version = reply;
    const int order = CompareVersions(installedVersion, reply);
    offer.newer = order == kInstalledOlder || order == kPartCountsDiffer;
    return offer;
}

VersionOffer CheckSoftwareVersion(const std::string& baseUrl, const std::string& installedVersion,
                                  const platform::FetchOptions& options) {
    const VersionOffer fetched = FetchReply(baseUrl, options);
    if (fetched.version.empty()) return fetched;
    VersionOffer offer = SoftwareOffer(installedVersion, fetched.version);
    offer.fetchResult = fetched.fetchResult;
    return offer;
}

VersionOffer CheckFirmwareVersion(const std::string& baseUrl, const std::function<bool(const std::string&)>& isNewer,
                                  const platform::FetchOptions& options) {
    VersionOffer offer = FetchReply(baseUrl, options);
    offer.newer = !offer.version.empty() && isNewer && isNewer(offer.version);
    return offer;
}

}  // namespace update
