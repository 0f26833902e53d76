#pragma once
// The one UTF-8 codec of the program and its UI library. Strict on input: overlong forms,
// surrogates, values past U+10FFFF, stray continuation bytes and sequences cut short are not
// UTF-8; each caller decides what such bytes become. Pure functions, any thread.
#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;
inline constexpr char32_t kLastCodePoint = 0x10FFFF;

// True for a code point UTF-8 can carry (not a surrogate, not past U+10FFFF).
bool IsScalarValue(char32_t codePoint);

// Decodes the sequence starting at text[at] (at < text.size()): returns its length in bytes (1-4)
// and stores the code point in `codePoint`, or returns 0 (leaving `codePoint` alone) when no valid
// sequence starts there.
std::size_t DecodeUtf8(std::string_view text, std::size_t at, char32_t& codePoint);

// For a position where DecodeUtf8 gives 0: how many bytes one replacement character stands for,
// the lead byte and the continuation bytes after it up to the length it announces (at least 1).
std::size_t BrokenSequenceLength(std::string_view text, std::size_t at);

// Appends the 1-4 bytes of `codePoint`; a value that is not a scalar value appends U+FFFD.
void AppendUtf8(std::string& out, char32_t codePoint);
// The same as a string of its own; empty for a value that is not a scalar value.
std::string EncodeUtf8(char32_t codePoint);

// True when the whole text is valid UTF-8.
bool IsValidUtf8(std::string_view text);

}  // namespace platform
