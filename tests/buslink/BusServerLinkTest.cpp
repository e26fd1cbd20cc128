// The bus server's start, the configuration packet and the channel connections, against the
// stand-in server the GUI tests use and loopback peers standing in for a control unit.
#include "buslink/BusServerLink.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "buslink/TcpClient.h"
#include "model/Error.h"
#include "support/FreePorts.h"
#include "support/LoopbackPeer.h"

extern char** environ;

namespace lumetra {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kFakeServer = LUMETRA_BUILD_DIR "/lumetra_fake_bus_server";

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 5s) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(2ms);
  }
  return true;
}

bool Gone(pid_t pid) { return ::kill(pid, 0) != 0 && errno == ESRCH; }

std::string Hex(const ConfigPacket& packet) {
  std::string hex;
  char two[3];
  for (uint8_t b : packet) {
    std::snprintf(two, sizeof two, "%02x", b);
    hex += two;
  }
  return hex;
}

// Accepts connections on a loopback port only from `delay` on, as a server still starting does.
class LateListener {
 public:
  LateListener(const char* host, uint16_t port, std::chrono::milliseconds delay)
      : thread_([=, this] {
          std::this_thread::sleep_for(delay);
          fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
          int one = 1;
          ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
          sockaddr_in a{};
          a.sin_family = AF_INET;
          a.sin_port = htons(port);
          ::inet_pton(AF_INET, host, &a.sin_addr);
          ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
          ::listen(fd_, 4);
        }) {}
  ~LateListener() {
    thread_.join();
    ::close(fd_);
  }

 private:
  int fd_ = -1;
  std::thread thread_;
};

class BusServerLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/lumetra-link-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir = pattern;
    record = dir + "/server.log";
    base = test::FreeLoopbackPorts(2);
    link.SetProgram(FakeServer(base));
    link.SetProgramFolder(LUMETRA_BUILD_DIR);
  }
  void TearDown() override {
    gate.Disconnect();
    config.Disconnect();
    for (pid_t pid : started) ::kill(pid, SIGTERM);
    if (link.ServerProcessId() > 0) ::kill(link.ServerProcessId(), SIGTERM);
    for (pid_t pid : started) ::waitpid(pid, nullptr, 0);
    fs::remove_all(dir);
  }

  BusServerProgram FakeServer(uint16_t portBase) const {
    BusServerProgram program;
    program.program = kFakeServer;
    program.arguments = {"--port-base", std::to_string(portBase), "--record", record};
    program.portBase = portBase;
    return program;
  }

  std::vector<std::string> RecordLines() const {
    std::ifstream in(record);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  bool RecordHas(size_t lines) const {
    return WaitUntil([&] { return RecordLines().size() >= lines; });
  }

  ConfigPacket Usb(const std::string& port) const {
    return BuildConfigPacket(kInterfaceUsb, port, "", "");
  }

  std::string dir;
  std::string record;
  uint16_t base = 0;
  TcpClient config;
  TcpClient gate;
  BusServerLink link{config};
  std::vector<pid_t> started;  // servers this test started itself
};

TEST_F(BusServerLinkTest, StartsTheServerWhenNoneRunsSendsThePacketAndLeavesNoChildBehind) {
  link.Configure(kInterfaceUsb, "COM3", "ignored", "ignored");
  const pid_t pid = link.ServerProcessId();
  ASSERT_GT(pid, 0);
  ASSERT_TRUE(RecordHas(2));
  EXPECT_EQ(RecordLines(), (std::vector<std::string>{"start", "config " + Hex(Usb("COM3"))}));
  EXPECT_TRUE(config.Connected());
  EXPECT_EQ(config.Host(), kBusServerHost);
  EXPECT_EQ(config.Port(), base + kConfigChannel);
  // Neither the server nor a helper process is ours to reap.
  EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);

  link.ConnectChannel(gate, kInterfaceUsb, "", "", kGateChannel);
  EXPECT_TRUE(gate.Connected());
  EXPECT_EQ(gate.Port(), base + kGateChannel);

  // The channel still open: the next packet goes to the same server, nothing new is started.
  link.Configure(kInterfaceUsb, "COM4", "", "");
  ASSERT_TRUE(RecordHas(3));
  EXPECT_EQ(RecordLines().back(), "config " + Hex(Usb("COM4")));
  EXPECT_EQ(link.ServerProcessId(), pid);

  // Once it ends the system takes it away: no zombie of ours stays under its number.
  ::kill(pid, SIGTERM);
  EXPECT_TRUE(WaitUntil([&] { return Gone(pid); }));
}

TEST_F(BusServerLinkTest, AServerAlreadyRunningGetsThePacketAndTheOneStartedOnTopGivesUp) {
  const std::string portBase = std::to_string(base);
  const char* argv[] = {kFakeServer.c_str(), "--port-base",  portBase.c_str(),
                        "--record",          record.c_str(), nullptr};
  pid_t running = 0;
  ASSERT_EQ(::posix_spawn(&running, kFakeServer.c_str(), nullptr, nullptr,
                          const_cast<char* const*>(argv), environ),
            0);
  started.push_back(running);
  TcpClient probe;
  probe.SetHost(kBusServerHost);
  probe.SetPort(base);
  ConnectPatiently(probe, 5s);
  probe.Disconnect();

  link.Configure(kInterfaceWifi, "", "127.0.0.9", "4000");
  const pid_t onTop = link.ServerProcessId();
  ASSERT_GT(onTop, 0);
  EXPECT_NE(onTop, running);
  EXPECT_TRUE(WaitUntil([&] { return Gone(onTop); }));
  ASSERT_TRUE(RecordHas(4));
  std::vector<std::string> lines = RecordLines();
  std::sort(lines.begin(), lines.end());
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "config " + Hex(BuildConfigPacket(kInterfaceWifi, "", "127.0.0.9", "4000")),
                       "port in use", "start", "start"}));
  EXPECT_EQ(::kill(running, 0), 0) << "the first server keeps serving";
}

