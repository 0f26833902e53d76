#include "tavex/MScroll.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "tavex/Codes.h"
#include "tavex/MRender.h"
#include "tavex/Manager.h"
#include "tavex/PaintManager.h"
#include "tavex/Painter.h"

namespace Tavex {

namespace {
constexpr int kMinThumb = 16;
}

MScroll::MScroll(MObject* parent, unsigned id, CRect rect, bool vertical, int visible)
    : MControlFont(parent, id, rect, nullptr, visible, 1), m_vertical(vertical) {}

const char* MScroll::GetClassNameW() const { return "MScroll"; }

void MScroll::SetScrollInfo(int content, int view) {
  {
    std::lock_guard guard(m_dataLock);
    if (content == m_content && view == m_view) return;
    m_content = std::max(0, content);
    m_view = std::max(0, view);
    m_pos = std::clamp(m_pos, 0, std::max(0, m_content - m_view));
  }
  UpdateControl(1, 0);
}

int MScroll::GetScrollRange() const {
  std::lock_guard guard(m_dataLock);
  return std::max(0, m_content - m_view);
}

int MScroll::SetScrollPos(int pos, bool notify) {
  int now;
  {
    std::lock_guard guard(m_dataLock);
    now = std::clamp(pos, 0, std::max(0, m_content - m_view));
    if (now == m_pos) return now;
    m_pos = now;
  }
  UpdateControl(1, 0);
  if (notify) SendMessageW(Notify::Scrolled, static_cast<unsigned>(now), 0);
  return now;
}

int MScroll::GetScrollPos() const {
  std::lock_guard guard(m_dataLock);
  return m_pos;
}

int MScroll::ArrowSize() const {
  const CRect r = GetRect();
  const int across = m_vertical ? r.Width() : r.Height();
  const int along = m_vertical ? r.Height() : r.Width();
  return std::min(across, along / 3);
}

CRect MScroll::GetLowArrowRect() const {
  CRect r = GetRect();
  const int a = ArrowSize();
  if (m_vertical) {
    r.bottom = r.top + a;
  } else {
    r.right = r.left + a;
  }
  return r;
}

CRect MScroll::GetHighArrowRect() const {
  CRect r = GetRect();
  const int a = ArrowSize();
  if (m_vertical) {
    r.top = r.bottom - a;
  } else {
    r.left = r.right - a;
  }
  return r;
}

CRect MScroll::GetThumbRect() const {
  std::lock_guard guard(m_dataLock);
  const CRect r = m_rect;
  const int a = ArrowSize();
  const int trackStart = (m_vertical ? r.top : r.left) + a;
  const int track = (m_vertical ? r.Height() : r.Width()) - 2 * a;
  if (track <= 0) return {};
  const int range = std::max(0, m_content - m_view);
  int thumb = track;
  if (m_content > 0 && range > 0) {
    thumb = std::max(std::min(kMinThumb, track), static_cast<int>(1LL * track * m_view / m_content));
  }
  const int travel = track - thumb;
  const int offset = range > 0 ? static_cast<int>(1LL * travel * m_pos / range) : 0;
  if (m_vertical) return {r.left, trackStart + offset, r.right, trackStart + offset + thumb};
  return {trackStart + offset, r.top, trackStart + offset + thumb, r.bottom};
}

MScroll::Part MScroll::HitPart(CPoint pt) const {
  if (!GetRect().PtInRect(pt)) return Part::None;
  if (GetLowArrowRect().PtInRect(pt)) return Part::LowArrow;
  if (GetHighArrowRect().PtInRect(pt)) return Part::HighArrow;
  const CRect thumb = GetThumbRect();
  if (thumb.PtInRect(pt)) return Part::Thumb;
  return Along(pt) < (m_vertical ? thumb.top : thumb.left) ? Part::TrackLow : Part::TrackHigh;
}

int MScroll::OnCheckMouseResponse(unsigned, CPoint pt) { return GetRect().PtInRect(pt) ? 1 : 0; }

int MScroll::OnControlMouseMove(unsigned, CPoint pt) {
  if (m_pressedPart == Part::Thumb) {
    const CRect r = GetRect();
    const int a = ArrowSize();
    const CRect thumb = GetThumbRect();
    const int thumbLen = m_vertical ? thumb.Height() : thumb.Width();
    const int track = (m_vertical ? r.Height() : r.Width()) - 2 * a;
    const int travel = track - thumbLen;
    const int range = GetScrollRange();
    if (travel > 0 && range > 0) {
      const int start = Along(pt) - m_dragOffset - ((m_vertical ? r.top : r.left) + a);
      SetScrollPos(static_cast<int>((1LL * start * range + travel / 2) / travel), true);
    }
    return 1;
  }
  const Part part = HitPart(pt);
  const bool changed = m_press.Move(part != Part::None) || part != m_hoverPart;
  m_hoverPart = part;
  if (changed) UpdateControl(1, 0);
  return 1;
}

int MScroll::OnControlLButtonDown(unsigned, CPoint pt) {
  const Part part = HitPart(pt);
  m_pressedPart = part;
  m_press.Down(part != Part::None);
  const int pos = GetScrollPos();
  int page = std::max(1, m_view - m_step);
  switch (part) {
    case Part::LowArrow: SetScrollPos(pos - m_step, true); break;
    case Part::HighArrow: SetScrollPos(pos + m_step, true); break;
    case Part::TrackLow: SetScrollPos(pos - page, true); break;
    case Part::TrackHigh: SetScrollPos(pos + page, true); break;
    case Part::Thumb: {
      const CRect thumb = GetThumbRect();
      m_dragOffset = Along(pt) - (m_vertical ? thumb.top : thumb.left);
      break;
    }
    case Part::None: return 0;
  }
  UpdateControl(1, 0);
  return 1;
}

int MScroll::OnControlLButtonUp(unsigned, CPoint pt) {
  m_pressedPart = Part::None;
  m_press.Up(HitPart(pt) != Part::None, nullptr);
  UpdateControl(1, 0);
  return 1;
}

int MScroll::OnControlScroll(int, unsigned direction, CPoint) {
  const int before = GetScrollPos();
  return SetScrollPos(before + (direction == 0 ? -m_step : m_step), true) != before ? 1 : 0;
}

void MScroll::OnControlMouseLeave() {
  m_hoverPart = Part::None;
  m_pressedPart = Part::None;
  PressLeave(m_press);
}

CScrollVertical::CScrollVertical(MObject* parent, unsigned id, CRect rect, int visible)
    : MScroll(parent, id, rect, true, visible) {}
const char* CScrollVertical::GetClassNameW() const { return "CScrollVertical"; }

CScrollHorizontal::CScrollHorizontal(MObject* parent, unsigned id, CRect rect, int visible)
    : MScroll(parent, id, rect, false, visible) {}
const char* CScrollHorizontal::GetClassNameW() const { return "CScrollHorizontal"; }

}  // namespace Tavex

