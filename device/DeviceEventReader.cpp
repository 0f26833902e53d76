#include "device/DeviceEventReader.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <utility>

#include "device/HidTrace.h"
#include "platform/PreciseSleep.h"

namespace {
// A pass waits up to 3000 ms for a report, in slices, so that a stop is not held up by it.
constexpr int kReadSliceMs = 50;
}  // namespace

DeviceEventReader::~DeviceEventReader() { Stop(); }

void DeviceEventReader::Start(Poster poster, int32_t vendorId, int32_t productId,
                              int32_t deviceType) {
  Stop();
  poster_ = std::move(poster);
  vendorId_ = vendorId;
  productId_ = productId;
  deviceType_ = deviceType;
  Restart();
}

void DeviceEventReader::Stop() {
  StopThread();
  device_.reset();
}

void DeviceEventReader::StopThread() {
  run_ = false;
  if (thread_.joinable()) thread_.join();
}

void DeviceEventReader::Restart() {
  run_ = false;
  if (restarting_.exchange(true)) return;
  Stop();

  if (hid_init() == 0) {
    const HidEnumeration all(hid_enumerate(0, 0));
    for (const hid_device_info* it = all.get(); it; it = it->next) {
      if (it->vendor_id != vendorId_ || it->product_id != productId_) continue;
      if (it->usage_page != kEventUsagePage || it->usage != kEventUsage) continue;
      if (!it->path) {
        KW_HID_TRACE("获取接口信息失败\n");
        continue;
      }
      HidHandle device(hid_open_path(it->path));
      KW_HID_TRACE("open dev: %08x\n", static_cast<unsigned>(reinterpret_cast<uintptr_t>(device.get())));
      if (device) {
        device_ = std::move(device);
        break;
      }
    }
  }
  if (device_) {
    run_ = true;
    thread_ = std::thread(&DeviceEventReader::ReaderLoop, this);
  }
  restarting_ = false;
}

std::optional<uint8_t> DeviceEventReader::DecodeEvent(const uint8_t* report, int length) {
  if (!report || length < kEventReportLength || report[0] != kEventReportId) return std::nullopt;
  return report[2];
}

int DeviceEventReader::ReadPass(uint8_t* buffer, int length) {
  KW_HID_TRACE("读(同步)USB设备 handle=%08x, data=%08x, len=%d, timeout=%d\n",
               static_cast<unsigned>(reinterpret_cast<uintptr_t>(device_.get())),
               static_cast<unsigned>(reinterpret_cast<uintptr_t>(buffer)), length, kReadTimeoutMs);
  int waited = 0;
  int read = 0;
  while (run_ && waited < kReadTimeoutMs) {
    const int slice = std::min(kReadSliceMs, kReadTimeoutMs - waited);
    read = hid_read_timeout(device_.get(), buffer, static_cast<size_t>(length), slice);
    if (read != 0) break;
    waited += slice;
  }
  if (read < 0) {
    KW_HID_TRACE("读取文件错误(%d)\n", errno);
  } else if (read == 0 && waited >= kReadTimeoutMs) {
    KW_HID_TRACE("超时索引错误(%d)\n", 997);
  }
  KW_HID_TRACE("已读长度为 %d\n", read > 0 ? read : 0);
  return read;
}

void DeviceEventReader::ReaderLoop() {
  busy_ = true;
  while (run_) {
    if (device_) {
      uint8_t buffer[kEventReportLength] = {};
      const int read = ReadPass(buffer, static_cast<int>(sizeof buffer));
      if (read > 0) {
        const auto event = DecodeEvent(buffer, std::min(read, static_cast<int>(sizeof buffer)));
        if (event && poster_) {
          poster_(kDeviceEventMessage, static_cast<uintptr_t>(deviceType_), static_cast<intptr_t>(*event));
        }
      }
    }
    platform::SleepFor(std::chrono::milliseconds(kPassPauseMs));
  }
  busy_ = false;
}
