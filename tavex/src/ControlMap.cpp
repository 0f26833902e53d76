#include "ControlMap.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>

#include "tavex/MControlFont.h"
#include "tavex/MPanel.h"
#include "tavex/MWindow.h"
#include "tavex/Native.h"
#include "tavex/PaintManager.h"

namespace Tavex::ControlMap {
namespace {

constexpr const char* kVariable = "TAVEX_CONTROL_MAP";
constexpr const char* kWindowTag = "window ";
constexpr const char* kPidTag = " pid=";

const std::string& MapPath() {
  static const std::string path = [] {
    const char* value = std::getenv(kVariable);
    return std::string(value != nullptr ? value : "");
  }();
  return path;
}

// This process's sections by window handle (a destroyed window has no native id any more).
struct Sections {
  std::mutex lock;
  std::map<HWND, std::string> byWindow;
};
Sections& Shared() {
  static Sections sections;
  return sections;
}

std::string RectText(const CRect& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
         "," + std::to_string(r.bottom);
}

// A control's own text (captions, messages, edit boxes) on one line of the map.
std::string TextOf(const MControl* c) {
  const auto* font = dynamic_cast<const MControlFont*>(c);
  std::string text = font != nullptr ? font->GetControlTitle() : std::string();
  for (char& ch : text)
    if (ch == '\n' || ch == '\r') ch = ' ';
  return text;
}

CRect Shifted(CRect r, CPoint by) {
  r.OffsetRect(by.x, by.y);
  return r;
}

// Writes one line per control of `list` and its children. `parent` owns the list; `origin` is
// the window's client origin on the screen; `clip` is what the panels above let through
// (screen coordinates).
void Walk(const ControlList& list, const MObject* parent, CPoint origin, CRect clip,
          std::string& out) {
  const auto* panel = dynamic_cast<const MPanel*>(parent);
  list.ForEach([&](MControl* c) {
    // A panel's own scroll bars sit in the panel's space; its other children scroll with it.
    const bool bar = panel != nullptr && (static_cast<const MControl*>(panel->GetVScroll()) == c ||
                                          static_cast<const MControl*>(panel->GetHScroll()) == c);
    const MObject* space = bar ? panel->GetParantObject() : parent;
    const CPoint scroll = MPanel::ScrollOffsetOfChain(space);
    const CRect rect = Shifted(c->GetRect(), CPoint(origin.x - scroll.x, origin.y - scroll.y));
    CRect shown;
    shown.IntersectRect(rect, clip);
    out += "control id=" + std::to_string(c->GetControlID()) + " class=" + c->GetClassNameW() +
           " visible=" + (c->IsParentVisible() ? "1" : "0") + " rect=" + RectText(rect) +
           " shown=" + RectText(shown) + " text=" + TextOf(c) + "\n";
    // Children of a panel are drawn clipped to it.
    const CRect inner = dynamic_cast<const MPanel*>(c) != nullptr ? shown : clip;
    Walk(c->GetDrawControls(), c, origin, inner, out);
    Walk(c->GetChildControls(), c, origin, inner, out);
  });
}

// The file's lines of other processes, kept when this process writes its own.
std::string OtherProcesses(const std::string& path) {
  std::ifstream in(path);
  const std::string mine = kPidTag + std::to_string(getpid()) + " ";
  std::string kept, line;
  bool keep = false;
  while (std::getline(in, line)) {
    if (line.rfind(kWindowTag, 0) == 0) keep = line.find(mine) == std::string::npos;
    if (keep) kept += line + "\n";
  }
  return kept;
}

// Replaces this process's part of the file: lock file held, temp file renamed over the map.
void WriteFile(const std::string& ours) {
  const std::string& path = MapPath();
  const int lock = open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (lock >= 0) flock(lock, LOCK_EX);
  const std::string temp = path + ".tmp." + std::to_string(getpid());
  const std::string text = OtherProcesses(path) + ours;
  bool written = false;
  if (FILE* f = std::fopen(temp.c_str(), "w")) {
    written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    written = std::fclose(f) == 0 && written;
  }
  if (!written || std::rename(temp.c_str(), path.c_str()) != 0) std::remove(temp.c_str());
  if (lock >= 0) close(lock);  // also releases the lock
}

void Store(HWND window, const std::string* section) {
  Sections& shared = Shared();
  std::lock_guard guard(shared.lock);
  const auto it = shared.byWindow.find(window);
  if (section == nullptr) {
    if (it == shared.byWindow.end()) return;
    shared.byWindow.erase(it);
  } else {
    if (it != shared.byWindow.end() && it->second == *section) return;
    shared.byWindow[window] = *section;
  }
  std::string ours;
  for (const auto& entry : shared.byWindow) ours += entry.second;
  WriteFile(ours);
}

}  // namespace

bool Enabled() {
  static const bool enabled = !MapPath().empty();
  return enabled;
}

std::string Describe(PaintManager& pm) {
  const HWND hwnd = pm.GetPaintWnd();
  POINT origin{0, 0};
  if (hwnd != nullptr) Native::ClientToScreen(hwnd, &origin);
  const CPoint at(origin.x, origin.y);
  const CRect client = Shifted(pm.GetClientRect(), at);
  CString title;
  if (pm.GetOwner() != nullptr) pm.GetOwner()->GetWindowTextW(title);
  for (char& ch : title) {
    if (ch == '\n' || ch == '\r') ch = ' ';  // one line per window
  }
  std::string out = kWindowTag;
  out += "native=" + std::to_string(hwnd != nullptr ? Native::GetNativeId(hwnd) : 0) + kPidTag +
         std::to_string(getpid()) + " client=" + RectText(client) + " title=" + title + "\n";
  Walk(pm.GetAreas(), nullptr, at, client, out);
  Walk(pm.GetControls(), nullptr, at, client, out);
  return out;
}

void Update(PaintManager& pm) {
  const HWND hwnd = pm.GetPaintWnd();
  if (!Enabled() || hwnd == nullptr) return;
  const std::string section = Describe(pm);
  Store(hwnd, &section);
}

void Forget(HWND hwnd) {
  if (!Enabled() || hwnd == nullptr) return;
  Store(hwnd, nullptr);
}

}  // namespace Tavex::ControlMap
