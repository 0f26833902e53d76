#pragma once
// MAirBladder: a balloon message at a point of the screen: a rounded body with the text
// (wrapped), an icon and frame colour by kind, and a pointer toward the point. The body sits on
// the side the mode asks for and flips to the opposite side when it would leave the work area;
// along the edge it is kept inside, while the pointer still aims at the point.
// Every kind except AIRBLADDER_GUIDE hides itself kHideDelayMs after it was set (window timer
// kHideTimer); a click on the balloon hides it at once. The balloon never takes the focus.
//
// A dialog shows one through MDialog::SetAirBladderMsg (its PaintManager owns the balloon).
// Ownership: whoever holds the object; the window is made on first use. Threads: UI thread.
#include "tavex/MWindow.h"
#include "tavex/Painter.h"

namespace Tavex {

enum AIRBLADDER_TYPE : int {
  AIRBLADDER_NORMAL = 0,   // text only
  AIRBLADDER_INFO = 1,
  AIRBLADDER_SUCCESS = 2,
  AIRBLADDER_WARNING = 3,
  AIRBLADDER_GUIDE = 4,    // a hint that stays until replaced, clicked or hidden
  AIRBLADDER_ERROR = 5,
};

// The side of the point the body prefers.
enum AIRBLADDER_MODE : int {
  AIRBLADDER_MODE_TOP = 0,  // above the point, pointer down
  AIRBLADDER_MODE_BOTTOM = 1,
  AIRBLADDER_MODE_LEFT = 2,
  AIRBLADDER_MODE_RIGHT = 3,
};

class TAVEX_API MAirBladder : public MWindow {
 public:
  static constexpr UINT_PTR kHideTimer = 10;
  static constexpr unsigned kHideDelayMs = 5000;
  static constexpr int kMaxTextWidth = 260;
  static constexpr int kPadding = 12;
  static constexpr int kIconSize = 18;
  static constexpr int kIconGap = 8;
  static constexpr int kTail = 9;        // pointer length
  static constexpr int kTailHalf = 8;    // half the pointer's base
  static constexpr int kRadius = 7;
  static constexpr int kFontSize = 14;

  // Where the balloon goes: window rectangle (screen), body inside it (window coordinates),
  // the side the body ended on and the pointer tip (window coordinates).
  struct Layout {
    CRect window;
    CRect body;
    AIRBLADDER_MODE side = AIRBLADDER_MODE_TOP;
    CPoint tip;
  };

  MAirBladder();
  ~MAirBladder() override;

  const char* GetWindowClassName() const override;
  LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

  // Shows `text` pointing at `anchor` (screen coordinates), owned by `owner`. While shown, the
  // same text, anchor, type and mode change nothing (the hide delay keeps running). An empty
  // text hides the balloon. False when the window cannot be made.
  bool SetMsg(const CString& text, POINT anchor, AIRBLADDER_TYPE type, AIRBLADDER_MODE mode,
              HWND owner);
  void Hide();
  bool IsShown() const { return m_shown; }
  // The delay of the automatic hide (tests and callers that want a shorter life).
  void SetHideDelay(unsigned ms) { m_hideDelay = ms; }
  unsigned GetHideDelay() const { return m_hideDelay; }

  const CString& GetText() const { return m_text; }
  POINT GetAnchor() const { return m_anchor; }
  AIRBLADDER_TYPE GetType() const { return m_type; }
  AIRBLADDER_MODE GetMode() const { return m_mode; }
  const Layout& GetLayout() const { return m_layout; }
  // How often a call placed and repainted the balloon.
  int GetShowCount() const { return m_shows; }

  // Size of the body for a text and kind (padding, icon, wrapped text).
  static CSize BodySize(const CString& text, AIRBLADDER_TYPE type);
  // Places a body of `body` size for a point inside `work` (both screen coordinates).
  static Layout Place(CSize body, POINT anchor, AIRBLADDER_MODE mode, CRect work);
  // Frame colour of a kind (ARGB).
  static ARGB TypeColour(AIRBLADDER_TYPE type);
  // Draws the balloon of `layout` (window-sized surface, transparent outside the shape).
  static Surface Render(const CString& text, AIRBLADDER_TYPE type, const Layout& layout);

 private:
  CString m_text;
  POINT m_anchor{0, 0};
  AIRBLADDER_TYPE m_type = AIRBLADDER_NORMAL;
  AIRBLADDER_MODE m_mode = AIRBLADDER_MODE_TOP;
  Layout m_layout;
  Surface m_frame;
  bool m_shown = false;
  int m_shows = 0;
  unsigned m_hideDelay = kHideDelayMs;
};

}  // namespace Tavex
