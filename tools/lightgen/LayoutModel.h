#pragma once
// The parts of a keyboard layout file the light-frame generator needs: the keys in file order
// (which is the order of the preview frame bytes) with their codes and rectangles, the picture
// size, and the lighting modes. Read with the program's own XML facility.
#include <cstdint>
#include <string>
#include <vector>

struct LayoutKey {
  uint32_t code = 0;
  std::string name;
  int left = 0, top = 0, right = 0, bottom = 0;
  double CenterX() const { return (left + right) / 2.0; }
  double CenterY() const { return (top + bottom) / 2.0; }
};

struct LayoutMode {
  int name = 0;  // language text number
  int mode = 0;
  int attribute = 0;
};

struct LayoutModel {
  int width = 0, height = 0;
  std::vector<LayoutKey> keys;
  std::vector<LayoutMode> modes;

  // Fills the model from the file; false with a reason in `error` when the file cannot be
  // loaded or lacks keys or modes.
  bool Load(const std::string& path, std::string* error);
};
