#include "BackPicturesPage.h"

#include "DemoButton.h"
#include "GalleryDialog.h"
#include "tavex/CArea.h"
#include "tavex/Codes.h"
#include "tavex/KeyboardTips.h"
#include "tavex/MComboBox.h"
#include "tavex/MPanel.h"
#include "tavex/MText.h"
#include "tavex/MenuWnd.h"
#include "tavex/Native.h"
#include "tavex/Painter.h"
#include "tavex/Pictures.h"

namespace Gallery {

using Tavex::CRect;

namespace {

// Nine-part back picture of the skin (380 × 200, 30-pixel corners).
constexpr const char* kBack = "bk_prompt.png";
constexpr int kBackCorner = 30;

void SaveWindow(HWND hwnd, const std::string& path) {
  const Tavex::Image shot = Tavex::CaptureWindow(hwnd);
  Tavex::Surface surface(shot.Width(), shot.Height());
  bool ok = !shot.IsNull();
  if (ok) {
    {
      Tavex::Painter painter(surface);
      painter.DrawImage(shot, 0, 0);
    }
    ok = surface.SavePNG(path);
  }
  GalleryDialog::Log(std::string(ok ? "screenshot " : "screenshot-failed ") + path);
}

std::string Sibling(const std::string& path, const std::string& suffix) {
  const auto dot = path.rfind('.');
  return (dot == std::string::npos ? path : path.substr(0, dot)) + "-" + suffix + ".png";
}

}  // namespace

BackPicturesPage::BackPicturesPage(std::string screenshotPath, bool chinese)
    : m_screenshot(std::move(screenshotPath)), m_chinese(chinese) {}

void BackPicturesPage::Label(unsigned id, CRect rect, const char* text) {
  if (auto* t = CreateControlAs<Tavex::MText>("MText", id, rect, text, 1, 0)) {
    t->SetTextColor(0xFF9A9AA0);
    t->SetFontWidth(13);
  }
}

void BackPicturesPage::TipPicture(unsigned id, CRect rect, bool ninePart) {
  Tavex::KeyboardTips tips;
  if (ninePart) {
    tips.LoadBKImage(kBack);
    tips.SetBackMode(Tavex::BackModeFrame, kBackCorner);
  } else {
    tips.LoadBKImage("img_tip_bk.png");
  }
  tips.SetAirBladderMsg(T("Left Shift", "左 Shift"), T("Macro", "宏"),
                        T("Copy and paste", "复制并粘贴"), POINT{0, 0});
  Tavex::Surface surface(Tavex::KeyboardTips::kWidth, Tavex::KeyboardTips::kHeight);
  tips.Compose(surface);
  if (auto* picture = CreateControlAs<Tavex::MPicture>("MPicture", id, rect, nullptr, 1, 1)) {
    picture->SetPicture(surface.ToImage());
  }
}

void BackPicturesPage::InitUI(CRect client) {
  auto* header =
      CreateAreaAs<Tavex::CArea>("CArea", 100, CRect(0, 0, client.Width(), 40), nullptr, 1, 1);
  if (header != nullptr) header->SetTransparent(0, 0, RGB(0x1E, 0x1E, 0x1E));
  if (auto* title = CreateControlAs<Tavex::MText>("MText", 101, CRect(16, 0, 600, 40),
                                                  T("Back pictures", "背景图片"), 1, 0)) {
    title->SetFontWidth(17);
  }

  Label(110, CRect(20, 56, 300, 74), T("Drop-down list with a nine-part back", "九宫格背景的下拉列表"));
  m_combo =
      CreateControlAs<Tavex::MComboBox>("MComboBox", kCombo, CRect(20, 80, 240, 110), "", 1, 1);
  const char* english[] = {"Wave", "Breathing", "Static", "Ripple", "Reactive", "Rainbow",
                           "Spectrum", "Off"};
  const char* chinese[] = {"波浪", "呼吸", "常亮", "涟漪", "触发", "彩虹", "光谱", "关闭"};
  for (int i = 0; i < 8; ++i) m_combo->AddItem(T(english[i], chinese[i]), i);
  m_combo->SetCurSel(1);
  m_combo->SetFontWidth(15);
  m_combo->SetImage("img_combobox.png", 4);
  m_combo->SetBackImage(kBack);
  m_combo->SetShowModeMID(kBackCorner, kBackCorner, kBackCorner, kBackCorner);
  m_combo->SetScrollResID(102, 101);

  Label(111, CRect(280, 56, 560, 74), T("Menu with a back picture", "带背景图片的菜单"));
  AddControl(new DemoButton(this, kMenuButton, CRect(280, 80, 460, 110), T("Menu", "菜单"),
                            &GalleryDialog::Log));

  Label(112, CRect(20, 130, 560, 148), T("Key tips: natural size, nine-part", "按键提示：原始大小、九宫格"));
  TipPicture(120, CRect(20, 154, 210, 254), false);
  TipPicture(121, CRect(230, 154, 420, 254), true);

  // A panel scrolled both ways: its bars draw the library's pictures 102 and 101.
  Label(113, CRect(20, 274, 560, 292), T("Scrolled panel", "可滚动面板"));
  auto* panel = new Tavex::MPanel(this, kPanel, CRect(20, 298, 420, 458), 1);
  for (int row = 0; row < 6; ++row) {
    for (int col = 0; col < 3; ++col) {
      const int left = 30 + col * 190, top = 308 + row * 46;
      const std::string text = std::string(T("Item ", "项目 ")) + std::to_string(row * 3 + col + 1);
      auto* child = new DemoButton(panel, 300 + static_cast<unsigned>(row * 3 + col),
                                   CRect(left, top, left + 170, top + 36), text.c_str(),
                                   &GalleryDialog::Log);
      child->SetTabStop(0);
      panel->AddControl(child);
    }
  }
  panel->SetVirtualHeight(6 * 46 + 10);
  panel->SetVirtualWidth(3 * 190 + 10);
  AddControl(panel);
  panel->GetVScroll()->SetScrollPos(60);
}

int BackPicturesPage::OnInitDialog() {
  MDialog::OnInitDialog();
  if (!m_screenshot.empty()) SetTimer(kScreenshotTimer, 500);
  GalleryDialog::Log("ready page=backs");
  return 1;
}

void BackPicturesPage::OpenMenu() {
  auto* menu = new Tavex::MenuWnd(this);
  menu->SetMenuFont("Open Sans Semibold", 16);
  menu->AddMenu(T("Reset key", "恢复默认"), 606);
  menu->AddMenu(T("Assign macro", "指定宏"), 608, "", 1, 1);
  menu->AddSeparator(0);
  menu->AddMenu(T("Assign shortcut", "指定快捷键"), 609);
  POINT at{280, 116};
  ClientToScreen(&at);
  m_menuWindow = menu->Create(GetSafeHwnd(), Tavex::CPoint(at.x, at.y), kMenuMessage, kBack,
                              kBackCorner, 240, Tavex::BackModeFrame);
}

LRESULT BackPicturesPage::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == kMenuMessage) {
    GalleryDialog::Log("menu w=" + std::to_string(wParam) + " l=" + std::to_string(lParam));
    return 0;
  }
  return MDialog::OnWindowMessage(msg, wParam, lParam);
}

