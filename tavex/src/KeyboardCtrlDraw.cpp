// KeyboardCtrl: drawing. BuildShapes decides what each key looks like in the current mode;
// the cached image holds the picture and the shapes, and is rebuilt only when stale.
#include <algorithm>
#include <cmath>

#include "tavex/KeyboardCtrl.h"
#include "tavex/MRender.h"

namespace Tavex {

namespace {

constexpr ARGB kPlainFill = 0xFF007ACC;
constexpr ARGB kAssignPen = 0xFFCA5100;
constexpr ARGB kLabel = 0xFFF5F5F5;
constexpr ARGB kLabelShadow = 0xFF505050;
constexpr ARGB kSelectionPen = 0xFF4CFF29;
constexpr float kRoundDivisor = 12.0f;
constexpr float kPenWidth = 2.0f;
constexpr int kIconBand = 20;
// Room around a stamped outline for the half of the pen outside the key and antialiasing.
constexpr int kStampMargin = 2;

// A dotted outline inside `r`: dots of `width` pixels, as long as they are wide, one gap apart.
void DrawDottedRect(Painter& p, const CRect& r, ARGB colour, int width) {
  const int step = 2 * width;
  for (int x = r.left; x < r.right; x += step) {
    const int e = std::min(x + width, r.right);
    p.FillRect(CRect(x, r.top, e, r.top + width), colour);
    p.FillRect(CRect(x, r.bottom - width, e, r.bottom), colour);
  }
  for (int y = r.top; y < r.bottom; y += step) {
    const int e = std::min(y + width, r.bottom);
    p.FillRect(CRect(r.left, y, r.left + width, e), colour);
    p.FillRect(CRect(r.right - width, y, r.right, e), colour);
  }
}

}  // namespace

std::vector<KeyboardCtrl::KeyShape> KeyboardCtrl::BuildShapes() const {
  std::lock_guard guard(m_dataLock);
  std::vector<KeyShape> shapes;
  if (m_mode < kModePlain || m_mode > kModeMusic) return shapes;
  // Without the picture the outline modes show nothing but the background.
  if (m_mode != kModePlain && m_picture.IsNull()) return shapes;
  shapes.reserve(m_keys.size());
  const size_t keyCount = m_keys.size();
  for (const auto& k : m_keys) {
    KeyShape s;
    s.index = k->index;
    s.rect = GetRealRect(k->rect);
    switch (m_mode) {
      case kModePlain:
        s.rect.DeflateRect(1, 1);
        s.colour = kPlainFill;
        break;
      case kModeAssign:
        if (!k->checked && k->index != m_hover && k->index != m_select) continue;
        s.colour = kAssignPen;
        break;
      case kModePreview: {
        BYTE alpha = 255;
        const size_t at = keyCount * static_cast<size_t>(m_currentFrame) +
                          static_cast<size_t>(k->index);
        if (m_frameCount > 0 && at < m_frames.size()) alpha = m_frames[at];
        s.colour = ARGBFromCOLORREF(m_previewColour, alpha);
        break;
      }
      case kModeColours:
        s.colour = ARGBFromCOLORREF(k->colour);
        break;
      default:
        s.colour = ARGBFromCOLORREF(k->colour,
                                    static_cast<BYTE>(std::clamp(m_musicBrightness, 0, 255)));
        break;
    }
    shapes.push_back(s);
  }
  return shapes;
}

void KeyboardCtrl::DrawKeyLabel(Painter& painter, const KEY_INFO& key, CRect box,
                                const FontDesc& font) const {
  const UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
  if (!key.icon.IsNull()) {
    const int x = (box.left + box.right - key.iconWidth) / 2;
    if (key.name.empty()) {
      painter.DrawImage(key.icon, x, (box.top + box.bottom - key.iconHeight) / 2);
      return;
    }
    painter.DrawImage(key.icon, x, box.bottom - kIconBand);
    box.bottom -= kIconBand;
  }
  if (key.name.empty()) return;
  CRect shadow = box;
  shadow.OffsetRect(1, 1);
  painter.DrawText(key.name, font, shadow, kLabelShadow, format);
  painter.DrawText(key.name, font, box, kLabel, format);
}

const Surface& KeyboardCtrl::PreviewStamp(int w, int h) {
  if (m_stampColour != m_previewColour) {
    m_stamps.clear();
    m_stampColour = m_previewColour;
  }
  auto it = m_stamps.find({w, h});
  if (it != m_stamps.end()) return it->second;
  Surface stamp(w + 2 * kStampMargin, h + 2 * kStampMargin);
  {
    Painter sp(stamp);
    MRender::DrawRoundRectange(sp, static_cast<float>(kStampMargin), static_cast<float>(kStampMargin),
                               static_cast<float>(w), static_cast<float>(h), kRoundDivisor,
                               ARGBFromCOLORREF(m_previewColour), kPenWidth, false, 0);
  }
  return m_stamps.emplace(std::make_pair(w, h), std::move(stamp)).first->second;
}

void KeyboardCtrl::RenderImage(Surface& surface) {
  const std::vector<KeyShape> shapes = BuildShapes();
  Painter p(surface);
  p.Clear(0);
  if (m_mode == kModePlain) {
    FontDesc font = GetFontDesc();
    font.sizePx = std::max(1, static_cast<int>(std::lround(10.0 * m_scale)));
    for (const KeyShape& s : shapes) {
      p.FillRect(s.rect, s.colour);
      DrawKeyLabel(p, *m_keys[static_cast<size_t>(s.index)], GetRealRect(m_keys[static_cast<size_t>(s.index)]->rect), font);
    }
    return;
  }
  if (m_picture.IsNull()) return;
  const int w = m_pictureWidth > 0 ? m_pictureWidth : m_picture.Width();
  const int h = m_pictureHeight > 0 ? m_pictureHeight : m_picture.Height();
  p.DrawImage(m_picture, CRect(m_offsetX, m_offsetY, m_offsetX + w, m_offsetY + h),
              CRect(0, 0, m_picture.Width(), m_picture.Height()));
  if (m_mode == kModePreview) {
    // The preview repaints every frame: outlines are stamped, only their opacity changes.
    for (const KeyShape& s : shapes) {
      const BYTE alpha = static_cast<BYTE>(s.colour >> 24);
      if (alpha == 0 || s.rect.IsRectEmpty()) continue;
      const Surface& stamp = PreviewStamp(s.rect.Width(), s.rect.Height());
      p.DrawSurface(stamp, CRect(s.rect.left - kStampMargin, s.rect.top - kStampMargin,
                                 s.rect.right + kStampMargin, s.rect.bottom + kStampMargin),
                    CRect(0, 0, stamp.Width(), stamp.Height()), alpha);
    }
    return;
  }
  for (const KeyShape& s : shapes) {
    MRender::DrawRoundRectange(p, static_cast<float>(s.rect.left), static_cast<float>(s.rect.top),
                               static_cast<float>(s.rect.Width()),
                               static_cast<float>(s.rect.Height()), kRoundDivisor, s.colour,
                               kPenWidth, false, 0);
  }
}

void KeyboardCtrl::DrawControl(Painter& painter, CRect) {
  std::lock_guard guard(m_dataLock);
  const CRect r = m_rect;
  if (r.IsRectEmpty()) return;
  const bool stale = !m_imageValid || m_memImage.IsNull() || m_memImage.Width() != r.Width() ||
                     m_memImage.Height() != r.Height();
  if (stale) {
    RenderImage(UpdateMemDC(r.Width(), r.Height()));
    ++m_redraws;
  }
  painter.DrawSurface(m_memImage, r, CRect(0, 0, r.Width(), r.Height()));
  if (m_mode == kModeAssign && m_dragging) {
    const CRect selection(std::min(m_pressPt.x, m_currentPt.x), std::min(m_pressPt.y, m_currentPt.y),
                          std::max(m_pressPt.x, m_currentPt.x), std::max(m_pressPt.y, m_currentPt.y));
    DrawDottedRect(painter, selection, kSelectionPen, 2);
  }
}

}  // namespace Tavex
