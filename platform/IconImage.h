// An icon picture in memory, read from an .ico or .png file. A value type; any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

struct IconImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> argb;  // unpremultiplied 0xAARRGGBB, rows top to bottom

  // Reads the file (for an .ico the largest picture it holds); nullopt when it cannot be read
  // or decoded.
  static std::optional<IconImage> Load(const std::string& path);

  // A copy scaled to fit `size` x `size` (aspect kept, smooth filtering); *this when it fits.
  IconImage Fitted(int size) const;
};

}  // namespace platform
