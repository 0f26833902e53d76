// Layered windows: per-pixel alpha through a 32-bit visual under a compositor, else a window
// shaped to its opaque pixels (XShape), with the colour key cut out too.
#include <X11/extensions/shape.h>

#include <bit>
#include <vector>

#include "X11Connection.h"
#include "tavex/Native.h"

namespace Tavex::Platform {
namespace {

// Row runs of the pixels that stay visible, as shape rectangles (one per run).
std::vector<XRectangle> VisibleRuns(const std::uint8_t* pixels, int width, int height, int stride,
                                    bool useKey, std::uint32_t key, std::uint64_t* hash) {
  std::vector<XRectangle> runs;
  std::uint64_t h = 1469598103934665603ull;
  const auto mix = [&h](std::uint64_t v) { h = (h ^ v) * 1099511628211ull; };
  for (int y = 0; y < height; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(pixels + static_cast<std::size_t>(y) * stride);
    int x = 0;
    while (x < width) {
      const auto visible = [&](std::uint32_t p) {
        if ((p >> 24) == 0) return false;
        return !(useKey && (p & 0xFFFFFF) == key && (p >> 24) == 0xFF);
      };
      while (x < width && !visible(row[x])) ++x;
      if (x >= width) break;
      const int start = x;
      while (x < width && visible(row[x])) ++x;
      runs.push_back(XRectangle{static_cast<short>(start), static_cast<short>(y),
                                static_cast<unsigned short>(x - start), 1});
      mix((static_cast<std::uint64_t>(y) << 32) | (static_cast<std::uint64_t>(start) << 16) |
          static_cast<std::uint64_t>(x));
    }
  }
  mix(static_cast<std::uint64_t>(width) << 20 | static_cast<std::uint64_t>(height));
  *hash = h;
  return runs;
}

// COLORREF 0x00BBGGRR as the 0x00RRGGBB of a pixel.
std::uint32_t KeyPixel(COLORREF key) {
  return ((key & 0xFF) << 16) | (key & 0xFF00) | ((key >> 16) & 0xFF);
}

}  // namespace
}  // namespace Tavex::Platform

namespace Tavex::Native {
using namespace Tavex::Platform;

bool CompositorRunning() {
  X11Connection* c = X11Connection::Current();
  if (c == nullptr) return false;
  const std::string name = "_NET_WM_CM_S" + std::to_string(c->screen);
  const Atom selection = XInternAtom(c->dpy, name.c_str(), False);
  return XGetSelectionOwner(c->dpy, selection) != None;
}

bool UpdateLayeredWindow(HWND hwnd, const std::uint8_t* pixels, int width, int height,
                         int stride) {
  X11Connection* c = X11Connection::Current();
  auto rec = FindOwnWindow(hwnd);
  if (c == nullptr || !rec || pixels == nullptr || width <= 0 || height <= 0) return false;
  const bool useKey = rec->colorKey != 0xFFFFFFFF;
  const bool perPixel = rec->alphaVisual && CompositorRunning();
  if (perPixel && !useKey) {
    if (rec->shaped) {
      XShapeCombineMask(c->dpy, static_cast<::Window>(rec->xid), ShapeBounding, 0, 0, None, ShapeSet);
      rec->shaped = false;
      rec->shapeHash = 0;
    }
  } else {
    std::uint64_t hash = 0;
    std::vector<XRectangle> runs =
        VisibleRuns(pixels, width, height, stride, useKey, KeyPixel(rec->colorKey), &hash);
    if (!rec->shaped || hash != rec->shapeHash) {
      XShapeCombineRectangles(c->dpy, static_cast<::Window>(rec->xid), ShapeBounding, 0, 0,
                              runs.data(), static_cast<int>(runs.size()), ShapeSet, Unsorted);
      rec->shaped = true;
      rec->shapeHash = hash;
    }
  }
  return PresentFrame(hwnd, pixels, width, height, stride, RECT{0, 0, width, height}, 0, 0);
}

bool IsWindowShaped(HWND hwnd) {
  auto rec = FindOwnWindow(hwnd);
  return rec && rec->shaped;
}

}  // namespace Tavex::Native

namespace Tavex::Native {

bool GetLayeredWindowAttributes(HWND hwnd, COLORREF* key, BYTE* alpha, DWORD* flags) {
  auto rec = Platform::FindOwnWindow(hwnd);
  if (!rec) return false;
  DWORD f = 0;
  if (rec->colorKey != 0xFFFFFFFF) f |= LWA_COLORKEY;
  if (rec->constantAlpha != 255) f |= LWA_ALPHA;
  if (key != nullptr) *key = rec->colorKey;
  if (alpha != nullptr) *alpha = rec->constantAlpha;
  if (flags != nullptr) *flags = f;
  return true;
}

}  // namespace Tavex::Native
