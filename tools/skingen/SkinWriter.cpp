#include "SkinWriter.h"

#include <filesystem>
#include <system_error>

namespace skingen {

void SkinWriter::File(const std::string& relPath,
                      const std::function<bool(const std::string&)>& write) {
  const std::filesystem::path full = std::filesystem::path(root_) / relPath;
  std::error_code ec;
  std::filesystem::create_directories(full.parent_path(), ec);
  if (!ec && write(full.string()))
    written_.push_back(relPath);
  else
    failed_.push_back(relPath);
}

void SkinWriter::Png(const std::string& relPath, const Canvas& canvas) {
  File(relPath, [&canvas](const std::string& path) { return canvas.SavePng(path); });
}

Canvas StateStrip(int states, int w, int h, const std::function<void(const Canvas&, int)>& draw) {
  Canvas strip(w * states, h);
  for (int s = 0; s < states; ++s) {
    cairo_save(strip.Cr());
    cairo_rectangle(strip.Cr(), s * w, 0, w, h);
    cairo_clip(strip.Cr());
    cairo_translate(strip.Cr(), s * w, 0);
    draw(strip, s);
    cairo_restore(strip.Cr());
  }
  return strip;
}

}  // namespace skingen
