#include "device/HidText.h"

#include <cstdio>

#include "platform/base/Utf8.h"

std::string HidWideToUtf8(const wchar_t* text) {
  std::string out;
  if (!text) return out;
  for (; *text; ++text) {
    // Surrogates and values past U+10FFFF become U+FFFD.
    platform::AppendUtf8(out, static_cast<char32_t>(*text));
  }
  return out;
}

std::string HidIdentityText(uint16_t vendorId, uint16_t productId, int interfaceNumber,
                            const char* path) {
  char head[48];
  std::snprintf(head, sizeof head, "HID\\VID_%04X&PID_%04X&MI_%02X\\", vendorId, productId,
                static_cast<unsigned>(interfaceNumber) & 0xFFu);
  return std::string(head) + (path ? path : "");
}

std::string HidUpper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}
