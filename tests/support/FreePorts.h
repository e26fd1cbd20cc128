// Free loopback ports for servers that tests start.
#pragma once

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <random>
#include <stdexcept>

namespace lumetra::test {

// The first of `count` consecutive loopback ports that nobody uses now. They are taken below the
// range the system hands out to outgoing connections: a port from that range may be given to the
// very client that keeps knocking while the server starts, and the server then cannot bind it.
inline uint16_t FreeLoopbackPorts(int count) {
  constexpr int kLow = 20000, kHigh = 32000;  // below the usual 32768.. of outgoing connections
  std::mt19937 random(std::random_device{}() ^ static_cast<unsigned>(::getpid()));
  for (int attempt = 0; attempt < 200; ++attempt) {
    const int base = kLow + static_cast<int>(random() % static_cast<unsigned>(kHigh - kLow));
    bool free = true;
    for (int k = 0; k < count && free; ++k) {
      const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
      sockaddr_in a{};
      a.sin_family = AF_INET;
      a.sin_port = htons(static_cast<uint16_t>(base + k));
      a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
      free = ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
      ::close(fd);
    }
    if (free) return static_cast<uint16_t>(base);
  }
  throw std::runtime_error("no free loopback ports");
}

}  // namespace lumetra::test
