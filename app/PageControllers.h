// The page controllers of the main window, in the order the window asks them.
#pragma once

#include <memory>
#include <vector>

#include "app/PageController.h"

class PageHost;

// Makes one controller per page that has logic of its own; each keeps `host` for its life.
std::vector<std::unique_ptr<PageController>> MakePageControllers(PageHost& host);
