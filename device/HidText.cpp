#include "device/HidText.h"

#include "platform/HidrawUevent.h"
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
  // One format for the enumeration and the hot-plug notices, so that both match alike.
  return platform::HidIdentityText(vendorId, productId, interfaceNumber, path ? path : "");
}

std::string HidUpper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}
