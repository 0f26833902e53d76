// The main window's network thread: runs fetch and download jobs one after another, away from
// the keyboard's worker. A version check or a download may wait on a slow or silent server for
// the whole stall limit of a fetch; on the keyboard's worker that would hold every transfer queued
// behind it, and the window the worker disables while it works.
//
// The thread starts with the first job, so a window that never fetches has none. Jobs run in the
// order they were posted. Stop drops the jobs not yet started and waits for the running one, which
// must end on its own soon (a fetch's keepGoing flag cleared first).
//
// Threads: Post from any thread; Stop and the destructor from the owner's thread, never from a job.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

class NetworkWorker {
 public:
  using Job = std::function<void()>;

  NetworkWorker() = default;
  NetworkWorker(const NetworkWorker&) = delete;
  NetworkWorker& operator=(const NetworkWorker&) = delete;
  ~NetworkWorker();

  // Appends `job`; false (and the job is dropped) once stopped, or for an empty job.
  bool Post(Job job);
  // Ends the thread: pending jobs are dropped, the running one is waited for. Later posts are
  // refused. Idempotent.
  void Stop();

 private:
  void Loop();

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Job> jobs_;
  bool stopped_ = false;
  std::thread thread_;  // started by the first Post, under mutex_
};
