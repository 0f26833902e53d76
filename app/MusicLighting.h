#pragma once
// The lighting page's music controls and the capture behind them: the effect list, the gain
// slider and the interval list set the level stream, and the capture thread, started with the
// window and stopped at its shutdown, feeds it one packet per interval. Levels reach the keyboard
// only while the page shows a music mode (SetShown).
//
// Ownership: owned by the lighting controller; the sender is borrowed and must outlive it.
// Threads: every member on the UI thread, except SetShown and SetDeviceIndex (any thread); the
// data callback runs on the capture thread.
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "features/MusicLevelStream.h"
#include "platform/AudioCapture.h"

namespace Tavex {
class KeyboardCtrl;
class MComboBox;
class MSlider;
}  // namespace Tavex

class MusicLighting {
 public:
  // Gain = slider position / kGainDivisor.
  static constexpr float kGainDivisor = 50.0F;

  explicit MusicLighting(KeyboardCommands& commands);
  ~MusicLighting();
  MusicLighting(const MusicLighting&) = delete;
  MusicLighting& operator=(const MusicLighting&) = delete;

  // The page's controls, once they exist (UI thread, before the capture starts).
  void Attach(Tavex::KeyboardCtrl* view, Tavex::MComboBox* effects, Tavex::MSlider* gain,
              Tavex::MComboBox* intervals);
  void StartCapture() { capture_.Start(); }
  void StopCapture() { capture_.Stop(); }

  // A notification of one of the music controls; true when taken.
  bool OnMessage(unsigned id, unsigned code);
  // Reads the effect, gain and interval from the controls.
  void ReadControls();
  // The page shows a music mode now (or no longer).
  void SetShown(bool shown) {
    stream_.SetActive(shown);
    capture_.SetWanted(shown);
  }
  bool Shown() const { return stream_.Active(); }
  void SetDeviceIndex(int index) { stream_.SetDeviceIndex(index); }

  const MusicLevelStream& Stream() const { return stream_; }
  const platform::AudioCapture& Capture() const { return capture_; }

 private:
  void OnAudioData(const int16_t* units, std::size_t count, int blockSize, int bits,
                   int channels);

  MusicLevelStream stream_;
  platform::AudioCapture::Proxy<MusicLighting> proxy_;
  platform::AudioCapture capture_;
  std::atomic<Tavex::KeyboardCtrl*> view_{nullptr};
  Tavex::MComboBox* effects_ = nullptr;
  Tavex::MSlider* gain_ = nullptr;
  Tavex::MComboBox* intervals_ = nullptr;
};
