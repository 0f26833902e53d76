#pragma once
// Profiles and macros as XML files, to move them between computers. A profile file holds the
// base-layer key assignments of one profile and, after them, every macro its macro keys play;
// a macro file holds one macro with its events. Files are written as UTF-8 without a byte-order
// mark, beside the target and renamed over it, so a failed save keeps the user's old file.
//
// Reading is all or nothing: the file is read and checked whole before anything is written,
// and the writes of one import run in one store transaction. A file that cannot be read, is not
// well-formed, has another root or is larger than kMaxFileBytes imports nothing. Values the
// store and the keyboard's macro block cannot hold are clamped or skipped (see the .cpp).
//
// Ownership: borrows the store, which must outlive it. Threads: the store's rules; the UI thread
// calls it in the program.
#include <cstdint>
#include <string>
#include <vector>

#include "store/ProfileStore.h"

class MacroXml {
 public:
  static constexpr uintmax_t kMaxFileBytes = 4u << 20;
  static constexpr size_t kMaxMacros = 256;       // macroinfo elements read from one file
  static constexpr size_t kMaxKeyItems = 512;     // key items read from one file

  // A macro an import created, for the macro list.
  struct NewMacro {
    int32_t id = 0;
    std::string name;
  };
  struct ProfileImport {
    int32_t profile = 0;             // the new, now active profile; 0 when nothing was imported
    std::vector<NewMacro> macros;    // macros created for it, in file order
  };

  explicit MacroXml(ProfileStore& store) : store_(store) {}

  // `name` is the profile's name as the profile list shows it. False when the file cannot be
  // written.
  bool ExportProfile(int32_t profile, const std::string& name, const std::string& path);
  // False when the macro does not exist or the file cannot be written.
  bool ExportMacro(int32_t macroId, const std::string& path);

  // Creates a profile named after the file (NameOfFile), its macros, and makes it the active
  // profile. A macro whose name a macro had before the import is not created again: its keys
  // play that existing macro. `fallbackName` names the profile when the file name gives none.
  ProfileImport ImportProfile(const std::string& path, const std::string& fallbackName);
  // Creates one macro named after the file; its id, 0 when nothing was imported.
  NewMacro ImportMacro(const std::string& path, const std::string& fallbackName);

  // The file's name without its folder, cut before its first "." ("Game.v2.xml" gives "Game").
  static std::string NameOfFile(const std::string& path);

 private:
  ProfileStore& store_;
};