namespace Tavex {

namespace {

// Cells of the bar pictures (built-in 102 and 101, or resources with the same layout).
// Vertical: six square cells from the top: up arrow, down arrow, track, thumb normal, hover,
// pressed. Horizontal: 2 × 2 cells: left arrow, right arrow / thumb, track.
struct BarCells {
  RECT low, high, track, thumb[3];
};

BarCells CellsOf(const Image& image, bool vertical) {
  BarCells c{};
  const int w = image.Width(), h = image.Height();
  if (vertical) {
    const int ch = h / 6;
    const auto cell = [&](int i) { return RECT{0, i * ch, w, (i + 1) * ch}; };
    c.low = cell(0);
    c.high = cell(1);
    c.track = cell(2);
    for (int i = 0; i < 3; ++i) c.thumb[i] = cell(3 + i);
  } else {
    const int cw = w / 2, ch = h / 2;
    c.low = RECT{0, 0, cw, ch};
    c.high = RECT{cw, 0, 2 * cw, ch};
    c.thumb[0] = c.thumb[1] = c.thumb[2] = RECT{0, ch, cw, 2 * ch};
    c.track = RECT{cw, ch, 2 * cw, 2 * ch};
  }
  return c;
}

// A copy of `src` inside `image` with every pixel's colour moved `percent` of the way to
// `towards`, alpha kept: the hover and pressed looks of a picture that has only one thumb.
Image Tinted(const Image& image, const RECT& src, ARGB towards, int percent) {
  const int w = src.right - src.left, h = src.bottom - src.top;
  if (w <= 0 || h <= 0) return {};
  std::vector<std::uint32_t> px(static_cast<std::size_t>(w) * h);
  const auto mix = [&](std::uint32_t a, std::uint32_t b) {
    const int from = static_cast<int>(a), to = static_cast<int>(b);
    return static_cast<std::uint32_t>(from + (to - from) * percent / 100);
  };
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const ARGB p = image.Pixel(src.left + x, src.top + y);
      const std::uint32_t r = mix((p >> 16) & 0xFF, (towards >> 16) & 0xFF);
      const std::uint32_t g = mix((p >> 8) & 0xFF, (towards >> 8) & 0xFF);
      const std::uint32_t b = mix(p & 0xFF, towards & 0xFF);
      px[static_cast<std::size_t>(y) * w + x] = (p & 0xFF000000u) | (r << 16) | (g << 8) | b;
    }
  }
  return Image::FromARGB(w, h, px.data());
}

}  // namespace

Image MScroll::BarPicture() const {
  if (m_manager == nullptr) return {};
  const unsigned id = m_vertical ? m_manager->GetScrollVID() : m_manager->GetScrollHID();
  const ImgResInfo* info = m_manager->AddImgResInfo(id, "PNG", 1);
  return info != nullptr ? info->image : Image();
}

