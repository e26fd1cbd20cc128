// The bus server's event loop. Everything runs on one thread: the line is touched only here, so
// the order of frames on the line is the order in which requests were read.
#include "busserver/BusServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstring>

#include "sim/DaliTiming.h"

namespace lumetra::busserver {

namespace {

int gSignalPipe[2] = {-1, -1};

constexpr const char* kChannelNames[3] = {"konfigurácia", "brána", "monitor"};
constexpr size_t kGateInputLimit = 4096;  // stop reading a client that floods the gate
// Taken in per round from a configuration or monitor client. Configuration packets are 52 bytes
// and monitor clients have nothing to say, so this is plenty; it bounds the memory and the time a
// client that writes without pause costs per round (garbage of 1s is tried as a packet at every
// byte).
constexpr size_t kReadPerRound = 512;
constexpr int kMonitorSendBuffer = 16 * 1024;
constexpr auto kAcceptPause = std::chrono::milliseconds(100);

std::string Hex(const sim::Frame& f) {
  char text[16];
  std::snprintf(text, sizeof text, "%02X %02X %02X %02X %02X", f[0], f[1], f[2], f[3], f[4]);
  return text;
}

void CloseFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

}  // namespace

BusServer::BusServer(const Options& options, const sim::LineDescription& line, std::FILE* out)
    : options_(options),
      line_(line, options.seed),
      // Its own stream of numbers, so that injecting faults does not change the line's behaviour.
      faults_(options.faults, options.seed ^ 0x9E3779B97F4A7C15ull),
      out_(out),
      lineName_(line.name) {
  if (gSignalPipe[0] < 0 && ::pipe2(gSignalPipe, O_NONBLOCK | O_CLOEXEC) != 0) {
    throw Error(std::string("Nedá sa vytvoriť rúra pre signály: ") + SystemErrorText(errno));
  }
  line_.SetMonitor([this](const sim::Frame& record) { Broadcast(record); });
  line_.SetRelayOutputs([this](uint8_t shortAddress, uint8_t outputs) {
    auto state = [outputs](int i) { return (outputs >> i) & 1 ? "zap." : "vyp."; };
    Log("Optorelé %u: výstup A %s, B %s, C %s, D %s", shortAddress, state(0), state(1), state(2),
        state(3));
  });
  if (options_.timing == Timing::kDali) {
    const auto start = Clock::now();
    line_.SetClock([start] {
      return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
    });
  }
}

BusServer::~BusServer() {
  if (gate_) CloseFd(gate_->fd);
  for (auto& c : configs_) CloseFd(c->fd);
  for (auto& m : monitors_) CloseFd(m->fd);
  for (int& fd : listen_) CloseFd(fd);
}

void BusServer::Notify(int signo) {
  const uint8_t byte = static_cast<uint8_t>(signo);
  if (gSignalPipe[1] >= 0) {
    [[maybe_unused]] ssize_t n = ::write(gSignalPipe[1], &byte, 1);
  }
}

void BusServer::WriteLine(const char* format, va_list args) {
  std::vfprintf(out_, format, args);
  std::fputc('\n', out_);
  std::fflush(out_);
}

void BusServer::Say(const char* format, ...) {
  va_list args;
  va_start(args, format);
  WriteLine(format, args);
  va_end(args);
}

void BusServer::Log(const char* format, ...) {
  if (!options_.log) return;
  va_list args;
  va_start(args, format);
  WriteLine(format, args);
  va_end(args);
}

std::string BusServer::BusTimeText() const {
  char text[128];
  std::snprintf(text, sizeof text, "Modelovaný čas zbernice: %.3f ms v %llu výmenách",
                line_.BusMicros() / 1000.0, static_cast<unsigned long long>(line_.Exchanges()));
  return text;
}

int BusServer::Bind(uint16_t port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) throw Error(std::string("Nedá sa vytvoriť soket: ") + SystemErrorText(errno));
  const int one = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(port);
  ::inet_pton(AF_INET, options_.host.c_str(), &addr.sin_addr);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    const int err = errno;
    ::close(fd);
    if (err == EADDRINUSE) {
      throw PortTaken("Port " + std::to_string(port) + " na " + options_.host +
                      " je už obsadený (beží už iný zbernicový server?). Zvoľte iný základ "
                      "voľbou --port-base.");
    }
    throw Error("Port " + std::to_string(port) + " na " + options_.host +
                " sa nedá otvoriť: " + SystemErrorText(err));
  }
  if (::listen(fd, 16) != 0) {
    const int err = errno;
    ::close(fd);
    throw Error("Port " + std::to_string(port) + " sa nedá otvoriť: " + SystemErrorText(err));
  }
  return fd;
}

