// Small file helpers for settings and data files. Callable from any thread; paths are UTF-8.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

enum class ReadStatus {
  Ok,          // bytes holds the whole file
  Missing,     // no such file
  Unreadable,  // exists but cannot be opened or read (permissions, a folder, I/O error)
  TooLarge,    // larger than the caller's limit; nothing returned
};

struct FileContents {
  ReadStatus status = ReadStatus::Missing;
  std::string bytes;
};

// Reads a whole regular file of at most `maxBytes` bytes.
FileContents ReadWholeFile(const std::string& path, size_t maxBytes);

// Replaces `path` with `bytes` atomically: a temporary file in the same folder is written,
// flushed to disk and renamed over `path`, then the folder is flushed. On failure `path` is
// unchanged and the temporary file is removed.
bool WriteFileAtomic(const std::string& path, const std::string& bytes);

bool IsDirectory(const std::string& path);
bool PathExists(const std::string& path);

// Creates one folder (parents must exist). True when it was created or already is a folder.
bool MakeDirectory(const std::string& path);

// Creates a folder and its missing parents. True when it is a folder afterwards.
bool MakeDirectories(const std::string& path);

// Whether `name` can stand as one entry of a folder: not empty, not "." or "..", no '/' or NUL.
bool IsPlainFileName(const std::string& name);

// Whether `text` holds an ASCII control character (a line break, tab, NUL, DEL ...): such text
// cannot stand as one line of a file or a command line.
bool HasControlCharacters(const std::string& text);

}  // namespace platform
