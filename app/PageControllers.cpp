#include "app/PageControllers.h"

#include "app/AccessController.h"
#include "app/LightingController.h"
#include "app/MacroPageController.h"
#include "app/PageHost.h"
#include "app/ProfileController.h"
#include "app/UpdateController.h"
#include "platform/Clock.h"

std::vector<std::unique_ptr<PageController>> MakePageControllers(PageHost& host) {
  std::vector<std::unique_ptr<PageController>> controllers;
  AddKeyPageControllers(host, controllers);
  controllers.push_back(std::make_unique<UpdateController>(host));
  controllers.push_back(std::make_unique<LightingController>(host));
  controllers.push_back(std::make_unique<MacroPageController>(host, platform::SystemClock()));
  controllers.push_back(std::make_unique<AccessController>(host));
  return controllers;
}
