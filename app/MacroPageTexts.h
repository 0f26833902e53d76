// Language text numbers of the macro page, its messages and its list's context menu. Constants
// only; any thread.
#pragma once

namespace macro_text {
inline constexpr int kNew = 26;
inline constexpr int kDelete = 27;
inline constexpr int kCopy = 28;
inline constexpr int kImport = 29;
inline constexpr int kExport = 30;
inline constexpr int kPaste = 32;
inline constexpr int kRename = 33;  // also the caption of rename refusals
inline constexpr int kProfileWord = 65;
inline constexpr int kNoProfile = 151;
inline constexpr int kExportProfile = 152;
inline constexpr int kImportMacro = 304;
inline constexpr int kEmptyName = 330;
inline constexpr int kBlockedName = 621;
inline constexpr int kMacroWord = 331;
inline constexpr int kFull = 369;
inline constexpr int kRecordingCaption = 370;
inline constexpr int kGrabRefused = 371;
inline constexpr int kNoMacro = 540;
inline constexpr int kExportMacro = 541;
}  // namespace macro_text
