// Update regions, painting and copying pixels to and from windows.
#include <algorithm>
#include <bit>

#include "ThreadQueue.h"
#include "X11Connection.h"
#include "tavex/Native.h"

namespace Tavex::Native {
using namespace Tavex::Platform;

namespace {
::Window XidOf(const WindowRecord& rec) { return static_cast<::Window>(rec.xid); }
}  // namespace

bool ValidateRect(HWND hwnd, const RECT* rect) {
  auto rec = FindOwnWindow(hwnd);
  if (!rec) return false;
  std::lock_guard lock(rec->dirtyMutex);
  if (!rec->hasDirty) return true;
  const RECT client{0, 0, rec->rect.right - rec->rect.left, rec->rect.bottom - rec->rect.top};
  if (rect == nullptr) {
    rec->hasDirty = false;
    return true;
  }
  // The region is a bounding box: a rectangle covering its visible part validates it.
  const RECT d{std::max(rec->dirty.left, client.left), std::max(rec->dirty.top, client.top),
               std::min(rec->dirty.right, client.right), std::min(rec->dirty.bottom, client.bottom)};
  if (rect->left <= d.left && rect->top <= d.top && rect->right >= d.right &&
      rect->bottom >= d.bottom) {
    rec->hasDirty = false;
  }
  return true;
}

bool GetUpdateRect(HWND hwnd, RECT* rect, bool) {
  auto rec = FindOwnWindow(hwnd);
  if (!rec) return false;
  std::lock_guard lock(rec->dirtyMutex);
  const RECT client{0, 0, rec->rect.right - rec->rect.left, rec->rect.bottom - rec->rect.top};
  RECT d{std::max(rec->dirty.left, client.left), std::max(rec->dirty.top, client.top),
         std::min(rec->dirty.right, client.right), std::min(rec->dirty.bottom, client.bottom)};
  const bool any = rec->hasDirty && d.right > d.left && d.bottom > d.top;
  if (!any) d = RECT{0, 0, 0, 0};
  if (rect != nullptr) *rect = d;
  return any;
}

bool UpdateWindow(HWND hwnd) {
  auto rec = FindOwnWindow(hwnd);
  if (!rec) return false;
  std::uint64_t generation = 0;
  {
    std::lock_guard lock(rec->dirtyMutex);
    if (!rec->hasDirty || !rec->visible || rec->iconic) return true;
    generation = rec->dirtyGeneration;
  }
  SendNow(hwnd, WM_PAINT, 0, 0);
  std::lock_guard lock(rec->dirtyMutex);
  if (rec->dirtyGeneration == generation) rec->hasDirty = false;
  return true;
}

bool BeginPaint(HWND hwnd, PAINTSTRUCT* ps) {
  auto rec = FindOwnWindow(hwnd);
  if (!rec || ps == nullptr) return false;
  GetUpdateRect(hwnd, &ps->rcPaint, false);
  ps->fErase = FALSE;
  std::lock_guard lock(rec->dirtyMutex);
  ps->fOwnOnly = rec->hasDirty && rec->dirtyOwnOnly ? TRUE : FALSE;
  rec->hasDirty = false;
  return true;
}

bool EndPaint(HWND hwnd, const PAINTSTRUCT*) { return FindOwnWindow(hwnd) != nullptr; }

bool PresentPixels(HWND hwnd, const std::uint8_t* pixels, int width, int height, int stride,
                   const RECT& src, int dstX, int dstY) {
  X11Connection* c = X11Connection::Current();
  auto rec = FindOwnWindow(hwnd);
  if (c == nullptr || !rec || pixels == nullptr || width <= 0 || height <= 0 ||
      stride < width * 4) {
    return false;
  }
  RECT s{std::max<LONG>(src.left, 0), std::max<LONG>(src.top, 0), std::min<LONG>(src.right, width),
         std::min<LONG>(src.bottom, height)};
  dstX += s.left - src.left;
  dstY += s.top - src.top;
  if (s.right <= s.left || s.bottom <= s.top) return true;
  Visual* visual = rec->alphaVisual ? c->argbVisual : DefaultVisual(c->dpy, c->screen);
  XImage* image = XCreateImage(c->dpy, visual, static_cast<unsigned>(rec->depth), ZPixmap, 0,
                               const_cast<char*>(reinterpret_cast<const char*>(pixels)),
                               static_cast<unsigned>(width), static_cast<unsigned>(height), 32,
                               stride);
  if (image == nullptr) return false;
  image->byte_order = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;
  XPutImage(c->dpy, XidOf(*rec), static_cast<GC>(rec->gc), image, s.left, s.top, dstX, dstY,
            static_cast<unsigned>(s.right - s.left), static_cast<unsigned>(s.bottom - s.top));
  image->data = nullptr;  // the caller owns the pixels
  XDestroyImage(image);
  return true;
}

bool ReadWindowPixels(HWND hwnd, std::uint32_t* pixels, int width, int height) {
  X11Connection* c = X11Connection::Current();
  auto rec = FindOwnWindow(hwnd);
  if (c == nullptr || !rec || pixels == nullptr || width <= 0 || height <= 0 || !rec->visible ||
      rec->iconic) {
    return false;
  }
  XImage* image = XGetImage(c->dpy, XidOf(*rec), 0, 0, static_cast<unsigned>(width),
                            static_cast<unsigned>(height), AllPlanes, ZPixmap);
  if (image == nullptr) return false;
  const bool opaque = !rec->alphaVisual;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::uint32_t p = static_cast<std::uint32_t>(XGetPixel(image, x, y));
      pixels[static_cast<std::size_t>(y) * width + x] = opaque ? (p | 0xFF000000u) : p;
    }
  }
  XDestroyImage(image);
  return true;
}

}  // namespace Tavex::Native
