#include "platform/AudioCapture.h"

#include <memory>
#include <vector>

#include "platform/IntervalGrid.h"
#include "platform/PreciseSleep.h"
#include "platform/PulseLibrary.h"

namespace platform {

namespace {

using std::chrono::milliseconds;
using std::chrono::nanoseconds;

// How long one connect step (server, stream, query) may take before the attempt counts as failed.
constexpr milliseconds kConnectTimeout{1500};
// Longest single poll while waiting for the server, so that Stop is noticed soon.
constexpr int kPollMicroseconds = 10000;
// Dispatches per step at most, so that a flood of events cannot hold the loop.
constexpr int kMostDispatches = 64;
// The server delivers fragments of about this length.
constexpr int kFragmentMs = 10;
constexpr int kBitsPerSample = 16;
constexpr const char* kClientName = "Keywright";
constexpr const char* kStreamName = "music lighting";
constexpr const char* kMonitorSuffix = ".monitor";

using PulseApi = PulseLibrary::Api;

// Deleters that call back into the opened library.
struct MainloopFree {
  const PulseApi* pa = nullptr;
  void operator()(pa_mainloop* m) const { pa->mainloopFree(m); }
};
struct ContextFree {
  const PulseApi* pa = nullptr;
  void operator()(pa_context* c) const {
    pa->contextDisconnect(c);
    pa->contextUnref(c);
  }
};
struct StreamFree {
  const PulseApi* pa = nullptr;
  void operator()(pa_stream* s) const {
    pa->streamDisconnect(s);
    pa->streamUnref(s);
  }
};
struct OperationFree {
  const PulseApi* pa = nullptr;
  void operator()(pa_operation* o) const { pa->operationUnref(o); }
};
using OperationPtr = std::unique_ptr<pa_operation, OperationFree>;

}  // namespace

// One connection to the audio server and one recording stream on the default sink's monitor.
class AudioCapture::Session {
 public:
  Session(const std::atomic<bool>& stop, const PulseLibrary& library)
      : stop_(stop), library_(library), pa_(library.Calls()), loop_(nullptr, MainloopFree{&pa_}),
        context_(nullptr, ContextFree{&pa_}), stream_(nullptr, StreamFree{&pa_}) {}

