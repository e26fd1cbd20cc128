// LumetraDaliBusServer over real loopback sockets: gate replies, configuration packets, monitor
// clients, misbehaving clients, fault injection, signals and the port-in-use message.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
#include <thread>

#include "ServerProcess.h"
#include "buslink/ConfigPacket.h"
#include "ui/VersionInfo.h"
#include "buslink/DaliCom.h"
#include "buslink/TcpClient.h"

namespace lumetra::test {
namespace {

using namespace std::chrono_literals;
using Bytes = std::array<uint8_t, 5>;

Bytes Request(uint8_t kind, uint8_t b1, uint8_t b2, uint8_t b3) {
  Bytes r{static_cast<uint8_t>(kind | 0x80), b1, b2, b3, 0};
  r[4] = r[0] ^ r[1] ^ r[2] ^ r[3];
  return r;
}

class BusServer : public ::testing::Test {
 protected:
  void Start(std::vector<std::string> args = {}) {
    server = ServerProcess::StartListening(std::move(args));
  }
  void Connect(TcpClient& client, uint16_t channel) {
    client.SetHost("127.0.0.1");
    client.SetPort(static_cast<uint16_t>(server->Base() + channel));
    client.Connect();
  }
  // One raw exchange on `gate`; the reply, or the request itself when none came in time.
  Bytes Exchange(TcpClient& gate, const Bytes& request) {
    gate.Write(request.data(), request.size());
    Bytes reply = request;
    if (!gate.ReadExactFor(reply.data(), reply.size(), 2s)) ADD_FAILURE() << "no reply";
    return reply;
  }

