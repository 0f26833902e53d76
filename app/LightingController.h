#pragma once
// The lighting page: the mode list of the chosen keyboard with brightness and speed, the custom
// per-key slots with their editing period, the animated preview of the other modes and the
// music mode (MusicLighting). Sends the lighting mode as worker task 7, builds the page as its
// share of task 5, and holds task 8 (upload of custom slot 0), which nothing queues.
//
// Ownership: made and owned by the main window through MakePageControllers; keeps the host for
// its life. Threads: UI thread except ReloadForKeyboard and the task work (worker); the state
// both read is atomic, the controls are the library's thread-safe setters.
#include <atomic>
#include <cstdint>

#include "app/MusicLighting.h"
#include "app/PageController.h"
#include "store/StoreRecords.h"

class PageHost;
namespace Tavex {
class DListBox;
class KeyboardCtrl;
class MButton;
class MComboBox;
class MControl;
class MSlider;
}  // namespace Tavex

class LightingController : public PageController {
 public:
  // Language texts of the edit button.
  static constexpr int kEditText = 87;
  static constexpr int kDoneText = 88;
  // Posted by other pages (profile key reset, factory reset): shows the first custom slot and,
  // when the slot changes, tells the keyboard as a slot choice would.
  static constexpr UINT kMsgFirstCustomSlot = WM_APP + 0x1A0;

  explicit LightingController(PageHost& host);
  ~LightingController() override;

  bool OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
  bool OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void ReloadForKeyboard(const CurrentKeyboard& keyboard) override;
  void OnPageChanged(int left, int shown) override;
  void OnTextsChanged() override;
  void OnShutdown() override;

 private:
  struct Controls {
    Tavex::DListBox* modes = nullptr;
    Tavex::KeyboardCtrl* view = nullptr;
    Tavex::MControl* brightnessLabel = nullptr;
    Tavex::MSlider* brightness = nullptr;
    Tavex::MControl* speedLabel = nullptr;
    Tavex::MSlider* speed = nullptr;
    Tavex::MComboBox* slots = nullptr;
    Tavex::MButton* edit = nullptr;
    Tavex::MControl* musicControls[6] = {};
  };

  // Finds the page's controls once they exist (UI thread; before any worker task touches them).
  bool FindControls();

  void BuildLightingPage(const CurrentKeyboard& keyboard);
  void ShowLightMode();
  void SelectLightMode(int row);
  void SetBrightness();
  void SetSpeed();
  void SendLightMode();
  void ShowCustomSlot();
  void ToggleCustomEdit();
  void CustomKeyClicked(uint32_t keyCode);
  void SelectCustomSlot();
  void SelectFirstCustomSlot();
  void EndCustomEdit();
  void ShowPreviewFrames(int32_t mode);
  void UploadCustomSlot();

  // The row of the current mode; false when it cannot be read.
  bool CurrentRow(LightRecord& row) const;
  // Brightness or speed slider moved: store it, send it unless a task is pending.
  void StoreSlider(bool brightness);
  void HideModeControls();
  void SetEditing(bool editing);
  void ShowSlotColours();
  void UpdateMusicShown();
  int DeviceIndex() const;

  PageHost& host_;
  Controls c_;
  bool found_ = false;
  MusicLighting music_;
  std::atomic<int32_t> mode_{0};
  std::atomic<int32_t> options_{0};
  std::atomic<int32_t> slot_{0};
  std::atomic<bool> editing_{false};
  std::atomic<bool> pageShown_{false};
};
