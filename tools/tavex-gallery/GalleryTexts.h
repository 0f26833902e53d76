#pragma once
// The gallery's sample texts: numbered texts of the shipped language files, like every caption of
// the program. main() picks the language once, before any page is built; UI thread only.
#include <string>

namespace Gallery {

// Loads language/<lcid>.lan beside the executable (1033 or 2052). False when it cannot be read;
// texts are then empty.
bool LoadTexts(int lcid);
int TextsLanguage();
// Text `number` of section KB.DIALOG; empty when the file lacks it.
std::string Text(int number);

}  // namespace Gallery
