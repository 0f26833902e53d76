#include "features/LightingModes.h"

#include <algorithm>

#include "store/ProfileStore.h"

namespace lighting {

std::vector<LightRecord> DefaultRows(const LayoutFile& layout, int32_t profile) {
  std::vector<LightRecord> rows;
  rows.reserve(layout.Modes().size());
  for (const LayoutLightMode& mode : layout.Modes()) {
    LightRecord row;
    row.profile = profile;
    row.name = mode.name;
    row.mode = mode.mode;
    row.brightness = layout.Light().defaultBrightness;
    row.speed = layout.Light().defaultSpeed;
    row.colorful = kDefaultColourful;
    row.color_value = kDefaultColour;
    row.config_func = mode.config_func;
    rows.push_back(row);
  }
  return rows;
}

bool EnsureDefaultRows(ProfileStore& store, int32_t profile, const LayoutFile& layout) {
  if (store.CountLightSettings(profile) > 0) return true;
  const std::vector<LightRecord> rows = DefaultRows(layout, profile);
  if (rows.empty()) return false;
  const int32_t wanted = layout.Light().defaultMode;
  const bool known = std::any_of(rows.begin(), rows.end(),
                                 [wanted](const LightRecord& r) { return r.mode == wanted; });
  return store.AddDefaultLightSettings(profile, rows, known ? wanted : rows.front().mode);
}

std::vector<LightRecord> ListedModes(ProfileStore& store, int32_t profile, int32_t deviceType) {
  std::vector<LightRecord> rows;
  store.ListLightSettings(profile, rows);
  std::erase_if(rows, [deviceType](const LightRecord& r) {
    return !IsListed(deviceType, r.config_func);
  });
  return rows;
}

std::vector<unsigned char> PreviewBytes(const std::vector<FrameRecord>& frames) {
  std::vector<unsigned char> bytes;
  bytes.reserve(frames.size());
  for (const FrameRecord& f : frames) bytes.push_back(static_cast<unsigned char>(f.rgb_value & 0xFF));
  return bytes;
}

std::vector<KeyColourRecord> SlotRows(int32_t profile, int32_t slot,
                                      const std::vector<std::pair<int32_t, int32_t>>& keys) {
  std::vector<KeyColourRecord> rows;
  rows.reserve(keys.size());
  for (const auto& [code, colour] : keys) {
    KeyColourRecord row;
    row.profile = profile;
    row.light_id = SlotId(slot);
    row.key_code = code;
    row.key_rgb = colour;
    rows.push_back(row);
  }
  return rows;
}

}  // namespace lighting
