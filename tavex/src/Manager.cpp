#include "tavex/Manager.h"

#include "tavex/Native.h"
#include "platform/base/ProgramFolder.h"
#include <mutex>
#include <set>

namespace Tavex {

HINSTANCE Manager::m_hInstance = nullptr;
std::uintptr_t Manager::m_gdiplusToken = 0;
GdiplusStartupInput Manager::m_gdiplusStartupInput{};
CString Manager::m_fontname = "Open Sans Semibold";
int Manager::m_fontwidth = 18;
std::uint32_t Manager::m_select_color = 0xFFCA5100;
unsigned Manager::m_uControlID = 0;

namespace {
std::mutex& WndLock() {
  static std::mutex lock;
  return lock;
}
std::set<MWindow*>& WndSet() {
  static std::set<MWindow*> wnds;
  return wnds;
}
}  // namespace

void Manager::SetInstance(HINSTANCE instance) { m_hInstance = instance; }
HINSTANCE Manager::GetInstance() { return m_hInstance; }

void Manager::InitGdiplus() { m_gdiplusToken = 1; }
void Manager::UnInitGdiplus() { m_gdiplusToken = 0; }

int Manager::PreTranslateMessage(MSG*) {
  const bool alt = (Native::GetKeyState(VK_MENU) & 0x8000) != 0;
  const bool f4 = (Native::GetKeyState(VK_F4) & 0x8000) != 0;
  return alt && f4 ? 1 : 0;
}

int Manager::MessageLoop() {
  MSG msg{};
  while (Native::GetMessage(&msg, nullptr, 0, 0) > 0) {
    if (PreTranslateMessage(&msg)) continue;
    Native::TranslateMessage(&msg);
    Native::DispatchMessage(&msg);
  }
  return static_cast<int>(msg.wParam);
}

void Manager::AddWnd(MWindow* wnd) {
  std::lock_guard guard(WndLock());
  WndSet().insert(wnd);
}
void Manager::DeleteWnd(MWindow* wnd) {
  std::lock_guard guard(WndLock());
  WndSet().erase(wnd);
}
bool Manager::HasWnd(MWindow* wnd) {
  std::lock_guard guard(WndLock());
  return WndSet().count(wnd) != 0;
}

void Manager::SetFont(const CString& name, int size) {
  m_fontname = name;
  m_fontwidth = size;
}
void Manager::SetFontName(const CString& name) { m_fontname = name; }
CString Manager::GetFontName() { return m_fontname; }
int Manager::GetFontWidth() { return m_fontwidth; }
std::uint32_t Manager::GetSelectColor() { return m_select_color; }

CString Manager::GetTheme() { return "theme1/"; }

CString Manager::GetProgramFolder() { return ::platform::ExecutableFolder(); }

CString Manager::GetSkinFolder() { return GetProgramFolder() + "skins/" + GetTheme(); }

}  // namespace Tavex
