// skingen: draws the theme's images into <bin>/skins/theme1/, the keyboard pictures of every
// layout in <layouts> into <bin>/skins/theme1/keyboard/, and the program icon <bin>/Keywright.ico;
// with <hicolor> and <name>, the icon's sizes also as the desktop theme's <name>.png files.
#include "KeyboardPicture.h"
#include "LayoutReader.h"
#include "SkinSet.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace skingen;

namespace {

bool SameKeys(const KeyboardLayout& a, const KeyboardLayout& b) {
  if (a.width != b.width || a.height != b.height || a.keys.size() != b.keys.size()) return false;
  for (size_t i = 0; i < a.keys.size(); ++i) {
    const LayoutKey &ka = a.keys[i], &kb = b.keys[i];
    if (ka.name != kb.name || ka.x != kb.x || ka.y != kb.y || ka.w != kb.w || ka.h != kb.h) return false;
  }
  return true;
}

// One picture per image name; layouts that share a picture must agree on its keys.
bool WriteKeyboards(SkinWriter& out, const fs::path& layoutsDir) {
  std::error_code ec;
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(layoutsDir, ec))
    if (entry.path().extension() == ".xml") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  std::map<std::string, KeyboardLayout> pictures;
  bool ok = true;
  for (const fs::path& file : files) {
    const auto layout = ReadLayoutFile(file.string());
    if (!layout) {
      std::fprintf(stderr, "skingen: %s has no usable Keyboard element\n", file.filename().c_str());
      ok = false;
      continue;
    }
    auto [it, inserted] = pictures.emplace(layout->image, *layout);
    if (!inserted && !SameKeys(it->second, *layout)) {
      std::fprintf(stderr, "skingen: %s draws %s with other keys than an earlier layout\n",
                   file.filename().c_str(), layout->image.c_str());
      ok = false;
    }
  }
  for (const auto& [image, layout] : pictures) out.Png("keyboard/" + image, DrawKeyboardPicture(layout));
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 5 || argc == 4) {
    std::fprintf(stderr, "usage: skingen BIN_DIR [LAYOUTS_DIR [HICOLOR_DIR ICON_NAME]]\n");
    return 2;
  }
  const fs::path bin = argv[1];
  SkinWriter out((bin / "skins" / "theme1").string());
  WriteBackgrounds(out);
  WriteButtons(out);
  WriteFields(out);
  WriteIcons(out);
  WriteLoading(out);
  bool ok = argc < 3 || WriteKeyboards(out, argv[2]);
  const std::string hicolor = argc == 5 ? argv[3] : "";
  const std::string iconName = argc == 5 ? argv[4] : "";
  if (!WriteAppIcon((bin / "Keywright.ico").string(), hicolor, iconName)) {
    std::fprintf(stderr, "skingen: cannot write Keywright.ico\n");
    ok = false;
  }
  for (const std::string& f : out.Failed()) std::fprintf(stderr, "skingen: cannot write %s\n", f.c_str());
  std::printf("skingen: %zu images written\n", out.Written().size());
  return ok && out.Failed().empty() ? 0 : 1;
}
