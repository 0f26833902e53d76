#pragma once
// Codes: the numbers that travel between controls, windows and the program, named once.
//
// A control reports to its owner with MControl::SendMessageW(code, wParam, lParam); the owner's
// OnMessage(id, code, wParam, lParam) receives the same code. Window messages are posted to a
// window's queue (MWindow::PostMessageW) and arrive in OnWindowMessage. Handlers and senders
// write these names, never the numbers; the numbers are part of the design and never change.
// The standard window messages (WM_PAINT, WM_TIMER, WM_DEVICECHANGE ...) are in WinTypes.h.
#include "tavex/WinTypes.h"

namespace Tavex {

// Control notification codes (the `code` of OnMessage).
namespace Notify {
inline constexpr unsigned Press = 1;            // left button down; lists: (item index, 0)
inline constexpr unsigned Click = 2;            // clicked or value changed (see each control)
inline constexpr unsigned DoubleClick = 3;      // (mouse key flags, CPoint*); MListBox (row, 0)
inline constexpr unsigned RightClick = 5;       // right button released on an item (index, value)
inline constexpr unsigned CheckToggled = 7;     // check toggled by key, or menu item pressed
inline constexpr unsigned Scrolled = 8;         // scroll bar moved (new position, 0)
inline constexpr unsigned InnerPress = 9;       // tab item or edit text box pressed
inline constexpr unsigned FrameSelected = 24;   // KeyboardCtrl: right-button frame selection ended
inline constexpr unsigned TextChanged = 26;     // edit text changed by the user
inline constexpr unsigned ColourChosen = 27;    // palettes: (0, colour)
inline constexpr unsigned SpinChanged = 28;     // spin value changed
inline constexpr unsigned EditEnded = 29;       // in-place edit finished (0, row) / edit lost focus
inline constexpr unsigned EditStarted = 30;     // MEdit: in-place edit started
inline constexpr unsigned TextBoxReleased = 31; // MEdit: left button released in the text box
inline constexpr unsigned Dropped = 33;         // drag and drop ended (target id, MAKELPARAM(x, y))

// lParam of Click sent by the open drop-down list to its combo box: a row was picked.
inline constexpr long ComboPickFlag = 19;
}  // namespace Notify

// Window messages of the library and the program (WM_USER range and above).
inline constexpr UINT WM_USERCLOSEWINDOW = 0x442;  // wParam: the dialog result
inline constexpr UINT WM_DEVICEEVENT = 0x444;      // an event report of the keyboard (event readers)
inline constexpr UINT WM_KEYHOOK = 0x676;          // a key taken by the system-wide recorder
inline constexpr UINT WM_TRAYNOTIFY = 0x69A;       // tray icon callback; download progress (wParam 0)
inline constexpr UINT WM_EXTERNALREQUEST = 0x69B;  // from another process; lParam says what
inline constexpr UINT WM_KEYMENU = 0x721;          // key menu command chosen (wParam: command)
inline constexpr UINT WM_PROFILEMENU = 0x722;      // profile menu command chosen
inline constexpr UINT WM_MACROMENU = 0x723;        // macro list menu command chosen
inline constexpr UINT WM_SETTEXTS = 0x7E6;         // set every caption again (language changed)

// lParam of WM_EXTERNALREQUEST that asks the program to quit.
inline constexpr LPARAM kExternalQuit = 610;

}  // namespace Tavex
