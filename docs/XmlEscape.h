#pragma once
// Markup escaping of the XML facility. Attribute values escape all five markup characters,
// element content only the three that can start or end markup. Unescape reverses the five
// named entities and numeric character references (&#65; &#x41;); anything else, including
// references to NUL, surrogates or code points above U+10FFFF, is kept as written.
// Pure functions on UTF-8 text; safe from any thread.
#include <string>
#include <string_view>

class XmlEscape {
public:
  static std::string Attribute(std::string_view text);
  static std::string Content(std::string_view text);
  static std::string Unescape(std::string_view text);
};
