#pragma once
// Helpers for the standard control tests: a parent that records notifications and repaints,
// counting helpers over what it saw, and drawing a control alone onto a surface.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "TavexTestSupport.h"
#include "tavex/MRender.h"
#include "tavex/Manager.h"

namespace TavexTest {

inline int CountCode(const RecordingParent& p, unsigned code) {
  return static_cast<int>(std::count_if(p.notes.begin(), p.notes.end(),
                                        [&](const Notification& n) { return n.code == code; }));
}

inline const Notification* LastCode(const RecordingParent& p, unsigned code) {
  for (auto it = p.notes.rbegin(); it != p.notes.rend(); ++it) {
    if (it->code == code) return &*it;
  }
  return nullptr;
}

// A press and release at `pt` (window coordinates) through the control's input entry points.
inline void Click(Tavex::MControl& c, CPoint pt) {
  c.OnMouseMove(0, pt);
  c.OnLButtonDown(MK_LBUTTON, pt);
  c.OnLButtonUp(0, pt);
}

// The control drawn alone onto a transparent surface of w × h (window coordinates).
inline Tavex::Surface Render(Tavex::MControl& c, int w, int h) {
  Tavex::Surface s(w, h);
  {
    Tavex::Painter p(s);
    c.Draw(p, CRect(0, 0, w, h));
  }
  return s;
}

// Every channel (alpha included) within `tolerance`.
inline bool NearARGB(ARGB a, ARGB b, int tolerance = 2) {
  for (int shift = 0; shift < 32; shift += 8) {
    const int x = static_cast<int>((a >> shift) & 0xFF), y = static_cast<int>((b >> shift) & 0xFF);
    if (std::abs(x - y) > tolerance) return false;
  }
  return true;
}

inline std::string Hex(ARGB v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(v));
  return buf;
}

inline bool SamePixels(const Tavex::Surface& a, const Tavex::Surface& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y) {
    for (int x = 0; x < a.Width(); ++x) {
      if (a.Pixel(x, y) != b.Pixel(x, y)) return false;
    }
  }
  return true;
}

// A shipped skin picture as a file below the skin folder; null when the skins are not built.
inline Tavex::Image ShippedSkin(const char* name) {
  return Tavex::MRender::LoadImageFromFile(Tavex::Manager::GetSkinFolder() + name);
}

// A point of the first state (within `inside`, state coordinates) where all `states` states of
// a state image differ pairwise; (-1, -1) when there is none.
inline CPoint DistinctStatePoint(const Tavex::Image& image, int states, CRect inside) {
  const int w = image.Width() / states;
  for (int y = inside.top; y < inside.bottom; ++y) {
    for (int x = inside.left; x < inside.right; ++x) {
      bool distinct = true;
      for (int a = 0; a < states && distinct; ++a) {
        for (int b = a + 1; b < states && distinct; ++b) {
          distinct = !NearARGB(image.Pixel(a * w + x, y), image.Pixel(b * w + x, y), 8);
        }
      }
      if (distinct) return CPoint(x, y);
    }
  }
  return CPoint(-1, -1);
}

}  // namespace TavexTest
