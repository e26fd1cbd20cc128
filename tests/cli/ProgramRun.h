// Runs a program of the build (or an installed one) as a child process and collects what it
// printed and how it ended, for the tests of lumetra-cli and of the installation.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace lumetra::test {

struct ProgramResult {
  int exitCode = -1;  // -1: killed by a signal or after the time-out
  std::string out;
  std::string err;
};

struct ProgramRun {
  std::string program;
  std::vector<std::string> arguments;
  // NAME=VALUE set for the child; a bare NAME removes it.
  std::vector<std::string> environment;
  std::string folder;  // working directory; empty: the test's
  std::chrono::milliseconds timeout{60000};
  // Sent once after this long (SIGTERM), for a program that runs until it is told to stop.
  std::chrono::milliseconds terminateAfter{0};
  // And not before the program has its own handler of SIGTERM in place (it is ready then).
  bool terminateWhenHandled = false;
};

// Whether process `pid` catches `signo` (its SigCgt mask in /proc).
inline bool CatchesSignal(pid_t pid, int signo) {
  std::FILE* f = std::fopen(("/proc/" + std::to_string(pid) + "/status").c_str(), "r");
  if (!f) return false;
  char line[256];
  unsigned long long mask = 0;
  while (std::fgets(line, sizeof line, f)) {
    if (std::sscanf(line, "SigCgt: %llx", &mask) == 1) break;
  }
  std::fclose(f);
  return (mask >> (signo - 1)) & 1;
}

inline ProgramResult RunProgram(const ProgramRun& run) {
  int out[2], err[2];
  if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) return {};
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(run.program.c_str()));
  for (const std::string& a : run.arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  // The child's environment is built before the fork: a child of a threaded process may only
  // make async-signal-safe calls until it executes the program.
  std::vector<std::string> environment;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    const std::string name = entry.substr(0, entry.find('='));
    bool replaced = false;
    for (const std::string& change : run.environment) {
      replaced = replaced || change.substr(0, change.find('=')) == name;
    }
    if (!replaced) environment.push_back(entry);
  }
  for (const std::string& change : run.environment) {
    if (change.find('=') != std::string::npos) environment.push_back(change);
  }
  std::vector<char*> envp;
  for (std::string& e : environment) envp.push_back(e.data());
  envp.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(out[1], STDOUT_FILENO);
    ::dup2(err[1], STDERR_FILENO);
    if (!run.folder.empty() && ::chdir(run.folder.c_str()) != 0) ::_exit(127);
    ::execve(run.program.c_str(), argv.data(), envp.data());
    ::_exit(127);
  }
  ::close(out[1]);
  ::close(err[1]);
  ProgramResult result;
  const auto start = std::chrono::steady_clock::now();
  bool terminated = false;
  pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
  int open = 2;
  while (open > 0) {
    const auto elapsed = std::chrono::steady_clock::now() - start;
    if (run.terminateAfter.count() > 0 && !terminated && elapsed >= run.terminateAfter &&
        (!run.terminateWhenHandled || CatchesSignal(pid, SIGTERM))) {
      ::kill(pid, SIGTERM);
      terminated = true;
    }
    if (elapsed >= run.timeout) {
      ::kill(pid, SIGKILL);
      break;
    }
    if (::poll(fds, 2, 20) <= 0) continue;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buffer[4096];
      const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        (i == 0 ? result.out : result.err).append(buffer, static_cast<size_t>(n));
      } else {
        ::close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      }
    }
  }
  for (pollfd& f : fds) {
    if (f.fd >= 0) ::close(f.fd);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

// The build's lumetra-cli with `arguments`.
inline ProgramResult RunCli(std::vector<std::string> arguments, std::string folder = {}) {
  ProgramRun run;
  run.program = LUMETRA_BUILD_DIR "/lumetra-cli";
  run.arguments = std::move(arguments);
  run.folder = std::move(folder);
  return RunProgram(run);
}

// The lines of a text.
inline std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

// Runs of blanks as one blank, none at the ends: pdftotext places the columns by their own
// measure.
inline std::string Collapsed(const std::string& line) {
  std::string out;
  for (const char c : line) {
    if (c == ' ' || c == '\t' || c == '\f') {
      if (!out.empty() && out.back() != ' ') out += ' ';
    } else {
      out += c;
    }
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

}  // namespace lumetra::test
