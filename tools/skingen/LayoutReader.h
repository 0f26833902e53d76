#pragma once
// Reads what the keyboard picture needs from a layout file: the picture's name and size and every
// key's label and rectangle. A small tolerant tag scanner (UTF-8 or UTF-16 with BOM); it never
// throws and reports a file it cannot use as std::nullopt.
#include <optional>
#include <string>
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

std::optional<KeyboardLayout> ParseLayout(const std::string& bytes);
std::optional<KeyboardLayout> ReadLayoutFile(const std::string& path);

}  // namespace skingen