void BusServer::Listen() {
  for (int channel = 0; channel < 3; ++channel) {
    listen_[channel] = Bind(static_cast<uint16_t>(options_.portBase + channel));
  }
  Say("%s počúva na %s: konfigurácia %u, brána %u, monitor %u; linka \"%s\" (%zu svietidiel, "
      "%zu ovládačov); časovanie %s",
      VersionText().c_str(), options_.host.c_str(), options_.portBase, options_.portBase + 1,
      options_.portBase + 2, lineName_.c_str(), line_.Gear().size(), line_.Devices().size(),
      options_.timing == Timing::kDali ? "dali" : "none");
}

void BusServer::AcceptAll(int listenFd, int channel) {
  // All of them at once: a client whose connect() returned before another client's request was
  // written is then served before that request, and so sees its records.
  for (;;) {
    const int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd >= 0) {
      acceptShortageSaid_ = false;
      Adopt(fd, channel);
      continue;
    }
    const int err = errno;
    if (err == EINTR || err == ECONNABORTED) continue;
    if (err == EMFILE || err == ENFILE || err == ENOBUFS || err == ENOMEM) {
      // The connection stays queued; it is taken once a client has gone and freed a descriptor.
      acceptPausedUntil_ = Clock::now() + kAcceptPause;
      if (!acceptShortageSaid_) {
        Say("Spojenie (%s) nemožno prijať: %s; pripojení klienti sa obsluhujú ďalej, nové "
            "čakajú, kým sa uvoľní miesto",
            kChannelNames[channel], SystemErrorText(err).c_str());
        acceptShortageSaid_ = true;
      }
    }
    return;
  }
}

void BusServer::Adopt(int fd, int channel) {
  const int one = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  if (channel == 0) {
    auto c = std::make_unique<Config>();
    c->fd = fd;
    configs_.push_back(std::move(c));
    Log("Konfigurácia: klient pripojený");
  } else if (channel == 1) {
    // The old client's end may have arrived after this round's poll looked at it.
    if (gate_ && !gate_->dead) NoticeGateEnd();
    RetireGate();
    if (gate_) {
      // The line has one master; a second one would interleave its requests with the first.
      ::close(fd);
      Say("Brána: ďalší klient odmietnutý, brána je obsadená");
      return;
    }
    gate_.emplace();
    gate_->fd = fd;
    faults_.NewConnection();
    gateRequests_ = 0;
    Log("Brána: klient pripojený");
  } else {
    ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &kMonitorSendBuffer, sizeof kMonitorSendBuffer);
    auto m = std::make_unique<Client>();
    m->fd = fd;
    monitors_.push_back(std::move(m));
    Log("Monitor: klient pripojený (%zu spolu)", monitors_.size());
  }
}

bool BusServer::ReadInto(Client& c, size_t room) {
  if (room == 0) return true;
  const size_t had = c.in.size();
  c.in.resize(had + room);
  ssize_t n;
  do {
    n = ::recv(c.fd, c.in.data() + had, room, 0);
  } while (n < 0 && errno == EINTR);
  const int err = errno;
  c.in.resize(had + static_cast<size_t>(std::max<ssize_t>(n, 0)));
  if (n > 0) {
    c.lastInput = Clock::now();
    return true;
  }
  return n < 0 && (err == EAGAIN || err == EWOULDBLOCK);
}

