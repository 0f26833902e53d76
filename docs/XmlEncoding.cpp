#include "docs/XmlEncoding.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "docs/TextCodec.h"
#include "platform/base/Utf8.h"

namespace {

constexpr char32_t kReplacement = platform::kReplacementCharacter;

// Windows-1252 0x80-0x9F; the five unassigned bytes map to the C1 control of the same value,
// as the system conversion does.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

size_t FindNoCase(std::string_view text, std::string_view what, size_t from = 0) {
  if (what.size() > text.size()) return std::string_view::npos;
  for (size_t i = from; i + what.size() <= text.size(); ++i) {
    if (EqualsNoCase(text.substr(i, what.size()), what)) return i;
  }
  return std::string_view::npos;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Decodes one UTF-8 sequence at `p`; returns its length, or 0 when malformed.
size_t DecodeUtf8(const unsigned char* p, size_t left, char32_t* cp) {
  return platform::DecodeUtf8(std::string_view(reinterpret_cast<const char*>(p), left), 0, *cp);
}

std::string FromUtf16(std::string_view bytes, bool bigEndian) {
  std::string out;
  out.reserve(bytes.size());
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const size_t units = bytes.size() / 2;  // an odd last byte is dropped
  auto unit = [&](size_t i) -> char16_t {
    return bigEndian ? static_cast<char16_t>(p[2 * i] << 8 | p[2 * i + 1])
                     : static_cast<char16_t>(p[2 * i + 1] << 8 | p[2 * i]);
  };
  for (size_t i = 0; i < units; ++i) {
    const char16_t u = unit(i);
    if (u == 0) continue;
    if (u < 0x80) {
      out += static_cast<char>(u);
    } else if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units && unit(i + 1) >= 0xDC00 &&
               unit(i + 1) <= 0xDFFF) {
      const char32_t cp = 0x10000 + ((u - 0xD800) << 10) + (unit(i + 1) - 0xDC00);
      platform::AppendUtf8(out, cp);
      ++i;
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      platform::AppendUtf8(out, kReplacement);
    } else {
      platform::AppendUtf8(out, u);
    }
  }
  return out;
}

std::string FromSingleByte(std::string_view bytes, bool cp1252) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b == 0) continue;
    if (b < 0x80) out += c;
    else if (cp1252 && b < 0xA0) platform::AppendUtf8(out, kCp1252High[b - 0x80]);
    else platform::AppendUtf8(out, b);
  }
  return out;
}

// RAII for an iconv descriptor.
class Iconv {
public:
  Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Iconv() {
    if (ok()) iconv_close(cd_);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }

private:
  iconv_t cd_;
};

// Runs `cd` over `in`; a byte it cannot convert is replaced by `bad` and skipped (for UTF-8
// input the whole sequence is skipped). False when the converter never opened.
bool RunIconv(std::string_view in, const std::string& to, const std::string& from,
              std::string_view bad, bool inputIsUtf8, std::string* out) {
  const Iconv conv(to.c_str(), from.c_str());
  if (!conv.ok()) return false;
  out->clear();
  char buffer[4096];
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  while (srcLeft > 0) {
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    const size_t r = iconv(conv.get(), &src, &srcLeft, &dst, &dstLeft);
    out->append(buffer, sizeof buffer - dstLeft);
    if (r != static_cast<size_t>(-1)) continue;
    if (errno == E2BIG) continue;
    out->append(bad);
    size_t skip = 1;
    if (inputIsUtf8) {
      char32_t cp;
      skip = DecodeUtf8(reinterpret_cast<const unsigned char*>(src), srcLeft, &cp);
      if (skip == 0) skip = 1;
    }
    if (errno == EINVAL) skip = srcLeft;  // truncated sequence at the end
    src += skip;
    srcLeft -= skip;
    iconv(conv.get(), nullptr, nullptr, nullptr, nullptr);
  }
  return true;
}

void AppendUtf16Unit(std::string& out, char16_t u, bool bigEndian) {
  if (bigEndian) {
    out += static_cast<char>(u >> 8);
    out += static_cast<char>(u & 0xFF);
  } else {
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>(u >> 8);
  }
}

