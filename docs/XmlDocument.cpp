#include "docs/XmlDocument.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>

#include "docs/XmlEscape.h"

namespace {

constexpr std::string_view kNewline = "\r\n";

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

struct FileCloser {
  void operator()(std::FILE* f) const {
    if (f != nullptr) std::fclose(f);
  }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool ReadWholeFile(const std::string& path, std::string* out) {
  const File file(std::fopen(path.c_str(), "rb"));
  if (!file) return false;
  out->clear();
  char buffer[65536];
  for (;;) {
    const size_t got = std::fread(buffer, 1, sizeof buffer, file.get());
    out->append(buffer, got);
    if (out->size() > XmlParser::kMaxText) return false;
    if (got < sizeof buffer) return std::ferror(file.get()) == 0;
  }
}

std::string Indent(uint32_t depth) { return std::string(2 * static_cast<size_t>(depth), ' '); }

}  // namespace

XmlDocument::XmlDocument() { Reparse(); }

bool XmlDocument::Reparse() {
  XmlParser::Parse(text_, index_);
  parent_ = 0;
  current_ = 0;
  syntaxProblems_ = 0;
  for (const XmlProblem& p : index_.problems) {
    if (p.kind != XmlProblemKind::NoRootElement && p.kind != XmlProblemKind::RootHasSibling) {
      ++syntaxProblems_;
    }
  }
  // Problems beyond the kept ones are syntax problems too (at most one root problem is lost).
  syntaxProblems_ += index_.problemCount - static_cast<uint32_t>(index_.problems.size());
  return IsWellFormed();
}

bool XmlDocument::IsWellFormed() const {
  if (syntaxProblems_ != 0) return false;
  const XmlElement& document = index_.elements[0];
  return document.firstChild != 0 && document.firstChild == document.lastChild;
}

bool XmlDocument::LoadFromFile(const std::string& path) {
  std::string bytes;
  encoding_ = XmlEncoding::Found{};
  if (!ReadWholeFile(path, &bytes)) {
    text_.clear();
    Reparse();
    return false;
  }
  text_ = XmlEncoding::Decode(bytes, &encoding_);
  return Reparse();
}

bool XmlDocument::ReplaceText(std::string_view text) { return ReplaceText(std::string(text)); }

bool XmlDocument::ReplaceText(std::string&& text) {
  encoding_ = XmlEncoding::Found{};
  text_ = std::move(text);
  XmlEncoding::SanitizeInPlace(text_);
  return Reparse();
}

bool XmlDocument::SaveToFile(const std::string& path) const {
  const std::string declared = XmlEncoding::DeclaredName(std::string_view(text_).substr(0, 1024));
  const bool bigEndian = encoding_.kind == XmlEncoding::Kind::Utf16Be;
  const std::string bytes = XmlEncoding::Encode(text_, declared, bigEndian, encoding_.bom);
  auto writeTo = [&](const std::string& target) {
    File file(std::fopen(target.c_str(), "wb"));
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    return std::fclose(file.release()) == 0 && written;
  };
  const std::string temporary = path + ".partial";
  if (writeTo(temporary)) {
    if (std::rename(temporary.c_str(), path.c_str()) == 0) return true;
    std::remove(temporary.c_str());
  }
  // A folder we may not create files in can still hold a writable target.
  return writeTo(path);
}

std::string_view XmlDocument::NameOf(uint32_t id) const {
  const XmlElement& e = index_.elements[id];
  return std::string_view(text_).substr(e.start + 1, e.nameLength);
}

std::string_view XmlDocument::CurrentName() const {
  return current_ == 0 ? std::string_view() : NameOf(current_);
}

bool XmlDocument::FindNext(std::string_view name) {
  uint32_t id = current_ != 0 ? index_.elements[current_].next
                              : index_.elements[parent_].firstChild;
  for (; id != 0; id = index_.elements[id].next) {
    if (NameOf(id) == name) {
      current_ = id;
      return true;
    }
  }
  return false;
}

bool XmlDocument::Enter() {
  if (current_ == 0) return false;
  parent_ = current_;
  current_ = 0;
  return true;
}

bool XmlDocument::Leave() {
  if (parent_ == 0) return false;
  current_ = parent_;
  parent_ = index_.elements[parent_].parent;
  return true;
}

bool XmlDocument::FindAttribute(uint32_t id, std::string_view name, size_t* valueStart,
                                size_t* valueEnd, size_t* spanStart, size_t* spanEnd) const {
  const XmlElement& e = index_.elements[id];
  const char* t = text_.data();
  size_t i = e.start + 1 + e.nameLength;
  // The closing '>' (or "/>") is never part of an attribute.
  const size_t limit = e.tagEnd - ((e.flags & XmlElement::kEmptyTag) ? 2 : 1);
  // Quotes pair up exactly as the parser paired them when it looked for the tag's end, also
  // where they stand outside any value, so nothing written after the last attribute can end up
  // inside a quoted section.
  auto isQuote = [](char c) { return c == '"' || c == '\''; };
  auto skipQuoted = [&](size_t at) {  // index just past the quote that closes the one at `at`
    size_t k = at + 1;
    while (k < limit && t[k] != t[at]) ++k;
    return k < limit ? k + 1 : limit;
  };
  while (i < limit) {
    while (i < limit && IsSpace(t[i])) ++i;
    if (i >= limit) break;
    if (isQuote(t[i])) {  // a stray quoted section
      i = skipQuoted(i);
      continue;
    }
    const size_t nameStart = i;
    while (i < limit && !IsSpace(t[i]) && t[i] != '=' && t[i] != '/' && !isQuote(t[i])) ++i;
    const std::string_view found(t + nameStart, i - nameStart);
    while (i < limit && IsSpace(t[i])) ++i;
    if (i >= limit || t[i] != '=') {
      if (found.empty() && i < limit && !isQuote(t[i])) ++i;  // a stray '/': step over it
      continue;                                                // an attribute without value
    }
    ++i;
    const size_t equalsEnd = i;
    while (i < limit && IsSpace(t[i])) ++i;
    size_t vs, ve, ss, se;
    if (i < limit && isQuote(t[i])) {
      ss = i;
      vs = i + 1;
      se = skipQuoted(i);
      ve = (se > vs && se <= limit && t[se - 1] == t[i]) ? se - 1 : se;
      i = se;
    } else if (i == equalsEnd) {
      // Unquoted value (lenient); it must touch the '=', or "x= y='1'" would swallow y.
      ss = vs = i;
      while (i < limit && !IsSpace(t[i]) && !isQuote(t[i])) ++i;
      se = ve = i;
    } else {
      ss = se = vs = ve = equalsEnd;  // "x=" followed by blank space: an empty value
    }
    if (found == name) {
      *valueStart = vs;
      *valueEnd = ve;
      *spanStart = ss;
      *spanEnd = se;
      return true;
    }
  }
  return false;
}

std::string XmlDocument::ReadAttribute(std::string_view name) const {
  size_t vs, ve, ss, se;
  if (current_ == 0 || !FindAttribute(current_, name, &vs, &ve, &ss, &se)) return {};
  return XmlEscape::Unescape(std::string_view(text_).substr(vs, ve - vs));
}

bool XmlDocument::HasAttribute(std::string_view name) const {
  size_t vs, ve, ss, se;
  return current_ != 0 && FindAttribute(current_, name, &vs, &ve, &ss, &se);
}

std::string XmlDocument::NumberText(std::string_view name) const {
  size_t vs, ve, ss, se;
  if (current_ == 0 || !FindAttribute(current_, name, &vs, &ve, &ss, &se)) return {};
  const std::string_view raw = std::string_view(text_).substr(vs, ve - vs);
  // Numbers rarely hold references; keep the common case free of allocation.
  if (raw.find('&') == std::string_view::npos) return std::string(raw);
  return XmlEscape::Unescape(raw);
}

int32_t XmlDocument::ReadAttributeInt(std::string_view name) const {
  const std::string value = NumberText(name);
  size_t i = 0;
  while (i < value.size() && IsSpace(value[i])) ++i;
  bool negative = false;
  if (i < value.size() && (value[i] == '-' || value[i] == '+')) negative = value[i++] == '-';
  int64_t result = 0;
  for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
    result = result * 10 + (value[i] - '0');
    if (result > static_cast<int64_t>(INT32_MAX) + 1) result = static_cast<int64_t>(INT32_MAX) + 1;
  }
  if (negative) result = -result;
  if (result > INT32_MAX) result = INT32_MAX;
  return static_cast<int32_t>(result);
}