  std::unique_ptr<ServerProcess> server;
};

TEST_F(BusServer, GateRepliesByteForByte) {
  Start();
  TcpClient gate;
  Connect(gate, kGateChannel);
  struct Case {
    Bytes request;
    Bytes reply;
  };
  const Case cases[] = {
      // QUERY BALAST to A 00: one answer, yes.
      {Request(3, 0, 0x01, 0x91), {0x62, 0x00, 0x01, 0xFF, 0x9C}},
      // QUERY BALAST to A 63: nobody there, byte 3 echoes the request.
      {Request(3, 0, 0x7F, 0x91), {0x60, 0x00, 0x7F, 0x91, 0x8E}},
      // A broadcast query: many answers at once, the framing error reply.
      {Request(3, 0, 0xFF, 0x91), {0x67, 0x00, 0xFF, 0x03, 0x9B}},
      // QUERY PHYSICAL MIN of A 02 (85 in the demo installation).
      {Request(3, 0, 0x05, 0x9A), {0x62, 0x00, 0x05, 0x55, 0x32}},
      // C 03: the light sensor of firmware 1.001, its kind from bank 0x90.
      {Request(4, 3, 9, 2), {0x62, 0x03, 0x09, 0x85, 0xED}},
      // A wrong checksum: the error reply with code 1.
      {{0x83, 0x00, 0x01, 0x91, 0x00}, {0x67, 0x00, 0x01, 0x01, 0x67}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Exchange(gate, c.request), c.reply) << int(c.request[2]) << " " << int(c.request[3]);
  }
}

TEST_F(BusServer, ConfigurationPacketsAreDecodedAndGarbageIgnored) {
  Start();
  TcpClient config;
  Connect(config, kConfigChannel);
  const ConfigPacket usb = BuildConfigPacket(kInterfaceUsb, "COM3", "", "");
  const ConfigPacket wifi = BuildConfigPacket(kInterfaceWifi, "", "192.168.0.150", "50000");
  const uint8_t garbage[] = {'h', 'e', 'l', 'l', 'o', 0, 0xFF};
  config.Write(usb.data(), usb.size());
  config.Write(garbage, sizeof garbage);
  // The WiFi packet in two pieces, as TCP may deliver it.
  config.Write(wifi.data(), 20);
  std::this_thread::sleep_for(20ms);
  config.Write(wifi.data() + 20, wifi.size() - 20);

  EXPECT_TRUE(server->WaitForOutput("rozhranie WiFi / DALI, 192.168.0.150:50000"))
      << server->Output();
  EXPECT_NE(server->Output().find("rozhranie USB / DALI, port COM3"), std::string::npos);
  EXPECT_NE(server->Output().find("7 B, ktoré nie sú konfiguračným paketom"), std::string::npos)
      << server->Output();

  TcpClient gate;
  Connect(gate, kGateChannel);
  EXPECT_EQ(Exchange(gate, Request(3, 0, 0x01, 0x91))[3], 0xFF) << "the server carries on";
}

TEST_F(BusServer, EveryMonitorClientGetsEveryRecord) {
  Start();
  TcpClient monitor1, monitor2, gate;
  Connect(monitor1, kMonitorChannel);
  Connect(monitor2, kMonitorChannel);
  Connect(gate, kGateChannel);
  // Connected before the gate spoke, so the server has them by the first frame.
  Exchange(gate, Request(3, 0, 0x01, 0x91));
  Exchange(gate, Request(4, 3, 3, 0x42));
  Exchange(gate, Request(4, 3, 4, 0));
  const std::vector<Bytes> wanted = {
      {0x63, 0x00, 0x01, 0x91, 0x00}, {0x62, 0x00, 0x00, 0xFF, 0x00},
      {0x64, 0x03, 0x03, 0x42, 0x00}, {0x64, 0x03, 0x04, 0x00, 0x00},
      {0x62, 0x00, 0x00, 0x42, 0x00},
  };
  for (TcpClient* m : {&monitor1, &monitor2}) {
    for (const Bytes& w : wanted) {
      Bytes record{};
      ASSERT_TRUE(m->ReadExactFor(record.data(), record.size(), 2s));
      EXPECT_EQ(record, w);
    }
  }
}

TEST_F(BusServer, ClientsThatBreakOffMidFrameAreDroppedCleanly) {
  Start({"--frame-timeout-ms", "50"});
  {
    TcpClient gate;
    Connect(gate, kGateChannel);
    const Bytes r = Request(3, 0, 0x01, 0x91);
    gate.Write(r.data(), 3);
    std::this_thread::sleep_for(10ms);
  }  // vanishes with three bytes sent
  EXPECT_TRUE(server->WaitForOutput("uprostred požiadavky")) << server->Output();

  TcpClient gate;
  Connect(gate, kGateChannel);
  const Bytes stray = Request(3, 0, 0x05, 0x9A);
  gate.Write(stray.data(), 2);  // a partial request that never completes
  EXPECT_TRUE(server->WaitForOutput("neúplná požiadavka (2 B) zahodená")) << server->Output();
  EXPECT_EQ(Exchange(gate, Request(3, 0, 0x01, 0x91)), (Bytes{0x62, 0x00, 0x01, 0xFF, 0x9C}))
      << "the stream is back in step";
}

TEST_F(BusServer, OneGateClientAtATime) {
  Start();
  TcpClient first, second;
  Connect(first, kGateChannel);
  EXPECT_EQ(Exchange(first, Request(3, 0, 0x01, 0x91))[3], 0xFF);
  Connect(second, kGateChannel);
  uint8_t byte = 0;
  EXPECT_THROW(second.ReadExact(&byte, 1), ConnectionLost) << "the second one is turned away";
  EXPECT_EQ(Exchange(first, Request(3, 0, 0x01, 0x91))[3], 0xFF);
  // Once the first has gone, the next one is taken at once.
  first.Disconnect();
  TcpClient third;
  Connect(third, kGateChannel);
  EXPECT_EQ(Exchange(third, Request(3, 0, 0x01, 0x91))[3], 0xFF);
}

TEST_F(BusServer, AGateReopenedRightAfterItsCloseIsAlwaysAccepted) {
  // The configurator's "Zatvoriť" and "Otvoriť" in quick succession: the close and the new
  // connection often reach the server in the same round of its loop.
  Start();
  int refused = 0;
  for (int cycle = 0; cycle < 200; ++cycle) {
    TcpClient gate;
    Connect(gate, kGateChannel);
    const Bytes request = Request(3, 0, 0x01, 0x91);
    gate.Write(request.data(), request.size());
    Bytes reply{};
    try {
      if (!gate.ReadExactFor(reply.data(), reply.size(), 2s)) ADD_FAILURE() << "no reply";
    } catch (const ConnectionLost&) {
      ++refused;
    }
    gate.Disconnect();
  }
  EXPECT_EQ(refused, 0);
  EXPECT_EQ(server->Output().find("brána je obsadená"), std::string::npos) << server->Output();
}

TEST_F(BusServer, MonitorClientThatStopsReadingIsDisconnected) {
  Start({"--monitor-backlog", "4096"});
  // A raw socket with a small receive buffer that is never read.
  const int stalled = ::socket(AF_INET, SOCK_STREAM, 0);
  const int small = 4096;
  ::setsockopt(stalled, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<uint16_t>(server->Base() + kMonitorChannel));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(::connect(stalled, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);

  TcpClient gate;
  Connect(gate, kGateChannel);
  bool dropped = false;
  // Each query makes two records (10 bytes); the kernel buffers on both sides hold a few hundred
  // kilobytes at most, so this bound is far beyond what the disconnection needs.
  for (int i = 0; i < 100000 && !dropped; ++i) {
    Exchange(gate, Request(3, 0, 0x01, 0x91));
    if (i % 500 == 0) dropped = server->Output().find("nečíta") != std::string::npos;
  }
  EXPECT_TRUE(dropped) << server->Output();
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Exchange(gate, Request(3, 0, 0x01, 0x91))[3], 0xFF);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1s) << "the line was not held up";
  ::close(stalled);
}

TEST_F(BusServer, FaultInjection) {
  {
    Start({"--close-after", "3"});
    TcpClient client;
    Connect(client, kGateChannel);
    TDaliCom com;
    com.CreateLock();
    com.SetClient(&client);
    uint8_t request[5] = {3, 0, 0x01, 0x91, 0};
    uint8_t reply[5];
    EXPECT_EQ(com.Exchange(reply, request), kExchangeReplied);
    EXPECT_EQ(com.Exchange(reply, request), kExchangeReplied);
    EXPECT_EQ(com.Exchange(reply, request), kExchangeLost) << "closed on the third request";
  }
  {
    Start({"--drop-reply-rate", "1", "--log"});
    TcpClient client;
    Connect(client, kGateChannel);
    TDaliCom com;
    com.CreateLock();
    com.SetClient(&client);
    com.SetReplyTimeout(100ms);
    uint8_t request[5] = {3, 0, 0x01, 0x91, 0};
    uint8_t reply[5];
    EXPECT_EQ(com.Exchange(reply, request), kExchangeNoReply);
    EXPECT_TRUE(server->WaitForOutput("zahodená"));
  }
  {
    Start({"--delay-reply-ms", "60"});
    TcpClient client;
    Connect(client, kGateChannel);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Exchange(client, Request(3, 0, 0x01, 0x91))[3], 0xFF);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 60ms);
  }
}

