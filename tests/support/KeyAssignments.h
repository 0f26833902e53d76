#pragma once
// A key assignment row of profile 1, layer 0, for the tests that build key tables and macro areas.
#include <cstdint>

#include "store/StoreRecords.h"

inline KeyAssignmentRecord Key(int32_t code, int32_t kind, int32_t value) {
  KeyAssignmentRecord r;
  r.profile = 1;
  r.key_code = code;
  r.macro_type = kind;
  r.macro_value = value;
  return r;
}
