#pragma once
// Types a text into whatever window has the keyboard focus, the way a paste would: the program
// takes the clipboard with the text, synthesises Ctrl+V and keeps the text on offer until the
// receiving window has fetched it (at most kOfferTime), then gives the clipboard up empty.
// The receiver fetches the clipboard some time after the key arrives, so the offer must outlive
// the key press.
//
// Each paste runs on a thread of its own with its own display connection; a new paste ends the
// one before. Threads: Paste, Busy and Stop from any thread; the destructor stops and joins.
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace platform {

class TextPaste {
 public:
  static constexpr std::chrono::milliseconds kOfferTime{2000};
  // Between the synthesised press and release of V, as a user's key stroke.
  static constexpr std::chrono::milliseconds kKeyHold{100};

  TextPaste() = default;
  ~TextPaste();
  TextPaste(const TextPaste&) = delete;
  TextPaste& operator=(const TextPaste&) = delete;

  // False when there is no display, the clipboard could not be taken or keys cannot be
  // synthesised; nothing is typed then.
  bool Paste(const std::string& text);
  // True while a text is on offer.
  bool Busy() const { return busy_.load(); }
  // Ends the offer now (the clipboard is given up) and joins the thread.
  void Stop();

 private:
  struct Session;
  void Serve(std::shared_ptr<Session> session);

  std::mutex mutex_;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> busy_{false};
};

}  // namespace platform
