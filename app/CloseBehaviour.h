// What the main window's close button does, after the setting "exit_mode": 0 (or missing) asks
// first, 1 hides the window to the tray, 2 exits. Any thread (settings calls are atomic writes).
#pragma once

enum class ExitMode { Ask = 0, Hide = 1, Exit = 2 };

inline constexpr const char* kExitModeSetting = "exit_mode";

// The stored choice; values other than 1 and 2 read as Ask.
ExitMode ReadExitMode();
// Stores "1" or "2"; false when nothing could be stored.
bool StoreExitMode(ExitMode mode);

// What a press of the close button does once the choice is known: Ask only while nothing was
// chosen (the dialog was cancelled), which leaves the window as it is.
enum class CloseAction { Nothing, Hide, Minimize, Exit };
// `trayAvailable` false turns hiding into minimising, so that the window stays reachable.
CloseAction CloseActionFor(ExitMode mode, bool trayAvailable);

// Text number of the close button's tooltip.
int CloseTooltipText(ExitMode mode);
