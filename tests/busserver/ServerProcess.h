// Starts LumetraDaliBusServer from the build folder on free loopback ports and watches its output.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace lumetra::test {

class ServerProcess {
 public:
  // Runs the server with `args`, without waiting for anything.
  ServerProcess(const std::vector<std::string>& args);
  ~ServerProcess();
  ServerProcess(const ServerProcess&) = delete;
  ServerProcess& operator=(const ServerProcess&) = delete;

  // Starts the server with `args` plus --port-base on three free ports and returns once it
  // listens; tries other ports when a parallel test took them first.
  static std::unique_ptr<ServerProcess> StartListening(std::vector<std::string> args = {});
  static std::string Executable();
  // A base port whose three ports were free a moment ago.
  static uint16_t FreeBase();

  uint16_t Base() const { return base_; }
  pid_t Pid() const { return pid_; }
  void Signal(int signo) const;
  // The exit code, or -1 when the process had not ended within `timeout` (it is then killed).
  int Wait(std::chrono::milliseconds timeout = std::chrono::seconds(10));
  // True once `text` has appeared on standard output; false after `timeout` or when the process
  // ended without printing it.
  bool WaitForOutput(const std::string& text,
                     std::chrono::milliseconds timeout = std::chrono::seconds(5));
  // Everything printed so far; reads the pipes until they are empty, so that a server that
  // prints a lot is never held up by a full pipe between two calls.
  std::string Output();
  std::string Errors();

 private:
  void Drain(int timeoutMs);
  void DrainAll();

  pid_t pid_ = -1;
  int out_ = -1;
  int err_ = -1;
  uint16_t base_ = 0;
  int exitCode_ = -1;
  bool ended_ = false;
  std::string output_;
  std::string errors_;
};

}  // namespace lumetra::test
