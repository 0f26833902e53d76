#include "docs/LangSettings.h"

#include <atomic>
#include <mutex>
#include <string_view>

#include "docs/LangFile.h"
#include "docs/SettingsFile.h"
#include "platform/FileSystem.h"
#include "platform/UserFolders.h"
#include "platform/base/ProgramFolder.h"
#include "platform/UserLocale.h"

namespace {

constexpr const char* kSeriesWord = "Tarnwick";
constexpr const char* kLanguageValue = "LCID";
// Files larger than these are not ours; they are left alone rather than parsed.
constexpr size_t kMaxLangFileBytes = 8u << 20;
constexpr size_t kMaxSettingsBytes = 1u << 20;

std::atomic<int> g_currentLanguage{0};

// The parsed file of the current language, replaced when the language changes.
class LangCache {
 public:
  std::string Lookup(int lcid, std::string_view section, int number) {
    std::lock_guard lock(mutex_);
    if (!loaded_ || lcid != lcid_) Load(lcid);
    return file_.Get(section, std::to_string(number));
  }

  void SetRoot(const std::string& root) {
    std::lock_guard lock(mutex_);
    root_ = root;
    loaded_ = false;
  }

 private:
  void Load(int lcid) {
    if (root_.empty()) root_ = GetProgramFolder();  // the executable does not move
    const std::string path = root_ + "language/" + std::to_string(lcid) + ".lan";
    const platform::FileContents contents = platform::ReadWholeFile(path, kMaxLangFileBytes);
    file_ = contents.status == platform::ReadStatus::Ok ? LangFile::Parse(contents.bytes)
                                                         : LangFile();
    lcid_ = lcid;
    loaded_ = true;
  }

  std::mutex mutex_;
  std::string root_;  // folder holding language/; the program folder unless a test set one
  int lcid_ = 0;
  bool loaded_ = false;
  LangFile file_;
};

LangCache& Cache() {
  static LangCache cache;
  return cache;
}

// Serialises read-modify-write cycles of the settings file within the process.
std::mutex g_settingsMutex;

std::string SettingsFolder() {
  const std::string base = platform::ConfigHome();
  return base.empty() ? std::string() : base + "/" + kSeriesWord;
}

std::string SettingsPath(const std::string& folder) { return folder + "/settings.ini"; }

enum class KeyState { Opened, Created, CreateFailed, Failed };

// The settings folder stands for the settings key: present, created now, or not usable.
KeyState OpenKey(const std::string& folder, bool create) {
  if (folder.empty()) return KeyState::Failed;
  if (platform::IsDirectory(folder)) return KeyState::Opened;
  if (!create || platform::PathExists(folder)) return KeyState::Failed;
  return CreateFolderPath(folder) ? KeyState::Created : KeyState::CreateFailed;
}

struct ReadResult {
  KeyState key = KeyState::Failed;
  bool storeReadable = false;
  std::optional<std::string> value;
};

ReadResult ReadValue(const char* name) {
  std::lock_guard lock(g_settingsMutex);
  ReadResult result;
  const std::string folder = SettingsFolder();
  result.key = OpenKey(folder, true);
  if (result.key == KeyState::Created) {
    result.storeReadable = true;
    return result;
  }
  if (result.key != KeyState::Opened) return result;
  const platform::FileContents contents =
      platform::ReadWholeFile(SettingsPath(folder), kMaxSettingsBytes);
  if (contents.status == platform::ReadStatus::Missing) {
    result.storeReadable = true;
  } else if (contents.status == platform::ReadStatus::Ok) {
    result.storeReadable = true;
    if (name) result.value = SettingsFile::Parse(contents.bytes).Get(name);
  }
  return result;
}

}  // namespace

int GetCurrentLanguage() { return g_currentLanguage.load(); }

void SetCurrentLanguage(int lcid) { g_currentLanguage.store(lcid); }

std::string GetLangText(int number, const char* section) {
  if (!section) return {};
  return Cache().Lookup(GetCurrentLanguage(), section, number);
}

void SetLanguageRootForTesting(const std::string& programFolder) {
  Cache().SetRoot(programFolder);
}

int DefaultLanguageFromUi() {
  return platform::UserDefaultUILanguage() == kLangChinese ? kLangChinese : kLangEnglish;
}

int ReadLanguageSetting() {
  const ReadResult read = ReadValue(kLanguageValue);
  if (read.key == KeyState::CreateFailed || !read.storeReadable) return kLangChinese;
  return read.value ? DecimalTextToInt(*read.value) : 0;
}

bool WriteLanguageSetting(int lcid) { return WriteSetting(kLanguageValue, std::to_string(lcid)); }

int ReadIntSetting(const char* name, int defaultValue) {
  if (!name) return defaultValue;
  const ReadResult read = ReadValue(name);
  return read.value ? DecimalTextToInt(*read.value) : defaultValue;
}

bool WriteSetting(const char* name, const std::string& text) {
  if (!name || !SettingsFile::IsStorableName(name) || !SettingsFile::IsStorableText(text))
    return false;
  std::lock_guard lock(g_settingsMutex);
  const std::string folder = SettingsFolder();
  if (OpenKey(folder, false) != KeyState::Opened) return false;
  const std::string path = SettingsPath(folder);
  const platform::FileContents contents = platform::ReadWholeFile(path, kMaxSettingsBytes);
  // A store that cannot be read back is never replaced: that would lose what it holds.
  if (contents.status != platform::ReadStatus::Ok &&
      contents.status != platform::ReadStatus::Missing)
    return false;
  SettingsFile file = SettingsFile::Parse(contents.bytes);
  if (!file.Set(name, text)) return false;
  return platform::WriteFileAtomic(path, file.Serialize());
}

int ChooseStartupLanguage() {
  int lcid = ReadLanguageSetting();
  // Only the two offered languages have texts; anything else stored is treated as unset.
  if (lcid != kLangChinese && lcid != kLangEnglish) {
    lcid = DefaultLanguageFromUi();
    WriteLanguageSetting(lcid);
  }
  SetCurrentLanguage(lcid);
  return lcid;
}

std::string GetProgramFolder() { return platform::ExecutableFolder(); }

std::string GetDataFolder() {
  const std::string base = platform::DataHome();
  return base.empty() ? std::string() : base + "/" + kSeriesWord + " Files/";
}

bool CreateFolderPath(const std::string& path) {
  if (path.empty()) return false;
  if (platform::IsDirectory(path)) return true;
  // Create every parent in turn; failures (existing or forbidden parents) are for the last step
  // to find out.
  for (size_t slash = path.find('/', 1); slash != std::string::npos;
       slash = path.find('/', slash + 1))
    platform::MakeDirectory(path.substr(0, slash));
  return platform::MakeDirectory(path);
}
