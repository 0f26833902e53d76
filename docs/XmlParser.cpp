#include "docs/XmlParser.h"

#include <cstring>
#include <string_view>

namespace {

// Character classes: bit 1 name start, bit 2 name character.
struct NameTable {
  unsigned char cls[256] = {};
  constexpr NameTable() {
    for (int c = 0; c < 256; ++c) {
      const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' ||
                          c == ':' || c >= 0x80;
      const bool other = (c >= '0' && c <= '9') || c == '.' || c == '-';
      cls[c] = static_cast<unsigned char>((letter ? 3 : 0) | (other ? 2 : 0));
    }
  }
};
constexpr NameTable kNames;

// Characters that matter inside a start tag; NUL marks the end of the text.
struct TagTable {
  bool stop[256] = {};
  constexpr TagTable() {
    for (const unsigned char c : {'<', '>', '"', '\'', '/', '\0'}) stop[c] = true;
  }
};
constexpr TagTable kTag;

// How far below the top of the open-element stack an end tag looks for its start tag; keeps
// malformed input from costing quadratic time.
constexpr size_t kMatchDepth = 256;

class Pass {
public:
  Pass(const std::string& text, XmlIndex& index) : t_(text.c_str()), n_(text.size()), ix_(index) {}

  void Run() {
    size_t pos = 0;
    while (pos < n_) {
      const void* hit = std::memchr(t_ + pos, '<', n_ - pos);
      if (hit == nullptr) break;
      const size_t lt = static_cast<const char*>(hit) - t_;
      if (lt + 1 >= n_) {
        Note(XmlProblemKind::UnterminatedTagSyntax, lt);
        break;
      }
      const auto c = static_cast<unsigned char>(t_[lt + 1]);
      if (c == '/') pos = EndTag(lt);
      else if (c == '!') pos = Exclamation(lt);
      else if (c == '?') pos = Instruction(lt);
      else if (XmlParser::IsNameStart(c)) pos = StartTag(lt);
      else {
        Note(XmlProblemKind::FirstTagSyntax, lt);
        pos = lt + 1;
      }
    }
    while (!stack_.empty()) {
      XmlElement& e = ix_.elements[stack_.back()];
      Note(XmlProblemKind::UnendedStartTag, e.start);
      e.end = static_cast<uint32_t>(n_);
      e.flags |= XmlElement::kUnended;
      stack_.pop_back();
    }
    if (roots_ == 0) Note(XmlProblemKind::NoRootElement, 0);
  }

private:
  void Note(XmlProblemKind kind, size_t offset) {
    ++ix_.problemCount;
    if (ix_.problems.size() < XmlIndex::kMaxProblems) {
      ix_.problems.push_back({kind, static_cast<uint32_t>(offset)});
    }
  }

  size_t NameEnd(size_t from) const {
    while (from < n_ && XmlParser::IsNameChar(static_cast<unsigned char>(t_[from]))) ++from;
    return from;
  }

  size_t StartTag(size_t lt) {
    const size_t nameEnd = NameEnd(lt + 1);
    size_t j = nameEnd;
    bool empty = false;
    for (;;) {
      // Inline scans beat library calls on the short runs between quotes; the text ends in
      // a NUL, and one met before the end is treated as the end.
      while (!kTag.stop[static_cast<unsigned char>(t_[j])]) ++j;
      if (j >= n_ || t_[j] == '<' || t_[j] == '\0') {
        Note(XmlProblemKind::UnterminatedTagSyntax, lt);
        return j;
      }
      const char c = t_[j];
      if (c == '>') {
        ++j;
        break;
      }
      if (c == '/') {
        if (j + 1 < n_ && t_[j + 1] == '>') {
          empty = true;
          j += 2;
          break;
        }
        ++j;
        continue;
      }
      size_t close = j + 1;
      while (t_[close] != c && t_[close] != '\0') ++close;
      if (close >= n_ || t_[close] != c) {
        Note(XmlProblemKind::UnterminatedTagSyntax, lt);
        return n_;
      }
      j = close + 1;
    }
    const uint32_t parent = stack_.empty() ? 0 : stack_.back();
    if (parent == 0 && ++roots_ > 1) Note(XmlProblemKind::RootHasSibling, lt);
    const auto id = static_cast<uint32_t>(ix_.elements.size());
    XmlElement e;
    e.start = static_cast<uint32_t>(lt);
    e.tagEnd = static_cast<uint32_t>(j);
    e.end = static_cast<uint32_t>(j);
    e.nameLength = static_cast<uint32_t>(nameEnd - lt - 1);
    e.parent = parent;
    e.flags = empty ? static_cast<uint32_t>(XmlElement::kEmptyTag) : 0u;
    XmlElement& p = ix_.elements[parent];
    e.previous = p.lastChild;
    if (p.lastChild != 0) ix_.elements[p.lastChild].next = id;
    else p.firstChild = id;
    p.lastChild = id;
    ix_.elements.push_back(e);
    if (!empty) stack_.push_back(id);
    return j;
  }

  bool SameName(const XmlElement& e, size_t nameStart, size_t nameLength) const {
    return e.nameLength == nameLength && std::memcmp(t_ + e.start + 1, t_ + nameStart, nameLength) == 0;
  }

