#include "tools/lightgen/FrameAnimator.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

constexpr double kPi = 3.14159265358979323846;
using FrameList = std::vector<std::vector<uint8_t>>;

uint8_t Level(double fraction) {
  return static_cast<uint8_t>(std::lround(std::clamp(fraction, 0.0, 1.0) * 255.0));
}

// Deterministic pseudo-random numbers, so that the generated file is the same on every build.
class Lcg {
public:
  explicit Lcg(uint32_t seed) : state_(seed) {}
  uint32_t Next() {
    state_ = state_ * 1664525u + 1013904223u;
    return state_ >> 8;
  }
  double Unit() { return (Next() & 0xFFFF) / 65536.0; }

private:
  uint32_t state_;
};

}  // namespace

FrameList FrameAnimator::Frames(int mode) const {
  switch (mode) {
    case 1: return Static();
    case 2: return Breathing();
    case 3: return Spectrum();
    case 4: return Wave();
    case 5: return Ripple();
    case 6: return Reactive();
    case 7: return Starlight();
    default: return {};
  }
}

FrameList FrameAnimator::Static() const {
  return FrameList(1, std::vector<uint8_t>(layout_.keys.size(), 255));
}

// Every key fades out and back in together.
FrameList FrameAnimator::Breathing() const {
  constexpr int kCount = 40;
  FrameList frames;
  for (int f = 0; f < kCount; ++f) {
    const double level = 0.5 - 0.5 * std::cos(2 * kPi * f / kCount);
    frames.emplace_back(layout_.keys.size(), Level(0.04 + 0.96 * level));
  }
  return frames;
}

// The colour cycle as the view can show it: the whole board follows the lightness of the
// passing hue (yellow bright, blue dim).
FrameList FrameAnimator::Spectrum() const {
  constexpr int kCount = 36;
  FrameList frames;
  for (int f = 0; f < kCount; ++f) {
    const double hue = 6.0 * f / kCount;
    auto channel = [hue](double offset) {
      const double d = std::fmod(hue + offset, 6.0);
      return std::clamp(std::fabs(d - 3.0) - 1.0, 0.0, 1.0);
    };
    const double luma = 0.2126 * channel(0) + 0.7152 * channel(4) + 0.0722 * channel(2);
    frames.emplace_back(layout_.keys.size(), Level(0.35 + 0.65 * luma));
  }
  return frames;
}

// A bright band travels from the left edge to the right, column by column.
FrameList FrameAnimator::Wave() const {
  constexpr int kCount = 40;
  FrameList frames;
  const double width = layout_.width;
  for (int f = 0; f < kCount; ++f) {
    std::vector<uint8_t> frame;
    for (const LayoutKey& key : layout_.keys) {
      const double phase = key.CenterX() / width - static_cast<double>(f) / kCount;
      frame.push_back(Level(0.08 + 0.92 * std::pow(0.5 + 0.5 * std::cos(2 * kPi * phase), 2)));
    }
    frames.push_back(std::move(frame));
  }
  return frames;
}

// A ring spreads from the middle of the board to its corners and fades.
FrameList FrameAnimator::Ripple() const {
  constexpr int kCount = 32;
  const double cx = layout_.width / 2.0;
  const double cy = layout_.height / 2.0;
  const double reach = std::hypot(cx, cy);
  constexpr double kRing = 70.0;  // pixels
  FrameList frames;
  for (int f = 0; f < kCount; ++f) {
    const double radius = (reach + kRing) * f / (kCount - 1);
    const double fade = 1.0 - 0.6 * f / (kCount - 1);
    std::vector<uint8_t> frame;
    for (const LayoutKey& key : layout_.keys) {
      const double d = std::hypot(key.CenterX() - cx, key.CenterY() - cy);
      const double x = (d - radius) / kRing;
      frame.push_back(Level(fade * std::exp(-x * x * 2.5)));
    }
    frames.push_back(std::move(frame));
  }
  return frames;
}

// Keys light when "pressed" and fade afterwards: the word KEYWRIGHT typed twice.
FrameList FrameAnimator::Reactive() const {
  constexpr int kCount = 54;
  constexpr int kStep = 3;      // frames between presses
  constexpr double kFade = 9;   // frames until a pressed key is dark again
  const std::string typed = "KEYWRIGHT KEYWRIGHT";
  std::vector<std::vector<int>> pressedAt(layout_.keys.size());
  for (size_t i = 0; i < typed.size(); ++i) {
    const std::string label = typed[i] == ' ' ? "Space" : std::string(1, typed[i]);
    for (size_t k = 0; k < layout_.keys.size(); ++k) {
      if (layout_.keys[k].name == label) pressedAt[k].push_back(static_cast<int>(i) * kStep);
    }
  }
  FrameList frames;
  for (int f = 0; f < kCount; ++f) {
    std::vector<uint8_t> frame;
    for (size_t k = 0; k < layout_.keys.size(); ++k) {
      double level = 0;
      for (const int at : pressedAt[k]) {
        if (f >= at) level = std::max(level, 1.0 - (f - at) / kFade);
      }
      frame.push_back(Level(level));
    }
    frames.push_back(std::move(frame));
  }
  return frames;
}

// Keys twinkle one by one at random moments on a dim board.
FrameList FrameAnimator::Starlight() const {
  constexpr int kCount = 48;
  constexpr int kTwinkle = 12;  // frames one twinkle lasts
  Lcg random(0x4B57u);
  std::vector<int> start(layout_.keys.size());
  for (int& s : start) s = static_cast<int>(random.Next() % kCount);
  FrameList frames;
  for (int f = 0; f < kCount; ++f) {
    std::vector<uint8_t> frame;
    for (size_t k = 0; k < layout_.keys.size(); ++k) {
      const int age = (f - start[k] + kCount) % kCount;
      double level = 0.06;
      if (age < kTwinkle) level += 0.94 * std::sin(kPi * age / kTwinkle);
      frame.push_back(Level(level));
    }
    frames.push_back(std::move(frame));
  }
  return frames;
}
