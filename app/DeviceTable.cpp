#include "app/DeviceTable.h"

#include <cstdio>

#include "device/DeviceFilter.h"
#include "device/HidText.h"
#include "docs/XmlDocument.h"

namespace {

constexpr int32_t kMainVendor = 0x24AE;
constexpr int32_t kMainProduct = 0x4076;
constexpr int32_t kSecondVendor = 0x1A2C;
constexpr int32_t kSecondProduct = 0x7FFF;
constexpr uint32_t kIdMask = 0xFFFF;

// The attribute `attribute` of child `name` of the current element, or empty.
std::string ChildAttribute(XmlDocument& document, const char* name, const char* attribute) {
  document.Enter();
  std::string value;
  if (document.FindNext(name)) value = document.ReadAttribute(attribute);
  document.Leave();
  return value;
}

}  // namespace

DeviceTable::File DeviceTable::Read(const std::string& path) {
  File file;
  XmlDocument document;
  document.LoadFromFile(path);  // a damaged file still yields the entries it indexes
  if (!document.FindNext("config") || !document.Enter()) return file;
  if (document.FindNext("device.info") && document.Enter()) {
    while (document.FindNext("keyboard")) {
      Entry entry;
      entry.name = document.ReadAttribute("name");
      entry.type = document.ReadAttributeInt("type");
      entry.vendorId = static_cast<int32_t>(document.ReadAttributeHex("vid") & kIdMask);
      entry.productId = static_cast<int32_t>(document.ReadAttributeHex("pid") & kIdMask);
      entry.layout = document.ReadAttribute("layout_file");
      if (entry.vendorId == 0 || entry.productId == 0) continue;
      entry.pathPattern = DeviceFilter::PathPattern(entry.vendorId, entry.productId);
      file.entries.push_back(std::move(entry));
    }
    document.Leave();
  }
  if (document.FindNext("software")) {
    Software& software = file.software;
    software.caption = document.ReadAttribute("caption");
    software.version = document.ReadAttribute("version");
    software.website = ChildAttribute(document, "website", "url");
    software.store = ChildAttribute(document, "store", "url");
    software.upgrade = ChildAttribute(document, "upgrade", "url");
    software.copyright = ChildAttribute(document, "copyright", "info");
  }
  return file;
}

DeviceTable::DeviceTable(HidDeviceList& list, std::vector<Entry> entries)
    : list_(list), entries_(std::move(entries)) {
  for (const Entry& entry : entries_)
    list_.AddFilter(entry.vendorId, entry.productId, "", entry.pathPattern);
}

DeviceTable::~DeviceTable() { StopEventReaders(); }

std::vector<DeviceTable::Shown> DeviceTable::Refresh() {
  list_.CloseAll();
  list_.Refresh();
  list_.SetOpen(true);
  const bool mainPresent = list_.FindDevice(kMainVendor, kMainProduct) >= 0;
  std::vector<Shown> shown;
  const std::lock_guard lock(mutex_);
  shown.reserve(entries_.size());
  for (Entry& entry : entries_) {
    entry.index = list_.FindDevice(entry.vendorId, entry.productId);
    entry.present = entry.index >= 0;
    const bool second = entry.vendorId == kSecondVendor && entry.productId == kSecondProduct;
    const bool noAccess = !entry.present && list_.AccessDenied(entry.vendorId, entry.productId);
    shown.push_back({entry.vendorId, entry.productId, entry.present && !(second && mainPresent),
                     noAccess});
  }
  return shown;
}

bool DeviceTable::AnyConnected() const { return list_.Count() > 0; }

bool DeviceTable::AnyNoAccess() const {
  const std::lock_guard lock(mutex_);
  for (const Entry& entry : entries_)
    if (!entry.present && list_.AccessDenied(entry.vendorId, entry.productId)) return true;
  return false;
}

void DeviceTable::StartEventReaders(DeviceEventReader::Poster poster) {
  StopEventReaders();
  for (const Entry& entry : entries_) {
    readers_.push_back(std::make_unique<DeviceEventReader>());
    readers_.back()->Start(poster, entry.vendorId, entry.productId, entry.type);
  }
}

void DeviceTable::RestartEventReaders() {
  for (auto& reader : readers_) reader->Restart();
}

void DeviceTable::StopEventReaders() {
  for (auto& reader : readers_) reader->Stop();
  readers_.clear();
}

std::vector<DeviceTable::Entry> DeviceTable::Entries() const {
  const std::lock_guard lock(mutex_);
  return entries_;
}

std::optional<DeviceTable::Entry> DeviceTable::FindType(int32_t type) const {
  const std::lock_guard lock(mutex_);
  for (const Entry& entry : entries_)
    if (entry.type == type) return entry;
  return std::nullopt;
}

int32_t DeviceTable::MatchArrival(const std::string& identity) const {
  const std::string name = HidUpper(identity);
  const std::lock_guard lock(mutex_);
  for (const Entry& entry : entries_)
    if (!entry.pathPattern.empty() && name.find(HidUpper(entry.pathPattern)) != std::string::npos)
      return entry.type;
  return 0;
}

int32_t DeviceTable::MarkRemoved(const std::string& identity) {
  const std::string name = HidUpper(identity);
  const auto holds = [&](int32_t id) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "%04X", static_cast<unsigned>(id) & kIdMask);
    return name.find(hex) != std::string::npos;
  };
  const std::lock_guard lock(mutex_);
  for (Entry& entry : entries_) {
    if (!entry.present || !holds(entry.vendorId) || !holds(entry.productId)) continue;
    entry.present = false;
    return entry.type;
  }
  return 0;
}
