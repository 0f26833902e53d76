#pragma once
// How a stored profile name is shown: a default name stored in the other language's form
// ("Profile 2" under Chinese, "配置方案 2" under English) gets the current language's word.
#include <string>

// `languageId` is 2052 or 1033; `profileWord` is language text 65 of the current language.
std::string ProfileDisplayName(const std::string& storedName, int languageId,
                               const std::string& profileWord);

// The same for the current language and its text 65.
std::string ProfileDisplayName(const std::string& storedName);