uint32_t XmlDocument::ReadAttributeHex(std::string_view name) const {
  const std::string value = NumberText(name);
  uint32_t result = 0;
  for (const char c : value) {
    uint32_t digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else break;
    result = result * 16 + digit;  // wraps like a 32-bit conversion of a too-long value
  }
  return result;
}

void XmlDocument::Splice(size_t pos, size_t removed, std::string_view inserted) {
  text_.replace(pos, removed, inserted);
  const int64_t delta = static_cast<int64_t>(inserted.size()) - static_cast<int64_t>(removed);
  const size_t after = pos + removed;
  auto move = [delta](uint32_t& v) { v = static_cast<uint32_t>(v + delta); };
  for (XmlElement& e : index_.elements) {
    // Starts at or after the edit move; ends move when they lie past it (an element that ends
    // exactly where text is inserted does not grow).
    if (e.start >= after && (removed > 0 || e.start >= pos)) move(e.start);
    if (e.tagEnd > pos && e.tagEnd >= after) move(e.tagEnd);
    if (e.end > pos && e.end >= after) move(e.end);
  }
  index_.elements[0].start = 0;
  index_.elements[0].end = static_cast<uint32_t>(text_.size());
}

uint32_t XmlDocument::Depth(uint32_t id) const {
  uint32_t depth = 0;
  for (; id != 0; id = index_.elements[id].parent) ++depth;
  return depth;
}

