// PaintManager: composing and presenting a frame, the background, pacing and the paint trace.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ControlMap.h"
#include "tavex/MRender.h"
#include "tavex/Native.h"
#include "tavex/PaintManager.h"

namespace Tavex {

namespace {

// Copies `rect` (clipped to both) of one premultiplied surface into another, alpha included.
void CopyPixels(const Surface& from, Surface& to, CRect rect) {
  if (!rect.IntersectRect(rect, CRect(0, 0, from.Width(), from.Height())) ||
      !rect.IntersectRect(rect, CRect(0, 0, to.Width(), to.Height()))) {
    return;
  }
  const std::uint8_t* src = from.Data();
  std::uint8_t* dst = to.Data();
  const auto bytes = static_cast<std::size_t>(rect.Width()) * 4;
  for (int y = rect.top; y < rect.bottom; ++y) {
    std::memcpy(dst + static_cast<std::ptrdiff_t>(y) * to.Stride() + rect.left * 4,
                src + static_cast<std::ptrdiff_t>(y) * from.Stride() + rect.left * 4, bytes);
  }
}

// Whether the background layer would be the picture itself: a picture of exactly the window's
// size, drawn over nothing (whole in the normal mode, as nine unscaled parts in the frame mode).
bool BackgroundIsPicture(const Image& image, CRect client) {
  return image.Data() != nullptr && image.Width() == client.Width() && image.Height() == client.Height();
}

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

bool TraceEnabled() {
  static const bool on = [] {
    const char* v = std::getenv("TAVEX_PAINT_TRACE");
    return v != nullptr && *v != '\0' && std::strcmp(v, "0") != 0;
  }();
  return on;
}

// Times consecutive steps: each Next() books the time since the previous mark.
class StepTimer {
 public:
  StepTimer() : m_start(Clock::now()), m_mark(m_start) {}
  void Next(double* slot) {
    const auto now = Clock::now();
    if (slot != nullptr) *slot += Ms(m_mark, now);
    m_mark = now;
  }
  double Total() const { return Ms(m_start, Clock::now()); }

