#include "app/PageControllers.h"

#include "app/LightingController.h"
#include "app/PageHost.h"
#include "app/UpdateController.h"

std::vector<std::unique_ptr<PageController>> MakePageControllers(PageHost& host) {
  std::vector<std::unique_ptr<PageController>> controllers;
  (void)host;  // each page's controller is added here as its logic lands
  controllers.push_back(std::make_unique<UpdateController>(host));
  controllers.push_back(std::make_unique<LightingController>(host));
  return controllers;
}
