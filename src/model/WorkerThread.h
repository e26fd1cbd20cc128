// The stop of a worker thread in one place: a stop flag, a wake-up for a thread that sleeps or
// waits, and the join. The commissioning worker and the monitor reader both run on one.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace lumetra {

// Start and Join are for the owning thread; RequestStop, Wake and the queries for any thread; the
// waits for the worker itself.
class WorkerThread {
 public:
  WorkerThread() = default;
  // Stops and joins: a body that still runs is asked to end first.
  ~WorkerThread();
  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;

  // Runs `body` on a new thread named `name` (15 characters at most on Linux). Finished() turns
  // true when it returns. Does nothing while a thread runs.
  void Start(const char* name, std::function<void()> body);
  void RequestStop();
  bool StopRequested() const { return stop_.load(); }
  // Ends a Sleep or a Wait early, e.g. because what the waiter looks at changed. Call it after
  // changing that state under Mutex(), or while holding it.
  void Wake();
  bool Started() const { return thread_.joinable(); }
  bool Finished() const { return finished_.load(); }
  void Join();

  // The lock of the state a Wait looks at.
  std::mutex& Mutex() { return mutex_; }
  // Sleeps for `time`, less when told to stop.
  void Sleep(std::chrono::milliseconds time);
  // Waits under `lock` (of Mutex()) for `ready`, a stop or a wake-up, at most `time`. True when
  // `ready` holds.
  template <typename Ready>
  bool Wait(std::unique_lock<std::mutex>& lock, std::chrono::milliseconds time, Ready ready) {
    return wake_.wait_for(lock, time, [&] { return stop_.load() || ready(); }) && ready();
  }

 private:
  std::mutex mutex_;
  std::condition_variable wake_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> finished_{false};
  std::thread thread_;
};

}  // namespace lumetra
