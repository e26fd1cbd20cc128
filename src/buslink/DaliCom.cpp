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
    default:
      return "Chyba pri komunikácii";
  }
}

void TDaliCom::CreateLock() {
  if (!Lock) Lock = std::make_unique<std::mutex>();
}

void TDaliCom::SetClient(TcpClient* client) { Client_.store(client); }

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
    if (client == nullptr || !client->Connected()) {
      result = kExchangeNotConnected;
    } else {
      try {
        client->Write(working, sizeof working);
        uint8_t answer[5];
        if (client->ReadExactFor(answer, sizeof answer, replyTimeout_)) {
          std::memcpy(working, answer, sizeof working);
        } else {
          result = kExchangeNoReply;
        }
      } catch (const std::exception&) {
        result = kExchangeLost;
      }
    }
  }
  std::memcpy(reply, working, sizeof working);
  if (result == kExchangeLost && client != nullptr) {
    // Normally the client has closed itself already; this makes sure the disconnected event ran,
    // after the lock is free, so its handlers may exchange or withdraw the client.
    client->Disconnect();
  }
  if (result != kExchangeReplied && OnExchangeFailed) OnExchangeFailed(result);
  return result;
}

}  // namespace lumetra
