#include "tools/vkbd/server/VkbdServer.h"

#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <thread>

namespace vkbd {

namespace {
std::vector<uint8_t> Text(const std::string& s) { return {s.begin(), s.end()}; }

const char* KindName(ReportKind kind) {
  switch (kind) {
    case ReportKind::FeatureSet: return "feature-set";
    case ReportKind::FeatureGet: return "feature-get";
    case ReportKind::Output: return "output";
    case ReportKind::Input: return "input";
  }
  return "?";
}
}  // namespace

struct VkbdServer::Session {
  std::shared_ptr<VirtualPort> port;
};

bool ParseModel(const std::string& text, uint16_t& vendorId, uint16_t& productId) {
  unsigned v = 0, p = 0;
  char tail = 0;
  if (std::sscanf(text.c_str(), "%x:%x%c", &v, &p, &tail) != 2 || v > 0xFFFF || p > 0xFFFF) return false;
  vendorId = static_cast<uint16_t>(v);
  productId = static_cast<uint16_t>(p);
  return true;
}

VkbdServer::~VkbdServer() {
  if (listenFd_ >= 0) {
    close(listenFd_);
    unlink(path_.c_str());
  }
}

bool VkbdServer::Listen(const std::string& path, std::string& error) {
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  if (path.size() >= sizeof addr.sun_path) {
    error = "socket path too long: " + path;
    return false;
  }
  if (wire::Connection(path).Connected()) {
    error = "another keywright-vkbd serves " + path;
    return false;
  }
  unlink(path.c_str());
  std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0 || bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0 || listen(fd, 16) != 0) {
    error = "cannot listen on " + path + ": " + std::strerror(errno);
    if (fd >= 0) close(fd);
    return false;
  }
  listenFd_ = fd;
  path_ = path;
  return true;
}

void VkbdServer::AcceptLoop() {
  while (!quit_) {
    const int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) {
      if (errno == EINTR) continue;
      break;
    }
    // Connections end with their client; the process exits without joining them.
    std::thread(&VkbdServer::Serve, this, fd).detach();
  }
}

void VkbdServer::Serve(int fd) {
  Session session;
  std::vector<uint8_t> frame;
  while (wire::RecvFrame(fd, frame)) {
    const auto request = wire::DecodeRequest(frame);
    const wire::Response response = request ? Dispatch(session, *request) : wire::Response{};
    if (!wire::SendFrame(fd, wire::EncodeResponse(response))) break;
    if (request && request->op == wire::Op::Quit) {
      quit_ = true;
      kill(getpid(), SIGTERM);
    }
  }
  close(fd);
}

void VkbdServer::Announce(const std::shared_ptr<VirtualKeyboard>& keyboard, int index, bool added) {
  if (relay_ != nullptr && keyboard) relay_->Broadcast(keyboard->Spec(), index, added);
}

std::shared_ptr<VirtualKeyboard> VkbdServer::KeyboardAt(int index) const {
  const auto all = bus_.Keyboards();
  if (index < 0 || static_cast<size_t>(index) >= all.size()) return nullptr;
  return all[static_cast<size_t>(index)];
}

std::string VkbdServer::StateText(int index) const {
  std::string out;
  const auto all = bus_.Keyboards();
  for (size_t i = 0; i < all.size(); ++i) {
    if (index >= 0 && static_cast<size_t>(index) != i) continue;
    const KeyboardSpec& s = all[i]->Spec();
    char head[160];
    std::snprintf(head, sizeof head, "keyboard %zu vid=%04x pid=%04x plugged=%d reports=%zu\n", i, s.vendorId,
                  s.productId, all[i]->Plugged() ? 1 : 0, all[i]->Log().size());
    out += head;
    out += all[i]->State().Describe();
  }
  return out;
}

