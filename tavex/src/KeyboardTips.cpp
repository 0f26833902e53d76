#include "tavex/KeyboardTips.h"

#include <algorithm>

#include "tavex/MRender.h"
#include "tavex/Manager.h"

namespace Tavex {

namespace {

FontDesc TipFont(bool bold) {
  FontDesc f;
  f.family = Manager::GetFontName();
  f.sizePx = 14;
  f.bold = bold;
  return f;
}

}  // namespace

const char* KeyboardTips::GetWindowClassName() const { return "KeyboardTips"; }

bool KeyboardTips::SetAirBladderMsg(const char* line1, const char* line2, const char* line3,
                                    POINT anchor) {
  if (line1 == nullptr || line2 == nullptr) return false;
  const CString third = line3 != nullptr ? line3 : "";
  if (m_line1 == line1 && m_line2 == line2 && m_line3 == third && m_anchor.x == anchor.x &&
      m_anchor.y == anchor.y) {
    return true;
  }
  m_line1 = line1;
  m_line2 = line2;
  m_line3 = third;
  m_anchor = anchor;
  if (!m_line1.empty()) {
    ++m_moves;
    MoveWindow(anchor.x - kWidth / 2, anchor.y - kHeight, kWidth, kHeight, 1);
    Invalidate();
  }
  return true;
}

bool KeyboardTips::LoadBKImage(const CString& file) {
  CString path = file.empty() || file.front() != '/' ? Manager::GetSkinFolder() + file : file;
  std::replace(path.begin(), path.end(), '\\', '/');
  const Image image = MRender::LoadImageFromFile(path);
  if (image.IsNull()) return false;
  SetBKImage(image);
  return true;
}

bool KeyboardTips::LoadBKImage(unsigned resourceId, const CString& type) {
  const Image image = MRender::LoadImageFromIDResource(resourceId, type, nullptr);
  if (image.IsNull()) return false;
  SetBKImage(image);
  return true;
}

void KeyboardTips::SetBKImage(const Image& image) {
  m_background = image;
  if (IsValid()) Invalidate();
}

void KeyboardTips::SetBackMode(enumBackMode mode, int corner) {
  corner = std::max(corner, 0);
  if (mode == m_backMode && corner == m_backCorner) return;
  m_backMode = mode;
  m_backCorner = corner;
  if (IsValid()) Invalidate();
}

int KeyboardTips::ShowWindow(int cmd) {
  m_shown = cmd != SW_HIDE;
  return MWindow::ShowWindow(cmd);
}

void KeyboardTips::CloseWindow() {
  m_shown = false;
  DestroyWindow();
}

void KeyboardTips::Compose(Surface& surface) const {
  Painter p(surface);
  const CRect client(0, 0, surface.Width(), surface.Height());
  if (m_background.IsNull()) {
    p.FillRect(client, ARGBFromCOLORREF(0x505050));
    CRect inner = client;
    inner.DeflateRect(1, 1);
    p.FillRect(inner, ARGBFromCOLORREF(0x141414));
  } else if (m_backMode == BackModeFrame) {
    MRender::DrawImageFrame(p, m_background, client, 0, 0, m_background.Width(),
                            m_background.Height(), m_backCorner);
  } else {
    p.DrawImage(m_background, 0, 0);
  }
  if (m_line1.empty()) return;
  const UINT format = DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_WORD_ELLIPSIS;
  // Boxes 20 pixels narrower than the window, centred.
  const int right = client.Width() - 10;
  p.DrawText(m_line1, TipFont(false), CRect(10, 10, right, 30), ARGBFromCOLORREF(0xE6E6E6), format);
  p.DrawText(m_line2, TipFont(false), CRect(10, 39, right, 59), 0xFFFFFFFF, format);
  p.DrawText(m_line3, TipFont(true), CRect(10, 67, right, 87), 0xFFFFFFFF, format);
}

void KeyboardTips::Paint() {
  PAINTSTRUCT ps{};
  Native::BeginPaint(m_hWnd, &ps);
  const CRect client = GetClientRect();
  if (client.Width() > 0 && client.Height() > 0) {
    Surface surface(client.Width(), client.Height());
    Compose(surface);
    surface.Present(m_hWnd, client, 0, 0);
  }
  Native::EndPaint(m_hWnd, &ps);
}

LRESULT KeyboardTips::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_PAINT) {
    Paint();
    return 0;
  }
  if (msg == WM_ERASEBKGND) return 1;
  if (msg == WM_KILLFOCUS && m_shown) ShowWindow(SW_HIDE);
  return MWindow::OnWindowMessage(msg, wParam, lParam);
}

}  // namespace Tavex
