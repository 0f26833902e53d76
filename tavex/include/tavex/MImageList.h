#pragma once
// MImageList: images addressed by index, shared by list controls (the lists keep a plain
// pointer; the creator owns the image list and keeps it alive while lists use it).
// Threads: every operation locks, so lists may draw while another thread adds.
#include <mutex>
#include <vector>

#include "tavex/Geometry.h"
#include "tavex/Painter.h"

namespace Tavex {

class TAVEX_API MImageList {
 public:
  MImageList() = default;
  MImageList(const MImageList&) = delete;
  MImageList& operator=(const MImageList&) = delete;

  // Appends an image; returns its index, -1 for a null image (nothing is added).
  int Add(const Image& image);
  // Appends an image file of the skin folder; -1 when it does not load.
  int AddFile(const CString& skinRelativePath);
  // A null image for an index out of range.
  Image Get(int index) const;
  int GetCount() const;
  void Clear();

 private:
  mutable std::mutex m_lock;
  std::vector<Image> m_images;
};

}  // namespace Tavex
