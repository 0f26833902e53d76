#pragma once
// A minimal GIF89a encoder: one global palette of up to 256 colours, full-size frames of palette
// indices, a fixed frame delay and an endless loop. gdk-pixbuf reads GIF but cannot write it.
#include <cstdint>
#include <string>
#include <vector>

namespace skingen {

struct Rgb8 {
  uint8_t r = 0, g = 0, b = 0;
};

class GifWriter {
 public:
  GifWriter(int width, int height, std::vector<Rgb8> palette);

  // Appends one frame: width × height palette indices, row by row; `delayCs` in 1/100 s.
  // Returns false when the frame has the wrong size or an index outside the palette.
  bool AddFrame(const std::vector<uint8_t>& indices, int delayCs);
  // The whole file; an animation with no frames is still a valid (empty) GIF.
  std::vector<uint8_t> Bytes() const;
  bool Save(const std::string& path) const;

  // The LZW code stream of GIF for `indices` with a minimum code size of 8, packed LSB first
  // (without the sub-block framing). Exposed for tests.
  static std::vector<uint8_t> Compress(const std::vector<uint8_t>& indices);

 private:
  int width_;
  int height_;
  std::vector<Rgb8> palette_;
  std::vector<uint8_t> frames_;  // encoded frame blocks, concatenated
};

}  // namespace skingen
