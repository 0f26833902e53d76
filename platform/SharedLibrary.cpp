#include "platform/SharedLibrary.h"

#include <dlfcn.h>

namespace platform {

SharedLibrary::SharedLibrary(const char* fileName) : fileName_(fileName) {
  handle_ = dlopen(fileName, RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) {
    const char* reason = dlerror();
    problem_ = reason != nullptr ? reason : fileName_ + ": cannot be opened";
  }
}

SharedLibrary::~SharedLibrary() {
  if (handle_ != nullptr) dlclose(handle_);
}

void* SharedLibrary::Symbol(const char* name) {
  if (handle_ == nullptr) return nullptr;
  void* const symbol = dlsym(handle_, name);
  if (symbol == nullptr) Close(fileName_ + " has no " + name);
  return symbol;
}

void SharedLibrary::Close(const std::string& reason) {
  if (handle_ != nullptr) dlclose(handle_);
  handle_ = nullptr;
  problem_ = reason;
}

}  // namespace platform
