#include "docs/LangFile.h"

#include "docs/TextCodec.h"

namespace {

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::string LangFile::KeyOf(std::string_view section, std::string_view name) {
  std::string key;
  key.reserve(section.size() + name.size() + 1);
  for (const char c : section) key.push_back(LowerAscii(c));
  key.push_back('\n');
  for (const char c : name) key.push_back(LowerAscii(c));
  return key;
}

LangFile LangFile::Parse(std::string_view bytes) {
  LangFile file;
  const std::string text = DecodeTextFile(bytes);
  const std::string_view all(text);
  std::string section;
  bool inSection = false;
  size_t start = 0;
  while (start < all.size()) {
    size_t end = all.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = all.size();
    const std::string_view line = Trim(all.substr(start, end - start));
    start = end + 1;
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      const auto close = line.find(']');
      section = std::string(Trim(line.substr(1, close == std::string_view::npos ? line.npos : close - 1)));
      inSection = true;
      continue;
    }
    const auto equals = line.find('=');
    if (!inSection || equals == std::string_view::npos) continue;
    const std::string_view name = Trim(line.substr(0, equals));
    if (name.empty()) continue;
    std::string_view value = Trim(line.substr(equals + 1));
    // A C string ends at its first NUL.
    value = value.substr(0, value.find('\0'));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
      value = value.substr(1, value.size() - 2);
    file.entries_.try_emplace(KeyOf(section, name), CutToCodePoints(value, kMaxTextLength));
  }
  return file;
}

std::string LangFile::Get(std::string_view section, std::string_view name) const {
  const auto found = entries_.find(KeyOf(section, name));
  return found == entries_.end() ? std::string() : found->second;
}
