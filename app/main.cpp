// Program entry. Until the main window exists this starts nothing but reports the library it runs on.
#include <cstdio>
#include "tavex/Version.h"

int main() {
  std::printf("keywright: UI library %s\n", tavex::Version());
  return 0;
}
