// A stand-in bus server for the configurator's connection tests: it records every start and every
// configuration packet in a file and answers gate requests with "yes". It ends itself after a
// minute so that a failed test never leaves it behind.
//   lumetra_fake_bus_server --port-base N --record FILE
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

int Listen(uint16_t port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  int one = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(fd, 4) != 0) return -1;
  return fd;
}

void Record(const std::string& file, const std::string& line) {
  if (FILE* f = std::fopen(file.c_str(), "a")) {
    std::fprintf(f, "%s\n", line.c_str());
    std::fclose(f);
  }
}

}  // namespace

int main(int argc, char** argv) {
  uint16_t base = 0;
  std::string record;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--port-base") == 0)
      base = static_cast<uint16_t>(std::atoi(argv[i + 1]));
    if (std::strcmp(argv[i], "--record") == 0) record = argv[i + 1];
  }
  Record(record, "start");
  const int listeners[2] = {Listen(base), Listen(static_cast<uint16_t>(base + 1))};
  if (listeners[0] < 0 || listeners[1] < 0) {
    Record(record, "port in use");
    return 2;
  }
  struct Client {
    int fd;
    bool config;
    std::vector<uint8_t> pending;
  };
  std::vector<Client> clients;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (std::chrono::steady_clock::now() < end) {
    std::vector<pollfd> fds = {{listeners[0], POLLIN, 0}, {listeners[1], POLLIN, 0}};
    for (const Client& c : clients) fds.push_back({c.fd, POLLIN, 0});
    if (::poll(fds.data(), fds.size(), 100) <= 0) continue;
    for (int k = 0; k < 2; ++k) {
      if (fds[k].revents & POLLIN)
        clients.push_back({::accept(listeners[k], nullptr, nullptr), k == 0, {}});
    }
    for (size_t i = 2; i < fds.size(); ++i) {
      if (!(fds[i].revents & (POLLIN | POLLHUP))) continue;
      Client& c = clients[i - 2];
      uint8_t buffer[256];
      const ssize_t n = ::recv(c.fd, buffer, sizeof buffer, 0);
      if (n <= 0) {
        ::close(c.fd);
        c.fd = -1;
        continue;
      }
      c.pending.insert(c.pending.end(), buffer, buffer + n);
      const size_t frame = c.config ? 52 : 5;
      while (c.pending.size() >= frame) {
        if (c.config) {
          std::string hex;
          char two[3];
          for (size_t k = 0; k < frame; ++k) {
            std::snprintf(two, sizeof two, "%02x", c.pending[k]);
            hex += two;
          }
          Record(record, "config " + hex);
        } else {
          uint8_t reply[5] = {0x62, c.pending[1], c.pending[2], 0xFF, 0};
          reply[4] = reply[0] ^ reply[1] ^ reply[2] ^ reply[3];
          ::send(c.fd, reply, 5, MSG_NOSIGNAL);
        }
        c.pending.erase(c.pending.begin(), c.pending.begin() + static_cast<long>(frame));
      }
    }
    std::erase_if(clients, [](const Client& c) { return c.fd < 0; });
  }
  return 0;
}
