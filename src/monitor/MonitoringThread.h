// The reader of the monitor connection: a worker thread that reads 5-byte records and hands each
// to the monitor display on the user-interface thread, waiting until it has been shown.
#pragma once

#include <functional>

#include "model/WorkerThread.h"
#include "monitor/MonitorDecoder.h"

namespace lumetra {

class TcpClient;
class UiBridge;

// Threads: the owner (the monitor page, on the user-interface thread) constructs and destroys it
// and calls SetClient, Resume, Suspend, Terminate, Finished and WaitFor; only the reader runs
// Execute. The client and the running state are shared and guarded by Worker.Mutex(); every
// change of them wakes the reader. The sink runs on the user-interface thread through the
// bridge's synchronous hand-over, so it needs no lock of its own: the reader waits meanwhile.
class TMonitoringThread {
 public:
  // Runs on the user-interface thread for every record, in arrival order.
  using RecordSink = std::function<void(const MonitorRecord&)>;

  // Starts the thread suspended: it reads nothing until a client is set and it is resumed.
  TMonitoringThread(UiBridge& bridge, RecordSink sink);
  // Terminates, closes the client's connection under a blocked read and joins. With a bridge that
  // needs the user-interface thread's event loop, call Terminate and wait with Finished while
  // serving hand-overs first; the destructor then only joins.
  ~TMonitoringThread();
  TMonitoringThread(const TMonitoringThread&) = delete;
  TMonitoringThread& operator=(const TMonitoringThread&) = delete;

  // The connection to read; it must outlive the thread or be replaced first.
  void SetClient(TcpClient* client);
  // Reads while the client is connected. A connection that ends leaves the thread waiting, and it
  // reads again as soon as the client is connected and it is resumed once more.
  void Resume();
  // Stops reading after the record being read; a read blocked on the connection ends when the
  // connection is closed, which the caller does next.
  void Suspend();
  // Tells the thread to end. It ends at once when waiting; a blocked read ends when the connection
  // is closed.
  void Terminate() { Worker.RequestStop(); }
  bool Finished() const { return Worker.Finished(); }
  void WaitFor() { Worker.Join(); }

 private:
  void Execute();
  // Under Worker.Mutex().
  bool ShouldRead() const;

  UiBridge& bridge_;
  RecordSink sink_;
  // The record being handed over: written only by the reader, read only while it waits.
  MonitorRecord Record{};

  // Guarded by Worker.Mutex().
  TcpClient* client_ = nullptr;
  bool running_ = false;
  // Last, so that the thread starts on a complete object.
  WorkerThread Worker;
};

}  // namespace lumetra
