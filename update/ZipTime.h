#pragma once
// Time conversions for archive entries. FILETIME values are 100 ns ticks since 1601-01-01 UTC.
// Any thread (the DOS conversion reads the process's time zone).
#include <cstdint>

namespace update {

// A DOS date and time, read as local time, as a UTC FILETIME.
std::uint64_t DosTimeToFileTime(std::uint16_t dosDate, std::uint16_t dosTime);
// Unix seconds (UTC) as a FILETIME; times before 1601 give 0.
std::uint64_t UnixTimeToFileTime(std::int64_t seconds);
// A FILETIME as Unix seconds and nanoseconds.
void FileTimeToUnix(std::uint64_t fileTime, std::int64_t& seconds, long& nanoseconds);

}  // namespace update
