// Task codes of the worker's queue. Each code names one kind of work that talks to the keyboard
// or the network; the work itself is registered by the subsystem that owns it.
#pragma once

#include <cstdint>

enum TaskCode : uint32_t {
  kTaskFirstRefresh = 2,      // first device refresh after the main window starts
  kTaskRefresh = 3,           // device refresh after a hot-plug notification
  kTaskSwitchDevice = 4,      // switch to the device chosen in the device list
  kTaskReloadPages = 5,       // reload macro, profile and lighting pages for the device
  kTaskSendKeys = 6,          // key assignment transfer: macro blocks, then the key table
  kTaskSendLighting = 7,      // send the current lighting mode
  kTaskSendCustomLight = 8,   // upload of a custom light slot (handled like 7)
  kTaskFactoryReset = 10,     // factory reset of the keyboard
  kTaskCheckSoftware = 11,    // software version check
  kTaskCheckFirmware = 12,    // firmware version check
  kTaskDownloadSoftware = 13, // software download and launch
  kTaskDownloadFirmware = 14, // firmware tool download and launch
};

// Codes that refresh the device state themselves, with or without a keyboard.
constexpr bool IsRefreshTask(uint32_t code) {
  return code == kTaskFirstRefresh || code == kTaskRefresh;
}

// Codes whose work ends by closing the wait dialog the UI opened when it queued them.
constexpr bool ClosesWaitDialog(uint32_t code) {
  return code == kTaskSendKeys || code == kTaskSendLighting || code == kTaskSendCustomLight ||
         code == kTaskFactoryReset;
}
