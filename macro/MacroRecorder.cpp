#include "macro/MacroRecorder.h"

#include <algorithm>

#include "docs/KeyTables.h"
#include "macro/MacroBlock.h"

namespace {

constexpr uint32_t kRightWin = 0x5C;
constexpr const char* kRawRightWinName = "R_Win";

struct Button {
  unsigned x11;
  uint32_t vk;
  const char* name;
};
constexpr Button kButtons[] = {
    {1, 0x01, "mouse_left"},    {2, 0x04, "mouse_middle"},  {3, 0x02, "mouse_right"},
    {8, 0x05, "mouse_button4"}, {9, 0x06, "mouse_button5"},
};

RecordedInput Key(uint32_t vk, bool release) {
  RecordedInput input;
  input.kind = RecordedInput::Keyboard;
  input.release = release;
  input.code = RecordedVirtualKey(vk);
  input.name = VirtualKeyToDisplayName(vk, KeyNameVariant::MacroRecord);
  return input;
}

}  // namespace

RecordedInput MacroRecorder::FromGrab(uint32_t vk, bool release) { return Key(vk, release); }

RecordedInput MacroRecorder::FromRawKey(uint32_t vk, bool release) {
  RecordedInput input = Key(vk, release);
  if (input.code == kRightWin) input.name = kRawRightWinName;
  return input;
}

RecordedInput MacroRecorder::FromRawButton(unsigned button, bool release) {
  RecordedInput input;
  for (const Button& b : kButtons) {
    if (b.x11 != button) continue;
    input.kind = RecordedInput::Mouse;
    input.release = release;
    input.code = b.vk;
    input.name = b.name;
  }
  return input;
}

void MacroRecorder::Start(int records, int delayMode, int fixedDelay) {
  recording_ = true;
  records_ = records;
  delayMode_ = (delayMode >= Recorded && delayMode <= Fixed) ? delayMode : Recorded;
  fixedDelay_ = fixedDelay;
  previous_.reset();
  held_.clear();
}

void MacroRecorder::Stop() {
  recording_ = false;
  previous_.reset();
  held_.clear();
}

std::optional<RecordedStep> MacroRecorder::Add(const RecordedInput& input) {
  if (!recording_ || input.kind != RecordedInput::Keyboard || input.code == 0) return std::nullopt;
  // The held-key set tells the repeats of a held key from a new press.
  if (input.release) {
    held_.erase(input.code);
  } else if (!held_.insert(input.code).second) {
    return std::nullopt;
  }
  const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(clock_.Now());
  int measured = 0;
  if (previous_) {
    const auto elapsed = (now - *previous_).count();
    measured = (elapsed < 0 || elapsed > kMacroMaxDelayMs) ? kMacroMaxDelayMs
                                                           : static_cast<int>(elapsed);
  }
  previous_ = now;

  RecordedStep step;
  if (delayMode_ == Recorded) step.previousDelay = measured;
  if (delayMode_ == Fixed) step.previousDelay = fixedDelay_;
  step.name = input.name;
  step.type = input.release ? kMacroEventRelease : kMacroEventPress;
  step.code = input.code;
  step.limitReached = ++records_ >= kMacroMaxEvents;
  return step;
}
