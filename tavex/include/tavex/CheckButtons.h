#pragma once
// Check box, radio button and on/off switch.
//
// Check box and radio button: a box from the state image (unchecked, unchecked hover, checked,
// checked hover side by side; 20 × 20 by default skin) left of the title. A click (press and
// release inside) toggles and sends 2 (0, 0); Space without modifiers on the focused control
// toggles and sends 7 (0, new state). Radio buttons never uncheck themselves by a click;
// checking one clears every other CRadioButton of the same parent with the same group name.
// The switch draws one of two images (or a drawn pill) and sends 2 (0, new state).
//
// SetCheck repaints only on change and sends nothing. Setters may be called from any thread.
#include <atomic>

#include "tavex/MControlFont.h"
#include "tavex/PressBehaviour.h"

namespace Tavex {

class TAVEX_API CCheckButton : public MControlFont {
 public:
  static constexpr int kBoxGap = 8;
  CCheckButton(MObject* parent, unsigned id, CRect rect, const char* title, int visible = 1,
               int enabled = 1);

  const char* GetClassNameW() const override;
  void DrawControl(Painter& painter, CRect paint) override;
  int OnCheckMouseResponse(unsigned keys, CPoint pt) override;
  int OnControlMouseMove(unsigned keys, CPoint pt) override;
  int OnControlLButtonDown(unsigned keys, CPoint pt) override;
  int OnControlLButtonUp(unsigned keys, CPoint pt) override;
  int OnControlKeyDown(unsigned key, unsigned repeat, unsigned modifiers) override;
  void OnControlMouseLeave() override;
  void SetControlEnabled(int enabled) override;

  virtual void SetCheck(int check);
  int GetCheck() const { return m_check.load(); }
  // Shortcut key (virtual-key code, 0 none) that toggles the control like Space.
  void SetShortcutKey(unsigned vk) { m_shortcut = vk; }
  // Index into the state image for the current look.
  int GetStateIndex() const;
  // Where the box goes inside the control.
  CRect GetBoxRect() const;

 protected:
  // What a click or the keyboard does: check boxes toggle, radio buttons check.
  virtual int NextCheck() const { return m_check.load() ? 0 : 1; }
  // Applies a user change; returns whether the state changed.
  bool UserSetCheck(int check);

  PressBehaviour m_press;
  std::atomic<int> m_check{0};
  unsigned m_shortcut = 0;
};

class TAVEX_API CRadioButton : public CCheckButton {
 public:
  CRadioButton(MObject* parent, unsigned id, CRect rect, const char* title, int visible = 1,
               int enabled = 1);
  const char* GetClassNameW() const override;
  void DrawControl(Painter& painter, CRect paint) override;

  void SetGroupName(const char* name);
  CString GetGroupName() const;
  void SetCheck(int check) override;
  // Clears the check of every other radio button of this parent with the same group name.
  void ResetGroupCheck();

 protected:
  int NextCheck() const override { return 1; }

 private:
  CString m_group;
};

class TAVEX_API CSwitchButton : public MControlFont {
 public:
  CSwitchButton(MObject* parent, unsigned id, CRect rect, const char* title, int visible = 1,
                int enabled = 1);
  const char* GetClassNameW() const override;
  void DrawControl(Painter& painter, CRect paint) override;
  int OnCheckMouseResponse(unsigned keys, CPoint pt) override;
  int OnControlMouseMove(unsigned keys, CPoint pt) override;
  int OnControlLButtonDown(unsigned keys, CPoint pt) override;
  int OnControlLButtonUp(unsigned keys, CPoint pt) override;
  void OnControlMouseLeave() override;

  // Images for on and off (below the skin folder); the third value is kept for callers.
  void SetImage(const char* on, const char* off, int reserved);
  void SetCheck(int check);
  int GetCheck() const { return m_check.load(); }

 private:
  PressBehaviour m_press;
  std::atomic<int> m_check{0};
  CString m_onImage;
  CString m_offImage;
};

}  // namespace Tavex
