#include "ListsPage.h"

#include "DemoButton.h"
#include "GalleryDialog.h"
#include "GalleryTexts.h"
#include "tavex/CArea.h"
#include "tavex/CDeviceCtrl.h"
#include "tavex/CRecordList.h"
#include "tavex/Codes.h"
#include "tavex/DListBox.h"
#include "tavex/KeyFuncControl.h"
#include "tavex/MComboBox.h"
#include "tavex/MPanel.h"
#include "tavex/MTabCtrl.h"
#include "tavex/MenuWnd.h"
#include "tavex/Painter.h"

namespace Gallery {

using Tavex::CRect;

namespace {
void SaveWindow(HWND hwnd, const std::string& path) {
  const Tavex::Image shot = Tavex::CaptureWindow(hwnd);
  if (shot.IsNull()) {
    GalleryDialog::Log("screenshot-failed " + path);
    return;
  }
  Tavex::Surface surface(shot.Width(), shot.Height());
  {
    Tavex::Painter painter(surface);
    painter.DrawImage(shot, 0, 0);
  }
  GalleryDialog::Log(std::string(surface.SavePNG(path) ? "screenshot " : "screenshot-failed ") +
                     path);
}

std::string Sibling(const std::string& path, const std::string& suffix) {
  const auto dot = path.rfind('.');
  return (dot == std::string::npos ? path : path.substr(0, dot)) + "-" + suffix + ".png";
}
}  // namespace

ListsPage::ListsPage(std::string screenshotPath, bool layered)
    : m_screenshot(std::move(screenshotPath)), m_layered(layered) {
  if (m_layered) SetLayeredWindow(1);
}

void ListsPage::InitUI(CRect client) {
  auto* header =
      CreateAreaAs<Tavex::CArea>("CArea", 100, CRect(0, 0, client.Width(), 70), nullptr, 1, 1);
  if (header != nullptr) header->SetTransparent(0, 0, RGB(0x1E, 0x1E, 0x1E));

  // Pages: one coloured area per tab; the strip shows the selected one.
  const char* icons[] = {"icon/tab_home.png", "icon/tab_customkey.png", "icon/tab_macro.png",
                         "icon/tab_light.png", "icon/tab_config.png"};
  const unsigned colours[] = {0x2A2A2A, 0x22303A, 0x2A3A22, 0x3A2A22, 0x30303A};
  auto* tabs = CreateControlAs<Tavex::MTabCtrl>("MTabCtrl", kTabs, CRect(20, 5, 420, 65), "", 1, 1);
  for (int i = 0; i < 5; ++i) {
    auto* page =
        CreateAreaAs<Tavex::CArea>("CArea", 300 + i, CRect(220, 300, 400, 334), nullptr, 1, 1);
    page->SetTransparent(0, 0, colours[i]);
    page->SetFrame(1, 0xFFCA5100);
    tabs->InsertItem(10 + i, "", icons[i], page, 3, 0);
  }
  tabs->SetItemWidth(80, 60, 1);
  tabs->SetTabCtrlHeight(0);
  tabs->SetSelectItem(2);

  m_combo =
      CreateControlAs<Tavex::MComboBox>("MComboBox", kCombo, CRect(20, 90, 220, 120), "", 1, 1);
  // The lighting mode names of the shipped layout.
  for (int number = 800; number <= 808; ++number) {
    m_combo->AddItem(Text(number).c_str(), static_cast<long>(m_combo->GetCount()));
  }
  m_combo->SetCurSel(1);
  m_combo->SetFontWidth(15);

  auto* holder = new Tavex::MPanel(this, 240, CRect(20, 140, 260, 290), 1);
  AddControl(holder);
  auto* list = holder->CreateControlAs<Tavex::DListBox>("DListBox", kList, CRect(20, 140, 260, 290),
                                                        nullptr, 1, 1);
  for (int i = 1; i <= 7; ++i) {
    list->AddString((Text(65) + " " + std::to_string(i)).c_str(), static_cast<long>(i), 0);
  }
  list->SetImage("icon/icon_circle.png", 2);
  list->SetFontWidth(15);
  list->EnableShowEdit(1);
  list->SetCurSel(1);
  // A popup box cannot open before its window shows.
  if (!m_layered) list->ShowEdit();
  m_list = list;

  AddControl(new DemoButton(this, kMenuButton, CRect(20, 300, 200, 334), Text(900).c_str(),
                            &GalleryDialog::Log));

  auto* devices =
      CreateControlAs<Tavex::CDeviceCtrl>("CDeviceCtrl", 250, CRect(280, 90, 480, 230), "", 1, 1);
  devices->SetImage("img_device_state.png", 4);
  devices->SetFontWidth(14);
  devices->AddDevice(Text(901).c_str(), 1, 1, 5, true);
  devices->AddDevice(Text(902).c_str(), 1, 2, 210, true);
  devices->AddDevice(Text(903).c_str(), 1, 3, 6, true);
  devices->SetDeviceState(1, 2, 1);
  devices->SetDeviceState(1, 1, 1);

  auto* recordHolder = new Tavex::MPanel(this, 260, CRect(500, 80, 940, 290), 1);
  AddControl(recordHolder);
  auto* records = recordHolder->CreateControlAs<Tavex::CRecordList>(
      "CRecordList", kRecords, CRect(500, 80, 940, 290), nullptr, 1, 1);
  records->SetFontWidth(14);
  const char* keys[] = {"A", "A", "Shift", "B", "B", "Shift"};
  const int kinds[] = {2, 3, 2, 2, 3, 3};
  for (int i = 0; i < 6; ++i) records->AddString(keys[i], kinds[i], 0, 20 + 15 * i);
  records->OnMouseMove(0, Tavex::CPoint(600, 80 + 41 + 20));
  records->SetCurSel(1);
  if (!m_layered) records->ShowEdit();
  m_records = records;

  auto* paletteHolder = new Tavex::MPanel(this, 270, CRect(20, 350, 930, 600), 1);
  AddControl(paletteHolder);
  auto* palette = paletteHolder->CreateControlAs<Tavex::KeyFuncControl>(
      "KeyFuncControl", 271, CRect(20, 350, 930, 600), nullptr, 1, 1);
  palette->SetItemCheckByItemData(58, 0, 0);
  // Tooltips of the icon row, as the key page gives them: media and web functions 232-249 are
  // named by texts 732-749.
  for (int code = 232; code <= 249; ++code) palette->SetItemDesc(code, Text(code + 500));
}

int ListsPage::OnInitDialog() {
  MDialog::OnInitDialog();
  if (!m_screenshot.empty()) SetTimer(kScreenshotTimer, 500);
  GalleryDialog::Log("ready page=lists");
  return 1;
}

void ListsPage::OpenMenu() {
  auto* menu = new Tavex::MenuWnd(this);
  menu->AddMenu(Text(904).c_str(), 606);
  menu->AddMenu(Text(905).c_str(), 608, "", 1, 1);
  menu->AddSeparator(0);
  menu->AddMenu(Text(906).c_str(), 609);
  POINT at{20, 340};
  ClientToScreen(&at);
  m_menuWindow = menu->Create(GetSafeHwnd(), Tavex::CPoint(at.x, at.y), kMenuMessage);
}

LRESULT ListsPage::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == kMenuMessage) {
    GalleryDialog::Log("menu w=" + std::to_string(wParam) + " l=" + std::to_string(lParam));
    return 0;
  }
  if (msg == WM_KEYDOWN && (wParam == VK_F2 || wParam == VK_F3)) {
    if (wParam == VK_F2) {
      m_list->ShowEdit();
      GalleryDialog::Log("editing list row=" + std::to_string(m_list->GetEditRow()));
    } else {
      m_records->ShowEdit();
      GalleryDialog::Log("editing records row=" + std::to_string(m_records->GetEditRow()));
    }
    return 0;
  }
  return MDialog::OnWindowMessage(msg, wParam, lParam);
}

