#include "support/TimeScale.h"

#include <cstdlib>
#include <cstring>

namespace TestSupport {
namespace {

constexpr int BuildTimeScale() {
#if defined(__SANITIZE_THREAD__)
  return kThreadSanitizerTimeScale;
#elif defined(__SANITIZE_ADDRESS__)
  return kAddressSanitizerTimeScale;
#else
  return kPlainTimeScale;
#endif
}

}  // namespace

int ParseTimeScale(const char* text, int fallback) {
  if (text == nullptr || *text == '\0') return fallback;
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  if (*end != '\0' || value < 1 || value > kMaxTimeScale) return fallback;
  return static_cast<int>(value);
}

int TimeScale() {
  static const int scale = ParseTimeScale(std::getenv("KW_TEST_TIME_SCALE"), BuildTimeScale());
  return scale;
}

}  // namespace TestSupport
