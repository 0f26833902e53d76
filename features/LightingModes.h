#pragma once
// The lighting modes of a profile as the lighting page shows them: the option bits of a mode,
// the default rows a profile gets from its keyboard's layout, which rows a device type lists,
// the custom slots' store identifiers and the preview bytes of a mode's light frames.
// Pure functions over the store and layout values; any thread (the store locks itself).
#include <cstdint>
#include <utility>
#include <vector>

#include "docs/LayoutFile.h"
#include "store/StoreRecords.h"

class ProfileStore;

namespace lighting {

// Option value (config_func) bits of a mode.
inline constexpr int32_t kHasBrightness = 0x001;
inline constexpr int32_t kHasSpeed = 0x002;
inline constexpr int32_t kCustomKeys = 0x100;
inline constexpr int32_t kMusic = 0x200;

// The lighting page always works on this profile.
inline constexpr int32_t kLightingProfile = 1;

// Lighting-only models list only modes whose option value is at most this.
inline constexpr int32_t kMostOptionsOfLightingOnly = 3;
inline constexpr int32_t kLightingOnlyType = 200;

// Custom slots: 0-based on the page, 128 + slot in the store.
inline constexpr int32_t kSlotCount = 3;
inline constexpr int32_t kFirstSlotId = 128;
constexpr int32_t SlotId(int32_t slot) { return kFirstSlotId + slot; }

// Values a default row carries besides the layout's mode table.
inline constexpr int32_t kDefaultColour = 0xFFFFFF;
inline constexpr int32_t kDefaultColourful = 1;

constexpr bool IsCustom(int32_t options) { return (options & kCustomKeys) != 0; }
constexpr bool IsMusic(int32_t options) { return (options & kMusic) != 0; }
// Modes that animate a preview from the light-frame database.
constexpr bool HasPreview(int32_t options) { return !IsCustom(options) && !IsMusic(options); }
constexpr bool IsListed(int32_t deviceType, int32_t options) {
  return deviceType < kLightingOnlyType || options <= kMostOptionsOfLightingOnly;
}

// The rows a profile without lighting rows gets: one per mode of the layout, in its order.
std::vector<LightRecord> DefaultRows(const LayoutFile& layout, int32_t profile);

// Writes the default rows when `profile` has no lighting row yet, with the layout's default
// mode active (the first mode when the default names none of them). True when the profile has
// rows afterwards; a layout without modes writes nothing and yields false.
bool EnsureDefaultRows(ProfileStore& store, int32_t profile, const LayoutFile& layout);

// The profile's rows the mode list of `deviceType` shows, in store order.
std::vector<LightRecord> ListedModes(ProfileStore& store, int32_t profile, int32_t deviceType);

// One byte per frame row, the low byte of its colour, in row order (frames of one byte per key).
std::vector<unsigned char> PreviewBytes(const std::vector<FrameRecord>& frames);

// The rows that store a slot: one per (key code, colour) of the view, under `profile`.
std::vector<KeyColourRecord> SlotRows(int32_t profile, int32_t slot,
                                      const std::vector<std::pair<int32_t, int32_t>>& keys);

}  // namespace lighting
