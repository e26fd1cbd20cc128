// The worker threads' start, stop and join.
#include "model/WorkerThread.h"

#include <pthread.h>

namespace lumetra {

WorkerThread::~WorkerThread() {
  RequestStop();
  Join();
}

void WorkerThread::Start(const char* name, std::function<void()> body) {
  if (thread_.joinable()) return;
  stop_ = false;
  finished_ = false;
  thread_ = std::thread([this, name, body = std::move(body)] {
    pthread_setname_np(pthread_self(), name);
    body();
    finished_ = true;
  });
}

void WorkerThread::RequestStop() {
  std::lock_guard lock(mutex_);
  stop_ = true;
  wake_.notify_all();
}

void WorkerThread::Wake() { wake_.notify_all(); }

void WorkerThread::Join() {
  if (thread_.joinable()) thread_.join();
}

void WorkerThread::Sleep(std::chrono::milliseconds time) {
  std::unique_lock lock(mutex_);
  wake_.wait_for(lock, time, [this] { return stop_.load(); });
}

}  // namespace lumetra
