#include <algorithm>
#include <cmath>

#include "tavex/Palettes.h"

namespace Tavex {

COLORREF ColorFromHSV(double hue, double saturation, double value) {
  const double h = std::fmod(std::fmod(hue, 360.0) + 360.0, 360.0) / 60.0;
  const double s = std::clamp(saturation, 0.0, 1.0), v = std::clamp(value, 0.0, 1.0);
  const double c = v * s;
  const double x = c * (1 - std::fabs(std::fmod(h, 2.0) - 1));
  double r = 0, g = 0, b = 0;
  switch (static_cast<int>(h)) {
    case 0: r = c; g = x; break;
    case 1: r = x; g = c; break;
    case 2: g = c; b = x; break;
    case 3: g = x; b = c; break;
    case 4: r = x; b = c; break;
    default: r = c; b = x; break;
  }
  const double m = v - c;
  const auto byte = [&](double f) { return static_cast<BYTE>(std::lround((f + m) * 255.0)); };
  return RGB(byte(r), byte(g), byte(b));
}

void ColorToHSV(COLORREF colour, double* hue, double* saturation, double* value) {
  const double r = GetRValue(colour) / 255.0, g = GetGValue(colour) / 255.0,
               b = GetBValue(colour) / 255.0;
  const double mx = std::max({r, g, b}), mn = std::min({r, g, b}), d = mx - mn;
  double h = 0;
  if (d > 0) {
    if (mx == r) {
      h = 60.0 * std::fmod((g - b) / d, 6.0);
    } else if (mx == g) {
      h = 60.0 * ((b - r) / d + 2);
    } else {
      h = 60.0 * ((r - g) / d + 4);
    }
  }
  if (h < 0) h += 360.0;
  if (hue != nullptr) *hue = h;
  if (saturation != nullptr) *saturation = mx > 0 ? d / mx : 0;
  if (value != nullptr) *value = mx;
}

}  // namespace Tavex
