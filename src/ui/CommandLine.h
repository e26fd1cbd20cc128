// The configurator's command line: a caption label and optionally a control unit to talk to.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace lumetra {

inline constexpr const char* kProgramCaption = "Lumetra konfigurátor";
inline constexpr const char* kDefaultControlUnitPort = "50000";

struct CommandLine {
  std::optional<std::string> label;               // argument 1
  std::optional<std::string> controlUnitAddress;  // argument 2: selects "Riadiaca jednotka"
  std::optional<std::string> controlUnitPort;     // argument 3
};

// `arguments` without the program name.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);
// "Lumetra konfigurátor", followed by " - " and the label when there is one.
std::string WindowCaption(const CommandLine& commandLine);

}  // namespace lumetra
