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
    // Garbage not reported yet: a client that sends nothing else gets one line a second, not one
    // a round, which would flood the output (and stall the loop on a pipe nobody empties fast).
    size_t garbage = 0;
    Clock::time_point garbageReportDue{};
  };

  // One line of output, flushed at once: whoever started the server sees it when it happens.
  void WriteLine(const char* format, va_list args) __attribute__((format(printf, 2, 0)));
  void Log(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void Say(const char* format, ...) __attribute__((format(printf, 2, 3)));
  int Bind(uint16_t port);
  void AcceptAll(int listenFd, int channel);
  void Adopt(int fd, int channel);
  // Takes in at most `room` bytes with one recv, so that a client that writes without pause gets
  // one turn per round like everybody else; false when the peer has gone.
  bool ReadInto(Client& c, size_t room);
  // Sends what the socket takes now; false when the peer has gone.
  bool Flush(Client& c);
  void CloseClient(Client& c, const char* what);
  void ServeGate(Clock::time_point now);
  void FinishExchange();
  void Broadcast(const sim::Frame& record);
  void ServeConfig(Config& c);
  // Reports garbage held back once it is due or its client has gone.
  void ReportGarbage(Config& c, bool now);
  void HandleSignals(bool& stop);

  // One turn of Run, step by step. WatchAll fills fds_ and owners_: the signal pipe, the three
  // listeners (left out while accepting is paused), then every client.
  void WatchAll();
  // When the loop must wake with nothing to read: a reply falls due, a request times out or
  // accepting resumes.
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
  // Out of descriptors, a pending connection keeps its listener readable: the listeners rest
  // until then instead of waking the loop at once, and the shortage is reported once.
  Clock::time_point acceptPausedUntil_{};
  bool acceptPaused_ = false;
  bool acceptShortageSaid_ = false;
  uint64_t gateRequests_ = 0;
};

}  // namespace lumetra::busserver
