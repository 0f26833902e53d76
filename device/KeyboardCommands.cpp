#include "device/KeyboardCommands.h"

#include <vector>

#include "device/HidDeviceList.h"
#include "platform/PreciseSleep.h"
#include "store/ProfileStore.h"

namespace {
constexpr int32_t kBaseLayer = 0;
}

KeyboardCommands::KeyboardCommands(HidDeviceList& devices, ProfileStore& store)
    : devices_(devices), store_(store) {}

KeyboardCommands::KeyboardCommands()
    : KeyboardCommands(HidDeviceList::Instance(), ProfileStore::Instance()) {}

void KeyboardCommands::SetSleeper(Sleeper sleeper) { sleeper_ = std::move(sleeper); }

void KeyboardCommands::Wait(std::chrono::nanoseconds duration) const {
  if (sleeper_) {
    sleeper_(duration);
  } else {
    platform::SleepFor(duration);
  }
}

void KeyboardCommands::SendKeyAssignments(int deviceIndex, int32_t profile) {
  std::vector<KeyAssignmentRecord> assignments;
  store_.ListKeyAssignments(profile, kBaseLayer, assignments);
  const MacroArea area = BuildMacroArea(assignments, store_);
  devices_.SendFeaturePaced(MacroAreaBeginCommand(), deviceIndex);
  for (int report = 0; report < kMacroAreaReports; ++report) {
    devices_.SendFeaturePaced(MacroAreaReport(area, report), deviceIndex);
  }
  devices_.SendFeaturePaced(MacroAreaEndCommand(), deviceIndex);

  Wait(kAfterMacroArea);

  devices_.SendFeaturePaced(KeyTableBeginCommand(), deviceIndex);
  // Listed again: the table matches the store as it is now, not as it was 0.6 s ago.
  store_.ListKeyAssignments(profile, kBaseLayer, assignments);
  const KeyTableData table = BuildKeyTableData(assignments);
  devices_.SendFeaturePaced(DataReport(kKeyTableMarker, table.data()), deviceIndex);
  devices_.SendFeaturePaced(KeyTableEndCommand(), deviceIndex);
}

bool KeyboardCommands::SendLightingMode(int deviceIndex, int32_t deviceType, int32_t profile,
                                        int32_t mode, int32_t customSlot) {
  LightRecord light;
  if (!store_.GetLightSetting(profile, mode, light)) {
    return false;
  }
  SendLightingSetting(deviceIndex, deviceType, light, customSlot);
  return true;
}

void KeyboardCommands::SendLightingSetting(int deviceIndex, int32_t deviceType,
                                           const LightRecord& light, int32_t customSlot) {
  if (deviceType >= kOutputFamilyType) {
    devices_.WriteOutput(LightingModeOutputCommand(light), deviceIndex);
  } else {
    devices_.SendFeaturePaced(LightingModeCommand(light, customSlot), deviceIndex);
  }
}

void KeyboardCommands::SendCustomLightBegin(int deviceIndex, int32_t slot) {
  devices_.SendFeaturePaced(CustomLightBeginCommand(slot), deviceIndex);
}

void KeyboardCommands::SendCustomLightKey(int deviceIndex, int32_t keyCode, bool lit) {
  devices_.SendFeaturePaced(CustomLightKeyCommand(keyCode, lit), deviceIndex);
}

void KeyboardCommands::SendCustomLightEnd(int deviceIndex, int32_t slot) {
  devices_.SendFeaturePaced(CustomLightEndCommand(slot), deviceIndex);
}

bool KeyboardCommands::SendMusicLevel(int deviceIndex, int32_t effect, int32_t level) {
  return devices_.SendFeature(MusicLevelCommand(effect, level), deviceIndex);
}

void KeyboardCommands::SendFactoryReset(int deviceIndex, int32_t deviceType) {
  if (deviceType >= kOutputFamilyType) {
    devices_.WriteOutput(FactoryResetOutputFirstCommand(), deviceIndex);
    Wait(kBetweenOutputResetSteps);
    devices_.WriteOutput(FactoryResetOutputSecondCommand(), deviceIndex);
  } else {
    devices_.SendFeaturePaced(FactoryResetCommand(), deviceIndex);
    Wait(kAfterFeatureReset);
  }
}

std::optional<uint16_t> KeyboardCommands::ReadFirmwareVersion(int deviceIndex) {
  uint16_t version = 0;
  if (!devices_.ReadFirmwareVersion(deviceIndex, version)) {
    return std::nullopt;
  }
  return version;
}

bool KeyboardCommands::FirmwareUpdateAvailable(int deviceIndex, const std::string& fetchedText) {
  if (fetchedText.empty() || fetchedText.size() > 10) {
    return false;  // not a version text: do not even ask the device
  }
  const std::optional<uint16_t> version = ReadFirmwareVersion(deviceIndex);
  return version.has_value() && FirmwareIsOlder(*version, fetchedText);
}
