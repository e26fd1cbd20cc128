// The demo installation can be commissioned over the real server: a plain bisection search, written
// here independently of the configurator's own, gives the unaddressed gear the lowest free
// addresses.
#include <gtest/gtest.h>

#include "ServerProcess.h"
#include "buslink/ConfigPacket.h"
#include "buslink/DaliCom.h"
#include "buslink/TcpClient.h"

namespace lumetra::test {
namespace {

class Gateway {
 public:
  explicit Gateway(TcpClient& client) {
    com_.CreateLock();
    com_.SetClient(&client);
  }
  // Reply byte 3, or -2 for the framing error of several answers; -1 for no answer.
  int Send(uint8_t address, uint8_t data) {
    uint8_t request[5] = {kGearFrame, 0, address, data, 0};
    uint8_t reply[5];
    EXPECT_EQ(com_.Exchange(reply, request), kExchangeReplied);
    ++sent_;
    if (reply[0] == 0x67 && reply[3] == 3) return -2;
    return reply[0] == 0x62 ? reply[3] : -1;
  }
  void Twice(uint8_t address, uint8_t data) {
    Send(address, data);
    Send(address, data);
  }
  void Search(uint32_t s) {
    Send(0xB1, static_cast<uint8_t>(s >> 16));
    Send(0xB3, static_cast<uint8_t>(s >> 8));
    Send(0xB5, static_cast<uint8_t>(s));
  }
  bool Compare() { return Send(0xA9, 0) != -1; }
  int sent() const { return sent_; }

 private:
  TDaliCom com_;
  int sent_ = 0;
};

TEST(Commissioning, BisectionAddressesTheDemoGearWithoutShortAddress) {
  auto server = ServerProcess::StartListening();
  TcpClient client;
  client.SetHost("127.0.0.1");
  client.SetPort(static_cast<uint16_t>(server->Base() + kGateChannel));
  client.Connect();
  Gateway bus(client);

  std::vector<int> present;
  for (int a = 0; a < 64; ++a) {
    if (bus.Send(static_cast<uint8_t>(2 * a + 1), 0x91) == 0xFF) present.push_back(a);
  }
  ASSERT_EQ(present, (std::vector<int>{0, 1, 2, 3, 4, 5, 8, 9, 10, 12}));
  EXPECT_EQ(bus.Send(0xFF, 0x96), -2) << "two gear without a short address answer together";

  bus.Twice(0xA5, 0xFF);
  bus.Twice(0xA7, 0x00);
  std::vector<int> programmed;
  int next = 0;
  for (int pass = 0; pass < 10; ++pass) {
    bus.Search(0xFFFFFF);
    if (!bus.Compare()) break;
    uint32_t low = 0, high = 0xFFFFFF;
    while (low < high) {
      const uint32_t mid = (low + high) / 2;
      bus.Search(mid);
      if (bus.Compare()) {
        high = mid;
      } else {
        low = mid + 1;
      }
    }
    bus.Search(low);
    while (std::find(present.begin(), present.end(), next) != present.end()) ++next;
    bus.Send(0xB7, static_cast<uint8_t>(2 * next + 1));
    const int confirmed = bus.Send(0xBB, 0);
    if (confirmed == 2 * next + 1) {
      bus.Send(0xAB, 0);
      programmed.push_back(next);
      present.push_back(next);
    } else {
      // Two gear drew the same random address: take the address back and draw again.
      bus.Send(0xB7, 0xFF);
      bus.Twice(0xA7, 0x00);
    }
  }
  bus.Send(0xA1, 0);

  EXPECT_EQ(programmed, (std::vector<int>{6, 7}));
  EXPECT_EQ(bus.Send(0xFF, 0x96), -1) << "no gear without a short address is left";
  for (int a : {6, 7}) EXPECT_EQ(bus.Send(static_cast<uint8_t>(2 * a + 1), 0x91), 0xFF) << a;
  EXPECT_EQ(bus.Send(2 * 12 + 1, 0x91), 0xFF) << "addressed gear kept their addresses";
}

}  // namespace
}  // namespace lumetra::test
