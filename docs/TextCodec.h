// Conversions between the encodings of text files and in-memory UTF-8. Pure functions, callable
// from any thread; any input bytes are accepted.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Text of a file as UTF-8: a UTF-16 LE or BE byte order mark selects UTF-16, otherwise the bytes
// are UTF-8 (a UTF-8 byte order mark is dropped). Invalid sequences become U+FFFD.
std::string DecodeTextFile(std::string_view bytes);

// UTF-16 code units in the given byte order to UTF-8; unpaired surrogates become U+FFFD and an odd
// trailing byte is ignored.
std::string Utf16BytesToUtf8(std::string_view bytes, bool bigEndian);

// `text` with every invalid UTF-8 sequence (stray continuation bytes, overlong forms, surrogates,
// values above U+10FFFF, truncated sequences) replaced by U+FFFD.
std::string SanitizeUtf8(std::string_view text);

// The first `maxCodePoints` code points of valid UTF-8 `text`.
std::string CutToCodePoints(std::string_view text, size_t maxCodePoints);

// Number of code points in valid UTF-8 `text`.
size_t CountCodePoints(std::string_view text);
