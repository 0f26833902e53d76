// The device table of the main window: the keyboards of config.xml, their presence in the HID
// device list, and one event reader per entry. Also the texts and addresses config.xml gives the
// window (caption, version, web addresses, notice).
//
// Threads: construction, the event readers and the hot-plug matching on the UI thread; Refresh
// on the worker while the window is disabled. The presence marks, written by both, are guarded.
// The HID list must outlive the table.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "device/DeviceEventReader.h"
#include "device/HidDeviceList.h"

class DeviceTable {
 public:
  // One <keyboard> of <config><device.info>.
  struct Entry {
    std::string name;
    int32_t type = 0;
    int32_t vendorId = 0;
    int32_t productId = 0;
    std::string layout;
    std::string pathPattern;  // "VID_%04X&PID_%04X"
    bool present = false;
    int index = -1;  // in the HID device list
  };

  // <config><software> and its children; empty texts where the file has none.
  struct Software {
    std::string caption;
    std::string version;
    std::string website;
    std::string store;
    std::string upgrade;
    std::string copyright;
  };

  struct File {
    std::vector<Entry> entries;
    Software software;
  };

  // Reads config.xml at `path` (vid and pid hexadecimal; entries without both ids are skipped).
  // A missing, unreadable or damaged file yields what it still holds, at worst nothing.
  static File Read(const std::string& path);

  // What the device list control shows for an entry after a refresh.
  struct Shown {
    int32_t vendorId = 0;
    int32_t productId = 0;
    bool connected = false;
    bool noAccess = false;  // present, but its command interface may not be opened
  };

  // Adds one HID filter per entry to `list`.
  DeviceTable(HidDeviceList& list, std::vector<Entry> entries);
  ~DeviceTable();  // stops the event readers
  DeviceTable(const DeviceTable&) = delete;
  DeviceTable& operator=(const DeviceTable&) = delete;

  // Reopens every keyboard of the table, marks each entry present or absent and returns, per
  // entry in table order, what the device list shows: the second identity of the keyboard
  // (1A2C/7FFF) counts as not connected while the first (24AE/4076) is present too.
  std::vector<Shown> Refresh();
  // Whether some command interface is open (the last refresh found a keyboard).
  bool AnyConnected() const;
  // Whether the last refresh found a keyboard of the table that it was not allowed to open.
  bool AnyNoAccess() const;

  void StartEventReaders(DeviceEventReader::Poster poster);
  void RestartEventReaders();
  void StopEventReaders();

  // A copy of the entries with their presence marks as now.
  std::vector<Entry> Entries() const;
  // The first entry of `type`; nothing when the table has none.
  std::optional<Entry> FindType(int32_t type) const;

  // Hot-plug matching on an interface's identity text (compared upper-cased). Arrival: the type
  // of the first entry whose path pattern occurs in it. Removal: the first present entry whose
  // ids, each "%04X", both occur in it; its present mark is cleared. 0 when none matches.
  int32_t MatchArrival(const std::string& identity) const;
  int32_t MarkRemoved(const std::string& identity);

 private:
  HidDeviceList& list_;
  mutable std::mutex mutex_;  // guards the presence marks and indexes of entries_
  std::vector<Entry> entries_;
  std::vector<std::unique_ptr<DeviceEventReader>> readers_;
};
