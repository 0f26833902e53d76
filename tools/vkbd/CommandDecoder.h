#pragma once
// The keyboard's command interpreter: turns the 64-byte feature and output reports of the
// command protocol into KeyboardState. Not thread-safe; the owning VirtualKeyboard serialises.
#include <array>
#include <cstddef>
#include <cstdint>

#include "tools/vkbd/KeyboardState.h"

namespace vkbd {

class CommandDecoder {
 public:
  static constexpr size_t kReportSize = 64;

  // A feature report as sent with hid_send_feature_report (byte 0 = report id 7). Shorter
  // reports read as zero-padded; longer ones are cut to 64 bytes.
  void OnFeature(const uint8_t* data, size_t length);
  // An output report as written with hid_write (byte 0 = report id 0, then the payload).
  void OnOutput(const uint8_t* data, size_t length);

  const KeyboardState& State() const { return state_; }

 private:
  using Report = std::array<uint8_t, kReportSize>;
  enum class Transfer { None, KeyTable, Macro };

  static Report Pad(const uint8_t* data, size_t length);
  // Copies the 48 data bytes of a data report; false when a sub-packet header is wrong.
  static bool DataBytes(const Report& r, uint8_t marker, uint8_t* out48);
  void OnKeyTableData(const Report& r);
  void OnMacroData(const Report& r);
  void OnCustomLight(const Report& r);
  void FactoryReset();

  KeyboardState state_;
  Transfer transfer_ = Transfer::None;
  std::array<uint8_t, 48> pendingKeys_{};
  std::array<uint8_t, KeyboardState::kMacroBlocks * KeyboardState::kMacroBlockSize> pendingMacro_{};
  int pendingMacroReports_ = 0;
  bool outputResetArmed_ = false;
};

}  // namespace vkbd
