// KeyboardCtrl: the light preview. A frame invalidates only the outlines whose opacity it
// changes, and a repaint draws only what lies inside the area it was asked for; while nothing
// else changes in the window, the frame is written straight into the window's kept frame.
#include <algorithm>
#include <utility>

#include "tavex/KeyboardCtrl.h"
#include "tavex/PaintManager.h"

namespace Tavex {

namespace {
// Fills a promised opaque area that the current state no longer covers.
constexpr ARGB kBrokenPromiseFill = 0xFF000000;

bool Contains(const CRect& outer, const CRect& inner) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}
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
  const std::uint64_t generation = m_manager != nullptr ? m_manager->FrameGeneration() : 0;
  if (generation != 0) NoteDrawn(area, generation);
}

void KeyboardCtrl::NoteDrawn(CRect area, std::uint64_t generation) {
  if (generation != m_drawnGeneration || m_drawn.size() != m_keys.size()) {
    m_drawnGeneration = generation;
    m_drawnWhole = false;
  }
  if (!m_drawnWhole) {
    // Nothing to build on until one drawing covers the whole control.
    if (!Contains(area, m_rect)) return;
    m_drawn.assign(m_keys.size(), kDrawnUnknown);
    GatherUnderOutlines();
    m_drawnWhole = true;
  }
  for (const auto& k : m_keys) {
    if (k->rect.IsRectEmpty()) continue;
    const CRect stamp = StampRect(*k);
    if (Contains(area, stamp)) {
      m_drawn[k->index] = FrameAlpha(m_currentFrame, k->index);
    } else if (stamp.Intersects(area)) {
      m_drawn[k->index] = kDrawnUnknown;  // drawn in part
    }
  }
}

void KeyboardCtrl::GatherUnderOutlines() {
  m_underOutline.assign(m_keys.size(), {});
  std::vector<std::uint32_t> under;
  for (const auto& k : m_keys) {
    if (k->rect.IsRectEmpty()) continue;
    const CRect stamp = StampRect(*k);
    const Mask& mask = OutlineMask(k->rect.Width(), k->rect.Height());
    if (!mask.Gather(m_pictureLayer, stamp.left - m_rect.left, stamp.top - m_rect.top, under)) continue;
    // Over a pixel the picture does not cover wholly, the outline would blend with what lies
    // under the control: such a key is left to the window's composing.
    if (std::all_of(under.begin(), under.end(), [](std::uint32_t p) { return (p >> 24) == 0xFF; })) {
      m_underOutline[k->index] = under;
    }
  }
}

MControl::RetainedResult KeyboardCtrl::PaintRetained(Surface& frame, std::uint64_t generation,
                                                     CRect& written) {
  std::lock_guard guard(m_dataLock);
  const CRect r = m_rect;
  if (m_mode != kModePreview || m_picture.IsNull() || r.IsRectEmpty()) return kRetainedCannot;
  PictureLayer(r.Width(), r.Height());  // a new layer clears m_drawnWhole
  if (!m_drawnWhole || generation != m_drawnGeneration || m_drawn.size() != m_keys.size()) {
    return kRetainedNeedsWhole;
  }
  // Over pixels the picture does not cover wholly, an outline would blend with what lies under
  // the control.
  for (const auto& k : m_keys) {
    if (k->rect.IsRectEmpty() || m_drawn[k->index] == FrameAlpha(m_currentFrame, k->index)) continue;
    if (m_underOutline[k->index].empty()) return kRetainedCannot;
  }
  written = CRect();
  for (const auto& k : m_keys) {
    const BYTE alpha = FrameAlpha(m_currentFrame, k->index);
    if (k->rect.IsRectEmpty() || m_drawn[k->index] == alpha) continue;
    const CRect stamp = StampRect(*k);
    if (!StampMaskOver(frame, stamp.left, stamp.top, OutlineMask(k->rect.Width(), k->rect.Height()),
                       ARGBFromCOLORREF(m_previewColour, alpha), m_underOutline[k->index])) {
      m_drawnWhole = false;  // what was written so far is not known any more
      return kRetainedNeedsWhole;
    }
    m_drawn[k->index] = alpha;
    written.UnionRect(written, stamp);
  }
  return kRetainedPainted;
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
