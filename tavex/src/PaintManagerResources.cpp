// PaintManager: image cache, private fonts, overlay, caret, window size limits.
#include <algorithm>
#include <filesystem>

#include "DragDrop.h"
#include "tavex/MRender.h"
#include "tavex/MShadow.h"
#include "tavex/Manager.h"
#include "tavex/Native.h"
#include "tavex/PaintManager.h"

namespace Tavex {

ImgResInfo* PaintManager::AddImgResInfo(const char* name, int states) {
  if (name == nullptr) return nullptr;
  return m_images.Add(CString(name), states);
}

ImgResInfo* PaintManager::AddImgResInfo(unsigned resourceId, const CString& type, int states, int) {
  return m_images.Add(resourceId, type, states);
}

void PaintManager::ClearImgResInfo() { m_images.Clear(); }

const TempFontFamily* PaintManager::AddTempFont(const char* family, const char* file) {
  if (family == nullptr || file == nullptr) return nullptr;
  return m_fonts.Add(CString(family), CString(file));
}

const TempFontFamily* PaintManager::AddTempFont(const char* family, unsigned resourceId) {
  if (family == nullptr) return nullptr;
  return m_fonts.Add(CString(family), resourceId);
}

const TempFontFamily* PaintManager::FindTempFont(const char* family) const {
  return family == nullptr ? nullptr : m_fonts.Find(CString(family));
}

void PaintManager::ClearTempFont() { m_fonts.Clear(); }

bool PaintManager::AddGDITempFont(unsigned resourceId) { return m_fonts.AddGDI(resourceId); }

int PaintManager::RegisterFontFolder(const CString& folder) {
  static const struct {
    const char* file;
    const char* family;
  } kFonts[] = {
      {"OpenSans-Regular.ttf", "Open Sans"},
      {"OpenSans-Light.ttf", "Open Sans Light"},
      {"OpenSans-Semibold.ttf", "Open Sans Semibold"},
      {"OpenSans-ExtraBold.ttf", "Open Sans Extrabold"},
  };
  CString base = folder;
  if (!base.empty() && base.back() != '/') base += '/';
  int added = 0;
  for (const auto& font : kFonts) {
    std::error_code ec;
    const CString path = base + font.file;
    if (!std::filesystem::is_regular_file(path, ec)) continue;  // missing files are skipped
    if (m_fonts.Add(font.family, path) != nullptr) ++added;
  }
  return added;
}

// ---- overlay --------------------------------------------------------------------------------

void PaintManager::OverlayTimers::StartOverlayTimer(unsigned id, unsigned ms) {
  if (m_pm.m_hWnd != nullptr) Native::SetTimer(m_pm.m_hWnd, id, ms, nullptr);
}

void PaintManager::OverlayTimers::StopOverlayTimer(unsigned id) {
  if (m_pm.m_hWnd != nullptr) Native::KillTimer(m_pm.m_hWnd, id);
}

void PaintManager::OverlayTimers::RepaintOverlay(CRect rect) {
  if (rect.IsRectEmpty()) {
    m_pm.Invalidate();
  } else {
    m_pm.InvalidateRect(rect, 0);
  }
}

CRect PaintManager::OverlayTimers::OverlayClientRect() const { return m_pm.GetClientRect(); }

void PaintManager::SetMessage(const CString& text, CRect rect, MsgLevel level) {
  RunOnUIThread([this, text, rect, level] { m_overlay.SetMessage(text, rect, level); });
}

void PaintManager::SetProgress(int percent, const CString& text, CRect rect) {
  RunOnUIThread([this, percent, text, rect] { m_overlay.SetProgress(percent, text, rect); });
}

// ---- balloon message ------------------------------------------------------------------------

void PaintManager::SetAirBladderMsg(const CString& text, POINT point, AIRBLADDER_TYPE type,
                                    AIRBLADDER_MODE mode) {
  RunOnUIThread([this, text, point, type, mode] {
    const HWND hwnd = m_hWnd.load();
    if (hwnd == nullptr) return;
    if (!m_airBladder) {
      if (text.empty()) return;
      m_airBladder = std::make_unique<MAirBladder>();
    }
    POINT screen = point;
    Native::ClientToScreen(hwnd, &screen);
    // The balloon compares the screen point: a moved window shows it again at the new place.
    m_airBladder->SetMsg(text, screen, type, mode, hwnd);
  });
}

void PaintManager::HideAirBladder() {
  RunOnUIThread([this] {
    if (m_airBladder) m_airBladder->Hide();
  });
}

// ---- caret ----------------------------------------------------------------------------------

void PaintManager::CreateCaret(const Image& bitmap, int width, int height) {
  const CRect old = m_caret.GetRect();
  m_caret.Create(bitmap, width, height);
  if (m_caret.IsVisible()) {
    InvalidateRect(old, 0);
    InvalidateRect(m_caret.GetRect(), 0);
  }
}

void PaintManager::SetCaretPos(MControl* owner, int x, int y) {
  const CRect old = m_caret.GetRect();
  m_caret.SetPos(owner, x, y);
  if (m_caret.IsVisible()) {
    InvalidateRect(old, 0);
    InvalidateRect(m_caret.GetRect(), 0);
  }
}

void PaintManager::ShowCaret(int show) {
  if (!m_caret.Show(show != 0)) return;
  if (m_hWnd != nullptr) {
    if (show) {
      Native::SetTimer(m_hWnd, kTimerCaret, Native::GetCaretBlinkTime(), nullptr);
    } else {
      Native::KillTimer(m_hWnd, kTimerCaret);
    }
  }
  InvalidateRect(m_caret.GetRect(), 0);
}

// ---- window geometry ------------------------------------------------------------------------

CRect PaintManager::GetWindowRect() const {
  RECT r{};
  if (m_hWnd != nullptr) Native::GetWindowRect(m_hWnd, &r);
  return r;
}

CSize PaintManager::ClampWindowSize(CSize size) const {
  if (m_minSize.cx > 0) size.cx = std::max(size.cx, m_minSize.cx);
  if (m_minSize.cy > 0) size.cy = std::max(size.cy, m_minSize.cy);
  if (m_maxSize.cx > 0) size.cx = std::min(size.cx, m_maxSize.cx);
  if (m_maxSize.cy > 0) size.cy = std::min(size.cy, m_maxSize.cy);
  return size;
}

}  // namespace Tavex

