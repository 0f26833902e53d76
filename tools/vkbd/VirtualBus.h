#pragma once
// A set of virtual keyboards, as the HID enumeration sees them: interfaces of plugged keyboards
// in plug order, each with a path that opens it. Thread-safe.
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "tools/vkbd/InterfaceInfo.h"
#include "tools/vkbd/KeyboardSpec.h"
#include "tools/vkbd/VirtualKeyboard.h"
#include "tools/vkbd/VirtualPort.h"

namespace vkbd {

class VirtualBus {
 public:
  // Adds and plugs a keyboard; interfaces without a path get "/dev/vkbd/hidrawN".
  std::shared_ptr<VirtualKeyboard> Plug(KeyboardSpec spec);
  std::vector<std::shared_ptr<VirtualKeyboard>> Keyboards() const;
  // Unplugs and forgets every keyboard.
  void Clear();

  std::vector<InterfaceInfo> Enumerate() const;
  // Opens the interface with this exact path on a plugged keyboard; nullptr when there is none.
  std::shared_ptr<VirtualPort> OpenPath(const std::string& path) const;
  // Whether the interface with this path is on a plugged keyboard that denies access.
  bool Denied(const std::string& path) const;

 private:
  mutable std::mutex mutex_;
  std::vector<std::shared_ptr<VirtualKeyboard>> keyboards_;
  int nextNode_ = 0;
};

// The bus behind the in-process hidapi functions of kw_vkbd (tests, benchmarks, fuzzers). Empty
// unless a test plugs keyboards: the real machine's devices are never seen.
VirtualBus& LocalBus();

}  // namespace vkbd
