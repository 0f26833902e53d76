#include "docs/SettingsFile.h"

#include <climits>

namespace {

std::string_view TrimBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

}  // namespace

SettingsFile SettingsFile::Parse(std::string_view bytes) {
  SettingsFile file;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    // Kept with any carriage return, so that a rewrite reproduces the line exactly.
    file.lines_.emplace_back(bytes.substr(start, end - start));
    start = end + 1;
  }
  return file;
}

std::optional<std::string_view> SettingsFile::NameOf(std::string_view line) {
  const auto equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  const std::string_view name = TrimBlanks(line.substr(0, equals));
  if (name.empty()) return std::nullopt;
  return name;
}

bool SettingsFile::SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::optional<std::string> SettingsFile::Get(std::string_view name) const {
  for (const std::string& line : lines_) {
    const auto lineName = NameOf(line);
    if (!lineName || !SameName(*lineName, name)) continue;
    std::string_view value = std::string_view(line).substr(line.find('=') + 1);
    if (!value.empty() && value.back() == '\r') value.remove_suffix(1);  // CRLF line end
    value = value.substr(0, value.find('\0'));
    if (value.size() > kMaxValueBytes) {
      size_t cut = kMaxValueBytes;
      while (cut > 0 && (static_cast<unsigned char>(value[cut]) & 0xC0) == 0x80) --cut;
      value = value.substr(0, cut);
    }
    return std::string(value);
  }
  return std::nullopt;
}

bool SettingsFile::IsStorableName(std::string_view name) {
  return !name.empty() && TrimBlanks(name) == name &&
         name.find_first_of(std::string_view("=\r\n\0", 4)) == std::string_view::npos;
}

bool SettingsFile::IsStorableText(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

bool SettingsFile::Set(std::string_view name, std::string_view text) {
  if (!IsStorableName(name) || !IsStorableText(text)) return false;
  std::string line = std::string(name) + "=" + std::string(text);
  bool placed = false;
  for (auto it = lines_.begin(); it != lines_.end();) {
    const auto lineName = NameOf(*it);
    if (lineName && SameName(*lineName, name)) {
      if (placed) {
        it = lines_.erase(it);
        continue;
      }
      *it = line;
      placed = true;
    }
    ++it;
  }
  if (!placed) lines_.push_back(std::move(line));
  return true;
}

std::string SettingsFile::Serialize() const {
  std::string out;
  for (const std::string& line : lines_) {
    out += line;
    out += '\n';
  }
  return out;
}

int DecimalTextToInt(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}
