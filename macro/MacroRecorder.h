#pragma once
// The recorder's bookkeeping, apart from where the keys come from: names the keys of both input
// paths, tells auto-repeat from a new press through the set of held keys, measures the pause
// since the previous event on an injected clock and decides what the record list gets.
//
// A value owned by the macro page; not synchronised: one thread (the UI thread) feeds it.
#include <chrono>
#include <cstdint>
#include <optional>
#include <set>
#include <string>

#include "platform/Clock.h"

// One key or button as an input path saw it.
struct RecordedInput {
  enum Kind { Ignore = 0, Mouse = 1, Keyboard = 2, Other = 3 };
  Kind kind = Ignore;
  bool release = false;
  uint32_t code = 0;  // virtual-key code (buttons: VK_LBUTTON ...); 0 for none
  std::string name;

  // Whether the input names a key or button the record list can hold.
  bool Named() const { return !name.empty() && code != 0; }
};

// What one input adds to the record list.
struct RecordedStep {
  int previousDelay = 0;  // set on the last row before appending, when not 0
  std::string name;
  int type = 0;           // 2 press, 3 release
  uint32_t code = 0;
  bool limitReached = false;  // the macro is full: stop recording
};

class MacroRecorder {
 public:
  enum DelayMode { Recorded = 1, NoDelay = 2, Fixed = 3 };

  explicit MacroRecorder(platform::Clock& clock) : clock_(clock) {}

  // A key of the system-wide grab, with left and right modifiers told apart ("RWin").
  static RecordedInput FromGrab(uint32_t vk, bool release);
  // A key of the raw input path (field 91): generic modifiers count as the left ones ("R_Win").
  static RecordedInput FromRawKey(uint32_t vk, bool release);
  // A pointer button of the raw input path (X numbering: 1 left, 2 middle, 3 right, 8 and 9
  // the side buttons); kind Ignore and no name for the wheel and other buttons.
  static RecordedInput FromRawButton(unsigned button, bool release);

  // Starts a recording of a macro that has `records` events already.
  void Start(int records, int delayMode, int fixedDelay);
  void Stop();
  bool Recording() const { return recording_; }
  int Records() const { return records_; }

  // The step for one grabbed key; nothing for auto-repeat, buttons and ignored input.
  std::optional<RecordedStep> Add(const RecordedInput& input);

 private:
  platform::Clock& clock_;
  bool recording_ = false;
  int records_ = 0;
  int delayMode_ = Recorded;
  int fixedDelay_ = 0;
  std::optional<std::chrono::milliseconds> previous_;
  std::set<uint32_t> held_;
};
