#include "SkinImage.h"

#include <algorithm>
#include <map>
#include <mutex>

#include "tavex/MRender.h"
#include "tavex/Manager.h"

namespace Tavex::Skin {

namespace {

struct Cache {
  std::mutex lock;
  std::map<CString, Image> images;
  CString folder;
};

Cache& TheCache() {
  static Cache cache;
  return cache;
}

}  // namespace

Image Load(const CString& name) {
  if (name.empty()) return {};
  Cache& c = TheCache();
  CString path;
  {
    std::lock_guard guard(c.lock);
    auto it = c.images.find(name);
    if (it != c.images.end()) return it->second;
    const CString folder = c.folder.empty() ? Manager::GetSkinFolder() : c.folder;
    path = name.front() == '/' ? name : folder + name;
  }
  Image image = MRender::LoadImageFromFile(path);
  if (image.IsNull()) return {};
  std::lock_guard guard(c.lock);
  return c.images.emplace(name, image).first->second;
}

void SetFolder(const CString& folder) {
  Cache& c = TheCache();
  std::lock_guard guard(c.lock);
  c.folder = folder.empty() || folder.back() == '/' ? folder : folder + "/";
  c.images.clear();
}

RECT StateRect(const Image& image, int states, int index) {
  const int n = std::max(1, states);
  const int w = image.Width() / n;
  const int i = std::clamp(index, 0, n - 1);
  return RECT{i * w, 0, (i + 1) * w, image.Height()};
}

void DrawState(Painter& painter, const Image& image, int states, int index, const RECT& dst) {
  if (image.IsNull()) return;
  painter.DrawImage(image, dst, StateRect(image, states, index));
}

void DrawStateFrame(Painter& painter, const Image& image, int states, int index, const CRect& dst,
                    int corner) {
  if (image.IsNull()) return;
  const RECT s = StateRect(image, states, index);
  MRender::DrawImageFrame(painter, image, dst, s.left, s.top, s.right - s.left, s.bottom - s.top,
                          corner);
}

}  // namespace Tavex::Skin
