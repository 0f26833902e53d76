// keywright-vkbd: virtual keyboards in a process of their own, for running the unchanged program
// against them (with libhidsim.so preloaded), and a command line to steer and inspect them.
//
//   keywright-vkbd [--socket PATH] serve [--keyboard VID:PID]... [--version HEX]
//   keywright-vkbd [--socket PATH] ping | state [N] | log N | plug VID:PID | unplug N | replug N
//                                  | event N BYTE | emit N BYTE... | version N HEX
//                                  | reply N answer|wrong-once|wrong|never | fail-writes N COUNT
//                                  | deny N | allow N | quit
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "tools/vkbd/server/VkbdServer.h"

namespace {

using vkbd::wire::Op;

int Usage() {
  std::fprintf(stderr,
               "usage: keywright-vkbd [--socket PATH] serve [--keyboard VID:PID]... [--version HEX]\n"
               "       keywright-vkbd [--socket PATH] ping | state [N] | log N [FIRST] | plug VID:PID | unplug N\n"
               "              | replug N | event N BYTE | emit N BYTE... | version N HEX\n"
               "              | reply N answer|wrong-once|wrong|never | fail-writes N COUNT\n"
               "              | deny N | allow N | quit\n");
  return 2;
}

bool Number(const std::string& text, int base, long& out) {
  char* end = nullptr;
  out = std::strtol(text.c_str(), &end, base);
  return !text.empty() && end && *end == '\0';
}

int Serve(const std::string& socketPath, const std::vector<std::string>& args) {
  std::vector<std::string> models;
  long version = -1;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--keyboard" && i + 1 < args.size()) {
      models.push_back(args[++i]);
    } else if (args[i] == "--version" && i + 1 < args.size()) {
      if (!Number(args[++i], 16, version) || version < 0 || version > 0xFFFF) return Usage();
    } else {
      return Usage();
    }
  }
  if (models.empty()) models.emplace_back("24ae:4076");

  // Signals are taken by sigwait below, not by whichever thread happens to run.
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGTERM);
  sigaddset(&stop, SIGINT);
  sigaddset(&stop, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &stop, nullptr);

  vkbd::VirtualBus bus;
  for (const std::string& m : models) {
    uint16_t vid, pid;
    if (!vkbd::ParseModel(m, vid, pid)) {
      std::fprintf(stderr, "keywright-vkbd: bad keyboard model '%s' (want VID:PID in hex)\n", m.c_str());
      return 2;
    }
    auto spec = vkbd::KeyboardSpec::Model(vid, pid);
    if (version >= 0) spec.firmwareVersion = static_cast<uint16_t>(version);
    bus.Plug(spec);
  }
  vkbd::VkbdServer server(bus);
  vkbd::UeventRelay relay;
  std::string error;
  if (!server.Listen(socketPath, error) || !relay.Listen(socketPath, error)) {
    std::fprintf(stderr, "keywright-vkbd: %s\n", error.c_str());
    return 3;
  }
  server.SetRelay(&relay);
  std::printf("keywright-vkbd: serving %zu keyboard(s) on %s\n", models.size(), socketPath.c_str());
  std::fflush(stdout);
  std::thread(&vkbd::VkbdServer::AcceptLoop, &server).detach();
  int signal = 0;
  sigwait(&stop, &signal);
  unlink(socketPath.c_str());
  unlink((socketPath + ".uevents").c_str());
  std::fflush(stdout);
  _exit(0);  // connection threads may still be blocked in reads; nothing to tear down
}

int Client(const std::string& socketPath, const std::vector<std::string>& args) {
  const std::string& cmd = args[0];
  vkbd::wire::Request rq;
  long a = -1, b = 0;
  const auto need = [&](size_t n) { return args.size() == n; };
  const auto index = [&](size_t at) { return at < args.size() && Number(args[at], 10, a) && a >= 0; };
  if (cmd == "ping" && need(1)) {
    rq.op = Op::Ping;
  } else if (cmd == "quit" && need(1)) {
    rq.op = Op::Quit;
  } else if (cmd == "state" && (need(1) || (need(2) && index(1)))) {
    rq.op = Op::State;
  } else if (cmd == "log" && (need(2) || need(3)) && index(1)) {
    // An optional first entry lets a long run read its log in parts below the frame limit.
    rq.op = Op::Log;
    if (need(3) && (!Number(args[2], 10, b) || b < 0 || b > INT32_MAX)) return Usage();
  } else if (cmd == "plug" && need(2)) {
    rq.op = Op::Plug;
    rq.data.assign(args[1].begin(), args[1].end());
  } else if (cmd == "unplug" && need(2) && index(1)) {
    rq.op = Op::Unplug;
  } else if (cmd == "replug" && need(2) && index(1)) {
    rq.op = Op::Replug;
  } else if (cmd == "event" && need(3) && index(1) && Number(args[2], 16, b) && b >= 0 && b <= 0xFF) {
    rq.op = Op::Emit;
    rq.data = {0x05, 0x00, static_cast<uint8_t>(b), 0x00};
  } else if (cmd == "emit" && args.size() >= 2 && index(1)) {
    rq.op = Op::Emit;
    for (size_t i = 2; i < args.size(); ++i) {
      if (!Number(args[i], 16, b) || b < 0 || b > 0xFF) return Usage();
      rq.data.push_back(static_cast<uint8_t>(b));
    }
  } else if (cmd == "version" && need(3) && index(1) && Number(args[2], 16, b) && b >= 0 && b <= 0xFFFF) {
    rq.op = Op::SetVersion;
  } else if (cmd == "reply" && need(3) && index(1)) {
    rq.op = Op::SetVersionReply;
    const std::string& m = args[2];
    b = m == "answer" ? 0 : m == "wrong-once" ? 1 : m == "wrong" ? 2 : m == "never" ? 3 : -1;
    if (b < 0) return Usage();
  } else if (cmd == "fail-writes" && need(3) && index(1) && Number(args[2], 10, b) && b >= 0) {
    rq.op = Op::FailWrites;
  } else if ((cmd == "deny" || cmd == "allow") && need(2) && index(1)) {
    rq.op = Op::DenyAccess;
    b = cmd == "deny" ? 1 : 0;
  } else {
    return Usage();
  }
  rq.arg = static_cast<int32_t>(a);
  rq.arg2 = static_cast<int32_t>(b);
  vkbd::wire::Connection connection(socketPath);
  const auto rs = connection.Call(rq);
  if (!rs) {
    std::fprintf(stderr, "keywright-vkbd: no server on %s\n", socketPath.c_str());
    return 1;
  }
  // An empty reply may hold no buffer at all, and fwrite takes no null pointer even for 0 bytes.
  if (!rs->data.empty()) std::fwrite(rs->data.data(), 1, rs->data.size(), stdout);
  if (rq.op == Op::Plug && rs->result >= 0) std::printf("%d\n", rs->result);
  return rs->result < 0 ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string socketPath = vkbd::wire::DefaultSocketPath();
  if (args.size() >= 2 && args[0] == "--socket") {
    socketPath = args[1];
    args.erase(args.begin(), args.begin() + 2);
  }
  if (args.empty()) return Usage();
  if (args[0] == "serve") return Serve(socketPath, {args.begin() + 1, args.end()});
  return Client(socketPath, args);
}
