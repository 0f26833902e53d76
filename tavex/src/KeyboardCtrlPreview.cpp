// KeyboardCtrl: the light preview. A frame invalidates only the outlines whose opacity it
// changes, and a repaint draws only what lies inside the area it was asked for.
#include <utility>

#include "tavex/KeyboardCtrl.h"

namespace Tavex {

namespace {
// Fills a promised opaque area that the current state no longer covers.
constexpr ARGB kBrokenPromiseFill = 0xFF000000;
}  // namespace

BYTE KeyboardCtrl::FrameAlpha(int frame, int index) const {
  if (m_frameCount <= 0 || frame < 0 || index < 0) return 255;
  const size_t at = m_keys.size() * static_cast<size_t>(frame) + static_cast<size_t>(index);
  return at < m_frames.size() ? m_frames[at] : BYTE{255};
}

CRect KeyboardCtrl::StampRect(const KEY_INFO& key) const {
  CRect r = GetWindowKeyRect(key.rect);
  r.InflateRect(kStampMargin, kStampMargin);
  return r;
}

CRect KeyboardCtrl::ChangedArea(int from, int to) const {
  CRect area;
  for (const auto& k : m_keys) {
    if (k->rect.IsRectEmpty() || FrameAlpha(from, k->index) == FrameAlpha(to, k->index)) continue;
    area.UnionRect(area, StampRect(*k));
  }
  return area;
}

void KeyboardCtrl::DrawPreview(Painter& painter, CRect paint) {
  // The preview changes with every frame, so a cached image would be built, copied once and
  // thrown away: the picture and the outlines go straight to the window instead.
  const CRect r = m_rect;
  CRect area;
  if (!area.IntersectRect(paint, r)) return;
  const Surface& layer = PictureLayer(r.Width(), r.Height());
  // Around the picture the layer is transparent: copying it would change nothing. Its opaque
  // rows replace what lies under them, which a plain copy does without blending.
  CRect picture = m_pictureLayerPlace;
  picture.OffsetRect(r.left, r.top);
  if (picture.IntersectRect(picture, area)) {
    CRect opaque = m_pictureLayerOpaque;
    opaque.OffsetRect(r.left, r.top);
    if (opaque.IntersectRect(opaque, picture)) {
      painter.CopySurface(layer, opaque, opaque.left - r.left, opaque.top - r.top);
    }
    CRect rest[4];
    for (int i = 0, n = SubtractRect(picture, opaque, rest); i < n; ++i) {
      CRect source = rest[i];
      source.OffsetRect(-r.left, -r.top);
      painter.DrawSurface(layer, rest[i], source);
    }
  }
  for (const auto& k : m_keys) {
    const BYTE alpha = FrameAlpha(m_currentFrame, k->index);
    if (alpha == 0 || k->rect.IsRectEmpty()) continue;
    const CRect stamp = StampRect(*k);
    if (!stamp.Intersects(area)) continue;
    painter.FillMask(OutlineMask(k->rect.Width(), k->rect.Height()), stamp.left, stamp.top,
                     ARGBFromCOLORREF(m_previewColour, alpha));
  }
}

CRect KeyboardCtrl::OpaqueArea() {
  std::lock_guard guard(m_dataLock);
  m_opaquePromise = CRect();
  const CRect r = m_rect;
  if (!m_visible || r.IsRectEmpty() || m_mode != kModePreview || m_picture.IsNull()) return CRect();
  PictureLayer(r.Width(), r.Height());
  CRect area = m_pictureLayerOpaque;
  area.OffsetRect(r.left, r.top);
  if (!area.IntersectRect(area, r)) return CRect();
  m_opaquePromise = area;
  return area;
}

void KeyboardCtrl::KeepOpaquePromise(Painter& painter, CRect paint) {
  CRect promised = std::exchange(m_opaquePromise, CRect());
  if (promised.IsRectEmpty()) return;
  const CRect r = m_rect;
  if (m_mode == kModePreview && !m_picture.IsNull() && !r.IsRectEmpty()) {
    PictureLayer(r.Width(), r.Height());
    CRect covered = m_pictureLayerOpaque;
    covered.OffsetRect(r.left, r.top);
    CRect inside;
    if (inside.IntersectRect(covered, promised) && inside == promised) return;  // the preview keeps it
  }
  if (promised.IntersectRect(promised, paint)) painter.FillRect(promised, kBrokenPromiseFill);
}

}  // namespace Tavex
