// A popup menu at the pointer whose chosen entry is posted to the window as `message` (lParam =
// the entry's command). The menu owns itself once shown. UI thread only.
#pragma once

#include <initializer_list>
#include <utility>

#include "tavex/WinTypes.h"

namespace Tavex {
class MDialog;
}

// Entries are (language text number, command).
void ShowCursorMenu(Tavex::MDialog& owner, UINT message,
                    std::initializer_list<std::pair<int, unsigned>> entries);
