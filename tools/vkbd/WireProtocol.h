#pragma once
// The framing between libhidsim (and the keywright-vkbd command line) and the keywright-vkbd
// process: length-prefixed frames over a Unix stream socket. A request is (op, two int32
// arguments, bytes); a response is (int32 result, bytes). One connection per open HID handle, so
// a blocking read never holds up another handle; a Connection serialises its own calls.
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "tools/vkbd/InterfaceInfo.h"

namespace vkbd::wire {

enum class Op : uint8_t {
  // hidapi calls
  Enumerate = 1,       // -> serialized interfaces
  Open = 2,            // data = path; binds the connection to the interface; -EACCES when denied
  Write = 3,           // data = report -> result bytes
  SendFeature = 4,     // data = report
  GetFeature = 5,      // data = request buffer -> reply buffer
  Read = 6,            // arg = timeout ms, arg2 = length -> report
  Manufacturer = 7,    // -> UTF-8 text
  Product = 8,
  Serial = 9,
  // control (keyboard index in arg)
  Ping = 32,
  State = 33,          // arg = index or -1 for all -> text
  Plug = 34,           // data = "vid:pid" -> new index
  Unplug = 35,
  Replug = 36,
  Emit = 37,           // data = input report
  SetVersion = 38,     // arg2 = version
  SetVersionReply = 39,// arg2 = 0 answer, 1 wrong id once, 2 wrong id always, 3 never
  FailWrites = 40,     // arg2 = count
  Log = 41,            // -> text, one report per line
  Quit = 42,
  DenyAccess = 43,     // arg2 = 1 deny every open, 0 allow again
};

struct Request {
  Op op = Op::Ping;
  int32_t arg = 0;
  int32_t arg2 = 0;
  std::vector<uint8_t> data;
};

struct Response {
  int32_t result = -1;
  std::vector<uint8_t> data;
};

// KW_VKBD_SOCKET, else $XDG_RUNTIME_DIR/keywright-vkbd.sock, else /tmp/keywright-vkbd-<uid>.sock.
std::string DefaultSocketPath();

std::vector<uint8_t> EncodeRequest(const Request& request);
std::optional<Request> DecodeRequest(const std::vector<uint8_t>& frame);
std::vector<uint8_t> EncodeResponse(const Response& response);
std::optional<Response> DecodeResponse(const std::vector<uint8_t>& frame);
std::vector<uint8_t> EncodeInterfaces(const std::vector<InterfaceInfo>& interfaces);
std::optional<std::vector<InterfaceInfo>> DecodeInterfaces(const std::vector<uint8_t>& data);

// Whole frames on a stream socket; false on a closed or broken connection or a frame over 1 MiB.
bool SendFrame(int fd, const std::vector<uint8_t>& body);
bool RecvFrame(int fd, std::vector<uint8_t>& body);

// A client connection (RAII socket). Thread-safe: one call at a time.
class Connection {
 public:
  explicit Connection(const std::string& socketPath);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  bool Connected() const { return fd_ >= 0; }
  // Nothing when the server is unreachable or the connection broke.
  std::optional<Response> Call(const Request& request);

 private:
  std::mutex mutex_;
  int fd_ = -1;
};

}  // namespace vkbd::wire