int ListsPage::OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) {
  GalleryDialog::Log("notify id=" + std::to_string(id) + " code=" + std::to_string(code) +
                     " w=" + std::to_string(wParam) + " l=" + std::to_string(lParam));
  if (id == kMenuButton && code == Tavex::Notify::Click) OpenMenu();
  if (id == kList && code == Tavex::Notify::EditEnded) {
    GalleryDialog::Log("renamed row=" + std::to_string(lParam) +
                       " text=" + std::string(m_list->GetItemText(static_cast<int>(lParam))));
  }
  if (id == kRecords && code == Tavex::Notify::EditEnded) {
    const auto rows = m_records->GetRecordItems();
    if (lParam >= 0 && static_cast<std::size_t>(lParam) < rows.size()) {
      GalleryDialog::Log("delay row=" + std::to_string(lParam) +
                         " value=" + std::to_string(rows[static_cast<std::size_t>(lParam)]->delay));
    }
  }
  return 0;
}

int ListsPage::OnTimer(unsigned id) {
  // One popup at a time: opening the menu takes the focus, which closes the combo's list.
  if (id == kScreenshotTimer) {
    KillTimer(kScreenshotTimer);
    m_combo->OpenList();
    // The shot shows the keyboard highlight on the entry after the selected one.
    m_combo->OnWindowMessage(WM_KEYDOWN, VK_DOWN, 0);
    SetTimer(kCaptureTimer, 400);
  } else if (id == kCaptureTimer) {
    KillTimer(kCaptureTimer);
    const bool ok = m_pm.RenderToPng(m_screenshot);
    GalleryDialog::Log(std::string(ok ? "screenshot " : "screenshot-failed ") + m_screenshot);
    SaveWindow(m_combo->GetPopupWindow(), Sibling(m_screenshot, "combo"));
    m_combo->CloseList();
    OpenMenu();
    // The menu's shot shows the keyboard highlight on its second (checked) entry.
    for (int i = 0; i < 2; ++i) Tavex::Native::PostMessage(m_menuWindow, WM_KEYDOWN, VK_DOWN, 1);
    SetTimer(kMenuTimer, 400);
  } else if (id == kMenuTimer) {
    KillTimer(kMenuTimer);
    SaveWindow(m_menuWindow, Sibling(m_screenshot, "menu"));
    DoClose();
  }
  return 0;
}

}  // namespace Gallery
