#pragma once
// Drawing for the library: images, off-screen surfaces ("memory DCs") and the painter that draws
// on them (fills, rounded rectangles, lines, gradients, images, text, clipping, alpha), over
// cairo, pango and gdk-pixbuf, none of which appears here.
//
// Colours are ARGB 0xAARRGGBB (non-premultiplied) everywhere in this interface; use
// ARGBFromCOLORREF for 0x00BBGGRR values. Coordinates are pixels; integer rectangles are
// half-open, so FillRect({0, 0, 10, 10}) covers exactly 100 pixels.
//
// Threads: Image is immutable and may be shared between threads. A Surface and its Painter
// belong to one thread at a time. Text and fonts work on any thread; windows are presented
// only from the UI thread (Surface::Present).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tavex/WinTypes.h"

namespace Tavex {

// A font request; sizes are pixels (the em height), not points.
struct FontDesc {
  std::string family = "Open Sans Semibold";
  int sizePx = 18;
  bool bold = false;
  bool italic = false;
  bool underline = false;
};

// An immutable picture (premultiplied ARGB32 inside). Copies share the pixels. A default
// Image is null; loaders return a null Image on failure, never throw.
class TAVEX_API Image {
 public:
  Image();
  ~Image();
  Image(const Image&);
  Image& operator=(const Image&);
  Image(Image&&) noexcept;
  Image& operator=(Image&&) noexcept;

  // PNG, GIF (first frame), ICO (largest entry), BMP, JPEG: whatever gdk-pixbuf reads.
  static Image LoadFile(const std::string& path);
  static Image LoadMemory(const void* data, std::size_t size);
  // From unpremultiplied 0xAARRGGBB pixels, row-major.
  static Image FromARGB(int width, int height, const std::uint32_t* argb);

  bool IsNull() const;
  int Width() const;   // 0 when null
  int Height() const;  // 0 when null
  // Unpremultiplied pixel; 0 outside or when null.
  ARGB Pixel(int x, int y) const;
  // All pixels unpremultiplied, row-major (window icons).
  std::vector<std::uint32_t> ToARGB() const;
  // Whether any pixel is not fully opaque (false when null).
  bool HasTransparency() const;
  // The picture's own premultiplied ARGB32 rows, `Stride()` bytes apart, shared by every copy
  // and never written; null (and 0) when null.
  const std::uint8_t* Data() const;
  int Stride() const;

  struct Impl;
  const Impl* impl() const { return impl_.get(); }

 private:
  explicit Image(std::shared_ptr<const Impl> impl);
  std::shared_ptr<const Impl> impl_;
  friend class Surface;
  friend struct ImageAccess;
};

// One frame of an animation with the time it stays (ms; GIF delays below 20 ms count as 100).
struct AnimationFrame {
  Image image;
  int delayMs = 100;
};
// Every frame of an animated GIF, each composed to the full canvas; one frame for still images;
// empty when the file cannot be read.
TAVEX_API std::vector<AnimationFrame> LoadAnimationFrames(const std::string& path);

// A memory device context: an owned off-screen ARGB32 pixel buffer, transparent when created.
// Move-only.
class TAVEX_API Surface {
 public:
  Surface();  // null
  Surface(int width, int height);
  // A surface over pixels it does not own: premultiplied ARGB32 rows `stride` bytes apart
  // (a multiple of 4, at least width * 4). The pixels must outlive the surface; null when the
  // arguments do not describe such a buffer.
  static Surface Borrow(std::uint8_t* pixels, int width, int height, int stride);
  ~Surface();
  Surface(Surface&&) noexcept;
  Surface& operator=(Surface&&) noexcept;
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  bool IsNull() const;
  int Width() const;
  int Height() const;
  // Premultiplied ARGB32 rows (native-endian 32-bit words), `Stride()` bytes apart. Writing
  // through Data() is allowed while no Painter is drawing.
  int Stride() const;
  std::uint8_t* Data();
  const std::uint8_t* Data() const;
  // Unpremultiplied pixel; 0 outside.
  ARGB Pixel(int x, int y) const;
  // Copy of the whole surface (or of `rect`) as an image.
  Image ToImage() const;
  Image ToImage(const RECT& rect) const;
  // [UI thread] Copies `src` of the surface to the window's client point (dstX, dstY).
  bool Present(HWND hwnd, const RECT& src, int dstX, int dstY) const;
  // Writes a 32-bit BMP (BITMAPV5HEADER with alpha mask, bottom-up rows) or a PNG.
  bool SaveBMP(const std::string& path) const;
  bool SavePNG(const std::string& path) const;

