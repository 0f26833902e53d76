#pragma once
// LoadingWnd: a busy indicator. A small rounded panel with a rotating arc (or the frames of an
// animated image from the skin folder) and an optional line of text, centred over its owner
// window (following it when it moves), kept above it and never taking the keyboard focus. Show
// starts the animation on the window timer kFrameTimer; Hide stops it and keeps the window for
// the next Show.
//
// Ownership: whoever holds the object (a member of the owner's dialog, typically).
// Threads: UI thread, except Hide and IsShown, which any thread may call (a worker ending the
// busy state): Hide then posts to the UI thread.
#include <atomic>
#include <vector>

#include "tavex/MWindow.h"
#include "tavex/Painter.h"

namespace Tavex {

class TAVEX_API LoadingWnd : public MWindow {
 public:
  static constexpr UINT_PTR kFrameTimer = 1;
  static constexpr unsigned kStepMs = 40;
  static constexpr int kSteps = 24;       // steps per turn of the arc
  static constexpr int kBox = 96;         // panel size without text
  static constexpr int kTextHeight = 26;  // extra height for the text line
  // Posted to the window by Hide on another thread.
  static constexpr UINT kMsgHide = WM_APP + 0x3A1;

  LoadingWnd();
  ~LoadingWnd() override;

  const char* GetWindowClassName() const override;
  LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void OnDestroyMessage(HWND hwnd) override;

  // Shows the indicator centred over `owner` (over the work area when the owner is null,
  // hidden or minimised), kept inside the work area, and starts the animation. Showing again
  // re-centres and takes the new text. False when the window cannot be made.
  bool Show(HWND owner, const CString& text = "");
  void Hide();
  bool IsShown() const { return m_shown.load(); }

  // Frames of an animated image below the skin folder ("loading.gif") instead of the drawn arc;
  // false (the arc stays) when it cannot be read or has a single frame.
  bool SetAnimation(const CString& skinFile);
  bool HasAnimation() const { return !m_frames.empty(); }

  // Animation position: the arc's step (0 .. kSteps-1) or the image frame index.
  int GetStep() const { return m_step; }
  // Advances one step (what the frame timer does) and repaints.
  void Step();
  const CString& GetText() const { return m_text; }
  // Panel size for a text.
  static CSize PanelSize(const CString& text);
  // The panel as shown at the current step.
  Surface Render() const;

 private:
  void Repaint();
  unsigned CurrentDelay() const;
  // Centred over the owner (or the work area), kept inside the work area.
  static CRect PlaceOver(HWND owner, CSize size);

  std::vector<AnimationFrame> m_frames;
  CString m_text;
  int m_step = 0;
  std::atomic<bool> m_shown{false};
  std::atomic<HWND> m_target{nullptr};
  Surface m_frame;
};

}  // namespace Tavex
