#include "docs/KeyTables.h"

#include "platform/KeyNames.h"

namespace {

struct Pair {
  uint32_t from;
  uint32_t to;
};

// Single codes; the contiguous ranges are handled in VirtualKeyToHid itself.
constexpr Pair kVkToHid[] = {
    {48, 0x27},  {13, 0x28},  {27, 0x29},  {8, 0x2A},   {9, 0x2B},   {32, 0x2C},
    {189, 0x2D}, {187, 0x2E}, {219, 0x2F}, {221, 0x30}, {220, 0x31}, {666, 0x32},
    {186, 0x33}, {222, 0x34}, {192, 0x35}, {188, 0x36}, {190, 0x37}, {191, 0x38},
    {20, 0x39},  {44, 0x46},  {145, 0x47}, {19, 0x48},  {45, 0x49},  {36, 0x4A},
    {33, 0x4B},  {46, 0x4C},  {35, 0x4D},  {34, 0x4E},  {39, 0x4F},  {37, 0x50},
    {40, 0x51},  {38, 0x52},  {144, 0x53}, {111, 0x54}, {106, 0x55}, {109, 0x56},
    {107, 0x57}, {108, 0x58}, {96, 0x62},  {110, 0x63}, {226, 0x64}, {93, 0x65},
    {254, 0xAF}, {162, 0xE0}, {160, 0xE1}, {164, 0xE2}, {91, 0xE3},  {163, 0xE4},
    {161, 0xE5}, {165, 0xE6}, {92, 0xE7},  {136, 136},  {137, 137},  {138, 138},
    {139, 139},  {301, 0xEC}, {302, 0xEB},
};

struct Label {
  uint32_t usage;
  const char* text;
};

constexpr Label kLabels[] = {
    {0x27, "0"},      {0x62, "0"},       {0x28, "Enter"},   {0x58, "Enter"},  {0x29, "Esc"},
    {0x2A, "Backspace"}, {0x2B, "Tab"},  {0x2C, "Space"},   {0x2D, "-_"},     {0x2E, "+="},
    {0x2F, "[{"},     {0x30, "]}"},      {0x31, "\\"},      {0x33, ";:"},     {0x34, "'"},
    {0x35, "~`"},     {0x36, "<,"},      {0x37, ">."},      {0x38, "/?"},     {0x39, "Caps"},
    {0x46, "Print"},  {0x47, "Scroll"},  {0x48, "Pause"},   {0x49, "Ins"},    {0x4A, "Home"},
    {0x4B, "PgUp"},   {0x4C, "Del"},     {0x4D, "End"},     {0x4E, "PgDn"},   {0x4F, "Right"},
    {0x50, "Left"},   {0x51, "Down"},    {0x52, "UP"},      {0x53, "NumL"},   {0x54, "/"},
    {0x55, "*"},      {0x56, "-"},       {0x57, "+"},       {0x63, "."},      {0x65, "MENU"},
    {0xAF, "Fn"},     {0xE0, "L_Ctrl"},  {0xE1, "L_Shift"}, {0xE2, "L_Alt"},  {0xE3, "Win"},
    {0xE4, "R_Ctrl"}, {0xE5, "R_Shift"}, {0xE6, "R_Alt"},
};

struct Name {
  uint32_t vk;
  const char* text;
};

constexpr Name kCustomKeyNames[] = {
    {19, "Pause"}, {44, "Print"}, {91, "Win"},   {92, "RWin"},  {93, "App"},  {144, "NumL"},
    {186, ";:"},   {187, "=+"},   {188, "<,"},   {189, "-_"},   {190, ">."},  {191, "?/"},
    {192, "`~"},   {219, "[{"},   {220, "\\||"}, {221, "]}"},   {222, "'\""},
};

constexpr Name kRecordNames[] = {
    {19, "Pause"},    {20, "Caps"},      {33, "PgUp"},      {34, "PgDn"},     {44, "Print"},
    {91, "Win"},      {92, "RWin"},      {93, "App"},       {144, "NumL"},    {145, "Scroll"},
    {160, "L_Shift"}, {161, "R_Shift"},  {162, "L_Ctrl"},   {163, "R_Ctrl"},  {164, "L_Alt"},
    {165, "R_Alt"},
};

template <typename Table>
const char* Find(const Table& table, uint32_t vk) {
  for (const auto& entry : table) {
    if (entry.vk == vk) {
      return entry.text;
    }
  }
  return nullptr;
}

}  // namespace

uint32_t VirtualKeyToHid(uint32_t vk) {
  if (vk >= 65 && vk <= 90) return vk - 61;            // A-Z
  if (vk >= 49 && vk <= 57) return vk - 19;            // 1-9
  if (vk >= 112 && vk <= 123) return vk - 112 + 0x3A;  // F1-F12
  if (vk >= 97 && vk <= 105) return vk - 97 + 0x59;    // keypad 1-9
  if (vk >= 124 && vk <= 135) return vk - 124 + 0x68;  // F13-F24
  for (const Pair& pair : kVkToHid) {
    if (pair.from == vk) {
      return pair.to;
    }
  }
  return 0;
}

std::string HidToLabel(uint32_t usage) {
  if (usage >= 0x04 && usage <= 0x1D) return std::string(1, static_cast<char>('A' + usage - 0x04));
  if (usage >= 0x1E && usage <= 0x26) return std::string(1, static_cast<char>('1' + usage - 0x1E));
  if (usage >= 0x59 && usage <= 0x61) return std::string(1, static_cast<char>('1' + usage - 0x59));
  if (usage >= 0x3A && usage <= 0x45) return "F" + std::to_string(usage - 0x3A + 1);
  for (const Label& label : kLabels) {
    if (label.usage == usage) {
      return label.text;
    }
  }
  return {};
}

uint32_t RecordedVirtualKey(uint32_t vk) {
  switch (vk) {
    case 16: return 160;
    case 17: return 162;
    case 18: return 164;
    default: return vk;
  }
}

std::string VirtualKeyToDisplayName(uint32_t vk, KeyNameVariant variant) {
  if (variant == KeyNameVariant::MacroRecord) {
    vk = RecordedVirtualKey(vk);
    if (const char* name = Find(kRecordNames, vk)) {
      return name;
    }
    return KeyNameFromLayout(vk);
  }
  if (vk >= 124 && vk <= 135) {
    return "F" + std::to_string(vk - 111);
  }
  if (const char* name = Find(kCustomKeyNames, vk)) {
    return name;
  }
  return KeyNameFromLayout(vk);
}
