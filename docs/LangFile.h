// A parsed language file: an initialisation file of "[section]" headers and "name=text" entries,
// looked up the way the system's INI reader does (names without regard to ASCII case, blanks
// around names and texts ignored, one pair of enclosing quotes dropped, the first entry of a name
// wins, ';' starts a comment line). A value type; const operations may run on several threads.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

class LangFile {
 public:
  // Longest text a lookup yields, in code points (the lookup buffer of 260 with its terminator).
  static constexpr size_t kMaxTextLength = 259;

  // Parses file bytes in UTF-8 (with or without byte order mark) or UTF-16 LE/BE with a byte
  // order mark. Any bytes are accepted; what cannot be read as an entry is skipped.
  static LangFile Parse(std::string_view bytes);

  // Text of entry `name` in `section`, cut to kMaxTextLength; empty when either is missing.
  std::string Get(std::string_view section, std::string_view name) const;

  size_t EntryCount() const { return entries_.size(); }

 private:
  static std::string KeyOf(std::string_view section, std::string_view name);

  // Lower-case "section\nname" -> text.
  std::unordered_map<std::string, std::string> entries_;
};
