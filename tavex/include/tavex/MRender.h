#pragma once
// MRender: static drawing and loading helpers shared by the controls: nine-part image frames,
// rounded rectangles, alpha transitions, gradients, text placement, image loading, BMP output.
// Stateless apart from the registry of built-in resources. Any thread, each call on its own
// Painter/Surface (which belong to one thread at a time).
#include <cstdint>
#include <string>
#include <vector>

#include "tavex/Geometry.h"
#include "tavex/Painter.h"

namespace Tavex {

class TAVEX_API MRender {
 public:
  // Pure black becomes 0x000001 (same top byte) so that it never equals the colour key.
  static void CheckAlphaColor(DWORD& colour);

  // The icon for a file: the file itself when it is an image, else an image with the same
  // name stem beside it (.png, .ico, .svg, .xpm); null Image when none.
  static Image LoadIconFromFile(const CString& path);
  static Image LoadImageFromFile(const CString& path);
  // A resource registered with RegisterResource under (id, type); null when missing.
  static Image LoadImageFromIDResource(unsigned id, const CString& type, HINSTANCE module);
  // Built-in resources (the library's own images and fonts) are registered by id and type.
  static void RegisterResource(unsigned id, const CString& type, std::vector<std::uint8_t> bytes);
  static bool FindResource(unsigned id, const CString& type, std::vector<std::uint8_t>* bytes);

  static void FillSolidRect(Painter& painter, const RECT* rect, COLORREF colour);
  static void FillSolidRect(Painter& painter, int x, int y, int w, int h, COLORREF colour);
  // Nothing for values below 0x01000000 (alpha 0).
  static void DrawColor(Painter& painter, const RECT& rect, DWORD argb);

  // Copies `src` onto `dst` row by row (column by column) with a constant opacity per row:
  // from 255 × (100 − start) / 100 at the first to 255 × (100 − end) / 100 at the last
  // (percentages of transparency). Returns the last opacity used.
  static int DrawVerticalTransition(Painter& dst, const Surface& src, const CRect& dstRect,
                                    const CRect& srcRect, int start, int end);
  static int DrawHorizontalTransition(Painter& dst, const Surface& src, const CRect& dstRect,
                                      const CRect& srcRect, int start, int end);
  // Opacity of row `i` of `n` in a transition from `start` to `end` percent transparency.
  static int TransitionAlpha(int start, int end, int i, int n);
  // Radial fade of a `size` square at the bottom-right corner of `rect`: each pixel of `src`
  // is blended onto `dst` with opacity 255 − 255 / size × min(size, distance from the corner).
  static void DrawRightBottomTransition(Surface& dst, const Surface& src, const CRect& rect,
                                        int size, DWORD reserved = 0);

  // Nine-part frame: corners copied unscaled, edges stretched one way, centre both ways.
  static void DrawImageFrame(Painter& painter, const Image& image, const CRect& dst, int sx,
                             int sy, int sw, int sh, int corner);
  static void DrawImageFrameMID(Painter& painter, const Image& image, const CRect& dst, int sx,
                                int sy, int sw, int sh, int left, int top, int right, int bottom);

  // State images hold their states side by side, each the same width. StateRect is the source
  // rectangle of state `index` of `states` (clamped to the last state); DrawState draws it
  // scaled onto `dst`, DrawStateFrame as a nine-part frame with `corner`-pixel corners.
  static RECT StateRect(const Image& image, int states, int index);
  static void DrawState(Painter& painter, const Image& image, int states, int index,
                        const RECT& dst);
  static void DrawStateFrame(Painter& painter, const Image& image, int states, int index,
                             const CRect& dst, int corner);

  static Surface CreateARGB32Bitmap(int w, int h);
  static void BitBlt(Painter& dst, int x, int y, int w, int h, const Surface& src, int sx, int sy);

  static CSize GetTextBounds(const FontDesc& font, const CString& text, int layoutWidth = 0);
  // Offset of a box of textW × textH inside an area: hAlign 0/1/2 = left/centre/right,
  // vAlign 0/4/8 = top/centre/bottom.
  static CPoint GetOriginPoint(int w, int h, int textW, int textH, unsigned hAlign,
                               unsigned vAlign);
  static CPoint GetOriginPoint(CRect rect, int textW, int textH, unsigned hAlign, unsigned vAlign);
  // Text with DT_* flags; nothing for a null text.
  static void DrawTextW(Painter& painter, CRect& rect, const char* text, COLORREF colour,
                        const FontDesc& font, unsigned format);

  // Linear gradient. The mean alpha of the two colours decides: 0 draws nothing, below 255
  // the opaque gradient is composed with that opacity, 255 draws directly. `steps` is kept
  // for callers; the gradient is always smooth here.
  static void DrawGradient(Painter& painter, const RECT& rect, DWORD argbFrom, DWORD argbTo,
                           bool vertical, int steps);
  // Corner radii (w / (2 × divisor), h / (2 × divisor)); both take the smaller when they differ
  // by more than 10.
  static void RoundRectRadii(float w, float h, float divisor, float* rx, float* ry);
  static void DrawRoundRectange(Painter& painter, float x, float y, float w, float h,
                                float divisor, ARGB pen, float penWidth, bool fill,
                                ARGB fillColour);
  static void DrawRectangle(Painter& painter, const CRect& rect, int, int, int);
  // Writes the surface as a 32-bit device-independent bitmap file; false on failure.
  static bool SaveBitmapToFile(const Surface& bitmap, const CString& path);
};

}  // namespace Tavex
