#pragma once
// Keyboard layout and device description files (layouts/<name>.xml beside the program): the
// model's view bits, firmware address and lighting modes (LoadDeviceInfo), and the keyboard
// picture with one entry per key (LoadLayout), plus the two lookup tables from key code to the
// key's matrix index and light index.
//
// Reading only produces values; LayoutViews.h hands them to the keyboard views. A missing or
// malformed file gives empty keys and tables, never an error shown to anyone.
// A value type; one thread at a time.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// One key element. rect is x#y#w#h in the file, kept here as left, top, right, bottom.
struct LayoutKey {
  uint32_t code = 0;
  std::string name;
  std::string desc;
  int32_t keyIndex = 0;
  int32_t lightIndex = 0;
  std::string icon;
  std::string rowCol;
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};

// The light element's attributes.
struct LayoutLight {
  int32_t rgbKeyboard = 0;
  int32_t showSleeptime = 0;
  int32_t defaultMode = 0;
  int32_t defaultBrightness = 0;
  int32_t defaultSpeed = 0;
  int32_t brightnessMax = 0;
  int32_t speedMax = 0;
};

// One lighting mode, with the fields of the store's light record (the program stores it as is).
struct LayoutLightMode {
  int32_t light_id = 0;
  int32_t profile = 0;
  std::string name;
  int32_t mode = 0;
  int32_t brightness = 0;
  int32_t speed = 0;
  int32_t direction = 0;
  int32_t colorful = 1;
  int32_t colorindex = 0;
  int32_t color_value = 0x0051C9;
  int32_t config_func = 0;
  int32_t reserved = 0;
  int32_t status = 0;
};

class LayoutFile {
public:
  // View bits before any file was read; 0x01, 0x04 and 0x40 select the first, second and third
  // keyboard view.
  static constexpr int32_t kDefaultViewBits = 0x7F;
  static constexpr int32_t kFirstView = 0x01;
  static constexpr int32_t kSecondView = 0x04;
  static constexpr int32_t kThirdView = 0x40;

  // "<programFolder>layouts/<layoutName>.xml"; programFolder ends with '/'.
  static std::string PathFor(const std::string& programFolder, const std::string& layoutName);
  // x#y#w#h to left, top, right, bottom; missing or non-numeric parts read as 0.
  static void ParseRect(std::string_view text, int32_t* left, int32_t* top, int32_t* right,
                        int32_t* bottom);

  // Reads function, firmware and light (searched forward in that order) and the mode table.
  // True when a light element was read; otherwise the light values and the mode table keep
  // what they held. Modes get `profile`, the default brightness and speed.
  bool LoadDeviceInfo(const std::string& path, int32_t profile);
  // Empties the keys and both tables, then reads the Keyboard element and its keys. True when
  // a Keyboard element was found (even with no keys).
  bool LoadLayout(const std::string& path);

  int32_t ViewBits() const { return viewBits_; }
  const std::string& FirmwareUrl() const { return firmwareUrl_; }
  bool HasLight() const { return hasLight_; }
  const LayoutLight& Light() const { return light_; }
  const std::vector<LayoutLightMode>& Modes() const { return modes_; }

  bool HasKeyboard() const { return hasKeyboard_; }
  int32_t XPos() const { return xpos_; }
  int32_t YPos() const { return ypos_; }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  const std::string& Image() const { return image_; }
  const std::vector<LayoutKey>& Keys() const { return keys_; }
  const std::map<uint32_t, int32_t>& KeyIndexMap() const { return keyIndex_; }
  const std::map<uint32_t, int32_t>& LightIndexMap() const { return lightIndex_; }

private:
  int32_t viewBits_ = kDefaultViewBits;
  std::string firmwareUrl_;
  bool hasLight_ = false;
  LayoutLight light_;
  std::vector<LayoutLightMode> modes_;

  bool hasKeyboard_ = false;
  int32_t xpos_ = 0;
  int32_t ypos_ = 0;
  int32_t width_ = 0;
  int32_t height_ = 0;
  std::string image_;
  std::vector<LayoutKey> keys_;
  std::map<uint32_t, int32_t> keyIndex_;
  std::map<uint32_t, int32_t> lightIndex_;
};