TEST_F(BusServerLinkTest, AServerThatWentAwayIsStartedOnceMoreAndGetsThePacketAgain) {
  link.Configure(kInterfaceUsb, "COM3", "", "");
  const pid_t first = link.ServerProcessId();
  ASSERT_TRUE(RecordHas(2));
  ::kill(first, SIGTERM);
  ASSERT_TRUE(WaitUntil([&] { return Gone(first); }));

  link.Configure(kInterfaceUsb, "COM3", "", "");
  EXPECT_NE(link.ServerProcessId(), first);
  ASSERT_TRUE(RecordHas(4));
  const std::string packet = "config " + Hex(Usb("COM3"));
  EXPECT_EQ(RecordLines(), (std::vector<std::string>{"start", packet, "start", packet}));
  EXPECT_TRUE(config.Connected());
}

TEST_F(BusServerLinkTest, AProgramThatCannotBeStartedIsNamedInTheMessage) {
  const std::string notExecutable = dir + "/LumetraDaliBusServer";
  std::ofstream(notExecutable) << "#!/bin/sh\n";
  const struct {
    std::string program;
    const char* why;
  } cases[] = {
      {dir + "/missing/LumetraDaliBusServer", "absent"},
      {"LumetraNoSuchServer", "a bare name found neither here nor beside the configurator"},
      {notExecutable, "not executable"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    BusServerProgram program = FakeServer(base);
    program.program = c.program;
    link.SetProgram(program);
    try {
      link.Configure(kInterfaceUsb, "COM1", "", "");
      ADD_FAILURE() << "started";
    } catch (const Error& e) {
      EXPECT_EQ(std::string(e.what()), "Nepodarilo sa spustiť program " + c.program +
                                           " (hľadaný v pracovnom priečinku a v priečinku "
                                           "konfigurátora)");
    }
    EXPECT_EQ(link.ServerProcessId(), 0);
    EXPECT_FALSE(config.Connected());
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1) << "the failed start left a child";
  }
  EXPECT_TRUE(RecordLines().empty());
}

TEST_F(BusServerLinkTest, ABareNameIsLookedForInTheWorkingDirectoryFirstThenBesideTheProgram) {
  const fs::path previous = fs::current_path();
  fs::current_path(dir);
  BusServerProgram program = FakeServer(base);
  program.program = "lumetra_fake_bus_server";
  link.SetProgram(program);
  // Not in the working directory: the one beside the configurator is started.
  EXPECT_EQ(link.ProgramPath(), fs::path(LUMETRA_BUILD_DIR) / "lumetra_fake_bus_server");
  link.Configure(kInterfaceUsb, "COM1", "", "");
  EXPECT_GT(link.ServerProcessId(), 0);
  EXPECT_TRUE(RecordHas(2));

  // A file of that name in the working directory counts only when it can be run.
  const std::string local = dir + "/lumetra_fake_bus_server";
  std::ofstream(local) << "#!/bin/sh\n";
  EXPECT_EQ(link.ProgramPath(), fs::path(LUMETRA_BUILD_DIR) / "lumetra_fake_bus_server");
  ::chmod(local.c_str(), 0755);
  EXPECT_EQ(link.ProgramPath(), local);
  fs::current_path(previous);
}

TEST_F(BusServerLinkTest, AControlUnitStartsNothingAndIsConnectedAtOnce) {
  test::LoopbackPeer unit("127.0.0.5");
  const std::string port = std::to_string(unit.Port() - 1);
  link.Configure(kInterfaceControlUnit, "COM1", "127.0.0.5", port);
  EXPECT_EQ(link.ServerProcessId(), 0);
  EXPECT_FALSE(config.Connected());
  link.ConnectChannel(gate, kInterfaceControlUnit, "127.0.0.5", port, kGateChannel);
  EXPECT_TRUE(gate.Connected());
  EXPECT_EQ(gate.Host(), "127.0.0.5");
  EXPECT_EQ(gate.Port(), unit.Port());
  EXPECT_TRUE(unit.WaitForConnections(1, 2s));
  EXPECT_TRUE(RecordLines().empty());
}

TEST_F(BusServerLinkTest, OnlyABusServerChannelWaitsForAPortThatOpensLate) {
  // The same late port, once as a bus server's gate, once as a control unit's.
  {
    LateListener server(kBusServerHost, static_cast<uint16_t>(base + kGateChannel), 300ms);
    link.ConnectChannel(gate, kInterfaceUsb, "", "", kGateChannel);
    EXPECT_TRUE(gate.Connected());
  }
  gate.Disconnect();
  const uint16_t unitBase = test::FreeLoopbackPorts(2);
  LateListener unit("127.0.0.6", static_cast<uint16_t>(unitBase + kGateChannel), 300ms);
  EXPECT_THROW(link.ConnectChannel(gate, kInterfaceControlUnit, "127.0.0.6",
                                   std::to_string(unitBase), kGateChannel),
               Error);
  EXPECT_FALSE(gate.Connected());
}

}  // namespace
}  // namespace lumetra
