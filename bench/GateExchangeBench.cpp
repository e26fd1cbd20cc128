// One gate exchange over loopback against a peer that answers at once. The baseline is the same
// round trip done with bare socket calls, so the ratio shows what TDaliCom itself adds.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "buslink/DaliCom.h"
#include "buslink/TcpClient.h"

namespace {

// Echo peer: answers each 5-byte request at once with [0x62, b1, b2, 0xFF, xor].
class EchoPeer {
 public:
  EchoPeer() {
    listen_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listen_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::listen(listen_, 4);
    socklen_t len = sizeof a;
    ::getsockname(listen_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
    thread_ = std::thread([this] { Run(); });
  }
  ~EchoPeer() {
    stop_ = true;
    thread_.join();
    ::close(listen_);
  }
  uint16_t port() const { return port_; }

 private:
  void Run() {
    while (!stop_) {
      pollfd p{listen_, POLLIN, 0};
      if (::poll(&p, 1, 10) <= 0) continue;
      const int fd = ::accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC);
      int one = 1;
      ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
      uint8_t b[5];
      size_t have = 0;
      for (;;) {
        const ssize_t n = ::recv(fd, b + have, 5 - have, 0);
        if (n <= 0) break;
        have += static_cast<size_t>(n);
        if (have < 5) continue;
        have = 0;
        uint8_t r[5] = {0x62, b[1], b[2], 0xFF, 0};
        r[4] = r[0] ^ r[1] ^ r[2] ^ r[3];
        ::send(fd, r, 5, MSG_NOSIGNAL);
      }
      ::close(fd);
    }
  }
  int listen_;
  uint16_t port_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

void BM_RawSocketRoundTrip(benchmark::State& state) {
  EchoPeer peer;
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  int one = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(peer.port());
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
  uint8_t req[5] = {0x83, 0, 0x0B, 0x91, 0x83 ^ 0x0B ^ 0x91}, rep[5];
  for (auto _ : state) {
    ::send(fd, req, 5, MSG_NOSIGNAL);
    size_t have = 0;
    while (have < 5) have += static_cast<size_t>(::recv(fd, rep + have, 5 - have, 0));
    benchmark::DoNotOptimize(rep);
  }
  ::close(fd);
}
BENCHMARK(BM_RawSocketRoundTrip)->UseRealTime()->Repetitions(5);

// Argument 1: strict replies, as with the bus server (echo and checksum checked).
void BM_GateExchange(benchmark::State& state) {
  EchoPeer peer;
  lumetra::TcpClient client;
  client.SetHost("127.0.0.1");
  client.SetPort(peer.port());
  client.Connect();
  lumetra::TDaliCom com;
  com.CreateLock();
  com.SetStrictReplies(state.range(0) != 0);
  com.SetClient(&client);
  uint8_t req[5] = {lumetra::kGearFrame, 0, 0x0B, 0x91, 0}, rep[5];
  for (auto _ : state) {
    if (com.Exchange(rep, req) != lumetra::kExchangeReplied) state.SkipWithError("exchange failed");
    benchmark::DoNotOptimize(rep);
  }
}
BENCHMARK(BM_GateExchange)->Arg(0)->Arg(1)->UseRealTime()->Repetitions(5);

}  // namespace

BENCHMARK_MAIN();