  struct Impl;
  Impl* impl() const { return impl_.get(); }

 private:
  std::unique_ptr<Impl> impl_;
};

// Coverage alone, one byte a pixel, taken once from the alpha of a surface: a shape drawn once
// and stamped many times in any colour (Painter::FillMask) costs far less to stamp as a mask
// than as a full-colour surface. Immutable once made; move-only; any thread.
class TAVEX_API Mask {
 public:
  Mask();  // null
  ~Mask();
  Mask(Mask&&) noexcept;
  Mask& operator=(Mask&&) noexcept;
  Mask(const Mask&) = delete;
  Mask& operator=(const Mask&) = delete;

  // The alpha channel of `surface`; null when the surface is null.
  static Mask FromAlpha(const Surface& surface);
  bool IsNull() const;
  int Width() const;   // 0 when null
  int Height() const;  // 0 when null
  // Coverage at (x, y); 0 outside.
  BYTE Coverage(int x, int y) const;
  // The runs of non-zero coverage, top row first, left to right (none when null).
  struct Run {
    int y;
    int left;
    int right;  // exclusive
  };
  const std::vector<Run>& Runs() const;
  // The pixels of `surface` under the covered pixels with the mask's top-left corner at (x, y),
  // in the order of Runs(); false (and `out` empty) when one lies outside the surface.
  bool Gather(const Surface& surface, int x, int y, std::vector<std::uint32_t>& out) const;

  struct Impl;
  const Impl* impl() const { return impl_.get(); }

 private:
  std::unique_ptr<Impl> impl_;
};

// Writes into `target` what Painter::FillMask(mask, x, y, colour) gives over the pixels
// `under` (as Mask::Gather gives them), but only at the mask's covered pixels, (x, y) being
// the mask's top-left corner. Each pixel is computed as the compositor does it, so the result
// is the same to the bit. Returns false, writing nothing, when a covered pixel lies outside
// `target` or `under` does not match the mask. No Painter may be drawing on `target` meanwhile.
TAVEX_API bool StampMaskOver(Surface& target, int x, int y, const Mask& mask, ARGB colour,
                             const std::vector<std::uint32_t>& under);

// Draws on a Surface, which must outlive it. Drawing is source-over unless stated; results are
// in the surface when the painter is destroyed or Flush() is called. Move-only.
class TAVEX_API Painter {
 public:
  explicit Painter(Surface& target);
  ~Painter();
  Painter(Painter&&) noexcept;
  Painter& operator=(Painter&&) noexcept;
  Painter(const Painter&) = delete;
  Painter& operator=(const Painter&) = delete;

  bool IsValid() const;
  void Flush();

  // State: Save/Restore pair up clip, translation and antialiasing. PushClip saves and
  // intersects the clip with the rectangle; PopClip restores. Unbalanced pops are ignored.
  void Save();
  void Restore();
  void PushClip(const RECT& rect);
  void PushClipRoundRect(const RECT& rect, float radiusX, float radiusY);
  void PopClip();
  void Translate(int dx, int dy);
  void SetAntialias(bool on);  // on by default (shapes and text)

