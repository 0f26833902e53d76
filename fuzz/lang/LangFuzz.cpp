// Language files come from beside the executable and may be edited by users: any bytes must
// parse, and every text a lookup yields must be valid UTF-8 of at most 259 code points.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "docs/LangFile.h"
#include "docs/TextCodec.h"

namespace {

void CheckUtf8(const std::string& text) {
  if (SanitizeUtf8(text) != text) __builtin_trap();
}

void Check(const std::string& text) {
  CheckUtf8(text);
  if (CountCodePoints(text) > LangFile::kMaxTextLength) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const LangFile file = LangFile::Parse(bytes);

  // Look up every name the input seems to define, in the section texts live in and in the
  // first section the input names.
  const std::string text = DecodeTextFile(bytes);
  CheckUtf8(text);
  std::string firstSection;
  if (const auto open = text.find('['); open != std::string::npos)
    firstSection = text.substr(open + 1, text.find(']', open) - open - 1);
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    const std::string_view line = std::string_view(text).substr(start, end - start);
    if (const auto equals = line.find('='); equals != std::string_view::npos) {
      const std::string_view name = line.substr(0, equals);
      Check(file.Get("KB.DIALOG", name));
      Check(file.Get(firstSection, name));
    }
    start = end + 1;
  }
  for (int number = 0; number < 8; ++number) Check(file.Get("KB.DIALOG", std::to_string(number)));
  return 0;
}