 private:
  Clock::time_point m_start;
  Clock::time_point m_mark;
};

}  // namespace

void PaintManager::SetBackColor(COLORREF background, COLORREF border) {
  if (background == m_bkColor && border == m_borderColor) return;
  m_bkColor = background;
  m_borderColor = border;
  Invalidate();
}

void PaintManager::SetBackMode(enumBackMode mode, int corner) {
  corner = std::max(corner, 0);
  const CRect borders(corner, corner, corner, corner);
  {
    std::lock_guard guard(m_bkLock);
    if (mode == m_backMode && corner == m_backCorner && borders == m_backBorders) return;
    m_backMode = mode;
    m_backCorner = corner;
    m_backBorders = borders;
  }
  Invalidate();
}

void PaintManager::SetBackModeMID(int left, int top, int right, int bottom) {
  const CRect borders(std::max(left, 0), std::max(top, 0), std::max(right, 0),
                      std::max(bottom, 0));
  {
    std::lock_guard guard(m_bkLock);
    if (m_backMode == BackModeFrame && borders == m_backBorders) return;
    m_backMode = BackModeFrame;
    m_backBorders = borders;
  }
  Invalidate();
}

void PaintManager::SetScrollResID(unsigned vertical, unsigned horizontal) {
  m_scrollSet = true;
  const unsigned oldV = m_scrollV.exchange(vertical);
  const unsigned oldH = m_scrollH.exchange(horizontal);
  if (oldV != vertical || oldH != horizontal) Invalidate();
}

CRect PaintManager::GetBackBorders() const {
  std::lock_guard guard(m_bkLock);
  return m_backBorders;
}

bool PaintManager::LoadBKImage(const CString& name) {
  Image image = MRender::LoadImageFromFile(m_images.GetFolder() + name);
  if (image.IsNull()) return false;
  SetBKImage(image);
  return true;
}

bool PaintManager::LoadBKImage(unsigned resourceId, const CString& type) {
  Image image = MRender::LoadImageFromIDResource(resourceId, type, nullptr);
  if (image.IsNull()) return false;
  SetBKImage(image);
  return true;
}

void PaintManager::SetBKImage(const Image& image) {
  {
    std::lock_guard guard(m_bkLock);
    m_bkImage = image;
  }
  Invalidate();
}

Image PaintManager::GetBKImage() const {
  std::lock_guard guard(m_bkLock);
  return m_bkImage;
}

void PaintManager::SetLayeredWindow(int on) {
  m_layered = on ? 1 : 0;
  m_overlay.SetLayered(on != 0);
  if (m_hWnd != nullptr && IsUIThread()) {
    const auto ex = static_cast<DWORD>(Native::GetWindowLongPtr(m_hWnd, GWL_EXSTYLE));
    Native::SetWindowLongPtr(m_hWnd, GWL_EXSTYLE,
                             static_cast<LONG_PTR>(on ? (ex | WS_EX_LAYERED) : (ex & ~WS_EX_LAYERED)));
  }
  Invalidate();
}

void PaintManager::DrawBackground(Painter& painter, CRect client) {
  const Image image = GetBKImage();
  if (!image.IsNull()) {
    if (m_backMode == BackModeFrame) {
      const CRect b = GetBackBorders();
      MRender::DrawImageFrameMID(painter, image, client, 0, 0, image.Width(), image.Height(),
                                 b.left, b.top, b.right, b.bottom);
    } else {
      painter.DrawImage(image, 0, 0);
    }
    return;
  }
  painter.FillRect(client, ARGBFromCOLORREF(m_borderColor, 0xFE));
  CRect inner = client;
  inner.DeflateRect(1, 1);
  painter.FillRect(inner, ARGBFromCOLORREF(m_bkColor, 0xFE));
}

void PaintManager::FillBackgroundColours(Surface& surface, CRect client, const CRect* parts,
                                         int count) {
  if (count <= 0) return;
  BackPixels& px = m_backPixels;
  if (!px.valid || px.border != m_borderColor || px.inside != m_bkColor) {
    // The two pixels exactly as DrawBackground paints them over nothing: the border colour, and
    // the back colour over it (both a little translucent).
    Surface one(1, 1);
    const auto fill = [&one](COLORREF colour) {
      {
        Painter painter(one);
        painter.FillRect(CRect(0, 0, 1, 1), ARGBFromCOLORREF(colour, 0xFE));
      }
      std::uint32_t value = 0;
      std::memcpy(&value, one.Data(), sizeof value);
      return value;
    };
    px = BackPixels{m_borderColor, m_bkColor, fill(m_borderColor), fill(m_bkColor), true};
  }
  const std::uint32_t border = px.borderPixel;
  const std::uint32_t inside = px.insidePixel;
  std::uint8_t* data = surface.Data();
  for (int i = 0; i < count; ++i) {
    const CRect paint = parts[i];
    CRect inner = client;
    inner.DeflateRect(1, 1);
    if (!inner.IntersectRect(inner, paint)) inner = CRect();
    for (int y = paint.top; y < paint.bottom; ++y) {
      auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * surface.Stride());
      if (y < inner.top || y >= inner.bottom) {
        std::fill(row + paint.left, row + paint.right, border);
        continue;
      }
      std::fill(row + paint.left, row + inner.left, border);
      std::fill(row + inner.left, row + inner.right, inside);
      std::fill(row + inner.right, row + paint.right, border);
    }
  }
}

CRect PaintManager::OpaqueCover(CRect paint) {
  CRect best;
  m_controls.ForEach([&](MControl* c) {
    if (!c->IsVisible()) return;
    CRect area = c->OpaqueArea();
    if (area.IsRectEmpty()) return;  // most controls promise nothing
    if (area.IntersectRect(area, c->GetRect()) && area.IntersectRect(area, paint) &&
        RectArea(area) > RectArea(best)) {
      best = area;
    }
  });
  return best;
}

const Surface& PaintManager::BackgroundLayer(CRect client) {
  const Image image = GetBKImage();
  const CRect borders = GetBackBorders();
  std::size_t h = 0;
  const auto mix = [&h](std::size_t v) { h ^= v + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2); };
  for (std::size_t v : {static_cast<std::size_t>(client.Width()), static_cast<std::size_t>(client.Height()),
                        reinterpret_cast<std::size_t>(image.impl()),
                        static_cast<std::size_t>(m_backMode.load()),
                        static_cast<std::size_t>(m_backCorner.load()),
                        static_cast<std::size_t>(borders.left), static_cast<std::size_t>(borders.top),
                        static_cast<std::size_t>(borders.right), static_cast<std::size_t>(borders.bottom),
                        static_cast<std::size_t>(m_bkColor), static_cast<std::size_t>(m_borderColor)}) {
    mix(v);
  }
  if (!m_backLayer.IsNull() && m_backLayer.Width() == client.Width() &&
      m_backLayer.Height() == client.Height() && h == m_backLayerSignature) {
    return m_backLayer;
  }
  const bool wasBorrowed = !m_backLayer.IsNull() && m_backLayer.Data() == m_backLayerImage.Data();
  m_backLayerImage = image;
  m_backLayerSignature = h;
  if (BackgroundIsPicture(image, client)) {
    // The layer would be a pixel-exact copy of the picture, the size of the window: read the
    // picture's own pixels instead (kept alive by m_backLayerImage; the layer is only read).
    m_backLayer = Surface::Borrow(const_cast<std::uint8_t*>(image.Data()), image.Width(),
                                  image.Height(), image.Stride());
    if (!m_backLayer.IsNull()) return m_backLayer;
  }
  if (m_backLayer.IsNull() || m_backLayer.Width() != client.Width() ||
      m_backLayer.Height() != client.Height() || wasBorrowed) {
    m_backLayer = Surface(client.Width(), client.Height());
  }
  {
    Painter painter(m_backLayer);
    painter.Clear(0);
    DrawBackground(painter, client);
  }
  return m_backLayer;
}