bool XmlDocument::AppendElement(std::string_view name) {
  if (!XmlParser::IsValidName(name) || text_.size() + name.size() + 64 > XmlParser::kMaxText) {
    return false;
  }
  const uint32_t level = parent_;
  const uint32_t after = current_ != 0 ? current_ : index_.elements[level].lastChild;
  const uint32_t depth = Depth(level);
  const std::string tag = "<" + std::string(name) + "/>";
  std::string piece;
  size_t pos;
  size_t removed = 0;
  size_t tagOffset;  // of the new tag within `piece`
  if (after != 0) {
    pos = index_.elements[after].end;
    piece.append(kNewline).append(Indent(depth));
    tagOffset = piece.size();
    piece += tag;
  } else if (level == 0) {
    pos = text_.size();
    if (!text_.empty() && text_.back() != '\n') piece.append(kNewline);
    tagOffset = piece.size();
    piece += tag;
  } else {
    XmlElement& p = index_.elements[level];
    const std::string close = kNewline.data() + Indent(depth - 1);
    if (p.flags & XmlElement::kEmptyTag) {
      // <p .../> becomes <p ...> <name/> </p>
      pos = p.tagEnd - 2;
      removed = 2;
      piece = ">";
      piece.append(kNewline).append(Indent(depth));
      tagOffset = piece.size();
      piece += tag;
      piece += close + "</" + std::string(NameOf(level)) + ">";
    } else {
      // Before the end tag; an element that was never ended grows at its end.
      pos = p.end;
      if (!(p.flags & XmlElement::kUnended)) {
        const size_t lt = text_.rfind('<', p.end - 1);
        if (lt != std::string::npos && lt >= p.tagEnd) pos = lt;
      }
      piece.append(kNewline).append(Indent(depth));
      tagOffset = piece.size();
      piece += tag + close;
    }
  }
  Splice(pos, removed, piece);
  if (removed != 0) {
    XmlElement& p = index_.elements[level];
    p.tagEnd = static_cast<uint32_t>(pos + 1);
    p.flags &= ~XmlElement::kEmptyTag;
  }
  const auto id = static_cast<uint32_t>(index_.elements.size());
  XmlElement e;
  e.start = static_cast<uint32_t>(pos + tagOffset);
  e.tagEnd = static_cast<uint32_t>(e.start + tag.size());
  e.end = e.tagEnd;
  e.nameLength = static_cast<uint32_t>(name.size());
  e.parent = level;
  e.flags = XmlElement::kEmptyTag;
  e.previous = after;
  e.next = after != 0 ? index_.elements[after].next : 0;
  index_.elements.push_back(e);
  XmlElement& p = index_.elements[level];
  if (after != 0) index_.elements[after].next = id;
  else p.firstChild = id;
  if (e.next != 0) index_.elements[e.next].previous = id;
  else p.lastChild = id;
  current_ = id;
  return true;
}

bool XmlDocument::WriteAttribute(std::string_view name, std::string_view value) {
  if (current_ == 0 || !XmlParser::IsValidName(name)) return false;
  const std::string quoted = "\"" + XmlEscape::Attribute(XmlEncoding::Sanitize(value)) + "\"";
  if (text_.size() + name.size() + quoted.size() + 2 > XmlParser::kMaxText) return false;
  size_t vs, ve, ss, se;
  if (FindAttribute(current_, name, &vs, &ve, &ss, &se)) {
    Splice(ss, se - ss, quoted);
    return true;
  }
  const XmlElement& e = index_.elements[current_];
  // New attributes go after the last one, before any blank space that precedes the tag's end.
  size_t pos = e.tagEnd - ((e.flags & XmlElement::kEmptyTag) ? 2 : 1);
  const size_t nameEnd = e.start + 1 + e.nameLength;
  while (pos > nameEnd && IsSpace(text_[pos - 1])) --pos;
  Splice(pos, 0, " " + std::string(name) + "=" + quoted);
  return true;
}

bool XmlDocument::WriteAttribute(std::string_view name, int value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%d", value);
  return WriteAttribute(name, std::string_view(buffer));
}
