#include "tavex/ImageCache.h"

#include <algorithm>

#include "tavex/MRender.h"
#include "tavex/Manager.h"

namespace Tavex {

RECT ImgResInfo::StateRect(int index) const {
  const int last = std::max(states, 1) - 1;
  const int i = std::clamp(index, 0, last);
  return RECT{i * width, 0, (i + 1) * width, height};
}

ImageCache::ImageCache() = default;
ImageCache::~ImageCache() = default;

ImgResInfo* ImageCache::Store(const CString& key, Image image, int states) {
  auto info = std::make_unique<ImgResInfo>();
  info->states = std::max(states, 1);
  info->width = image.Width() / info->states;
  info->height = image.Height();
  info->image = std::move(image);
  info->name = key;
  ImgResInfo* raw = info.get();
  m_entries[key] = std::move(info);
  return raw;
}

ImgResInfo* ImageCache::Add(const CString& name, int states) {
  if (name.empty()) return nullptr;
  std::lock_guard guard(m_lock);
  if (auto it = m_entries.find(name); it != m_entries.end()) return it->second.get();
  const CString folder = m_folder.empty() ? Manager::GetSkinFolder() : m_folder;
  // Names written with a doubled separator ("icon//icon_menu.png") are the same file.
  Image image = MRender::LoadImageFromFile(name.front() == '/' ? name : folder + name);
  ++m_loads;
  if (image.IsNull()) return nullptr;
  return Store(name, std::move(image), states);
}

ImgResInfo* ImageCache::Add(unsigned resourceId, const CString& type, int states) {
  const CString key = "#" + std::to_string(resourceId) + "/" + type;
  std::lock_guard guard(m_lock);
  if (auto it = m_entries.find(key); it != m_entries.end()) return it->second.get();
  Image image = MRender::LoadImageFromIDResource(resourceId, type, Manager::GetInstance());
  ++m_loads;
  if (image.IsNull()) return nullptr;
  return Store(key, std::move(image), states);
}

ImgResInfo* ImageCache::Find(const CString& name) const {
  std::lock_guard guard(m_lock);
  const auto it = m_entries.find(name);
  return it == m_entries.end() ? nullptr : it->second.get();
}

void ImageCache::Clear() {
  std::lock_guard guard(m_lock);
  for (auto& [name, info] : m_entries) m_retired.push_back(std::move(info));
  m_entries.clear();
}

std::size_t ImageCache::Size() const {
  std::lock_guard guard(m_lock);
  return m_entries.size();
}

void ImageCache::SetFolder(const CString& folder) {
  std::lock_guard guard(m_lock);
  m_folder = folder;
  if (!m_folder.empty() && m_folder.back() != '/') m_folder += '/';
}

CString ImageCache::GetFolder() const {
  std::lock_guard guard(m_lock);
  return m_folder.empty() ? Manager::GetSkinFolder() : m_folder;
}

int ImageCache::LoadCount() const {
  std::lock_guard guard(m_lock);
  return m_loads;
}

}  // namespace Tavex
