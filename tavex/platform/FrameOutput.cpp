// Frame output through MIT shared memory: frames are composed straight into (or copied into) a
// shared image of the window's size and the X server reads it from there, instead of every
// pixel travelling through the socket. Falls back to PresentPixels when the extension or the segment is not
// available (remote displays) or TAVEX_NO_SHM is set.
#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/mman.h>
#include <sys/shm.h>

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>

#include "X11Connection.h"
#include "tavex/Native.h"

namespace Tavex::Platform {
namespace {

// One shared image per window, the size of its client area (UI thread only).
struct ShmImage {
  XShmSegmentInfo info{};
  XImage* image = nullptr;
  Display* dpy = nullptr;
  ShmImage() { info.shmid = -1; }
  ~ShmImage() {
    if (image != nullptr) {
      XShmDetach(dpy, &info);
      XSync(dpy, False);
      image->data = nullptr;
      XDestroyImage(image);
    }
    if (info.shmaddr != nullptr && info.shmaddr != reinterpret_cast<char*>(-1)) shmdt(info.shmaddr);
  }
  ShmImage(const ShmImage&) = delete;
  ShmImage& operator=(const ShmImage&) = delete;
};

std::map<HWND, std::unique_ptr<ShmImage>>& Images() {
  static std::map<HWND, std::unique_ptr<ShmImage>> images;
  return images;
}

bool g_attachFailed = false;
int RecordAttachError(Display*, XErrorEvent*) {
  g_attachFailed = true;
  return 0;
}

bool ShmUsable(X11Connection& c) {
  static int usable = -1;
  if (usable < 0) {
    const char* off = std::getenv("TAVEX_NO_SHM");
    usable = (off == nullptr || *off == '\0') && XShmQueryExtension(c.dpy) ? 1 : 0;
  }
  return usable == 1;
}

std::unique_ptr<ShmImage> MakeImage(X11Connection& c, const WindowRecord& rec, int w, int h) {
  auto shm = std::make_unique<ShmImage>();
  shm->dpy = c.dpy;
  Visual* visual = rec.alphaVisual ? c.argbVisual : DefaultVisual(c.dpy, c.screen);
  shm->image = XShmCreateImage(c.dpy, visual, static_cast<unsigned>(rec.depth), ZPixmap, nullptr,
                               &shm->info, static_cast<unsigned>(w), static_cast<unsigned>(h));
  if (shm->image == nullptr || shm->image->bits_per_pixel != 32) return nullptr;
  const std::size_t bytes = static_cast<std::size_t>(shm->image->bytes_per_line) * h;
  shm->info.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
  if (shm->info.shmid < 0) return nullptr;
  shm->info.shmaddr = static_cast<char*>(shmat(shm->info.shmid, nullptr, 0));
  // Marked for removal at once: it goes when both sides have detached, also after a crash.
  shmctl(shm->info.shmid, IPC_RMID, nullptr);
  if (shm->info.shmaddr == reinterpret_cast<char*>(-1)) {
    shm->info.shmaddr = nullptr;
    return nullptr;
  }
  shm->image->data = shm->info.shmaddr;
  shm->info.readOnly = True;
  XSync(c.dpy, False);
  g_attachFailed = false;
  auto* previous = XSetErrorHandler(RecordAttachError);
  const bool attached = XShmAttach(c.dpy, &shm->info) != 0;
  XSync(c.dpy, False);
  XSetErrorHandler(previous);
  if (!attached || g_attachFailed) {
    shm->image->data = nullptr;
    XDestroyImage(shm->image);
    shm->image = nullptr;
    return nullptr;
  }
  return shm;
}

// The window's shared image of the given size, made when missing or of another size; null
// when shared memory cannot serve this window.
ShmImage* ImageFor(X11Connection& c, HWND hwnd, const WindowRecord& rec, int width, int height) {
  auto& images = Images();
  std::erase_if(images, [](const auto& entry) { return !Native::IsWindow(entry.first); });
  if (!ShmUsable(c)) return nullptr;
  auto& shm = images[hwnd];
  if (!shm || shm->image->width != width || shm->image->height != height) {
    shm.reset();
    shm = MakeImage(c, rec, width, height);
    if (!shm) {
      images.erase(hwnd);
      return nullptr;
    }
  }
  return shm.get();
}

void PutImage(X11Connection& c, const WindowRecord& rec, XImage* image, const RECT& s, int dstX,
              int dstY, bool wait = true) {
  XShmPutImage(c.dpy, static_cast<::Window>(rec.xid), static_cast<GC>(rec.gc), image, s.left, s.top,
               dstX, dstY, static_cast<unsigned>(s.right - s.left),
               static_cast<unsigned>(s.bottom - s.top), False);
  // The server reads the segment asynchronously: wait until it has, before the next frame
  // writes into it.
  if (wait) {
    XSync(c.dpy, False);
  } else {
    XFlush(c.dpy);
  }
}

}  // namespace
}  // namespace Tavex::Platform