// `bytes` without a mark whose first two bytes hold exactly one zero look like UTF-16 markup.
bool LooksUtf16(std::string_view bytes, bool* bigEndian) {
  if (bytes.size() < 2) return false;
  const bool z0 = bytes[0] == '\0';
  const bool z1 = bytes[1] == '\0';
  if (z0 == z1) return false;
  *bigEndian = z0;
  return true;
}

}  // namespace

bool XmlEncoding::IsValidUtf8(std::string_view text) { return platform::IsValidUtf8(text); }

std::string XmlEncoding::Sanitize(std::string_view text) {
  if (IsValidUtf8(text) && std::memchr(text.data(), 0, text.size()) == nullptr) {
    return std::string(text);
  }
  std::string out;
  out.reserve(text.size());
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  size_t i = 0;
  while (i < text.size()) {
    char32_t cp;
    const size_t len = DecodeUtf8(p + i, text.size() - i, &cp);
    if (len == 0) {
      platform::AppendUtf8(out, kReplacement);
      ++i;
      continue;
    }
    if (cp != 0) out.append(text.substr(i, len));
    i += len;
  }
  return out;
}

void XmlEncoding::SanitizeInPlace(std::string& text) {
  if (IsValidUtf8(text) && std::memchr(text.data(), 0, text.size()) == nullptr) return;
  text = Sanitize(text);
}

XmlEncoding::Kind XmlEncoding::KindOfName(std::string_view name) {
  if (name.empty()) return Kind::Unknown;
  for (const char* n : {"utf-8", "utf8"}) {
    if (EqualsNoCase(name, n)) return Kind::Utf8;
  }
  for (const char* n : {"utf-16", "utf16", "utf-16le", "ucs-2", "ucs2", "unicode"}) {
    if (EqualsNoCase(name, n)) return Kind::Utf16Le;
  }
  for (const char* n : {"utf-16be", "unicodefffe"}) {
    if (EqualsNoCase(name, n)) return Kind::Utf16Be;
  }
  for (const char* n : {"windows-1252", "cp1252", "ansi", "us-ascii", "ascii"}) {
    if (EqualsNoCase(name, n)) return Kind::Ansi;
  }
  for (const char* n : {"iso-8859-1", "iso8859-1", "latin1", "latin-1", "l1"}) {
    if (EqualsNoCase(name, n)) return Kind::Latin1;
  }
  return Kind::Named;
}

std::string XmlEncoding::DeclaredName(std::string_view text) {
  auto valueAfter = [&](size_t pos, size_t limit) -> std::string {
    while (pos < limit && IsSpace(text[pos])) ++pos;
    if (pos < limit && text[pos] == '=') ++pos;
    while (pos < limit && IsSpace(text[pos])) ++pos;
    char quote = 0;
    if (pos < limit && (text[pos] == '"' || text[pos] == '\'')) quote = text[pos++];
    const size_t start = pos;
    while (pos < limit && text[pos] != quote && !IsSpace(text[pos]) && text[pos] != '>' &&
           text[pos] != ';' && text[pos] != '?' && (quote != 0 || text[pos] != '"')) {
      ++pos;
    }
    return std::string(text.substr(start, pos - start));
  };
  size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  if (text.substr(i, 5) == "<?xml") {
    const size_t end = text.find("?>", i);
    const size_t limit = end == std::string_view::npos ? text.size() : end;
    const size_t enc = text.substr(0, limit).find("encoding", i);
    if (enc != std::string_view::npos) return valueAfter(enc + 8, limit);
    return {};
  }
  // HTML-like text: <meta http-equiv="Content-Type" content="text/html; charset=...">
  const std::string_view head = text.substr(0, 4096);
  const size_t type = FindNoCase(head, "content-type");
  if (type == std::string_view::npos) return {};
  const size_t charset = FindNoCase(head, "charset", type);
  if (charset == std::string_view::npos) return {};
  return valueAfter(charset + 7, head.size());
}

