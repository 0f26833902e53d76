#include "app/CursorMenu.h"

#include "docs/LangSettings.h"
#include "tavex/MenuWnd.h"
#include "tavex/Native.h"

void ShowCursorMenu(Tavex::MDialog& owner, UINT message,
                    std::initializer_list<std::pair<int, unsigned>> entries) {
  POINT at{0, 0};
  Tavex::Native::GetCursorPos(&at);
  auto* menu = new Tavex::MenuWnd(&owner);
  for (const auto& [text, command] : entries) menu->AddMenu(GetLangText(text).c_str(), command);
  // The menu deletes itself once its window is gone; one never created is ours to delete.
  if (menu->Create(owner.GetSafeHwnd(), Tavex::CPoint(at.x, at.y), message) == nullptr) delete menu;
}
