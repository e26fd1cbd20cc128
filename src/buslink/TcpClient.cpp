// POSIX implementation of the program's TCP client.
#include "buslink/TcpClient.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace lumetra {

namespace {

int PollTimeout(const std::chrono::steady_clock::time_point* deadline) {
  if (deadline == nullptr) return -1;
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      *deadline - std::chrono::steady_clock::now());
  // Round up so that a wait never ends a fraction of a millisecond early.
  return left.count() < 0 ? 0 : static_cast<int>(left.count()) + 1;
}

// Connects the socket, giving up after `timeout`; returns 0 or the errno of the failure.
int ConnectWithin(int fd, const sockaddr_in& address, std::chrono::milliseconds timeout) {
  const int flags = ::fcntl(fd, F_GETFL, 0);
  ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
  int err = 0;
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    err = errno;
    if (err == EINPROGRESS || err == EINTR) {
      const auto deadline = std::chrono::steady_clock::now() + timeout;
      for (;;) {
        pollfd p{fd, POLLOUT, 0};
        const int rc = ::poll(&p, 1, PollTimeout(&deadline));
        if (rc < 0 && errno == EINTR) continue;
        if (rc == 0) {
          err = ETIMEDOUT;
        } else {
          socklen_t length = sizeof err;
          ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &length);
        }
        break;
      }
    }
  }
  ::fcntl(fd, F_SETFL, flags);
  return err;
}

}  // namespace

class TcpClient::Use {
 public:
  explicit Use(TcpClient& client) : client_(client), fd_(client.Acquire(generation_)) {}
  ~Use() { client_.Release(); }
  int fd() const { return fd_; }
  uint64_t generation() const { return generation_; }

 private:
  TcpClient& client_;
  uint64_t generation_ = 0;
  int fd_;
};

TcpClient::~TcpClient() {
  // The owner's handlers may be gone already; close quietly.
  OnDisconnected = nullptr;
  Disconnect();
}

void TcpClient::SetHost(std::string host) {
  std::lock_guard lock(settingsMutex_);
  host_ = std::move(host);
}

void TcpClient::SetPort(uint16_t port) {
  std::lock_guard lock(settingsMutex_);
  port_ = port;
}

std::string TcpClient::Host() const {
  std::lock_guard lock(settingsMutex_);
  return host_;
}

uint16_t TcpClient::Port() const {
  std::lock_guard lock(settingsMutex_);
  return port_;
}

void TcpClient::Connect() {
  if (Connected()) return;
  const std::string host = Host();
  const uint16_t port = Port();

  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  if (inet_pton(AF_INET, host.c_str(), &address.sin_addr) != 1) {
    throw Error("Neplatná IP adresa \"" + host + "\"");
  }
  // Close-on-exec: the bus server started later must not inherit the program's connections.
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0)
    throw Error(std::string("Nepodarilo sa vytvoriť spojenie: ") + SystemErrorText(errno));
  int one = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  const int err = ConnectWithin(fd, address, connectTimeout_);
  if (err != 0) {
    ::close(fd);
    throw Error("Nepodarilo sa pripojiť k " + host + ":" + std::to_string(port) + " (" +
                SystemErrorText(err) + ")");
  }
  {
    std::lock_guard lock(closeMutex_);
    // Counted before the descriptor shows, so whoever sees this descriptor sees its generation.
    ++generation_;
    fd_.store(fd);
  }
  if (OnConnected) OnConnected(*this);
}

void TcpClient::Disconnect() {
  int fd;
  {
    std::lock_guard lock(closeMutex_);
    fd = fd_.exchange(-1);
  }
  Close(fd);
}

void TcpClient::DisconnectIfStill(uint64_t generation) {
  // A read or write that failed ends its own connection only: by the time it notices, another
  // thread may have disconnected and connected again (the system may even reuse the descriptor's
  // number), and the new connection must live on.
  int fd = -1;
  {
    std::lock_guard lock(closeMutex_);
    if (generation_.load() == generation) fd = fd_.exchange(-1);
  }
  Close(fd);
}

