// The one gate exchange: every bus command of the program is a 5-byte request answered by a 5-byte
// reply on the gate connection, one at a time.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

namespace lumetra {

class TcpClient;

// Results of TDaliCom::Exchange. Every multi-request sequence stops at the first non-zero one.
inline constexpr int kExchangeReplied = 0;
inline constexpr int kExchangeNoReply = 1;  // nothing came in time; reply = request as sent
// The connection failed or closed meanwhile, or (strict replies) the reply was refused.
inline constexpr int kExchangeLost = 2;
inline constexpr int kExchangeNotConnected = 3;  // no gate connection; nothing was sent
// Not an exchange's result: a sequence stopped on the user's word before its next request.
inline constexpr int kSequenceCancelled = 4;

// The status-line text for a failed exchange; empty for kExchangeReplied.
const char* ExchangeResultText(int result);

// Why a reply was refused under the strict rule (kNone: it was not).
enum class ReplyFault { kNone, kChecksum, kEcho };
// The status-line text of a refused reply; empty for kNone.
const char* ReplyFaultText(ReplyFault fault);

// Request kinds of byte 0 (the exchange sets bit 7).
inline constexpr uint8_t kGearFrame = 3;    // 16-bit forward frame to control gear
inline constexpr uint8_t kDeviceFrame = 4;  // control device frame

// Reply byte 0: nobody answered (byte 3 is the request's own), one device answered (byte 3 is its
// answer), or the line saw an error, with its code in byte 3.
inline constexpr uint8_t kReplyNoAnswer = 0x60;
inline constexpr uint8_t kReplyAnswer = 0x62;
inline constexpr uint8_t kReplyError = 0x67;
// The receive error: several devices answered at once.
inline constexpr uint8_t kErrorReceive = 3;

// Threads: Exchange is called from the worker and from the user-interface thread (each through its
// own BusSession and buffers); the lock makes one request and its reply one step on the gate, and
// also guards the pending part of a reply. SetClient runs on the user-interface thread, or inside a
// failed exchange when the connection's disconnected event fires there; the client pointer and its
// generation are atomics for that reason. OnExchangeFailed runs on the exchanging thread, outside
// the lock. CreateLock and SetReplyTimeout are set up before any exchange.
class TDaliCom {
 public:
  static constexpr std::chrono::milliseconds kReplyTimeout{10000};

  // Told of every exchange that did not return 0, with its result, on the exchanging thread and
  // outside the lock. The main window puts the text in its status line.
  std::function<void(int result)> OnExchangeFailed;

  void CreateLock();
  // Hands over the gate connection (nullptr: none); a new connection starts a new reply stream.
  void SetClient(TcpClient* client);
  TcpClient* Client() const { return Client_.load(); }

  // Strict replies (the bus server's contract): a reply must echo request bytes 1 and 2 and carry
  // its checksum, or the exchange fails with kExchangeLost and the input is drained, so a stream
  // that lost its framing stops the sequence instead of answering it with another request's
  // reply. Off (until set), replies pair with requests by order alone, as a control unit may rely
  // on; the navigation chooses the rule with every gate connection it hands over.
  void SetStrictReplies(bool strict) { strictReplies_ = strict; }
  bool StrictReplies() const { return strictReplies_.load(); }
  // The fault of the last refused reply, until the next exchange fails otherwise.
  ReplyFault LastReplyFault() const { return lastFault_.load(); }
  // ExchangeResultText, except that a refused reply is named by its fault.
  const char* FailureText(int result) const;

  // Tests shorten the wait for a reply.
  void SetReplyTimeout(std::chrono::milliseconds timeout) { replyTimeout_ = timeout; }

  // Sends request (bytes 1..3 filled by the caller; bytes 0 and 4 are rewritten) and fills all five
  // bytes of reply. Holds the lock for exactly this one request and its reply.
  int Exchange(uint8_t* reply, uint8_t* request);
  // The same with the request's kind and bytes 1..3 filled in first.
  int Exchange(uint8_t* reply, uint8_t* request, uint8_t kind, uint8_t b1, uint8_t b2, uint8_t b3);

 private:
  std::unique_ptr<std::mutex> Lock;
  std::atomic<TcpClient*> Client_{nullptr};
  std::chrono::milliseconds replyTimeout_ = kReplyTimeout;
  std::atomic<bool> strictReplies_{false};
  std::atomic<ReplyFault> lastFault_{ReplyFault::kNone};
  // The part of a reply that had arrived when the wait ran out. The rest follows on the stream, so
  // the next exchange completes this reply first (a late reply pairs with the next request) and
  // every reply after it stays in step. Guarded by Lock; SetClient may run under the lock (from a
  // disconnected event), so it only counts the connections and the exchange drops the bytes.
  uint8_t pending_[5] = {};
  size_t pendingCount_ = 0;
  std::atomic<unsigned> clientGeneration_{0};
  unsigned pendingGeneration_ = 0;
};

}  // namespace lumetra
