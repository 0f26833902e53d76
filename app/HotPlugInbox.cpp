#include "app/HotPlugInbox.h"

#include <utility>

bool HotPlugInbox::Start(Poster poster) {
  return monitor_.Start([this, poster = std::move(poster)](const platform::HotPlugNotice& notice) {
    {
      const std::lock_guard lock(mutex_);
      notices_.push_back(notice);
    }
    poster(WM_DEVICECHANGE, EventCode(notice.kind), 0);
  });
}

void HotPlugInbox::Stop() { monitor_.Stop(); }

std::vector<platform::HotPlugNotice> HotPlugInbox::Take() {
  const std::lock_guard lock(mutex_);
  std::vector<platform::HotPlugNotice> taken(notices_.begin(), notices_.end());
  notices_.clear();
  return taken;
}
