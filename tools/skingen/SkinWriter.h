#pragma once
// Saves the generated images below the skin folder, creating sub-folders, and keeps the list of
// what was written and what failed.
#include "Canvas.h"

#include <functional>
#include <string>
#include <vector>

namespace skingen {

class SkinWriter {
 public:
  explicit SkinWriter(std::string root) : root_(std::move(root)) {}

  // `relPath` uses "/" (e.g. "icon/tab_home.png").
  void Png(const std::string& relPath, const Canvas& canvas);
  // Any file: `write` receives the full path and reports success.
  void File(const std::string& relPath, const std::function<bool(const std::string&)>& write);

  const std::vector<std::string>& Written() const { return written_; }
  const std::vector<std::string>& Failed() const { return failed_; }
  const std::string& Root() const { return root_; }

 private:
  std::string root_;
  std::vector<std::string> written_;
  std::vector<std::string> failed_;
};

// Lays `states` cells of w × h side by side, calling draw(canvas, state) with the origin moved
// to the cell.
Canvas StateStrip(int states, int w, int h, const std::function<void(const Canvas&, int)>& draw);

}  // namespace skingen
