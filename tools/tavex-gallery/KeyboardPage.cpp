#include "KeyboardPage.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "DemoButton.h"
#include "GalleryDialog.h"
#include "docs/LayoutViews.h"
#include "store/LightFrameStore.h"
#include "tavex/CArea.h"
#include "tavex/Codes.h"
#include "tavex/Manager.h"
#include "tavex/MControlFont.h"

namespace Gallery {

using Tavex::CRect;

namespace {

// A line of text over the page header.
class Caption : public Tavex::MControlFont {
 public:
  Caption(Tavex::MObject* parent, unsigned id, CRect rect, const char* title)
      : MControlFont(parent, id, rect, title) {}
  void DrawControl(Tavex::Painter& painter, CRect) override {
    painter.DrawText(m_title, GetFontDesc(), GetRect(), 0xFFE6E6E6,
                     DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
  }
};

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

KeyboardPage::KeyboardPage(int mode, int lcid, std::string screenshotPath)
    : m_mode(mode), m_screenshot(std::move(screenshotPath)) {
  const std::string folder = Tavex::Manager::GetProgramFolder();
  m_lang = LangFile::Parse(ReadAll(folder + "language/" + std::to_string(lcid) + ".lan"));
  const std::string layout = LayoutFile::PathFor(folder, "tarnwick_k87");
  m_layout.LoadDeviceInfo(layout, 1);
  m_layout.LoadLayout(layout);
}

std::string KeyboardPage::Text(int number) const {
  return m_lang.Get("KB.DIALOG", std::to_string(number));
}

void KeyboardPage::InitUI(CRect client) {
  auto* header =
      CreateAreaAs<Tavex::CArea>("CArea", 100, CRect(0, 0, client.Width(), 60), nullptr, 1, 1);
  if (header != nullptr) header->SetTransparent(0, 0, RGB(0x1E, 0x1E, 0x1E));
  auto* accent =
      CreateAreaAs<Tavex::CArea>("CArea", 101, CRect(0, 60, client.Width(), 63), nullptr, 1, 1);
  if (accent != nullptr) accent->SetTransparent(0, 0, RGB(0xCA, 0x51, 0x00));

  m_keyboard =
      CreateControlAs<Tavex::KeyboardCtrl>("KeyboardCtrl", kKeyboard, CRect(), nullptr, 1, 1);
  if (m_keyboard == nullptr) return;
  ApplyLayout<Tavex::KeyboardCtrl, CRect>(m_layout, {m_keyboard, nullptr, nullptr});
  m_keyboard->SetFont(Tavex::Manager::GetFontName().c_str(), 10);
  Decorate();

  auto* title = new Caption(this, kCaption, CRect(24, 10, client.Width() - 420, 50), CaptionText().c_str());
  title->SetFont(Tavex::Manager::GetFontName().c_str(), 20);
  AddControl(title);
  for (int i = 0; i < 5; ++i) {
    const int left = client.Width() - 24 - (5 - i) * 76;
    const std::string label = std::to_string(Tavex::KeyboardCtrl::kModePlain + i);
    AddControl(new DemoButton(this, kFirstModeButton + static_cast<unsigned>(i),
                              CRect(left, 14, left + 68, 46), label.c_str(), &GalleryDialog::Log));
  }
}

// The page's name in the chosen language, then the mode number.
std::string KeyboardPage::CaptionText() const {
  std::string caption;
  switch (m_mode) {
    case Tavex::KeyboardCtrl::kModePlain: caption = Text(60); break;
    case Tavex::KeyboardCtrl::kModeAssign: caption = Text(51); break;
    case Tavex::KeyboardCtrl::kModePreview:
      caption = Text(70);
      // Mode names in the layout are text numbers.
      for (const LayoutLightMode& m : m_layout.Modes()) {
        if (m.mode == m_layout.Light().defaultMode) caption += " · " + Text(std::atoi(m.name.c_str()));
      }
      break;
    case Tavex::KeyboardCtrl::kModeColours: caption = Text(70) + " · " + Text(807); break;
    case Tavex::KeyboardCtrl::kModeMusic: caption = Text(70) + " · " + Text(808); break;
    default: break;
  }
  caption += "   [KeyboardCtrl " + std::to_string(m_mode) + "]";
  return caption;
}

void KeyboardPage::SwitchMode(int mode) {
  if (m_keyboard == nullptr) return;
  if (m_mode == Tavex::KeyboardCtrl::kModeMusic) KillTimer(kMusicTimer);
  m_mode = mode;
  m_keyboard->ResetAllItemCheck(0);
  m_keyboard->ResetAllItemsColor(Tavex::KeyboardCtrl::kDefaultKeyColour);
  Decorate();
  if (m_mode == Tavex::KeyboardCtrl::kModeMusic) SetTimer(kMusicTimer, 60);
  if (auto* title = dynamic_cast<Caption*>(GetControl(kCaption))) {
    title->SetTitle(CaptionText().c_str());
  }
  m_keyboard->UpdateControl(1, 1);
  GalleryDialog::Log("mode " + std::to_string(m_mode));
}

void KeyboardPage::Decorate() {
  Tavex::KeyboardCtrl& kb = *m_keyboard;
  kb.SetKeyboardCtrlMode(m_mode);
  kb.EnableKBTips(true);
  switch (m_mode) {
    case Tavex::KeyboardCtrl::kModeAssign:
      // A few assigned keys, as the key page marks them, and frame selection on.
      for (DWORD code : {0x29u, 0x3Au, 0x1Au, 0x04u, 0x16u, 0x07u}) kb.SetKeyCheck(code, 1);
      kb.SetTipKey(0x3A, Text(69), Text(331) + " 1");
      kb.EnableFrameSelect(1);
      break;
    case Tavex::KeyboardCtrl::kModePreview:
      LoadPreviewFrames();
      break;
    case Tavex::KeyboardCtrl::kModeColours: {
      kb.SetLightModeColor(0, 0);
      const std::array<std::pair<DWORD, COLORREF>, 8> lit = {{{0x1A, 0x00FFFF00},
                                                              {0x04, 0x00FFFF00},
                                                              {0x16, 0x00FFFF00},
                                                              {0x07, 0x00FFFF00},
                                                              {0x29, 0x000051CA},
                                                              {0x2C, 0x0000E1FF},
                                                              {0x52, 0x00FF00FF},
                                                              {0x51, 0x00FF00FF}}};
      for (const auto& [code, colour] : lit) kb.SetKeyColor(code, colour);
      break;
    }
    case Tavex::KeyboardCtrl::kModeMusic:
      kb.SetMusicBrightness(200);
      break;
    default:
      break;
  }
}

void KeyboardPage::LoadPreviewFrames() {
  LightFrameStore& store = LightFrameStore::Instance();
  if (!store.OpenFlag()) store.Open(Tavex::Manager::GetProgramFolder());
  std::vector<FrameRecord> rows;
  store.ListFrames(m_layout.Light().defaultMode, rows);
  std::vector<unsigned char> bytes;
  bytes.reserve(rows.size());
  for (const FrameRecord& r : rows) bytes.push_back(static_cast<unsigned char>(r.rgb_value & 0xFF));
  m_keyboard->SetLightModeData(bytes.empty() ? nullptr : bytes.data(), static_cast<int>(bytes.size()));
  m_keyboard->SetLightSpeed(m_layout.Light().defaultSpeed);
  // Black outlines vanish on the dark picture; the accent shows the wave.
  m_keyboard->SetPreviewColor(RGB(0xCA, 0x51, 0x00));
  GalleryDialog::Log("frames " + std::to_string(m_keyboard->GetFrameCount()));
}

int KeyboardPage::OnInitDialog() {
  MDialog::OnInitDialog();
  // The program's animation timer: 10 ms.
  SetMTimer(10);
  if (m_mode == Tavex::KeyboardCtrl::kModeMusic) SetTimer(kMusicTimer, 60);
  if (!m_screenshot.empty()) SetTimer(kScreenshotTimer, 700);
  m_readyPending = true;
  return 1;
}

int KeyboardPage::OnPaint() {
  // "ready" follows the first paint: scripts send input only to a window already on screen.
  if (m_readyPending) {
    m_readyPending = false;
    PostMessageW(kMsgReady, 0, 0);
  }
  return 0;
}

LRESULT KeyboardPage::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == kMsgReady) {
    POINT origin{0, 0};
    ClientToScreen(&origin);
    GalleryDialog::Log("ready x=" + std::to_string(origin.x) + " y=" + std::to_string(origin.y));
    return 0;
  }
  return MDialog::OnWindowMessage(msg, wParam, lParam);
}

int KeyboardPage::OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) {
  GalleryDialog::Log("notify id=" + std::to_string(id) + " code=" + std::to_string(code) +
                     " w=" + std::to_string(wParam) + " l=" + std::to_string(lParam));
  if (id >= kFirstModeButton && id < kFirstModeButton + 5 && code == Tavex::Notify::Click) {
    SwitchMode(Tavex::KeyboardCtrl::kModePlain + static_cast<int>(id - kFirstModeButton));
  } else if (id == kKeyboard && code == Tavex::Notify::FrameSelected && m_keyboard != nullptr) {
    std::string codes;
    for (const Tavex::KEY_INFO* k : m_keyboard->GetKeyItems()) {
      if (k->checked) codes += (codes.empty() ? "" : ",") + std::to_string(k->keyValue);
    }
    GalleryDialog::Log("checked n=" + std::to_string(m_keyboard->GetCheckItemCount()) + " codes=" + codes);
  } else if (id == kKeyboard && code == Tavex::Notify::Click &&
             m_mode == Tavex::KeyboardCtrl::kModeColours && m_keyboard != nullptr) {
    char colour[16];
    std::snprintf(colour, sizeof colour, "%06X",
                  static_cast<unsigned>(m_keyboard->GetKeyColor(static_cast<DWORD>(lParam))));
    GalleryDialog::Log("colour code=" + std::to_string(lParam) + " value=" + colour);
  }
  return 0;
}

int KeyboardPage::OnTimer(unsigned id) {
  if (id == kMusicTimer && m_keyboard != nullptr) {
    // A level that rises and falls, as the music stream would set it.
    m_musicStep = (m_musicStep + 1) % 20;
    const int level = m_musicStep < 10 ? m_musicStep : 20 - m_musicStep;
    m_keyboard->SetMusicBrightness(55 + level * 20);
  }
  if (id == kScreenshotTimer) {
    KillTimer(kScreenshotTimer);
    const bool ok = m_pm.RenderToPng(m_screenshot);
    GalleryDialog::Log(std::string(ok ? "screenshot " : "screenshot-failed ") + m_screenshot);
    DoClose();
  }
  return 0;
}

}  // namespace Gallery
