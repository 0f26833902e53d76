#include "tools/vkbd/Uevents.h"

#include <gtest/gtest.h>

#include "device/HidText.h"
#include "platform/HidrawUevent.h"
#include "tools/vkbd/VirtualBus.h"

namespace {

// The server relays these for its plugs and unplugs: the program must read from them the same
// identity text its HID enumeration builds for each interface, or hot-plug matching would differ
// between real and virtual keyboards.
TEST(VkbdUevents, EachInterfaceReadsBackAsTheIdentityTheEnumerationBuilds) {
  vkbd::VirtualBus bus;
  const auto keyboard = bus.Plug(vkbd::KeyboardSpec::Model(0x1a2c, 0x7fff));
  const vkbd::KeyboardSpec& spec = keyboard->Spec();
  unsigned sequence = 0;
  for (const bool added : {true, false}) {
    const std::vector<std::string> events = vkbd::HidrawUevents(spec, 1, added, sequence);
    ASSERT_EQ(events.size(), spec.interfaces.size());
    for (size_t i = 0; i < events.size(); ++i) {
      const auto notice = platform::ParseKernelUevent(events[i].data(), events[i].size());
      ASSERT_TRUE(notice.has_value()) << i;
      EXPECT_EQ(notice->kind, added ? platform::HotPlugKind::Arrival : platform::HotPlugKind::Removal);
      const vkbd::InterfaceSpec& in = spec.interfaces[i];
      EXPECT_EQ(notice->identity,
                HidIdentityText(spec.vendorId, spec.productId, in.interfaceNumber, in.path.c_str()));
    }
  }
  EXPECT_EQ(sequence, 2 * spec.interfaces.size());
}

}  // namespace
