#include "GalleryTexts.h"

#include <fstream>
#include <iterator>

#include "docs/LangFile.h"
#include "tavex/Manager.h"

namespace Gallery {

namespace {
struct Texts {
  LangFile file;
  int lcid = 1033;
};

Texts& Current() {
  static Texts texts;
  return texts;
}
}  // namespace

bool LoadTexts(int lcid) {
  const std::string path =
      Tavex::Manager::GetProgramFolder() + "language/" + std::to_string(lcid) + ".lan";
  std::ifstream in(path, std::ios::binary);
  Current().lcid = lcid;
  if (!in) {
    Current().file = LangFile();
    return false;
  }
  Current().file = LangFile::Parse(
      std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
  return true;
}

int TextsLanguage() { return Current().lcid; }

std::string Text(int number) { return Current().file.Get("KB.DIALOG", std::to_string(number)); }

}  // namespace Gallery
