// The gate exchange against a real loopback peer: framing, time-outs, lost connections, two
// threads.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>

#include "buslink/DaliCom.h"
#include "buslink/TcpClient.h"
#include "support/LoopbackPeer.h"

namespace lumetra {
namespace {

using test::Frame;
using test::LoopbackPeer;
using namespace std::chrono_literals;

class DaliComTest : public ::testing::Test {
 protected:
  void SetUp() override {
    com.CreateLock();
    com.SetReplyTimeout(200ms);
    client.SetHost("127.0.0.1");
    client.SetPort(peer.Port());
    client.OnConnected = [this](TcpClient& c) { com.SetClient(&c); };
    client.OnDisconnected = [this](TcpClient&) {
      ++disconnects;
      com.SetClient(nullptr);
    };
    client.Connect();
    ASSERT_TRUE(peer.WaitForConnections(1, 2s));
  }

  int Send(uint8_t kind, uint8_t b1, uint8_t b2, uint8_t b3) {
    request[0] = kind;
    request[1] = b1;
    request[2] = b2;
    request[3] = b3;
    return com.Exchange(reply, request);
  }

  LoopbackPeer peer;
  TcpClient client;
  TDaliCom com;
  std::atomic<int> disconnects{0};
  uint8_t request[5] = {};
  uint8_t reply[5] = {};
};

struct FramingCase {
  uint8_t kind, b1, b2, b3;
  Frame wire;
};

TEST_F(DaliComTest, FramesRequestsAndWritesBackIntoTheCallersBuffer) {
  const FramingCase cases[] = {
      {kGearFrame, 0x00, 0xFF, 0x00, {0x83, 0x00, 0xFF, 0x00, 0x7C}},
      {kDeviceFrame, 0xFF, 0x22, 0x00, {0x84, 0xFF, 0x22, 0x00, 0x59}},
      {kGearFrame, 0x00, 0x0B, 0x63, {0x83, 0x00, 0x0B, 0x63, 0xEB}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Send(c.kind, c.b1, c.b2, c.b3), kExchangeReplied);
    EXPECT_EQ(Frame(std::to_array(request)), c.wire);
    EXPECT_EQ(peer.Requests().back(), c.wire);
  }
  // The reply buffer holds the peer's five bytes.
  EXPECT_EQ(Frame(std::to_array(reply)), (Frame{0x62, 0x00, 0x0B, 0xFF, 0x62 ^ 0x0B ^ 0xFF}));
}

TEST_F(DaliComTest, ResendingTheSameBufferSendsIdenticalBytes) {
  ASSERT_EQ(Send(kGearFrame, 0, 0xA5, 0xFF), kExchangeReplied);
  ASSERT_EQ(com.Exchange(reply, request), kExchangeReplied);
  const auto requests = peer.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0], requests[1]);
  EXPECT_EQ(requests[0], (Frame{0x83, 0x00, 0xA5, 0xFF, 0x83 ^ 0xA5 ^ 0xFF}));
}

TEST_F(DaliComTest, SilentPeerGivesNoReplyAndTheLateReplyPairsWithTheNextExchange) {
  peer.SetResponder([](const Frame&) { return std::nullopt; });
  ASSERT_EQ(Send(kGearFrame, 0, 0x0B, 0x91), kExchangeNoReply);
  EXPECT_EQ(Frame(std::to_array(reply)), (Frame{0x83, 0x00, 0x0B, 0x91, 0x83 ^ 0x0B ^ 0x91}));
  EXPECT_EQ(client.Connected(), true);

  // The answer to the first query turns up after the wait and is taken by the next exchange.
  peer.Send({0x62, 0x00, 0x0B, 0x42, 0x00});
  ASSERT_EQ(Send(kGearFrame, 0, 0x0B, 0xA0), kExchangeReplied);
  EXPECT_EQ(reply[3], 0x42);
}