void TcpClient::Close(int fd) {
  if (fd < 0) return;
  // shutdown wakes any thread blocked on the socket; the descriptor is closed once it has left.
  ::shutdown(fd, SHUT_RDWR);
  {
    std::unique_lock lock(useMutex_);
    useDone_.wait(lock, [this] { return users_ == 0; });
  }
  ::close(fd);
  if (OnDisconnected) OnDisconnected(*this);
}

int TcpClient::Acquire(uint64_t& generation) {
  // Descriptor and generation are read as one pair.
  std::lock_guard pair(closeMutex_);
  std::lock_guard lock(useMutex_);
  const int fd = fd_.load();
  if (fd < 0) throw ConnectionLost("Spojenie nie je otvorené");
  generation = generation_.load();
  ++users_;
  return fd;
}

void TcpClient::Release() {
  std::lock_guard lock(useMutex_);
  if (--users_ == 0) useDone_.notify_all();
}

void TcpClient::Write(const uint8_t* data, size_t size) {
  bool lost = false;
  uint64_t used;
  {
    Use use(*this);
    used = use.generation();
    size_t done = 0;
    while (done < size) {
      const ssize_t n = ::send(use.fd(), data + done, size - done, MSG_NOSIGNAL);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        lost = true;
        break;
      }
      done += static_cast<size_t>(n);
    }
  }
  if (lost) {
    DisconnectIfStill(used);
    throw ConnectionLost("Spojenie bolo prerušené");
  }
}

bool TcpClient::WaitReadable(std::chrono::milliseconds timeout) {
  Use use(*this);
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    pollfd p{use.fd(), POLLIN, 0};
    const int rc = ::poll(&p, 1, PollTimeout(&deadline));
    if (rc > 0) return true;
    if (rc == 0) return false;
    if (errno != EINTR) return true;  // the read that follows reports the failure
  }
}

size_t TcpClient::ReadUntil(uint8_t* data, size_t size,
                            const std::chrono::steady_clock::time_point* deadline) {
  bool lost = false;
  size_t done = 0;
  uint64_t used;
  {
    Use use(*this);
    used = use.generation();
    while (done < size) {
      pollfd p{use.fd(), POLLIN, 0};
      const int rc = ::poll(&p, 1, PollTimeout(deadline));
      if (rc < 0 && errno == EINTR) continue;
      if (rc == 0) break;  // time is up
      const ssize_t n = ::recv(use.fd(), data + done, size - done, 0);
      if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
      if (n <= 0) {
        lost = true;
        break;
      }
      done += static_cast<size_t>(n);
    }
  }
  if (lost) {
    DisconnectIfStill(used);
    throw ConnectionLost("Spojenie bolo prerušené");
  }
  return done;
}

void TcpClient::ReadExact(uint8_t* data, size_t size) { ReadUntil(data, size, nullptr); }

bool TcpClient::ReadExactFor(uint8_t* data, size_t size, std::chrono::milliseconds timeout) {
  return ReadSomeFor(data, size, timeout) == size;
}

size_t TcpClient::ReadSomeFor(uint8_t* data, size_t size, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  return ReadUntil(data, size, &deadline);
}

bool TcpClient::StillConnected() {
  if (!Connected()) return false;
  bool closed = false;
  try {
    Use use(*this);
    pollfd p{use.fd(), POLLIN, 0};
    if (::poll(&p, 1, 0) > 0) {
      uint8_t byte;
      const ssize_t n = ::recv(use.fd(), &byte, 1, MSG_PEEK | MSG_DONTWAIT);
      closed = n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR);
    }
  } catch (const ConnectionLost&) {
    return false;
  }
  if (closed) Disconnect();
  return !closed;
}

void TcpClient::DiscardInput() {
  if (!Connected()) return;
  try {
    Use use(*this);
    uint8_t sink[512];
    while (::recv(use.fd(), sink, sizeof sink, MSG_DONTWAIT) > 0) {
    }
  } catch (const ConnectionLost&) {
    // Closed meanwhile: nothing left to discard.
  }
}

}  // namespace lumetra
