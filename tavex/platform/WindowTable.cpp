#include "WindowTable.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <unordered_map>
#include <vector>

namespace Tavex::Platform {
namespace {

struct Tables {
  std::mutex mutex;
  std::unordered_map<std::uintptr_t, std::shared_ptr<WindowRecord>> windows;
  std::vector<HWND> order;
  std::uintptr_t next = 0x10000;  // small values are the special HWND_* constants
  std::map<std::string, ClassRecord> classes;
};

Tables& tables() {
  static Tables* t = new Tables;  // lives for the process: windows may outlive static teardown
  return *t;
}

}  // namespace

DWORD CurrentThreadId() {
  thread_local const DWORD id = static_cast<DWORD>(::syscall(SYS_gettid));
  return id;
}

HWND AddWindow(const std::shared_ptr<WindowRecord>& record) {
  Tables& t = tables();
  std::lock_guard lock(t.mutex);
  t.next += 4;
  HWND hwnd = reinterpret_cast<HWND>(t.next);
  record->hwnd = hwnd;
  t.windows.emplace(t.next, record);
  t.order.push_back(hwnd);
  return hwnd;
}

std::shared_ptr<WindowRecord> FindWindow(HWND hwnd) {
  if (hwnd == nullptr) return nullptr;
  Tables& t = tables();
  std::lock_guard lock(t.mutex);
  auto it = t.windows.find(reinterpret_cast<std::uintptr_t>(hwnd));
  return it == t.windows.end() ? nullptr : it->second;
}

std::shared_ptr<WindowRecord> FindOwnWindow(HWND hwnd) {
  auto rec = FindWindow(hwnd);
  if (rec && rec->thread != CurrentThreadId()) return nullptr;
  return rec;
}

void RemoveWindow(HWND hwnd) {
  Tables& t = tables();
  std::lock_guard lock(t.mutex);
  t.windows.erase(reinterpret_cast<std::uintptr_t>(hwnd));
  std::erase(t.order, hwnd);
}

std::vector<std::shared_ptr<WindowRecord>> WindowsOfThread(DWORD thread) {
  Tables& t = tables();
  std::lock_guard lock(t.mutex);
  std::vector<std::shared_ptr<WindowRecord>> out;
  for (HWND h : t.order) {
    auto& rec = t.windows[reinterpret_cast<std::uintptr_t>(h)];
    if (rec->thread == thread) out.push_back(rec);
  }
  return out;
}

std::vector<std::shared_ptr<WindowRecord>> OwnedWindows(HWND owner) {
  std::vector<std::shared_ptr<WindowRecord>> out;
  if (owner == nullptr) return out;
  Tables& t = tables();
  std::lock_guard lock(t.mutex);
  for (HWND h : t.order) {
    auto& rec = t.windows[reinterpret_cast<std::uintptr_t>(h)];
    if (rec->thread == CurrentThreadId() && rec->parent == owner) out.push_back(rec);
  }
  return out;
}

bool AddClass(const ClassRecord& cls) {
  if (cls.name.empty() || cls.proc == nullptr) return false;
  Tables& t = tables();
  std::lock_guard lock(t.mutex);
  t.classes.emplace(cls.name, cls);  // an existing registration is kept
  return true;
}

bool FindClass(const std::string& name, ClassRecord* out) {
  Tables& t = tables();
  std::lock_guard lock(t.mutex);
  auto it = t.classes.find(name);
  if (it == t.classes.end()) return false;
  if (out) *out = it->second;
  return true;
}

}  // namespace Tavex::Platform