bool BusServer::Flush(Client& c) {
  while (!c.out.empty()) {
    const ssize_t n = ::send(c.fd, c.out.data(), c.out.size(), MSG_NOSIGNAL);
    if (n > 0) {
      c.out.erase(c.out.begin(), c.out.begin() + n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
  }
  return true;
}

void BusServer::CloseClient(Client& c, const char* what) {
  if (c.fd >= 0) Log("%s", what);
  CloseFd(c.fd);
  c.dead = true;
}

void BusServer::Broadcast(const sim::Frame& record) {
  for (auto& m : monitors_) {
    if (m->dead) continue;
    m->out.insert(m->out.end(), record.begin(), record.end());
    if (!Flush(*m)) {
      CloseClient(*m, "Monitor: klient sa odpojil");
    } else if (m->out.size() > options_.monitorBacklog) {
      // A monitor that stops reading must not hold up the line.
      Say("Monitor: klient nečíta (%zu bajtov v rade), odpájam ho", m->out.size());
      CloseClient(*m, "Monitor: klient odpojený");
    }
  }
}

void BusServer::FinishExchange() {
  Gate& g = *gate_;
  g.busy = false;
  if (!g.sendReply) return;
  g.out.insert(g.out.end(), g.reply.begin(), g.reply.end());
  if (!Flush(g) || g.out.size() > kGateInputLimit) CloseClient(g, "Brána: klient sa odpojil");
}

void BusServer::ServeGate(Clock::time_point now) {
  if (!gate_) return;
  Gate& g = *gate_;
  if (g.busy && now >= g.due) FinishExchange();
  // Requests are taken by an offset and the buffer is compacted once afterwards: removing each
  // from the front would make a backlog cost the square of its length.
  size_t taken = 0;
  while (!g.dead && !g.busy && g.in.size() - taken >= 5) {
    sim::Frame request;
    std::copy_n(g.in.begin() + static_cast<std::ptrdiff_t>(taken), 5, request.begin());
    taken += 5;
    ++gateRequests_;

    const sim::FaultInjector::Decision fault = faults_.Next();
    if (fault.close) {
      Say("Brána: požiadavka č. %llu %s nevykonaná, spojenie zatvorené (--close-after)",
          static_cast<unsigned long long>(gateRequests_), Hex(request).c_str());
      CloseClient(g, "Brána: spojenie zatvorené");
      break;
    }

    const sim::SimulatedLine::Result result = line_.Exchange(request);
    const auto start = Clock::now();
    Clock::time_point due = start;
    if (options_.timing == Timing::kDali && result.busMicros > 0) {
      // The settling time before the frame overlaps any pause the client made itself.
      const auto settle =
          std::chrono::duration_cast<Clock::duration>(sim::Micros(sim::DaliTiming::kSettleForward));
      const auto rest = std::chrono::duration_cast<Clock::duration>(
          sim::Micros(result.busMicros - sim::DaliTiming::kSettleForward));
      due = std::max(start, busFreeAt_ + settle) + rest;
      busFreeAt_ = due;
    }
    due += std::chrono::milliseconds(options_.faults.delayReplyMs);
    g.reply = result.reply;
    g.sendReply = !fault.dropReply;
    g.due = due;
    g.busy = true;
    Log("Brána: %s -> %s%s (%.2f ms na zbernici)", Hex(request).c_str(), Hex(result.reply).c_str(),
        fault.dropReply ? " zahodená" : "", result.busMicros / 1000.0);
    if (due <= start) FinishExchange();
  }
  g.in.erase(g.in.begin(), g.in.begin() + static_cast<std::ptrdiff_t>(taken));
  if (g.dead) return;
  // A request that stays incomplete is dropped, so that the stream stays in step.
  if (!g.dead && !g.busy && !g.in.empty() && g.in.size() < 5 &&
      now - g.lastInput >= std::chrono::milliseconds(options_.frameTimeoutMs)) {
    Say("Brána: neúplná požiadavka (%zu B) zahodená po %d ms", g.in.size(),
        options_.frameTimeoutMs);
    g.in.clear();
  }
}

void BusServer::ReportGarbage(Config& c, bool now) {
  if (c.garbage == 0) return;
  const auto time = Clock::now();
  if (!now && !c.dead && time < c.garbageReportDue) return;
  Say("Konfigurácia: %zu B, ktoré nie sú konfiguračným paketom, ignorované", c.garbage);
  c.garbage = 0;
  c.garbageReportDue = time + std::chrono::seconds(1);
}

void BusServer::ServeConfig(Config& c) {
  for (const ConfigStream::Event& e : c.stream.Feed(c.in.data(), c.in.size())) {
    if (e.packet) {
      ReportGarbage(c, true);  // what came before the packet is told before it
      Say("Konfigurácia: rozhranie %s", e.info.Describe().c_str());
    } else {
      c.garbage += e.skippedBytes;
    }
  }
  c.in.clear();
  ReportGarbage(c, false);
}

void BusServer::HandleSignals(bool& stop) {
  uint8_t signals[16];
  ssize_t n;
  while ((n = ::read(gSignalPipe[0], signals, sizeof signals)) > 0) {
    for (ssize_t i = 0; i < n; ++i) {
      if (signals[i] == SIGUSR1) {
        Say("%s", BusTimeText().c_str());
      } else {
        stop = true;
      }
    }
  }
}

void BusServer::WatchAll() {
  fds_.clear();
  owners_.clear();
  fds_.push_back({gSignalPipe[0], POLLIN, 0});
  owners_.push_back(nullptr);
  acceptPaused_ = Clock::now() < acceptPausedUntil_;
  for (int channel = 0; channel < 3; ++channel) {
    // A negative descriptor is skipped by poll but keeps the listeners' places in fds_.
    fds_.push_back({acceptPaused_ ? -1 : listen_[channel], POLLIN, 0});
    owners_.push_back(nullptr);
  }
  auto watch = [&](Client& c, bool read) {
    short events = read ? POLLIN : 0;
    if (!c.out.empty()) events |= POLLOUT;
    // Left out entirely while there is nothing to do for it: poll reports a hang-up even when
    // asked for nothing, and a full gate whose client has gone would wake the loop at once.
    fds_.push_back({events != 0 ? c.fd : -1, events, 0});
    owners_.push_back(&c);
  };
  for (auto& c : configs_) watch(*c, true);
  if (gate_) watch(*gate_, gate_->in.size() < kGateInputLimit);
  for (auto& m : monitors_) watch(*m, true);
}

std::optional<BusServer::Clock::time_point> BusServer::NextWake() const {
  std::optional<Clock::time_point> wake;
  if (gate_ && gate_->busy) {
    wake = gate_->due;
  } else if (gate_ && !gate_->in.empty() && gate_->in.size() < 5) {
    wake = gate_->lastInput + std::chrono::milliseconds(options_.frameTimeoutMs);
  }
  auto consider = [&wake](Clock::time_point t) {
    if (!wake || t < *wake) wake = t;
  };
  if (acceptPaused_) consider(acceptPausedUntil_);
  for (const auto& c : configs_) {
    if (c->garbage > 0) consider(c->garbageReportDue);
  }
  return wake;
}

int BusServer::Poll(std::optional<Clock::time_point> wake) {
  timespec timeout{};
  if (wake) {
    const auto left = std::max(Clock::duration::zero(), *wake - Clock::now());
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
    timeout.tv_sec = static_cast<time_t>(ns / 1000000000);
    timeout.tv_nsec = static_cast<long>(ns % 1000000000);
  }
  const int ready = ::ppoll(fds_.data(), fds_.size(), wake ? &timeout : nullptr, nullptr);
  if (ready < 0 && errno != EINTR) {
    throw Error(std::string("poll zlyhal: ") + SystemErrorText(errno));
  }
  return ready;
}

void BusServer::AcceptReady() {
  for (int channel = 0; channel < 3; ++channel) {
    if (fds_[1 + channel].revents & POLLIN) AcceptAll(listen_[channel], channel);
  }
}

void BusServer::ServeClient(Client& c, short revents) {
  const bool isGate = gate_ && &c == &*gate_;
  const bool isMonitor = !isGate && std::any_of(monitors_.begin(), monitors_.end(),
                                                [&c](const auto& m) { return m.get() == &c; });
  if (revents & (POLLIN | POLLHUP | POLLERR)) {
    const size_t room =
        isGate ? kGateInputLimit - std::min(kGateInputLimit, c.in.size()) : kReadPerRound;
    if (!ReadInto(c, room)) {
      if (isGate && !c.in.empty() && c.in.size() % 5 != 0) {
        Say("Brána: klient sa odpojil uprostred požiadavky (%zu B zahodené)", c.in.size() % 5);
      }
      // Complete requests that came before the end still go on the line.
      if (isGate) {
        c.in.resize(c.in.size() - c.in.size() % 5);
        c.out.clear();
      }
      CloseClient(c, isGate      ? "Brána: klient sa odpojil"
                     : isMonitor ? "Monitor: klient sa odpojil"
                                 : "Konfigurácia: klient sa odpojil");
      if (!isGate) return;
    }
    if (isMonitor) c.in.clear();  // monitor clients have nothing to say
  }
  if (!c.dead && (revents & POLLOUT) && !Flush(c)) CloseClient(c, "Klient sa odpojil");
}

void BusServer::ServeReadyClients() {
  for (size_t i = 4; i < fds_.size(); ++i) {
    Client* c = owners_[i];
    if (c->dead || fds_[i].revents == 0) continue;
    ServeClient(*c, fds_[i].revents);
  }
  for (auto& c : configs_) {
    if (!c->in.empty()) ServeConfig(*c);
  }
}

void BusServer::NoticeGateEnd() {
  pollfd p{gate_->fd, POLLIN, 0};
  if (::poll(&p, 1, 0) > 0) ServeClient(*gate_, p.revents);
}

void BusServer::RetireGate() {
  if (!gate_ || !gate_->dead) return;
  // A gate client that vanished still gets its complete requests executed, without replies.
  const std::vector<uint8_t>& in = gate_->in;
  for (size_t at = 0; in.size() - at >= 5; at += 5) {
    sim::Frame request;
    std::copy_n(in.begin() + static_cast<std::ptrdiff_t>(at), 5, request.begin());
    line_.Exchange(request);
  }
  gate_.reset();
}

void BusServer::AdvanceGate() {
  RetireGate();
  if (!gate_) return;
  ServeGate(Clock::now());
  if (gate_->dead) gate_.reset();
}

void BusServer::Run() {
  bool stop = false;
  while (!stop) {
    WatchAll();
    if (Poll(NextWake()) > 0) {
      if (fds_[0].revents & POLLIN) HandleSignals(stop);
      // Ends before beginnings: a client that closes its gate connection and connects again at
      // once must find the gate free, not be turned away by its own old connection. New clients
      // are still taken before any request of this round goes on the line, so a monitor that
      // connected first sees its records.
      ServeReadyClients();
      RetireGate();
      AcceptReady();
    }
    AdvanceGate();
    for (auto& c : configs_) ReportGarbage(*c, false);
    std::erase_if(configs_, [](const auto& c) { return c->dead; });
    std::erase_if(monitors_, [](const auto& m) { return m->dead; });
  }
  Say("%s končí. %s", VersionText().c_str(), BusTimeText().c_str());
}

}  // namespace lumetra::busserver
