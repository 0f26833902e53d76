#include "tools/lightgen/LayoutModel.h"

#include <cstdio>

#include "docs/XmlDocument.h"

bool LayoutModel::Load(const std::string& path, std::string* error) {
  XmlDocument doc;
  if (!doc.LoadFromFile(path)) {
    *error = "cannot load " + path;
    return false;
  }
  if (!doc.FindNext("device.info") || !doc.Enter()) {
    *error = "no device.info root";
    return false;
  }
  if (doc.FindNext("light") && doc.Enter()) {
    while (doc.FindNext("info")) {
      modes.push_back({doc.ReadAttributeInt("name"), doc.ReadAttributeInt("mode"),
                       doc.ReadAttributeInt("attribute")});
    }
    doc.Leave();
  }
  if (!doc.FindNext("Keyboard")) {
    *error = "no Keyboard element";
    return false;
  }
  width = doc.ReadAttributeInt("width");
  height = doc.ReadAttributeInt("height");
  if (doc.Enter() && doc.FindNext("KeyItems") && doc.Enter()) {
    while (doc.FindNext("key")) {
      LayoutKey key;
      key.code = doc.ReadAttributeHex("code");
      key.name = doc.ReadAttribute("name");
      int x = 0, y = 0, w = 0, h = 0;
      if (std::sscanf(doc.ReadAttribute("rect").c_str(), "%d#%d#%d#%d", &x, &y, &w, &h) != 4) {
        *error = "key " + key.name + " has no x#y#w#h rect";
        return false;
      }
      key.left = x;
      key.top = y;
      key.right = x + w;
      key.bottom = y + h;
      keys.push_back(key);
    }
  }
  if (keys.empty() || modes.empty() || width <= 0 || height <= 0) {
    *error = "layout without keys, modes or picture size";
    return false;
  }
  return true;
}
