// lumetra-cli: the commands of the command-line tool over the core, each a function of its
// arguments (without the command words) that returns the exit status.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace lumetra::cli {

inline constexpr const char* kToolName = "lumetra-cli";

// Exit statuses of every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitProblem = 1;  // a problem found: an invalid document, a failed job, …
inline constexpr int kExitUsage = 2;    // the command line itself is wrong

// A wrong command line; the message is Slovak and names the command whose help explains it.
class UsageError : public std::runtime_error {
 public:
  UsageError(const std::string& command, const std::string& message)
      : std::runtime_error(message), command(command) {}
  std::string command;  // "commission", "document show", … (empty: the tool itself)
};

// The arguments of one command, taken option by option; what is left at the end is the command's
// operands. An option's value is the next argument or follows '=' ("--pdf out.pdf",
// "--pdf=out.pdf").
class TArguments {
 public:
  TArguments(std::string command, std::vector<std::string> arguments)
      : command_(std::move(command)), arguments_(std::move(arguments)) {}

  const std::string& Command() const { return command_; }
  // Takes every occurrence of the flag; true when there was one.
  bool Flag(const std::string& name);
  // Takes the option and its value; a second occurrence is a usage error.
  std::optional<std::string> Value(const std::string& name);
  // The operands left, which must be between `min` and `max`; anything left that looks like an
  // option is an unknown option. `names` describes the operands in the message ("SÚBOR.dcf").
  std::vector<std::string> Operands(size_t min, size_t max, const std::string& names);
  [[noreturn]] void Fail(const std::string& message) const { throw UsageError(command_, message); }

 private:
  std::string command_;
  std::vector<std::string> arguments_;
};

// A list of numbers "0,5,7-9" each within 0..max; throws UsageError naming `option`.
std::vector<int> NumberList(const TArguments& args, const std::string& option,
                            const std::string& text, int max);

// The help of a command ("" for the tool's overview); empty when there is no such command.
std::string HelpText(const std::string& command);

int Commission(TArguments& args);
int DocumentShow(TArguments& args);
int DocumentCheck(TArguments& args);
int DocumentDiff(TArguments& args);
int Report(TArguments& args, const std::string& toolPath);
int TraceDecode(TArguments& args);
int TraceStats(TArguments& args);

// The folder of the running executable.
std::string ExecutableFolder();

// Text as a JSON string literal, quotes included.
std::string JsonString(const std::string& text);

// "A 05", "C 12".
std::string AddressName(char population, int address);

}  // namespace lumetra::cli
