#pragma once
// Version texts of the update endpoints: how two versions compare and which replies may stand
// as a version at all. Pure functions; any thread.
#include <string>

namespace update {

inline constexpr int kVersionsEqual = 0;
inline constexpr int kInstalledOlder = 1;
inline constexpr int kInstalledNewer = -1;
inline constexpr int kPartCountsDiffer = 2;

// Splits both texts at '.' and compares part by part as decimal numbers (the leading digits of a
// part; a part without them counts 0). kPartCountsDiffer when the number of parts differs
// ("1.0" against "1.0.0"); otherwise the first unequal part decides.
int CompareVersions(const std::string& installed, const std::string& offered);

// Whether a reply of a version endpoint may be offered: 1 to 10 characters, only digits and
// dots. The text goes into file names, so nothing else (no "..", no '/') may pass.
bool IsAcceptedVersion(const std::string& reply);

}  // namespace update
