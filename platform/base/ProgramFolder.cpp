#include "platform/base/ProgramFolder.h"

#include <unistd.h>

#include <vector>

namespace platform {
namespace {
constexpr size_t kFirstPathBuffer = 4096;
constexpr const char* kCurrentFolder = "./";
}  // namespace

std::string ExecutableFolder() {
  std::vector<char> buffer(kFirstPathBuffer);
  for (;;) {
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) return kCurrentFolder;
    if (static_cast<size_t>(length) < buffer.size()) {
      const std::string path(buffer.data(), static_cast<size_t>(length));
      const auto slash = path.rfind('/');
      if (slash == std::string::npos) return kCurrentFolder;
      return path.substr(0, slash + 1);
    }
    buffer.resize(buffer.size() * 2);  // truncated: try again with more room
  }
}

}  // namespace platform
