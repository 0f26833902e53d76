// tavex-gallery [--screenshot FILE]: opens a dialog with the Tavex controls built so far and
// logs what it receives on stdout ("ready", "notify", "focus", "key", "result" lines).
#include <cstdio>
#include <cstring>
#include <string>

#include "GalleryDialog.h"
#include "tavex/Manager.h"

int main(int argc, char** argv) {
  std::string screenshot;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc) {
      screenshot = argv[++i];
    } else {
      std::fprintf(stderr, "usage: %s [--screenshot FILE]\n", argv[0]);
      return 2;
    }
  }
  if (!Tavex::Native::DisplayAvailable()) {
    std::fprintf(stderr, "tavex-gallery: no display (set DISPLAY)\n");
    return 1;
  }
  Tavex::Manager::InitGdiplus();
  Gallery::GalleryDialog dialog(screenshot);
  if (dialog.Create(nullptr, "Tavex gallery", 0x96000000, 0, Tavex::CRect(100, 100, 740, 460)) ==
      nullptr) {
    std::fprintf(stderr, "tavex-gallery: cannot create the window\n");
    return 1;
  }
  const int result = dialog.ShowModal(SW_SHOW);
  Gallery::GalleryDialog::Log("result " + std::to_string(result));
  Tavex::Manager::UnInitGdiplus();
  return 0;
}
