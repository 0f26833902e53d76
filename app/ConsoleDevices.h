// The device layer of the program while it runs without its main window: the keyboards of the
// device table, found through the HID device list, and one event reader per table entry that
// reports keyboard-side events on standard output.
//
// Threads: construction, StartEventReaders and StopEventReaders on the main thread; Refresh on
// the worker. The list must outlive the object.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "device/DeviceEventReader.h"
#include "device/HidDeviceList.h"

class ConsoleDevices {
 public:
  // One <keyboard> of the device table file.
  struct Entry {
    std::string name;
    int32_t type = 0;
    int32_t vendorId = 0;
    int32_t productId = 0;
  };

  // The <keyboard> entries of <config><device.info> in `path` (vid and pid hexadecimal), in file
  // order; entries without both ids are skipped. Empty when the file cannot be read.
  static std::vector<Entry> ReadDeviceTable(const std::string& path);

  // Adds one filter per entry to `list`.
  ConsoleDevices(HidDeviceList& list, std::vector<Entry> table);
  ~ConsoleDevices();  // stops the event readers
  ConsoleDevices(const ConsoleDevices&) = delete;
  ConsoleDevices& operator=(const ConsoleDevices&) = delete;

  // Reopens every connected keyboard of the table and reports what it found. True when at
  // least one is connected.
  bool Refresh();

  // Starts one event reader per entry (a reader whose device is absent stays idle), posting to
  // `poster`; by default each event is reported on standard output.
  void StartEventReaders(DeviceEventReader::Poster poster = {});
  void StopEventReaders();

  const std::vector<Entry>& Table() const { return table_; }

 private:
  HidDeviceList& list_;
  const std::vector<Entry> table_;
  std::vector<std::unique_ptr<DeviceEventReader>> readers_;
};
