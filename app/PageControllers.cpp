#include "app/PageControllers.h"

#include "app/PageHost.h"
#include "app/ProfileController.h"

std::vector<std::unique_ptr<PageController>> MakePageControllers(PageHost& host) {
  std::vector<std::unique_ptr<PageController>> controllers;
  (void)host;  // each page's controller is added here as its logic lands
  AddKeyPageControllers(host, controllers);
  return controllers;
}
