// libFuzzer target of the XML facility: file decoding, the single-pass index, the cursor and
// the edits. Besides not crashing it checks the index invariants and that edits of a
// well-formed document keep it well-formed and read back what was written.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "docs/XmlDocument.h"
#include "docs/XmlEncoding.h"
#include "docs/XmlEscape.h"
#include "docs/XmlParser.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckIndex(const std::string& text, const XmlIndex& index) {
  const auto count = static_cast<uint32_t>(index.elements.size());
  Check(count >= 1);
  for (uint32_t id = 1; id < count; ++id) {
    const XmlElement& e = index.elements[id];
    Check(e.start < e.tagEnd && e.tagEnd <= e.end && e.end <= text.size());
    Check(text[e.start] == '<' && text[e.tagEnd - 1] == '>');
    Check(e.parent < id && e.previous < count && e.next < count);
    const XmlElement& p = index.elements[e.parent];
    if (e.parent != 0) Check(p.tagEnd <= e.start && e.end <= p.end);
    if (e.next != 0) Check(index.elements[e.next].previous == id && e.end <= index.elements[e.next].start);
  }
}

std::string_view Name(const std::string& text, const XmlElement& e) {
  return std::string_view(text).substr(e.start + 1, e.nameLength);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  XmlEncoding::Found found;
  const std::string text = XmlEncoding::Decode(bytes, &found);
  Check(XmlEncoding::IsValidUtf8(text) && text.find('\0') == std::string::npos);
  Check(XmlEncoding::Decode(XmlEncoding::Encode(text, "UTF-16", false, true)) == text);
  Check(XmlEscape::Unescape(XmlEscape::Attribute(text)) == text);

  XmlIndex index;
  XmlParser::Parse(text, index);
  CheckIndex(text, index);

  XmlDocument doc;
  const bool wellFormed = doc.ReplaceText(text);
  Check(doc.Text() == text);
  if (index.elements.size() > 1) {
    const XmlElement& root = index.elements[1];
    Check(doc.FindNext(Name(text, root)));
    doc.ReadAttribute("a");
    doc.ReadAttributeInt("b");
    doc.ReadAttributeHex("c");
    if (root.firstChild != 0) {
      Check(doc.Enter());
      Check(doc.FindNext(Name(text, index.elements[root.firstChild])));
      doc.ReadAttribute(Name(text, index.elements[root.firstChild]));
      Check(doc.Leave());
    }
  }
  // Edits: the value comes from the input, so every character class gets written.
  const std::string value = XmlEncoding::Sanitize(bytes.substr(0, 64));
  const bool wrote = doc.WriteAttribute("fz", value);
  Check(doc.Enter() || !wrote);
  if (wrote) {
    Check(doc.AppendElement("fuzz.item"));
    Check(doc.WriteAttribute("n", 42));
    Check(doc.ReadAttributeInt("n") == 42);
    Check(doc.Leave());
    Check(doc.ReadAttribute("fz") == value);
  }
  XmlDocument again;
  const bool stillWellFormed = again.ReplaceText(doc.Text());
  if (wellFormed) Check(stillWellFormed);
  XmlParser::Parse(doc.Text(), index);
  CheckIndex(doc.Text(), index);
  return 0;
}
