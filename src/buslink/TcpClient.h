// A blocking IPv4 TCP client over POSIX sockets: the gate, monitor and configuration connections.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "model/Error.h"

namespace lumetra {

// Raised by Write and ReadExact when the peer closed the connection or it failed underneath.
class ConnectionLost : public Error {
 public:
  using Error::Error;
};

// Threads: one thread reads (the worker or the monitor reader) while another may write, look or
// disconnect; Disconnect is safe from any thread and wakes a blocked read. The descriptor is
// guarded by use counting (Use), the settings by their own mutex. Connect is for the
// user-interface thread.
class TcpClient {
 public:
  // Raised on the thread that connects or disconnects. The disconnected event is raised once per
  // connection, by whoever notices the end first (Disconnect, or a failed read or write).
  std::function<void(TcpClient&)> OnConnected;
  std::function<void(TcpClient&)> OnDisconnected;

  TcpClient() = default;
  ~TcpClient();
  TcpClient(const TcpClient&) = delete;
  TcpClient& operator=(const TcpClient&) = delete;

  void SetHost(std::string host);
  void SetPort(uint16_t port);
  std::string Host() const;
  uint16_t Port() const;

  // Blocking connect with Nagle's algorithm off. Throws Error with a Slovak message when the host
  // is not a valid IPv4 address or the connection cannot be made within the connect time-out (an
  // unreachable control unit would otherwise freeze the window for the system's two minutes).
  // Connecting while connected is a no-op.
  void Connect();
  void SetConnectTimeout(std::chrono::milliseconds timeout) { connectTimeout_ = timeout; }
  // Closes the connection; a thread blocked in WaitReadable or ReadExact returns at once (ReadExact
  // throws ConnectionLost). Unread input is discarded with the socket. Safe from any thread,
  // idempotent.
  void Disconnect();
  bool Connected() const { return fd_.load() >= 0; }
  // Looks, without waiting, whether the peer has closed a connection it never writes on, and
  // disconnects if so. A write to such a peer would still seem to succeed.
  bool StillConnected();

  // Writes every byte or throws ConnectionLost.
  void Write(const uint8_t* data, size_t size);
  // True when data (or the end of the stream) can be read without blocking, false after `timeout`.
  // Throws ConnectionLost when there is no connection.
  bool WaitReadable(std::chrono::milliseconds timeout);
  // Reads exactly `size` bytes, waiting as long as it takes; throws ConnectionLost when the stream
  // ends first or the connection is closed meanwhile.
  void ReadExact(uint8_t* data, size_t size);
  // The same, but gives up when the bytes have not all arrived within `timeout` and returns false;
  // the bytes that did arrive are consumed.
  bool ReadExactFor(uint8_t* data, size_t size, std::chrono::milliseconds timeout);
  // The same, returning how many bytes arrived in time (`size` when all did).
  size_t ReadSomeFor(uint8_t* data, size_t size, std::chrono::milliseconds timeout);
  // Drops whatever has arrived and not been read.
  void DiscardInput();

 private:
  // Keeps the descriptor alive while a call uses it, so Disconnect on another thread never closes a
  // number that a blocked read still holds (and that the system could hand to someone else).
  class Use;
  int Acquire(uint64_t& generation);
  void Release();
  void DisconnectIfStill(uint64_t generation);
  void Close(int fd);
  size_t ReadUntil(uint8_t* data, size_t size,
                   const std::chrono::steady_clock::time_point* deadline);

  mutable std::mutex settingsMutex_;
  std::string host_;
  uint16_t port_ = 0;
  std::chrono::milliseconds connectTimeout_{5000};

  std::atomic<int> fd_{-1};
  // Which connection fd_ belongs to; changed together with fd_ under closeMutex_.
  std::atomic<uint64_t> generation_{0};
  std::mutex closeMutex_;
  std::mutex useMutex_;
  std::condition_variable useDone_;
  int users_ = 0;
  int closingFd_ = -1;
};

}  // namespace lumetra
