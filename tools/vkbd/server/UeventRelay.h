#pragma once
// Relays the uevents of the server's plugs and unplugs to every program that listens, on a Unix
// sequenced-packet socket beside the command socket ("<socket>.uevents"), so that the program's
// hot-plug monitor hears virtual keyboards come and go the way it hears real ones.
// Thread-safe: Broadcast may be called from any connection thread.
#include <mutex>
#include <string>
#include <vector>

#include "tools/vkbd/KeyboardSpec.h"

namespace vkbd {

class UeventRelay {
 public:
  UeventRelay() = default;
  ~UeventRelay();
  UeventRelay(const UeventRelay&) = delete;
  UeventRelay& operator=(const UeventRelay&) = delete;

  // Binds "<commandSocket>.uevents" and accepts listeners on a thread of its own.
  bool Listen(const std::string& commandSocket, std::string& error);
  // Sends the add or remove events of keyboard `port` to every listener; drops broken ones.
  void Broadcast(const KeyboardSpec& spec, int port, bool added);

 private:
  void AcceptLoop();

  std::mutex mutex_;
  int listenFd_ = -1;
  std::string path_;
  std::vector<int> listeners_;
  unsigned sequence_ = 0;
};

}  // namespace vkbd
