// The command line of LumetraDaliBusServer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sim/FaultInjection.h"

namespace lumetra::busserver {

enum class Timing { kNone, kDali };

struct Options {
  std::string host = "127.0.0.1";
  uint16_t portBase = 50000;
  std::string lineFile;  // empty: the built-in demo installation
  uint64_t seed = 1;
  Timing timing = Timing::kNone;
  sim::FaultSettings faults;
  bool log = false;
  // A request that stays incomplete this long is dropped, so that a stray byte cannot shift every
  // later request out of step.
  int frameTimeoutMs = 1000;
  // Bytes queued for one monitor client before it counts as not reading and is disconnected.
  size_t monitorBacklog = 64 * 1024;
  bool help = false;
  bool version = false;
};

// Throws UsageError with a Slovak message for an unknown option or a value out of range.
class UsageError : public std::exception {
 public:
  explicit UsageError(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

Options ParseOptions(const std::vector<std::string>& args);
std::string HelpText();
std::string VersionText();

// Text from a file (the line's name) made safe for one line of the server's output: control
// characters, C1 controls, invalid UTF-8 and the backslash are written as escapes (\n, \x1B, \\),
// so a name can neither start a log line of its own nor steer the terminal.
std::string PrintableText(std::string_view text);

// Exit codes.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // line description unreadable, socket failure
inline constexpr int kExitUsage = 2;
inline constexpr int kExitPortTaken = 3;

}  // namespace lumetra::busserver
