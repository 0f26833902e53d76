#include "docs/XmlEscape.h"

#include <cstring>

#include "platform/base/Utf8.h"

namespace {

std::string EscapeSet(std::string_view text, bool quotes) {
  std::string out;
  out.reserve(text.size() + 16);
  for (const char c : text) {
    switch (c) {
      case '<': out += "&lt;"; break;
      case '&': out += "&amp;"; break;
      case '>': out += "&gt;"; break;
      case '\'':
        if (quotes) out += "&apos;"; else out += c;
        break;
      case '"':
        if (quotes) out += "&quot;"; else out += c;
        break;
      default: out += c;
    }
  }
  return out;
}

// Value of a numeric reference body ("#65", "#x41"), or -1 when it is not one we decode.
long NumericReference(std::string_view body) {
  if (body.size() < 2 || body[0] != '#') return -1;
  const bool hex = body[1] == 'x' || body[1] == 'X';
  const size_t first = hex ? 2 : 1;
  if (first >= body.size() || body.size() - first > 8) return -1;
  long value = 0;
  for (size_t i = first; i < body.size(); ++i) {
    const char c = body[i];
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return -1;
    value = value * (hex ? 16 : 10) + digit;
  }
  if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return -1;
  return value;
}

}  // namespace

std::string XmlEscape::Attribute(std::string_view text) { return EscapeSet(text, true); }

std::string XmlEscape::Content(std::string_view text) { return EscapeSet(text, false); }

std::string XmlEscape::Unescape(std::string_view text) {
  size_t amp = text.find('&');
  if (amp == std::string_view::npos) return std::string(text);
  std::string out;
  out.reserve(text.size());
  size_t done = 0;
  while (amp != std::string_view::npos) {
    out.append(text.substr(done, amp - done));
    done = amp;
    // Entity bodies are short; a ';' further away means this '&' is literal.
    const size_t semi = text.find(';', amp + 1);
    if (semi != std::string_view::npos && semi - amp <= 12) {
      const std::string_view body = text.substr(amp + 1, semi - amp - 1);
      const char* named = nullptr;
      if (body == "lt") named = "<";
      else if (body == "gt") named = ">";
      else if (body == "amp") named = "&";
      else if (body == "apos") named = "'";
      else if (body == "quot") named = "\"";
      if (named != nullptr) {
        out += named;
        done = semi + 1;
      } else if (const long cp = NumericReference(body); cp > 0) {
        platform::AppendUtf8(out, static_cast<char32_t>(cp));
        done = semi + 1;
      }
    }
    if (done == amp) {  // not an entity we decode: keep the '&' itself
      out += '&';
      done = amp + 1;
    }
    amp = text.find('&', done);
  }
  out.append(text.substr(done));
  return out;
}
