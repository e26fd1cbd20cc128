// Child process handling for the bus server tests.
#include "ServerProcess.h"

#include "../support/FreePorts.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace lumetra::test {

namespace {

constexpr int kPortTaken = 3;

}  // namespace

std::string ServerProcess::Executable() {
  const char* dir = std::getenv("LUMETRA_BUILD_DIR");
  return std::string(dir ? dir : LUMETRA_DEFAULT_BUILD_DIR) + "/LumetraDaliBusServer";
}

uint16_t ServerProcess::FreeBase() { return FreeLoopbackPorts(3); }

ServerProcess::ServerProcess(const std::vector<std::string>& args) {
  for (size_t i = 0; i + 1 < args.size(); ++i) {
    if (args[i] == "--port-base") base_ = static_cast<uint16_t>(std::stoi(args[i + 1]));
  }
  int outPipe[2];
  int errPipe[2];
  if (::pipe2(outPipe, O_CLOEXEC) != 0 || ::pipe2(errPipe, O_CLOEXEC) != 0) {
    throw std::runtime_error("pipe");
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
  posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
  const std::string exe = Executable();
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(exe.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const int rc = posix_spawn(&pid_, exe.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(outPipe[1]);
  ::close(errPipe[1]);
  out_ = outPipe[0];
  err_ = errPipe[0];
  if (rc != 0) throw std::runtime_error("cannot start " + exe);
}

ServerProcess::~ServerProcess() {
  if (!ended_) {
    Signal(SIGKILL);
    Wait(std::chrono::seconds(5));
  }
  ::close(out_);
  ::close(err_);
}

std::unique_ptr<ServerProcess> ServerProcess::StartListening(std::vector<std::string> args) {
  for (int attempt = 0; attempt < 10; ++attempt) {
    std::vector<std::string> all = args;
    all.push_back("--port-base");
    all.push_back(std::to_string(FreeBase()));
    auto server = std::make_unique<ServerProcess>(all);
    if (server->WaitForOutput("počúva na")) return server;
    if (server->Wait() != kPortTaken) {
      throw std::runtime_error("server did not start: " + server->Errors());
    }
  }
  throw std::runtime_error("server found no free ports");
}

void ServerProcess::Signal(int signo) const {
  if (!ended_) ::kill(pid_, signo);
}

void ServerProcess::Drain(int timeoutMs) {
  pollfd fds[2] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}};
  if (::poll(fds, 2, timeoutMs) <= 0) return;
  char buffer[4096];
  if (fds[0].revents) {
    const ssize_t n = ::read(out_, buffer, sizeof buffer);
    if (n > 0) output_.append(buffer, static_cast<size_t>(n));
  }
  if (fds[1].revents) {
    const ssize_t n = ::read(err_, buffer, sizeof buffer);
    if (n > 0) errors_.append(buffer, static_cast<size_t>(n));
  }
}

int ServerProcess::Wait(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!ended_) {
    int status = 0;
    const pid_t r = ::waitpid(pid_, &status, WNOHANG);
    if (r == pid_) {
      ended_ = true;
      exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      break;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, &status, 0);
      ended_ = true;
      return -1;
    }
    Drain(5);
  }
  DrainAll();
  return exitCode_;
}

bool ServerProcess::WaitForOutput(const std::string& text, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (output_.find(text) == std::string::npos) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    int status = 0;
    if (!ended_ && ::waitpid(pid_, &status, WNOHANG) == pid_) {
      ended_ = true;
      exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    if (ended_) {
      Drain(0);
      return output_.find(text) != std::string::npos;
    }
    Drain(5);
  }
  return true;
}

void ServerProcess::DrainAll() {
  // Bounded, so that a server printing without pause cannot keep the caller here.
  for (int i = 0; i < 256; ++i) {
    const size_t before = output_.size() + errors_.size();
    Drain(0);
    if (output_.size() + errors_.size() == before) return;
  }
}

std::string ServerProcess::Output() {
  DrainAll();
  return output_;
}

std::string ServerProcess::Errors() {
  DrainAll();
  return errors_;
}

}  // namespace lumetra::test
