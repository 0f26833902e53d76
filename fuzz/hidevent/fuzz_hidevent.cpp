// Input: a sequence of reports, each a length byte (0-80) followed by that many bytes. Every
// report is emitted on a virtual keyboard's event interface, read back through hidapi with the
// event reader's 4-byte buffer and decoded; it is also handed to the command decoder as a feature
// and as an output report.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "device/DeviceEventReader.h"
#include "device/HidHandle.h"
#include "tools/vkbd/CommandDecoder.h"
#include "tools/vkbd/VirtualBus.h"

namespace {

struct Rig {
  Rig() {
    keyboard = vkbd::LocalBus().Plug(vkbd::KeyboardSpec::Model(0x24AE, 0x4076));
    const auto& path = keyboard->Spec().interfaces[vkbd::VirtualKeyboard::kEventInterface].path;
    events.reset(hid_open_path(path.c_str()));
  }
  std::shared_ptr<vkbd::VirtualKeyboard> keyboard;
  HidHandle events;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Rig rig;
  vkbd::CommandDecoder decoder;
  size_t at = 0;
  while (at < size) {
    const size_t length = data[at++] % 81;
    const size_t n = length < size - at ? length : size - at;
    const std::vector<uint8_t> report(data + at, data + at + n);
    at += n;

    rig.keyboard->EmitReport(report);
    uint8_t buffer[4] = {};
    const int read = hid_read_timeout(rig.events.get(), buffer, sizeof buffer, 0);
    if (read > 0) {
      const auto event = DeviceEventReader::DecodeEvent(buffer, read);
      if (event && (buffer[0] != 5 || read < 3 || *event != buffer[2])) __builtin_trap();
    }
    decoder.OnFeature(report.data(), report.size());
    decoder.OnOutput(report.data(), report.size());
  }
  rig.keyboard->ClearLog();
  return 0;
}
