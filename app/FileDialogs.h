// The file choosers the pages open: the desktop's chooser (see platform/FileChooser) over the
// given window. The chooser runs on a thread of its own while this thread runs a modal loop, so
// the window keeps painting and takes no input until the chooser closes; a quit request that
// arrives meanwhile closes the chooser (Cancelled) and is passed on. UI thread only.
#pragma once

#include <string>
#include <vector>

#include "platform/FileChoice.h"

namespace Tavex {
class MWindow;
}

platform::FileChooserResult ChooseFileToOpen(Tavex::MWindow& owner, const std::string& title,
                                             const std::vector<platform::FileFilter>& filters);
platform::FileChooserResult ChooseFileToSave(Tavex::MWindow& owner, const std::string& title,
                                             const std::string& suggestedName,
                                             const std::vector<platform::FileFilter>& filters);
