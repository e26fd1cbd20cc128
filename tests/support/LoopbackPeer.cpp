// Loopback gate peer for the tests.
#include "support/LoopbackPeer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace lumetra::test {

LoopbackPeer::LoopbackPeer(const char* host) {
  responder_ = [](const Frame& r) -> std::optional<Frame> {
    Frame reply{0x62, r[1], r[2], 0xFF, 0};
    reply[4] = reply[0] ^ reply[1] ^ reply[2] ^ reply[3];
    return reply;
  };
  listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  int one = 1;
  ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  ::inet_pton(AF_INET, host, &address.sin_addr);
  if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listenFd_, 4) != 0) {
    throw std::runtime_error("LoopbackPeer: cannot listen");
  }
  socklen_t length = sizeof address;
  ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length);
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { Run(); });
}

LoopbackPeer::~LoopbackPeer() {
  stop_ = true;
  thread_.join();
  ::close(listenFd_);
}

void LoopbackPeer::SetResponder(Responder responder) {
  std::lock_guard lock(mutex_);
  responder_ = std::move(responder);
}

void LoopbackPeer::CloseAfter(int requests) {
  std::lock_guard lock(mutex_);
  closeAfter_ = static_cast<int>(requests_.size()) + requests;
}

void LoopbackPeer::Hangup() {
  std::lock_guard lock(mutex_);
  // The serving loop sees the end of the stream and closes its side.
  if (clientFd_ >= 0) ::shutdown(clientFd_, SHUT_RDWR);
}

void LoopbackPeer::Send(const std::vector<uint8_t>& bytes) {
  std::lock_guard lock(mutex_);
  if (clientFd_ >= 0) ::send(clientFd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
}

std::vector<Frame> LoopbackPeer::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

void LoopbackPeer::ClearRequests() {
  std::lock_guard lock(mutex_);
  requests_.clear();
  bytes_.clear();
}

std::vector<uint8_t> LoopbackPeer::Bytes() const {
  std::lock_guard lock(mutex_);
  return bytes_;
}

bool LoopbackPeer::WaitForRequests(size_t count, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return requests_.size() >= count; });
}

bool LoopbackPeer::WaitForConnections(int count, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return connections_.load() >= count; });
}

void LoopbackPeer::Run() {
  std::vector<uint8_t> pending;
  while (!stop_) {
    int client;
    {
      std::lock_guard lock(mutex_);
      client = clientFd_;
    }
    pollfd p{client >= 0 ? client : listenFd_, POLLIN, 0};
    if (::poll(&p, 1, 5) <= 0) continue;
    if (client < 0) {
      const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd < 0) continue;
      std::lock_guard lock(mutex_);
      clientFd_ = fd;
      ++connections_;
      pending.clear();
      changed_.notify_all();
      continue;
    }
    uint8_t buffer[256];
    const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
    std::unique_lock lock(mutex_);
    if (n <= 0) {
      ::close(clientFd_);
      clientFd_ = -1;
      changed_.notify_all();
      continue;
    }
    bytes_.insert(bytes_.end(), buffer, buffer + n);
    pending.insert(pending.end(), buffer, buffer + n);
    while (pending.size() >= 5 && clientFd_ >= 0) {
      Frame request;
      std::copy(pending.begin(), pending.begin() + 5, request.begin());
      pending.erase(pending.begin(), pending.begin() + 5);
      requests_.push_back(request);
      changed_.notify_all();
      if (closeAfter_ >= 0 && static_cast<int>(requests_.size()) >= closeAfter_) {
        closeAfter_ = -1;
        ::close(clientFd_);
        clientFd_ = -1;
        break;
      }
      const Responder responder = responder_;
      lock.unlock();
      const std::optional<Frame> reply = responder(request);
      lock.lock();
      if (reply && clientFd_ >= 0) ::send(clientFd_, reply->data(), reply->size(), MSG_NOSIGNAL);
    }
  }
  std::lock_guard lock(mutex_);
  if (clientFd_ >= 0) ::close(clientFd_);
  clientFd_ = -1;
}

}  // namespace lumetra::test
