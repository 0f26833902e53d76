#include "platform/HotPlugRelay.h"

#if KW_HOTPLUG_RELAY
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#endif

namespace platform {

#if KW_HOTPLUG_RELAY

std::string HotPlugRelayPath() {
  std::string socket;
  if (const char* path = std::getenv("KW_VKBD_SOCKET"); path != nullptr && *path != '\0') {
    socket = path;
  } else if (const char* run = std::getenv("XDG_RUNTIME_DIR"); run != nullptr && *run != '\0') {
    socket = std::string(run) + "/keywright-vkbd.sock";
  } else {
    socket = "/tmp/keywright-vkbd-" + std::to_string(getuid()) + ".sock";
  }
  return socket + ".uevents";
}

UniqueFd ConnectHotPlugRelay() {
  const std::string path = HotPlugRelayPath();
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return UniqueFd();
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  UniqueFd fd(socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0));
  if (!fd.Valid() ||
      connect(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
    return UniqueFd();
  return fd;
}

#else

std::string HotPlugRelayPath() { return {}; }
UniqueFd ConnectHotPlugRelay() { return UniqueFd(); }

#endif

}  // namespace platform
