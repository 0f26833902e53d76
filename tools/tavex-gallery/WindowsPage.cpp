#include "WindowsPage.h"

#include "GalleryDialog.h"
#include "tavex/Buttons.h"
#include "tavex/CArea.h"
#include "tavex/CheckButtons.h"
#include "tavex/Codes.h"
#include "tavex/MAirBladder.h"
#include "tavex/MPopupWnd.h"
#include "tavex/MText.h"
#include "tavex/Painter.h"
#include "tavex/Sliders.h"

namespace Gallery {

using Tavex::CRect;

namespace {
constexpr Tavex::AIRBLADDER_TYPE kKinds[] = {
    Tavex::AIRBLADDER_NORMAL, Tavex::AIRBLADDER_INFO,  Tavex::AIRBLADDER_SUCCESS,
    Tavex::AIRBLADDER_WARNING, Tavex::AIRBLADDER_GUIDE, Tavex::AIRBLADDER_ERROR};
constexpr int kPopupWidth = 300;
constexpr int kPopupHeight = 190;
}  // namespace

WindowsPage::WindowsPage(std::string screenshotPath, bool chinese)
    : m_screenshot(std::move(screenshotPath)), m_chinese(chinese) {}

WindowsPage::~WindowsPage() {
  // The popup deletes itself with its window; make sure it no longer reports to this page.
  if (m_popup != nullptr) m_popup->SetOwnerObject(nullptr);
}

Tavex::MControl* WindowsPage::Button(unsigned id, CRect rect, const char* title) {
  auto* b = CreateControlAs<Tavex::MButton>("MButton", id, rect, title, 1, 1);
  if (b != nullptr) {
    b->SetImage("btn_apply.png", 4);
    b->SetFontWidth(14);
  }
  return b;
}

void WindowsPage::Label(CRect rect, const char* text) {
  auto* t = CreateControlAs<Tavex::MText>("MText", m_nextLabel++, rect, text, 1, 0);
  if (t != nullptr) {
    t->SetTextColor(0xFF9A9AA0);
    t->SetFontWidth(13);
  }
}

void WindowsPage::InitUI(CRect client) {
  auto* header =
      CreateAreaAs<Tavex::CArea>("CArea", 700, CRect(0, 0, client.Width(), 40), nullptr, 1, 1);
  if (header != nullptr) header->SetTransparent(0, 0, RGB(0x1E, 0x1E, 0x1E));
  if (auto* title = CreateControlAs<Tavex::MText>("MText", 701, CRect(16, 0, 600, 40),
                                                  T("Auxiliary windows", "辅助窗口"), 1, 0)) {
    title->SetFontWidth(17);
  }
  if (auto* close = CreateControlAs<Tavex::MButton>(
          "CImageButton", kClose, CRect(client.Width() - 34, 6, client.Width() - 6, 34), nullptr, 1,
          1)) {
    close->SetImage("sysbtn_close.png", 4);
  }

  int y = 60;
  Label(CRect(16, y, 400, y + 18), T("Popup window with its own controls", "带有自身控件的弹出窗口"));
  y += 24;
  Button(kOpenPopup, CRect(16, y, 176, y + 34), T("Open popup", "打开弹出窗口"));

  y += 60;
  Label(CRect(16, y, 400, y + 18), T("Busy indicator", "忙碌指示"));
  y += 24;
  Button(kLoading, CRect(16, y, 176, y + 34), T("Show loading", "显示加载"));
  Button(kLoadingText, CRect(186, y, 346, y + 34), T("With a text", "带文字"));

  y += 60;
  Label(CRect(16, y, 500, y + 18), T("Balloon messages: kind and side", "气泡消息：类型与方向"));
  y += 24;
  const char* modes[] = {T("Above", "上方"), T("Below", "下方"), T("Left", "左侧"),
                         T("Right", "右侧")};
  for (int i = 0; i < 4; ++i) {
    auto* r = CreateControlAs<Tavex::CRadioButton>(
        "CRadioButton", kFirstMode + static_cast<unsigned>(i),
        CRect(16 + i * 130, y, 136 + i * 130, y + 24), modes[i], 1, 1);
    if (r == nullptr) continue;
    r->SetImage("btn_radiobox.png", 4);
    r->SetGroupName("side");
    if (i == 0) r->SetCheck(1);
  }
  y += 40;
  const char* kinds[] = {T("Plain", "普通"),   T("Info", "信息"),  T("Success", "成功"),
                         T("Warning", "警告"), T("Guide", "引导"), T("Error", "错误")};
  for (int i = 0; i < 6; ++i) {
    Button(kFirstBalloon + static_cast<unsigned>(i), CRect(16 + i * 120, y, 126 + i * 120, y + 34),
           kinds[i]);
  }
  y += 44;
  Button(kEdgeBalloon, CRect(16, y, 246, y + 34), T("At the screen's top edge", "在屏幕顶部边缘"));
  Button(kHideBalloon, CRect(256, y, 416, y + 34), T("Hide balloon", "隐藏气泡"));
}

int WindowsPage::OnInitDialog() {
  MDialog::OnInitDialog();
  if (!m_screenshot.empty()) SetTimer(kScreenshotTimer, 600);
  GalleryDialog::Log("ready page=windows");
  return 1;
}

void WindowsPage::OpenPopup() {
  if (m_popup != nullptr) return;
  m_popup = new Tavex::MPopupWnd(this);
  m_popup->SetAutoDelete(true);
  m_popup->SetBackColor(0x202020, 0x0051CA);
  m_popup->SetCloseHandler([this](int result) {
    GalleryDialog::Log("popup closed result=" + std::to_string(result));
    m_popup = nullptr;
  });
  const CRect client = GetDialogClientRect();
  const CRect at(client.right - kPopupWidth - 30, 70, client.right - 30, 70 + kPopupHeight);
  if (m_popup->CreateOver(GetSafeHwnd(), at) == nullptr) {
    delete m_popup;
    m_popup = nullptr;
    return;
  }
  if (auto* t = m_popup->CreateControlAs<Tavex::MText>(
          "MText", 40, CRect(16, 10, kPopupWidth - 16, 40), T("Popup window", "弹出窗口"), 1, 0)) {
    t->SetFontWidth(16);
  }
  if (auto* c = m_popup->CreateControlAs<Tavex::CCheckButton>(
          "CCheckButton", 41, CRect(16, 50, kPopupWidth - 16, 74),
          T("Apply to every profile", "应用到所有配置文件"), 1, 1)) {
    c->SetImage("btn_checkbox.png", 4);
    c->SetCheck(1);
  }
  if (auto* s = m_popup->CreateControlAs<Tavex::MSlider>(
          "MSlider", 42, CRect(16, 90, kPopupWidth - 16, 114), nullptr, 1, 1)) {
    s->SetImage("img_slider_back.png", 2);
    s->SetThumbImage("img_thumb.png");
    s->SetShowText(1);
    s->SetProgress(40);
  }
  const int by = kPopupHeight - 50;
  if (auto* ok = m_popup->CreateControlAs<Tavex::MButton>(
          "MButton", kPopupOk, CRect(16, by, 136, by + 34), T("OK", "确定"), 1, 1)) {
    ok->SetImage("btn_apply.png", 4);
  }
  if (auto* cancel = m_popup->CreateControlAs<Tavex::MButton>(
          "MButton", kPopupCancel, CRect(kPopupWidth - 136, by, kPopupWidth - 16, by + 34),
          T("Cancel", "取消"), 1, 1)) {
    cancel->SetImage("btn_apply.png", 4);
  }
}

void WindowsPage::ShowLoading(bool withText) {
  m_loading.Show(GetSafeHwnd(), withText ? T("Sending to the keyboard", "正在发送到键盘") : "");
  GalleryDialog::Log("loading shown");
  SetTimer(kLoadingTimer, 3000);
}

void WindowsPage::ShowBalloon(unsigned index, unsigned anchorId) {
  static const char* const english[] = {
      "Profile saved.",
      "The lighting is sent to the keyboard when you release the slider.",
      "Your changes were stored on the keyboard.",
      "Only 12 keys can carry a function. Remove one before assigning another.",
      "Click a key on the picture to change what it does.",
      "The keyboard was not found. Connect it again."};
  static const char* const chinese[] = {
      "配置文件已保存。",          "松开滑块后，灯光设置会发送到键盘。",
      "更改已保存到键盘。",        "最多只能有 12 个按键带有功能。请先移除一个再分配。",
      "点击图中的按键以更改其功能。", "未找到键盘。请重新连接。"};
  Tavex::MControl* button = GetControl(anchorId);
  if (button == nullptr || index >= 6) return;
  const Tavex::CPoint at = GetAirBladderPoint(button, m_mode);
  SetAirBladderMsg(m_chinese ? chinese[index] : english[index], POINT{at.x, at.y}, kKinds[index],
                   m_mode);
}

int WindowsPage::OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) {
  GalleryDialog::Log("notify id=" + std::to_string(id) + " code=" + std::to_string(code) +
                     " w=" + std::to_string(wParam) + " l=" + std::to_string(lParam));
  if (code != Tavex::Notify::Click) return 0;
  if (id == kClose) {
    DoClose();
  } else if (id == kOpenPopup) {
    OpenPopup();
  } else if (id == kPopupOk || id == kPopupCancel) {
    if (m_popup != nullptr) m_popup->Close(id == kPopupOk ? 1 : 2);
  } else if (id == kLoading || id == kLoadingText) {
    ShowLoading(id == kLoadingText);
  } else if (id >= kFirstBalloon && id < kFirstBalloon + 6) {
    ShowBalloon(id - kFirstBalloon, id);
  } else if (id == kEdgeBalloon) {
    // A point 6 pixels below the top of the screen: a balloon meant to be above flips below.
    POINT top{GetDialogClientRect().Width() / 2, 0};
    ClientToScreen(&top);
    const POINT at{GetDialogClientRect().Width() / 2, 6 - top.y};
    SetAirBladderMsg(T("No room above: shown below.", "上方没有空间：显示在下方。"), at,
                     Tavex::AIRBLADDER_INFO, Tavex::AIRBLADDER_MODE_TOP);
  } else if (id == kHideBalloon) {
    HideAirBladder();
  } else if (id >= kFirstMode && id < kFirstMode + 4) {
    m_mode = static_cast<Tavex::AIRBLADDER_MODE>(id - kFirstMode);
  }
  return 0;
}

