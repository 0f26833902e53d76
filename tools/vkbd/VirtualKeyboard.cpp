#include "tools/vkbd/VirtualKeyboard.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "tools/vkbd/VirtualPort.h"

namespace vkbd {

namespace {
constexpr uint8_t kReportId = 0x07;
constexpr uint8_t kVersionRequest = 0x02;

int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}
}  // namespace

VirtualKeyboard::VirtualKeyboard(KeyboardSpec spec)
    : spec_(std::move(spec)), version_(spec_.firmwareVersion) {}

int VirtualKeyboard::FindInterface(uint16_t usagePage, uint16_t usage) const {
  for (size_t i = 0; i < spec_.interfaces.size(); ++i) {
    if (spec_.interfaces[i].usagePage == usagePage && spec_.interfaces[i].usage == usage) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

bool VirtualKeyboard::Plugged() const {
  const std::lock_guard lock(mutex_);
  return plugged_;
}

void VirtualKeyboard::Unplug() {
  std::vector<std::shared_ptr<VirtualPort>> open;
  {
    const std::lock_guard lock(mutex_);
    plugged_ = false;
    for (const auto& weak : ports_) {
      if (auto port = weak.lock()) open.push_back(std::move(port));
    }
    ports_.clear();
  }
  for (const auto& port : open) port->Disconnect();
  changed_.notify_all();
}

void VirtualKeyboard::Plug() {
  {
    const std::lock_guard lock(mutex_);
    plugged_ = true;
  }
  changed_.notify_all();
}

void VirtualKeyboard::SetFirmwareVersion(uint16_t version) {
  const std::lock_guard lock(mutex_);
  version_ = version;
}

void VirtualKeyboard::SetVersionReply(VersionReply reply) {
  const std::lock_guard lock(mutex_);
  versionReply_ = reply;
  wrongIdSent_ = false;
}

void VirtualKeyboard::FailNextWrites(int count) {
  const std::lock_guard lock(mutex_);
  failWrites_ = std::max(0, count);
}

void VirtualKeyboard::FailNextFeatures(int count) {
  const std::lock_guard lock(mutex_);
  failFeatures_ = std::max(0, count);
}

void VirtualKeyboard::SetAccessDenied(bool denied) {
  const std::lock_guard lock(mutex_);
  accessDenied_ = denied;
}

bool VirtualKeyboard::AccessDenied() const {
  const std::lock_guard lock(mutex_);
  return accessDenied_;
}

bool VirtualKeyboard::EmitReport(std::vector<uint8_t> report, int interfaceIndex) {
  if (interfaceIndex < 0) interfaceIndex = FindInterface(KeyboardSpec::kEventUsagePage, 1);
  std::vector<std::shared_ptr<VirtualPort>> targets;
  {
    const std::lock_guard lock(mutex_);
    if (plugged_) {
      for (const auto& weak : ports_) {
        auto port = weak.lock();
        if (port && port->InterfaceIndex() == interfaceIndex) targets.push_back(std::move(port));
      }
    }
    LogLocked(ReportKind::Input, interfaceIndex, report.data(), report.size(), !targets.empty());
  }
  for (const auto& port : targets) port->Deliver(report);
  changed_.notify_all();
  return !targets.empty();
}

bool VirtualKeyboard::EmitEvent(uint8_t eventByte) { return EmitReport({0x05, 0x00, eventByte, 0x00}); }

KeyboardState VirtualKeyboard::State() const {
  const std::lock_guard lock(mutex_);
  return decoder_.State();
}

std::vector<LoggedReport> VirtualKeyboard::Log() const {
  const std::lock_guard lock(mutex_);
  return log_;
}

std::vector<LoggedReport> VirtualKeyboard::Log(ReportKind kind) const {
  const std::lock_guard lock(mutex_);
  std::vector<LoggedReport> out;
  for (const auto& r : log_) {
    if (r.kind == kind) out.push_back(r);
  }
  return out;
}

void VirtualKeyboard::ClearLog() {
  const std::lock_guard lock(mutex_);
  log_.clear();
}

int VirtualKeyboard::OpenCount(int interfaceIndex) const {
  const std::lock_guard lock(mutex_);
  int n = 0;
  for (const auto& weak : ports_) {
    const auto port = weak.lock();
    if (port && port->InterfaceIndex() == interfaceIndex) ++n;
  }
  return n;
}

bool VirtualKeyboard::WaitForOpen(int interfaceIndex, std::chrono::milliseconds timeout) const {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (OpenCount(interfaceIndex) == 0) {
    std::unique_lock lock(mutex_);
    if (changed_.wait_until(lock, deadline) == std::cv_status::timeout) {
      lock.unlock();
      return OpenCount(interfaceIndex) > 0;
    }
  }
  return true;
}

bool VirtualKeyboard::WaitForReports(ReportKind kind, size_t count, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] {
    return static_cast<size_t>(std::count_if(log_.begin(), log_.end(),
                                             [&](const LoggedReport& r) { return r.kind == kind; })) >= count;
  });
}

