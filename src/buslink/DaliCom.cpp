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
        if (pendingCount_ == sizeof pending_) {
          std::memcpy(working, pending_, sizeof working);
          pendingCount_ = 0;
        } else {
          result = kExchangeNoReply;
        }
      } catch (const std::exception&) {
        pendingCount_ = 0;
        result = kExchangeLost;
      }
    }
  }
  std::memcpy(reply, working, sizeof working);
  if (result == kExchangeLost && client != nullptr) {
    // Normally the client has closed itself already (its disconnected event may then have run
    // under the lock, so its handlers never wait for a thread that could be waiting for the lock);
    // this makes sure the event ran.
    client->Disconnect();
  }
  if (result != kExchangeReplied && OnExchangeFailed) OnExchangeFailed(result);
  return result;
}

}  // namespace lumetra
