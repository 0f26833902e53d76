#include "tools/vkbd/VirtualBus.h"

#include <utility>

namespace vkbd {

std::shared_ptr<VirtualKeyboard> VirtualBus::Plug(KeyboardSpec spec) {
  const std::lock_guard lock(mutex_);
  if (spec.interfaces.empty()) {
    spec.interfaces.push_back(InterfaceSpec{KeyboardSpec::kCommandUsagePage, 1, 1, {}});
    spec.interfaces.push_back(InterfaceSpec{KeyboardSpec::kEventUsagePage, 1, 2, {}});
  }
  for (InterfaceSpec& i : spec.interfaces) {
    if (i.path.empty()) i.path = "/dev/vkbd/hidraw" + std::to_string(nextNode_++);
  }
  auto keyboard = std::make_shared<VirtualKeyboard>(std::move(spec));
  keyboards_.push_back(keyboard);
  return keyboard;
}

std::vector<std::shared_ptr<VirtualKeyboard>> VirtualBus::Keyboards() const {
  const std::lock_guard lock(mutex_);
  return keyboards_;
}

void VirtualBus::Clear() {
  std::vector<std::shared_ptr<VirtualKeyboard>> old;
  {
    const std::lock_guard lock(mutex_);
    old.swap(keyboards_);
  }
  for (const auto& k : old) k->Unplug();
}

std::vector<InterfaceInfo> VirtualBus::Enumerate() const {
  std::vector<InterfaceInfo> out;
  for (const auto& k : Keyboards()) {
    if (!k->Plugged()) continue;
    const KeyboardSpec& s = k->Spec();
    for (const InterfaceSpec& i : s.interfaces) {
      out.push_back(InterfaceInfo{i.path, s.vendorId, s.productId, s.releaseNumber, i.usagePage, i.usage,
                                  i.interfaceNumber, s.manufacturer, s.product, {}});
    }
  }
  return out;
}

std::shared_ptr<VirtualPort> VirtualBus::OpenPath(const std::string& path) const {
  for (const auto& k : Keyboards()) {
    const auto& interfaces = k->Spec().interfaces;
    for (size_t i = 0; i < interfaces.size(); ++i) {
      if (interfaces[i].path == path) {
        if (auto port = k->Open(static_cast<int>(i))) return port;
      }
    }
  }
  return nullptr;
}

bool VirtualBus::Denied(const std::string& path) const {
  for (const auto& k : Keyboards()) {
    if (!k->Plugged() || !k->AccessDenied()) continue;
    for (const auto& i : k->Spec().interfaces)
      if (i.path == path) return true;
  }
  return false;
}

}  // namespace vkbd