TEST_F(BusServer, DaliTimingPacesTheRepliesAndIsTotalled) {
  Start({"--timing", "dali"});
  TcpClient gate;
  Connect(gate, kGateChannel);
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 3; ++i) Exchange(gate, Request(3, 0, 0x01, 0x05));  // RECALL MAX LEVEL
  // 3 x (13.5 ms settling + 15.83 ms frame); the first frame's settling overlaps the idle line
  // before it.
  EXPECT_GE(std::chrono::steady_clock::now() - start, 74ms);
  server->Signal(SIGUSR1);
  EXPECT_TRUE(server->WaitForOutput("Modelovaný čas zbernice: 88.000 ms v 3 výmenách"))
      << server->Output();
}

TEST_F(BusServer, SignalsEndTheServerCleanly) {
  for (int signo : {SIGTERM, SIGINT}) {
    Start();
    TcpClient gate, monitor;
    Connect(gate, kGateChannel);
    Connect(monitor, kMonitorChannel);
    Exchange(gate, Request(3, 0, 0x01, 0x05));
    server->Signal(signo);
    EXPECT_EQ(server->Wait(), 0) << signo;
    EXPECT_NE(server->Output().find("končí. Modelovaný čas zbernice: 29.333 ms v 1 výmenách"),
              std::string::npos)
        << server->Output();
  }
}

TEST_F(BusServer, TakenPortIsReportedWithItsNumber) {
  const uint16_t base = ServerProcess::FreeBase();
  const int holder = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<uint16_t>(base + 1));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::bind(holder, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(holder, 1) != 0) {
    ::close(holder);
    GTEST_SKIP() << "the port was taken by someone else meanwhile";
  }
  ServerProcess blocked({"--port-base", std::to_string(base)});
  EXPECT_EQ(blocked.Wait(), 3);
  EXPECT_NE(
      blocked.Errors().find("Port " + std::to_string(base + 1) + " na 127.0.0.1 je už obsadený"),
      std::string::npos)
      << blocked.Errors();
  ::close(holder);
}

TEST(BusServerCommandLine, BadArgumentsAndFilesAreReported) {
  struct Case {
    std::vector<std::string> args;
    int exitCode;
    const char* message;
  };
  const Case cases[] = {
      {{"--bogus"}, 2, "Neznáma voľba \"--bogus\""},
      {{"--port-base", "65534"}, 2, "--port-base"},
      {{"--port-base"}, 2, "chýba hodnota"},
      {{"--timing", "fast"}, 2, "none alebo dali"},
      {{"--drop-reply-rate", "1.5"}, 2, "od 0 do 1"},
      {{"--host", "localhost"}, 2, "IPv4"},
      {{"--log=1"}, 2, "nemá hodnotu"},
      {{"--line", "/nonexistent/line.xml"}, 1, "sa nedá otvoriť"},
  };
  for (const Case& c : cases) {
    ServerProcess p(c.args);
    EXPECT_EQ(p.Wait(), c.exitCode) << c.args[0];
    EXPECT_NE(p.Errors().find(c.message), std::string::npos) << c.args[0] << ": " << p.Errors();
  }
  ServerProcess help({"--help"});
  EXPECT_EQ(help.Wait(), 0);
  EXPECT_NE(help.Output().find("--drop-reply-rate"), std::string::npos);
  ServerProcess version({"--version"});
  EXPECT_EQ(version.Wait(), 0);
  EXPECT_EQ(version.Output(), "Lumetra konfigurátor\nVerzia " + TVersionInfo().FileVersion + "\n");
}

}  // namespace
}  // namespace lumetra::test
