#pragma once
// A macro as the keyboard stores it: one 64-byte block per macro key, with the key index, the
// play count and up to 30 (HID usage, delay byte) pairs. Pure encoding apart from the store
// reads of EncodeMacroBlock; any thread.
#include <array>
#include <cstdint>
#include <vector>

#include "store/StoreRecords.h"

class ProfileStore;

// Limits of a macro.
inline constexpr int kMacroMaxEvents = 30;       // event pairs a block holds
inline constexpr int kMacroMaxPlayTimes = 99;    // as the editor accepts
inline constexpr int kMacroMaxDelayMs = 31000;   // longest delay a byte can carry
inline constexpr int kMacroBlockSize = 64;

// Event kinds of a macro record.
inline constexpr int32_t kMacroEventPress = 2;
inline constexpr int32_t kMacroEventRelease = 3;

using MacroBlock = std::array<uint8_t, kMacroBlockSize>;

// Bit 7 release, bits 6-5 unit (0: 10 ms, 1: 50 or 100 ms, 3: 1000 ms), bits 4-0 count.
uint8_t EncodeDelayByte(bool release, int32_t delayMs);

// The block from a play count and the records in record_index order. Records of a kind other
// than press or release are skipped; pairs past the 30th are dropped.
MacroBlock EncodeMacroBlock(uint8_t keyIndex, int32_t playTimes,
                            const std::vector<MacroEventRecord>& records);

// Reads the macro's play count and events from `store` and encodes them. A macro that does not
// exist gives a block with play count 1 and no events.
MacroBlock EncodeMacroBlock(uint8_t keyIndex, int32_t macroId, ProfileStore& store);
// The same on the process-wide profile store.
MacroBlock EncodeMacroBlock(uint8_t keyIndex, int32_t macroId);
