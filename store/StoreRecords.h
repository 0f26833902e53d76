#pragma once
// Value records filled by the store's read operations. Texts are UTF-8; integers are the
// columns' 32-bit values. Lists are vectors owned by the caller and emptied before filling.
#include <cstdint>
#include <string>

struct ProfileRecord {
  int32_t profile = 0;
  std::string name;
  std::string app;
  int32_t type = 0;
  int32_t status = 0;
};

struct KeyAssignmentRecord {
  int32_t key_id = 0;
  int32_t profile = 0;
  int32_t fn_layer = 0;
  int32_t key_code = 0;
  int32_t layout_value = 0;
  std::string layout_desc;
  int32_t macro_type = 0;
  int32_t macro_value = 0;
  int32_t macro_value2 = 0;
  int32_t macro_value3 = 0;
  std::string macro_desc;
};

struct MacroRecord {
  int32_t macro_id = 0;
  std::string name;
  int32_t link_count = 0;
  int32_t play_times = 1;
  int32_t delay_type = 1;
  int32_t delay_time = 0;
};

struct MacroEventRecord {
  int32_t record_id = 0;
  int32_t macro_id = 0;
  int32_t type = 0;
  int32_t record_index = 0;
  int32_t value = 0;
  int32_t delay_time = 0;
  std::string desc;
};

struct LightRecord {
  int32_t light_id = 0;
  int32_t profile = 0;
  std::string name;
  int32_t mode = 0;
  int32_t brightness = 0;
  int32_t speed = 0;
  int32_t direction = 0;
  int32_t colorful = 0;
  int32_t colorindex = 0;
  int32_t color_value = 0;
  int32_t config_func = 0;
  int32_t reserved = 0;
  int32_t status = 0;
};

struct KeyColourRecord {
  int32_t keylight_id = 0;
  int32_t profile = 0;
  int32_t light_id = 0;
  int32_t key_code = 0;
  int32_t key_rgb = 0;
};

struct FrameRecord {
  int32_t frames_id = 0;
  int32_t light_id = 0;
  int32_t frameIndex = 0;
  int32_t key_value = 0;
  int32_t rgb_value = 0;
};