  // Connects, finds the default sink and records its monitor; false when any step failed
  // (also when the client library is missing).
  bool Open() {
    if (!library_.Loaded()) return false;
    loop_.reset(pa_.mainloopNew());
    if (!loop_) return false;
    context_.reset(pa_.contextNew(pa_.mainloopGetApi(loop_.get()), kClientName));
    if (!context_) return false;
    if (pa_.contextConnect(context_.get(), nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
      return false;
    if (!WaitUntil([this] { return ContextSettled(); }) ||
        pa_.contextGetState(context_.get()) != PA_CONTEXT_READY)
      return false;
    pa_.contextSetSubscribeCallback(context_.get(), &Session::OnEvent, this);
    Wait(Operation(pa_.contextSubscribe(context_.get(), PA_SUBSCRIPTION_MASK_SERVER, nullptr,
                                        nullptr)));
    sink_ = QueryDefaultSink();
    if (sink_.empty()) return false;
    return OpenStream();
  }

  bool Healthy() const {
    return context_ && stream_ && pa_.contextGetState(context_.get()) == PA_CONTEXT_READY &&
           pa_.streamGetState(stream_.get()) == PA_STREAM_READY;
  }

  // True once the server announced a change after which its default sink is another one.
  bool DefaultMoved() const { return moved_; }

  // Dispatches what the server sent and appends every recorded sample to `out`.
  void Take(std::vector<int16_t>& out) {
    for (int i = 0; i < kMostDispatches && pa_.mainloopIterate(loop_.get(), 0, nullptr) > 0; ++i) {
    }
    if (!Healthy()) return;
    while (pa_.streamReadableSize(stream_.get()) > 0) {
      const void* data = nullptr;
      size_t bytes = 0;
      if (pa_.streamPeek(stream_.get(), &data, &bytes) < 0) return;
      if (bytes == 0) break;
      // A hole (data null) carries no samples.
      if (data != nullptr) {
        const auto* samples = static_cast<const int16_t*>(data);
        out.insert(out.end(), samples, samples + bytes / sizeof(int16_t));
      }
      pa_.streamDrop(stream_.get());
    }
  }

  std::string Source() const { return sink_ + kMonitorSuffix; }
  Format SampleFormat() const {
    return {kSampleRate, kChannels, kBitsPerSample, kChannels * kBitsPerSample / 8};
  }

 private:
  template <typename Condition>
  bool WaitUntil(Condition done) {
    const nanoseconds deadline = MonotonicNow() + kConnectTimeout;
    while (!done()) {
      if (stop_.load() || MonotonicNow() >= deadline) return false;
      if (pa_.mainloopPrepare(loop_.get(), kPollMicroseconds) < 0 ||
          pa_.mainloopPoll(loop_.get()) < 0 || pa_.mainloopDispatch(loop_.get()) < 0)
        return false;
    }
    return true;
  }

  OperationPtr Operation(pa_operation* operation) const {
    return OperationPtr(operation, OperationFree{&pa_});
  }

  bool Wait(OperationPtr operation) {
    if (!operation) return false;
    return WaitUntil([&] { return pa_.operationGetState(operation.get()) != PA_OPERATION_RUNNING; });
  }

  bool ContextSettled() const {
    const pa_context_state_t s = pa_.contextGetState(context_.get());
    return s == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(s);
  }

  std::string QueryDefaultSink() {
    std::string name;
    Wait(Operation(pa_.contextGetServerInfo(context_.get(), &Session::OnServerInfo, &name)));
    return name;
  }

  bool OpenStream() {
    const Format format = SampleFormat();
    const pa_sample_spec spec{PA_SAMPLE_S16LE, static_cast<uint32_t>(format.sampleRate),
                              static_cast<uint8_t>(format.channels)};
    stream_.reset(pa_.streamNew(context_.get(), kStreamName, &spec, nullptr));
    if (!stream_) return false;
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<uint32_t>(-1);
    attr.tlength = attr.prebuf = attr.minreq = static_cast<uint32_t>(-1);
    attr.fragsize = static_cast<uint32_t>(format.sampleRate / 1000 * kFragmentMs * format.blockSize);
    const std::string source = Source();
    if (pa_.streamConnectRecord(stream_.get(), source.c_str(), &attr,
                                PA_STREAM_ADJUST_LATENCY) < 0)
      return false;
    return WaitUntil([this] {
             const pa_stream_state_t s = pa_.streamGetState(stream_.get());
             return s == PA_STREAM_READY || !PA_STREAM_IS_GOOD(s);
           }) &&
           pa_.streamGetState(stream_.get()) == PA_STREAM_READY;
  }

  static void OnServerInfo(pa_context*, const pa_server_info* info, void* user) {
    if (info != nullptr && info->default_sink_name != nullptr)
      *static_cast<std::string*>(user) = info->default_sink_name;
  }

  static void OnEvent(pa_context* context, pa_subscription_event_type_t type, uint32_t,
                      void* user) {
    if ((type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK) != PA_SUBSCRIPTION_EVENT_SERVER) return;
    // Asked without waiting: the answer comes with a later step's dispatch, so a slow server
    // never holds a step of the level stream.
    auto* self = static_cast<Session*>(user);
    self->Operation(self->pa_.contextGetServerInfo(context, &Session::OnDefaultSink, user));
  }

  static void OnDefaultSink(pa_context*, const pa_server_info* info, void* user) {
    auto* self = static_cast<Session*>(user);
    if (info != nullptr && info->default_sink_name != nullptr && !self->sink_.empty() &&
        self->sink_ != info->default_sink_name)
      self->moved_ = true;
  }

  const std::atomic<bool>& stop_;
  const PulseLibrary& library_;
  const PulseApi& pa_;
  // Declared so that the stream goes before its context and the context before its loop.
  std::unique_ptr<pa_mainloop, MainloopFree> loop_;
  std::unique_ptr<pa_context, ContextFree> context_;
  std::unique_ptr<pa_stream, StreamFree> stream_;
  std::string sink_;
  bool moved_ = false;  // capture thread only (set by its own dispatch)
};

AudioCapture::AudioCapture(IProxy& proxy) : proxy_(proxy) {}

AudioCapture::~AudioCapture() { Stop(); }

bool AudioCapture::Start() {
  if (thread_.joinable()) return true;
  stop_.store(false);
  running_.store(true);
  thread_ = std::thread(&AudioCapture::Loop, this);
  return true;
}

void AudioCapture::Stop() {
  {
    std::lock_guard lock(wakeMutex_);
    stop_.store(true);
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void AudioCapture::SetWanted(bool wanted) {
  {
    std::lock_guard lock(wakeMutex_);
    wanted_.store(wanted);
  }
  wake_.notify_all();
}

void AudioCapture::SetInterval(int milliseconds) {
  if (milliseconds > 0) intervalMs_.store(milliseconds);
}

std::string AudioCapture::Source() const {
  std::lock_guard lock(sourceMutex_);
  return source_;
}

void AudioCapture::SetSource(const std::string& source) {
  std::lock_guard lock(sourceMutex_);
  source_ = source;
}

void AudioCapture::Loop() {
  std::unique_ptr<Session> session;
  nanoseconds nextAttempt{0};
  // The stream is paced by the clock, not by the audio: each step takes what has arrived.
  IntervalGrid grid(SystemClock(), milliseconds(intervalMs_.load()));
  std::vector<int16_t> packet;
  while (!stop_.load()) {
    if (!wanted_.load()) {
      if (session) {
        session.reset();
        connected_.store(false);
        SetSource("");
      }
      std::unique_lock lock(wakeMutex_);
      wake_.wait(lock, [this] { return wanted_.load() || stop_.load(); });
      nextAttempt = nanoseconds{0};
      grid.Restart();
      continue;
    }
    if (session && (!session->Healthy() || session->DefaultMoved())) {
      session.reset();  // the server went away or the default output moved: record anew
      connected_.store(false);
      SetSource("");
    }
    if (!session && MonotonicNow() >= nextAttempt) {
      auto attempt = std::make_unique<Session>(stop_, PulseLibrary::Shared());
      if (attempt->Open()) {
        session = std::move(attempt);
        connected_.store(true);
        connections_.fetch_add(1);
        SetSource(session->Source());
        proxy_.OnFormat(session->SampleFormat());
      } else {
        nextAttempt = MonotonicNow() + kReconnectDelay;
      }
      grid.Restart();  // connecting took its own time: the grid starts from here
    }
    if (session) {
      packet.clear();
      session->Take(packet);
      const Format format = session->SampleFormat();
      if (packet.empty())
        proxy_.Data(nullptr, 0, format.blockSize, format.bitsPerSample, format.channels);
      else
        proxy_.Data(packet.data(), packet.size(), format.blockSize, format.bitsPerSample,
                    format.channels);
    }
    grid.SetInterval(milliseconds(intervalMs_.load()));
    grid.Wait();
  }
  session.reset();
  connected_.store(false);
  SetSource("");
  proxy_.Stopped();
  running_.store(false);
}

}  // namespace platform
