// Language texts, the current language, the per-user settings and the program's folders.
//
// Every function here may be called from any thread (the UI thread and the worker both look up
// texts); results are values, nothing throws. Texts are UTF-8.
//
// Settings live in "<config home>/Tarnwick/settings.ini" (config home = $XDG_CONFIG_HOME, default
// ~/.config): one "name=text" line per value, numbers as decimal text. The folder
// "<config home>/Tarnwick" plays the part of the settings key: reads create it when it is missing,
// writes never create it (start-up reads "LCID" first, so the folder exists afterwards). Every
// write replaces the file atomically; a read never changes an existing file, and a file that
// cannot be read is never overwritten.
#pragma once

#include <string>

// Language identifiers the program offers.
inline constexpr int kLangChinese = 2052;
inline constexpr int kLangEnglish = 1033;

// Section that holds every interface text of a language file.
inline constexpr const char* kLangSection = "KB.DIALOG";

// ---- Current language ------------------------------------------------------------------------

// The process-wide current language identifier (0 until start-up has chosen one).
int GetCurrentLanguage();
void SetCurrentLanguage(int lcid);

// Text `number` of `section` in the current language's file "<program folder>language/<lcid>.lan".
// A missing file, section or entry gives an empty text; texts are cut to 259 characters (code
// points). The file is parsed once and parsed again only when the current language changes.
std::string GetLangText(int number, const char* section = kLangSection);

// The user's UI language reduced to the two offered: 2052 for Simplified Chinese, else 1033.
int DefaultLanguageFromUi();

// Start-up choice: the stored "LCID" when it is non-zero; otherwise the UI language reduced to
// 2052 or 1033, which is then stored. Becomes the current language; returns it.
int ChooseStartupLanguage();

// ---- Settings --------------------------------------------------------------------------------

// "LCID" as a number. Missing settings folder: created, result 0 (2052 if creating it fails).
// Any other failure to open the store gives 2052. Non-numeric text reads as 0.
int ReadLanguageSetting();

// Stores "LCID" as decimal text. False (nothing written) when the settings folder is missing or
// the store cannot be read back safely.
bool WriteLanguageSetting(int lcid);

// Value `name` as a number with a decimal conversion (leading blanks, optional sign, digits;
// "abc" reads as 0, "12x" as 12). A missing settings folder is created. Any failure (store
// unreadable, value missing) gives `defaultValue`.
int ReadIntSetting(const char* name, int defaultValue = 0);

// Stores `text` as value `name` (other values are kept). False, with nothing written, when the
// settings folder is missing, the store cannot be read back safely, the write fails, or name or
// text cannot be represented on one line (empty name, '=' in the name, a line break or NUL).
bool WriteSetting(const char* name, const std::string& text);

// ---- Folders ---------------------------------------------------------------------------------

// Folder of the running executable, with a trailing '/'. Read-only resources live below it.
std::string GetProgramFolder();

// Per-user data folder: $XDG_DATA_HOME (default ~/.local/share) + "/Tarnwick Files/".
std::string GetDataFolder();

// Creates `path` and every missing parent. True when `path` is a folder afterwards.
bool CreateFolderPath(const std::string& path);

// ---- Tests ---------------------------------------------------------------------------------

// Makes language files resolve below `programFolder` (must end in '/') instead of the program
// folder; an empty text restores the normal rule. Drops the parsed file.
void SetLanguageRootForTesting(const std::string& programFolder);
