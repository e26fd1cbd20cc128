// LumetraDaliBusServer under clients that flood it, pile up gate requests or use up its file
// descriptors: the gate keeps its pace, memory and CPU stay small, the loop keeps turning.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "ServerProcess.h"
#include "buslink/ConfigPacket.h"
#include "buslink/TcpClient.h"

namespace lumetra::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Bytes = std::array<uint8_t, 5>;

constexpr long kRssLimitKiB = 50 * 1024;

Bytes Request(uint8_t kind, uint8_t b1, uint8_t b2, uint8_t b3) {
  Bytes r{static_cast<uint8_t>(kind | 0x80), b1, b2, b3, 0};
  r[4] = r[0] ^ r[1] ^ r[2] ^ r[3];
  return r;
}

// QUERY BALAST to A 00 and its reply on the demo line.
const Bytes kQuery = Request(3, 0, 0x01, 0x91);
const Bytes kQueryReply = {0x62, 0x00, 0x01, 0xFF, 0x9C};

long RssKiB(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

// User and system time the process has used so far.
double CpuSeconds(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // The name in parentheses may hold spaces; the fields after it start with the state (field 3).
  std::istringstream fields(stat.substr(stat.rfind(')') + 2));
  std::string field;
  unsigned long long utime = 0, stime = 0;
  for (int n = 3; n <= 15 && fields >> field; ++n) {
    if (n == 14) utime = std::stoull(field);
    if (n == 15) stime = std::stoull(field);
  }
  return static_cast<double>(utime + stime) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

size_t OpenDescriptors(pid_t pid) {
  const auto dir = std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd");
  return static_cast<size_t>(std::distance(begin(dir), end(dir)));
}

// Bytes the kernel has received on the server's end of the connection from `clientPort` to
// `serverPort` and the server has not read yet.
long UnreadByServer(uint16_t serverPort, uint16_t clientPort) {
  std::ifstream tcp("/proc/net/tcp");
  std::string line;
  std::getline(tcp, line);  // the heading
  while (std::getline(tcp, line)) {
    unsigned local = 0, remote = 0;
    unsigned long txQueue = 0, rxQueue = 0;
    if (std::sscanf(line.c_str(), " %*d: %*8x:%4x %*8x:%4x %*x %lx:%lx", &local, &remote, &txQueue,
                    &rxQueue) == 4 &&
        local == serverPort && remote == clientPort) {
      return static_cast<long>(rxQueue);
    }
  }
  return -1;
}

int RawConnect(uint16_t port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

uint16_t LocalPort(int fd) {
  sockaddr_in a{};
  socklen_t size = sizeof a;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size);
  return ntohs(a.sin_port);
}

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
  return v[v.size() / 2];
}

// Clients that write to one port without pause, as fast as the server takes it, and a watch on
// the server's memory that ends the flood as soon as the server grows past the limit, so that a
// server that keeps everything cannot eat the machine.
class Flood {
 public:
  Flood(pid_t server, uint16_t port, int writers, uint8_t fill) {
    for (int i = 0; i < writers; ++i) {
      const int fd = RawConnect(port);
      if (fd < 0) throw std::runtime_error("cannot connect the flood");
      // A short send time-out only so that the writer notices the stop.
      const timeval timeout{0, 20000};
      ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
      fds_.push_back(fd);
      threads_.emplace_back([this, fd, fill] {
        const std::vector<uint8_t> chunk(64 * 1024, fill);
        std::vector<uint8_t> records(64 * 1024);
        while (!stop_) {
          const ssize_t n = ::send(fd, chunk.data(), chunk.size(), MSG_NOSIGNAL);
          if (n > 0) sent_ += static_cast<uint64_t>(n);
          if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) break;
          // It takes what the monitor sends, so it is not dropped as a client that does not read.
          while (::recv(fd, records.data(), records.size(), MSG_DONTWAIT) > 0) {
          }
        }
      });
    }
    threads_.emplace_back([this, server] {
      while (!stop_) {
        const long rss = RssKiB(server);
        peakRss_ = std::max(peakRss_.load(), rss);
        if (rss > kRssLimitKiB) stop_ = true;
        std::this_thread::sleep_for(2ms);
      }
    });
  }
  ~Flood() {
    Stop();
    for (int fd : fds_) ::close(fd);
  }
  Flood(const Flood&) = delete;
  Flood& operator=(const Flood&) = delete;

  void Stop() {
    stop_ = true;
    for (auto& t : threads_) {
      if (t.joinable()) t.join();
    }
  }
  bool Stopped() const { return stop_; }
  uint64_t BytesSent() const { return sent_; }
  long PeakRssKiB() const { return peakRss_; }

 private:
  std::vector<int> fds_;
  std::vector<std::thread> threads_;
  std::atomic<bool> stop_{false};
  std::atomic<uint64_t> sent_{0};
  std::atomic<long> peakRss_{0};
};

