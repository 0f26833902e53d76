#include "tavex/MRender.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <mutex>
#include <utility>

namespace Tavex {

namespace {
std::mutex& ResourceLock() {
  static std::mutex lock;
  return lock;
}
std::map<std::pair<unsigned, CString>, std::vector<std::uint8_t>>& Resources() {
  static std::map<std::pair<unsigned, CString>, std::vector<std::uint8_t>> resources;
  return resources;
}

RECT R(int l, int t, int r, int b) { return RECT{l, t, r, b}; }
}  // namespace

void MRender::CheckAlphaColor(DWORD& colour) {
  if ((colour & 0x00FFFFFF) == 0) colour += 1;
}

Image MRender::LoadImageFromFile(const CString& path) {
  if (path.empty()) return {};
  return Image::LoadFile(path);
}

Image MRender::LoadIconFromFile(const CString& path) {
  if (path.empty()) return {};
  Image direct = Image::LoadFile(path);
  if (!direct.IsNull()) return direct;
  std::filesystem::path p(path);
  for (const char* ext : {".png", ".ico", ".svg", ".xpm"}) {
    std::filesystem::path candidate = p;
    candidate.replace_extension(ext);
    if (candidate == p) continue;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(candidate, ec)) continue;
    Image icon = Image::LoadFile(candidate.string());
    if (!icon.IsNull()) return icon;
  }
  return {};
}

void MRender::RegisterResource(unsigned id, const CString& type, std::vector<std::uint8_t> bytes) {
  std::lock_guard guard(ResourceLock());
  Resources()[{id, type}] = std::move(bytes);
}

bool MRender::FindResource(unsigned id, const CString& type, std::vector<std::uint8_t>* bytes) {
  std::lock_guard guard(ResourceLock());
  const auto it = Resources().find({id, type});
  if (it == Resources().end()) return false;
  if (bytes != nullptr) *bytes = it->second;
  return true;
}

Image MRender::LoadImageFromIDResource(unsigned id, const CString& type, HINSTANCE) {
  std::vector<std::uint8_t> bytes;
  if (!FindResource(id, type, &bytes) || bytes.empty()) return {};
  return Image::LoadMemory(bytes.data(), bytes.size());
}

void MRender::FillSolidRect(Painter& painter, const RECT* rect, COLORREF colour) {
  if (rect == nullptr) return;
  painter.FillRect(*rect, ARGBFromCOLORREF(colour));
}

void MRender::FillSolidRect(Painter& painter, int x, int y, int w, int h, COLORREF colour) {
  const RECT r = R(x, y, x + w, y + h);
  FillSolidRect(painter, &r, colour);
}

void MRender::DrawColor(Painter& painter, const RECT& rect, DWORD argb) {
  if (argb < 0x01000000) return;
  painter.FillRect(rect, argb);
}

int MRender::TransitionAlpha(int start, int end, int i, int n) {
  const int first = 255 * (100 - start) / 100;
  const int last = 255 * (100 - end) / 100;
  if (n <= 0) return first;
  const double step = static_cast<double>(last - first) / n;
  return std::clamp(static_cast<int>(first + step * i), 0, 255);
}

int MRender::DrawVerticalTransition(Painter& dst, const Surface& src, const CRect& dstRect,
                                    const CRect& srcRect, int start, int end) {
  const int n = std::min(dstRect.Height(), srcRect.Height());
  int alpha = TransitionAlpha(start, end, 0, n);
  for (int i = 0; i < n; ++i) {
    alpha = TransitionAlpha(start, end, i, n);
    dst.DrawSurface(src, R(dstRect.left, dstRect.top + i, dstRect.right, dstRect.top + i + 1),
                    R(srcRect.left, srcRect.top + i, srcRect.right, srcRect.top + i + 1),
                    static_cast<BYTE>(alpha));
  }
  return alpha;
}

int MRender::DrawHorizontalTransition(Painter& dst, const Surface& src, const CRect& dstRect,
                                      const CRect& srcRect, int start, int end) {
  const int n = std::min(dstRect.Width(), srcRect.Width());
  int alpha = TransitionAlpha(start, end, 0, n);
  for (int i = 0; i < n; ++i) {
    alpha = TransitionAlpha(start, end, i, n);
    dst.DrawSurface(src, R(dstRect.left + i, dstRect.top, dstRect.left + i + 1, dstRect.bottom),
                    R(srcRect.left + i, srcRect.top, srcRect.left + i + 1, srcRect.bottom),
                    static_cast<BYTE>(alpha));
  }
  return alpha;
}

