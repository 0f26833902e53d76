#include "features/AssignmentKinds.h"

#include <algorithm>
#include <cctype>

namespace assign {

namespace {

constexpr int kTextKeyFunction = 205;
constexpr int kTextMacro = 206;
constexpr int kTextFirstChoiceTip = 207;
constexpr int kTextSecondChoiceTip = 208;
constexpr int kTextShortcut = 209;
constexpr int kTextProgram = 210;
constexpr int kTextWebAddress = 211;
constexpr int kTextTypedText = 212;

constexpr int kFirstChoiceBase = 220;  // choice 1: 220; choice n >= 2: 220 + n
constexpr int kSecondChoiceBase = 229;
constexpr int kShortcutBase = 700;

int CountKinds(const std::vector<KeyAssignmentRecord>& list, int32_t a, int32_t b) {
  return static_cast<int>(std::count_if(
      list.begin(), list.end(),
      [&](const KeyAssignmentRecord& r) { return r.macro_type == a || r.macro_type == b; }));
}

// "scheme://": letters, digits, '+', '-' or '.' before "://", starting with a letter. A bare
// "host:port" is no scheme.
bool HasScheme(const std::string& address) {
  const size_t colon = address.find("://");
  if (colon == std::string::npos || colon == 0) return false;
  if (std::isalpha(static_cast<unsigned char>(address[0])) == 0) return false;
  return std::all_of(address.begin(), address.begin() + static_cast<long>(colon), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '+' || c == '-' || c == '.';
  });
}

}  // namespace

int CountFunctionKeys(const std::vector<KeyAssignmentRecord>& list) {
  return CountKinds(list, kKeyOrFunction, kHighFunction);
}

int CountMacroAndShortcutKeys(const std::vector<KeyAssignmentRecord>& list) {
  return CountKinds(list, kMacro, kShortcut);
}

int32_t FunctionKind(int32_t value) {
  return value < kHighFunctionValue ? kKeyOrFunction : kHighFunction;
}

int TipTitleText(int32_t kind) {
  switch (kind) {
    case kDisabled: return kTextDisabled;
    case kKeyOrFunction:
    case kHighFunction: return kTextKeyFunction;
    case kMacro: return kTextMacro;
    case kFirstChoice: return kTextFirstChoiceTip;
    case kSecondChoice: return kTextSecondChoiceTip;
    case kShortcut: return kTextShortcut;
    case kProgram: return kTextProgram;
    case kWebAddress: return kTextWebAddress;
    case kText: return kTextTypedText;
    default: return 0;
  }
}

int FirstChoiceText(int n) {
  if (n < 1 || n > kFirstChoiceCount) return 0;
  return n == 1 ? kFirstChoiceBase : kFirstChoiceBase + n;
}

int SecondChoiceText(int n) { return n < 1 || n > kSecondChoiceCount ? 0 : kSecondChoiceBase + n; }

int ShortcutText(int n) { return n < 1 || n > kShortcutCount ? 0 : kShortcutBase + n; }

int32_t ModifierMask(const Modifiers& mods) {
  return (mods.ctrl ? kModCtrl : 0) | (mods.shift ? kModShift : 0) | (mods.alt ? kModAlt : 0) |
         (mods.win ? kModWin : 0);
}

std::string CombinationDescription(const Modifiers& mods, const std::string& keyName) {
  const std::pair<bool, const char*> order[] = {
      {mods.shift, "Shift"}, {mods.ctrl, "Ctrl"}, {mods.win, "Win"}, {mods.alt, "Alt"}};
  std::string prefix;
  for (const auto& [on, name] : order) {
    if (!on) continue;
    prefix += prefix.empty() ? name : std::string(" + ") + name;
  }
  if (prefix.empty()) return keyName;
  if (keyName.empty()) return prefix;
  return prefix + " + " + keyName;
}

std::string WebAddressTarget(const std::string& address) {
  if (address.empty() || HasScheme(address)) return address;
  if (address.find("www.") != std::string::npos) return "http://" + address;
  return "http://www." + address;
}

}  // namespace assign
