#include "DragDrop.h"

#include <algorithm>
#include <cstdlib>

#include "tavex/Codes.h"
#include "tavex/MControl.h"
#include "tavex/Native.h"
#include "tavex/PaintManager.h"

namespace Tavex {
namespace {

constexpr const char* kImageClass = "TavexDragImage";

LRESULT ImageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps{};
    Native::BeginPaint(hwnd, &ps);
    auto* surface = reinterpret_cast<Surface*>(Native::GetWindowLongPtr(hwnd, GWLP_USERDATA));
    if (surface != nullptr && !surface->IsNull()) {
      Native::UpdateLayeredWindow(hwnd, surface->Data(), surface->Width(), surface->Height(),
                                  surface->Stride());
    }
    Native::EndPaint(hwnd, &ps);
    return 0;
  }
  return Native::DefWindowProc(hwnd, msg, wParam, lParam);
}

}  // namespace

DragDrop::DragDrop(PaintManager& manager) : m_pm(manager) {}

DragDrop::~DragDrop() { Cancel(); }

void DragDrop::Arm(MControl* source, CPoint pt) {
  if (source == nullptr || !source->IsEnabled()) return;
  m_source = source;
  m_pressAt = pt;
  const CRect r = source->GetRect();
  m_grab = CPoint(pt.x - r.left, pt.y - r.top);
  m_armed = true;
}

void DragDrop::Disarm() {
  if (!m_dragging) {
    m_armed = false;
    m_source = nullptr;
  }
}

bool DragDrop::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != WM_MOUSEMOVE || (!m_armed && !m_dragging)) return false;
  const CPoint pt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  if (!(wParam & MK_LBUTTON)) {
    if (m_dragging) Cancel();
    Disarm();
    return false;
  }
  if (!m_dragging) {
    if (std::abs(pt.x - m_pressAt.x) <= kThreshold && std::abs(pt.y - m_pressAt.y) <= kThreshold) {
      return false;
    }
    Begin(pt);
  }
  MoveImage(pt);
  return true;
}

CPoint DragDrop::ImageOrigin(CPoint pt) const {
  const CRect client = m_pm.GetClientRect();
  const int w = m_image.Width(), h = m_image.Height();
  int x = pt.x - m_grab.x, y = pt.y - m_grab.y;
  // Confined to the window: the picture never leaves its rectangle.
  x = std::clamp(x, client.left, std::max(client.left, client.right - w));
  y = std::clamp(y, client.top, std::max(client.top, client.bottom - h));
  return {x, y};
}

void DragDrop::Begin(CPoint pt) {
  m_dragging = true;
  m_armed = false;
  m_image = m_pm.GetDropBitmap(m_source, m_source->GetRect());
  const HWND owner = m_pm.GetPaintWnd();
  if (m_image.IsNull() || owner == nullptr) return;
  static bool registered = false;
  if (!registered) {
    WNDCLASS wc{};
    wc.lpfnWndProc = ImageProc;
    wc.lpszClassName = kImageClass;
    registered = Native::RegisterClass(wc);
  }
  m_surface = std::make_unique<Surface>(m_image.Width(), m_image.Height());
  {
    Painter painter(*m_surface);
    painter.DrawImage(m_image, 0, 0, 180);
  }
  const CPoint at = ImageOrigin(pt);
  POINT screen{at.x, at.y};
  Native::ClientToScreen(owner, &screen);
  m_imageWnd = Native::CreateWindowEx(WS_EX_NOACTIVATE | WS_EX_TOPMOST | WS_EX_LAYERED, kImageClass,
                                      "", WS_POPUP, screen.x, screen.y, m_image.Width(),
                                      m_image.Height(), owner, nullptr, nullptr, nullptr);
  if (m_imageWnd == nullptr) return;
  Native::SetWindowLongPtr(m_imageWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(m_surface.get()));
  Native::ShowWindow(m_imageWnd, SW_SHOWNA);
}

void DragDrop::MoveImage(CPoint pt) {
  if (m_imageWnd == nullptr) return;
  const CPoint at = ImageOrigin(pt);
  POINT screen{at.x, at.y};
  Native::ClientToScreen(m_pm.GetPaintWnd(), &screen);
  Native::SetWindowPos(m_imageWnd, nullptr, screen.x, screen.y, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

MControl* DragDrop::Drop(CPoint pt) {
  MControl* source = m_source;
  Cancel();
  if (source == nullptr) return nullptr;
  MControl* target = nullptr;
  m_pm.GetControls().ForEach([&](MControl* c) {
    if (c != source && c->IsVisible() && c->PtInRect(pt)) target = c;
  });
  source->SendMessageW(Notify::Dropped, target != nullptr ? target->GetControlID() : 0,
                       static_cast<long>(MAKELPARAM(pt.x, pt.y)));
  return target;
}

void DragDrop::Cancel() {
  if (m_imageWnd != nullptr) {
    Native::SetWindowLongPtr(m_imageWnd, GWLP_USERDATA, 0);
    Native::DestroyWindow(m_imageWnd);
    m_imageWnd = nullptr;
  }
  m_dragging = false;
  m_armed = false;
  m_source = nullptr;
  m_image = Image();
  m_surface.reset();
}

void DragDrop::Forget(MControl* control) {
  if (control != nullptr && control == m_source) Cancel();
}

}  // namespace Tavex
