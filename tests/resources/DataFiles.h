#pragma once
// Helpers of the shipped-data tests: where things are, the two lists kept in this folder, and
// image loading through gdk-pixbuf (the loader the UI library uses).
#include <gdk-pixbuf/gdk-pixbuf.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace kwtest {

// The folder of the running test binary (bin/, beside the generated data).
std::filesystem::path ProgramFolder();
std::filesystem::path SourceFolder();
std::string ReadFile(const std::filesystem::path& path);

struct TextNumber {
  int number = 0;
  std::string origin;  // named, extra or layout
  std::string role;
};
std::vector<TextNumber> ReadTextNumbers();

struct SkinImage {
  std::string path;  // below skins/theme1/, with "/"
  int states = 1;
  int stateWidth = 0;   // 0 = any
  int stateHeight = 0;  // 0 = any
};
std::vector<SkinImage> ReadSkinImages();

// The shipped layout files (resources/layouts/*.xml of the source tree), sorted.
std::vector<std::filesystem::path> LayoutFiles();
// Lighting mode names (language text numbers) of a layout file, in file order.
std::vector<int> LayoutModeNames(const std::string& xml);

struct PixbufFree {
  void operator()(void* p) const { if (p) g_object_unref(p); }
};
using Pixbuf = std::unique_ptr<GdkPixbuf, PixbufFree>;
using PixbufAnimation = std::unique_ptr<GdkPixbufAnimation, PixbufFree>;
Pixbuf LoadPixbuf(const std::filesystem::path& path);
Pixbuf LoadPixbufFromBytes(const std::vector<uint8_t>& bytes);
PixbufAnimation LoadAnimationFromBytes(const std::vector<uint8_t>& bytes);

}  // namespace kwtest
