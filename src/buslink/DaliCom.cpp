// The gate exchange: framing, checksum, one request and its reply under one lock.
#include "buslink/DaliCom.h"

#include <cstring>
#include <stdexcept>

#include "buslink/TcpClient.h"

namespace lumetra {

const char* ExchangeResultText(int result) {
  switch (result) {
    case kExchangeReplied:
      return "";
    case kExchangeNoReply:
      return "Zariadenie neodpovedá";
    case kExchangeLost:
      return "Spojenie s DALI bolo prerušené";
    case kExchangeNotConnected:
      return "Spojenie s DALI nie je otvorené";
    case kSequenceCancelled:
      return "Prerušené používateľom";
    default:
      return "Chyba pri komunikácii";
  }
}

const char* ReplyFaultText(ReplyFault fault) {
  switch (fault) {
    case ReplyFault::kChecksum:
      return "Chybná odpoveď brány (kontrolný súčet)";
    case ReplyFault::kEcho:
      return "Chybná odpoveď brány (nepatrí k požiadavke)";
    case ReplyFault::kNone:
      break;
  }
  return "";
}

namespace {

ReplyFault CheckReply(const uint8_t* reply, const uint8_t* request) {
  if ((reply[0] ^ reply[1] ^ reply[2] ^ reply[3]) != reply[4]) return ReplyFault::kChecksum;
  if (reply[1] != request[1] || reply[2] != request[2]) return ReplyFault::kEcho;
  return ReplyFault::kNone;
}

// Reads and drops input until it has been quiet for a moment (at most `limit` in all): the rest of
// a misframed stream may still be on its way.
void Drain(TcpClient& client, std::chrono::milliseconds limit) {
  constexpr std::chrono::milliseconds kQuiet{20};
  const auto end = std::chrono::steady_clock::now() + limit;
  uint8_t sink[256];
  while (client.ReadSomeFor(sink, sizeof sink, kQuiet) > 0 &&
         std::chrono::steady_clock::now() < end) {
  }
}

}  // namespace

const char* TDaliCom::FailureText(int result) const {
  if (result == kExchangeLost && lastFault_.load() != ReplyFault::kNone)
    return ReplyFaultText(lastFault_.load());
  return ExchangeResultText(result);
}

void TDaliCom::CreateLock() {
  if (!Lock) Lock = std::make_unique<std::mutex>();
}

void TDaliCom::SetClient(TcpClient* client) {
  ++clientGeneration_;
  Client_.store(client);
}

int TDaliCom::Exchange(uint8_t* reply, uint8_t* request, uint8_t kind, uint8_t b1, uint8_t b2,
                       uint8_t b3) {
  request[0] = kind;
  request[1] = b1;
  request[2] = b2;
  request[3] = b3;
  return Exchange(reply, request);
}

int TDaliCom::Exchange(uint8_t* reply, uint8_t* request) {
  if (!Lock) throw std::logic_error("TDaliCom::Exchange before CreateLock");

  request[0] |= 0x80;
  request[4] = request[0] ^ request[1] ^ request[2] ^ request[3];
  uint8_t working[5];
  std::memcpy(working, request, sizeof working);

  int result = kExchangeReplied;
  bool connectionLost = false;
  TcpClient* client = nullptr;
  {
    std::lock_guard lock(*Lock);
    client = Client_.load();
    if (const unsigned generation = clientGeneration_.load(); generation != pendingGeneration_) {
      pendingGeneration_ = generation;
      pendingCount_ = 0;
    }
    if (client == nullptr || !client->Connected()) {
      result = kExchangeNotConnected;
    } else {
      try {
        client->Write(working, sizeof working);
        pendingCount_ += client->ReadSomeFor(pending_ + pendingCount_,
                                             sizeof pending_ - pendingCount_, replyTimeout_);
        if (pendingCount_ < sizeof pending_) {
          result = kExchangeNoReply;
        } else if (const ReplyFault fault =
                       strictReplies_ ? CheckReply(pending_, working) : ReplyFault::kNone;
                   fault != ReplyFault::kNone) {
          // The caller's reply stays its request, as after a time-out, so nothing reads a
          // phantom answer; the connection stays up for the next try on a clean stream.
          pendingCount_ = 0;
          lastFault_ = fault;
          result = kExchangeLost;
          Drain(*client, replyTimeout_);
        } else {
          std::memcpy(working, pending_, sizeof working);
          pendingCount_ = 0;
        }
      } catch (const std::exception&) {
        pendingCount_ = 0;
        lastFault_ = ReplyFault::kNone;
        connectionLost = true;
        result = kExchangeLost;
      }
    }
  }
  std::memcpy(reply, working, sizeof working);
  if (connectionLost && client != nullptr) {
    // Normally the client has closed itself already (its disconnected event may then have run
    // under the lock, so its handlers never wait for a thread that could be waiting for the lock);
    // this makes sure the event ran.
    client->Disconnect();
  }
  if (result != kExchangeReplied && OnExchangeFailed) OnExchangeFailed(result);
  return result;
}

}  // namespace lumetra
