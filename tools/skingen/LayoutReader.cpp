#include "LayoutReader.h"

#include "docs/XmlDocument.h"

#include <cstdlib>
#include <sstream>

namespace skingen {
namespace {

std::optional<KeyboardLayout> FromDocument(XmlDocument& doc) {
  if (!doc.FindNext("device.info") || !doc.Enter() || !doc.FindNext("Keyboard")) return std::nullopt;
  KeyboardLayout layout;
  layout.image = doc.ReadAttribute("image");
  layout.width = doc.ReadAttributeInt("width");
  layout.height = doc.ReadAttributeInt("height");
  // A picture name with a folder part would escape the keyboard folder.
  if (layout.image.empty() || layout.image.find_first_of("/\\") != std::string::npos ||
      layout.width <= 0 || layout.height <= 0 || layout.width > 4096 || layout.height > 4096)
    return std::nullopt;
  if (doc.Enter() && doc.FindNext("KeyItems") && doc.Enter()) {
    while (doc.FindNext("key")) {
      LayoutKey key;
      key.name = doc.ReadAttribute("name");
      std::istringstream parts(doc.ReadAttribute("rect"));
      std::string part;
      int v[4] = {0, 0, 0, 0};
      for (int n = 0; n < 4 && std::getline(parts, part, '#'); ++n)
        v[n] = static_cast<int>(std::strtol(part.c_str(), nullptr, 10));
      key.x = v[0];
      key.y = v[1];
      key.w = v[2];
      key.h = v[3];
      layout.keys.push_back(std::move(key));
    }
  }
  return layout;
}

}  // namespace

std::optional<KeyboardLayout> ParseLayout(std::string_view text) {
  XmlDocument doc;
  if (!doc.ReplaceText(text)) return std::nullopt;
  return FromDocument(doc);
}

std::optional<KeyboardLayout> ReadLayoutFile(const std::string& path) {
  XmlDocument doc;
  if (!doc.LoadFromFile(path)) return std::nullopt;
  return FromDocument(doc);
}

}  // namespace skingen
