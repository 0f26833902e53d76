#include "GalleryDialog.h"

#include <cstdio>
#include <vector>

#include "DemoButton.h"
#include "GalleryTexts.h"
#include "tavex/CArea.h"
#include "tavex/Codes.h"
#include "tavex/MPanel.h"

namespace Gallery {

using Tavex::CRect;

GalleryDialog::GalleryDialog(std::string screenshotPath) : m_screenshot(std::move(screenshotPath)) {}

void GalleryDialog::Log(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

namespace {

// A stand-in skin background when the skin folder has none: a dark vertical gradient with a
// one-pixel frame and an accent corner mark, drawn for the nine-part background mode.
Tavex::Image MakeBackground() {
  constexpr int kSize = 64;
  std::vector<std::uint32_t> px(kSize * kSize);
  for (int y = 0; y < kSize; ++y) {
    const unsigned v = 0x0C + static_cast<unsigned>(y) * 0x10 / kSize;
    for (int x = 0; x < kSize; ++x) {
      std::uint32_t c = 0xFF000000u | (v << 16) | (v << 8) | (v + 2);
      if (x == 0 || y == 0 || x == kSize - 1 || y == kSize - 1) c = 0xFF3A3A3A;
      if (x >= kSize - 8 && y >= kSize - 8 && x + y >= 2 * kSize - 9) c = 0xFFCA5100;
      px[static_cast<std::size_t>(y) * kSize + x] = c;
    }
  }
  return Tavex::Image::FromARGB(kSize, kSize, px.data());
}

}  // namespace

void GalleryDialog::InitUI(CRect client) {
  // Skin background as a nine-part frame: the generated skin when it is installed, else a
  // picture of our own.
  if (!LoadBKImage("main_bkg.png")) GetPaintManager().SetBKImage(MakeBackground());
  SetBackMode(Tavex::BackModeFrame, 10);
  auto* header =
      CreateAreaAs<Tavex::CArea>("CArea", kHeader, CRect(0, 0, client.Width(), 44), nullptr, 1, 1);
  if (header != nullptr) header->SetTransparent(0, 0, RGB(0x1E, 0x1E, 0x1E));
  auto* accent = CreateAreaAs<Tavex::CArea>("CArea", kHeader + 1, CRect(0, 44, client.Width(), 48),
                                            nullptr, 1, 1);
  if (accent != nullptr) accent->SetTransparent(0, 0, RGB(0xCA, 0x51, 0x00));

  const auto button = [&](unsigned id, CRect rect, const char* title) {
    return static_cast<DemoButton*>(AddControl(new DemoButton(this, id, rect, title, &Log)));
  };
  button(kOk, CRect(20, 70, 150, 104), Text(20).c_str());
  button(kApply, CRect(170, 70, 300, 104), Text(24).c_str());
  if (auto* off = button(kDisabled, CRect(320, 70, 450, 104), Text(907).c_str())) off->SetEnabled(0);
  button(kClose, CRect(470, 70, 600, 104), Text(35).c_str());

  // A scrolling panel whose buttons live in its virtual area.
  auto* panel = new Tavex::MPanel(this, kPanel, CRect(20, 130, 300, 330), 1);
  for (unsigned i = 0; i < kPanelButtons; ++i) {
    const int top = 130 + 10 + static_cast<int>(i) * 50;
    auto* child = new DemoButton(panel, kFirstPanelButton + i, CRect(30, top, 270, top + 38),
                                 (Text(908) + " " + std::to_string(i + 1)).c_str(), &Log);
    child->SetTabStop(0);
    panel->AddControl(child);
  }
  panel->SetVirtualHeight(10 + static_cast<int>(kPanelButtons) * 50);
  AddControl(panel);

  // Transparency samples over the background.
  auto* fade =
      CreateAreaAs<Tavex::CArea>("CArea", kHeader + 2, CRect(330, 130, 620, 230), nullptr, 1, 1);
  if (fade != nullptr) fade->SetTransparent(0, 100, RGB(0xCA, 0x51, 0x00));
  auto* framed =
      CreateAreaAs<Tavex::CArea>("CArea", kHeader + 3, CRect(330, 250, 620, 330), nullptr, 1, 1);
  if (framed != nullptr) {
    framed->SetTransparent(0, 0, RGB(0x2A, 0x2A, 0x2A));
    framed->SetFrame(1, 0xFFCA5100);
  }
  // Half-transparent bands over the skin background.
  for (int i = 0; i < 3; ++i) {
    auto* band = CreateAreaAs<Tavex::CArea>(
        "CArea", kHeader + 4 + i, CRect(20 + i * 200, 345, 200 + i * 200, 385), nullptr, 1, 1);
    if (band != nullptr) band->SetTransparent(30 + i * 25, 30 + i * 25, RGB(0xFF, 0xFF, 0xFF));
  }
}

int GalleryDialog::OnInitDialog() {
  MDialog::OnInitDialog();
  // The progress overlay climbs to 70 % at the bottom of the window.
  SetProgress(70, (Text(909) + " 70%").c_str(), CRect(20, 398, 620, 452));
  if (!m_screenshot.empty()) SetTimer(kScreenshotTimer, 500);
  m_readyPending = true;
  return 1;
}

int GalleryDialog::OnPaint() {
  // "ready" follows the first paint: scripts send input only to a window already on screen.
  if (m_readyPending) {
    m_readyPending = false;
    PostMessageW(kMsgReady, 0, 0);
  }
  return 0;
}

LRESULT GalleryDialog::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == kMsgReady) {
    POINT origin{0, 0};
    ClientToScreen(&origin);
    Log("ready x=" + std::to_string(origin.x) + " y=" + std::to_string(origin.y));
    return 0;
  }
  return MDialog::OnWindowMessage(msg, wParam, lParam);
}

int GalleryDialog::OnWindowPosChanged(WINDOWPOS* pos) {
  if (pos != nullptr && (pos->flags & SWP_NOMOVE) == 0) {
    Log("moved x=" + std::to_string(pos->x) + " y=" + std::to_string(pos->y));
  }
  return 0;
}

int GalleryDialog::OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) {
  Log("notify id=" + std::to_string(id) + " code=" + std::to_string(code) +
      " w=" + std::to_string(wParam) + " l=" + std::to_string(lParam));
  if (id == kClose && code == Tavex::Notify::Click) DoClose();
  if (id == kOk && code == Tavex::Notify::Click) DoOK();
  return 0;
}

int GalleryDialog::OnTimer(unsigned id) {
  if (id == kScreenshotTimer) {
    KillTimer(kScreenshotTimer);
    const bool ok = m_pm.RenderToPng(m_screenshot);
    Log(std::string(ok ? "screenshot " : "screenshot-failed ") + m_screenshot);
    DoClose();
  }
  return 0;
}

}  // namespace Gallery
