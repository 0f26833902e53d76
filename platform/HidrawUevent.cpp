#include "platform/HidrawUevent.h"

#include <cstdio>
#include <string_view>
#include <vector>

namespace platform {

namespace {

constexpr std::string_view kSubsystem = "hidraw";
constexpr std::string_view kDevFolder = "/dev/";
constexpr unsigned kByteMask = 0xFF;
constexpr int kHexDigits = 4;

std::vector<std::string_view> Components(std::string_view path) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  while (start <= path.size()) {
    const size_t slash = path.find('/', start);
    const size_t end = slash == std::string_view::npos ? path.size() : slash;
    if (end > start) parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

bool HexField(std::string_view text, unsigned& value) {
  if (text.empty()) return false;
  value = 0;
  for (const char c : text) {
    unsigned digit = 0;
    if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
    else if (c >= 'A' && c <= 'F') digit = static_cast<unsigned>(c - 'A' + 10);
    else if (c >= 'a' && c <= 'f') digit = static_cast<unsigned>(c - 'a' + 10);
    else return false;
    value = value * 16 + digit;
  }
  return true;
}

// "0003:24AE:4076.0009": bus, vendor, product, instance, all hexadecimal.
bool HidDeviceName(std::string_view name, uint16_t& vendor, uint16_t& product) {
  const size_t first = name.find(':');
  const size_t second = first == std::string_view::npos ? first : name.find(':', first + 1);
  const size_t dot = second == std::string_view::npos ? second : name.find('.', second + 1);
  if (dot == std::string_view::npos) return false;
  unsigned bus = 0, v = 0, p = 0, instance = 0;
  const std::string_view vendorText = name.substr(first + 1, second - first - 1);
  const std::string_view productText = name.substr(second + 1, dot - second - 1);
  if (vendorText.size() != kHexDigits || productText.size() != kHexDigits) return false;
  if (!HexField(name.substr(0, first), bus) || !HexField(vendorText, v) ||
      !HexField(productText, p) || !HexField(name.substr(dot + 1), instance))
    return false;
  vendor = static_cast<uint16_t>(v);
  product = static_cast<uint16_t>(p);
  return true;
}

// "1-2:1.1" (USB interface: port path, configuration, interface number) -> 1; -1 otherwise.
int InterfaceNumber(std::string_view name) {
  const size_t colon = name.find(':');
  const size_t dot = colon == std::string_view::npos ? colon : name.find('.', colon);
  if (dot == std::string_view::npos || dot + 1 >= name.size()) return -1;
  int number = 0;
  for (const char c : name.substr(dot + 1)) {
    if (c < '0' || c > '9') return -1;
    number = number * 10 + (c - '0');
    if (number > static_cast<int>(kByteMask)) return -1;
  }
  return number;
}

}  // namespace

std::string HidIdentityText(uint16_t vendorId, uint16_t productId, int interfaceNumber,
                            const std::string& path) {
  char head[48];
  std::snprintf(head, sizeof head, "HID\\VID_%04X&PID_%04X&MI_%02X\\", vendorId, productId,
                static_cast<unsigned>(interfaceNumber) & kByteMask);
  return std::string(head) + path;
}

std::optional<HotPlugNotice> HidrawNotice(const std::string& action, const std::string& subsystem,
                                          const std::string& devPath, const std::string& devNode) {
  HotPlugNotice notice;
  if (action == "add") notice.kind = HotPlugKind::Arrival;
  else if (action == "remove") notice.kind = HotPlugKind::Removal;
  else return std::nullopt;
  if (subsystem != kSubsystem) return std::nullopt;

  const std::vector<std::string_view> parts = Components(devPath);
  // The HID device is the component above "hidraw/<node>"; the USB interface, if any, above it.
  if (parts.size() < 3 || parts[parts.size() - 2] != kSubsystem) return std::nullopt;
  const size_t hid = parts.size() - 3;
  uint16_t vendor = 0, product = 0;
  if (!HidDeviceName(parts[hid], vendor, product)) return std::nullopt;
  const int interface = hid > 0 ? InterfaceNumber(parts[hid - 1]) : -1;
  const std::string node =
      devNode.empty() ? std::string(kDevFolder) + std::string(parts.back()) : devNode;
  notice.identity = HidIdentityText(vendor, product, interface, node);
  return notice;
}

std::optional<HotPlugNotice> ParseKernelUevent(const char* data, size_t length) {
  if (data == nullptr) return std::nullopt;
  const std::string_view all(data, length);
  // The header "action@devpath" comes first; the fields follow, each ended by a NUL.
  const size_t headerEnd = all.find('\0');
  if (headerEnd == std::string_view::npos) return std::nullopt;
  const size_t atSign = all.substr(0, headerEnd).find('@');
  if (atSign == std::string_view::npos || atSign == 0) return std::nullopt;
  std::string action, subsystem, devPath, devName;
  size_t at = headerEnd + 1;
  while (at < all.size()) {
    const size_t end = all.find('\0', at);
    if (end == std::string_view::npos) return std::nullopt;  // the last field was cut off
    const std::string_view field = all.substr(at, end - at);
    const size_t equals = field.find('=');
    if (equals != std::string_view::npos) {
      const std::string_view key = field.substr(0, equals);
      const std::string value(field.substr(equals + 1));
      if (key == "ACTION") action = value;
      else if (key == "SUBSYSTEM") subsystem = value;
      else if (key == "DEVPATH") devPath = value;
      else if (key == "DEVNAME") devName = value;
    }
    at = end + 1;
  }
  if (devName.empty()) return HidrawNotice(action, subsystem, devPath, "");
  const std::string node =
      devName.front() == '/' ? devName : std::string(kDevFolder) + devName;
  return HidrawNotice(action, subsystem, devPath, node);
}

}  // namespace platform
