// The settings file is the user's to edit: any bytes must parse, a read must yield what a write
// stored, and a write must keep every other line of the file.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "docs/SettingsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  SettingsFile file = SettingsFile::Parse(bytes);
  (void)file.Get("LCID");
  DecimalTextToInt(file.Get("exit_mode").value_or(""));

  // The input's last 16 bytes give a value text; rewrite "exit_mode" with it.
  const std::string text(bytes.substr(bytes.size() > 16 ? bytes.size() - 16 : 0));
  const std::string before = file.Serialize();
  if (!file.Set("exit_mode", text)) {
    if (SettingsFile::IsStorableText(text)) __builtin_trap();
    if (file.Serialize() != before) __builtin_trap();
    return 0;
  }
  const SettingsFile reread = SettingsFile::Parse(file.Serialize());
  if (reread.Get("exit_mode") != text) __builtin_trap();
  if (reread.Serialize() != file.Serialize()) __builtin_trap();
  // Lines that name no "exit_mode" survive in order.
  const SettingsFile original = SettingsFile::Parse(bytes);
  if (original.Get("LCID") != reread.Get("LCID")) __builtin_trap();
  return 0;
}
