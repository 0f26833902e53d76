// vkbd-probe: a minimal client of the device link, linked against the real hidapi like the
// program. Run with libhidsim.so preloaded it shows that the unchanged link reaches the virtual
// keyboard process: it opens the known keyboards, sends one paced lighting command, reads the
// firmware version and, with --wait-event MS, reports the first keyboard event.
//
//   vkbd-probe [--wait-event MS]
// Prints "records N", "identity TEXT" per record, "version HEX" (or "version none"),
// "reading" once the event reader runs, and "event HEX" or "event none".
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>

#include "device/DeviceEventReader.h"
#include "device/HidDeviceList.h"

int main(int argc, char** argv) {
  int waitMs = -1;
  if (argc == 3 && std::strcmp(argv[1], "--wait-event") == 0) {
    waitMs = std::atoi(argv[2]);
  } else if (argc != 1) {
    std::fprintf(stderr, "usage: vkbd-probe [--wait-event MS]\n");
    return 2;
  }
  HidDeviceList& list = HidDeviceList::Instance();
  list.AddFilter(0x24AE, 0x4076, "", DeviceFilter::PathPattern(0x24AE, 0x4076));
  list.AddFilter(0x1A2C, 0x7FFF, "", DeviceFilter::PathPattern(0x1A2C, 0x7FFF));
  list.CloseAll();
  list.Refresh();
  list.SetOpen(true);
  std::printf("records %d\n", list.Count());
  for (int i = 0; i < list.Count(); ++i) std::printf("identity %s\n", list.DeviceInfo(i)->identity.c_str());

  const int index = list.FindDevice(0x24AE, 0x4076);
  const HidPayload lighting{0x07, 0xFF, 0xFF, 0x04, 0x04, 0x02, 0x00, 0x02};
  list.SendFeaturePaced(lighting, index);
  uint16_t version = 0;
  if (list.ReadFirmwareVersion(index, version)) {
    std::printf("version %04x\n", version);
  } else {
    std::printf("version none\n");
  }
  std::fflush(stdout);
  if (waitMs < 0) return 0;

  std::mutex mutex;
  std::condition_variable arrived;
  std::optional<intptr_t> event;
  DeviceEventReader reader;
  reader.Start(
      [&](uint32_t, uintptr_t, intptr_t lParam) {
        const std::lock_guard lock(mutex);
        if (!event) event = lParam;
        arrived.notify_all();
      },
      0x24AE, 0x4076, 1);
  std::printf(reader.IsReading() ? "reading\n" : "not reading\n");
  std::fflush(stdout);
  std::unique_lock lock(mutex);
  arrived.wait_for(lock, std::chrono::milliseconds(waitMs), [&] { return event.has_value(); });
  if (event) {
    std::printf("event %02lx\n", static_cast<long>(*event));
  } else {
    std::printf("event none\n");
  }
  lock.unlock();
  reader.Stop();
  return 0;
}
