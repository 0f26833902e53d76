#pragma once
// Byte encodings of XML files: recognising a file's encoding (byte-order mark, then the
// declared encoding, then valid UTF-8, then the ANSI code page), converting it to UTF-8 text
// for memory, and converting UTF-8 back to a named encoding for saving.
// The ANSI code page is Windows-1252 (the code page the shipped English system uses); other
// named charsets go through iconv. Pure functions; safe from any thread.
#include <string>
#include <string_view>

class XmlEncoding {
public:
  enum class Kind { Unknown, Utf8, Utf16Le, Utf16Be, Ansi, Latin1, Named };

  // What loading found: the encoding used, whether the file began with a byte-order mark,
  // and the charset name the file declared (empty when none).
  struct Found {
    Kind kind = Kind::Utf8;
    bool bom = false;
    std::string declared;
  };

  // Converts file bytes to valid UTF-8 without NUL characters. Malformed sequences become
  // U+FFFD; nothing fails.
  static std::string Decode(std::string_view bytes, Found* found = nullptr);
  // Converts UTF-8 text to the encoding named `name` (empty or unknown: UTF-8). A plain
  // "UTF-16" is written big-endian only when `bigEndian` is set. Characters the target cannot
  // hold become '?'. With `bom`, UTF-8 and UTF-16 output starts with its byte-order mark.
  static std::string Encode(std::string_view utf8, std::string_view name, bool bigEndian, bool bom);

  static Kind KindOfName(std::string_view name);
  // The encoding named by an XML declaration at the start of ASCII-compatible text, or by an
  // HTML Content-Type charset near its start; empty when there is none.
  static std::string DeclaredName(std::string_view text);
  static bool IsValidUtf8(std::string_view text);
  // Valid UTF-8 copy of `text`: malformed sequences become U+FFFD, NUL characters are dropped.
  static std::string Sanitize(std::string_view text);
  // The same, leaving valid text untouched (no copy).
  static void SanitizeInPlace(std::string& text);
};