void MRender::DrawRightBottomTransition(Surface& dst, const Surface& src, const CRect& rect,
                                        int size, DWORD) {
  if (size <= 0 || dst.IsNull() || src.IsNull()) return;
  const int cx = rect.right;
  const int cy = rect.bottom;
  std::uint8_t* out = dst.Data();
  const std::uint8_t* in = src.Data();
  for (int y = std::max(0, cy - size); y < std::min({cy, dst.Height(), src.Height()}); ++y) {
    auto* drow = reinterpret_cast<std::uint32_t*>(out + static_cast<std::ptrdiff_t>(y) * dst.Stride());
    const auto* srow =
        reinterpret_cast<const std::uint32_t*>(in + static_cast<std::ptrdiff_t>(y) * src.Stride());
    for (int x = std::max(0, cx - size); x < std::min({cx, dst.Width(), src.Width()}); ++x) {
      const double dist = std::hypot(cx - 1 - x, cy - 1 - y);
      const int alpha = 255 - static_cast<int>(255.0 / size * std::min<double>(size, dist));
      if (alpha <= 0) continue;
      // Premultiplied source-over with a constant opacity.
      const std::uint32_t s = srow[x];
      const std::uint32_t d = drow[x];
      std::uint32_t result = 0;
      const unsigned sa = ((s >> 24) & 0xFF) * alpha / 255;
      for (int shift = 0; shift < 32; shift += 8) {
        const unsigned sc = ((s >> shift) & 0xFF) * alpha / 255;
        const unsigned dc = (d >> shift) & 0xFF;
        const unsigned c = std::min(255u, sc + dc * (255 - sa) / 255);
        result |= c << shift;
      }
      drow[x] = result;
    }
  }
}

void MRender::DrawImageFrame(Painter& painter, const Image& image, const CRect& dst, int sx,
                             int sy, int sw, int sh, int corner) {
  DrawImageFrameMID(painter, image, dst, sx, sy, sw, sh, corner, corner, corner, corner);
}

void MRender::DrawImageFrameMID(Painter& painter, const Image& image, const CRect& dst, int sx,
                                int sy, int sw, int sh, int l, int t, int r, int b) {
  if (image.IsNull() || dst.IsRectEmpty()) return;
  const int dl = dst.left, dt = dst.top, dr = dst.right, db = dst.bottom;
  const int sr = sx + sw, sb = sy + sh;
  const auto part = [&](int x0, int y0, int x1, int y1, int u0, int v0, int u1, int v1) {
    if (x1 <= x0 || y1 <= y0 || u1 <= u0 || v1 <= v0) return;
    painter.DrawImage(image, R(x0, y0, x1, y1), R(u0, v0, u1, v1));
  };
  part(dl, dt, dl + l, dt + t, sx, sy, sx + l, sy + t);                      // top-left
  part(dl, dt + t, dl + l, db - b, sx, sy + t, sx + l, sb - b);              // left
  part(dl, db - b, dl + l, db, sx, sb - b, sx + l, sb);                      // bottom-left
  part(dl + l, dt, dr - r, dt + t, sx + l, sy, sr - r, sy + t);              // top
  part(dr - r, dt, dr, dt + t, sr - r, sy, sr, sy + t);                      // top-right
  part(dr - r, dt + t, dr, db - b, sr - r, sy + t, sr, sb - b);              // right
  part(dr - r, db - b, dr, db, sr - r, sb - b, sr, sb);                      // bottom-right
  part(dl + l, db - b, dr - r, db, sx + l, sb - b, sr - r, sb);              // bottom
  part(dl + l, dt + t, dr - r, db - b, sx + l, sy + t, sr - r, sb - b);      // centre
}

RECT MRender::StateRect(const Image& image, int states, int index) {
  const int n = std::max(1, states);
  const int w = image.Width() / n;
  const int i = std::clamp(index, 0, n - 1);
  return RECT{i * w, 0, (i + 1) * w, image.Height()};
}

