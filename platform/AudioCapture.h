#pragma once
// Loopback capture of the default output: a thread that records the monitor of the audio
// server's default sink as 16-bit samples and hands over one packet each capture interval (all
// that arrived since the step before, or nothing). Desktops restart their audio server and move
// the default output often, so the thread does not end when the server goes away: it tries again
// every kReconnectDelay, and it follows the default output when that changes.
// The steps keep to a grid of the interval on the monotonic clock, whatever the server's fragment
// timing: a step reads without blocking, and a late step leaves the later ones on the grid
// (IntervalGrid).
//
// Ownership: the receiver is borrowed and must outlive the capture (Stop before it goes).
// Threads: Start, Stop and SetInterval from one owning thread (the UI thread); the receiver is
// called on the capture thread; the state queries from any thread.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace platform {

class AudioCapture {
 public:
  struct Format {
    int sampleRate = 0;
    int channels = 0;
    int bitsPerSample = 0;
    int blockSize = 0;  // bytes per frame
  };

  // The receiver of what the capture thread produces; called on that thread.
  class IProxy {
   public:
    virtual ~IProxy() = default;
    // The capture loop has ended.
    virtual void Stopped() = 0;
    // One packet: `units` 16-bit samples (interleaved channels), or none (null, 0).
    virtual void Data(const int16_t* units, std::size_t count, int blockSize, int bits,
                      int channels) = 0;
    // The format of the packets that follow.
    virtual void OnFormat(const Format& format) = 0;
  };

  // An IProxy that forwards to member functions of `Owner`; each is optional.
  template <typename Owner>
  class Proxy : public IProxy {
   public:
    using StoppedFn = void (Owner::*)();
    using DataFn = void (Owner::*)(const int16_t*, std::size_t, int, int, int);
    using FormatFn = void (Owner::*)(const Format&);
    Proxy(Owner& owner, StoppedFn stopped, DataFn data, FormatFn format)
        : owner_(owner), stopped_(stopped), data_(data), format_(format) {}
    void Stopped() override {
      if (stopped_ != nullptr) (owner_.*stopped_)();
    }
    void Data(const int16_t* units, std::size_t count, int blockSize, int bits,
              int channels) override {
      if (data_ != nullptr) (owner_.*data_)(units, count, blockSize, bits, channels);
    }
    void OnFormat(const Format& format) override {
      if (format_ != nullptr) (owner_.*format_)(format);
    }

   private:
    Owner& owner_;
    StoppedFn stopped_;
    DataFn data_;
    FormatFn format_;
  };

  static constexpr std::chrono::seconds kReconnectDelay{2};
  static constexpr int kDefaultIntervalMs = 33;
  static constexpr int kSampleRate = 48000;
  static constexpr int kChannels = 2;

  explicit AudioCapture(IProxy& proxy);
  ~AudioCapture();  // Stop
  AudioCapture(const AudioCapture&) = delete;
  AudioCapture& operator=(const AudioCapture&) = delete;

  // Starts the thread unless it runs; false when it could not be started.
  bool Start();
  // Ends the loop and waits for the thread (at most about one interval or one connect attempt).
  void Stop();
  bool Running() const { return running_.load(); }

  // Whether anyone wants the levels now (default: yes). While nobody does, the thread drops its
  // recording and sleeps until wanted again, so an idle program neither records nor wakes.
  void SetWanted(bool wanted);
  bool Wanted() const { return wanted_.load(); }

  // Milliseconds between two capture steps (values below 1 are ignored).
  void SetInterval(int milliseconds);
  int Interval() const { return intervalMs_.load(); }

  // Whether the thread records from a monitor now, and which one (empty while it does not).
  bool Connected() const { return connected_.load(); }
  std::string Source() const;
  // How many times a recording was set up (the first one included).
  int Connections() const { return connections_.load(); }

 private:
  class Session;
  void Loop();
  void SetSource(const std::string& source);

  IProxy& proxy_;
  std::thread thread_;
  std::atomic<bool> running_{false};
  std::atomic<bool> stop_{false};
  std::atomic<bool> wanted_{true};
  std::mutex wakeMutex_;
  std::condition_variable wake_;  // SetWanted(true) and Stop
  std::atomic<int> intervalMs_{kDefaultIntervalMs};
  std::atomic<bool> connected_{false};
  std::atomic<int> connections_{0};
  mutable std::mutex sourceMutex_;
  std::string source_;
};

}  // namespace platform