std::shared_ptr<VirtualPort> VirtualKeyboard::Open(int interfaceIndex) {
  if (interfaceIndex < 0 || static_cast<size_t>(interfaceIndex) >= spec_.interfaces.size()) return nullptr;
  auto port = std::make_shared<VirtualPort>(shared_from_this(), interfaceIndex);
  {
    const std::lock_guard lock(mutex_);
    if (!plugged_ || accessDenied_) return nullptr;
    std::erase_if(ports_, [](const std::weak_ptr<VirtualPort>& w) { return w.expired(); });
    ports_.push_back(port);
  }
  changed_.notify_all();
  return port;
}

void VirtualKeyboard::OnPortClosed() {
  {
    const std::lock_guard lock(mutex_);
    std::erase_if(ports_, [](const std::weak_ptr<VirtualPort>& w) { return w.expired(); });
  }
  changed_.notify_all();
}

void VirtualKeyboard::LogLocked(ReportKind kind, int interfaceIndex, const uint8_t* data, size_t length,
                                bool accepted) {
  LoggedReport entry;
  entry.monotonicNs = NowNs();
  entry.kind = kind;
  entry.interfaceIndex = interfaceIndex;
  if (data && length) entry.bytes.assign(data, data + length);
  entry.accepted = accepted;
  log_.push_back(std::move(entry));
}

int VirtualKeyboard::OnFeatureSet(int interfaceIndex, const uint8_t* data, size_t length) {
  int result;
  {
    const std::lock_guard lock(mutex_);
    const bool ok = plugged_ && failFeatures_ == 0 && data && length > 0;
    if (failFeatures_ > 0) --failFeatures_;
    LogLocked(ReportKind::FeatureSet, interfaceIndex, data, length, ok);
    if (ok) decoder_.OnFeature(data, length);
    result = ok ? static_cast<int>(length) : -1;
  }
  changed_.notify_all();
  return result;
}

int VirtualKeyboard::OnFeatureGet(int interfaceIndex, uint8_t* data, size_t length) {
  int result = -1;
  {
    const std::lock_guard lock(mutex_);
    const bool request = plugged_ && data && length >= 3 && data[0] == kReportId && data[1] == kVersionRequest;
    bool answer = request && versionReply_ != VersionReply::Never;
    if (answer) {
      const bool wrongId = versionReply_ == VersionReply::WrongIdAlways ||
                           (versionReply_ == VersionReply::WrongIdOnce && !wrongIdSent_);
      if (versionReply_ == VersionReply::WrongIdOnce) wrongIdSent_ = true;
      std::memset(data, 0, length);
      data[0] = wrongId ? 0x06 : kReportId;
      data[1] = static_cast<uint8_t>(version_ >> 8);
      data[2] = static_cast<uint8_t>(version_ & 0xFF);
      result = static_cast<int>(length);
    }
    LogLocked(ReportKind::FeatureGet, interfaceIndex, data, data ? length : 0, answer);
  }
  changed_.notify_all();
  return result;
}

int VirtualKeyboard::OnOutput(int interfaceIndex, const uint8_t* data, size_t length) {
  int result;
  {
    const std::lock_guard lock(mutex_);
    const bool ok = plugged_ && failWrites_ == 0 && data && length > 0;
    if (failWrites_ > 0) --failWrites_;
    LogLocked(ReportKind::Output, interfaceIndex, data, length, ok);
    if (ok) decoder_.OnOutput(data, length);
    result = ok ? static_cast<int>(length) : -1;
  }
  changed_.notify_all();
  return result;
}

}  // namespace vkbd
