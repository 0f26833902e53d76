#pragma once
// ImgResInfo and ImageCache: the images of one window, loaded once per name and shared by every
// control that names them. Names are paths below the skin folder (program folder + "skins/" +
// Manager::GetTheme()), e.g. "img_edit.png" or "icon//icon_menu.png", or absolute paths;
// built-in resources are
// cached under "#<id>/<type>".
//
// Ownership: the cache owns its entries. A pointer returned by Add stays valid until the cache
// is destroyed, also across Clear (cleared entries are retired, not freed, because a control
// on the animation thread may still be drawing with one). Threads: every member is safe on any
// thread (one lock guards the map).
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "tavex/Geometry.h"
#include "tavex/Painter.h"

namespace Tavex {

struct TAVEX_API ImgResInfo {
  Image image;        // the whole picture, states side by side
  int width = 0;      // width of one state: image width / states
  int height = 0;
  int states = 1;
  CString name;
  // Source rectangle of state `index` (clamped to the last state).
  RECT StateRect(int index) const;
};

class TAVEX_API ImageCache {
 public:
  ImageCache();
  ~ImageCache();
  ImageCache(const ImageCache&) = delete;
  ImageCache& operator=(const ImageCache&) = delete;

  // The cached entry of `name`, else skin folder + name loaded now. Null (and nothing cached)
  // when the file cannot be read; a later call tries again. `states` below 1 counts as 1.
  ImgResInfo* Add(const CString& name, int states);
  // The same from a built-in resource (MRender::RegisterResource) of (id, type).
  ImgResInfo* Add(unsigned resourceId, const CString& type, int states);
  // The entry of `name` when cached, else null; loads nothing.
  ImgResInfo* Find(const CString& name) const;
  // Forgets every entry (see ownership above).
  void Clear();
  std::size_t Size() const;
  // Folder names are resolved against; the skin folder unless set (tests, tools).
  void SetFolder(const CString& folder);
  CString GetFolder() const;
  // How many files were read so far (a name is read once while cached).
  int LoadCount() const;

 private:
  ImgResInfo* Store(const CString& key, Image image, int states);

  mutable std::mutex m_lock;
  std::map<CString, std::unique_ptr<ImgResInfo>> m_entries;
  std::vector<std::unique_ptr<ImgResInfo>> m_retired;
  CString m_folder;
  int m_loads = 0;
};

}  // namespace Tavex
