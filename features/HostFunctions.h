#pragma once
// The host side of the keys that act on the computer: the keyboard sends the identifier of a
// host-function row (an event report), and this runs what the row says: start a program or open
// a file, open a web address, type a text, or switch the profile shown. The actions themselves
// are handed in, so that the rule is testable without a desktop.
//
// Threads: the caller's (the main window's UI thread); the store may be shared.
#include <cstdint>
#include <functional>
#include <string>

class ProfileStore;

struct HostActions {
  std::function<bool(const std::string& target)> open;  // program, file or address
  std::function<bool(const std::string& text)> paste;   // type a text into the focused window
  std::function<void(int32_t profile)> showProfile;     // switch the profile shown
};

enum class HostOutcome {
  Nothing,  // no row, an unknown type, an empty row, a profile that does not exist
  Opened,
  OpenFailed,  // the opener started nothing (a path that does not exist ...)
  Pasted,
  PasteFailed,
  ProfileShown,
};

HostOutcome RunHostFunction(ProfileStore& store, int32_t rowId, const HostActions& actions);