namespace Tavex {

// ---- shadow ---------------------------------------------------------------------------------

MShadow* PaintManager::CreateShadow(int size, bool show) {
  if (!m_shadow) m_shadow = std::make_unique<MShadow>();
  if (m_hWnd != nullptr && IsUIThread()) m_shadow->Create(m_hWnd, size, show);
  return m_shadow.get();
}

void PaintManager::SetSize(int size) {
  if (m_shadow) m_shadow->SetSize(size);
}
void PaintManager::SetSharpness(int sharpness) {
  if (m_shadow) m_shadow->SetSharpness(sharpness);
}
void PaintManager::SetDarkness(int darkness) {
  if (m_shadow) m_shadow->SetDarkness(darkness);
}
void PaintManager::SetPosition(int x, int y) {
  if (m_shadow) m_shadow->SetPosition(x, y);
}
void PaintManager::SetShadowColor(COLORREF colour) {
  if (m_shadow) m_shadow->SetColor(colour);
}
bool PaintManager::SetShadowImage(const CString& file, CRect nine) {
  return m_shadow && m_shadow->SetImage(Image::LoadFile(m_images.GetFolder() + file), nine);
}
bool PaintManager::SetShadowImage(unsigned resourceId, const CString& type, CRect nine) {
  return m_shadow &&
         m_shadow->SetImage(MRender::LoadImageFromIDResource(resourceId, type, nullptr), nine);
}
void PaintManager::SetShadowShow(bool show) {
  if (m_shadow) m_shadow->SetShow(show);
}
void PaintManager::DisableShadow() {
  if (!m_shadow) return;
  m_shadow->DestroyWindow();
  m_shadow.reset();
}

// ---- drag and drop --------------------------------------------------------------------------

void PaintManager::InitDragDrop() {
  if (!m_drag) m_drag = std::make_unique<DragDrop>(*this);
}

Image PaintManager::GetDropBitmap(MControl* control, const CRect& rect, DWORD) {
  if (control == nullptr) return Image();
  Image own = control->GetControlDropBitmap();
  if (!own.IsNull()) return own;
  if (rect.IsRectEmpty()) return Image();
  Surface surface(rect.Width(), rect.Height());
  {
    Painter painter(surface);
    painter.Translate(-rect.left, -rect.top);
    control->Draw(painter, rect);
  }
  return surface.ToImage();
}

bool PaintManager::IsDragging() const { return m_drag && m_drag->IsDragging(); }

MControl* PaintManager::GetDragSource() const {
  return m_drag && m_drag->IsDragging() ? m_drag->GetSource() : nullptr;
}

}  // namespace Tavex