std::string XmlEncoding::Decode(std::string_view bytes, Found* found) {
  Found local;
  Found& f = found != nullptr ? *found : local;
  f = Found{};
  const auto b = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
  if (bytes.size() >= 3 && b(0) == 0xEF && b(1) == 0xBB && b(2) == 0xBF) {
    f.kind = Kind::Utf8;
    f.bom = true;
    const std::string_view rest = bytes.substr(3);
    f.declared = DeclaredName(rest.substr(0, 1024));
    return Sanitize(rest);
  }
  if (bytes.size() >= 2 && ((b(0) == 0xFF && b(1) == 0xFE) || (b(0) == 0xFE && b(1) == 0xFF))) {
    const bool big = b(0) == 0xFE;
    f.kind = big ? Kind::Utf16Be : Kind::Utf16Le;
    f.bom = true;
    std::string text = FromUtf16(bytes.substr(2), big);
    f.declared = DeclaredName(std::string_view(text).substr(0, 1024));
    return text;
  }
  // The declaration is ASCII in every supported encoding once NULs are skipped.
  std::string prolog;
  for (size_t i = 0; i < bytes.size() && prolog.size() < 1024 && i < 4096; ++i) {
    if (bytes[i] != '\0') prolog += bytes[i];
  }
  f.declared = DeclaredName(prolog);
  bool big = false;
  if (LooksUtf16(bytes, &big)) {
    f.kind = big ? Kind::Utf16Be : Kind::Utf16Le;
    return FromUtf16(bytes, big);
  }
  Kind kind = KindOfName(f.declared);
  std::string out;
  if (kind == Kind::Named &&
      !RunIconv(bytes, "UTF-8", f.declared, "\xEF\xBF\xBD", false, &out)) {
    kind = Kind::Unknown;  // a charset we cannot convert counts as none named
  }
  if (kind == Kind::Utf16Le || kind == Kind::Utf16Be) kind = Kind::Unknown;  // no UTF-16 bytes
  if (kind == Kind::Unknown) kind = IsValidUtf8(bytes) ? Kind::Utf8 : Kind::Ansi;
  f.kind = kind;
  switch (kind) {
    case Kind::Utf8: return Sanitize(bytes);
    case Kind::Ansi: return FromSingleByte(bytes, true);
    case Kind::Latin1: return FromSingleByte(bytes, false);
    default:
      SanitizeInPlace(out);
      return out;
  }
}

std::string XmlEncoding::Encode(std::string_view utf8, std::string_view name, bool bigEndian,
                                bool bom) {
  Kind kind = KindOfName(name);
  if (kind == Kind::Utf16Le && bigEndian && !EqualsNoCase(name, "utf-16le")) kind = Kind::Utf16Be;
  std::string out;
  if (kind == Kind::Named) {
    if (RunIconv(utf8, std::string(name), "UTF-8", "?", true, &out)) return out;
    kind = Kind::Utf8;
  }
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  switch (kind) {
    case Kind::Utf16Le:
    case Kind::Utf16Be: {
      const bool big = kind == Kind::Utf16Be;
      out.reserve(utf8.size() * 2 + 2);
      if (bom) AppendUtf16Unit(out, 0xFEFF, big);
      for (size_t i = 0; i < utf8.size();) {
        char32_t cp;
        size_t len = DecodeUtf8(p + i, utf8.size() - i, &cp);
        if (len == 0) {
          cp = kReplacement;
          len = 1;
        }
        i += len;
        if (cp >= 0x10000) {
          cp -= 0x10000;
          AppendUtf16Unit(out, static_cast<char16_t>(0xD800 + (cp >> 10)), big);
          AppendUtf16Unit(out, static_cast<char16_t>(0xDC00 + (cp & 0x3FF)), big);
        } else {
          AppendUtf16Unit(out, static_cast<char16_t>(cp), big);
        }
      }
      return out;
    }
    case Kind::Ansi:
    case Kind::Latin1: {
      out.reserve(utf8.size());
      for (size_t i = 0; i < utf8.size();) {
        char32_t cp;
        size_t len = DecodeUtf8(p + i, utf8.size() - i, &cp);
        if (len == 0) {
          cp = '?';
          len = 1;
        }
        i += len;
        char c = '?';
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF) || (kind == Kind::Latin1 && cp <= 0xFF)) {
          c = static_cast<char>(cp);
        } else if (kind == Kind::Ansi) {
          for (int k = 0; k < 32; ++k) {
            if (kCp1252High[k] == cp) c = static_cast<char>(0x80 + k);
          }
        }
        out += c;
      }
      return out;
    }
    default:
      if (bom) out = "\xEF\xBB\xBF";
      out.append(utf8);
      return out;
  }
}