void MRender::DrawState(Painter& painter, const Image& image, int states, int index,
                        const RECT& dst) {
  if (image.IsNull()) return;
  painter.DrawImage(image, dst, StateRect(image, states, index));
}

void MRender::DrawStateFrame(Painter& painter, const Image& image, int states, int index,
                             const CRect& dst, int corner) {
  if (image.IsNull()) return;
  const RECT s = StateRect(image, states, index);
  DrawImageFrame(painter, image, dst, s.left, s.top, s.right - s.left, s.bottom - s.top, corner);
}

Surface MRender::CreateARGB32Bitmap(int w, int h) {
  if (w <= 0 || h <= 0) return {};
  return Surface(w, h);
}

void MRender::BitBlt(Painter& dst, int x, int y, int w, int h, const Surface& src, int sx, int sy) {
  dst.DrawSurface(src, R(x, y, x + w, y + h), R(sx, sy, sx + w, sy + h));
}

CSize MRender::GetTextBounds(const FontDesc& font, const CString& text, int layoutWidth) {
  const SIZE s = MeasureText(text, font, layoutWidth,
                             layoutWidth > 0 ? static_cast<UINT>(DT_WORDBREAK) : DT_SINGLELINE);
  return {static_cast<int>(s.cx), static_cast<int>(s.cy)};
}

CPoint MRender::GetOriginPoint(int w, int h, int textW, int textH, unsigned hAlign,
                               unsigned vAlign) {
  CPoint p;
  if (hAlign == 1) p.x = (w - textW) / 2;
  if (hAlign == 2) p.x = w - textW;
  if (vAlign == 4) p.y = (h - textH) / 2;
  if (vAlign == 8) p.y = h - textH;
  return p;
}

CPoint MRender::GetOriginPoint(CRect rect, int textW, int textH, unsigned hAlign, unsigned vAlign) {
  CPoint p = GetOriginPoint(rect.Width(), rect.Height(), textW, textH, hAlign, vAlign);
  p.x += rect.left;
  p.y += rect.top;
  return p;
}

void MRender::DrawTextW(Painter& painter, CRect& rect, const char* text, COLORREF colour,
                        const FontDesc& font, unsigned format) {
  if (text == nullptr) return;
  const RECT used = painter.DrawText(text, font, rect, ARGBFromCOLORREF(colour), format);
  if (format & DT_CALCRECT) rect = used;
}

void MRender::DrawGradient(Painter& painter, const RECT& rect, DWORD argbFrom, DWORD argbTo,
                           bool vertical, int) {
  const int mean = (static_cast<int>(argbFrom >> 24) + static_cast<int>(argbTo >> 24)) / 2;
  if (mean == 0) return;
  const ARGB from = argbFrom | 0xFF000000u;
  const ARGB to = argbTo | 0xFF000000u;
  if (mean < 255) {
    painter.PushGroup();
    painter.FillGradient(rect, from, to, vertical);
    painter.PopGroup(static_cast<BYTE>(mean));
  } else {
    painter.FillGradient(rect, from, to, vertical);
  }
}

void MRender::RoundRectRadii(float w, float h, float divisor, float* rx, float* ry) {
  float x = divisor != 0 ? w / (2 * divisor) : 0;
  float y = divisor != 0 ? h / (2 * divisor) : 0;
  if (std::fabs(x - y) > 10) x = y = std::min(x, y);
  if (rx != nullptr) *rx = x;
  if (ry != nullptr) *ry = y;
}

void MRender::DrawRoundRectange(Painter& painter, float x, float y, float w, float h,
                                float divisor, ARGB pen, float penWidth, bool fill,
                                ARGB fillColour) {
  float rx = 0;
  float ry = 0;
  RoundRectRadii(w, h, divisor, &rx, &ry);
  if (fill) painter.FillRoundRect(x, y, w, h, rx, ry, fillColour);
  painter.DrawRoundRect(x, y, w, h, rx, ry, pen, penWidth);
}

void MRender::DrawRectangle(Painter&, const CRect&, int, int, int) {}

bool MRender::SaveBitmapToFile(const Surface& bitmap, const CString& path) {
  if (bitmap.IsNull() || path.empty()) return false;
  return bitmap.SaveBMP(path);
}

}  // namespace Tavex
