#include "tools/vkbd/WireProtocol.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace vkbd::wire {

namespace {
constexpr uint32_t kMaxFrame = 1u << 20;

class Writer {
 public:
  void U8(uint8_t v) { out_.push_back(v); }
  void U16(uint16_t v) { U8(static_cast<uint8_t>(v)); U8(static_cast<uint8_t>(v >> 8)); }
  void U32(uint32_t v) { U16(static_cast<uint16_t>(v)); U16(static_cast<uint16_t>(v >> 16)); }
  void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
  void Bytes(const uint8_t* p, size_t n) {
    U32(static_cast<uint32_t>(n));
    out_.insert(out_.end(), p, p + n);
  }
  void Str(const std::string& s) { Bytes(reinterpret_cast<const uint8_t*>(s.data()), s.size()); }
  std::vector<uint8_t> Take() { return std::move(out_); }

 private:
  std::vector<uint8_t> out_;
};

class Reader {
 public:
  explicit Reader(const std::vector<uint8_t>& in) : in_(in) {}
  bool U8(uint8_t& v) {
    if (pos_ + 1 > in_.size()) return false;
    v = in_[pos_++];
    return true;
  }
  bool U16(uint16_t& v) {
    uint8_t a, b;
    if (!U8(a) || !U8(b)) return false;
    v = static_cast<uint16_t>(a | b << 8);
    return true;
  }
  bool U32(uint32_t& v) {
    uint16_t a, b;
    if (!U16(a) || !U16(b)) return false;
    v = static_cast<uint32_t>(a) | static_cast<uint32_t>(b) << 16;
    return true;
  }
  bool I32(int32_t& v) {
    uint32_t u;
    if (!U32(u)) return false;
    v = static_cast<int32_t>(u);
    return true;
  }
  bool Bytes(std::vector<uint8_t>& v) {
    uint32_t n;
    if (!U32(n) || n > in_.size() - pos_) return false;
    v.assign(in_.begin() + static_cast<long>(pos_), in_.begin() + static_cast<long>(pos_ + n));
    pos_ += n;
    return true;
  }
  bool Str(std::string& s) {
    std::vector<uint8_t> b;
    if (!Bytes(b)) return false;
    s.assign(b.begin(), b.end());
    return true;
  }
  bool AtEnd() const { return pos_ == in_.size(); }

 private:
  const std::vector<uint8_t>& in_;
  size_t pos_ = 0;
};

bool WriteAll(int fd, const uint8_t* p, size_t n) {
  while (n) {
    const ssize_t w = send(fd, p, n, MSG_NOSIGNAL);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return false;
    p += w;
    n -= static_cast<size_t>(w);
  }
  return true;
}

bool ReadAll(int fd, uint8_t* p, size_t n) {
  while (n) {
    const ssize_t r = recv(fd, p, n, 0);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return false;
    p += r;
    n -= static_cast<size_t>(r);
  }
  return true;
}
}  // namespace

std::string DefaultSocketPath() {
  if (const char* env = std::getenv("KW_VKBD_SOCKET"); env && *env) return env;
  if (const char* run = std::getenv("XDG_RUNTIME_DIR"); run && *run) return std::string(run) + "/keywright-vkbd.sock";
  return "/tmp/keywright-vkbd-" + std::to_string(getuid()) + ".sock";
}

std::vector<uint8_t> EncodeRequest(const Request& request) {
  Writer w;
  w.U8(static_cast<uint8_t>(request.op));
  w.I32(request.arg);
  w.I32(request.arg2);
  w.Bytes(request.data.data(), request.data.size());
  return w.Take();
}

std::optional<Request> DecodeRequest(const std::vector<uint8_t>& frame) {
  Reader r(frame);
  Request request;
  uint8_t op;
  if (!r.U8(op) || !r.I32(request.arg) || !r.I32(request.arg2) || !r.Bytes(request.data) || !r.AtEnd()) {
    return std::nullopt;
  }
  request.op = static_cast<Op>(op);
  return request;
}

std::vector<uint8_t> EncodeResponse(const Response& response) {
  Writer w;
  w.I32(response.result);
  w.Bytes(response.data.data(), response.data.size());
  return w.Take();
}

std::optional<Response> DecodeResponse(const std::vector<uint8_t>& frame) {
  Reader r(frame);
  Response response;
  if (!r.I32(response.result) || !r.Bytes(response.data) || !r.AtEnd()) return std::nullopt;
  return response;
}

std::vector<uint8_t> EncodeInterfaces(const std::vector<InterfaceInfo>& interfaces) {
  Writer w;
  w.U32(static_cast<uint32_t>(interfaces.size()));
  for (const InterfaceInfo& i : interfaces) {
    w.Str(i.path);
    w.U16(i.vendorId);
    w.U16(i.productId);
    w.U16(i.releaseNumber);
    w.U16(i.usagePage);
    w.U16(i.usage);
    w.I32(i.interfaceNumber);
    w.Str(i.manufacturer);
    w.Str(i.product);
    w.Str(i.serial);
  }
  return w.Take();
}

std::optional<std::vector<InterfaceInfo>> DecodeInterfaces(const std::vector<uint8_t>& data) {
  Reader r(data);
  uint32_t n;
  if (!r.U32(n)) return std::nullopt;
  std::vector<InterfaceInfo> out;
  for (uint32_t k = 0; k < n; ++k) {
    InterfaceInfo i;
    if (!r.Str(i.path) || !r.U16(i.vendorId) || !r.U16(i.productId) || !r.U16(i.releaseNumber) ||
        !r.U16(i.usagePage) || !r.U16(i.usage) || !r.I32(i.interfaceNumber) || !r.Str(i.manufacturer) ||
        !r.Str(i.product) || !r.Str(i.serial)) {
      return std::nullopt;
    }
    out.push_back(std::move(i));
  }
  if (!r.AtEnd()) return std::nullopt;
  return out;
}

bool SendFrame(int fd, const std::vector<uint8_t>& body) {
  if (body.size() > kMaxFrame) return false;
  const auto n = static_cast<uint32_t>(body.size());
  const uint8_t head[4] = {static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n >> 16),
                           static_cast<uint8_t>(n >> 24)};
  return WriteAll(fd, head, sizeof head) && WriteAll(fd, body.data(), body.size());
}

bool RecvFrame(int fd, std::vector<uint8_t>& body) {
  uint8_t head[4];
  if (!ReadAll(fd, head, sizeof head)) return false;
  const uint32_t n = static_cast<uint32_t>(head[0]) | static_cast<uint32_t>(head[1]) << 8 |
                     static_cast<uint32_t>(head[2]) << 16 | static_cast<uint32_t>(head[3]) << 24;
  if (n > kMaxFrame) return false;
  body.resize(n);
  return ReadAll(fd, body.data(), n);
}

Connection::Connection(const std::string& socketPath) {
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  if (socketPath.size() >= sizeof addr.sun_path) return;
  std::memcpy(addr.sun_path, socketPath.c_str(), socketPath.size() + 1);
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return;
  if (connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
    close(fd);
    return;
  }
  fd_ = fd;
}

Connection::~Connection() {
  if (fd_ >= 0) close(fd_);
}

std::optional<Response> Connection::Call(const Request& request) {
  const std::lock_guard lock(mutex_);
  if (fd_ < 0) return std::nullopt;
  std::vector<uint8_t> frame;
  if (!SendFrame(fd_, EncodeRequest(request)) || !RecvFrame(fd_, frame)) {
    close(fd_);
    fd_ = -1;
    return std::nullopt;
  }
  return DecodeResponse(frame);
}

}  // namespace vkbd::wire
