#pragma once
// Single pass over an XML text that builds the element index of XmlDocument. It recognises
// start, end and empty-element tags, comments, CDATA sections, processing instructions and a
// document type declaration; text between them is not indexed. Problems never stop the pass:
// each is noted with its offset and the index is built from whatever can be recognised.
// Pure function of its input; safe from any thread.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One element of the index. Offsets are byte offsets into the UTF-8 text; ids are positions in
// the index vector, 0 standing for "none" and, as a parent, for the document itself (record 0
// is the document node: its children are the top-level elements).
struct XmlElement {
  enum Flags : uint32_t { kEmptyTag = 1, kUnended = 2 };
  uint32_t start = 0;    // the '<' of the start tag
  uint32_t tagEnd = 0;   // just past the start tag's '>'
  uint32_t end = 0;      // just past the element (its end tag, or the start tag when empty)
  uint32_t nameLength = 0;
  uint32_t parent = 0, previous = 0, next = 0, firstChild = 0, lastChild = 0;
  uint32_t flags = 0;
};

enum class XmlProblemKind : uint8_t {
  UnendedStartTag,
  LoneEndTag,
  UnterminatedTagSyntax,
  FirstTagSyntax,
  ExclamationTagSyntax,
  CommentSyntax,
  CdataSectionSyntax,
  DoctypeSyntax,
  NoRootElement,
  RootHasSibling,
};

struct XmlProblem {
  XmlProblemKind kind;
  uint32_t offset;
};

struct XmlIndex {
  std::vector<XmlElement> elements;  // [0] is the document node
  std::vector<XmlProblem> problems;  // the first kMaxProblems, in text order of discovery
  uint32_t problemCount = 0;         // all problems, including those not kept
  static constexpr size_t kMaxProblems = 4096;
};

class XmlParser {
public:
  // Largest text the index can address.
  static constexpr size_t kMaxText = 0x7FFFFFF0;
  // Rebuilds `index` from `text`, reusing its storage. `text` must hold no NUL character
  // (XmlEncoding guarantees it). A text above kMaxText yields no elements and NoRootElement.
  static void Parse(const std::string& text, XmlIndex& index);
  static const char* ProblemName(XmlProblemKind kind);
  static bool IsNameStart(unsigned char c);
  static bool IsNameChar(unsigned char c);
  static bool IsValidName(std::string_view name);
};
