// A gate peer on a loopback port for tests: accepts connections one after the other, records every
// 5-byte request and answers as the test tells it to.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace lumetra::test {

using Frame = std::array<uint8_t, 5>;

// A gate request as it goes out: the kind with its high bit, three bytes and their checksum.
inline Frame Wire(uint8_t kind, uint8_t b1, uint8_t b2, uint8_t b3) {
  const uint8_t b0 = kind | 0x80;
  return {b0, b1, b2, b3, static_cast<uint8_t>(b0 ^ b1 ^ b2 ^ b3)};
}

class LoopbackPeer {
 public:
  // Returns the reply to a request, or nothing to stay silent.
  using Responder = std::function<std::optional<Frame>(const Frame& request)>;

  // Answers every request with [0x62, byte 1, byte 2, 0xFF, checksum] unless told otherwise.
  explicit LoopbackPeer(const char* host = "127.0.0.1");
  ~LoopbackPeer();

  uint16_t Port() const { return port_; }
  void SetResponder(Responder responder);
  // Closes the client's connection as soon as the given number of requests (counted from now) has
  // been received, without answering the last one.
  void CloseAfter(int requests);
  // Ends the client's connection now, as a gateway that loses power does.
  void Hangup();
  // Sends raw bytes to the connected client now (a late reply, a stray byte).
  void Send(const std::vector<uint8_t>& bytes);

  std::vector<Frame> Requests() const;
  // Forgets what arrived so far: a test that set a device up by reading it records from there on.
  void ClearRequests();
  // Every byte received, in order, so a test sees interleaving or partial frames.
  std::vector<uint8_t> Bytes() const;
  int Connections() const { return connections_.load(); }
  // Waits until `count` requests have arrived; false after `timeout`.
  bool WaitForRequests(size_t count, std::chrono::milliseconds timeout) const;
  bool WaitForConnections(int count, std::chrono::milliseconds timeout) const;

 private:
  void Run();

  int listenFd_ = -1;
  uint16_t port_ = 0;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<int> connections_{0};

  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  Responder responder_;
  int closeAfter_ = -1;
  int clientFd_ = -1;
  std::vector<uint8_t> bytes_;
  std::vector<Frame> requests_;
};

}  // namespace lumetra::test
