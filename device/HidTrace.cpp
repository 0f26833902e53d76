#include "device/HidTrace.h"

#ifndef NDEBUG
#include <cstdarg>
#include <cstdio>

void HidTrace(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vfprintf(stderr, format, args);
  va_end(args);
}
#endif
