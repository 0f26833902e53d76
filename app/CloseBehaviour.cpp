#include "app/CloseBehaviour.h"

#include <string>

#include "app/WindowIds.h"
#include "docs/LangSettings.h"

ExitMode ReadExitMode() {
  switch (ReadIntSetting(kExitModeSetting, 0)) {
    case static_cast<int>(ExitMode::Hide): return ExitMode::Hide;
    case static_cast<int>(ExitMode::Exit): return ExitMode::Exit;
    default: return ExitMode::Ask;
  }
}

bool StoreExitMode(ExitMode mode) {
  if (mode == ExitMode::Ask) return false;
  return WriteSetting(kExitModeSetting, std::to_string(static_cast<int>(mode)));
}

CloseAction CloseActionFor(ExitMode mode, bool trayAvailable) {
  switch (mode) {
    case ExitMode::Hide: return trayAvailable ? CloseAction::Hide : CloseAction::Minimize;
    case ExitMode::Exit: return CloseAction::Exit;
    case ExitMode::Ask: break;
  }
  return CloseAction::Nothing;
}

int CloseTooltipText(ExitMode mode) {
  return mode == ExitMode::Exit ? ids::text::kExitTooltip : ids::text::kHideToTray;
}
