#pragma once
// The gallery's page of standard controls: one or more of every kind, created by class name
// through the factories, with the shipped skins; English or Chinese texts.
#include <string>

#include "tavex/MDialog.h"

namespace Gallery {

class StandardPage : public Tavex::MDialog {
 public:
  static constexpr unsigned kScreenshotTimer = 1;
  static constexpr unsigned kClose = 900;

  StandardPage(std::string screenshotPath, bool chinese);

  void InitUI(Tavex::CRect client) override;
  int OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
  int OnTimer(unsigned id) override;
  int OnInitDialog() override;

 private:
  // The English or the Chinese of a text.
  const char* T(const char* english, const char* chinese) const {
    return m_chinese ? chinese : english;
  }
  // Creates a control by class name as a T (any control by default); logs "missing <name>"
  // and gives null when the name made nothing or something else.
  template <typename T = Tavex::MControl>
  T* Make(const char* name, unsigned id, Tavex::CRect rect, const char* title, int visible = 1,
          int enabled = 1) {
    T* c = CreateControlAs<T>(name, id, rect, title, visible, enabled);
    if (c == nullptr) LogMissing(name);
    return c;
  }
  static void LogMissing(const char* name);
  void Label(unsigned id, Tavex::CRect rect, const char* text);

  std::string m_screenshot;
  bool m_chinese;
  unsigned m_nextLabel = 800;
};

}  // namespace Gallery
