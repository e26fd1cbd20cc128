// The monitor reader's loop: wait for a connection, read records, hand them over one by one.
#include "monitor/MonitoringThread.h"

#include <pthread.h>

#include <chrono>

#include "buslink/TcpClient.h"
#include "model/UiBridge.h"

namespace lumetra {

TMonitoringThread::TMonitoringThread(UiBridge& bridge, RecordSink sink)
    : bridge_(bridge), sink_(std::move(sink)), thread_([this] { Execute(); }) {}

TMonitoringThread::~TMonitoringThread() {
  Terminate();
  if (!Finished()) {
    TcpClient* client;
    {
      std::lock_guard lock(mutex_);
      client = client_;
    }
    if (client != nullptr) client->Disconnect();
  }
  WaitFor();
}

void TMonitoringThread::SetClient(TcpClient* client) {
  std::lock_guard lock(mutex_);
  client_ = client;
  wake_.notify_all();
}

void TMonitoringThread::Resume() {
  std::lock_guard lock(mutex_);
  running_ = true;
  wake_.notify_all();
}

void TMonitoringThread::Suspend() {
  std::lock_guard lock(mutex_);
  running_ = false;
}

void TMonitoringThread::Terminate() {
  std::lock_guard lock(mutex_);
  terminated_.store(true);
  wake_.notify_all();
}

void TMonitoringThread::WaitFor() {
  if (thread_.joinable()) thread_.join();
}

bool TMonitoringThread::ShouldRead() const {
  return running_ && client_ != nullptr && client_->Connected();
}

void TMonitoringThread::Execute() {
  // Linux allows 15 characters; "MonitoringThread" has 16.
  pthread_setname_np(pthread_self(), "MonitoringThrea");
  using namespace std::chrono_literals;
  while (!terminated_.load()) {
    TcpClient* client;
    {
      std::unique_lock lock(mutex_);
      // A connection is announced by Resume after it is made, so waiting here misses none; a
      // connection that drops lets the wait for the next one begin.
      wake_.wait_for(lock, 100ms, [this] { return terminated_.load() || ShouldRead(); });
      if (terminated_.load()) break;
      if (!ShouldRead()) continue;
      client = client_;
    }
    try {
      client->ReadExact(Record.data(), Record.size());
    } catch (const ConnectionLost&) {
      // Closed by "Stop", by the program's end or by the other side. The client discards the
      // unread input with the connection, so the next connection starts a new record stream.
      continue;
    }
    if (terminated_.load()) break;
    bridge_.RunOnUi([this] { sink_(Record); });
    // A breather after each record, except while records are queued already: a stream faster than
    // one record per millisecond must not fall behind and be cut off by the server.
    bool waiting = false;
    try {
      waiting = client->WaitReadable(0ms);
    } catch (const ConnectionLost&) {
    }
    if (!waiting) std::this_thread::sleep_for(1ms);
  }
  finished_.store(true);
}

}  // namespace lumetra
