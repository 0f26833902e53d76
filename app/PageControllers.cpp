#include "app/PageControllers.h"

#include "app/PageHost.h"
#include "app/ProfileController.h"
#include "app/UpdateController.h"

std::vector<std::unique_ptr<PageController>> MakePageControllers(PageHost& host) {
  std::vector<std::unique_ptr<PageController>> controllers;
  (void)host;  // each page's controller is added here as its logic lands
  AddKeyPageControllers(host, controllers);
  controllers.push_back(std::make_unique<UpdateController>(host));
  return controllers;
}
