#include "app/ConsoleDevices.h"

#include <cstdio>

#include "app/ConsoleHost.h"
#include "docs/XmlDocument.h"

std::vector<ConsoleDevices::Entry> ConsoleDevices::ReadDeviceTable(const std::string& path) {
  std::vector<Entry> table;
  XmlDocument document;
  document.LoadFromFile(path);  // a damaged file still yields the entries it indexes
  if (!document.FindNext("config") || !document.Enter() || !document.FindNext("device.info") ||
      !document.Enter())
    return table;
  while (document.FindNext("keyboard")) {
    Entry entry;
    entry.name = document.ReadAttribute("name");
    entry.type = document.ReadAttributeInt("type");
    entry.vendorId = static_cast<int32_t>(document.ReadAttributeHex("vid") & 0xFFFF);
    entry.productId = static_cast<int32_t>(document.ReadAttributeHex("pid") & 0xFFFF);
    if (entry.vendorId != 0 && entry.productId != 0) table.push_back(std::move(entry));
  }
  return table;
}

ConsoleDevices::ConsoleDevices(HidDeviceList& list, std::vector<Entry> table)
    : list_(list), table_(std::move(table)) {
  for (const Entry& entry : table_)
    list_.AddFilter(entry.vendorId, entry.productId, "",
                    DeviceFilter::PathPattern(entry.vendorId, entry.productId));
}

ConsoleDevices::~ConsoleDevices() { StopEventReaders(); }

bool ConsoleDevices::Refresh() {
  list_.CloseAll();
  list_.Refresh();
  list_.SetOpen(true);
  bool any = false;
  for (const Entry& entry : table_) {
    if (list_.FindDevice(entry.vendorId, entry.productId) < 0) continue;
    Report("found " + entry.name);
    any = true;
  }
  return any;
}

void ConsoleDevices::StartEventReaders(DeviceEventReader::Poster poster) {
  StopEventReaders();
  if (!poster) {
    poster = [](uint32_t, uintptr_t type, intptr_t event) {
      char line[64];
      std::snprintf(line, sizeof line, "keyboard event 0x%02X from device type %u",
                    static_cast<unsigned>(event & 0xFF), static_cast<unsigned>(type));
      Report(line);
    };
  }
  for (const Entry& entry : table_) {
    readers_.push_back(std::make_unique<DeviceEventReader>());
    readers_.back()->Start(poster, entry.vendorId, entry.productId, entry.type);
  }
}

void ConsoleDevices::StopEventReaders() {
  for (auto& reader : readers_) reader->Stop();
  readers_.clear();
}
