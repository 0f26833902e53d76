#pragma once
// What a key assignment row means: its kinds, the two per-profile limits, the tip title of each
// kind, the modifier mask and description of a key combination, the target of a web-address row.
// Pure functions over records; any thread.
#include <cstdint>
#include <string>
#include <vector>

#include "store/StoreRecords.h"

namespace assign {

enum Kind : int32_t {
  kDefault = 0,
  kDisabled = 1,
  kKeyOrFunction = 2,  // a key combination, or a function list entry below kHighFunctionValue
  kMacro = 3,
  kFirstChoice = 5,   // first fixed list of the custom key dialog (8 choices)
  kSecondChoice = 6,  // second fixed list (7 choices)
  kShortcut = 7,
  kProgram = 8,
  kWebAddress = 9,
  kText = 10,
  kProfileSwitch = 11,
  kHighFunction = 12,  // a function list entry of kHighFunctionValue and above
};

inline constexpr int32_t kHighFunctionValue = 500;
inline constexpr int kFunctionKeyLimit = 12;    // kinds 2 and 12 per profile
inline constexpr int kMacroShortcutLimit = 12;  // kinds 3 and 7 per profile
inline constexpr int kFirstChoiceCount = 8;
inline constexpr int kSecondChoiceCount = 7;
inline constexpr int kShortcutCount = 15;

// Modifier bits of a key combination (macro_value2 of kind 2).
inline constexpr int32_t kModCtrl = 1;
inline constexpr int32_t kModShift = 2;
inline constexpr int32_t kModAlt = 4;
inline constexpr int32_t kModWin = 8;

// Language texts of the kinds.
inline constexpr int kTextDisabled = 202;

// Assignments of kind 2 or 12, and of kind 3 or 7, in a profile's list.
int CountFunctionKeys(const std::vector<KeyAssignmentRecord>& list);
int CountMacroAndShortcutKeys(const std::vector<KeyAssignmentRecord>& list);

// Kind of a function list entry by its value.
int32_t FunctionKind(int32_t value);

// Language text of the key tip's title for a kind; 0 for kinds that show no tip (0, 11 and
// unknown kinds).
int TipTitleText(int32_t kind);

// Display texts of the fixed choices and shortcuts (n counts from 1); 0 when out of range.
int FirstChoiceText(int n);
int SecondChoiceText(int n);
int ShortcutText(int n);

struct Modifiers {
  bool shift = false;
  bool ctrl = false;
  bool win = false;
  bool alt = false;
};
int32_t ModifierMask(const Modifiers& mods);
// "Shift + Ctrl + A": the checked modifiers in the order Shift, Ctrl, Win, Alt, then the key
// name; either part may be missing.
std::string CombinationDescription(const Modifiers& mods, const std::string& keyName);

// What a web-address row opens: an address with a scheme as it is; one that names "www."
// somewhere gets "http://"; any other gets "http://www." in front. Empty for an empty row.
std::string WebAddressTarget(const std::string& address);

}  // namespace assign
