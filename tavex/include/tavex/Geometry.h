#pragma once
// Value types shared by every Tavex class: text, points, sizes and rectangles in client
// coordinates, and the colour conventions (COLORREF 0x00BBGGRR, ARGB 0xAARRGGBB).
// Any thread may use them; they own nothing but their own value.
#include <algorithm>
#include <cstdint>
#include <string>

#include "tavex/Version.h"
#include "tavex/WinTypes.h"

namespace Tavex {

// Text in memory is UTF-8.
using CString = std::string;

struct CPoint {
  int x = 0;
  int y = 0;
  constexpr CPoint() = default;
  constexpr CPoint(int px, int py) : x(px), y(py) {}
  CPoint(const POINT& p) : x(static_cast<int>(p.x)), y(static_cast<int>(p.y)) {}
  operator POINT() const { POINT p{}; p.x = x; p.y = y; return p; }
  constexpr bool operator==(const CPoint&) const = default;
};

struct CSize {
  int cx = 0;
  int cy = 0;
  constexpr CSize() = default;
  constexpr CSize(int w, int h) : cx(w), cy(h) {}
  constexpr bool operator==(const CSize&) const = default;
};

struct CRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  constexpr CRect() = default;
  constexpr CRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}
  CRect(const RECT& r)
      : left(static_cast<int>(r.left)), top(static_cast<int>(r.top)),
        right(static_cast<int>(r.right)), bottom(static_cast<int>(r.bottom)) {}
  operator RECT() const {
    RECT r{};
    r.left = left; r.top = top; r.right = right; r.bottom = bottom;
    return r;
  }

  constexpr int Width() const { return right - left; }
  constexpr int Height() const { return bottom - top; }
  constexpr CSize Size() const { return {Width(), Height()}; }
  constexpr CPoint TopLeft() const { return {left, top}; }
  constexpr CPoint BottomRight() const { return {right, bottom}; }
  constexpr CPoint CenterPoint() const { return {(left + right) / 2, (top + bottom) / 2}; }
  // Empty when it has no area (also when inverted).
  constexpr bool IsRectEmpty() const { return right <= left || bottom <= top; }
  constexpr bool IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
  // Half-open like the system's: the right and bottom edges lie outside.
  constexpr bool PtInRect(CPoint p) const {
    return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
  }
  constexpr void SetRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
  constexpr void SetRectEmpty() { left = top = right = bottom = 0; }
  constexpr void OffsetRect(int dx, int dy) { left += dx; right += dx; top += dy; bottom += dy; }
  constexpr void MoveToXY(int x, int y) { OffsetRect(x - left, y - top); }
  constexpr void DeflateRect(int dx, int dy) { left += dx; right -= dx; top += dy; bottom -= dy; }
  constexpr void InflateRect(int dx, int dy) { DeflateRect(-dx, -dy); }
  // Intersection; an empty result is normalised to all zeros. Returns whether it is non-empty.
  constexpr bool IntersectRect(const CRect& a, const CRect& b) {
    CRect r(std::max(a.left, b.left), std::max(a.top, b.top),
            std::min(a.right, b.right), std::min(a.bottom, b.bottom));
    if (r.IsRectEmpty()) { SetRectEmpty(); return false; }
    *this = r;
    return true;
  }
  // Union; an empty operand does not count.
  constexpr bool UnionRect(const CRect& a, const CRect& b) {
    if (a.IsRectEmpty()) { *this = b.IsRectEmpty() ? CRect() : b; return !IsRectEmpty(); }
    if (b.IsRectEmpty()) { *this = a; return true; }
    SetRect(std::min(a.left, b.left), std::min(a.top, b.top),
            std::max(a.right, b.right), std::max(a.bottom, b.bottom));
    return true;
  }
  constexpr bool Intersects(const CRect& other) const {
    CRect r;
    return r.IntersectRect(*this, other);
  }
  constexpr bool operator==(const CRect&) const = default;
};

// Pixels a rectangle covers; 0 when empty.
constexpr long long RectArea(const CRect& r) {
  return r.IsRectEmpty() ? 0 : static_cast<long long>(r.Width()) * r.Height();
}

// The parts of `from` outside `hole`, as up to four rectangles that do not overlap: the band
// above, the band below, then the pieces left and right between them. Returns how many it wrote.
constexpr int SubtractRect(const CRect& from, const CRect& hole, CRect (&out)[4]) {
  CRect cut;
  if (!cut.IntersectRect(from, hole)) {
    if (from.IsRectEmpty()) return 0;
    out[0] = from;
    return 1;
  }
  int n = 0;
  const auto add = [&](CRect r) {
    if (!r.IsRectEmpty()) out[n++] = r;
  };
  add(CRect(from.left, from.top, from.right, cut.top));
  add(CRect(from.left, cut.bottom, from.right, from.bottom));
  add(CRect(from.left, cut.top, cut.left, cut.bottom));
  add(CRect(cut.right, cut.top, from.right, cut.bottom));
  return n;
}

// Opaque ARGB from a COLORREF: red is the lowest byte of a COLORREF.
constexpr std::uint32_t ArgbFromColorRef(std::uint32_t colorref, std::uint32_t alpha = 0xFF) {
  return (alpha << 24) | ((colorref & 0xFF) << 16) | (colorref & 0xFF00) | ((colorref >> 16) & 0xFF);
}

}  // namespace Tavex
