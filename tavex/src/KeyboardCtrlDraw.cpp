// KeyboardCtrl: drawing. BuildShapes decides what each key looks like in the current mode;
// the cached image holds the picture and the shapes, and is rebuilt only when stale.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>

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

// Copies a layer into a surface of the same size, alpha included.
void CopyAll(const Surface& from, Surface& to) {
  const std::uint8_t* src = from.Data();
  std::uint8_t* dst = to.Data();
  const auto rowBytes = static_cast<std::size_t>(std::min(from.Stride(), to.Stride()));
  for (int y = 0; y < std::min(from.Height(), to.Height()); ++y) {
    std::memcpy(dst + static_cast<std::ptrdiff_t>(y) * to.Stride(),
                src + static_cast<std::ptrdiff_t>(y) * from.Stride(), rowBytes);
  }
}

constexpr std::uint32_t kOpaqueAlpha = 0xFF;

// The longest run of rows of `place` (clipped to the layer) whose every pixel is opaque.
CRect OpaqueRows(const Surface& layer, CRect place) {
  if (!place.IntersectRect(place, CRect(0, 0, layer.Width(), layer.Height()))) return CRect();
  CRect best;
  int runTop = -1;
  for (int y = place.top; y <= place.bottom; ++y) {
    bool opaque = false;
    if (y < place.bottom) {
      const auto* row = reinterpret_cast<const std::uint32_t*>(
          layer.Data() + static_cast<std::ptrdiff_t>(y) * layer.Stride());
      opaque = std::all_of(row + place.left, row + place.right,
                           [](std::uint32_t pixel) { return (pixel >> 24) == kOpaqueAlpha; });
    }
    if (opaque) {
      if (runTop < 0) runTop = y;
      continue;
    }
    if (runTop >= 0 && y - runTop > best.Height()) best = CRect(place.left, runTop, place.right, y);
    runTop = -1;
  }
  return best;
}

}  // namespace

std::vector<KeyboardCtrl::KeyShape> KeyboardCtrl::BuildShapes() const {
  std::lock_guard guard(m_dataLock);
  std::vector<KeyShape> shapes;
  if (m_mode < kModePlain || m_mode > kModeMusic) return shapes;
  // Without the picture the outline modes show nothing but the background.
  if (m_mode != kModePlain && m_picture.IsNull()) return shapes;
  shapes.reserve(m_keys.size());
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
      case kModePreview:
        s.colour = ARGBFromCOLORREF(m_previewColour, FrameAlpha(m_currentFrame, k->index));
        break;
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

const Mask& KeyboardCtrl::OutlineMask(int w, int h) {
  auto it = m_masks.find({w, h});
  if (it != m_masks.end()) return it->second;
  Surface shape(w + 2 * kStampMargin, h + 2 * kStampMargin);
  {
    Painter mp(shape);
    MRender::DrawRoundRectange(mp, static_cast<float>(kStampMargin), static_cast<float>(kStampMargin),
                               static_cast<float>(w), static_cast<float>(h), kRoundDivisor,
                               0xFFFFFFFF, kPenWidth, false, 0);
  }
  return m_masks.emplace(std::make_pair(w, h), Mask::FromAlpha(shape)).first->second;
}

std::size_t KeyboardCtrl::PlainSignature(const FontDesc& font, int width, int height) const {
  std::size_t h = 0;
  const auto mix = [&h](std::size_t v) { h ^= v + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2); };
  const std::hash<std::string> text;
  const std::hash<long long> number;
  mix(text(font.family));
  for (long long v : {static_cast<long long>(font.sizePx), static_cast<long long>(font.bold),
                      static_cast<long long>(font.italic), static_cast<long long>(font.underline),
                      static_cast<long long>(width), static_cast<long long>(height),
                      static_cast<long long>(m_offsetX), static_cast<long long>(m_offsetY),
                      static_cast<long long>(m_keys.size())}) {
    mix(number(v));
  }
  for (const auto& k : m_keys) {
    mix(text(k->name));
    for (long long v : {static_cast<long long>(k->rect.left), static_cast<long long>(k->rect.top),
                        static_cast<long long>(k->rect.right), static_cast<long long>(k->rect.bottom),
                        reinterpret_cast<long long>(k->icon.impl()),
                        static_cast<long long>(k->iconWidth), static_cast<long long>(k->iconHeight)}) {
      mix(number(v));
    }
  }
  return h;
}

