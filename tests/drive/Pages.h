// Pictures of the main window for the README: the device list before a keyboard is chosen, then
// each of the five pages with the virtual keyboard chosen, cropped to the window, as PNG files
// in a folder. Main thread only.
#pragma once

#include <string>

namespace drive {

// Writes devices.png, home.png, keys.png, macros.png, lighting.png, settings.png into `folder`
// with the program started under LANG `lang`; 0 when all were written, else 1 (the failure is
// printed).
int RunPages(const std::string& folder, const std::string& lang);

}  // namespace drive