class MisbehavingClients : public ::testing::Test {
 protected:
  void Start(std::vector<std::string> args = {}) {
    server = ServerProcess::StartListening(std::move(args));
  }
  uint16_t Port(uint16_t channel) const { return static_cast<uint16_t>(server->Base() + channel); }
  void Connect(TcpClient& client, uint16_t channel) {
    client.SetHost("127.0.0.1");
    client.SetPort(Port(channel));
    client.Connect();
  }
  // One exchange; its duration in microseconds, or a negative number when no correct reply came
  // within `timeout`.
  static double TimedExchange(TcpClient& gate, std::chrono::milliseconds timeout = 1s) {
    const auto start = Clock::now();
    gate.Write(kQuery.data(), kQuery.size());
    Bytes reply{};
    if (!gate.ReadExactFor(reply.data(), reply.size(), timeout) || reply != kQueryReply) return -1;
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
  }

  std::unique_ptr<ServerProcess> server;
};

TEST_F(MisbehavingClients, AFloodedConfigurationOrMonitorPortHoldsUpNobody) {
  struct Case {
    uint16_t channel;
    uint8_t fill;  // 1 could start a configuration packet at every byte
    const char* name;
  };
  const Case cases[] = {{kMonitorChannel, 0x55, "monitor"},
                        {kConfigChannel, 0x01, "configuration"}};
  // RECALL MAX LEVEL with bus timing: 29.33 ms an exchange, the pace the configurator works at.
  const Bytes recall = Request(3, 0, 0x01, 0x05);
  const Bytes recallReply = {0x60, 0x00, 0x01, 0x05, 0x64};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Start({"--timing", "dali"});
    TcpClient gate;
    Connect(gate, kGateChannel);
    // Its duration in milliseconds, or a negative number when no correct reply came within 1 s.
    auto exchange = [&] {
      const auto start = Clock::now();
      gate.Write(recall.data(), recall.size());
      Bytes reply{};
      if (!gate.ReadExactFor(reply.data(), reply.size(), 1s) || reply != recallReply) return -1.0;
      return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    };
    std::vector<double> idle;
    for (int i = 0; i < 20; ++i) idle.push_back(exchange());
    ASSERT_GT(*std::min_element(idle.begin(), idle.end()), 0) << "the idle server answers";

    std::vector<double> flooded;
    bool allAnswered = true;
    bool signalAnswered = false;
    uint64_t floodBytes = 0;
    long peakRss = 0;
    {
      Flood flood(server->Pid(), Port(c.channel), 2, c.fill);
      const auto end = Clock::now() + 1500ms;
      while (Clock::now() < end && !flood.Stopped()) {
        const double ms = exchange();
        if (ms < 0) {
          allAnswered = false;
          break;
        }
        flooded.push_back(ms);
        // What the server prints about the garbage must not fill its output pipe meanwhile.
        server->Output();
      }
      server->Signal(SIGUSR1);
      signalAnswered = server->WaitForOutput("Modelovaný čas zbernice", 500ms);
      floodBytes = flood.BytesSent();
      flood.Stop();
      peakRss = flood.PeakRssKiB();
    }
    const double idleMedian = Median(idle);
    const double floodedMedian = Median(flooded);
    std::printf(
        "[ figures  ] %s flood: %.1f MB sent by 2 writers; gate exchange median %.2f ms "
        "idle, %.2f ms flooded (%zu exchanges); peak VmRSS %ld KiB\n",
        c.name, static_cast<double>(floodBytes) / 1e6, idleMedian, floodedMedian, flooded.size(),
        peakRss);
    EXPECT_TRUE(allAnswered) << "a gate exchange went unanswered for 1 s during the flood";
    EXPECT_TRUE(signalAnswered) << "SIGUSR1 not answered within 500 ms during the flood";
    EXPECT_LT(peakRss, kRssLimitKiB);
    EXPECT_GT(flooded.size(), 30u);
    EXPECT_LE(floodedMedian, 2 * idleMedian);
    // Enough to show the writers were read all along; a sanitizer build reads a few MB, a plain one
    // hundreds.
    EXPECT_GT(floodBytes, 1u * 1024 * 1024) << "the flood was read all along";

    // The channel still works afterwards, and the garbage was told about a line a second per
    // writer rather than a line per read.
    if (c.channel == kConfigChannel) {
      const std::string out = server->Output();
      size_t lines = 0;
      for (size_t at = out.find("nie sú konfiguračným paketom"); at != std::string::npos;
           at = out.find("nie sú konfiguračným paketom", at + 1)) {
        ++lines;
      }
      EXPECT_GE(lines, 2u);
      EXPECT_LE(lines, 6u);
      TcpClient config;
      Connect(config, kConfigChannel);
      const ConfigPacket usb = BuildConfigPacket(kInterfaceUsb, "COM7", "", "");
      config.Write(usb.data(), usb.size());
      EXPECT_TRUE(server->WaitForOutput("rozhranie USB / DALI, port COM7"));
    }
  }
}

