// The library's own resources, compiled into the library: the scroll bar pictures 101 and 102
// (type "PNG", drawn at build time by resgen/) and the font 106 (type "ttf", "Open Sans
// Semibold", copied from the system's font package at build time). They are registered with
// MRender when the library loads; a resource whose file was empty at build time is skipped.
#include <cstddef>
#include <cstdint>

#include "tavex/MRender.h"

#ifndef TAVEX_RES_DIR
#error "TAVEX_RES_DIR must name the folder of the generated resource files"
#endif

#define TAVEX_EMBED(symbol, file)                                                  \
  asm(".section .rodata\n"                                                         \
      ".global " #symbol "_begin\n"                                                \
      ".hidden " #symbol "_begin\n"                                                \
      ".balign 16\n" #symbol "_begin:\n"                                           \
      ".incbin \"" TAVEX_RES_DIR "/" file "\"\n"                                   \
      ".global " #symbol "_end\n"                                                  \
      ".hidden " #symbol "_end\n" #symbol "_end:\n"                                \
      ".byte 0\n"                                                                  \
      ".previous\n");                                                              \
  extern "C" const unsigned char symbol##_begin[];                                 \
  extern "C" const unsigned char symbol##_end[];

TAVEX_EMBED(tavex_res_101, "101.png")
TAVEX_EMBED(tavex_res_102, "102.png")
TAVEX_EMBED(tavex_res_106, "106.ttf")

namespace Tavex {
namespace {

void Register(unsigned id, const char* type, const unsigned char* begin, const unsigned char* end) {
  if (end <= begin) return;
  MRender::RegisterResource(id, type, std::vector<std::uint8_t>(begin, end));
}

struct BuiltinRegistrar {
  BuiltinRegistrar() {
    Register(101, "PNG", tavex_res_101_begin, tavex_res_101_end);
    Register(102, "PNG", tavex_res_102_begin, tavex_res_102_end);
    Register(106, "ttf", tavex_res_106_begin, tavex_res_106_end);
  }
};
const BuiltinRegistrar g_builtins;

}  // namespace
}  // namespace Tavex
