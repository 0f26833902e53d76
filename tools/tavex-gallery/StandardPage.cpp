#include "StandardPage.h"

#include "GalleryDialog.h"
#include "tavex/Buttons.h"
#include "tavex/CArea.h"
#include "tavex/CheckButtons.h"
#include "tavex/Codes.h"
#include "tavex/Edits.h"
#include "tavex/MPanel.h"
#include "tavex/MText.h"
#include "tavex/Palettes.h"
#include "tavex/Pictures.h"
#include "tavex/Sliders.h"
#include "tavex/SpinButtons.h"

namespace Gallery {

using Tavex::CRect;

StandardPage::StandardPage(std::string screenshotPath, bool chinese)
    : m_screenshot(std::move(screenshotPath)), m_chinese(chinese) {}

void StandardPage::LogMissing(const char* name) {
  GalleryDialog::Log(std::string("missing ") + name);
}

void StandardPage::Label(unsigned, CRect rect, const char* text) {
  auto* t = Make<Tavex::MText>("MText", m_nextLabel++, rect, text, 1, 0);
  if (t != nullptr) {
    t->SetTextColor(0xFF9A9AA0);
    t->SetFontWidth(13);
  }
}

void StandardPage::InitUI(CRect client) {
  auto* header =
      CreateAreaAs<Tavex::CArea>("CArea", 700, CRect(0, 0, client.Width(), 40), nullptr, 1, 1);
  if (header != nullptr) header->SetTransparent(0, 0, RGB(0x1E, 0x1E, 0x1E));
  auto* title =
      Make<Tavex::MText>("MText", 701, CRect(16, 0, 600, 40), T("Standard controls", "标准控件"));
  if (title != nullptr) title->SetFontWidth(17);
  if (auto* close = Make<Tavex::MButton>(
          "CImageButton", kClose, CRect(client.Width() - 34, 6, client.Width() - 6, 34), nullptr)) {
    close->SetImage("sysbtn_close.png", 4);
  }

  // Buttons.
  int y = 56;
  Label(0, CRect(16, y, 300, y + 18), T("Buttons", "按钮"));
  y += 24;
  if (auto* b = Make<Tavex::MButton>("MButton", 1, CRect(16, y, 136, y + 34), T("Apply", "应用"))) {
    b->SetImage("btn_apply.png", 4);
  }
  if (auto* b = Make<Tavex::MButton>("MButton", 2, CRect(146, y, 266, y + 34),
                                     T("Disabled", "已禁用"), 1, 0)) {
    b->SetImage("btn_apply.png", 4);
  }
  const char* imageButtons[] = {"imgbtn_add.png", "imgbtn_del.png", "imgbtn_edit.png",
                                "btn_openfile.png"};
  for (int i = 0; i < 4; ++i) {
    if (auto* b = Make<Tavex::MButton>("CImageButton", 3 + i,
                                       CRect(276 + i * 36, y + 2, 306 + i * 36, y + 32), nullptr)) {
      b->SetImage(imageButtons[i], 4);
    }
  }
  Make("CTextButton", 8, CRect(426, y, 536, y + 34), T("Learn more", "了解更多"));
  if (auto* b = Make<Tavex::CIconButton>("CIconButton", 9, CRect(546, y, 686, y + 34),
                                         T("Keyboard", "键盘"))) {
    b->SetIcon("icon/icon_keyboard.png");
  }
  Make("CHelpButton", 10, CRect(696, y + 5, 720, y + 29), nullptr);
  Make("CTimerButton", 11, CRect(730, y, 830, y + 34), T("Hold", "按住"));
  if (auto* b =
          Make<Tavex::CColorButton>("CColorButton", 12, CRect(840, y + 3, 868, y + 31), nullptr)) {
    b->SetColor(0xFF2E9BFF);
  }
  // The two buttons only panels create.
  auto* holder = new Tavex::MPanel(this, 14, CRect(878, y, 1090, y + 34), 1);
  AddControl(holder);
  if (auto* up = holder->CreateControlAs<Tavex::UpgradeButton>(
          "UpgradeButton", 15, CRect(878, y, 968, y + 34), T("Update", "更新"), 1, 1)) {
    up->SetUpgradeStatus(1);
  }
  holder->CreateControl("DownloadButton", 16, CRect(976, y, 1090, y + 34),
                        T("Download", "下载"), 1, 1);

  // Choices.
  y += 52;
  Label(0, CRect(16, y, 300, y + 18), T("Check boxes, radio buttons, switch", "复选框、单选按钮、开关"));
  y += 24;
  const char* checks[] = {T("Start with the system", "开机启动"), T("Show tips", "显示提示"),
                          T("Unavailable", "不可用")};
  for (int i = 0; i < 3; ++i) {
    auto* c = Make<Tavex::CCheckButton>("CCheckButton", 20 + i,
                                        CRect(16 + i * 200, y, 206 + i * 200, y + 24), checks[i], 1,
                                        i == 2 ? 0 : 1);
    if (c == nullptr) continue;
    c->SetImage("btn_checkbox.png", 4);
    c->SetCheck(i != 1);
  }
  const char* radios[] = {T("Slow", "慢"), T("Normal", "正常"), T("Fast", "快")};
  for (int i = 0; i < 3; ++i) {
    auto* r = Make<Tavex::CRadioButton>("CRadioButton", 30 + i,
                                        CRect(600 + i * 110, y, 700 + i * 110, y + 24), radios[i]);
    if (r == nullptr) continue;
    r->SetImage("btn_radiobox.png", 4);
    r->SetGroupName("speed");
    if (i == 1) r->SetCheck(1);
  }
  if (auto* s = Make<Tavex::CSwitchButton>("CSwitchButton", 34, CRect(940, y, 1090, y + 24),
                                           T("Lights", "灯光"))) {
    s->SetCheck(1);
  }

  // Text.
  y += 44;
  Label(0, CRect(16, y, 300, y + 18), T("Text and edit boxes", "文本与输入框"));
  y += 24;
  if (auto* e = Make<Tavex::MEdit>("MEdit", 40, CRect(16, y, 276, y + 30),
                                   T("Profile 1", "配置文件 1"))) {
    e->SetImage("img_edit.png", 4);
    e->SetMaxLength(32);
  }
  if (auto* e = Make<Tavex::MEdit>("MEditEx", 41, CRect(286, y, 436, y + 30), "")) {
    e->SetImage("img_edit.png", 4);
    e->SetDigitsOnly(1);
    e->SetPlaceholder(T("Digits only", "仅限数字"));
  }
  if (auto* e = Make<Tavex::MEdit>("MEdit", 42, CRect(446, y, 606, y + 30), T("Disabled", "已禁用"),
                                   1, 0)) {
    e->SetImage("img_edit.png", 4);
  }
  if (auto* e = Make<Tavex::MEdit>("MEdit", 43, CRect(616, y, 776, y + 30),
                                   T("Focused, selected", "焦点与选择"))) {
    e->SetImage("img_edit.png", 4);
    e->SetSel(0, 7);
    SetFocusControl(e);
  }
  if (auto* spin =
          Make<Tavex::MSpinButton>("MSpinButton", 44, CRect(786, y, 906, y + 30), nullptr)) {
    spin->SetRange(0, 1000);
    spin->SetValue(32);
    spin->SetUnit("ms");
  }
  if (auto* typed =
          Make<Tavex::CSpinButton>("CSpinButton", 45, CRect(916, y, 1036, y + 30), nullptr)) {
    typed->SetRange(-20, 120);
    typed->SetValue(25);
    typed->SetUnit("%");
  }
  y += 40;
  if (auto* rich =
          Make<Tavex::MRichEdit>("MRichEdit", 46, CRect(16, y, 436, y + 88),
                                 T("A multi-line editor.\nSecond line of text.\nThird line.",
                                   "多行编辑器。\n第二行文字。\n第三行。"))) {
    rich->SetImage("img_edit.png", 4);
  }
  if (auto* t = Make<Tavex::MText>(
          "MText", 47, CRect(446, y, 1090, y + 88),
          T("Static text wraps at the width of its rectangle when word wrapping is on, and keeps "
            "its own colour even though a text takes no input.",
            "开启自动换行后，静态文本会在矩形宽度处换行；文本不接受输入，但保持自己的颜色。"))) {
    t->SetWordWrap(1);
    t->SetTextColor(0xFFE6E6E6);
  }

  // Values.
  y += 104;
  Label(0, CRect(16, y, 300, y + 18), T("Slider, progress, levels", "滑块、进度、等级"));
  y += 24;
  if (auto* s = Make<Tavex::MSlider>("MSlider", 50, CRect(16, y, 336, y + 24), nullptr)) {
    s->SetImage("img_slider_back.png", 2);
    s->SetThumbImage("img_thumb.png");
    s->SetShowText(1);
    s->SetProgress(65);
  }
  if (auto* s = Make<Tavex::MSlider>("MSlider", 51, CRect(346, y, 596, y + 24), nullptr, 1, 0)) {
    s->SetImage("img_slider_back.png", 2);
    s->SetThumbImage("img_thumb.png");
    s->SetProgress(30);
  }
  if (auto* p = Make<Tavex::MProgress>("MProgress", 52, CRect(616, y + 4, 856, y + 20), nullptr)) {
    p->SetPos(42);
    p->SetShowText(1);
    p->SetFontWidth(11);
  }
  if (auto* l =
          Make<Tavex::MLevelCtrl>("MLevelCtrl", 53, CRect(876, y + 4, 1016, y + 20), nullptr)) {
    l->SetLevelCount(5);
    l->SetLevel(3);
  }

  // Pictures and colours.
  y += 44;
  Label(0, CRect(16, y, 300, y + 18), T("Pictures and colour pickers", "图片与取色器"));
  y += 24;
  if (auto* p = Make<Tavex::MPicture>("MPicture", 60, CRect(16, y, 216, y + 40), nullptr)) {
    p->SetPicture("logo/logo.png");
  }
  if (auto* p =
          Make<Tavex::CPhotoFrame>("CPhotoFrame", 61, CRect(16, y + 50, 116, y + 150), nullptr)) {
    p->SetPicture("main_bkg.png");
  }
  if (auto* p = Make<Tavex::CSliderPicture>("CSliderPicture", 62, CRect(126, y + 50, 226, y + 150),
                                            nullptr)) {
    p->AddPicture("bk_prompt.png");
    p->AddPicture("main_bkg.png");
  }
  if (auto* g =
          Make<Tavex::CGifPicture>("CGifPicture", 63, CRect(236, y + 50, 336, y + 150), nullptr)) {
    g->LoadGif("loading.gif");
    g->SetRunState(1, 0);
  }
  if (auto* p = Make<Tavex::MPalette>("MPalette", 64, CRect(356, y, 596, y + 60), nullptr)) {
    p->SetColor(RGB(255, 0, 0));
  }
  Make("CColorPalette", 65, CRect(616, y, 786, y + 150), nullptr);
  Make("CirclePalette", 66, CRect(806, y, 956, y + 150), nullptr);
  Make("CColorSelect", 67, CRect(356, y + 80, 596, y + 104), nullptr);
}

int StandardPage::OnInitDialog() {
  MDialog::OnInitDialog();
  SetMTimer(40);  // animation ticks (the running picture)
  if (!m_screenshot.empty()) SetTimer(kScreenshotTimer, 800);
  GalleryDialog::Log("ready standard");
  return 1;
}

int StandardPage::OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) {
  GalleryDialog::Log("notify id=" + std::to_string(id) + " code=" + std::to_string(code) +
                     " w=" + std::to_string(wParam) + " l=" + std::to_string(lParam));
  // Edits say what they hold after a change, so scripts can check typed (and composed) text.
  if (code == Tavex::Notify::TextChanged) {
    if (auto* c = dynamic_cast<Tavex::MControlFont*>(m_pm.GetControl(id))) {
      GalleryDialog::Log("text id=" + std::to_string(id) + " " + c->GetTitle());
    }
  }
  if (id == kClose && code == Tavex::Notify::Click) DoClose();
  return 0;
}

int StandardPage::OnTimer(unsigned id) {
  if (id == kScreenshotTimer) {
    KillTimer(kScreenshotTimer);
    const bool ok = m_pm.RenderToPng(m_screenshot);
    GalleryDialog::Log(std::string(ok ? "screenshot " : "screenshot-failed ") + m_screenshot);
    DoClose();
  }
  return 0;
}

}  // namespace Gallery
