#include "platform/KeyNames.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

#include <array>
#include <memory>
#include <mutex>

#include "platform/base/Utf8.h"

namespace {

// Character keys: US name and the X keycode of the key at that position (evdev code + 8).
struct CharacterKey {
  uint32_t vk;
  unsigned keycode;
  const char* name;
};

constexpr CharacterKey kCharacterKeys[] = {
    {'1', 10, "1"}, {'2', 11, "2"}, {'3', 12, "3"}, {'4', 13, "4"}, {'5', 14, "5"},
    {'6', 15, "6"}, {'7', 16, "7"}, {'8', 17, "8"}, {'9', 18, "9"}, {'0', 19, "0"},
    {'Q', 24, "Q"}, {'W', 25, "W"}, {'E', 26, "E"}, {'R', 27, "R"}, {'T', 28, "T"},
    {'Y', 29, "Y"}, {'U', 30, "U"}, {'I', 31, "I"}, {'O', 32, "O"}, {'P', 33, "P"},
    {'A', 38, "A"}, {'S', 39, "S"}, {'D', 40, "D"}, {'F', 41, "F"}, {'G', 42, "G"},
    {'H', 43, "H"}, {'J', 44, "J"}, {'K', 45, "K"}, {'L', 46, "L"}, {'Z', 52, "Z"},
    {'X', 53, "X"}, {'C', 54, "C"}, {'V', 55, "V"}, {'B', 56, "B"}, {'N', 57, "N"},
    {'M', 58, "M"}, {189, 20, "-"}, {187, 21, "="}, {219, 34, "["}, {221, 35, "]"},
    {186, 47, ";"}, {222, 48, "'"}, {192, 49, "`"}, {220, 51, "\\"}, {188, 59, ","},
    {190, 60, "."}, {191, 61, "/"}, {226, 94, "\\"},
};

struct NamedKey {
  uint32_t vk;
  const char* name;
};

constexpr NamedKey kNamedKeys[] = {
    {8, "Backspace"},   {9, "Tab"},          {12, "Num 5"},         {13, "Enter"},
    {16, "Shift"},      {17, "Ctrl"},        {18, "Alt"},           {19, "Pause"},
    {20, "Caps Lock"},  {27, "Esc"},         {32, "Space"},         {33, "Page Up"},
    {34, "Page Down"},  {35, "End"},         {36, "Home"},          {37, "Left"},
    {38, "Up"},         {39, "Right"},       {40, "Down"},          {44, "Prnt Scrn"},
    {45, "Insert"},     {46, "Delete"},      {91, "Left Windows"},  {92, "Right Windows"},
    {93, "Application"}, {96, "Num 0"},      {97, "Num 1"},         {98, "Num 2"},
    {99, "Num 3"},      {100, "Num 4"},      {101, "Num 5"},        {102, "Num 6"},
    {103, "Num 7"},     {104, "Num 8"},      {105, "Num 9"},        {106, "Num *"},
    {107, "Num +"},     {108, "Num Enter"},  {109, "Num -"},        {110, "Num Del"},
    {111, "Num /"},     {144, "Num Lock"},   {145, "Scroll Lock"},  {160, "Shift"},
    {161, "Right Shift"}, {162, "Ctrl"},     {163, "Right Ctrl"},   {164, "Alt"},
    {165, "Right Alt"},
};

// Layout names of the character keys, filled once.
struct LayoutNames {
  std::array<std::string, sizeof(kCharacterKeys) / sizeof(kCharacterKeys[0])> names;
};

std::string SymbolName(KeySym sym) {
  if (sym == NoSymbol) {
    return {};
  }
  // Latin-1 keysyms equal their code points; show the upper case like a key cap.
  if ((sym >= 0x21 && sym <= 0x7E) || (sym >= 0xA1 && sym <= 0xFF)) {
    char32_t cp = static_cast<char32_t>(sym);
    if (cp >= 'a' && cp <= 'z') {
      cp -= 32;
    } else if (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7) {
      cp -= 32;
    }
    return platform::EncodeUtf8(cp);
  }
  const char* text = XKeysymToString(sym);
  return text != nullptr ? std::string(text) : std::string();
}

const LayoutNames& ReadLayoutNames() {
  static LayoutNames layout;
  static std::once_flag once;
  std::call_once(once, [] {
    for (size_t i = 0; i < layout.names.size(); ++i) {
      layout.names[i] = kCharacterKeys[i].name;
    }
    int major = XkbMajorVersion;
    int minor = XkbMinorVersion;
    int reason = 0;
    std::unique_ptr<Display, int (*)(Display*)> display(
        XkbOpenDisplay(nullptr, nullptr, nullptr, &major, &minor, &reason), XCloseDisplay);
    if (!display) {
      return;  // no display: the US names stay
    }
    XkbStateRec state{};
    XkbGetState(display.get(), XkbUseCoreKbd, &state);
    for (size_t i = 0; i < layout.names.size(); ++i) {
      const KeySym sym = XkbKeycodeToKeysym(display.get(),
                                            static_cast<KeyCode>(kCharacterKeys[i].keycode),
                                            state.group, 0);
      std::string name = SymbolName(sym);
      if (!name.empty()) {
        layout.names[i] = std::move(name);
      }
    }
  });
  return layout;
}

}  // namespace

std::string KeyNameFromLayout(uint32_t virtualKey) {
  for (size_t i = 0; i < sizeof(kCharacterKeys) / sizeof(kCharacterKeys[0]); ++i) {
    if (kCharacterKeys[i].vk == virtualKey) {
      return ReadLayoutNames().names[i];
    }
  }
  for (const NamedKey& key : kNamedKeys) {
    if (key.vk == virtualKey) {
      return key.name;
    }
  }
  if (virtualKey >= 112 && virtualKey <= 135) {
    return "F" + std::to_string(virtualKey - 111);
  }
  return {};
}
