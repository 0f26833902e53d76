#include "platform/base/Utf8.h"

#include <cstdint>
#include <cstring>

namespace platform {
namespace {

constexpr std::uint8_t kContinuationMask = 0xC0;
constexpr std::uint8_t kContinuationTag = 0x80;
constexpr std::uint8_t kPayloadBits = 0x3F;
constexpr char32_t kSurrogateFirst = 0xD800;
constexpr char32_t kSurrogateLast = 0xDFFF;

struct SequenceShape {
  std::size_t length;
  char32_t leadBits;
  char32_t smallest;  // below this the form is overlong
};

// The shape a lead byte announces; length 0 for a byte no sequence starts with.
SequenceShape ShapeOf(std::uint8_t lead) {
  if (lead < 0x80) return {1, lead, 0};
  if ((lead & 0xE0) == 0xC0) return {2, lead & 0x1Fu, 0x80};
  if ((lead & 0xF0) == 0xE0) return {3, lead & 0x0Fu, 0x800};
  if ((lead & 0xF8) == 0xF0) return {4, lead & 0x07u, 0x10000};
  return {0, 0, 0};
}

}  // namespace

bool IsScalarValue(char32_t codePoint) {
  return codePoint <= kLastCodePoint && (codePoint < kSurrogateFirst || codePoint > kSurrogateLast);
}

std::size_t DecodeUtf8(std::string_view text, std::size_t at, char32_t& codePoint) {
  if (at >= text.size()) return 0;
  const SequenceShape shape = ShapeOf(static_cast<std::uint8_t>(text[at]));
  if (shape.length == 0 || shape.length > text.size() - at) return 0;
  char32_t value = shape.leadBits;
  for (std::size_t k = 1; k < shape.length; ++k) {
    const auto byte = static_cast<std::uint8_t>(text[at + k]);
    if ((byte & kContinuationMask) != kContinuationTag) return 0;
    value = (value << 6) | (byte & kPayloadBits);
  }
  if (value < shape.smallest || !IsScalarValue(value)) return 0;
  codePoint = value;
  return shape.length;
}

std::size_t BrokenSequenceLength(std::string_view text, std::size_t at) {
  const std::size_t announced = ShapeOf(static_cast<std::uint8_t>(text[at])).length;
  std::size_t used = 1;
  while (used < announced && at + used < text.size() &&
         (static_cast<std::uint8_t>(text[at + used]) & kContinuationMask) == kContinuationTag) {
    ++used;
  }
  return used;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (!IsScalarValue(c)) c = kReplacementCharacter;
  const auto put = [&out](char32_t byte) { out.push_back(static_cast<char>(byte)); };
  if (c < 0x80) {
    put(c);
  } else if (c < 0x800) {
    put(0xC0 | (c >> 6));
    put(kContinuationTag | (c & kPayloadBits));
  } else if (c < 0x10000) {
    put(0xE0 | (c >> 12));
    put(kContinuationTag | ((c >> 6) & kPayloadBits));
    put(kContinuationTag | (c & kPayloadBits));
  } else {
    put(0xF0 | (c >> 18));
    put(kContinuationTag | ((c >> 12) & kPayloadBits));
    put(kContinuationTag | ((c >> 6) & kPayloadBits));
    put(kContinuationTag | (c & kPayloadBits));
  }
}

std::string EncodeUtf8(char32_t codePoint) {
  std::string out;
  if (IsScalarValue(codePoint)) AppendUtf8(out, codePoint);
  return out;
}

bool IsValidUtf8(std::string_view text) {
  constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
  for (std::size_t i = 0; i < text.size();) {
    // ASCII runs are the common case: eight bytes at a time.
    std::uint64_t word = 0;
    if (i + sizeof word <= text.size() &&
        (std::memcpy(&word, text.data() + i, sizeof word), (word & kHighBits) == 0)) {
      i += sizeof word;
      continue;
    }
    if (static_cast<std::uint8_t>(text[i]) < 0x80) {
      ++i;
      continue;
    }
    char32_t ignored = 0;
    const std::size_t length = DecodeUtf8(text, i, ignored);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

}  // namespace platform
