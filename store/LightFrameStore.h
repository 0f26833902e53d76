#pragma once
// The shipped light-frame database (db/lightlayer_v1.data beside the program): preview frames of
// the lighting modes. Read-mostly; created empty when missing.
// Threads: every operation holds the store's own lock (separate from the profile store's).
#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "store/SQLiteDB.h"
#include "store/StoreRecords.h"

class LightFrameStore : protected SQLiteDB {
public:
  LightFrameStore() = default;
  ~LightFrameStore() override;

  static LightFrameStore& Instance();

  // `programFolder` ends with '/'. Opens db/lightlayer_v1.data, or creates it with empty frame
  // tables when missing (all of them or, removing the new file, none). The result is kept as the
  // open flag.
  bool Open(const std::string& programFolder);
  bool Close();
  bool OpenFlag() const { return openFlag_.load(); }
  std::string Path() const;

  // Frames of one lighting mode in storage order.
  int ListFrames(int32_t lightId, std::vector<FrameRecord>& list);

private:
  mutable std::mutex lock_;
  std::string path_;
  const std::string key_;
  std::atomic<bool> openFlag_{false};
};