bool MScroll::DrawFromPicture(Painter& painter) {
  const Image image = BarPicture();
  if (image.IsNull() || image.Width() < 2 || image.Height() < 6) return false;
  const BarCells cells = CellsOf(image, m_vertical);
  const CRect r = m_rect;
  const bool enabled = m_enabled != 0;
  const BYTE alpha = enabled ? 255 : 110;
  painter.DrawImage(image, r, cells.track, alpha, false);
  const auto arrow = [&](CRect box, Part part, const RECT& cell) {
    if (enabled && m_pressedPart == part) {
      painter.FillRect(box, 0x50FFFFFF);
    } else if (enabled && m_hoverPart == part) {
      painter.FillRect(box, 0x28FFFFFF);
    }
    painter.DrawImage(image, box, cell, alpha);
  };
  arrow(GetLowArrowRect(), Part::LowArrow, cells.low);
  arrow(GetHighArrowRect(), Part::HighArrow, cells.high);
  const CRect thumb = GetThumbRect();
  if (thumb.IsRectEmpty()) return true;
  int look = 0;
  if (enabled && m_pressedPart == Part::Thumb) {
    look = 2;
  } else if (enabled && m_hoverPart == Part::Thumb) {
    look = 1;
  }
  Image source = image;
  RECT cell = cells.thumb[look];
  if (!m_vertical && look != 0) {
    // The horizontal picture has one thumb: hover lightens it, pressed takes the accent colour.
    if (m_tintSource.impl() != image.impl()) {
      m_tintSource = image;
      m_tinted[0] = Tinted(image, cell, 0xFFFFFFFF, 30);
      m_tinted[1] = Tinted(image, cell, Manager::GetSelectColor(), 85);
    }
    source = m_tinted[look - 1];
    cell = RECT{0, 0, source.Width(), source.Height()};
  }
  const int cw = cell.right - cell.left, ch = cell.bottom - cell.top;
  // Rounded ends keep their shape; the middle stretches along the bar.
  const int corner = std::max(1, std::min(cw, ch) / 3);
  if (alpha == 255) {
    MRender::DrawImageFrame(painter, source, thumb, cell.left, cell.top, cw, ch, corner);
  } else {
    painter.PushGroup();
    MRender::DrawImageFrame(painter, source, thumb, cell.left, cell.top, cw, ch, corner);
    painter.PopGroup(alpha);
  }
  return true;
}

void MScroll::DrawControl(Painter& painter, CRect) {
  const CRect r = m_rect;
  if (r.IsRectEmpty()) return;
  if (DrawFromPicture(painter)) return;
  painter.FillRect(r, 0xFF161616);
  const bool enabled = m_enabled != 0;
  const auto arrow = [&](CRect box, Part part, bool low) {
    ARGB bg = 0xFF262626;
    if (enabled && m_pressedPart == part) {
      bg = 0xFF3C3C3C;
    } else if (enabled && m_hoverPart == part) {
      bg = 0xFF303030;
    }
    painter.FillRect(box, bg);
    const int cx = box.CenterPoint().x;
    const int cy = box.CenterPoint().y;
    const int s = std::max(2, std::min(box.Width(), box.Height()) / 4);
    POINT tri[3];
    if (m_vertical) {
      const int tip = low ? cy - s / 2 - 1 : cy + s / 2 + 1;
      const int base = low ? cy + s / 2 : cy - s / 2;
      tri[0] = POINT{cx, tip};
      tri[1] = POINT{cx - s, base};
      tri[2] = POINT{cx + s, base};
    } else {
      const int tip = low ? cx - s / 2 - 1 : cx + s / 2 + 1;
      const int base = low ? cx + s / 2 : cx - s / 2;
      tri[0] = POINT{tip, cy};
      tri[1] = POINT{base, cy - s};
      tri[2] = POINT{base, cy + s};
    }
    painter.FillPolygon(tri, 3, enabled ? 0xFFB4B4B4 : 0xFF5A5A5A);
  };
  arrow(GetLowArrowRect(), Part::LowArrow, true);
  arrow(GetHighArrowRect(), Part::HighArrow, false);
  const CRect thumb = GetThumbRect();
  if (!thumb.IsRectEmpty()) {
    ARGB colour = 0xFF5A5A5A;
    if (!enabled) {
      colour = 0xFF333333;
    } else if (m_pressedPart == Part::Thumb) {
      colour = Manager::GetSelectColor();
    } else if (m_hoverPart == Part::Thumb) {
      colour = 0xFF7A7A7A;
    }
    const float radius = (m_vertical ? thumb.Width() : thumb.Height()) / 2.0f - 1;
    painter.FillRoundRect(static_cast<float>(thumb.left) + 1, static_cast<float>(thumb.top) + 1,
                          static_cast<float>(thumb.Width()) - 2,
                          static_cast<float>(thumb.Height()) - 2, radius, radius, colour);
  }
}

}  // namespace Tavex