  size_t EndTag(size_t lt) {
    const size_t nameStart = lt + 2;
    const size_t nameEnd = NameEnd(nameStart);
    if (nameEnd == nameStart) {
      Note(XmlProblemKind::FirstTagSyntax, lt);
      return lt + 2;
    }
    size_t j = nameEnd;
    while (j < n_ && (t_[j] == ' ' || t_[j] == '\t' || t_[j] == '\r' || t_[j] == '\n')) ++j;
    if (j >= n_ || t_[j] != '>') {
      // Something other than '>' follows the name: accept the tag up to a '>' that comes
      // before the next '<', noting the damage; without one it is no end tag at all.
      const size_t stop = j + std::strcspn(t_ + j, "<>");
      Note(XmlProblemKind::UnterminatedTagSyntax, lt);
      if (stop >= n_ || t_[stop] == '<') return stop;
      j = stop;
    }
    const size_t after = j + 1;
    const size_t nameLength = nameEnd - nameStart;
    const size_t limit = stack_.size() < kMatchDepth ? stack_.size() : kMatchDepth;
    for (size_t k = 1; k <= limit; ++k) {
      const uint32_t id = stack_[stack_.size() - k];
      if (!SameName(ix_.elements[id], nameStart, nameLength)) continue;
      // Elements opened after the matching one were never ended: they end where this tag starts.
      while (stack_.back() != id) {
        XmlElement& open = ix_.elements[stack_.back()];
        Note(XmlProblemKind::UnendedStartTag, open.start);
        open.end = static_cast<uint32_t>(lt);
        open.flags |= XmlElement::kUnended;
        stack_.pop_back();
      }
      ix_.elements[id].end = static_cast<uint32_t>(after);
      stack_.pop_back();
      return after;
    }
    Note(XmlProblemKind::LoneEndTag, lt);
    return after;
  }

  bool At(size_t pos, std::string_view what) const {
    return n_ - pos >= what.size() && std::memcmp(t_ + pos, what.data(), what.size()) == 0;
  }

  size_t Find(size_t from, std::string_view what) const {
    const size_t hit = std::string_view(t_, n_).find(what, from);
    return hit == std::string_view::npos ? n_ : hit;
  }

  size_t Exclamation(size_t lt) {
    if (At(lt, "<!--")) {
      const size_t close = Find(lt + 4, "-->");
      if (close >= n_) {
        Note(XmlProblemKind::CommentSyntax, lt);
        return n_;
      }
      return close + 3;
    }
    if (At(lt, "<![CDATA[")) {
      const size_t close = Find(lt + 9, "]]>");
      if (close >= n_ || stack_.empty()) Note(XmlProblemKind::CdataSectionSyntax, lt);
      return close >= n_ ? n_ : close + 3;
    }
    if (At(lt, "<!DOCTYPE")) {
      // The internal subset may hold '>' inside brackets and quotes.
      int depth = 0;
      size_t j = lt + 9;
      for (; j < n_; ++j) {
        const char c = t_[j];
        if (c == '"' || c == '\'') {
          const void* q = std::memchr(t_ + j + 1, c, n_ - j - 1);
          if (q == nullptr) {
            j = n_;
            break;
          }
          j = static_cast<const char*>(q) - t_;
        } else if (c == '[') {
          ++depth;
        } else if (c == ']') {
          --depth;
        } else if (c == '>' && depth <= 0) {
          break;
        }
      }
      if (j >= n_) {
        Note(XmlProblemKind::DoctypeSyntax, lt);
        return n_;
      }
      if (roots_ > 0) Note(XmlProblemKind::DoctypeSyntax, lt);  // only before the root
      return j + 1;
    }
    Note(XmlProblemKind::ExclamationTagSyntax, lt);
    return lt + 2;
  }

  size_t Instruction(size_t lt) {
    const size_t close = Find(lt + 2, "?>");
    if (close >= n_) {
      Note(XmlProblemKind::UnterminatedTagSyntax, lt);
      return n_;
    }
    return close + 2;
  }

  const char* t_;
  size_t n_;
  XmlIndex& ix_;
  std::vector<uint32_t> stack_;
  uint32_t roots_ = 0;
};

}  // namespace

bool XmlParser::IsNameStart(unsigned char c) { return (kNames.cls[c] & 1) != 0; }
bool XmlParser::IsNameChar(unsigned char c) { return (kNames.cls[c] & 2) != 0; }

bool XmlParser::IsValidName(std::string_view name) {
  if (name.empty() || !IsNameStart(static_cast<unsigned char>(name[0]))) return false;
  for (const char c : name) {
    if (!IsNameChar(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

void XmlParser::Parse(const std::string& text, XmlIndex& index) {
  index.elements.clear();
  index.problems.clear();
  index.problemCount = 0;
  XmlElement document;
  if (text.size() > kMaxText) {
    index.elements.push_back(document);
    index.problems.push_back({XmlProblemKind::NoRootElement, 0});
    index.problemCount = 1;
    return;
  }
  document.end = static_cast<uint32_t>(text.size());
  // Most markup has an element for every other tag; one estimate avoids most regrowth.
  index.elements.reserve(1 + text.size() / 48);
  index.elements.push_back(document);
  Pass(text, index).Run();
}

const char* XmlParser::ProblemName(XmlProblemKind kind) {
  switch (kind) {
    case XmlProblemKind::UnendedStartTag: return "unended_start_tag";
    case XmlProblemKind::LoneEndTag: return "lone_end_tag";
    case XmlProblemKind::UnterminatedTagSyntax: return "unterminated_tag_syntax";
    case XmlProblemKind::FirstTagSyntax: return "first_tag_syntax";
    case XmlProblemKind::ExclamationTagSyntax: return "exclamation_tag_syntax";
    case XmlProblemKind::CommentSyntax: return "comment_syntax";
    case XmlProblemKind::CdataSectionSyntax: return "cdata_section_syntax";
    case XmlProblemKind::DoctypeSyntax: return "doctype_syntax";
    case XmlProblemKind::NoRootElement: return "no_root_element";
    case XmlProblemKind::RootHasSibling: return "root_has_sibling";
  }
  return "";
}
