#pragma once
// A keyboard in software: its command interface accepts the 64-byte feature and output reports
// and decodes them into KeyboardState, answers the firmware version request, and its event
// interface emits input reports. Every report in either direction is logged with a monotonic
// timestamp. Test knobs: firmware version and reply behaviour, failing writes, plug/unplug.
// Shared (shared_ptr) by its bus and its open ports; every member is thread-safe.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "tools/vkbd/CommandDecoder.h"
#include "tools/vkbd/KeyboardSpec.h"
#include "tools/vkbd/KeyboardState.h"

namespace vkbd {

class VirtualPort;

enum class VersionReply {
  Answer,         // 07 hi lo
  WrongIdOnce,    // the first request is answered with another report id, later ones correctly
  WrongIdAlways,  // every reply carries another report id
  Never,          // the request fails (no answer)
};

enum class ReportKind { FeatureSet, FeatureGet, Output, Input };

struct LoggedReport {
  int64_t monotonicNs = 0;  // steady clock
  ReportKind kind = ReportKind::FeatureSet;
  int interfaceIndex = 0;
  std::vector<uint8_t> bytes;  // as on the wire (a get: the reply)
  bool accepted = true;        // false: the keyboard failed the transfer
};

class VirtualKeyboard : public std::enable_shared_from_this<VirtualKeyboard> {
 public:
  static constexpr int kCommandInterface = 0;  // default interface positions
  static constexpr int kEventInterface = 1;

  // `spec` with every interface path assigned (see VirtualBus::Plug).
  explicit VirtualKeyboard(KeyboardSpec spec);
  VirtualKeyboard(const VirtualKeyboard&) = delete;
  VirtualKeyboard& operator=(const VirtualKeyboard&) = delete;

  const KeyboardSpec& Spec() const { return spec_; }
  // Position of the first interface with this usage pair, or -1.
  int FindInterface(uint16_t usagePage, uint16_t usage) const;

  bool Plugged() const;
  // Unplugging fails every open handle and hides the keyboard from enumeration.
  void Unplug();
  void Plug();

  void SetFirmwareVersion(uint16_t version);
  void SetVersionReply(VersionReply reply);
  // The next `count` output writes fail (hid_write returns -1).
  void FailNextWrites(int count);
  // The next `count` feature sends fail.
  void FailNextFeatures(int count);
  // While denied, every open fails as a hidraw node without read/write permission would.
  void SetAccessDenied(bool denied);
  bool AccessDenied() const;

  // Emits an input report on an interface (default: the first 0xFFFF/1 interface) to every handle
  // open on it. False when unplugged or nobody has it open (the report is lost, as on hardware).
  bool EmitReport(std::vector<uint8_t> report, int interfaceIndex = -1);
  // Report id 5 with the event byte: 05 00 ev 00.
  bool EmitEvent(uint8_t eventByte);

  KeyboardState State() const;
  std::vector<LoggedReport> Log() const;
  // Logged reports of one kind.
  std::vector<LoggedReport> Log(ReportKind kind) const;
  void ClearLog();

  int OpenCount(int interfaceIndex) const;
  // Waits until at least one handle is open on the interface; false on time-out.
  bool WaitForOpen(int interfaceIndex, std::chrono::milliseconds timeout) const;
  // Waits until `count` reports of `kind` are logged; false on time-out.
  bool WaitForReports(ReportKind kind, size_t count, std::chrono::milliseconds timeout) const;

  // Opens a handle (nullptr when unplugged or no such interface).
  std::shared_ptr<VirtualPort> Open(int interfaceIndex);

  // Port side (called by VirtualPort).
  int OnFeatureSet(int interfaceIndex, const uint8_t* data, size_t length);
  int OnFeatureGet(int interfaceIndex, uint8_t* data, size_t length);
  int OnOutput(int interfaceIndex, const uint8_t* data, size_t length);
  void OnPortClosed();

 private:
  void LogLocked(ReportKind kind, int interfaceIndex, const uint8_t* data, size_t length, bool accepted);

  const KeyboardSpec spec_;
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  bool plugged_ = true;
  uint16_t version_;
  VersionReply versionReply_ = VersionReply::Answer;
  bool wrongIdSent_ = false;
  int failWrites_ = 0;
  int failFeatures_ = 0;
  bool accessDenied_ = false;
  CommandDecoder decoder_;
  std::vector<LoggedReport> log_;
  std::vector<std::weak_ptr<VirtualPort>> ports_;
};

}  // namespace vkbd
