#include "app/MusicLighting.h"

#include "app/WindowIds.h"
#include "tavex/Codes.h"
#include "tavex/KeyboardCtrl.h"
#include "tavex/MComboBox.h"
#include "tavex/Sliders.h"

namespace Notify = Tavex::Notify;

MusicLighting::MusicLighting(KeyboardCommands& commands)
    : stream_(commands),
      proxy_(*this, nullptr, &MusicLighting::OnAudioData, nullptr),
      capture_(proxy_) {
  capture_.SetWanted(false);  // until the page shows a music mode
}

MusicLighting::~MusicLighting() { capture_.Stop(); }

void MusicLighting::Attach(Tavex::KeyboardCtrl* view, Tavex::MComboBox* effects,
                           Tavex::MSlider* gain, Tavex::MComboBox* intervals) {
  view_.store(view);
  effects_ = effects;
  gain_ = gain;
  intervals_ = intervals;
}

bool MusicLighting::OnMessage(unsigned id, unsigned code) {
  if (id != ids::kMusicChoice && id != ids::kGainSlider && id != ids::kMusicInterval) return false;
  if (code == Notify::Click) ReadControls();
  return true;
}

void MusicLighting::ReadControls() {
  if (effects_ != nullptr && effects_->GetCurSel() >= 0)
    stream_.SetEffect(static_cast<int32_t>(effects_->GetItemData(effects_->GetCurSel())));
  if (gain_ != nullptr) stream_.SetGain(static_cast<float>(gain_->GetProgress()) / kGainDivisor);
  if (intervals_ != nullptr && intervals_->GetCurSel() >= 0) {
    const long interval = intervals_->GetItemData(intervals_->GetCurSel());
    if (interval != 0) capture_.SetInterval(static_cast<int>(interval));
  }
}

void MusicLighting::OnAudioData(const int16_t* units, std::size_t count, int, int, int) {
  if (stream_.OnPacket(units, count) < 0) return;
  // The keyboard shows the effect; the view only goes dark while the stream runs.
  if (Tavex::KeyboardCtrl* view = view_.load()) view->ResetAllItemsColor(0);
}
