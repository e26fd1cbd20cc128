// The user-interface side of the worker's hand-overs in a benchmark: each call runs on a thread of
// its own and is waited for, as the window's event loop would.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "model/UiBridge.h"

namespace lumetra::bench {

// Hand-overs go to a thread of their own and are waited for, as with the user interface.
class ThreadBridge : public UiBridge {
 public:
  ThreadBridge() : thread_([this] { Run(); }) {}
  ~ThreadBridge() override {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }
  void RunOnUi(std::function<void()> call) override {
    bool done = false;
    std::unique_lock lock(mutex_);
    queue_.push_back([&] {
      call();
      std::lock_guard inner(mutex_);
      done = true;
      finished_.notify_all();
    });
    wake_.notify_all();
    finished_.wait(lock, [&] { return done; });
  }

 private:
  void Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
      wake_.wait(lock, [&] { return stop_ || !queue_.empty(); });
      if (queue_.empty()) return;
      auto call = std::move(queue_.front());
      queue_.pop_front();
      lock.unlock();
      call();
      lock.lock();
    }
  }
  std::mutex mutex_;
  std::condition_variable wake_, finished_;
  std::deque<std::function<void()>> queue_;
  bool stop_ = false;
  std::thread thread_;
};

}  // namespace lumetra::bench
