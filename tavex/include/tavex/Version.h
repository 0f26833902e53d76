#pragma once
// Symbols of libtavex.so that the program may call are marked TAVEX_API.
#define TAVEX_API __attribute__((visibility("default")))

namespace tavex {
// Version of the UI library as "major.minor.patch"; a static string, never freed.
TAVEX_API const char* Version();
}