namespace Tavex::Native {
using namespace Tavex::Platform;

bool PresentFrame(HWND hwnd, const std::uint8_t* pixels, int width, int height, int stride,
                  const RECT& src, int dstX, int dstY) {
  X11Connection* c = X11Connection::Current();
  auto rec = FindOwnWindow(hwnd);
  if (c == nullptr || !rec || pixels == nullptr || width <= 0 || height <= 0 ||
      stride < width * 4) {
    return false;
  }
  const RECT s{std::max<LONG>(src.left, 0), std::max<LONG>(src.top, 0),
               std::min<LONG>(src.right, width), std::min<LONG>(src.bottom, height)};
  ShmImage* shm = ImageFor(*c, hwnd, *rec, width, height);
  if (shm == nullptr) return PresentPixels(hwnd, pixels, width, height, stride, src, dstX, dstY);
  if (s.right <= s.left || s.bottom <= s.top) return true;
  XImage* image = shm->image;
  const std::size_t rowBytes = static_cast<std::size_t>(s.right - s.left) * 4;
  for (LONG y = s.top; y < s.bottom; ++y) {
    std::memcpy(image->data + static_cast<std::size_t>(y) * image->bytes_per_line + s.left * 4,
                pixels + static_cast<std::size_t>(y) * stride + s.left * 4, rowBytes);
  }
  PutImage(*c, *rec, image, s, dstX + (s.left - src.left), dstY + (s.top - src.top));
  return true;
}

bool AcquireFrameBuffer(HWND hwnd, int width, int height, FrameBuffer* out) {
  X11Connection* c = X11Connection::Current();
  auto rec = FindOwnWindow(hwnd);
  if (out == nullptr || c == nullptr || !rec || width <= 0 || height <= 0) return false;
  ShmImage* shm = ImageFor(*c, hwnd, *rec, width, height);
  if (shm == nullptr) return false;
  *out = FrameBuffer{reinterpret_cast<std::uint8_t*>(shm->image->data), width, height,
                     shm->image->bytes_per_line};
  return true;
}

bool PresentFrameBuffer(HWND hwnd, const RECT& rect, bool wait) {
  X11Connection* c = X11Connection::Current();
  auto rec = FindOwnWindow(hwnd);
  if (c == nullptr || !rec) return false;
  const auto it = Images().find(hwnd);
  if (it == Images().end()) return false;
  XImage* image = it->second->image;
  const RECT s{std::max<LONG>(rect.left, 0), std::max<LONG>(rect.top, 0),
               std::min<LONG>(rect.right, image->width), std::min<LONG>(rect.bottom, image->height)};
  if (s.right <= s.left || s.bottom <= s.top) return true;
  PutImage(*c, *rec, image, s, s.left, s.top, wait);
  return true;
}

bool ReleaseFrameBuffer(HWND hwnd) {
  const auto it = Images().find(hwnd);
  if (it == Images().end()) return false;
  // The segment stays attached on both sides, only its pages go: making a new segment costs
  // about 12 ms of round trips at the next paint, refilling the pages only what it touches.
  const XImage* image = it->second->image;
  if (X11Connection* c = X11Connection::Current()) XSync(c->dpy, False);  // a put not waited for
  const std::size_t bytes = static_cast<std::size_t>(image->bytes_per_line) * image->height;
  return madvise(image->data, bytes, MADV_REMOVE) == 0;
}

}  // namespace Tavex::Native
