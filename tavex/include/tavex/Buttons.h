#pragma once
// Push buttons. Every kind shares PressBehaviour: notification 1 on a press inside, 2 on a
// release inside after a press inside; a release outside only restores the normal look.
// The state image holds normal, hover, pressed and disabled side by side; a state image whose
// state size differs from the button is drawn as a nine-part frame (6-pixel corners). Without
// an image the button draws a flat dark face.
//
// Ownership and threads as MControl: the library owns the controls; setters may be called from
// any thread (data lock + posted repaint) and repaint only when the value changed.
#include <cstdint>

#include "tavex/MControlFont.h"
#include "tavex/PressBehaviour.h"

namespace Tavex {

class TAVEX_API MButton : public MControlFont {
 public:
  MButton(MObject* parent, unsigned id, CRect rect, const char* title, int visible = 1,
          int enabled = 1);

  const char* GetClassNameW() const override;
  void DrawControl(Painter& painter, CRect paint) override;
  int OnCheckMouseResponse(unsigned keys, CPoint pt) override;
  int OnControlMouseMove(unsigned keys, CPoint pt) override;
  int OnControlLButtonDown(unsigned keys, CPoint pt) override;
  int OnControlLButtonUp(unsigned keys, CPoint pt) override;
  void OnControlMouseLeave() override;
  void SetControlEnabled(int enabled) override;

  // The look drawn now (normal, hover, pressed, disabled): the state image index.
  PressBehaviour::Look GetLook() const;
  // Whether the title is drawn (CImageButton draws none).
  void SetDrawTitle(int on) { Assign(m_drawTitle, on ? 1 : 0); }

 protected:
  // The face (state image or flat fill) of `look`.
  void DrawFace(Painter& painter, const CRect& r, PressBehaviour::Look look);
  // The title inside `r` with the control's font, alignment and colour.
  void DrawTitle(Painter& painter, const CRect& r, PressBehaviour::Look look);

  PressBehaviour m_press;
  int m_drawTitle = 1;
};

// Image-only push button.
class TAVEX_API CImageButton : public MButton {
 public:
  CImageButton(MObject* parent, unsigned id, CRect rect, int visible = 1, int enabled = 1);
  const char* GetClassNameW() const override;
};

// Text-only push button: no face; the title turns to the accent colour under the pointer.
class TAVEX_API CTextButton : public MButton {
 public:
  CTextButton(MObject* parent, unsigned id, CRect rect, const char* title, int visible = 1,
              int enabled = 1);
  const char* GetClassNameW() const override;
  void DrawControl(Painter& painter, CRect paint) override;
  void SetHoverColor(std::uint32_t argb) { Assign(m_hoverColor, argb); }

 private:
  std::uint32_t m_hoverColor;
};

// Button with an icon (a single picture below the skin folder) left of its title.
class TAVEX_API CIconButton : public MButton {
 public:
  CIconButton(MObject* parent, unsigned id, CRect rect, const char* title, int visible = 1,
              int enabled = 1);
  const char* GetClassNameW() const override;
  void DrawControl(Painter& painter, CRect paint) override;
  void SetIcon(const char* file);
  CString GetIcon() const;

 private:
  CString m_icon;
};

// Round help button with a question mark (or its state image when one is set).
class TAVEX_API CHelpButton : public MButton {
 public:
  CHelpButton(MObject* parent, unsigned id, CRect rect, const char* title, int visible = 1,
              int enabled = 1);
  const char* GetClassNameW() const override;
  void DrawControl(Painter& painter, CRect paint) override;
};

// Push button that keeps sending 2 from its control timer while it is held inside (after a
// first delay), besides the ordinary 1 and 2.
class TAVEX_API CTimerButton : public MButton {
 public:
  static constexpr unsigned kTimerKey = 1;
  CTimerButton(MObject* parent, unsigned id, CRect rect, const char* title, int visible = 1,
               int enabled = 1);
  const char* GetClassNameW() const override;
  int OnControlLButtonDown(unsigned keys, CPoint pt) override;
  int OnControlLButtonUp(unsigned keys, CPoint pt) override;
  int OnControlTimerKey(unsigned key) override;
  // Repeat interval in ms (the first repeat waits twice as long).
  void SetInterval(unsigned ms) { m_interval = ms == 0 ? 1 : ms; }
  unsigned GetInterval() const { return m_interval; }

 private:
  unsigned m_interval = 100;
  int m_repeating = 0;
};

// Download button: a push button with a download arrow left of its title.
class TAVEX_API DownloadButton : public MButton {
 public:
  DownloadButton(MObject* parent, unsigned id, CRect rect, const char* title, int visible = 1,
                 int enabled = 1);
  const char* GetClassNameW() const override;
  void DrawControl(Painter& painter, CRect paint) override;
};

// Push button with an update badge: while the status is non-zero a red 16 × 16 circle with
// "1" sits in its top-right corner.
class TAVEX_API UpgradeButton : public MButton {
 public:
  static constexpr int kBadgeSize = 16;
  static constexpr std::uint32_t kBadgeColor = 0xFFFF0000;
  UpgradeButton(MObject* parent, unsigned id, CRect rect, const char* title, int visible = 1,
                int enabled = 1);
  const char* GetClassNameW() const override;
  void DrawControl(Painter& painter, CRect paint) override;
  void SetUpgradeStatus(int status);
  int GetUpgradeStatus() const { return m_status.load(); }
  // Where the badge goes (inside the top-right corner).
  CRect GetBadgeRect() const;

 private:
  std::atomic<int> m_status{0};
};

// Colour swatch button.
class TAVEX_API CColorButton : public MButton {
 public:
  CColorButton(MObject* parent, unsigned id, CRect rect, const char* title, int visible = 1,
               int enabled = 1);
  const char* GetClassNameW() const override;
  void DrawControl(Painter& painter, CRect paint) override;
  // ARGB swatch colour.
  void SetColor(std::uint32_t argb) { Assign(m_color, argb); }
  std::uint32_t GetColor() const;

 private:
  std::uint32_t m_color = 0xFFCA5100;
};

}  // namespace Tavex