TEST_F(MisbehavingClients, TheGateReadsNoFurtherAheadThanItsInputLimit) {
  // With bus timing each request takes 29 ms, so a 10 000-byte backlog is still almost all
  // waiting when it is looked at.
  Start({"--timing", "dali"});
  const int gate = RawConnect(Port(kGateChannel));
  ASSERT_GE(gate, 0);
  const Bytes recall = Request(3, 0, 0x01, 0x05);  // RECALL MAX LEVEL to A 00
  std::vector<uint8_t> backlog;
  for (int i = 0; i < 2000; ++i) backlog.insert(backlog.end(), recall.begin(), recall.end());
  ASSERT_EQ(::send(gate, backlog.data(), backlog.size(), MSG_NOSIGNAL),
            static_cast<ssize_t>(backlog.size()));
  std::this_thread::sleep_for(150ms);
  const long unread = UnreadByServer(Port(kGateChannel), LocalPort(gate));
  // 4096 bytes taken in, a few requests executed: the rest waits in the kernel.
  EXPECT_GE(unread, static_cast<long>(backlog.size()) - 4096 - 5 * 20);
  EXPECT_LE(unread, static_cast<long>(backlog.size()) - 4096);
  // The requests it took are answered at the bus's pace, in order.
  Bytes reply{};
  for (int i = 0; i < 3; ++i) {
    pollfd p{gate, POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 1000), 1);
    ASSERT_EQ(::recv(gate, reply.data(), reply.size(), MSG_WAITALL), 5);
    EXPECT_EQ(reply, (Bytes{0x60, 0x00, 0x01, 0x05, 0x64}));
  }
  ::close(gate);
}

