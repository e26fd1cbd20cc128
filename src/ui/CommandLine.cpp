// Command-line reading of the configurator.
#include "ui/CommandLine.h"

namespace lumetra {

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine result;
  if (arguments.size() > 0) result.label = arguments[0];
  if (arguments.size() > 1) result.controlUnitAddress = arguments[1];
  if (arguments.size() > 2) result.controlUnitPort = arguments[2];
  return result;
}

std::string WindowCaption(const CommandLine& commandLine) {
  std::string caption = kProgramCaption;
  if (commandLine.label) caption += " - " + *commandLine.label;
  return caption;
}

}  // namespace lumetra
