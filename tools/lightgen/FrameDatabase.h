#pragma once
// Writes a fresh light-frame database: the schema the light-frame store expects and one
// t_light_frames row per key and frame (light_id = mode number, key_value = key code,
// rgb_value = the key's brightness as a grey colour, so its low byte is the brightness the
// keyboard view uses). t_default_light_frames receives the same rows as the factory copy.
#include <cstdint>
#include <string>
#include <vector>

struct sqlite3;

class FrameDatabase {
public:
  FrameDatabase() = default;
  ~FrameDatabase();
  FrameDatabase(const FrameDatabase&) = delete;
  FrameDatabase& operator=(const FrameDatabase&) = delete;

  // Replaces any file at `path` with an empty database holding the schema.
  bool Create(const std::string& path, std::string* error);
  // Appends the frames of one mode, frame by frame, each frame in key order.
  bool AddFrames(int mode, const std::vector<uint32_t>& keyCodes,
                 const std::vector<std::vector<uint8_t>>& frames, std::string* error);
  // Copies the frames into the factory table and closes the file.
  bool Finish(std::string* error);

private:
  bool Exec(const char* sql, std::string* error);
  sqlite3* db_ = nullptr;
};
