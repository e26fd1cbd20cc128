// lumetra-cli: the command-line tool over the core. Picks the command, answers --help and
// --version, and turns a usage error into exit status 2 with a pointer to the command's help.
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "model/Error.h"
#include "ui/VersionInfo.h"

using namespace lumetra;
using namespace lumetra::cli;

namespace {

int Run(std::vector<std::string> args) {
  if (args.empty()) throw UsageError("", "chýba príkaz");
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    std::cout << HelpText(args.size() > 1 && args[0] == "help" ? args[1] : "");
    return kExitOk;
  }
  if (args[0] == "--version") {
    std::cout << VersionText();
    return kExitOk;
  }
  // "document show", "trace stats": a command group takes its second word.
  std::string command = args[0];
  size_t words = 1;
  if (command == "document" || command == "trace") {
    if (args.size() < 2 || args[1] == "--help" || args[1] == "-h") {
      if (args.size() >= 2) {
        std::cout << HelpText(command);
        return kExitOk;
      }
      throw UsageError(command, "chýba príkaz (" +
                                    std::string(command == "document" ? "show, check, diff"
                                                                      : "decode, stats") +
                                    ")");
    }
    command += " " + args[1];
    words = 2;
  }
  if (HelpText(command).empty()) throw UsageError("", "neznámy príkaz " + command);
  TArguments arguments(command, std::vector<std::string>(args.begin() + long(words), args.end()));
  if (arguments.Flag("--help") || arguments.Flag("-h")) {
    std::cout << HelpText(command);
    return kExitOk;
  }
  if (command == "commission") return Commission(arguments);
  if (command == "document show") return DocumentShow(arguments);
  if (command == "document check") return DocumentCheck(arguments);
  if (command == "document diff") return DocumentDiff(arguments);
  if (command == "report") return Report(arguments, ExecutableFolder());
  if (command == "trace decode") return TraceDecode(arguments);
  return TraceStats(arguments);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const UsageError& e) {
    std::cerr << kToolName << ": " << e.what() << "\n"
              << "Pomoc: " << kToolName << (e.command.empty() ? "" : " " + e.command)
              << " --help\n";
    return kExitUsage;
  } catch (const std::exception& e) {
    std::cerr << kToolName << ": " << e.what() << "\n";
    return kExitProblem;
  }
}
