#include "platform/InputCapture.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "platform/UniqueFd.h"

namespace platform {
namespace {

constexpr int kXiMajor = 2;
constexpr int kXiMinor = 0;
// Another client's grab (a menu that is just closing) may end a moment later.
constexpr int kGrabTries = 5;
constexpr auto kGrabRetryPause = std::chrono::milliseconds(40);

}  // namespace

struct InputCapture::Connection {
  std::unique_ptr<Display, int (*)(Display*)> display{nullptr, XCloseDisplay};
  UniqueFd wake;
  int xiOpcode = -1;
  bool grabbed = false;
};

InputCapture::InputCapture() = default;

InputCapture::~InputCapture() { Stop(); }

InputCapture::Result InputCapture::Start(Mode mode, Listener listener) {
  Stop();
  auto c = std::make_unique<Connection>();
  c->display.reset(XOpenDisplay(nullptr));
  c->wake.Reset(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
  if (!c->display || !c->wake.Valid()) return Result::NoDisplay;
  Display* d = c->display.get();
  const Window root = DefaultRootWindow(d);
  if (mode == Mode::Grab) {
    XkbSetDetectableAutoRepeat(d, True, nullptr);
    int status = AlreadyGrabbed;
    for (int i = 0; i < kGrabTries && status != GrabSuccess; ++i) {
      if (i > 0) std::this_thread::sleep_for(kGrabRetryPause);
      status = XGrabKeyboard(d, root, False, GrabModeAsync, GrabModeAsync, CurrentTime);
    }
    if (status != GrabSuccess) return Result::Refused;
    c->grabbed = true;
  } else {
    int event = 0, error = 0, major = kXiMajor, minor = kXiMinor;
    if (!XQueryExtension(d, "XInputExtension", &c->xiOpcode, &event, &error) ||
        XIQueryVersion(d, &major, &minor) != Success)
      return Result::Refused;
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawKeyPress);
    XISetMask(bits, XI_RawKeyRelease);
    XISetMask(bits, XI_RawButtonPress);
    XISetMask(bits, XI_RawButtonRelease);
    XIEventMask mask{XIAllMasterDevices, static_cast<int>(sizeof(bits)), bits};
    XISelectEvents(d, root, &mask, 1);
  }
  XSync(d, False);
  connection_ = std::move(c);
  listener_ = std::move(listener);
  running_.store(true);
  reader_ = std::thread([this] { Read(); });
  return Result::Started;
}

void InputCapture::Stop() {
  if (reader_.joinable()) {
    running_.store(false);
    const uint64_t one = 1;
    (void)!write(connection_->wake.Get(), &one, sizeof(one));
    reader_.join();
  }
  running_.store(false);
  if (connection_ && connection_->grabbed) {
    XUngrabKeyboard(connection_->display.get(), CurrentTime);
    XSync(connection_->display.get(), False);
  }
  connection_.reset();
  listener_ = nullptr;
}

void InputCapture::Read() {
  Display* d = connection_->display.get();
  pollfd fds[2] = {{ConnectionNumber(d), POLLIN, 0}, {connection_->wake.Get(), POLLIN, 0}};
  while (running_.load()) {
    while (XPending(d) > 0) {
      XEvent event;
      XNextEvent(d, &event);
      CapturedInput input;
      if (event.type == KeyPress || event.type == KeyRelease) {
        input.code = static_cast<uint32_t>(
            XkbKeycodeToKeysym(d, static_cast<KeyCode>(event.xkey.keycode), 0, 0));
        input.release = event.type == KeyRelease;
      } else if (event.type == GenericEvent && event.xcookie.extension == connection_->xiOpcode &&
                 XGetEventData(d, &event.xcookie)) {
        const auto* raw = static_cast<const XIRawEvent*>(event.xcookie.data);
        const int type = event.xcookie.evtype;
        if (type == XI_RawKeyPress || type == XI_RawKeyRelease) {
          input.code = static_cast<uint32_t>(
              XkbKeycodeToKeysym(d, static_cast<KeyCode>(raw->detail), 0, 0));
        } else {
          input.source = CapturedInput::Button;
          input.code = static_cast<uint32_t>(raw->detail);
        }
        input.release = type == XI_RawKeyRelease || type == XI_RawButtonRelease;
        XFreeEventData(d, &event.xcookie);
      }
      if (input.code != 0 && listener_) listener_(input);
    }
    if (poll(fds, 2, -1) < 0 && errno != EINTR) break;
    if (fds[1].revents != 0) break;
  }
}

}  // namespace platform
