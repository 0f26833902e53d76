#include "update/ZipTime.h"

#include <cstdint>
#include <ctime>

namespace update {
namespace {
constexpr std::int64_t kEpochDelta = 11644473600;  // seconds from 1601 to 1970
constexpr std::int64_t kTicksPerSecond = 10000000;
}  // namespace

std::uint64_t DosTimeToFileTime(std::uint16_t dosDate, std::uint16_t dosTime) {
    std::tm local{};
    local.tm_year = 80 + (dosDate >> 9);
    local.tm_mon = ((dosDate >> 5) & 0x0F) - 1;
    local.tm_mday = dosDate & 0x1F;
    local.tm_hour = dosTime >> 11;
    local.tm_min = (dosTime >> 5) & 0x3F;
    local.tm_sec = (dosTime & 0x1F) * 2;
    local.tm_isdst = -1;
    const std::time_t seconds = std::mktime(&local);
    return UnixTimeToFileTime(seconds == static_cast<std::time_t>(-1) ? 0 : seconds);
}

std::uint64_t UnixTimeToFileTime(std::int64_t seconds) {
    if (seconds < -kEpochDelta) return 0;
    constexpr std::int64_t kLast = static_cast<std::int64_t>(UINT64_MAX / kTicksPerSecond) - kEpochDelta;
    if (seconds > kLast) seconds = kLast;
    return static_cast<std::uint64_t>(seconds + kEpochDelta) * kTicksPerSecond;
}

void FileTimeToUnix(std::uint64_t fileTime, std::int64_t& seconds, long& nanoseconds) {
    seconds = static_cast<std::int64_t>(fileTime / kTicksPerSecond) - kEpochDelta;
    nanoseconds = static_cast<long>(fileTime % kTicksPerSecond) * 100;
}

}  // namespace update
