#pragma once
// The 64-byte commands of the keyboard protocol, built as values. Two families: feature commands
// (byte 0 = report id 7, signature in bytes 1-4) for keyboards of device type below 200, and
// output commands (signature BB AA 99 88 first; the sender puts report id 0 in front) for the
// lighting-only devices of type 200 and above. Unlisted bytes are 0; values are cut to a byte.
// Pure functions, any thread.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "store/StoreRecords.h"

using CommandPayload = std::array<uint8_t, 64>;

inline constexpr int kDataBytesPerReport = 48;   // 8 sub-packets of 6 data bytes
inline constexpr int kKeyTableEntries = 12;
inline constexpr int kMacroAreaBlocks = 12;
inline constexpr int kMacroAreaReports = 16;     // 12 blocks x 64 bytes / 48
inline constexpr int kMacroAreaBlockSize = 64;
inline constexpr int kMacroAreaBytes = kMacroAreaBlocks * kMacroAreaBlockSize;
inline constexpr uint8_t kKeyTableMarker = 0x99;
inline constexpr uint8_t kMacroAreaMarker = 0x88;
inline constexpr int32_t kOutputFamilyType = 200;  // device types from here on: output commands

using KeyTableData = std::array<uint8_t, kDataBytesPerReport>;
using MacroArea = std::array<uint8_t, kMacroAreaBytes>;
// One 64-byte block of the macro area: a macro or a shortcut of one key.
using MacroAreaBlock = std::array<uint8_t, kMacroAreaBlockSize>;

CommandPayload KeyTableBeginCommand();   // 07 76 54 32 10
CommandPayload KeyTableEndCommand();     // 07 FE DC BA 00
CommandPayload MacroAreaBeginCommand();  // 07 01 23 45 67
CommandPayload MacroAreaEndCommand();    // 07 AB CD EF 00

// A data report: eight sub-packets "07 marker d d d d d d"; data byte n goes to report byte
// 8 * (n / 6) + 2 + n % 6.
CommandPayload DataReport(uint8_t marker, const uint8_t* data48);

// Key codes (bytes 0-11) and values (bytes 12-23) of every assignment that is not default (0),
// macro (3) or shortcut (7), in list order, at most 12.
KeyTableData BuildKeyTableData(const std::vector<KeyAssignmentRecord>& assignments);

// The blocks in order at 64-byte steps; blocks past the twelfth are dropped, missing ones are 0.
MacroArea BuildMacroArea(const std::vector<MacroAreaBlock>& blocks);

// Report r of the macro area: area bytes 48 r to 48 r + 47.
CommandPayload MacroAreaReport(const MacroArea& area, int report);

// 07 FF FF m b s 00 c, m = mode - 1; c only for a mode with option bit 0x100, else 0.
CommandPayload LightingModeCommand(const LightRecord& light, int32_t customSlot);
// BB AA 99 88 AA m b s.
CommandPayload LightingModeOutputCommand(const LightRecord& light);

CommandPayload CustomLightBeginCommand(int32_t slot);              // 07 12 34 56 78 00 00 c
CommandPayload CustomLightKeyCommand(int32_t keyCode, bool lit);   // 07 12 34 56 78 k l
CommandPayload CustomLightEndCommand(int32_t slot);                // 07 12 34 56 78 FE 00 c
CommandPayload MusicLevelCommand(int32_t effect, int32_t level);   // 07 23 45 67 89 e v

CommandPayload FactoryResetCommand();             // 07 F0 AA
CommandPayload FactoryResetOutputFirstCommand();  // BB AA 99 88 AA AA AA AA AA AA
CommandPayload FactoryResetOutputSecondCommand(); // BB AA 99 88

// The device version as the update check compares it: its hexadecimal digits ("%x"), read back
// as a decimal number (0x0105 -> "105" -> 105).
std::string FirmwareVersionText(uint16_t version);
// Leading decimal digits of a version text (as atoi does); 0 when there are none.
int64_t VersionNumber(const std::string& text);
// True when the device's number is above 0 and below the fetched text's number. The fetched
// text must have 1 to 10 characters, otherwise nothing is newer.
bool FirmwareIsOlder(uint16_t deviceVersion, const std::string& fetchedText);
