#include "app/PageControllers.h"

#include "app/MacroPageController.h"
#include "app/PageHost.h"
#include "platform/Clock.h"

std::vector<std::unique_ptr<PageController>> MakePageControllers(PageHost& host) {
  std::vector<std::unique_ptr<PageController>> controllers;
  (void)host;  // each page's controller is added here as its logic lands
  controllers.push_back(std::make_unique<MacroPageController>(host, platform::SystemClock()));
  return controllers;
}