TEST_F(DaliComTest, ReplySplitByTheWaitStaysInStepWithTheReplies) {
  // A slow gateway: two bytes of the reply before the wait runs out, the rest after it.
  peer.SetResponder([](const Frame&) { return std::nullopt; });
  peer.Send({0x62, 0x00});
  ASSERT_EQ(Send(kGearFrame, 0, 0x0B, 0x91), kExchangeNoReply);
  EXPECT_EQ(Frame(std::to_array(reply)), (Frame{0x83, 0x00, 0x0B, 0x91, 0x83 ^ 0x0B ^ 0x91}));

  // The rest of that reply and the next one arrive together; each exchange takes one whole reply.
  peer.Send({0x0B, 0x42, 0x2B, 0x62, 0x00, 0x0B, 0x07, 0x6E});
  ASSERT_EQ(Send(kGearFrame, 0, 0x0B, 0xA0), kExchangeReplied);
  EXPECT_EQ(Frame(std::to_array(reply)), (Frame{0x62, 0x00, 0x0B, 0x42, 0x2B}));
  ASSERT_EQ(Send(kGearFrame, 0, 0x0B, 0xA1), kExchangeReplied);
  EXPECT_EQ(Frame(std::to_array(reply)), (Frame{0x62, 0x00, 0x0B, 0x07, 0x6E}));

  // A new connection starts a new reply stream: a part left from the old one is dropped.
  peer.Send({0x62});
  ASSERT_EQ(Send(kGearFrame, 0, 0x0B, 0x91), kExchangeNoReply);
  client.Disconnect();
  client.Connect();
  ASSERT_TRUE(peer.WaitForConnections(2, 2s));
  peer.Send({0x62, 0x00, 0x0B, 0x55, 0x3C});
  ASSERT_EQ(Send(kGearFrame, 0, 0x0B, 0xA0), kExchangeReplied);
  EXPECT_EQ(reply[3], 0x55);
}

TEST_F(DaliComTest, WithoutAConnectionNothingIsSent) {
  com.SetClient(nullptr);
  EXPECT_EQ(Send(kGearFrame, 0, 0xFF, 0x05), kExchangeNotConnected);
  EXPECT_EQ(reply[3], 0x05);  // the reply is the request, so no caller reads a phantom "yes"
  std::this_thread::sleep_for(20ms);
  EXPECT_TRUE(peer.Bytes().empty());
}

TEST_F(DaliComTest, PeerClosingMidExchangeReleasesTheLockAndMarksTheConnectionClosed) {
  std::vector<int> failures;
  com.OnExchangeFailed = [&](int result) { failures.push_back(result); };
  peer.CloseAfter(1);
  com.SetReplyTimeout(5s);  // the close, not the time-out, must end the exchange
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Send(kGearFrame, 0, 0x0B, 0x91), kExchangeLost);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
  EXPECT_FALSE(client.Connected());
  EXPECT_EQ(disconnects.load(), 1);
  EXPECT_EQ(com.Client(), nullptr);

  // The lock is free: a further exchange returns at once, and reports that there is no connection.
  EXPECT_EQ(Send(kGearFrame, 0, 0x0B, 0x91), kExchangeNotConnected);
  EXPECT_EQ(failures, (std::vector<int>{kExchangeLost, kExchangeNotConnected}));
  EXPECT_STREQ(ExchangeResultText(kExchangeLost), "Spojenie s DALI bolo prerušené");
}

TEST_F(DaliComTest, DisconnectFromAnotherThreadEndsAWaitingExchange) {
  peer.SetResponder([](const Frame&) { return std::nullopt; });
  com.SetReplyTimeout(10s);
  std::thread closer([&] {
    peer.WaitForRequests(1, 2s);
    client.Disconnect();
  });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Send(kGearFrame, 0, 0x0B, 0x91), kExchangeLost);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
  closer.join();
  EXPECT_EQ(disconnects.load(), 1);  // raised once, though both sides noticed the end
}

TEST_F(DaliComTest, TwoThreadsGetTheirOwnRepliesAndNeverInterleave) {
  // The peer answers each request with its own byte 3 doubled, so a mixed-up reply shows.
  peer.SetResponder([](const Frame& r) -> std::optional<Frame> {
    std::this_thread::sleep_for(std::chrono::microseconds(50));
    return Frame{0x62, r[1], r[2], static_cast<uint8_t>(r[3] * 2), 0};
  });
  constexpr int kPerThread = 200;
  std::atomic<int> wrong{0};
  auto worker = [&](uint8_t address) {
    uint8_t req[5] = {}, rep[5] = {};
    for (int i = 0; i < kPerThread; ++i) {
      req[0] = kGearFrame;
      req[2] = address;
      req[3] = static_cast<uint8_t>(i % 100);
      if (com.Exchange(rep, req) != kExchangeReplied || rep[2] != address ||
          rep[3] != static_cast<uint8_t>(2 * (i % 100))) {
        ++wrong;
      }
    }
  };
  std::thread a(worker, 0x11), b(worker, 0x22);
  a.join();
  b.join();
  EXPECT_EQ(wrong.load(), 0);
  // On the wire every request is whole: each 5-byte slot is one thread's frame.
  const auto bytes = peer.Bytes();
  ASSERT_EQ(bytes.size(), 2u * kPerThread * 5);
  for (size_t i = 0; i < bytes.size(); i += 5) {
    EXPECT_EQ(bytes[i], 0x83);
    EXPECT_EQ(bytes[i] ^ bytes[i + 1] ^ bytes[i + 2] ^ bytes[i + 3], bytes[i + 4]);
  }
}

