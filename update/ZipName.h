#pragma once
// Entry names: decoding the stored bytes and cleaning them so that an entry always lands below
// the folder it is extracted into. Pure functions; any thread.
#include <string>
#include <string_view>
#include <vector>

namespace update {

// Longest entry name kept, in code points; longer names are cut.
inline constexpr std::size_t kMaxEntryNameChars = 260;

// Turns a stored name into UTF-8: the text ends at a NUL byte, valid UTF-8 sequences are kept
// and any other byte is read as code page 437 (the format's default). Cut to kMaxEntryNameChars.
std::string DecodeZipName(std::string_view stored);

// Applies the cleaning rules until none applies: a leading drive ("C:") is dropped, else a leading
// '\' or '/', else everything up to the first "\..\", "\../", "/../" or "/..\" (tried in that
// order) is dropped.
std::string CleanZipEntryName(std::string_view name);

// Splits a cleaned name into the path components below the target folder. Empty and "."
// components are skipped; a ".." component drops everything before it, so that no result can
// climb out of the target. An empty result means the name names the target folder itself.
std::vector<std::string> SplitZipPath(std::string_view cleaned);

// True when the name ends with a separator (the format's mark of a directory entry).
bool NameMarksDirectory(std::string_view name);

}  // namespace update
