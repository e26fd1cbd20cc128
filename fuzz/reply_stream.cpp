// Fuzz target: the client's gate reply stream. A loopback peer answers each request of TDaliCom
// with a piece of the input (0..7 bytes, or it closes the connection); whatever the pieces, the
// n-th complete reply is bytes 5n..5n+4 of everything the peer sent, an exchange without a whole
// reply gives back the request as sent, and a closed connection ends in "lost".
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "buslink/DaliCom.h"
#include "buslink/TcpClient.h"

namespace {

int Listener(uint16_t& port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof addr;
  if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      ::listen(fd, 4) != 0 || ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &length) != 0) {
    std::abort();
  }
  port = ntohs(addr.sin_port);
  return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static uint16_t port = 0;
  static const int listener = Listener(port);

  lumetra::TcpClient client;
  client.SetHost("127.0.0.1");
  client.SetPort(port);
  client.Connect();
  const int peer = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
  if (peer < 0) std::abort();
  lumetra::TDaliCom com;
  com.CreateLock();
  com.SetClient(&client);
  com.SetReplyTimeout(std::chrono::milliseconds(1));

  std::vector<uint8_t> sent;  // everything the peer wrote
  size_t replied = 0;
  bool closed = false;
  size_t at = 0;
  for (int step = 0; at < size && step < 64; ++step) {
    const uint8_t control = data[at++];
    if (control == 0xFF) {
      ::shutdown(peer, SHUT_RDWR);
      closed = true;
    } else {
      // A closed peer sends nothing more; its piece of the input is still used up.
      const size_t n = closed ? 0 : std::min<size_t>(control % 8, size - at);
      if (n > 0 && ::send(peer, data + at, n, MSG_NOSIGNAL) != static_cast<ssize_t>(n)) {
        std::abort();
      }
      sent.insert(sent.end(), data + at, data + at + n);
      at += closed ? std::min<size_t>(control % 8, size - at) : n;
    }
    uint8_t request[5] = {0, static_cast<uint8_t>(step), static_cast<uint8_t>(at), 0x91, 0};
    uint8_t reply[5];
    const int result =
        com.Exchange(reply, request, lumetra::kGearFrame, request[1], request[2], request[3]);
    if (result == lumetra::kExchangeReplied) {
      if (sent.size() < 5 * (replied + 1)) std::abort();
      if (std::memcmp(reply, sent.data() + 5 * replied, 5) != 0) std::abort();
      ++replied;
    } else if (result == lumetra::kExchangeNoReply) {
      if (closed || std::memcmp(reply, request, 5) != 0) std::abort();
    } else if (result == lumetra::kExchangeLost) {
      if (!closed) std::abort();
      break;
    } else {
      std::abort();
    }
    // The peer drops the requests, so that they never fill its buffer.
    uint8_t sink[512];
    while (!closed && ::recv(peer, sink, sizeof sink, MSG_DONTWAIT) > 0) {
    }
  }
  client.Disconnect();
  ::close(peer);
  return 0;
}