// A peer whose reply stream lost its framing. Each request to gear address a gets its own answer
// (a distinct byte 3), so a reply taken for the wrong request shows.
Frame OwnReply(const Frame& r) {
  Frame reply{0x62, r[1], r[2], static_cast<uint8_t>(r[2] ^ 0x5A), 0};
  reply[4] = reply[0] ^ reply[1] ^ reply[2] ^ reply[3];
  return reply;
}

struct StreamFault {
  const char* name;
  // Makes the peer misbehave; called once the client is connected.
  std::function<void(LoopbackPeer&)> start;
  // Under the order-only rule: how many of the 12 replies are not their request's own.
  int misframedInOrder;
  // Under the strict rule: which of the 12 exchanges are refused, and with which fault.
  std::vector<int> refused;
  ReplyFault fault;
};

class DaliComFramingTest : public DaliComTest {
 protected:
  struct Outcome {
    std::vector<int> results;
    std::vector<Frame> replies;
    std::vector<Frame> requests;
    std::vector<ReplyFault> faults;
  };

  Outcome RunTwelve() {
    Outcome o;
    for (uint8_t a = 0; a < 12; ++a) {
      o.results.push_back(Send(kGearFrame, 0, static_cast<uint8_t>(2 * a + 1), 0x91));
      o.requests.push_back(Frame(std::to_array(request)));
      o.replies.push_back(Frame(std::to_array(reply)));
      o.faults.push_back(com.LastReplyFault());
    }
    return o;
  }
};

TEST_F(DaliComFramingTest, OrderOnlyTakesRepliesByPositionStrictRefusesEveryForeignReply) {
  auto everyReply = [](std::function<std::vector<uint8_t>(const Frame&)> wire) {
    return [wire](LoopbackPeer& peer) {
      peer.SetResponder([&peer, wire](const Frame& r) -> std::optional<Frame> {
        peer.Send(wire(r));
        return std::nullopt;
      });
    };
  };
  auto own = [](const Frame& r) {
    const Frame f = OwnReply(r);
    return std::vector<uint8_t>(f.begin(), f.end());
  };
  const StreamFault faults[] = {
      {"bad checksum on the third reply",
       everyReply([own](const Frame& r) {
         auto bytes = own(r);
         if (r[2] == 5) bytes[4] ^= 0x01;
         return bytes;
       }),
       1,
       {2},
       ReplyFault::kChecksum},
      {"third reply echoes another address",
       everyReply([own](const Frame& r) {
         Frame f = OwnReply(r);
         if (r[2] == 5) {
           f[2] = 7;
           f[4] = f[0] ^ f[1] ^ f[2] ^ f[3];
         }
         return std::vector<uint8_t>(f.begin(), f.end());
       }),
       1,
       {2},
       ReplyFault::kEcho},
      {"two extra bytes after every reply",
       everyReply([own](const Frame& r) {
         auto bytes = own(r);
         bytes.push_back(0xAA);
         bytes.push_back(0xAA);
         return bytes;
       }),
       11,
       {1, 3, 5, 7, 9, 11},
       ReplyFault::kChecksum},
      {"three bytes before the first reply",
       [](LoopbackPeer& peer) {
         peer.Send({0x55, 0x55, 0x55});
         peer.SetResponder([](const Frame& r) { return OwnReply(r); });
       },
       12,
       {0},
       ReplyFault::kChecksum},
  };
  for (const auto& f : faults) {
    for (const bool strict : {false, true}) {
      SCOPED_TRACE(std::string(f.name) + (strict ? ", strict" : ", order only"));
      // Each run on a connection of its own, so no byte of the previous run is left.
      client.Disconnect();
      peer.SetResponder([](const Frame& r) { return OwnReply(r); });
      const int connections = peer.Connections();
      client.Connect();
      ASSERT_TRUE(peer.WaitForConnections(connections + 1, 2s));
      com.SetStrictReplies(strict);
      f.start(peer);
      const Outcome o = RunTwelve();

      int foreign = 0;
      std::vector<int> refused;
      for (size_t i = 0; i < 12; ++i) {
        if (o.results[i] == kExchangeReplied && o.replies[i] != OwnReply(o.requests[i])) ++foreign;
        if (o.results[i] == kExchangeLost) {
          refused.push_back(static_cast<int>(i));
          EXPECT_EQ(o.faults[i], f.fault) << i;
          // Nothing reads a phantom answer: the reply buffer holds the request.
          EXPECT_EQ(o.replies[i], o.requests[i]) << i;
        } else {
          EXPECT_EQ(o.results[i], kExchangeReplied) << i;
        }
      }
      if (strict) {
        EXPECT_EQ(foreign, 0);
        EXPECT_EQ(refused, f.refused);
        // A refused reply leaves the connection up, and the requests went out as always.
        EXPECT_TRUE(client.Connected());
      } else {
        EXPECT_EQ(foreign, f.misframedInOrder);
        EXPECT_TRUE(refused.empty());
      }
      EXPECT_EQ(o.requests.back(), (Frame{0x83, 0x00, 23, 0x91, 0x83 ^ 23 ^ 0x91}));
    }
  }
}