TEST_F(MisbehavingClients, AGateBacklogIsWorkedOffInLinearTimeWhileTheLoopTurns) {
  Start();
  TcpClient gate;
  Connect(gate, kGateChannel);
  // What one exchange at a time costs the server, as the baseline.
  constexpr int kSingles = 20000;
  const double cpuBefore = CpuSeconds(server->Pid());
  for (int i = 0; i < kSingles; ++i) ASSERT_GT(TimedExchange(gate), 0);
  const double cpuPerSingle = (CpuSeconds(server->Pid()) - cpuBefore) / kSingles;

  // A 2 MB backlog, piled up while the server is stopped so that it meets all of it at once.
  constexpr size_t kBacklog = 400000;
  std::vector<uint8_t> requests;
  requests.reserve(kBacklog * 5);
  for (size_t i = 0; i < kBacklog; ++i)
    requests.insert(requests.end(), kQuery.begin(), kQuery.end());
  server->Signal(SIGSTOP);
  std::thread writer([&] {
    try {
      gate.Write(requests.data(), requests.size());
    } catch (const ConnectionLost&) {
    }
  });
  std::atomic<size_t> replies{0};
  std::atomic<bool> inOrder{true};
  std::thread reader([&] {
    std::vector<uint8_t> chunk(5 * 1000);
    // A server that copies its backlog around would take minutes; it has failed long before.
    const auto deadline = Clock::now() + 15s;
    try {
      while (replies < kBacklog && Clock::now() < deadline) {
        const size_t want = std::min(chunk.size(), (kBacklog - replies) * 5);
        if (!gate.ReadExactFor(chunk.data(), want, 10s)) break;
        for (size_t at = 0; at < want; at += 5) {
          if (!std::equal(kQueryReply.begin(), kQueryReply.end(), chunk.begin() + at)) {
            inOrder = false;
          }
        }
        replies += want / 5;
      }
    } catch (const ConnectionLost&) {
    }
  });
  std::this_thread::sleep_for(200ms);
  const double cpuStart = CpuSeconds(server->Pid());
  const auto start = Clock::now();
  server->Signal(SIGCONT);
  std::this_thread::sleep_for(20ms);
  server->Signal(SIGUSR1);
  const bool signalAnswered = server->WaitForOutput("Modelovaný čas zbernice", 500ms);
  const double signalMs =
      std::chrono::duration<double, std::milli>(Clock::now() - start).count() - 20;
  reader.join();
  const double wallS = std::chrono::duration<double>(Clock::now() - start).count();
  gate.Disconnect();  // frees the writer if the server gave up on us
  writer.join();
  const double cpuBacklog = CpuSeconds(server->Pid()) - cpuStart;

  std::printf(
      "[ figures  ] single exchanges: %.2f us server CPU each; backlog of %zu: %zu "
      "answered in %.2f s wall, %.2f s server CPU (%.2f us each); SIGUSR1 answered after "
      "%.0f ms\n",
      cpuPerSingle * 1e6, kBacklog, replies.load(), wallS, cpuBacklog, cpuBacklog / kBacklog * 1e6,
      signalMs);
  EXPECT_EQ(replies, kBacklog);
  EXPECT_TRUE(inOrder);
  EXPECT_TRUE(signalAnswered) << "the loop did not turn while the backlog was worked off";
  // Pipelined requests cost less than single ones; a quadratic backlog costs far more.
  EXPECT_LT(cpuBacklog, 2 * cpuPerSingle * kBacklog + 0.05);
}

TEST_F(MisbehavingClients, OutOfFileDescriptorsTheServerSaysSoOnceAndServesItsClients) {
  Start();
  TcpClient gate;
  Connect(gate, kGateChannel);
  ASSERT_GT(TimedExchange(gate), 0);
  // Room for two more connections only.
  const rlim_t limit = OpenDescriptors(server->Pid()) + 2;
  const rlimit low{limit, limit};
  ASSERT_EQ(::prlimit(server->Pid(), RLIMIT_NOFILE, &low, nullptr), 0);

  std::vector<int> crowd;
  for (int i = 0; i < 10; ++i) {
    const int fd = RawConnect(Port(kConfigChannel));
    ASSERT_GE(fd, 0);
    crowd.push_back(fd);
  }
  const char* kFull = "nemožno prijať";
  EXPECT_TRUE(server->WaitForOutput(kFull, 2s)) << server->Output();

  // One exchange every 10 ms for a second: the server answers them and otherwise sleeps.
  const double cpuBefore = CpuSeconds(server->Pid());
  int answered = 0;
  for (int i = 0; i < 100; ++i) {
    if (TimedExchange(gate) > 0) ++answered;
    std::this_thread::sleep_for(10ms);
  }
  const double cpu = CpuSeconds(server->Pid()) - cpuBefore;
  std::printf("[ figures  ] out of descriptors: %.3f s server CPU in about 1.1 s\n", cpu);
  EXPECT_EQ(answered, 100);
  EXPECT_LT(cpu, 0.15) << "the server spins on the listening socket";
  const std::string out = server->Output();
  EXPECT_EQ(out.find(kFull), out.rfind(kFull)) << "said once\n" << out;

  // Once descriptors are free again, new clients are taken: a new monitor sees the traffic.
  for (int fd : crowd) ::close(fd);
  TcpClient monitor;
  Connect(monitor, kMonitorChannel);
  bool recorded = false;
  for (int i = 0; i < 100 && !recorded; ++i) {
    ASSERT_GT(TimedExchange(gate), 0);
    Bytes record{};
    recorded = monitor.ReadExactFor(record.data(), record.size(), 20ms);
  }
  EXPECT_TRUE(recorded) << server->Output();
}

}  // namespace
}  // namespace lumetra::test
