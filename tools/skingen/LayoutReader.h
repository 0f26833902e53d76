#pragma once
// Reads what the keyboard picture needs from a layout file, the way the program loads it (the
// XML facility, root device.info, its first Keyboard, that element's KeyItems): the picture's
// name and size and every key's label and rectangle. A file the program could not use gives
// std::nullopt.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skingen {

struct LayoutKey {
  std::string name;
  int x = 0, y = 0, w = 0, h = 0;
};

struct KeyboardLayout {
  std::string image;  // file name below skins/theme1/keyboard/
  int width = 0;
  int height = 0;
  std::vector<LayoutKey> keys;
};

// `text` is the document as UTF-8.
std::optional<KeyboardLayout> ParseLayout(std::string_view text);
// Any encoding the XML facility recognises.
std::optional<KeyboardLayout> ReadLayoutFile(const std::string& path);

}  // namespace skingen
