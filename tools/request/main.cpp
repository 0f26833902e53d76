// keywright-request [LPARAM]: posts the external request message with LPARAM (default 610, the
// quit request) to the running program's main window. Exit 0 when it was sent, 1 when no
// running program was found, 2 for bad arguments.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tavex/Codes.h"
#include "tavex/Native.h"

namespace {
constexpr const char* kWindowMark = "Tarnwick";
constexpr int kSent = 0;
constexpr int kNotFound = 1;
constexpr int kUsage = 2;
}  // namespace

int main(int argc, char** argv) {
  long value = Tavex::kExternalQuit;
  if (argc > 2) {
    std::fprintf(stderr, "usage: %s [LPARAM]\n", argv[0]);
    return kUsage;
  }
  if (argc == 2) {
    char* end = nullptr;
    value = std::strtol(argv[1], &end, 10);
    if (end == argv[1] || *end != '\0') {
      std::fprintf(stderr, "%s: not a number: %s\n", argv[0], argv[1]);
      return kUsage;
    }
  }
  const std::uint64_t window = Tavex::Native::FindExternalWindow(kWindowMark);
  if (window == 0) {
    std::fprintf(stderr, "%s: no running program found\n", argv[0]);
    return kNotFound;
  }
  return Tavex::Native::PostExternalMessage(window, Tavex::WM_EXTERNALREQUEST, 0, value)
             ? kSent
             : kNotFound;
}
