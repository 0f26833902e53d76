#include "support/TempFolder.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>

TempFolder::TempFolder(const std::string& stem) {
  std::string pattern = (std::filesystem::temp_directory_path() / (stem + "-XXXXXX")).string();
  if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
}

TempFolder::~TempFolder() {
  if (path_.empty()) return;
  std::error_code ignored;
  // A test may have taken the owner's rights away to provoke a failure.
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

bool TempFolder::MakeFolder(const std::string& name) const {
  std::error_code ignored;
  std::filesystem::create_directories(*this / name, ignored);
  return std::filesystem::is_directory(*this / name, ignored);
}

bool TempFolder::Write(const std::string& name, const std::string& bytes) const {
  const std::filesystem::path file = *this / name;
  std::error_code ignored;
  std::filesystem::create_directories(file.parent_path(), ignored);
  std::ofstream out(file, std::ios::binary);
  out << bytes;
  return static_cast<bool>(out.flush());
}

std::string TempFolder::Read(const std::string& name) const {
  std::ifstream in(*this / name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
