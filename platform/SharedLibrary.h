// A shared library opened at run time (dlopen), for system libraries that only some sessions
// use: mapping them at start-up costs resident memory the idle program would never use.
//
// Ownership: owns its handle; closing it (or the destructor) unmaps the library, so nothing
// resolved from it may be called afterwards.
// Threads: set up (open, Resolve) from one thread; the resolved entry points from any.
#pragma once

#include <mutex>
#include <string>

namespace platform {

class SharedLibrary {
 public:
  // Opens `fileName` (a soname or a path) with every symbol bound now and none made global.
  explicit SharedLibrary(const char* fileName);
  ~SharedLibrary();
  SharedLibrary(const SharedLibrary&) = delete;
  SharedLibrary& operator=(const SharedLibrary&) = delete;

  bool IsOpen() const { return handle_ != nullptr; }

  // Resolves `name` into `slot`. When the library lacks it, or is not open, `slot` is null, the
  // library is closed and Problem() names the symbol; so one false in a chain of calls leaves
  // the library closed.
  template <typename Fn>
  bool Resolve(const char* name, Fn& slot) {
    slot = reinterpret_cast<Fn>(Symbol(name));
    return slot != nullptr;
  }

  // Closes the library, keeping `reason` as Problem().
  void Close(const std::string& reason);

  // Why the library is not open (the loader's message, or the missing symbol); empty while open.
  const std::string& Problem() const { return problem_; }

 private:
  void* Symbol(const char* name);

  std::string fileName_;
  void* handle_ = nullptr;
  std::string problem_;
};

// The process's one `Library` (a wrapper constructed from a file name) opened by the first call
// from any thread; the others wait for it. Never destroyed: a thread still using the library
// may outlive static destructors.
template <typename Library>
const Library& OpenedOnce(const char* fileName) {
  static std::once_flag once;
  static const Library* library = nullptr;
  std::call_once(once, [fileName] { library = new Library(fileName); });
  return *library;
}

}  // namespace platform
