#include "docs/TextCodec.h"

#include <cstdint>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

}  // namespace

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

std::string SanitizeUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
      out.push_back(static_cast<char>(lead));
      ++i;
      continue;
    }
    size_t length = 0;
    char32_t c = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
      length = 2, c = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3, c = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4, c = lead & 0x07, minimum = 0x10000;
    }
    // Consume as many continuation bytes as fit, so that one bad sequence gives one U+FFFD.
    size_t used = 1;
    while (length != 0 && used < length && i + used < text.size() &&
           IsContinuation(static_cast<unsigned char>(text[i + used]))) {
      c = (c << 6) | (static_cast<unsigned char>(text[i + used]) & 0x3F);
      ++used;
    }
    const bool valid = length != 0 && used == length && c >= minimum && c <= 0x10FFFF &&
                       !(c >= 0xD800 && c <= 0xDFFF);
    if (valid) {
      out.append(text.substr(i, length));
    } else {
      AppendUtf8(out, kReplacement);
    }
    i += used;
  }
  return out;
}

std::string Utf16BytesToUtf8(std::string_view bytes, bool bigEndian) {
  std::string out;
  out.reserve(bytes.size());
  const size_t units = bytes.size() / 2;
  auto unitAt = [&](size_t index) -> char32_t {
    const auto a = static_cast<unsigned char>(bytes[2 * index]);
    const auto b = static_cast<unsigned char>(bytes[2 * index + 1]);
    return bigEndian ? static_cast<char32_t>((a << 8) | b) : static_cast<char32_t>((b << 8) | a);
  };
  for (size_t i = 0; i < units; ++i) {
    const char32_t unit = unitAt(i);
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units) {
      const char32_t low = unitAt(i + 1);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        ++i;
        continue;
      }
    }
    AppendUtf8(out, (unit >= 0xD800 && unit <= 0xDFFF) ? kReplacement : unit);
  }
  return out;
}

std::string DecodeTextFile(std::string_view bytes) {
  auto startsWith = [&](std::string_view prefix) { return bytes.substr(0, prefix.size()) == prefix; };
  if (startsWith("\xEF\xBB\xBF")) return SanitizeUtf8(bytes.substr(3));
  if (startsWith("\xFF\xFE")) return Utf16BytesToUtf8(bytes.substr(2), false);
  if (startsWith("\xFE\xFF")) return Utf16BytesToUtf8(bytes.substr(2), true);
  return SanitizeUtf8(bytes);
}

std::string CutToCodePoints(std::string_view text, size_t maxCodePoints) {
  size_t count = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (IsContinuation(static_cast<unsigned char>(text[i]))) continue;
    if (count == maxCodePoints) return std::string(text.substr(0, i));
    ++count;
  }
  return std::string(text);
}

size_t CountCodePoints(std::string_view text) {
  size_t count = 0;
  for (const char c : text)
    if (!IsContinuation(static_cast<unsigned char>(c))) ++count;
  return count;
}
