#include "tools/vkbd/HidInfoList.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace vkbd {

std::wstring Utf8ToWide(const std::string& utf8) {
  std::wstring out;
  size_t i = 0;
  const size_t n = utf8.size();
  while (i < n) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    uint32_t cp = 0xFFFD;
    size_t len = 1;
    if (c < 0x80) {
      cp = c;
    } else if ((c >> 5) == 0x6 && i + 1 < n) {
      cp = (c & 0x1Fu) << 6 | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu);
      len = 2;
    } else if ((c >> 4) == 0xE && i + 2 < n) {
      cp = (c & 0x0Fu) << 12 | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu) << 6 |
           (static_cast<unsigned char>(utf8[i + 2]) & 0x3Fu);
      len = 3;
    } else if ((c >> 3) == 0x1E && i + 3 < n) {
      cp = (c & 0x07u) << 18 | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu) << 12 |
           (static_cast<unsigned char>(utf8[i + 2]) & 0x3Fu) << 6 | (static_cast<unsigned char>(utf8[i + 3]) & 0x3Fu);
      len = 4;
    }
    out += static_cast<wchar_t>(cp);
    i += len;
  }
  return out;
}

namespace {
wchar_t* WideDup(const std::string& utf8) {
  const std::wstring w = Utf8ToWide(utf8);
  auto* out = static_cast<wchar_t*>(std::calloc(w.size() + 1, sizeof(wchar_t)));
  if (out) std::wmemcpy(out, w.c_str(), w.size());
  return out;
}
}  // namespace

hid_device_info* NewHidInfoList(const std::vector<InterfaceInfo>& interfaces) {
  hid_device_info* head = nullptr;
  hid_device_info** tail = &head;
  for (const InterfaceInfo& i : interfaces) {
    auto* node = static_cast<hid_device_info*>(std::calloc(1, sizeof(hid_device_info)));
    if (!node) break;
    node->path = strdup(i.path.c_str());
    node->vendor_id = i.vendorId;
    node->product_id = i.productId;
    node->serial_number = WideDup(i.serial);
    node->release_number = i.releaseNumber;
    node->manufacturer_string = WideDup(i.manufacturer);
    node->product_string = WideDup(i.product);
    node->usage_page = i.usagePage;
    node->usage = i.usage;
    node->interface_number = i.interfaceNumber;
    node->bus_type = HID_API_BUS_USB;
    *tail = node;
    tail = &node->next;
  }
  return head;
}

void FreeHidInfoList(hid_device_info* list) {
  while (list) {
    hid_device_info* next = list->next;
    std::free(list->path);
    std::free(list->serial_number);
    std::free(list->manufacturer_string);
    std::free(list->product_string);
    std::free(list);
    list = next;
  }
}

int CopyWide(const std::string& utf8, wchar_t* out, size_t maxlen) {
  if (!out || maxlen == 0) return -1;
  const std::wstring w = Utf8ToWide(utf8);
  const size_t n = std::min(w.size(), maxlen - 1);
  std::wmemcpy(out, w.c_str(), n);
  out[n] = L'\0';
  return 0;
}

}  // namespace vkbd