  // Replaces every pixel in the clip (or in rect) by `colour`, alpha included.
  void Clear(ARGB colour = 0);
  void ClearRect(const RECT& rect, ARGB colour = 0);
  void FillRect(const RECT& rect, ARGB colour);
  // Outline inside the rectangle, `width` pixels thick.
  void DrawRect(const RECT& rect, ARGB colour, int width = 1);
  void DrawLine(float x1, float y1, float x2, float y2, ARGB colour, float width = 1.0f);
  // Rounded rectangle with elliptic corners of radii rx, ry (clamped to half the size).
  void FillRoundRect(float x, float y, float w, float h, float rx, float ry, ARGB colour);
  void DrawRoundRect(float x, float y, float w, float h, float rx, float ry, ARGB colour,
                     float penWidth = 1.0f);
  void FillEllipse(float x, float y, float w, float h, ARGB colour);
  void DrawEllipse(float x, float y, float w, float h, ARGB colour, float penWidth = 1.0f);
  void FillPolygon(const POINT* points, int count, ARGB colour);
  // Linear gradient from `from` (top or left edge) to `to` (bottom or right edge).
  void FillGradient(const RECT& rect, ARGB from, ARGB to, bool vertical);

  // Images: the source rectangle `src` of the image is scaled onto `dst`, with a constant
  // opacity `alpha` (255 = as is). `smooth` false gives nearest-neighbour scaling.
  void DrawImage(const Image& image, int x, int y, BYTE alpha = 255);
  void DrawImage(const Image& image, const RECT& dst, const RECT& src, BYTE alpha = 255,
                 bool smooth = true);
  void DrawSurface(const Surface& surface, const RECT& dst, const RECT& src, BYTE alpha = 255);
  // Replaces the pixels of `dst` (within the clip) by those of the surface from (srcX, srcY)
  // on, alpha included, unscaled: a plain copy where drawing over would give the same (the
  // source is opaque there), without blending. Pixels the surface does not reach turn clear.
  void CopySurface(const Surface& surface, const RECT& dst, int srcX, int srcY);
  // Paints `colour` through the coverage of `mask`, its top-left corner at (x, y): a shape
  // drawn once into a mask can be stamped in any colour without tracing it again.
  void FillMask(const Mask& mask, int x, int y, ARGB colour);

  // Text. `format` takes DT_LEFT/DT_CENTER/DT_RIGHT, DT_TOP/DT_VCENTER/DT_BOTTOM,
  // DT_SINGLELINE (else lines break at '\n' and, with DT_WORDBREAK, at the rectangle's width),
  // DT_END_ELLIPSIS / DT_WORD_ELLIPSIS / DT_PATH_ELLIPSIS (shorten to fit with "..."),
  // DT_NOCLIP (else text is clipped to the rectangle) and DT_CALCRECT (measure, draw nothing).
  // Returns the rectangle the text occupies.
  RECT DrawText(const std::string& text, const FontDesc& font, const RECT& rect, ARGB colour,
                UINT format);

  // Groups: everything drawn between PushGroup and PopGroup is composed with opacity `alpha`.
  void PushGroup();
  void PopGroup(BYTE alpha);

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

// [UI thread] What the window shows now (its client area, read back from the X server);
// a null image when the window is stale, unmapped or covered by nothing readable.
TAVEX_API Image CaptureWindow(HWND hwnd);

// Size of text laid out as DrawText would (maxWidth <= 0: no wrapping). Any thread.
TAVEX_API SIZE MeasureText(const std::string& text, const FontDesc& font, int maxWidth = 0,
                           UINT format = DT_SINGLELINE);

// Makes a font file available to this process's text (private, not installed). Returns the
// family names it provides (empty on failure). Any thread; affects text laid out afterwards.
TAVEX_API std::vector<std::string> AddFontFile(const std::string& path);
// Whether a family of that exact name (case-insensitive) is available.
TAVEX_API bool HasFontFamily(const std::string& family);

// Writes premultiplied ARGB32 pixels as a 32-bit BMP file (bottom-up rows).
TAVEX_API bool WriteBMP(const std::string& path, int width, int height,
                        const std::uint8_t* pixels, int stride);

}  // namespace Tavex
