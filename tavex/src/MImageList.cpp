#include "tavex/MImageList.h"

#include "tavex/MRender.h"
#include "tavex/Manager.h"

namespace Tavex {

int MImageList::Add(const Image& image) {
  if (image.IsNull()) return -1;
  std::lock_guard guard(m_lock);
  m_images.push_back(image);
  return static_cast<int>(m_images.size()) - 1;
}

int MImageList::AddFile(const CString& skinRelativePath) {
  if (skinRelativePath.empty()) return -1;
  return Add(MRender::LoadImageFromFile(Manager::GetSkinFolder() + "/" + skinRelativePath));
}

Image MImageList::Get(int index) const {
  std::lock_guard guard(m_lock);
  if (index < 0 || index >= static_cast<int>(m_images.size())) return {};
  return m_images[index];
}

int MImageList::GetCount() const {
  std::lock_guard guard(m_lock);
  return static_cast<int>(m_images.size());
}

void MImageList::Clear() {
  std::lock_guard guard(m_lock);
  m_images.clear();
}

}  // namespace Tavex