std::string VkbdServer::LogText(int index, std::size_t first) const {
  const auto kb = KeyboardAt(index);
  if (!kb) return {};
  std::string out;
  char b[8];
  const std::vector<LoggedReport> log = kb->Log();
  for (std::size_t i = first; i < log.size(); ++i) {
    const LoggedReport& r = log[i];
    out += std::to_string(r.monotonicNs) + " " + KindName(r.kind) + " if=" + std::to_string(r.interfaceIndex) +
           " ok=" + (r.accepted ? "1" : "0");
    for (const uint8_t v : r.bytes) {
      std::snprintf(b, sizeof b, " %02x", v);
      out += b;
    }
    out += "\n";
  }
  return out;
}

wire::Response VkbdServer::Dispatch(Session& session, const wire::Request& rq) {
  using wire::Op;
  wire::Response rs;
  const auto& port = session.port;
  switch (rq.op) {
    case Op::Enumerate:
      rs.result = 0;
      rs.data = wire::EncodeInterfaces(bus_.Enumerate());
      break;
    case Op::Open: {
      const std::string path(rq.data.begin(), rq.data.end());
      session.port = bus_.OpenPath(path);
      rs.result = session.port ? 0 : bus_.Denied(path) ? -EACCES : -1;
      break;
    }
    case Op::Write:
      rs.result = port ? port->Write(rq.data.data(), rq.data.size()) : -1;
      break;
    case Op::SendFeature:
      rs.result = port ? port->SendFeature(rq.data.data(), rq.data.size()) : -1;
      break;
    case Op::GetFeature:
      rs.data = rq.data;
      rs.result = port ? port->GetFeature(rs.data.data(), rs.data.size()) : -1;
      break;
    case Op::Read: {
      rs.data.assign(static_cast<size_t>(std::clamp(rq.arg2, 0, 4096)), 0);
      rs.result = port ? port->Read(rs.data.data(), rs.data.size(), rq.arg) : -1;
      rs.data.resize(rs.result > 0 ? static_cast<size_t>(rs.result) : 0);
      break;
    }
    case Op::Manufacturer:
    case Op::Product:
    case Op::Serial:
      if (port && port->Connected()) {
        const KeyboardSpec& s = port->Keyboard().Spec();
        rs.result = 0;
        rs.data = Text(rq.op == Op::Manufacturer ? s.manufacturer : rq.op == Op::Product ? s.product : "");
      }
      break;
    case Op::Ping:
    case Op::Quit:
      rs.result = 0;
      break;
    case Op::State:
      rs.result = 0;
      rs.data = Text(StateText(rq.arg));
      break;
    case Op::Log:
      rs.result = KeyboardAt(rq.arg) ? 0 : -1;
      rs.data = Text(LogText(rq.arg, static_cast<std::size_t>(std::max(rq.arg2, 0))));
      break;
    case Op::Plug: {
      uint16_t v, p;
      if (ParseModel(std::string(rq.data.begin(), rq.data.end()), v, p)) {
        const auto keyboard = bus_.Plug(KeyboardSpec::Model(v, p));
        rs.result = static_cast<int32_t>(bus_.Keyboards().size()) - 1;
        Announce(keyboard, rs.result, true);
      }
      break;
    }
    default: {
      const auto kb = KeyboardAt(rq.arg);
      if (!kb) break;
      rs.result = 0;
      if (rq.op == Op::Unplug) {
        if (kb->Plugged()) Announce(kb, rq.arg, false);
        kb->Unplug();
      } else if (rq.op == Op::Replug) {
        const bool was = kb->Plugged();
        kb->Plug();
        if (!was) Announce(kb, rq.arg, true);
      } else if (rq.op == Op::Emit) {
        rs.result = kb->EmitReport(rq.data) ? 0 : -1;
      } else if (rq.op == Op::SetVersion) {
        kb->SetFirmwareVersion(static_cast<uint16_t>(rq.arg2));
      } else if (rq.op == Op::SetVersionReply && rq.arg2 >= 0 && rq.arg2 <= 3) {
        kb->SetVersionReply(static_cast<VersionReply>(rq.arg2));
      } else if (rq.op == Op::FailWrites) {
        kb->FailNextWrites(rq.arg2);
      } else if (rq.op == Op::DenyAccess) {
        kb->SetAccessDenied(rq.arg2 != 0);
      } else {
        rs.result = -1;
      }
    }
  }
  return rs;
}

}  // namespace vkbd
