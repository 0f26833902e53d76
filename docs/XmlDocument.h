#pragma once
// The XML facility: a whole document held as one UTF-8 text with an index of its elements and
// a cursor that moves over that index. Not a general DOM: it finds elements by name among
// siblings, enters and leaves levels, reads and writes attributes and appends elements.
//
// Loading recognises the file's encoding (byte-order mark, declared encoding, valid UTF-8,
// the ANSI code page), converts to UTF-8 and removes NUL characters. Saving converts back to
// the encoding the declaration names (UTF-8 when none) and writes a byte-order mark only when
// the document was loaded from a file that had one.
//
// Cursor: `parent` (0 = document level), `current` (0 = none: before the first element of the
// level). FindNext searches the siblings after `current`, or the level from its start when
// there is none; a failed search leaves the cursor unchanged.
//
// A value type owned by its user; not synchronised: use one document from one thread at a time.
// Edits re-index by shifting offsets, linear in the number of elements.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "docs/XmlEncoding.h"
#include "docs/XmlParser.h"

class XmlDocument {
public:
  XmlDocument();

  // Reads, converts and parses the file. True only for a well-formed document (exactly one
  // root element, no problem noted); the index is built either way. A file that cannot be
  // read leaves an empty document and yields false.
  bool LoadFromFile(const std::string& path);
  // Replaces the document by `text` (UTF-8; invalid sequences become U+FFFD, NULs are dropped)
  // and parses it; the result is as for LoadFromFile. Forgets any byte-order mark loaded.
  bool ReplaceText(std::string_view text);
  // Takes over `text` without copying it when it is already valid.
  bool ReplaceText(std::string&& text);
  bool ReplaceText(const char* text) { return ReplaceText(std::string_view(text != nullptr ? text : "")); }
  // Writes the document in its declared encoding; false when the file cannot be written.
  // The file is written beside the target and renamed over it, so a failure keeps the old one.
  bool SaveToFile(const std::string& path) const;

  bool FindNext(std::string_view name);
  bool Enter();
  bool Leave();

  // Value of attribute `name` of the current element with entities decoded; empty when absent
  // or when there is no current element.
  std::string ReadAttribute(std::string_view name) const;
  bool HasAttribute(std::string_view name) const;
  // Leading decimal integer of the attribute (sign allowed, saturating), 0 when none.
  int32_t ReadAttributeInt(std::string_view name) const;
  // Leading hexadecimal digits of the attribute (no prefix), 0 when none.
  uint32_t ReadAttributeHex(std::string_view name) const;

  // Inserts <name/> after the current element (after the last one of the level when there is
  // no current element) and makes it current. False for an invalid name.
  bool AppendElement(std::string_view name);
  // Sets or replaces an attribute of the current element, escaping the value. False without
  // a current element or for an invalid name.
  bool WriteAttribute(std::string_view name, std::string_view value);
  bool WriteAttribute(std::string_view name, const char* value) {
    return WriteAttribute(name, std::string_view(value != nullptr ? value : ""));
  }
  bool WriteAttribute(std::string_view name, int value);

  const std::string& Text() const { return text_; }
  bool IsWellFormed() const;
  // Problems noted by the last parse (the first XmlIndex::kMaxProblems of them).
  const std::vector<XmlProblem>& Problems() const { return index_.problems; }
  uint32_t ProblemCount() const { return index_.problemCount; }
  const XmlEncoding::Found& LoadedEncoding() const { return encoding_; }
  // Tag name of the current element, empty when none.
  std::string_view CurrentName() const;
  // Number of indexed elements (without the document node).
  size_t ElementCount() const { return index_.elements.size() - 1; }

private:
  std::string_view NameOf(uint32_t id) const;
  // Attribute text for number conversion, decoding references only when there are any.
  std::string NumberText(std::string_view name) const;
  bool Reparse();
  // Finds attribute `name` in the start tag of `id`: the span of its value text, without the
  // quotes, and the span of the whole value including them.
  bool FindAttribute(uint32_t id, std::string_view name, size_t* valueStart, size_t* valueEnd,
                     size_t* spanStart, size_t* spanEnd) const;
  // Replaces [pos, pos + removed) by `inserted` and moves every indexed offset behind it.
  void Splice(size_t pos, size_t removed, std::string_view inserted);
  uint32_t Depth(uint32_t id) const;

  std::string text_;
  XmlIndex index_;
  XmlEncoding::Found encoding_;
  uint32_t parent_ = 0;
  uint32_t current_ = 0;
  uint32_t syntaxProblems_ = 0;  // problems other than the root count
};
