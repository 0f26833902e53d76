#pragma once
// Builds the C structures the hidapi interface hands out (enumeration lists, wide strings) from
// InterfaceInfo values, with the allocation contract of that interface: the caller releases a
// list with FreeHidInfoList (hid_free_enumeration). Shared by the in-process hidapi functions and
// by libhidsim.
#include <hidapi.h>

#include <cstddef>
#include <string>
#include <vector>

#include "tools/vkbd/InterfaceInfo.h"

namespace vkbd {

// A malloc'd list in order, or nullptr when `interfaces` is empty or memory ran out.
hid_device_info* NewHidInfoList(const std::vector<InterfaceInfo>& interfaces);
void FreeHidInfoList(hid_device_info* list);

// Copies UTF-8 text into a wide buffer of `maxlen` characters, always terminated. -1 when the
// buffer is missing.
int CopyWide(const std::string& utf8, wchar_t* out, size_t maxlen);
std::wstring Utf8ToWide(const std::string& utf8);

}  // namespace vkbd
