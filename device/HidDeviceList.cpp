#include "device/HidDeviceList.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include "device/HidText.h"
#include "device/HidTrace.h"
#include "platform/PreciseSleep.h"

namespace {

constexpr size_t kMaxPath = 1023;
constexpr size_t kStringChars = 512;  // wide characters, terminator included
constexpr uint8_t kFeatureReportId = 0x07;
constexpr uint8_t kVersionRequest = 0x02;

std::string ReadString(hid_device* device, int (*get)(hid_device*, wchar_t*, size_t)) {
  wchar_t buffer[kStringChars] = {};
  if (get(device, buffer, kStringChars) != 0) return {};
  buffer[kStringChars - 1] = L'\0';
  return HidWideToUtf8(buffer);
}

}  // namespace

HidDeviceList& HidDeviceList::Instance() {
  static HidDeviceList list;
  return list;
}

HidDeviceList::HidDeviceList() : sleeper_([](std::chrono::nanoseconds d) { platform::SleepFor(d); }) {}

HidDeviceList::~HidDeviceList() {
  CloseAll();
  hid_exit();
}

void HidDeviceList::AddFilter(int32_t vendorId, int32_t productId, const std::string& name,
                              const std::string& pathPattern) {
  const std::lock_guard lock(mutex_);
  filters_.push_back(DeviceFilter{vendorId, productId, name, pathPattern});
}

std::vector<DeviceFilter> HidDeviceList::Filters() const {
  const std::lock_guard lock(mutex_);
  return filters_;
}

void HidDeviceList::ClearFilters() {
  const std::lock_guard lock(mutex_);
  filters_.clear();
}

void HidDeviceList::CloseAll() {
  std::vector<std::shared_ptr<HidDeviceRecord>> dropped;
  {
    const std::lock_guard lock(mutex_);
    open_ = false;
    dropped.swap(records_);
    denied_.clear();
  }
  // Devices close here, outside the lock, or later in the sender that still holds a record.
}

void HidDeviceList::Refresh() {
  if (hid_init() != 0) return;  // nothing to enumerate; the next refresh tries again
  const std::vector<DeviceFilter> filters = Filters();
  const HidEnumeration all(hid_enumerate(0, 0));
  for (const hid_device_info* it = all.get(); it; it = it->next) {
    const DeviceFilter* filter = nullptr;
    for (const DeviceFilter& f : filters) {
      if (f.Matches(it->vendor_id, it->product_id)) {
        filter = &f;
        break;
      }
    }
    if (!filter || !it->path) continue;
    std::string path(it->path);
    if (path.size() > kMaxPath) path.resize(kMaxPath);
    const std::string identity =
        HidIdentityText(it->vendor_id, it->product_id, it->interface_number, path.c_str());
    if (HidUpper(identity).find(HidUpper(filter->pathPattern)) == std::string::npos) continue;
    if (it->usage_page != kCommandUsagePage || it->usage != kCommandUsage) continue;

    errno = 0;
    HidHandle device(hid_open_path(it->path));
    const int openError = errno;
    KW_HID_TRACE("open dev: %08x\n", static_cast<unsigned>(reinterpret_cast<uintptr_t>(device.get())));
    if (!device) {
      if (openError == EACCES || openError == EPERM) {
        const std::lock_guard lock(mutex_);
        denied_.emplace_back(it->vendor_id, it->product_id);
      }
      continue;
    }

    HidDeviceInfo info;
    info.vendorId = it->vendor_id;
    info.productId = it->product_id;
    info.path = std::move(path);
    info.identity = identity;
    info.product = ReadString(device.get(), hid_get_product_string);
    info.manufacturer = ReadString(device.get(), hid_get_manufacturer_string);
    info.releaseNumber = it->release_number;

    const std::lock_guard lock(mutex_);
    info.index = static_cast<int32_t>(records_.size());
    records_.push_back(std::make_shared<HidDeviceRecord>(std::move(info), std::move(device)));
  }
}

bool HidDeviceList::AccessDenied(int32_t vendorId, int32_t productId) const {
  const std::lock_guard lock(mutex_);
  for (const auto& [vendor, product] : denied_)
    if (vendor == vendorId && product == productId) return true;
  return false;
}

void HidDeviceList::SetOpen(bool open) { open_ = open; }

bool HidDeviceList::IsOpen() const { return open_; }

int HidDeviceList::Count() const {
  const std::lock_guard lock(mutex_);
  return static_cast<int>(records_.size());
}

int HidDeviceList::FindDevice(int32_t vendorId, int32_t productId) const {
  const std::lock_guard lock(mutex_);
  for (size_t i = 0; i < records_.size(); ++i) {
    const HidDeviceInfo& info = records_[i]->Info();
    if (info.vendorId == vendorId && info.productId == productId) return static_cast<int>(i);
  }
  return -1;
}

std::optional<HidDeviceInfo> HidDeviceList::DeviceInfo(int index) const {
  const std::lock_guard lock(mutex_);
  if (index < 0 || static_cast<size_t>(index) >= records_.size()) return std::nullopt;
  return records_[static_cast<size_t>(index)]->Info();
}

std::shared_ptr<HidDeviceRecord> HidDeviceList::Acquire(int index) const {
  const std::lock_guard lock(mutex_);
  if (!open_ || index < 0 || static_cast<size_t>(index) >= records_.size()) return nullptr;
  return records_[static_cast<size_t>(index)];
}

void HidDeviceList::Wait(std::chrono::nanoseconds duration) const { sleeper_(duration); }

bool HidDeviceList::SendFeaturePaced(const HidPayload& payload, int index) {
  if (!Acquire(index)) return false;
  Wait(kPace);
  // Look the record up again: a refresh during the wait may have replaced it.
  const auto record = Acquire(index);
  if (!record) return false;
  return record->SendFeatureReport(payload.data(), payload.size()) >= 0;
}

bool HidDeviceList::SendFeature(const HidPayload& payload, int index) {
  const auto record = Acquire(index);
  if (!record) return false;
  return record->SendFeatureReport(payload.data(), payload.size()) >= 0;
}

bool HidDeviceList::WriteOutput(const HidPayload& payload, int index) {
  const auto record = Acquire(index);
  if (!record) return false;
  std::array<uint8_t, 65> buffer{};
  buffer[0] = 0;  // report id
  std::memcpy(buffer.data() + 1, payload.data(), payload.size());
  int written = record->Write(buffer.data(), buffer.size());
  if (written <= 0) {
    Wait(kPace);
    written = record->Write(buffer.data(), buffer.size());
  }
  return written > 0;
}

bool HidDeviceList::ReadFirmwareVersion(int index, uint16_t& value) {
  if (!Acquire(index)) return false;
  HidPayload request{};
  request[0] = kFeatureReportId;
  request[1] = kVersionRequest;
  HidPayload reply = request;
  Wait(kPace);
  auto record = Acquire(index);
  if (!record || record->GetFeatureReport(reply.data(), reply.size()) < 0) return false;
  if (reply[0] != kFeatureReportId) {
    Wait(kPace);
    reply = request;
    if (record->GetFeatureReport(reply.data(), reply.size()) < 0) return false;
    // A second reply that is still not a version reply carries no version.
    if (reply[0] != kFeatureReportId) return false;
  }
  value = static_cast<uint16_t>(reply[1] << 8 | reply[2]);
  return true;
}

void HidDeviceList::SetSleeper(Sleeper sleeper) {
  sleeper_ = sleeper ? std::move(sleeper)
                     : Sleeper([](std::chrono::nanoseconds d) { platform::SleepFor(d); });
}
