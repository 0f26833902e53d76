#pragma once
// Serves a VirtualBus over a Unix stream socket: the hidapi calls forwarded by libhidsim (one
// connection per open handle) and control requests from the keywright-vkbd command line (plug,
// unplug, emit events, print the decoded state and the report log).
// Each connection runs on a thread of its own; the bus is thread-safe.
#include <atomic>
#include <memory>
#include <string>

#include "tools/vkbd/VirtualBus.h"
#include "tools/vkbd/server/UeventRelay.h"
#include "tools/vkbd/WireProtocol.h"

namespace vkbd {

class VkbdServer {
 public:
  explicit VkbdServer(VirtualBus& bus) : bus_(bus) {}
  ~VkbdServer();
  VkbdServer(const VkbdServer&) = delete;
  VkbdServer& operator=(const VkbdServer&) = delete;

  // Binds the socket. Fails when another server answers on it; a stale socket file is replaced.
  bool Listen(const std::string& path, std::string& error);
  // Also tells listeners of `relay` (which must outlive the server) of every plug and unplug.
  void SetRelay(UeventRelay* relay) { relay_ = relay; }
  // Accepts connections until the listening socket is shut down; runs on the calling thread.
  void AcceptLoop();
  // True once a client asked the server to quit.
  bool QuitRequested() const { return quit_; }
  const std::string& Path() const { return path_; }

  // Text of one keyboard (index >= 0) or of all.
  std::string StateText(int index) const;
  // The log of keyboard `index` from entry `first` on (0: all of it).
  std::string LogText(int index, std::size_t first = 0) const;

 private:
  struct Session;
  void Serve(int fd);
  wire::Response Dispatch(Session& session, const wire::Request& request);
  std::shared_ptr<VirtualKeyboard> KeyboardAt(int index) const;

  void Announce(const std::shared_ptr<VirtualKeyboard>& keyboard, int index, bool added);

  VirtualBus& bus_;
  UeventRelay* relay_ = nullptr;
  int listenFd_ = -1;
  std::string path_;
  std::atomic<bool> quit_{false};
};

// "24ae:4076" -> ids; false when malformed.
bool ParseModel(const std::string& text, uint16_t& vendorId, uint16_t& productId);

}  // namespace vkbd
