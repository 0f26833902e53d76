#include "app/AccessController.h"

#include "app/PageHost.h"
#include "app/ProgramServices.h"
#include "app/TaskCodes.h"
#include "app/WindowIds.h"
#include "device/UdevRule.h"
#include "platform/PrivilegedRun.h"
#include "tavex/Codes.h"

AccessController::AccessController(PageHost& host) : host_(host) {}

AccessController::~AccessController() { OnShutdown(); }

bool AccessController::OnMessage(unsigned id, unsigned code, unsigned, long) {
  if (id != ids::kGrantAccessButton || code != Tavex::Notify::Click) return false;
  // One installer at a time: a second click while the password dialog is up does nothing.
  if (running_.exchange(true)) return true;
  if (installer_.joinable()) installer_.join();
  installer_ = std::thread([this] { Install(); });
  return true;
}

void AccessController::OnShutdown() {
  if (installer_.joinable()) installer_.join();
}

void AccessController::Install() {
  const std::vector<std::string> command =
      UdevInstallCommand(UdevRuleText(host_.Services().Devices().Filters()));
  // A refused or failed install refreshes too: the status line then still shows the hint.
  if (!command.empty()) platform::RunPrivileged(command);
  host_.QueueTask(kTaskRefresh);
  running_.store(false);
}
