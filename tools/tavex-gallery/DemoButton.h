#pragma once
// A small push button of the gallery itself (the library's button classes come later): it uses
// the library's shared press behaviour and reports focus and keys through a callback.
#include <functional>
#include <string>

#include "tavex/MControlFont.h"

namespace Gallery {

class DemoButton : public Tavex::MControlFont {
 public:
  using Log = std::function<void(const std::string&)>;

  DemoButton(Tavex::MObject* parent, unsigned id, Tavex::CRect rect, const char* title, Log log);

  const char* GetClassNameW() const override;
  void DrawControl(Tavex::Painter& painter, Tavex::CRect paint) override;
  int OnCheckMouseResponse(unsigned keys, Tavex::CPoint pt) override;
  int OnControlMouseMove(unsigned keys, Tavex::CPoint pt) override;
  int OnControlLButtonDown(unsigned keys, Tavex::CPoint pt) override;
  int OnControlLButtonUp(unsigned keys, Tavex::CPoint pt) override;
  int OnControlKeyDown(unsigned key, unsigned repeat, unsigned modifiers) override;
  void OnControlMouseLeave() override;
  void SetControlFocus(int focus) override;

 private:
  Tavex::PressBehaviour m_press;
  Log m_log;
};

}  // namespace Gallery
