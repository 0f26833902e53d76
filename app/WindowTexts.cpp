#include "app/WindowTexts.h"

#include "docs/LangSettings.h"
#include "tavex/MControlFont.h"

void WindowTexts::Caption(Tavex::MControlFont* control, int textNumber) {
  if (control == nullptr) return;
  bindings_.push_back({control, nullptr, textNumber, {}});
  Run(bindings_.back());
}

void WindowTexts::Tooltip(Tavex::MControl* control, int textNumber) {
  if (control == nullptr) return;
  bindings_.push_back({nullptr, control, textNumber, {}});
  Run(bindings_.back());
}

void WindowTexts::Custom(std::function<void()> fill) {
  if (!fill) return;
  bindings_.push_back({nullptr, nullptr, 0, std::move(fill)});
  Run(bindings_.back());
}

void WindowTexts::Apply() const {
  for (const Binding& binding : bindings_) Run(binding);
}

void WindowTexts::Run(const Binding& binding) {
  if (binding.fill) {
    binding.fill();
  } else if (binding.caption != nullptr) {
    binding.caption->SetTitle(GetLangText(binding.text).c_str());
  } else if (binding.tooltip != nullptr) {
    binding.tooltip->SetTooltip(GetLangText(binding.text).c_str());
  }
}
