#pragma once
// Text helpers of the HID layer: hidapi's wide strings to UTF-8, and the identity text of an
// interface on which path patterns and hot-plug names are matched.
#include <cstdint>
#include <string>

// UTF-8 of a NUL-terminated wide (UTF-32) string; invalid code points become U+FFFD. nullptr -> "".
std::string HidWideToUtf8(const wchar_t* text);

// "HID\VID_24AE&PID_4076&MI_01\/dev/hidraw3": the ids and the USB interface number of the
// enumeration, then the hidapi path as given. A negative interface number prints as MI_FF.
std::string HidIdentityText(uint16_t vendorId, uint16_t productId, int interfaceNumber,
                            const char* path);

// ASCII upper-case copy (paths and patterns are ASCII where they matter).
std::string HidUpper(std::string text);
