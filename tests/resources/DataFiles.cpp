#include "DataFiles.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>

namespace kwtest {

std::filesystem::path ProgramFolder() {
  return std::filesystem::read_symlink("/proc/self/exe").parent_path();
}

std::filesystem::path SourceFolder() { return KW_SOURCE_DIR; }

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<TextNumber> ReadTextNumbers() {
  std::vector<TextNumber> out;
  std::istringstream lines(ReadFile(std::filesystem::path(KW_TEST_DATA_DIR) / "text_numbers.txt"));
  std::string line;
  while (std::getline(lines, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    TextNumber t;
    std::getline(fields, line, '\t');
    t.number = std::stoi(line);
    std::getline(fields, t.origin, '\t');
    std::getline(fields, t.role);
    out.push_back(t);
  }
  return out;
}

std::vector<SkinImage> ReadSkinImages() {
  std::vector<SkinImage> out;
  std::istringstream lines(ReadFile(std::filesystem::path(KW_TEST_DATA_DIR) / "skin_images.txt"));
  std::string line;
  while (std::getline(lines, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    SkinImage s;
    fields >> s.path >> s.states >> s.stateWidth >> s.stateHeight;
    out.push_back(s);
  }
  return out;
}

std::vector<std::filesystem::path> LayoutFiles() {
  std::vector<std::filesystem::path> out;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(SourceFolder() / "resources" / "layouts", ec))
    if (e.path().extension() == ".xml") out.push_back(e.path());
  std::sort(out.begin(), out.end());
  return out;
}

std::vector<int> LayoutModeNames(const std::string& xml) {
  std::vector<int> out;
  static const std::regex info(R"re(<info\b[^>]*\bname\s*=\s*"(\d+)")re");
  for (auto it = std::sregex_iterator(xml.begin(), xml.end(), info); it != std::sregex_iterator(); ++it)
    out.push_back(std::stoi((*it)[1].str()));
  return out;
}

Pixbuf LoadPixbuf(const std::filesystem::path& path) {
  GError* err = nullptr;
  Pixbuf p(gdk_pixbuf_new_from_file(path.c_str(), &err));
  if (err) g_error_free(err);
  return p;
}

namespace {

template <class Get>
auto LoadWith(const std::vector<uint8_t>& bytes, Get get) {
  GError* err = nullptr;
  GdkPixbufLoader* loader = gdk_pixbuf_loader_new();
  const bool ok = gdk_pixbuf_loader_write(loader, bytes.data(), bytes.size(), &err) &&
                  gdk_pixbuf_loader_close(loader, &err);
  if (err) g_error_free(err);
  auto* result = ok ? get(loader) : nullptr;
  if (result) g_object_ref(result);
  if (!ok) gdk_pixbuf_loader_close(loader, nullptr);
  g_object_unref(loader);
  return result;
}

}  // namespace

Pixbuf LoadPixbufFromBytes(const std::vector<uint8_t>& bytes) {
  return Pixbuf(LoadWith(bytes, gdk_pixbuf_loader_get_pixbuf));
}

PixbufAnimation LoadAnimationFromBytes(const std::vector<uint8_t>& bytes) {
  return PixbufAnimation(LoadWith(bytes, gdk_pixbuf_loader_get_animation));
}

}  // namespace kwtest