void PaintManager::Render(Painter& painter, CRect client, CRect paint) {
  DrawBackground(painter, client);
  const auto draw = [&](MControl* c) {
    if (c->IsVisible() && c->GetRect().Intersects(paint)) c->Draw(painter, paint);
  };
  m_areas.ForEach(draw);
  m_controls.ForEach(draw);
}

void PaintManager::FixLayeredAlpha(Surface& surface, CRect rect) {
  CRect r = rect;
  if (!r.IntersectRect(r, CRect(0, 0, surface.Width(), surface.Height()))) return;
  std::uint8_t* data = surface.Data();
  const int stride = surface.Stride();
  for (int y = r.top; y < r.bottom; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::size_t>(y) * stride);
    for (int x = r.left; x < r.right; ++x) {
      const std::uint32_t p = row[x];
      if ((p & 0xFF000000u) == 0 && (p & 0x00FFFFFFu) != 0) row[x] = p | 0xFF000000u;
    }
  }
}

void PaintManager::Compose(Surface& surface, CRect update, PaintTrace* trace) {
  PaintTrace local;
  PaintTrace& t = trace != nullptr ? *trace : local;
  StepTimer timer;
  const CRect client(0, 0, surface.Width(), surface.Height());
  const bool layered = m_layered != 0;
  CRect paint = layered ? client : update;
  if (!paint.IntersectRect(paint, client)) return;
  {
    // The background replaces whatever the rectangle held: its two colours filled in, or a
    // copy of the cached layer of the picture. Where a control paints every pixel opaquely
    // itself (an animating picture), the background would only be painted over.
    CRect parts[4];
    const int count = SubtractRect(paint, OpaqueCover(paint), parts);
    if (GetBKImage().IsNull()) {
      m_backLayer = Surface();  // a window-sized layer of two colours is not worth its memory
      m_backLayerImage = Image();
      timer.Next(&t.clear);
      FillBackgroundColours(surface, client, parts, count);
    } else {
      const Surface& back = BackgroundLayer(client);
      timer.Next(&t.clear);
      for (int i = 0; i < count; ++i) CopyPixels(back, surface, parts[i]);
    }
    timer.Next(&t.background);
    Painter painter(surface);
    painter.PushClip(paint);
    const auto draw = [&](MControl* c) {
      if (c->IsVisible() && c->GetRect().Intersects(paint)) c->Draw(painter, paint);
    };
    m_areas.ForEach(draw);
    timer.Next(&t.areas);
    m_controls.ForEach(draw);
    timer.Next(&t.controls);
    m_caret.Draw(painter, paint);
    timer.Next(&t.caret);
    if (layered) {
      painter.Flush();
      FixLayeredAlpha(surface, paint);
      timer.Next(&t.fixAlpha);
    }
    m_overlay.Draw(painter);
    painter.PopClip();
  }
  timer.Next(&t.overlay);
  t.total += timer.Total();
}

