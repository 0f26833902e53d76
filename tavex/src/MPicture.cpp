#include "tavex/Pictures.h"

#include <algorithm>

#include "tavex/MRender.h"

namespace Tavex {

MPicture::MPicture(MObject* parent, unsigned id, CRect rect, int visible, int enabled)
    : MControlFont(parent, id, rect, nullptr, visible, enabled) {
  m_response = 0;
}

const char* MPicture::GetClassNameW() const { return "MPicture"; }

bool MPicture::SetPicture(const char* file) {
  const Image image = LoadSkinImage(file != nullptr ? file : "");
  if (image.IsNull()) return false;
  {
    std::lock_guard guard(m_dataLock);
    m_imagePath = file;
  }
  SetPicture(image);
  return true;
}

void MPicture::SetPicture(const Image& image) {
  {
    std::lock_guard guard(m_dataLock);
    if (image.impl() == m_picture.impl()) return;
    m_picture = image;
  }
  UpdateControl(1, 0);
}

Image MPicture::GetPicture() const {
  std::lock_guard guard(m_dataLock);
  return m_picture;
}

CRect MPicture::PlaceImage(const CRect& rect, int w, int h, Fit fit) {
  if (w <= 0 || h <= 0 || rect.IsRectEmpty()) return {};
  if (fit == kFitStretch) return rect;
  int dw = w, dh = h;
  if (fit == kFitContain && (w > rect.Width() || h > rect.Height())) {
    // Scale down only, keeping the proportions.
    if (static_cast<long long>(w) * rect.Height() > static_cast<long long>(h) * rect.Width()) {
      dw = rect.Width();
      dh = std::max(1, static_cast<int>(static_cast<long long>(h) * rect.Width() / w));
    } else {
      dh = rect.Height();
      dw = std::max(1, static_cast<int>(static_cast<long long>(w) * rect.Height() / h));
    }
  }
  const int x = rect.left + (rect.Width() - dw) / 2;
  const int y = rect.top + (rect.Height() - dh) / 2;
  return CRect(x, y, x + dw, y + dh);
}

void MPicture::DrawPicture(Painter& painter, const Image& image, const CRect& rect, BYTE alpha) {
  if (image.IsNull()) return;
  const CRect dst = PlaceImage(rect, image.Width(), image.Height(), m_fit);
  painter.PushClip(rect);
  painter.DrawImage(image, dst, RECT{0, 0, image.Width(), image.Height()}, alpha);
  painter.PopClip();
}

void MPicture::DrawControl(Painter& painter, CRect) { DrawPicture(painter, m_picture, m_rect); }

}  // namespace Tavex
