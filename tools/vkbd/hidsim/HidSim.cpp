// libhidsim.so: the hidapi functions, forwarded to a keywright-vkbd process over its Unix socket
// (KW_VKBD_SOCKET or the default path). Preloaded (LD_PRELOAD) into the unchanged program, whose
// calls then reach virtual keyboards instead of the machine's devices. Without a server the
// machine appears to have no HID devices at all.
#include <hidapi.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <string>
#include <vector>

#include "tools/vkbd/HidInfoList.h"
#include "tools/vkbd/WireProtocol.h"

using vkbd::wire::Connection;
using vkbd::wire::Op;
using vkbd::wire::Request;

// One open handle: its own connection, bound to the interface by the Open request.
struct hid_device_ {
  std::unique_ptr<Connection> connection;
  vkbd::InterfaceInfo info;
  hid_device_info* deviceInfo = nullptr;  // owned; built on demand
  bool nonBlocking = false;
};

namespace {
const wchar_t* const kNoError = L"Success";
const wchar_t* const kError = L"hidsim: no virtual keyboard server, or the transfer failed";

std::vector<vkbd::InterfaceInfo> Enumerate() {
  Connection connection(vkbd::wire::DefaultSocketPath());
  const auto rs = connection.Call(Request{Op::Enumerate, 0, 0, {}});
  if (!rs || rs->result < 0) return {};
  auto list = vkbd::wire::DecodeInterfaces(rs->data);
  return list ? std::move(*list) : std::vector<vkbd::InterfaceInfo>{};
}

int Transfer(hid_device* dev, Op op, const unsigned char* data, size_t length) {
  if (!dev || !data) return -1;
  const auto rs = dev->connection->Call(Request{op, 0, 0, {data, data + length}});
  return rs ? rs->result : -1;
}

int String(hid_device* dev, Op op, wchar_t* out, size_t maxlen) {
  if (!dev) return -1;
  const auto rs = dev->connection->Call(Request{op, 0, 0, {}});
  if (!rs || rs->result < 0) return -1;
  return vkbd::CopyWide(std::string(rs->data.begin(), rs->data.end()), out, maxlen);
}
}  // namespace

extern "C" {

int hid_init(void) { return 0; }
int hid_exit(void) { return 0; }

hid_device_info* hid_enumerate(unsigned short vendor_id, unsigned short product_id) {
  std::vector<vkbd::InterfaceInfo> all = Enumerate();
  std::erase_if(all, [&](const vkbd::InterfaceInfo& i) {
    return (vendor_id && i.vendorId != vendor_id) || (product_id && i.productId != product_id);
  });
  return vkbd::NewHidInfoList(all);
}

void hid_free_enumeration(hid_device_info* devs) { vkbd::FreeHidInfoList(devs); }

hid_device* hid_open_path(const char* path) {
  if (!path) return nullptr;
  auto device = std::make_unique<hid_device_>();
  device->connection = std::make_unique<Connection>(vkbd::wire::DefaultSocketPath());
  const std::string p(path);
  const auto rs = device->connection->Call(Request{Op::Open, 0, 0, {p.begin(), p.end()}});
  if (!rs || rs->result < 0) {
    // hidapi leaves the open's errno behind; the program tells "no access" apart by it.
    errno = rs && rs->result == -EACCES ? EACCES : ENODEV;
    return nullptr;
  }
  for (const auto& i : Enumerate()) {
    if (i.path == p) device->info = i;
  }
  return device.release();  // owned by the caller until hid_close
}

hid_device* hid_open(unsigned short vendor_id, unsigned short product_id, const wchar_t* serial_number) {
  for (const auto& i : Enumerate()) {
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
  return Transfer(dev, Op::Write, data, length);
}

int hid_send_feature_report(hid_device* dev, const unsigned char* data, size_t length) {
  return Transfer(dev, Op::SendFeature, data, length);
}

int hid_get_feature_report(hid_device* dev, unsigned char* data, size_t length) {
  if (!dev || !data) return -1;
  const auto rs = dev->connection->Call(Request{Op::GetFeature, 0, 0, {data, data + length}});
  if (!rs || rs->result < 0) return -1;
  std::copy_n(rs->data.begin(), std::min(length, rs->data.size()), data);
  return rs->result;
}

int hid_get_input_report(hid_device*, unsigned char*, size_t) { return -1; }

int hid_read_timeout(hid_device* dev, unsigned char* data, size_t length, int milliseconds) {
  if (!dev || !data) return -1;
  const auto rs = dev->connection->Call(Request{Op::Read, milliseconds, static_cast<int32_t>(length), {}});
  if (!rs || rs->result < 0) return -1;
  const size_t n = std::min(length, rs->data.size());
  std::copy_n(rs->data.begin(), n, data);
  return static_cast<int>(n);
}

int hid_read(hid_device* dev, unsigned char* data, size_t length) {
  return hid_read_timeout(dev, data, length, dev && dev->nonBlocking ? 0 : -1);
}

int hid_set_nonblocking(hid_device* dev, int nonblock) {
  if (!dev) return -1;
  dev->nonBlocking = nonblock != 0;
  return 0;
}

int hid_get_manufacturer_string(hid_device* dev, wchar_t* string, size_t maxlen) {
  return String(dev, Op::Manufacturer, string, maxlen);
}

int hid_get_product_string(hid_device* dev, wchar_t* string, size_t maxlen) {
  return String(dev, Op::Product, string, maxlen);
}

int hid_get_serial_number_string(hid_device* dev, wchar_t* string, size_t maxlen) {
  return String(dev, Op::Serial, string, maxlen);
}

int hid_get_indexed_string(hid_device*, int, wchar_t*, size_t) { return -1; }

hid_device_info* hid_get_device_info(hid_device* dev) {
  if (!dev) return nullptr;
  if (!dev->deviceInfo) dev->deviceInfo = vkbd::NewHidInfoList({dev->info});
  return dev->deviceInfo;
}

const wchar_t* hid_error(hid_device* dev) {
  return dev && !dev->connection->Connected() ? kError : kNoError;
}

const hid_api_version* hid_version(void) {
  static const hid_api_version version{HID_API_VERSION_MAJOR, HID_API_VERSION_MINOR, HID_API_VERSION_PATCH};
  return &version;
}

const char* hid_version_str(void) { return HID_API_VERSION_STR; }

}  // extern "C"
