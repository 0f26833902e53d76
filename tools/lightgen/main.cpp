// kw-lightgen LAYOUT OUTPUT: writes the light-frame database with the preview animation of
// every lighting mode of LAYOUT that is neither the custom per-key mode nor the music mode.
// Fails (exit 1) when such a mode has no animation, so a new mode cannot ship without one.
#include <cstdio>
#include <string>

#include "tools/lightgen/FrameAnimator.h"
#include "tools/lightgen/FrameDatabase.h"
#include "tools/lightgen/LayoutModel.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: kw-lightgen LAYOUT.xml OUTPUT.data\n");
    return 2;
  }
  std::string error;
  LayoutModel layout;
  if (!layout.Load(argv[1], &error)) {
    std::fprintf(stderr, "kw-lightgen: %s\n", error.c_str());
    return 1;
  }
  std::vector<uint32_t> codes;
  for (const LayoutKey& key : layout.keys) codes.push_back(key.code);

  const std::string output = argv[2];
  const std::string partial = output + ".partial";
  FrameDatabase database;
  if (!database.Create(partial, &error)) {
    std::fprintf(stderr, "kw-lightgen: %s\n", error.c_str());
    return 1;
  }
  const FrameAnimator animator(layout);
  size_t rows = 0;
  for (const LayoutMode& mode : layout.modes) {
    if (mode.attribute & (0x100 | 0x200)) continue;  // custom and music modes have no preview
    const auto frames = animator.Frames(mode.mode);
    if (frames.empty()) {
      std::fprintf(stderr, "kw-lightgen: no animation for mode %d\n", mode.mode);
      return 1;
    }
    if (!database.AddFrames(mode.mode, codes, frames, &error)) {
      std::fprintf(stderr, "kw-lightgen: mode %d: %s\n", mode.mode, error.c_str());
      return 1;
    }
    rows += frames.size() * codes.size();
  }
  if (!database.Finish(&error) || std::rename(partial.c_str(), output.c_str()) != 0) {
    std::fprintf(stderr, "kw-lightgen: %s\n", error.empty() ? "cannot write output" : error.c_str());
    std::remove(partial.c_str());
    return 1;
  }
  std::printf("kw-lightgen: %zu keys, %zu frame rows\n", codes.size(), rows);
  return 0;
}
