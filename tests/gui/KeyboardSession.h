// A main-window session beside the virtual keyboard: what the keyboard holds (its decoded state),
// what the profile database holds (sqlite3), and the key page's steps a user takes (a key of the
// picture, a function of the list, the key menu, the custom key dialog, message boxes).
// End-to-end test fixtures derive from it. Test thread only.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "MainWindowSession.h"
#include "docs/LayoutFile.h"
#include "tavex/KeyFuncControl.h"

namespace GuiTest {

inline constexpr const char* kMenuTitle = "Menu Window";
inline constexpr const char* kMessageTitle = "MessageBox";
inline constexpr const char* kCustomKeyTitle = "CustomKeyDlg";
inline constexpr const char* kWaitTitle = "WaitDlg";
inline constexpr unsigned kMessageText = 32;
inline constexpr unsigned kMessageFirstButton = 33;  // OK, or Yes

// Waits until `test` holds, polling; its last answer. The limit grows with the build's time scale.
bool Eventually(const std::function<bool()>& test,
                std::chrono::milliseconds limit = std::chrono::seconds(10));

class KeyboardSession : public MainWindowSession {
 protected:
  KeyboardSession();

  std::string DataFolder() const { return home_.Path() + "/data/Tarnwick Files/"; }
  std::string Database() const { return DataFolder() + "db/Tarnwick_V3_data.db"; }
  // The rows `query` gives, one a line, columns separated by '|'.
  std::string Sql(const std::string& query) const;

  // The keyboard's decoded state ("state 0" of the server).
  std::string State() const;
  // The number the first group of `pattern` finds in the state; -1 when none.
  int StateNumber(const char* pattern) const;
  int KeyTableTransfers() const { return StateNumber("keytable transfers=(\\d+)"); }
  int LightingCommands() const { return StateNumber("lighting .*commands=(\\d+)"); }
  // Whether a transfer's wait dialog shows now.
  bool WaitDialogShown() const;
  // Waits for key table transfer number `n` and for its wait dialog to go.
  bool WaitForTransfer(int n);
  // The key table entries the keyboard holds ("key 0 code=29 value=3a").
  std::vector<std::string> KeyTable() const;
  // Macro block `index` as hex bytes; empty when the keyboard holds none there.
  std::string MacroBlock(int index) const;
  // What the device list showed at its last refresh (see app/DeviceTrace.h).
  std::string LastRefresh() const;

  // Key `code` of the layout; null when it has none.
  const LayoutKey* FindKey(int code) const;
  // Clicks (or right-clicks) key `code` of the key page's keyboard picture.
  bool KeyButton(int code, bool right);
  // Clicks the entry of value `value` in the function list.
  bool ClickFunction(int value);
  // Opens the key menu on key `code` and picks `command`.
  bool KeyMenu(int code, unsigned command);
  // The text of the message box shown now, answered with its first button; empty when none.
  std::string AnswerMessage();
  // Runs `steps` with look-ups in the custom key dialog once it shows.
  bool InDialog(const std::function<bool()>& steps);
  // Picks row `row` of the dialog's combo box `id` with the keyboard.
  bool PickRow(unsigned id, int row);
  // Opens the key menu's custom key dialog on key `code` and confirms the combination of Shift,
  // Ctrl and `key` (an xdotool key name).
  bool AssignShiftCtrlCombination(int code, const std::string& key);

  LayoutFile layout_;
  Tavex::KeyFuncControl functions_;
};

}  // namespace GuiTest
