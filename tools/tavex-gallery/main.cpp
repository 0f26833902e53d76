// tavex-gallery [--page lists|standard|windows|backs] [--layered] [--keyboard-mode N]
// [--lang 1033|2052] [--screenshot FILE]: opens
// a dialog with the Tavex controls built so far (or the list controls, or the keyboard page in
// KeyboardCtrl mode N) and logs what it receives on stdout ("ready", "notify", "focus", "key",
// "result" lines).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "BackPicturesPage.h"
#include "GalleryDialog.h"
#include "GalleryTexts.h"
#include "KeyboardPage.h"
#include "ListsPage.h"
#include "StandardPage.h"
#include "WindowsPage.h"
#include "tavex/Manager.h"

int main(int argc, char** argv) {
  std::string screenshot;
  std::string page;
  int keyboardMode = 0;
  int lcid = 1033;
  bool layered = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc) {
      screenshot = argv[++i];
    } else if (std::strcmp(argv[i], "--page") == 0 && i + 1 < argc) {
      page = argv[++i];
    } else if (std::strcmp(argv[i], "--layered") == 0) {
      layered = true;
    } else if (std::strcmp(argv[i], "--keyboard-mode") == 0 && i + 1 < argc) {
      keyboardMode = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--lang") == 0 && i + 1 < argc) {
      lcid = std::atoi(argv[++i]) == 2052 ? 2052 : 1033;
    } else {
      std::fprintf(stderr,
                   "usage: %s [--page lists|standard|windows|backs] [--layered] [--keyboard-mode 100-104 [--lang 1033|2052]] "
                   "[--screenshot FILE]\n",
                   argv[0]);
      return 2;
    }
  }
  if (!Tavex::Native::DisplayAvailable()) {
    std::fprintf(stderr, "tavex-gallery: no display (set DISPLAY)\n");
    return 1;
  }
  Tavex::Manager::InitGdiplus();
  Gallery::LoadTexts(lcid);
  if (keyboardMode != 0) {
    Gallery::KeyboardPage keyboard(keyboardMode, lcid, screenshot);
    if (keyboard.Create(nullptr, "Tavex gallery: keyboard", 0x96000000, 0,
                        Tavex::CRect(60, 60, 60 + Gallery::KeyboardPage::kWidth,
                                     60 + Gallery::KeyboardPage::kHeight)) == nullptr) {
      std::fprintf(stderr, "tavex-gallery: cannot create the window\n");
      return 1;
    }
    const int result = keyboard.ShowModal(SW_SHOW);
    Gallery::GalleryDialog::Log("result " + std::to_string(result));
    Tavex::Manager::UnInitGdiplus();
    return 0;
  }
  if (page == "standard") {
    Gallery::StandardPage standard(screenshot, lcid == 2052);
    if (standard.Create(nullptr, "Tavex gallery: standard controls", 0x96000000, 0,
                        Tavex::CRect(40, 40, 1146, 720)) == nullptr) {
      std::fprintf(stderr, "tavex-gallery: cannot create the window\n");
      return 1;
    }
    const int result = standard.ShowModal(SW_SHOW);
    Gallery::GalleryDialog::Log("result " + std::to_string(result));
    Tavex::Manager::UnInitGdiplus();
    return 0;
  }
  if (page == "windows") {
    Gallery::WindowsPage windows(screenshot, lcid == 2052);
    if (windows.Create(nullptr, "Tavex gallery: windows", 0x96000000, 0,
                       Tavex::CRect(40, 40, 1040, 460)) == nullptr) {
      std::fprintf(stderr, "tavex-gallery: cannot create the window\n");
      return 1;
    }
    const int result = windows.ShowModal(SW_SHOW);
    Gallery::GalleryDialog::Log("result " + std::to_string(result));
    Tavex::Manager::UnInitGdiplus();
    return 0;
  }
  if (page == "backs") {
    Gallery::BackPicturesPage backs(screenshot, lcid == 2052);
    if (backs.Create(nullptr, "Tavex gallery: back pictures", 0x96000000, 0,
                     Tavex::CRect(100, 100, 700, 580)) == nullptr) {
      std::fprintf(stderr, "tavex-gallery: cannot create the window\n");
      return 1;
    }
    const int result = backs.ShowModal(SW_SHOW);
    Gallery::GalleryDialog::Log("result " + std::to_string(result));
    Tavex::Manager::UnInitGdiplus();
    return 0;
  }
  if (page == "lists") {
    Gallery::ListsPage lists(screenshot, layered);
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
  if (dialog.Create(nullptr, "Tavex gallery", 0x96000000, 0, Tavex::CRect(100, 100, 740, 560)) ==
      nullptr) {
    std::fprintf(stderr, "tavex-gallery: cannot create the window\n");
    return 1;
  }
  const int result = dialog.ShowModal(SW_SHOW);
  Gallery::GalleryDialog::Log("result " + std::to_string(result));
  Tavex::Manager::UnInitGdiplus();
  return 0;
}
