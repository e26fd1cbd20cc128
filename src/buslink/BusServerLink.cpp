// The bus server's start (a detached process found by name) and the connections to it or to a
// control unit.
#include "buslink/BusServerLink.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <functional>
#include <utility>

#include "buslink/TcpClient.h"
#include "model/Error.h"

namespace lumetra {

namespace {

bool IsExecutableFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// Only async-signal-safe calls: the forked children of a threaded program use it.
void WriteAll(int fd, const void* data, size_t size) {
  const auto* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = ::write(fd, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    p += n;
    size -= static_cast<size_t>(n);
  }
}

// Reads up to `size` bytes until the writers have gone; how many arrived.
size_t ReadAll(int fd, void* data, size_t size) {
  auto* p = static_cast<char*>(data);
  size_t got = 0;
  while (got < size) {
    const ssize_t n = ::read(fd, p + got, size - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  return got;
}

// Runs `path` in a grandchild of its own session, so that the server outlives the configurator,
// ignores its terminal's Ctrl+C and is reaped by the system rather than left as our zombie. The
// intermediate child is reaped here at once. Returns the server's process id, or 0 when the fork
// or the exec failed.
pid_t SpawnDetached(const std::string& path, const std::vector<char*>& argv) {
  int pidPipe[2];
  int execPipe[2];  // close-on-exec: end of stream without data means the exec succeeded
  if (::pipe2(pidPipe, O_CLOEXEC) != 0) return 0;
  if (::pipe2(execPipe, O_CLOEXEC) != 0) {
    ::close(pidPipe[0]);
    ::close(pidPipe[1]);
    return 0;
  }
  const pid_t middle = ::fork();
  if (middle == 0) {
    ::close(pidPipe[0]);
    ::close(execPipe[0]);
    ::setsid();
    const pid_t server = ::fork();
    if (server == 0) {
      // The configurator's blocked signals and ignored SIGPIPE are not the server's business.
      sigset_t none;
      ::sigemptyset(&none);
      ::sigprocmask(SIG_SETMASK, &none, nullptr);
      ::signal(SIGPIPE, SIG_DFL);
      ::execv(path.c_str(), argv.data());
      const int error = errno;
      WriteAll(execPipe[1], &error, sizeof error);
      ::_exit(127);
    }
    WriteAll(pidPipe[1], &server, sizeof server);
    ::_exit(0);
  }
  ::close(pidPipe[1]);
  ::close(execPipe[1]);
  pid_t server = -1;
  int execError = 0;
  if (middle > 0) {
    while (::waitpid(middle, nullptr, 0) < 0 && errno == EINTR) {
    }
    if (ReadAll(pidPipe[0], &server, sizeof server) != sizeof server) server = -1;
    if (ReadAll(execPipe[0], &execError, sizeof execError) != 0) server = -1;
  }
  ::close(pidPipe[0]);
  ::close(execPipe[0]);
  return server > 0 ? server : 0;
}

int OpenPidfd(pid_t pid) { return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)); }

// Whether the process behind `pidfd` has ended; a descriptor turns readable when it does.
bool Ended(int pidfd, int waitMs) {
  pollfd p{pidfd, POLLIN, 0};
  for (;;) {
    const int rc = ::poll(&p, 1, waitMs);
    if (rc < 0 && errno == EINTR) continue;
    return rc != 0;
  }
}

// Puts the client's events back however the connect ends.
class HeldEvents {
 public:
  explicit HeldEvents(TcpClient& client)
      : client_(client),
        connected_(std::exchange(client.OnConnected, nullptr)),
        disconnected_(std::exchange(client.OnDisconnected, nullptr)) {}
  ~HeldEvents() { Restore(); }
  void Restore() {
    if (restored_) return;
    restored_ = true;
    client_.OnConnected = std::move(connected_);
    client_.OnDisconnected = std::move(disconnected_);
  }

