// What a file chooser is asked for and what it answers. Plain values, any thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// One entry of the chooser's type list: a label and its glob patterns ("*.xml").
struct FileFilter {
  std::string name;
  std::vector<std::string> patterns;
};

struct FileChooserRequest {
  enum class Mode { Open, Save };
  Mode mode = Mode::Open;
  std::string title;
  std::string suggestedName;        // the file name offered when saving
  std::vector<FileFilter> filters;  // the first one is selected at first
  std::uint64_t parentWindow = 0;   // X11 window id the chooser belongs to, 0 for none
};

enum class FileChoice {
  Chosen,      // `path` holds the file
  Cancelled,   // the user closed the chooser without a file
  Unavailable  // no chooser could be shown
};

struct FileChooserResult {
  FileChoice choice = FileChoice::Unavailable;
  std::string path;  // a local path (a portal's file:// URI decoded), only with Chosen
};

}  // namespace platform
