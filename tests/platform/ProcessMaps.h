// Whether this process has a file mapped whose path contains `needle` (/proc/self/maps).
#pragma once

#include <fstream>
#include <iterator>
#include <string>

inline bool ProcessMaps(const std::string& needle) {
  std::ifstream maps("/proc/self/maps");
  const std::string text{std::istreambuf_iterator<char>(maps), std::istreambuf_iterator<char>()};
  return text.find(needle) != std::string::npos;
}
