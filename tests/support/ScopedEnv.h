#pragma once
// Sets (or, with a null value, removes) an environment variable for the life of the object and
// restores the old state afterwards. The environment is process-wide: tests only, one thread.
#include <string>

class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::string old_;
  bool hadOld_ = false;
};
