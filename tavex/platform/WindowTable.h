#pragma once
// The process-wide table of native windows and window classes. A handle is an identifier
// that is never reused; records are shared so that a procedure running while its window is
// destroyed still holds valid memory. Lookups are safe from any thread; the fields marked
// "owner thread" are read and written only by the thread that created the window.
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "tavex/WinTypes.h"

namespace Tavex::Platform {

struct WindowRecord {
  HWND hwnd = nullptr;
  DWORD thread = 0;  // owner thread, fixed at creation

  // Readable from any thread.
  std::atomic<DWORD> style{0};
  std::atomic<DWORD> exStyle{0};
  std::atomic<LONG_PTR> userData{0};
  std::atomic<bool> alive{true};

  // Update region (bounding box), guarded by dirtyMutex: InvalidateRect works on any thread.
  std::mutex dirtyMutex;
  RECT dirty{0, 0, 0, 0};
  bool hasDirty = false;
  bool dirtyOwnOnly = false;  // every rectangle came through InvalidateOwnRect
  std::uint64_t dirtyGeneration = 0;
  // No WM_PAINT before this monotonic time (ms): paints are paced, invalidations coalesce.
  std::atomic<std::uint64_t> paintNotBefore{0};

  // Owner thread.
  WNDPROC proc = nullptr;
  std::string className;
  UINT classStyle = 0;
  HCURSOR classCursor = nullptr;
  LONG_PTR id = 0;
  HWND parent = nullptr;  // owner of a top-level window, parent of a child
  HINSTANCE instance = nullptr;
  std::string title;
  RECT rect{0, 0, 0, 0};  // screen (top-level) or parent client (child) coordinates
  RECT restoreRect{0, 0, 0, 0};
  bool visible = false;
  bool enabled = true;
  bool iconic = false;
  bool zoomed = false;
  bool destroying = false;
  bool alphaVisual = false;
  bool overrideRedirect = false;
  COLORREF colorKey = 0xFFFFFFFF;
  BYTE constantAlpha = 255;
  bool activateOnMap = false;
  // Request serial of our last unmap: a MapNotify older than it is stale, a newer one while
  // hidden means another client mapped the window (a second copy raising it).
  unsigned long hiddenSerial = 0;
  UINT cursorShown = 0;
  std::map<std::string, void*> props;
  std::map<std::pair<int, int>, std::vector<std::uint32_t>> icons;
  std::uint64_t xid = 0;  // X11 window
  void* gc = nullptr;     // X11 GC
  int depth = 24;
  // Layered output: the shape last applied (row runs), to skip unchanged masks.
  std::uint64_t shapeHash = 0;
  bool shaped = false;
};

// Registers a new record and gives it a fresh handle.
HWND AddWindow(const std::shared_ptr<WindowRecord>& record);
// Null for a stale handle.
std::shared_ptr<WindowRecord> FindWindow(HWND hwnd);
// A live window owned by the calling thread, else null.
std::shared_ptr<WindowRecord> FindOwnWindow(HWND hwnd);
void RemoveWindow(HWND hwnd);
// Windows owned by `thread`, in creation order.
std::vector<std::shared_ptr<WindowRecord>> WindowsOfThread(DWORD thread);
// Top-level windows owned by `owner`.
std::vector<std::shared_ptr<WindowRecord>> OwnedWindows(HWND owner);

struct ClassRecord {
  std::string name;
  UINT style = 0;
  WNDPROC proc = nullptr;
  HINSTANCE instance = nullptr;
  HCURSOR cursor = nullptr;
  HICON icon = nullptr;
};
bool AddClass(const ClassRecord& cls);
bool FindClass(const std::string& name, ClassRecord* out);

DWORD CurrentThreadId();

}  // namespace Tavex::Platform
