#pragma once
// Keys and pointer buttons of the whole X display, for the macro recorder, over a connection of
// its own with a reader thread:
// - Grab: takes the keyboard of the root window (an active grab), so every key reaches only
//   this object and no other program until Stop. Held keys repeat as presses without releases.
// - Raw: reads the raw key and button events of all devices (XInput2) on the root window;
//   nothing is taken from other programs.
// Keys are reported as the keysym of the key's first level (Shift+a reports a), buttons by
// their X number.
//
// Ownership: the object owns its connection and thread; both end in Stop and in the destructor.
// Threads: Start and Stop from one thread (the UI thread); the listener runs on the reader
// thread and must not block.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

namespace platform {

struct CapturedInput {
  enum Source { Key, Button };
  Source source = Key;
  uint32_t code = 0;  // keysym or button number
  bool release = false;
};

class InputCapture {
 public:
  enum class Mode { Grab, Raw };
  enum class Result { Started, NoDisplay, Refused };
  using Listener = std::function<void(const CapturedInput&)>;

  InputCapture();
  ~InputCapture();
  InputCapture(const InputCapture&) = delete;
  InputCapture& operator=(const InputCapture&) = delete;

  // Refused: another client holds a keyboard grab, or the server lacks XInput2. A running
  // capture is stopped first.
  Result Start(Mode mode, Listener listener);
  void Stop();
  bool Running() const { return running_.load(); }

 private:
  struct Connection;
  void Read();

  std::unique_ptr<Connection> connection_;
  Listener listener_;
  std::thread reader_;
  std::atomic<bool> running_{false};
};

}  // namespace platform
