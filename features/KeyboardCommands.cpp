#include "features/KeyboardCommands.h"

#include <vector>

#include "device/HidDeviceList.h"
#include "features/MacroAreaBlocks.h"
#include "platform/PreciseSleep.h"
#include "store/ProfileStore.h"

namespace {
constexpr int32_t kBaseLayer = 0;
constexpr size_t kLongestFirmwareText = 10;
}  // namespace

KeyboardCommands::KeyboardCommands(HidDeviceList& devices, ProfileStore& store)
    : devices_(devices), store_(store) {}

void KeyboardCommands::SetSleeper(Sleeper sleeper) { sleeper_ = std::move(sleeper); }

void KeyboardCommands::Wait(std::chrono::nanoseconds duration) const {
  if (sleeper_) {
    sleeper_(duration);
  } else {
    platform::SleepFor(duration);
  }
}

TransferResult KeyboardCommands::SendKeyAssignments(int deviceIndex, int32_t profile) {
  TransferResult result;
  const auto send = [&](const CommandPayload& payload) {
    result.Add(devices_.SendFeaturePaced(payload, deviceIndex));
  };
  std::vector<KeyAssignmentRecord> assignments;
  store_.ListKeyAssignments(profile, kBaseLayer, assignments);
  const MacroArea area = BuildMacroArea(MacroAreaBlocks(assignments, store_));
  send(MacroAreaBeginCommand());
  for (int report = 0; report < kMacroAreaReports; ++report) {
    send(MacroAreaReport(area, report));
  }
  send(MacroAreaEndCommand());

  Wait(kAfterMacroArea);

  send(KeyTableBeginCommand());
  // Listed again: the table matches the store as it is now, not as it was 0.6 s ago.
  store_.ListKeyAssignments(profile, kBaseLayer, assignments);
  const KeyTableData table = BuildKeyTableData(assignments);
  send(DataReport(kKeyTableMarker, table.data()));
  send(KeyTableEndCommand());
  return result;
}

TransferResult KeyboardCommands::SendLightingMode(int deviceIndex, int32_t deviceType,
                                                  int32_t profile, int32_t mode,
                                                  int32_t customSlot) {
  TransferResult result;
  LightRecord light;
  if (store_.GetLightSetting(profile, mode, light)) {
    result.Add(SendLightingSetting(deviceIndex, deviceType, light, customSlot));
  }
  return result;
}

bool KeyboardCommands::SendLightingSetting(int deviceIndex, int32_t deviceType,
                                           const LightRecord& light, int32_t customSlot) {
  if (deviceType >= kOutputFamilyType) {
    return devices_.WriteOutput(LightingModeOutputCommand(light), deviceIndex);
  }
  return devices_.SendFeaturePaced(LightingModeCommand(light, customSlot), deviceIndex);
}

bool KeyboardCommands::SendCustomLightBegin(int deviceIndex, int32_t slot) {
  return devices_.SendFeaturePaced(CustomLightBeginCommand(slot), deviceIndex);
}

bool KeyboardCommands::SendCustomLightKey(int deviceIndex, int32_t keyCode, bool lit) {
  return devices_.SendFeaturePaced(CustomLightKeyCommand(keyCode, lit), deviceIndex);
}

bool KeyboardCommands::SendCustomLightEnd(int deviceIndex, int32_t slot) {
  return devices_.SendFeaturePaced(CustomLightEndCommand(slot), deviceIndex);
}

bool KeyboardCommands::SendMusicLevel(int deviceIndex, int32_t effect, int32_t level) {
  return devices_.SendFeature(MusicLevelCommand(effect, level), deviceIndex);
}

TransferResult KeyboardCommands::SendFactoryReset(int deviceIndex, int32_t deviceType) {
  TransferResult result;
  if (deviceType >= kOutputFamilyType) {
    result.Add(devices_.WriteOutput(FactoryResetOutputFirstCommand(), deviceIndex));
    Wait(kBetweenOutputResetSteps);
    result.Add(devices_.WriteOutput(FactoryResetOutputSecondCommand(), deviceIndex));
  } else {
    result.Add(devices_.SendFeaturePaced(FactoryResetCommand(), deviceIndex));
    Wait(kAfterFeatureReset);
  }
  return result;
}

std::optional<uint16_t> KeyboardCommands::ReadFirmwareVersion(int deviceIndex) {
  uint16_t version = 0;
  if (!devices_.ReadFirmwareVersion(deviceIndex, version)) {
    return std::nullopt;
  }
  return version;
}

bool KeyboardCommands::FirmwareUpdateAvailable(int deviceIndex, const std::string& fetchedText) {
  if (fetchedText.empty() || fetchedText.size() > kLongestFirmwareText) {
    return false;  // not a version text: do not even ask the device
  }
  const std::optional<uint16_t> version = ReadFirmwareVersion(deviceIndex);
  return version.has_value() && FirmwareIsOlder(*version, fetchedText);
}