int BackPicturesPage::OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) {
  GalleryDialog::Log("notify id=" + std::to_string(id) + " code=" + std::to_string(code) +
                     " w=" + std::to_string(wParam) + " l=" + std::to_string(lParam));
  if (id == kMenuButton && code == Tavex::Notify::Click) OpenMenu();
  return 0;
}

int BackPicturesPage::OnTimer(unsigned id) {
  // The list first: the menu taking the focus closes it.
  if (id == kScreenshotTimer) {
    KillTimer(kScreenshotTimer);
    m_combo->OpenList();
    SetTimer(kMenuTimer, 400);
  } else if (id == kMenuTimer) {
    KillTimer(kMenuTimer);
    SaveWindow(m_combo->GetPopupWindow(), Sibling(m_screenshot, "combo"));
    m_combo->CloseList();
    OpenMenu();
    SetTimer(kCaptureTimer, 400);
  } else if (id == kCaptureTimer) {
    KillTimer(kCaptureTimer);
    const bool ok = m_pm.RenderToPng(m_screenshot);
    GalleryDialog::Log(std::string(ok ? "screenshot " : "screenshot-failed ") + m_screenshot);
    SaveWindow(m_menuWindow, Sibling(m_screenshot, "menu"));
    DoClose();
  }
  return 0;
}

}  // namespace Gallery
