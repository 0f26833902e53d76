#pragma once
// Everything the program sends to the keyboard, as transfers: the key assignments (macro area,
// then key table), the lighting mode, custom light edits, the music level, the factory reset and
// the device side of the firmware version check. The caller names the device index, device type
// and profile; this class reads the profile store, builds the commands with the device layer's
// pure builders and sends them through the device list, with the protocol's pacing and waits.
// Every transfer reports how many of its reports went out, so that a keyboard unplugged in the
// middle is told apart from success.
//
// Threads: transfers are meant for the worker (key assignments, lighting mode, factory reset,
// firmware), the UI thread (custom light edits) and the audio thread (music level); the object
// holds no state of its own besides the references and the sleeper, so calls from those threads
// may overlap. The device list and the store are borrowed and must outlive it.
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "device/CommandBuilders.h"
#include "features/TransferResult.h"

class HidDeviceList;
class ProfileStore;

class KeyboardCommands {
 public:
  // Waits between the steps of a transfer (50 ms, 100 ms, 1600 ms); injectable for tests.
  using Sleeper = std::function<void(std::chrono::nanoseconds)>;

  static constexpr std::chrono::milliseconds kAfterMacroArea{50};
  static constexpr std::chrono::milliseconds kAfterFeatureReset{100};
  static constexpr std::chrono::milliseconds kBetweenOutputResetSteps{1600};

  KeyboardCommands(HidDeviceList& devices, ProfileStore& store);

  // Set before the first transfer, from the thread that builds the object.
  void SetSleeper(Sleeper sleeper);

  // Macro area begin, 16 data reports, end; 50 ms; key table begin, data, end. The set is the
  // profile's layer-0 assignments. 21 paced feature reports for every device type; all of them
  // are sent even when one fails (the next transfer repairs the keyboard's state).
  TransferResult SendKeyAssignments(int deviceIndex, int32_t profile);

  // The lighting row of (profile, mode) in the device type's family; nothing (total 0) when
  // there is no row. `customSlot` is the 0-based slot chosen on the lighting page.
  TransferResult SendLightingMode(int deviceIndex, int32_t deviceType, int32_t profile,
                                  int32_t mode, int32_t customSlot);
  // The same for a row the caller already holds. True when the command went out.
  bool SendLightingSetting(int deviceIndex, int32_t deviceType, const LightRecord& light,
                           int32_t customSlot);

  // Custom per-key lighting edit of one slot (feature family). True when the command went out.
  bool SendCustomLightBegin(int deviceIndex, int32_t slot);
  bool SendCustomLightKey(int deviceIndex, int32_t keyCode, bool lit);
  bool SendCustomLightEnd(int deviceIndex, int32_t slot);

  // One music level, sent at once (no pacing wait). True when the device took it.
  bool SendMusicLevel(int deviceIndex, int32_t effect, int32_t level);

  // Device type 200 and above: two output commands 1600 ms apart. Below 200: 07 F0 AA, then
  // 100 ms for the keyboard to settle. Reloading the pages is the caller's part.
  TransferResult SendFactoryReset(int deviceIndex, int32_t deviceType);

  // The device's firmware version as 16-bit number; nothing when it does not answer.
  std::optional<uint16_t> ReadFirmwareVersion(int deviceIndex);
  // True when the device answered with a version older than `fetchedText` (see FirmwareIsOlder).
  bool FirmwareUpdateAvailable(int deviceIndex, const std::string& fetchedText);

 private:
  void Wait(std::chrono::nanoseconds duration) const;

  HidDeviceList& devices_;
  ProfileStore& store_;
  Sleeper sleeper_;
};
