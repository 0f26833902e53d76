// The text of the settings store: one "name=text" line per value. Lines it does not understand
// are kept verbatim, so editing one value never loses anything else in the file. Value names
// compare without regard to ASCII case. A value type.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class SettingsFile {
 public:
  // Longest value text a read yields, in bytes (the size of the value read buffer).
  static constexpr size_t kMaxValueBytes = 255;

  static SettingsFile Parse(std::string_view bytes);

  // Text of the first line naming `name`, up to its first NUL and at most kMaxValueBytes (never
  // splitting a UTF-8 sequence); nullopt when there is none.
  std::optional<std::string> Get(std::string_view name) const;

  // Replaces the first line naming `name` (dropping later duplicates) or appends one. False, with
  // nothing changed, when name or text would not survive as one line.
  bool Set(std::string_view name, std::string_view text);

  std::string Serialize() const;

  static bool IsStorableName(std::string_view name);
  static bool IsStorableText(std::string_view text);

 private:
  // The name a line sets, or nullopt for lines that set nothing.
  static std::optional<std::string_view> NameOf(std::string_view line);
  static bool SameName(std::string_view a, std::string_view b);

  std::vector<std::string> lines_;  // without the '\n' that ends each
};

// Decimal conversion of a stored number: leading blanks, an optional sign, then digits up to the
// first non-digit; no digits give 0; values beyond the int range are clamped.
int DecimalTextToInt(std::string_view text);