const Surface& KeyboardCtrl::PlainLayer(int width, int height) {
  // Laying out 87 labels twice (shadow and label) is most of a plain redraw; the layer only
  // changes with the texts and the geometry, so it is kept across redraws.
  FontDesc font = GetFontDesc();
  font.sizePx = std::max(1, static_cast<int>(std::lround(10.0 * m_scale)));
  const std::size_t signature = PlainSignature(font, width, height);
  if (!m_plainLayer.IsNull() && m_plainLayer.Width() == width && m_plainLayer.Height() == height &&
      signature == m_plainSignature) {
    return m_plainLayer;
  }
  if (m_plainLayer.IsNull() || m_plainLayer.Width() != width || m_plainLayer.Height() != height) {
    m_plainLayer = Surface(width, height);
  }
  Painter p(m_plainLayer);
  p.Clear(0);
  for (const auto& k : m_keys) {
    const CRect box = GetRealRect(k->rect);
    CRect fill = box;
    fill.DeflateRect(1, 1);
    p.FillRect(fill, kPlainFill);
    DrawKeyLabel(p, *k, box, font);
  }
  m_plainSignature = signature;
  ++m_plainBuilds;
  return m_plainLayer;
}

const Surface& KeyboardCtrl::PictureLayer(int width, int height) {
  const int w = m_pictureWidth > 0 ? m_pictureWidth : m_picture.Width();
  const int h = m_pictureHeight > 0 ? m_pictureHeight : m_picture.Height();
  const CRect place(m_offsetX, m_offsetY, m_offsetX + w, m_offsetY + h);
  if (!m_pictureLayer.IsNull() && m_pictureLayer.Width() == width &&
      m_pictureLayer.Height() == height && m_pictureLayerImage.impl() == m_picture.impl() &&
      m_pictureLayerPlace == place) {
    return m_pictureLayer;
  }
  m_drawnWhole = false;  // the preview in the window's frame was drawn over another layer
  if (m_pictureLayer.IsNull() || m_pictureLayer.Width() != width || m_pictureLayer.Height() != height) {
    m_pictureLayer = Surface(width, height);
  }
  {
    Painter p(m_pictureLayer);
    p.Clear(0);
    p.DrawImage(m_picture, place, CRect(0, 0, m_picture.Width(), m_picture.Height()));
  }
  m_pictureLayerImage = m_picture;
  m_pictureLayerPlace = place;
  m_pictureLayerOpaque = OpaqueRows(m_pictureLayer, place);
  return m_pictureLayer;
}

void KeyboardCtrl::RenderImage(Surface& surface) {
  const int width = surface.Width();
  const int height = surface.Height();
  if (m_mode == kModePlain) {
    CopyAll(PlainLayer(width, height), surface);
    return;
  }
  // Unknown modes and the outline modes without a picture show only the background.
  if (m_picture.IsNull() || m_mode < kModeAssign || m_mode > kModeMusic) {
    Painter(surface).Clear(0);
    return;
  }
  CopyAll(PictureLayer(width, height), surface);
  const std::vector<KeyShape> shapes = BuildShapes();
  Painter p(surface);
  if (m_mode == kModeAssign) {
    // A handful of outlines: traced directly.
    for (const KeyShape& s : shapes) {
      MRender::DrawRoundRectange(p, static_cast<float>(s.rect.left), static_cast<float>(s.rect.top),
                                 static_cast<float>(s.rect.Width()),
                                 static_cast<float>(s.rect.Height()), kRoundDivisor, s.colour,
                                 kPenWidth, false, 0);
    }
    return;
  }
  StampOutlines(p, shapes, 0, 0);
}

void KeyboardCtrl::StampOutlines(Painter& painter, const std::vector<KeyShape>& shapes, int dx, int dy) {
  // Every key is outlined: the outline of each key size is traced once and then stamped in
  // the key's colour and opacity.
  for (const KeyShape& s : shapes) {
    if ((s.colour >> 24) == 0 || s.rect.IsRectEmpty()) continue;
    const Mask& mask = OutlineMask(s.rect.Width(), s.rect.Height());
    painter.FillMask(mask, dx + s.rect.left - kStampMargin, dy + s.rect.top - kStampMargin, s.colour);
  }
}

void KeyboardCtrl::DrawControl(Painter& painter, CRect paint) {
  std::lock_guard guard(m_dataLock);
  KeepOpaquePromise(painter, paint);
  const CRect r = m_rect;
  if (r.IsRectEmpty()) return;
  if (m_mode == kModePreview && !m_picture.IsNull()) {
    DrawPreview(painter, paint);
    ++m_redraws;
    return;
  }
  m_drawnWhole = false;  // the window's frame shows something else now
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