void PaintManager::OnPaint() {
  PAINTSTRUCT ps{};
  if (m_hWnd == nullptr || !Native::BeginPaint(m_hWnd, &ps)) return;
  const CRect client = GetClientRect();
  CRect update = ps.rcPaint;
  if (Native::IsIconic(m_hWnd) || client.IsRectEmpty() || update.IsRectEmpty()) {
    Native::EndPaint(m_hWnd, &ps);
    return;
  }
  const auto start = Clock::now();
  PaintTrace trace;
  if (!ps.fOwnOnly) {
    // The control that asked to write its change itself is painted with everything else.
    m_retainedControl = nullptr;
    m_retainedConflict = false;
  }
  COLORREF key = 0;
  DWORD flags = 0;
  Native::GetLayeredWindowAttributes(m_hWnd, &key, nullptr, &flags);
  const bool wholeSurface = m_layered || (flags & LWA_COLORKEY);
  Native::FrameBuffer shared;
  if (!wholeSurface && Native::AcquireFrameBuffer(m_hWnd, client.Width(), client.Height(), &shared)) {
    KeepFrame(shared.pixels, shared.width, shared.height);
    m_frame = Surface();
    if (ps.fOwnOnly && PaintRetained(shared, update)) {
      trace.output = Ms(start, Clock::now());
    } else {
      // Composed straight into the window's shared frame; only the update rectangle is shown,
      // so what the frame holds around it does not matter.
      Surface target = Surface::Borrow(shared.pixels, shared.width, shared.height, shared.stride);
      m_composingGeneration = m_frameGeneration;
      Compose(target, update, &trace);
      m_composingGeneration = 0;
      target = Surface();  // hands the pixels back before the server reads them
      const auto composed = Clock::now();
      Native::PresentFrameBuffer(m_hWnd, update);
      trace.output = Ms(composed, Clock::now());
    }
  } else {
    KeepFrame(nullptr, 0, 0);  // this paint bypasses the kept frame, which now lags the screen
    if (m_frame.Width() != client.Width() || m_frame.Height() != client.Height()) {
      m_frame = Surface(client.Width(), client.Height());
    }
    Compose(m_frame, update, &trace);
    const auto composed = Clock::now();
    if (wholeSurface) {
      // The layered window takes the whole surface with its alpha (or its colour key).
      Native::UpdateLayeredWindow(m_hWnd, m_frame.Data(), m_frame.Width(), m_frame.Height(),
                                  m_frame.Stride());
      update = client;
    } else {
      Native::PresentFrame(m_hWnd, m_frame.Data(), m_frame.Width(), m_frame.Height(),
                           m_frame.Stride(), update, update.left, update.top);
    }
    trace.output = Ms(composed, Clock::now());
  }
  trace.total = Ms(start, Clock::now());
  ++m_paintCount;
  m_lastTrace = trace;
  Native::EndPaint(m_hWnd, &ps);
  // Instead of sleeping on the UI thread, the next paint is held back; whatever is
  // invalidated meanwhile is painted together once the pause is over.
  Native::DelayNextPaint(m_hWnd, kPaintPauseMs);
  Native::SetTimer(m_hWnd, kTimerFrameIdle, kFrameIdleMs, nullptr);  // re-armed by every paint
  if (ControlMap::Enabled()) ControlMap::Update(*this);
  if (TraceEnabled()) {
    std::fprintf(stderr,
                 "tavex-paint #%d %s %dx%d update=%d,%d,%dx%d clear=%.3f background=%.3f "
                 "areas=%.3f controls=%.3f caret=%.3f fixalpha=%.3f overlay=%.3f output=%.3f "
                 "total=%.3f ms\n",
                 m_paintCount, m_layered ? "layered" : "normal", client.Width(), client.Height(),
                 update.left, update.top, update.Width(), update.Height(), trace.clear,
                 trace.background, trace.areas, trace.controls, trace.caret, trace.fixAlpha,
                 trace.overlay, trace.output, trace.total);
  }
}

void PaintManager::ReleaseFrame() {
  Native::KillTimer(m_hWnd, kTimerFrameIdle);
  KeepFrame(nullptr, 0, 0);
  m_frame = Surface();
  Native::ReleaseFrameBuffer(m_hWnd);
}

bool PaintManager::RenderToPng(const CString& path) {
  const CRect client = GetClientRect();
  if (client.IsRectEmpty()) return false;
  Surface surface(client.Width(), client.Height());
  Compose(surface, client, nullptr);
  return surface.SavePNG(path);
}

void PaintManager::RunOnUIThread(std::function<void()> task) {
  if (!task) return;
  if (IsUIThread()) {
    task();
    return;
  }
  {
    std::lock_guard guard(m_pendingLock);
    m_pending.push_back(std::move(task));
  }
  if (m_hWnd != nullptr) Native::PostMessage(m_hWnd, kMsgRunPending, 0, 0);
}

void PaintManager::RunPending() {
  std::vector<std::function<void()>> tasks;
  {
    std::lock_guard guard(m_pendingLock);
    tasks.swap(m_pending);
  }
  for (auto& task : tasks) task();
}

}  // namespace Tavex
