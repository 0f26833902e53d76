#include "IcoWriter.h"

#include <cstdio>
#include <memory>

namespace skingen {
namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v & 0xFF));
  out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// BITMAPINFOHEADER (height doubled for the AND mask), BGRA rows bottom-up, then an all-zero
// 1-bit AND mask (the alpha channel decides).
std::vector<uint8_t> Dib(const IcoImage& img) {
  const uint32_t n = static_cast<uint32_t>(img.size);
  const uint32_t maskStride = ((n + 31) / 32) * 4;
  std::vector<uint8_t> out;
  Put32(out, 40);
  Put32(out, n);
  Put32(out, 2 * n);
  Put16(out, 1);
  Put16(out, 32);
  Put32(out, 0);
  Put32(out, n * n * 4 + maskStride * n);
  for (int i = 0; i < 4; ++i) Put32(out, 0);
  for (uint32_t row = 0; row < n; ++row) {
    const uint8_t* src = img.rgba.data() + (n - 1 - row) * n * 4;
    for (uint32_t x = 0; x < n; ++x) {
      out.push_back(src[x * 4 + 2]);
      out.push_back(src[x * 4 + 1]);
      out.push_back(src[x * 4 + 0]);
      out.push_back(src[x * 4 + 3]);
    }
  }
  out.insert(out.end(), static_cast<size_t>(maskStride) * n, 0);
  return out;
}

}  // namespace

std::vector<uint8_t> BuildIco(const std::vector<IcoImage>& images) {
  std::vector<std::vector<uint8_t>> dibs;
  for (const IcoImage& img : images) {
    if (img.size < 1 || img.size > 256 ||
        img.rgba.size() != static_cast<size_t>(img.size) * static_cast<size_t>(img.size) * 4)
      return {};
    dibs.push_back(Dib(img));
  }
  std::vector<uint8_t> out;
  Put16(out, 0);  // reserved
  Put16(out, 1);  // type: icon
  Put16(out, static_cast<uint32_t>(images.size()));
  uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    const uint8_t edge = images[i].size >= 256 ? 0 : static_cast<uint8_t>(images[i].size);  // 0 = 256
    out.push_back(edge);
    out.push_back(edge);
    out.push_back(0);  // no palette
    out.push_back(0);  // reserved
    Put16(out, 1);     // planes
    Put16(out, 32);    // bits per pixel
    Put32(out, static_cast<uint32_t>(dibs[i].size()));
    Put32(out, offset);
    offset += static_cast<uint32_t>(dibs[i].size());
  }
  for (const auto& dib : dibs) out.insert(out.end(), dib.begin(), dib.end());
  return out;
}

bool SaveIco(const std::string& path, const std::vector<IcoImage>& images) {
  const std::vector<uint8_t> bytes = BuildIco(images);
  if (bytes.empty()) return false;
  std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path.c_str(), "wb"), &std::fclose);
  if (!f) return false;
  return std::fwrite(bytes.data(), 1, bytes.size(), f.get()) == bytes.size();
}

}  // namespace skingen
