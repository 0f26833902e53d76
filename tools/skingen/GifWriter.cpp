#include "GifWriter.h"

#include <cstdio>
#include <memory>

namespace skingen {
namespace {

void Put16(std::vector<uint8_t>& out, int v) {
  out.push_back(static_cast<uint8_t>(v & 0xFF));
  out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}

class BitPacker {
 public:
  void Put(unsigned code, int bits) {
    acc_ |= static_cast<uint32_t>(code) << count_;
    count_ += bits;
    while (count_ >= 8) {
      bytes_.push_back(static_cast<uint8_t>(acc_ & 0xFF));
      acc_ >>= 8;
      count_ -= 8;
    }
  }
  std::vector<uint8_t> Finish() {
    if (count_ > 0) bytes_.push_back(static_cast<uint8_t>(acc_ & 0xFF));
    acc_ = 0;
    count_ = 0;
    return std::move(bytes_);
  }

 private:
  uint32_t acc_ = 0;
  int count_ = 0;
  std::vector<uint8_t> bytes_;
};

}  // namespace

GifWriter::GifWriter(int width, int height, std::vector<Rgb8> palette)
    : width_(width), height_(height), palette_(std::move(palette)) {
  if (palette_.empty()) palette_.push_back({});
  if (palette_.size() > 256) palette_.resize(256);
}

std::vector<uint8_t> GifWriter::Compress(const std::vector<uint8_t>& indices) {
  constexpr int kMinCodeSize = 8;
  constexpr unsigned kClear = 1u << kMinCodeSize;
  constexpr unsigned kEnd = kClear + 1;
  constexpr unsigned kMaxCodes = 4096;
  // dict[prefix * 256 + byte] = code + 1 (0 = absent).
  std::vector<uint16_t> dict(kMaxCodes * 256, 0);
  BitPacker out;
  int codeSize = kMinCodeSize + 1;
  unsigned next = kEnd + 1;
  out.Put(kClear, codeSize);
  if (indices.empty()) {
    out.Put(kEnd, codeSize);
    return out.Finish();
  }
  unsigned prefix = indices[0];
  for (size_t i = 1; i < indices.size(); ++i) {
    const unsigned k = indices[i];
    const uint16_t found = dict[prefix * 256 + k];
    if (found != 0) {
      prefix = found - 1u;
      continue;
    }
    out.Put(prefix, codeSize);
    dict[prefix * 256 + k] = static_cast<uint16_t>(next + 1);
    ++next;
    // The decoder adds its entries one code later, so it widens its codes when `next` has
    // passed the current limit by one.
    if (next > (1u << codeSize) && codeSize < 12) ++codeSize;
    if (next == kMaxCodes) {
      out.Put(kClear, codeSize);
      std::fill(dict.begin(), dict.end(), 0);
      codeSize = kMinCodeSize + 1;
      next = kEnd + 1;
    }
    prefix = k;
  }
  out.Put(prefix, codeSize);
  out.Put(kEnd, codeSize);
  return out.Finish();
}

bool GifWriter::AddFrame(const std::vector<uint8_t>& indices, int delayCs) {
  if (indices.size() != static_cast<size_t>(width_) * static_cast<size_t>(height_)) return false;
  for (uint8_t v : indices)
    if (v >= palette_.size()) return false;
  std::vector<uint8_t>& out = frames_;
  // Graphic control extension: disposal "leave in place", no transparency.
  out.insert(out.end(), {0x21, 0xF9, 0x04, 0x04});
  Put16(out, delayCs);
  out.insert(out.end(), {0x00, 0x00});
  // Image descriptor covering the whole screen, no local palette.
  out.push_back(0x2C);
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, width_);
  Put16(out, height_);
  out.push_back(0x00);
  out.push_back(8);  // LZW minimum code size
  const std::vector<uint8_t> data = Compress(indices);
  for (size_t pos = 0; pos < data.size(); pos += 255) {
    const size_t n = std::min<size_t>(255, data.size() - pos);
    out.push_back(static_cast<uint8_t>(n));
    out.insert(out.end(), data.begin() + static_cast<long>(pos), data.begin() + static_cast<long>(pos + n));
  }
  out.push_back(0x00);
  return true;
}

std::vector<uint8_t> GifWriter::Bytes() const {
  std::vector<uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
  Put16(out, width_);
  Put16(out, height_);
  out.push_back(0xF7);  // global table of 256 entries, 8-bit colour resolution
  out.push_back(0x00);  // background index
  out.push_back(0x00);  // no aspect ratio
  for (size_t i = 0; i < 256; ++i) {
    const Rgb8 c = i < palette_.size() ? palette_[i] : Rgb8{};
    out.insert(out.end(), {c.r, c.g, c.b});
  }
  // Endless loop.
  const char app[] = "NETSCAPE2.0";
  out.insert(out.end(), {0x21, 0xFF, 0x0B});
  out.insert(out.end(), app, app + 11);
  out.insert(out.end(), {0x03, 0x01, 0x00, 0x00, 0x00});
  out.insert(out.end(), frames_.begin(), frames_.end());
  out.push_back(0x3B);
  return out;
}

bool GifWriter::Save(const std::string& path) const {
  const std::vector<uint8_t> bytes = Bytes();
  std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path.c_str(), "wb"), &std::fclose);
  if (!f) return false;
  return std::fwrite(bytes.data(), 1, bytes.size(), f.get()) == bytes.size();
}

}  // namespace skingen
