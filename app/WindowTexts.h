// The language texts of one window's controls: each binding names a control and the text number
// of its caption or tooltip (or an action that fills a list), so that one call sets every text
// again after a language change.
//
// Ownership: the controls belong to the library and live as long as the window that holds this
// object. Threads: UI thread (bindings are added while the window is built).
#pragma once

#include <functional>
#include <vector>

namespace Tavex {
class MControl;
class MControlFont;
}  // namespace Tavex

class WindowTexts {
 public:
  // Sets the caption now and on every Apply.
  void Caption(Tavex::MControlFont* control, int textNumber);
  // Sets the tooltip now and on every Apply.
  void Tooltip(Tavex::MControl* control, int textNumber);
  // Runs `fill` now and on every Apply (lists whose items are texts).
  void Custom(std::function<void()> fill);

  // Sets every bound text again from the current language.
  void Apply() const;
  size_t Count() const { return bindings_.size(); }

 private:
  struct Binding {
    Tavex::MControlFont* caption = nullptr;
    Tavex::MControl* tooltip = nullptr;
    int text = 0;
    std::function<void()> fill;
  };
  static void Run(const Binding& binding);

  std::vector<Binding> bindings_;
};