 private:
  TcpClient& client_;
  std::function<void(TcpClient&)> connected_;
  std::function<void(TcpClient&)> disconnected_;
  bool restored_ = false;
};

}  // namespace

BusServerLink::~BusServerLink() {
  for (int fd : serverPidfds_) ::close(fd);
}

std::string BusServerLink::ProgramPath() const {
  const std::filesystem::path program(program_.program);
  if (program.is_absolute()) return program_.program;
  // By its bare name from the working directory, as on the installer's laptop; a build or install
  // folder started from elsewhere still finds the server beside the configurator.
  const std::string inWorkingDir = (std::filesystem::current_path() / program).string();
  if (IsExecutableFile(inWorkingDir)) return inWorkingDir;
  return (std::filesystem::path(programFolder_) / program).string();
}

void BusServerLink::StartServer() {
  const std::string path = ProgramPath();
  // Built before the fork: the child may not allocate.
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(path.c_str()));
  for (const std::string& a : program_.arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = SpawnDetached(path, argv);
  if (pid == 0) {
    throw Error("Nepodarilo sa spustiť program " + program_.program +
                " (hľadaný v pracovnom priečinku a v priečinku konfigurátora)");
  }
  serverPid_ = pid;
  if (const int pidfd = OpenPidfd(pid); pidfd >= 0) serverPidfds_.push_back(pidfd);
}

void BusServerLink::StopStartedServers(std::chrono::milliseconds wait) {
  std::vector<int> running;
  for (int pidfd : serverPidfds_) {
    if (!Ended(pidfd, 0) && ::syscall(SYS_pidfd_send_signal, pidfd, SIGTERM, nullptr, 0) == 0) {
      running.push_back(pidfd);
    }
  }
  const auto deadline = std::chrono::steady_clock::now() + wait;
  for (int pidfd : running) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    Ended(pidfd, static_cast<int>(std::max<std::chrono::milliseconds::rep>(0, left.count())));
  }
  for (int pidfd : serverPidfds_) ::close(pidfd);
  serverPidfds_.clear();
}

void BusServerLink::StartAndConnect() {
  StartServer();
  config_.SetHost(kBusServerHost);
  config_.SetPort(static_cast<uint16_t>(program_.portBase + kConfigChannel));
  ConnectPatiently(config_, program_.patience);
}

void BusServerLink::Configure(int interfaceIndex, const std::string& serialPort,
                              const std::string& ipText, const std::string& portText) {
  if (interfaceIndex != kInterfaceUsb && interfaceIndex != kInterfaceWifi) return;
  // Built first, so that a name that does not fit starts nothing and sends nothing.
  const ConfigPacket packet = BuildConfigPacket(interfaceIndex, serialPort, ipText, portText);
  if (!config_.StillConnected()) StartAndConnect();
  try {
    config_.Write(packet.data(), packet.size());
  } catch (const ConnectionLost&) {
    // The server went away since the last packet: start it once more rather than fail the click.
    StartAndConnect();
    config_.Write(packet.data(), packet.size());
  }
}

void BusServerLink::ConnectChannel(TcpClient& client, int interfaceIndex, const std::string& ipText,
                                   const std::string& portText, uint16_t channel) const {
  const Endpoint endpoint =
      ChannelEndpoint(interfaceIndex, ipText, portText, channel, program_.portBase);
  client.SetHost(endpoint.host);
  client.SetPort(endpoint.port);
  auto connect = [&] {
    if (interfaceIndex == kInterfaceControlUnit) {
      client.Connect();
    } else {
      // A bus server that has just started opens its ports one after the other: the
      // configuration port answering does not yet mean that this one does.
      ConnectPatiently(client, program_.patience);
    }
  };
  if (channel != kGateChannel) {
    connect();
    return;
  }
  // The gate is not open until the gateway has kept the connection: one that already serves
  // another client accepts and closes at once, and nothing else would notice until the first
  // exchange failed.
  HeldEvents events(client);
  connect();
  const bool refused = client.WaitReadable(program_.refusalWait) && !client.StillConnected();
  events.Restore();
  if (refused) {
    throw Error("Brána je obsadená: brána " + endpoint.host + ":" + std::to_string(endpoint.port) +
                " už obsluhuje iného klienta (beží ešte iný konfigurátor?). Spojenie nie je "
                "otvorené.");
  }
  if (client.OnConnected) client.OnConnected(client);
}

}  // namespace lumetra
