// tavex-gallery [--screenshot FILE]: opens a dialog with the Tavex controls built so far and
// logs what it receives on stdout ("ready", "notify", "focus", "key", "result" lines).
#include <cstdio>
#include <cstring>
#include <string>

#include "GalleryDialog.h"
#include "ListsPage.h"
#include "tavex/Manager.h"

int main(int argc, char** argv) {
  std::string screenshot;
  std::string page;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc) {
      screenshot = argv[++i];
    } else if (std::strcmp(argv[i], "--page") == 0 && i + 1 < argc) {
      page = argv[++i];
    } else {
      std::fprintf(stderr, "usage: %s [--page lists] [--screenshot FILE]\n", argv[0]);
      return 2;
    }
  }
  if (!Tavex::Native::DisplayAvailable()) {
    std::fprintf(stderr, "tavex-gallery: no display (set DISPLAY)\n");
    return 1;
  }
  Tavex::Manager::InitGdiplus();
  if (page == "lists") {
    Gallery::ListsPage lists(screenshot);
    if (lists.Create(nullptr, "Tavex gallery: lists", 0x96000000, 0,
                     Tavex::CRect(100, 100, 1060, 720)) == nullptr) {
      std::fprintf(stderr, "tavex-gallery: cannot create the window\n");
      return 1;
    }
    const int result = lists.ShowModal(SW_SHOW);
    Gallery::GalleryDialog::Log("result " + std::to_string(result));
    Tavex::Manager::UnInitGdiplus();
    return 0;
  }
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
