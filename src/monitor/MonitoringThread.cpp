// The monitor reader's loop: wait for a connection, read records, hand them over one by one.
#include "monitor/MonitoringThread.h"

#include <chrono>
#include <mutex>

#include "buslink/TcpClient.h"
#include "model/UiBridge.h"

namespace lumetra {

TMonitoringThread::TMonitoringThread(UiBridge& bridge, RecordSink sink)
    : bridge_(bridge), sink_(std::move(sink)) {
  // Linux allows 15 characters; "MonitoringThread" has 16.
  Worker.Start("MonitoringThrea", [this] { Execute(); });
}

TMonitoringThread::~TMonitoringThread() {
  Terminate();
  if (!Finished()) {
    TcpClient* client;
    {
      std::lock_guard lock(Worker.Mutex());
      client = client_;
    }
    if (client != nullptr) client->Disconnect();
  }
  WaitFor();
}

void TMonitoringThread::SetClient(TcpClient* client) {
  std::lock_guard lock(Worker.Mutex());
  client_ = client;
  Worker.Wake();
}

void TMonitoringThread::Resume() {
  std::lock_guard lock(Worker.Mutex());
  running_ = true;
  Worker.Wake();
}

void TMonitoringThread::Suspend() {
  std::lock_guard lock(Worker.Mutex());
  running_ = false;
  Worker.Wake();
}

bool TMonitoringThread::ShouldRead() const {
  return running_ && client_ != nullptr && client_->Connected();
}

void TMonitoringThread::Execute() {
  using namespace std::chrono_literals;
  while (!Worker.StopRequested()) {
    TcpClient* client;
    {
      std::unique_lock lock(Worker.Mutex());
      // A connection is announced by Resume after it is made, so waiting here misses none; a
      // connection that drops lets the wait for the next one begin.
      Worker.Wait(lock, 100ms, [this] { return ShouldRead(); });
      if (Worker.StopRequested()) break;
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
    if (Worker.StopRequested()) break;
    bridge_.RunOnUi([this] { sink_(Record); });
    // A breather after each record, except while records are queued already: a stream faster than
    // one record per millisecond must not fall behind and be cut off by the server.
    bool waiting = false;
    try {
      waiting = client->WaitReadable(0ms);
    } catch (const ConnectionLost&) {
    }
    if (!waiting) Worker.Sleep(1ms);
  }
}

}  // namespace lumetra
