// KeyboardCtrl: the light preview. A frame invalidates only the outlines whose opacity it
// changes, and a repaint draws only what lies inside the area it was asked for.
#include "tavex/KeyboardCtrl.h"

namespace Tavex {

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
  // Around the picture the layer is transparent: copying it would change nothing.
  CRect picture = m_pictureLayerPlace;
  picture.OffsetRect(r.left, r.top);
  if (picture.IntersectRect(picture, area)) {
    CRect source = picture;
    source.OffsetRect(-r.left, -r.top);
    painter.DrawSurface(layer, picture, source);
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

}  // namespace Tavex
