// The TCP front of the bus server: the configuration, gate and monitor channels over one
// simulated line, served by a single poll() loop.
#pragma once

#include <poll.h>

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "busserver/ConfigStream.h"
#include "busserver/Options.h"
#include "model/Error.h"
#include "sim/FaultInjection.h"
#include "sim/SimulatedLine.h"

namespace lumetra::busserver {

// One of the three ports could not be bound because something else listens there.
class PortTaken : public Error {
 public:
  using Error::Error;
};

class BusServer {
 public:
  BusServer(const Options& options, const sim::LineDescription& line, std::FILE* out = stdout);
  ~BusServer();
  BusServer(const BusServer&) = delete;
  BusServer& operator=(const BusServer&) = delete;

  // Binds the three ports. Throws PortTaken, or Error for any other socket failure.
  void Listen();
  // Serves until a stop arrives through Notify.
  void Run();
  // Async-signal-safe: hands a signal number to the loop (SIGUSR1 reports the bus time, anything
  // else stops the server).
  static void Notify(int signo);

  double BusMicros() const { return line_.BusMicros(); }
  uint64_t Exchanges() const { return line_.Exchanges(); }
  std::string BusTimeText() const;

 private:
  using Clock = std::chrono::steady_clock;

  struct Client {
    int fd = -1;
    std::vector<uint8_t> in;
    std::vector<uint8_t> out;
    Clock::time_point lastInput{};
    bool dead = false;
  };
  struct Gate : Client {
    bool busy = false;  // an exchange is on the bus; its reply is due at `due`
    bool sendReply = false;
    sim::Frame reply{};
    Clock::time_point due{};
  };
  struct Config : Client {
    ConfigStream stream;
  };

  // One line of output, flushed at once: whoever started the server sees it when it happens.
  void WriteLine(const char* format, va_list args) __attribute__((format(printf, 2, 0)));
  void Log(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void Say(const char* format, ...) __attribute__((format(printf, 2, 3)));
  int Bind(uint16_t port);
  void AcceptAll(int listenFd, int channel);
  void Adopt(int fd, int channel);
  // Reads what is there; false when the peer has gone.
  bool ReadInto(Client& c);
  // Sends what the socket takes now; false when the peer has gone.
  bool Flush(Client& c);
  void CloseClient(Client& c, const char* what);
  void ServeGate(Clock::time_point now);
  void FinishExchange();
  void Broadcast(const sim::Frame& record);
  void ServeConfig(Config& c);
  void HandleSignals(bool& stop);

  // One turn of Run, step by step. WatchAll fills fds_ and owners_: the signal pipe, the three
  // listeners, then every client.
  void WatchAll();
  // When the loop must wake with nothing to read: a reply falls due or a request times out.
  std::optional<Clock::time_point> NextWake() const;
  int Poll(std::optional<Clock::time_point> wake);
  void AcceptReady();
  void ServeReadyClients();
  void ServeClient(Client& c, short revents);
  // Puts the gate's requests on the line.
  void AdvanceGate();
  // Reads the gate client's end now if it has come, without waiting for the next round.
  void NoticeGateEnd();
  // Puts the last requests of a gate client that has gone on the line and frees the gate.
  void RetireGate();

  Options options_;
  sim::SimulatedLine line_;
  sim::FaultInjector faults_;
  std::FILE* out_;
  std::string lineName_;
  int listen_[3] = {-1, -1, -1};
  std::optional<Gate> gate_;
  std::vector<std::unique_ptr<Config>> configs_;
  std::vector<std::unique_ptr<Client>> monitors_;
  // What the loop waits on, and whose entry each is (nullptr for the signal pipe and listeners).
  std::vector<pollfd> fds_;
  std::vector<Client*> owners_;
  Clock::time_point busFreeAt_{};
  uint64_t gateRequests_ = 0;
};

}  // namespace lumetra::busserver
