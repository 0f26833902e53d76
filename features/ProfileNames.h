#pragma once
// Names of profiles: the name shown in the list for a stored name, the first free default name
// of a new profile, and the name check that refuses names holding a blocked word.
// Pure functions; any thread.
#include <string>
#include <vector>

namespace profiles {

inline constexpr int kMaxProfiles = 200;
inline constexpr int kMaxDefaultNumber = 1000;

// The list's text for a stored name: a default name stored in the other language ("Profile 2"
// while Chinese is shown, "配置方案 2" while English is) is shown with `profileWord` (text 65
// of the current language) in front of its number.
std::string DisplayName(const std::string& stored, int lcid, const std::string& profileWord);

// "<word> n" for the smallest n from 1 that no entry of `taken` equals exactly; empty when all
// up to kMaxDefaultNumber are taken.
std::string FirstFreeName(const std::string& profileWord, const std::vector<std::string>& taken);

// True when the lower-cased copy of `name` contains one of the blocked words.
bool HasBlockedWord(const std::string& name);
// The fixed list (lower-case Latin words, or one or two Chinese characters).
const std::vector<std::string>& BlockedWords();

}  // namespace profiles