TEST_F(DaliComFramingTest, ARefusedReplyIsReportedByItsFaultAndTheDrainedStreamGoesOn) {
  com.SetStrictReplies(true);
  std::vector<std::string> shown;
  com.OnExchangeFailed = [&](int result) { shown.push_back(com.FailureText(result)); };
  // A wrong checksum, and the rest of a broken stream trickling in after it.
  peer.SetResponder([this](const Frame& r) -> std::optional<Frame> {
    Frame f = OwnReply(r);
    f[4] ^= 0x80;
    peer.Send({f.begin(), f.end()});
    std::this_thread::sleep_for(5ms);
    peer.Send({0x62, 0x00});
    return std::nullopt;
  });
  EXPECT_EQ(Send(kGearFrame, 0, 0x01, 0x91), kExchangeLost);
  EXPECT_EQ(com.LastReplyFault(), ReplyFault::kChecksum);

  peer.SetResponder([](const Frame& r) { return OwnReply(r); });
  ASSERT_EQ(Send(kGearFrame, 0, 0x03, 0x91), kExchangeReplied);
  EXPECT_EQ(Frame(std::to_array(reply)), OwnReply(Frame(std::to_array(request))));

  // A lost connection is named as such again, not by the earlier fault.
  peer.CloseAfter(1);
  EXPECT_EQ(Send(kGearFrame, 0, 0x05, 0x91), kExchangeLost);
  EXPECT_EQ(shown, (std::vector<std::string>{"Chybná odpoveď brány (kontrolný súčet)",
                                             "Spojenie s DALI bolo prerušené"}));
  EXPECT_STREQ(ReplyFaultText(ReplyFault::kEcho), "Chybná odpoveď brány (nepatrí k požiadavke)");
}

TEST(TcpClientTest, ConnectErrorsCarryASlovakMessage) {
  TcpClient client;
  client.SetHost("not an address");
  client.SetPort(1);
  try {
    client.Connect();
    FAIL() << "connect should fail";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "Neplatná IP adresa \"not an address\"");
  }
  // A loopback port nobody listens on: take a free one and close it again.
  uint16_t freePort;
  {
    LoopbackPeer probe;
    freePort = probe.Port();
  }
  client.SetHost("127.0.0.1");
  client.SetPort(freePort);
  EXPECT_THROW(client.Connect(), Error);
  EXPECT_FALSE(client.Connected());
}

TEST(TcpClientTest, EventsAreRaisedOnTheConnectingAndDisconnectingThread) {
  LoopbackPeer peer;
  TcpClient client;
  client.SetHost("127.0.0.1");
  client.SetPort(peer.Port());
  std::thread::id connectedOn, disconnectedOn;
  client.OnConnected = [&](TcpClient&) { connectedOn = std::this_thread::get_id(); };
  client.OnDisconnected = [&](TcpClient&) { disconnectedOn = std::this_thread::get_id(); };
  client.Connect();
  EXPECT_EQ(connectedOn, std::this_thread::get_id());
  std::thread other([&] { client.Disconnect(); });
  const auto otherId = other.get_id();
  other.join();
  EXPECT_EQ(disconnectedOn, otherId);
}

TEST(TcpClientTest, UnreadInputIsGoneAfterReconnecting) {
  LoopbackPeer peer;
  TcpClient client;
  client.SetHost("127.0.0.1");
  client.SetPort(peer.Port());
  client.Connect();
  ASSERT_TRUE(peer.WaitForConnections(1, 2s));
  peer.Send({1, 2, 3});
  ASSERT_TRUE(client.WaitReadable(2s));
  client.Disconnect();
  client.Connect();
  ASSERT_TRUE(peer.WaitForConnections(2, 2s));
  EXPECT_FALSE(client.WaitReadable(50ms));
}

}  // namespace
}  // namespace lumetra
