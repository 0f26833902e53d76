#pragma once
// A private folder below the system's temporary folder for one test, removed with everything in
// it when the object goes. Path() is empty when the folder could not be made. Not shared between
// threads.
#include <string>

class TempFolder {
 public:
  // `stem` names the folder ("<stem>-XXXXXX") so that a leftover shows which test made it.
  explicit TempFolder(const std::string& stem = "kw-test");
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }
  // The path with a trailing '/', as the program's folder functions give theirs.
  std::string Slashed() const { return path_ + "/"; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  // Creates `name` and its parents below the folder; true when it exists afterwards.
  bool MakeFolder(const std::string& name) const;
  // Writes `bytes` to `name` below the folder, creating its parents; true when all were written.
  bool Write(const std::string& name, const std::string& bytes) const;
  // The whole file `name` below the folder; empty when it cannot be read.
  std::string Read(const std::string& name) const;

 private:
  std::string path_;
};
