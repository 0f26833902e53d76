// The hidapi functions, served by the in-process virtual keyboards of LocalBus(). Linked into
// test, benchmark and fuzz executables (kw_vkbd forces this object in): definitions in the
// executable take precedence over libhidapi's, so such programs never touch real HID devices and
// see exactly the keyboards a test plugs.
#include <hidapi.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "tools/vkbd/HidInfoList.h"
#include "tools/vkbd/VirtualBus.h"

// The handle hid_open_path returns: one open port on a virtual keyboard's interface.
struct hid_device_ {
  std::shared_ptr<vkbd::VirtualPort> port;
  vkbd::InterfaceInfo info;
  hid_device_info* deviceInfo = nullptr;  // owned; built on demand by hid_get_device_info
  bool nonBlocking = false;
};

extern "C" {
// Referenced by kw_vkbd's link option so that the archive member is always linked.
int kw_vkbd_local_hidapi = 1;
}

namespace vkbd {
VirtualBus& LocalBus() {
  // Never destroyed: hidapi calls may arrive from static destructors (the process-wide device
  // list closes its devices at exit).
  alignas(VirtualBus) static unsigned char storage[sizeof(VirtualBus)];
  static VirtualBus* const bus = ::new (storage) VirtualBus;
  return *bus;
}
}  // namespace vkbd

namespace {
const wchar_t* const kNoError = L"Success";
const wchar_t* const kDeviceError = L"virtual keyboard: transfer failed or device removed";

vkbd::InterfaceInfo InfoForPath(const std::string& path) {
  for (const auto& i : vkbd::LocalBus().Enumerate()) {
    if (i.path == path) return i;
  }
  return {};
}
}  // namespace

extern "C" {

int hid_init(void) { return 0; }
int hid_exit(void) { return 0; }

hid_device_info* hid_enumerate(unsigned short vendor_id, unsigned short product_id) {
  std::vector<vkbd::InterfaceInfo> all = vkbd::LocalBus().Enumerate();
  std::erase_if(all, [&](const vkbd::InterfaceInfo& i) {
    return (vendor_id && i.vendorId != vendor_id) || (product_id && i.productId != product_id);
  });
  return vkbd::NewHidInfoList(all);
}

void hid_free_enumeration(hid_device_info* devs) { vkbd::FreeHidInfoList(devs); }

hid_device* hid_open_path(const char* path) {
  if (!path) return nullptr;
  auto port = vkbd::LocalBus().OpenPath(path);
  if (!port) {
    errno = vkbd::LocalBus().Denied(path) ? EACCES : ENODEV;  // as the hidraw open would
    return nullptr;
  }
  auto device = std::make_unique<hid_device_>();
  device->port = std::move(port);
  device->info = InfoForPath(path);
  return device.release();  // owned by the caller until hid_close
}

hid_device* hid_open(unsigned short vendor_id, unsigned short product_id, const wchar_t* serial_number) {
  for (const auto& i : vkbd::LocalBus().Enumerate()) {
    if (i.vendorId != vendor_id || i.productId != product_id) continue;
    if (serial_number && vkbd::Utf8ToWide(i.serial) != serial_number) continue;
    return hid_open_path(i.path.c_str());
  }
  return nullptr;
}

void hid_close(hid_device* dev) {
  if (!dev) return;
  vkbd::FreeHidInfoList(dev->deviceInfo);
  const std::unique_ptr<hid_device_> owned(dev);
}

int hid_write(hid_device* dev, const unsigned char* data, size_t length) {
  return dev ? dev->port->Write(data, length) : -1;
}

int hid_send_feature_report(hid_device* dev, const unsigned char* data, size_t length) {
  return dev ? dev->port->SendFeature(data, length) : -1;
}

int hid_get_feature_report(hid_device* dev, unsigned char* data, size_t length) {
  return dev ? dev->port->GetFeature(data, length) : -1;
}

int hid_get_input_report(hid_device*, unsigned char*, size_t) { return -1; }

int hid_read_timeout(hid_device* dev, unsigned char* data, size_t length, int milliseconds) {
  return dev ? dev->port->Read(data, length, milliseconds) : -1;
}

int hid_read(hid_device* dev, unsigned char* data, size_t length) {
  return dev ? dev->port->Read(data, length, dev->nonBlocking ? 0 : -1) : -1;
}

int hid_set_nonblocking(hid_device* dev, int nonblock) {
  if (!dev) return -1;
  dev->nonBlocking = nonblock != 0;
  return 0;
}

int hid_get_manufacturer_string(hid_device* dev, wchar_t* string, size_t maxlen) {
  return dev && dev->port->Connected() ? vkbd::CopyWide(dev->info.manufacturer, string, maxlen) : -1;
}

int hid_get_product_string(hid_device* dev, wchar_t* string, size_t maxlen) {
  return dev && dev->port->Connected() ? vkbd::CopyWide(dev->info.product, string, maxlen) : -1;
}

int hid_get_serial_number_string(hid_device* dev, wchar_t* string, size_t maxlen) {
  return dev && dev->port->Connected() ? vkbd::CopyWide(dev->info.serial, string, maxlen) : -1;
}

int hid_get_indexed_string(hid_device*, int, wchar_t*, size_t) { return -1; }

hid_device_info* hid_get_device_info(hid_device* dev) {
  if (!dev) return nullptr;
  if (!dev->deviceInfo) dev->deviceInfo = vkbd::NewHidInfoList({dev->info});
  return dev->deviceInfo;
}

const wchar_t* hid_error(hid_device* dev) {
  if (dev && !dev->port->Connected()) return kDeviceError;
  return kNoError;
}

const hid_api_version* hid_version(void) {
  static const hid_api_version version{HID_API_VERSION_MAJOR, HID_API_VERSION_MINOR, HID_API_VERSION_PATCH};
  return &version;
}

const char* hid_version_str(void) { return HID_API_VERSION_STR; }

}  // extern "C"