void WindowsPage::SaveComposite() {
  // The dialog with the windows over it, each drawn as its own window would show it on a
  // compositing desktop (the layered ones with their alpha).
  const CRect dialog = GetWindowRect();
  CRect all = dialog;
  Tavex::MAirBladder* balloon = m_pm.GetAirBladder();
  if (balloon != nullptr && balloon->IsShown()) all.UnionRect(all, balloon->GetLayout().window);
  const CRect loading = m_loading.GetWindowRect();
  Tavex::Surface shot(all.Width(), all.Height());
  {
    Tavex::Painter painter(shot);
    painter.Clear(0xFF101014);
    Tavex::Surface own(dialog.Width(), dialog.Height());
    m_pm.Compose(own, CRect(0, 0, dialog.Width(), dialog.Height()));
    const auto place = [&](const Tavex::Surface& s, CRect screen) {
      painter.DrawSurface(s, CRect(screen.left - all.left, screen.top - all.top,
                                   screen.right - all.left, screen.bottom - all.top),
                          CRect(0, 0, s.Width(), s.Height()));
    };
    place(own, dialog);
    if (m_popup != nullptr) {
      const CRect popup = m_popup->GetWindowRect();
      Tavex::Surface p(popup.Width(), popup.Height());
      m_popup->GetPaintManager().Compose(p, CRect(0, 0, popup.Width(), popup.Height()));
      place(p, popup);
    }
    if (m_loading.IsShown()) place(m_loading.Render(), loading);
    if (balloon != nullptr && balloon->IsShown()) {
      place(Tavex::MAirBladder::Render(balloon->GetText(), balloon->GetType(),
                                       balloon->GetLayout()),
            balloon->GetLayout().window);
    }
  }
  GalleryDialog::Log(std::string(shot.SavePNG(m_screenshot) ? "screenshot " : "screenshot-failed ") +
                     m_screenshot);
}

int WindowsPage::OnTimer(unsigned id) {
  if (id == kScreenshotTimer) {
    KillTimer(kScreenshotTimer);
    OpenPopup();
    ShowLoading(true);
    // Pointing at a button clear of the popup and the indicator.
    ShowBalloon(3, kOpenPopup);
    SetTimer(kCaptureTimer, 500);
  } else if (id == kCaptureTimer) {
    KillTimer(kCaptureTimer);
    SaveComposite();
    DoClose();
  } else if (id == kLoadingTimer) {
    KillTimer(kLoadingTimer);
    m_loading.Hide();
    GalleryDialog::Log("loading hidden");
  }
  return 0;
}

}  // namespace Gallery
