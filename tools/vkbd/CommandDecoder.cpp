#include "tools/vkbd/CommandDecoder.h"

#include <algorithm>
#include <cstring>

namespace vkbd {

namespace {
constexpr uint8_t kReportId = 0x07;
constexpr uint8_t kKeyMarker = 0x99;
constexpr uint8_t kMacroMarker = 0x88;

bool Sig(const std::array<uint8_t, 64>& r, size_t at, std::initializer_list<uint8_t> bytes) {
  size_t i = at;
  for (const uint8_t b : bytes) {
    if (r[i++] != b) return false;
  }
  return true;
}
}  // namespace

CommandDecoder::Report CommandDecoder::Pad(const uint8_t* data, size_t length) {
  Report r{};
  if (data) std::memcpy(r.data(), data, std::min(length, r.size()));
  return r;
}

bool CommandDecoder::DataBytes(const Report& r, uint8_t marker, uint8_t* out48) {
  bool ok = true;
  for (int p = 0; p < 8; ++p) {
    if (r[8 * p] != kReportId || r[8 * p + 1] != marker) ok = false;
    std::memcpy(out48 + 6 * p, r.data() + 8 * p + 2, 6);
  }
  return ok;
}

void CommandDecoder::OnFeature(const uint8_t* data, size_t length) {
  const Report r = Pad(data, length);
  if (r[0] != kReportId) {
    ++state_.unknownReports;
    return;
  }
  if (r[1] == kKeyMarker) {
    OnKeyTableData(r);
  } else if (r[1] == kMacroMarker) {
    OnMacroData(r);
  } else if (Sig(r, 1, {0x76, 0x54, 0x32, 0x10})) {
    transfer_ = Transfer::KeyTable;
    pendingKeys_.fill(0);
  } else if (Sig(r, 1, {0xFE, 0xDC, 0xBA, 0x00})) {
    if (transfer_ == Transfer::KeyTable) {
      for (int i = 0; i < KeyboardState::kKeyEntries; ++i) {
        state_.keyTable[i] = KeyEntry{pendingKeys_[i], pendingKeys_[12 + i]};
      }
      ++state_.keyTableTransfers;
    } else {
      ++state_.malformedReports;
    }
    transfer_ = Transfer::None;
  } else if (Sig(r, 1, {0x01, 0x23, 0x45, 0x67})) {
    transfer_ = Transfer::Macro;
    pendingMacro_.fill(0);
    pendingMacroReports_ = 0;
  } else if (Sig(r, 1, {0xAB, 0xCD, 0xEF, 0x00})) {
    if (transfer_ == Transfer::Macro) {
      state_.macroArea = pendingMacro_;
      state_.macroReportsInLastTransfer = pendingMacroReports_;
      ++state_.macroTransfers;
    } else {
      ++state_.malformedReports;
    }
    transfer_ = Transfer::None;
  } else if (Sig(r, 1, {0xFF, 0xFF})) {
    state_.lightMode = r[3];
    state_.brightness = r[4];
    state_.speed = r[5];
    state_.lightSlot = r[7];
    ++state_.lightingCommands;
  } else if (Sig(r, 1, {0x12, 0x34, 0x56, 0x78})) {
    OnCustomLight(r);
  } else if (Sig(r, 1, {0x23, 0x45, 0x67, 0x89})) {
    state_.musicEffect = r[5];
    state_.musicLevel = r[6];
    ++state_.musicReports;
  } else if (Sig(r, 1, {0xF0, 0xAA})) {
    FactoryReset();
    ++state_.featureResets;
  } else {
    ++state_.unknownReports;
  }
}

void CommandDecoder::OnKeyTableData(const Report& r) {
  uint8_t bytes[48];
  const bool ok = DataBytes(r, kKeyMarker, bytes);
  if (!ok || transfer_ != Transfer::KeyTable) {
    ++state_.malformedReports;
    if (transfer_ != Transfer::KeyTable) return;
  }
  std::memcpy(pendingKeys_.data(), bytes, sizeof bytes);
}

void CommandDecoder::OnMacroData(const Report& r) {
  uint8_t bytes[48];
  const bool ok = DataBytes(r, kMacroMarker, bytes);
  if (!ok || transfer_ != Transfer::Macro || pendingMacroReports_ >= KeyboardState::kMacroReports) {
    ++state_.malformedReports;
    if (transfer_ != Transfer::Macro || pendingMacroReports_ >= KeyboardState::kMacroReports) return;
  }
  std::memcpy(pendingMacro_.data() + 48 * pendingMacroReports_, bytes, sizeof bytes);
  ++pendingMacroReports_;
}

void CommandDecoder::OnCustomLight(const Report& r) {
  const uint8_t key = r[5];
  const uint8_t arg = r[6];
  if (key == 0x00 && arg == 0x00) {  // edit begin: the slot starts dark
    state_.customEditing = true;
    state_.customSlot = r[7];
    state_.litKeys[r[7]].clear();
  } else if (key == 0xFE && arg == 0x00) {  // edit end
    if (state_.customEditing) ++state_.customSessions;
    state_.customEditing = false;
    state_.customSlot = r[7];
  } else {
    if (!state_.customEditing) ++state_.malformedReports;
    state_.litKeys[state_.customSlot][key] = arg != 0;
  }
}

void CommandDecoder::OnOutput(const uint8_t* data, size_t length) {
  if (!data || length == 0) {
    ++state_.unknownReports;
    return;
  }
  // Report id 0 goes in front of the payload on the wire.
  const Report p = data[0] == 0 ? Pad(data + 1, length - 1) : Pad(data, length);
  if (!Sig(p, 0, {0xBB, 0xAA, 0x99, 0x88})) {
    ++state_.unknownReports;
    return;
  }
  if (Sig(p, 4, {0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA})) {
    outputResetArmed_ = true;
    return;
  }
  if (p[4] == 0xAA) {
    state_.lightMode = p[5];
    state_.brightness = p[6];
    state_.speed = p[7];
    ++state_.lightingCommands;
    outputResetArmed_ = false;
    return;
  }
  if (std::all_of(p.begin() + 4, p.end(), [](uint8_t v) { return v == 0; })) {
    if (outputResetArmed_) {
      FactoryReset();
      ++state_.outputResets;
    } else {
      ++state_.malformedReports;
    }
    outputResetArmed_ = false;
    return;
  }
  ++state_.unknownReports;
}

void CommandDecoder::FactoryReset() {
  state_.keyTable = {};
  state_.macroArea = {};
  state_.lightMode = state_.brightness = state_.speed = state_.lightSlot = 0;
  state_.customEditing = false;
  state_.litKeys.clear();
  transfer_ = Transfer::None;
}

}  // namespace vkbd
