#pragma once
// The message queue of one thread: posted messages (any thread adds, the owner takes),
// messages sent by other threads waiting for the owner to run them, the quit request, and the
// owner's window timers. An eventfd wakes the owner's wait whenever something arrives.
#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "tavex/WinTypes.h"

namespace Tavex::Platform {

class ThreadQueue;

// A message from SendMessage on another thread; the sender waits until `done`.
struct SentMessage {
  HWND hwnd = nullptr;
  UINT msg = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  LRESULT result = 0;  // written before done is set
  std::atomic<bool> done{false};
  std::shared_ptr<ThreadQueue> sender;
};

struct PostedMessage {
  MSG msg{};
  std::u32string text;  // typed text of a key-down from the display (TranslateMessage)
  int modifiers = -1;   // key input: Shift 1, Ctrl 2, Alt 4 as they stand after it; -1 other
};

struct TimerEntry {
  HWND hwnd = nullptr;
  UINT_PTR id = 0;
  UINT period = 0;
  TIMERPROC proc = nullptr;
  std::uint64_t due = 0;
};

class ThreadQueue {
 public:
  explicit ThreadQueue(DWORD thread);
  ~ThreadQueue();
  ThreadQueue(const ThreadQueue&) = delete;
  ThreadQueue& operator=(const ThreadQueue&) = delete;

  const DWORD thread;
  void Wake();
  void DrainWake();
  int WakeFd() const { return wakeFd_; }

  // Guarded by mutex.
  std::mutex mutex;
  std::deque<PostedMessage> posted;
  std::deque<std::shared_ptr<SentMessage>> inbox;
  bool alive = true;
  bool quit = false;
  int quitCode = 0;

  // Owner thread only.
  std::vector<TimerEntry> timers;
  UINT_PTR nextThreadTimerId = 0x7FFF0000;
  DWORD lastMessageTime = 0;
  MSG lastKey{};
  std::u32string lastKeyText;

 private:
  int wakeFd_ = -1;
};

// The calling thread's queue (created on first use, retired when the thread ends).
std::shared_ptr<ThreadQueue> CurrentQueue();
// The queue of a live thread, or null.
std::shared_ptr<ThreadQueue> QueueOf(DWORD thread);
// Adds a posted message and wakes the owner; false when the thread is gone.
bool Enqueue(ThreadQueue& queue, PostedMessage message);
// Runs every waiting sent message of the calling thread's queue.
void ServeSentMessages(ThreadQueue& queue);

// Calls the window procedure of a window owned by the calling thread (0 when stale).
LRESULT CallWindowProcOf(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Posts a message from the display (input) with the typed text of a key.
// `modifiers` (key input only, see PostedMessage) become GetKeyState's Shift, Ctrl and Alt on
// the fetching thread when the message is fetched.
bool PostInput(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, std::u32string text = {},
               int modifiers = -1);
// Shift (1), Ctrl (2) and Alt (4) as of the key message the calling thread fetched last: what
// GetKeyState answers for VK_SHIFT, VK_CONTROL and VK_MENU on that thread, so that a key is
// judged with the modifiers of its own moment even when later events were already read.
void SetMessageModifiers(int modifiers);
// Removes every timer of a window (destruction).
void KillWindowTimers(HWND hwnd);
// Last pointer position seen by the display thread, for MSG::pt.
void SetLastCursorPos(POINT pt);
POINT LastCursorPos();

}  // namespace Tavex::Platform
