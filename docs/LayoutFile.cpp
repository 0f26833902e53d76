#include "docs/LayoutFile.h"

#include <cstdlib>

#include "docs/XmlDocument.h"

namespace {

// Leading decimal integer of `text` (sign allowed), 0 when none; saturates at the int32 range.
int32_t LeadingInt(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > INT32_MAX) value = static_cast<int64_t>(INT32_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT32_MAX) value = INT32_MAX;
  if (value < INT32_MIN) value = INT32_MIN;
  return static_cast<int32_t>(value);
}

// Sum that stays inside int32 (a hostile width must not wrap a rectangle around).
int32_t SaturatingAdd(int32_t a, int32_t b) {
  const int64_t sum = static_cast<int64_t>(a) + b;
  if (sum > INT32_MAX) return INT32_MAX;
  if (sum < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(sum);
}

bool OpenRoot(XmlDocument& doc, const std::string& path) {
  return doc.LoadFromFile(path) && doc.FindNext("device.info") && doc.Enter();
}

}  // namespace

std::string LayoutFile::PathFor(const std::string& programFolder, const std::string& layoutName) {
  return programFolder + "layouts/" + layoutName + ".xml";
}

void LayoutFile::ParseRect(std::string_view text, int32_t* left, int32_t* top, int32_t* right,
                           int32_t* bottom) {
  int32_t part[4] = {0, 0, 0, 0};
  for (int i = 0; i < 4; ++i) {
    const size_t hash = text.find('#');
    part[i] = LeadingInt(text.substr(0, hash));
    if (hash == std::string_view::npos) break;
    text.remove_prefix(hash + 1);
  }
  *left = part[0];
  *top = part[1];
  *right = SaturatingAdd(part[0], part[2]);
  *bottom = SaturatingAdd(part[1], part[3]);
}

bool LayoutFile::LoadDeviceInfo(const std::string& path, int32_t profile) {
  XmlDocument doc;
  if (!OpenRoot(doc, path)) return false;
  // One forward search: the three elements count only in this order.
  if (doc.FindNext("function")) viewBits_ = doc.ReadAttributeInt("value");
  if (doc.FindNext("firmware")) firmwareUrl_ = doc.ReadAttribute("url");
  if (!doc.FindNext("light")) return false;
  LayoutLight light;
  light.rgbKeyboard = doc.ReadAttributeInt("rgb_keyboard");
  light.showSleeptime = doc.ReadAttributeInt("show_sleeptime");
  light.defaultMode = doc.ReadAttributeInt("default_mode");
  light.defaultBrightness = doc.ReadAttributeInt("default_brightness");
  light.defaultSpeed = doc.ReadAttributeInt("default_speed");
  light.brightnessMax = doc.ReadAttributeInt("brightness_max");
  light.speedMax = doc.ReadAttributeInt("speed_max");
  light_ = light;
  hasLight_ = true;
  modes_.clear();
  if (doc.Enter()) {
    while (doc.FindNext("info")) {
      LayoutLightMode m;
      m.profile = profile;
      m.name = doc.ReadAttribute("name");
      m.mode = doc.ReadAttributeInt("mode");
      m.brightness = light.defaultBrightness;
      m.speed = light.defaultSpeed;
      m.config_func = doc.ReadAttributeInt("attribute");
      modes_.push_back(std::move(m));
    }
  }
  return true;
}

bool LayoutFile::LoadLayout(const std::string& path) {
  keys_.clear();
  keyIndex_.clear();
  lightIndex_.clear();
  hasKeyboard_ = false;
  xpos_ = ypos_ = width_ = height_ = 0;
  image_.clear();

  XmlDocument doc;
  if (!OpenRoot(doc, path) || !doc.FindNext("Keyboard")) return false;
  hasKeyboard_ = true;
  xpos_ = doc.ReadAttributeInt("xpos");
  ypos_ = doc.ReadAttributeInt("ypos");
  width_ = doc.ReadAttributeInt("width");
  height_ = doc.ReadAttributeInt("height");
  image_ = doc.ReadAttribute("image");
  if (!doc.Enter() || !doc.FindNext("KeyItems") || !doc.Enter()) return true;
  while (doc.FindNext("key")) {
    LayoutKey key;
    key.code = doc.ReadAttributeHex("code");
    key.name = doc.ReadAttribute("name");
    key.desc = doc.ReadAttribute("desc");
    key.keyIndex = doc.ReadAttributeInt("key_index");
    key.lightIndex = doc.ReadAttributeInt("light_index");
    key.icon = doc.ReadAttribute("icon");
    key.rowCol = doc.ReadAttribute("row_col");
    if (key.keyIndex > 0 && key.lightIndex > 0) {
      keyIndex_[key.code] = key.keyIndex;
      lightIndex_[key.code] = key.lightIndex;
    }
    ParseRect(doc.ReadAttribute("rect"), &key.left, &key.top, &key.right, &key.bottom);
    keys_.push_back(std::move(key));
  }
  return true;
}
