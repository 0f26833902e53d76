#pragma once
// Preview animations of the lighting modes: for a mode number, the frames of key brightness
// (0-255, one byte per key in layout order) that the keyboard view plays on the lighting page.
// The effects follow what the keyboard shows for each mode number.
#include <cstdint>
#include <vector>

#include "tools/lightgen/LayoutModel.h"

class FrameAnimator {
public:
  explicit FrameAnimator(const LayoutModel& layout) : layout_(layout) {}

  // One vector per frame, each as long as the key list; empty for an unknown mode number.
  std::vector<std::vector<uint8_t>> Frames(int mode) const;

private:
  std::vector<std::vector<uint8_t>> Static() const;
  std::vector<std::vector<uint8_t>> Breathing() const;
  std::vector<std::vector<uint8_t>> Spectrum() const;
  std::vector<std::vector<uint8_t>> Wave() const;
  std::vector<std::vector<uint8_t>> Ripple() const;
  std::vector<std::vector<uint8_t>> Reactive() const;
  std::vector<std::vector<uint8_t>> Starlight() const;

  const LayoutModel& layout_;
};
