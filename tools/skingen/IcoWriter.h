#pragma once
// Writes a Windows icon file with 32-bit uncompressed (DIB) images. gdk-pixbuf, which loads the
// tray and window icon, refuses PNG-compressed icon entries, so every size is stored as DIB.
#include <cstdint>
#include <string>
#include <vector>

namespace skingen {

struct IcoImage {
  int size = 0;                 // square edge in pixels, 1 to 256
  std::vector<uint8_t> rgba;    // size × size straight (not premultiplied) RGBA, top row first
};

// Empty result when an image's pixel count does not match its size.
std::vector<uint8_t> BuildIco(const std::vector<IcoImage>& images);
bool SaveIco(const std::string& path, const std::vector<IcoImage>& images);

}  // namespace skingen
