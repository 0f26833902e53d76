#include "GalleryDialog.h"

#include <cstdio>

#include "DemoButton.h"
#include "tavex/CArea.h"
#include "tavex/MPanel.h"

namespace Gallery {

using Tavex::CRect;

GalleryDialog::GalleryDialog(std::string screenshotPath) : m_screenshot(std::move(screenshotPath)) {}

void GalleryDialog::Log(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

void GalleryDialog::InitUI(CRect client) {
  auto* header = static_cast<Tavex::CArea*>(
      CreateArea("CArea", kHeader, CRect(0, 0, client.Width(), 44), nullptr, 1, 1));
  if (header != nullptr) header->SetTransparent(0, 0, RGB(0x1E, 0x1E, 0x1E));
  auto* accent = static_cast<Tavex::CArea*>(
      CreateArea("CArea", kHeader + 1, CRect(0, 44, client.Width(), 48), nullptr, 1, 1));
  if (accent != nullptr) accent->SetTransparent(0, 0, RGB(0xCA, 0x51, 0x00));

  const auto button = [&](unsigned id, CRect rect, const char* title) {
    return static_cast<DemoButton*>(AddControl(new DemoButton(this, id, rect, title, &Log)));
  };
  button(kOk, CRect(20, 70, 150, 104), "OK");
  button(kApply, CRect(170, 70, 300, 104), "Apply");
  if (auto* off = button(kDisabled, CRect(320, 70, 450, 104), "Disabled")) off->SetEnabled(0);
  button(kClose, CRect(470, 70, 600, 104), "Close");

  // A scrolling panel whose buttons live in its virtual area.
  auto* panel = new Tavex::MPanel(this, kPanel, CRect(20, 130, 300, 330), 1);
  for (unsigned i = 0; i < kPanelButtons; ++i) {
    const int top = 130 + 10 + static_cast<int>(i) * 50;
    auto* child = new DemoButton(panel, kFirstPanelButton + i, CRect(30, top, 270, top + 38),
                                 ("Panel item " + std::to_string(i + 1)).c_str(), &Log);
    child->SetTabStop(0);
    panel->AddControl(child);
  }
  panel->SetVirtualHeight(10 + static_cast<int>(kPanelButtons) * 50);
  AddControl(panel);

  // Transparency samples over the background.
  auto* fade = static_cast<Tavex::CArea*>(
      CreateArea("CArea", kHeader + 2, CRect(330, 130, 620, 230), nullptr, 1, 1));
  if (fade != nullptr) fade->SetTransparent(0, 100, RGB(0xCA, 0x51, 0x00));
  auto* framed = static_cast<Tavex::CArea*>(
      CreateArea("CArea", kHeader + 3, CRect(330, 250, 620, 330), nullptr, 1, 1));
  if (framed != nullptr) {
    framed->SetTransparent(0, 0, RGB(0x2A, 0x2A, 0x2A));
    framed->SetFrame(1, 0xFFCA5100);
  }
}

int GalleryDialog::OnInitDialog() {
  MDialog::OnInitDialog();
  if (!m_screenshot.empty()) SetTimer(kScreenshotTimer, 500);
  POINT origin{0, 0};
  ClientToScreen(&origin);
  Log("ready x=" + std::to_string(origin.x) + " y=" + std::to_string(origin.y));
  return 1;
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
  if (id == kClose && code == 2) DoClose();
  if (id == kOk && code == 2) DoOK();
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
