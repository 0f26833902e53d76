#include "docs/TextCodec.h"

#include <cstdint>

#include "platform/base/Utf8.h"

namespace {

constexpr char32_t kReplacement = platform::kReplacementCharacter;

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

}  // namespace

std::string SanitizeUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    char32_t c = 0;
    const size_t length = platform::DecodeUtf8(text, i, c);
    if (length > 0) {
      out.append(text.substr(i, length));
      i += length;
    } else {
      // One bad sequence gives one U+FFFD.
      platform::AppendUtf8(out, platform::kReplacementCharacter);
      i += platform::BrokenSequenceLength(text, i);
    }
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
        platform::AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        ++i;
        continue;
      }
    }
    platform::AppendUtf8(out, (unit >= 0xD800 && unit <= 0xDFFF) ? kReplacement : unit);
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
