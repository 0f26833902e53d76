#pragma once
// Overlay: the message and progress box a window shows over its controls, with its timing.
//   SetMessage: fully visible for 3 s (timer 66), then fades by 10 alpha every 50 ms (timer 88)
//   until it would fall below 20 (about 1.2 s).
//   SetProgress: jumps when the step is below 6, else climbs by 2 every 10 ms (timer 99);
//   at 100 the fade starts.
// The overlay owns no timers itself: it asks its host to start and stop them by number and is
// told when one fires (OnTimer), so that a window runs them as window timers and a test runs
// them on its own clock. Repaint requests go to the host as well.
//
// Threads: the UI thread (window timers fire there). Setters called from another thread are
// the host's business to forward.
#include <cstdint>

#include "tavex/Geometry.h"
#include "tavex/Painter.h"

namespace Tavex {

enum MsgLevel : int {
  MsgLevelInfo = 0,
  MsgLevelSuccess = 1,
  MsgLevelWarning = 2,
  MsgLevelError = 3,
};

class TAVEX_API OverlayHost {
 public:
  virtual ~OverlayHost() = default;
  virtual void StartOverlayTimer(unsigned id, unsigned ms) = 0;
  virtual void StopOverlayTimer(unsigned id) = 0;
  // Repaint `rect`; an empty rectangle means the whole window.
  virtual void RepaintOverlay(CRect rect) = 0;
  virtual CRect OverlayClientRect() const = 0;
};

class TAVEX_API Overlay {
 public:
  static constexpr unsigned kTimerMessage = 66;
  static constexpr unsigned kTimerFade = 88;
  static constexpr unsigned kTimerProgress = 99;
  static constexpr unsigned kMessageMs = 3000;
  static constexpr unsigned kFadeMs = 50;
  static constexpr unsigned kProgressMs = 10;

  explicit Overlay(OverlayHost& host);

  // `layered`: repaints cover the whole window.
  void SetLayered(bool layered) { m_layered = layered; }
  void SetMessage(const CString& text, CRect rect, MsgLevel level);
  void SetProgress(int percent, const CString& text, CRect rect);
  // A timer of the overlay fired; false when the id is not one of its timers.
  bool OnTimer(unsigned id);

  // Whether Draw would draw anything (alpha above 10 and a text).
  bool IsShown() const;
  void Draw(Painter& painter) const;

  int GetAlpha() const { return m_alpha; }
  int GetShownProgress() const { return m_shown; }
  int GetTargetProgress() const { return m_target; }
  const CString& GetText() const { return m_text; }
  MsgLevel GetLevel() const { return m_level; }
  CRect GetRect() const { return m_rect; }
  const CString& GetFontFamily() const { return m_font; }

 private:
  void Repaint();
  void StartFade();

  OverlayHost& m_host;
  CString m_text;
  MsgLevel m_level = MsgLevelInfo;
  int m_alpha = 0;
  int m_shown = 0;
  int m_target = 0;
  CRect m_rect;
  CString m_font = "Open Sans Semibold";
  bool m_layered = false;
};

}  // namespace Tavex
