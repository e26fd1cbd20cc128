// LumetraDaliBusServer: the configurator's bus server, with a simulated DALI line as its back-end.
#include <signal.h>

#include <cstdio>
#include <string>
#include <vector>

#include "busserver/BusServer.h"
#include "busserver/Options.h"
#include "sim/LineDescription.h"
#include "ui/VersionInfo.h"

using namespace lumetra;
using namespace lumetra::busserver;

int main(int argc, char** argv) {
  Options options;
  try {
    options = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const UsageError& e) {
    std::fprintf(stderr, "LumetraDaliBusServer: %s\n", e.what());
    return kExitUsage;
  }
  if (options.help) {
    std::fputs(HelpText().c_str(), stdout);
    return kExitOk;
  }
  if (options.version) {
    // The product's version, as the configurator's about box shows it.
    std::fputs(lumetra::VersionText().c_str(), stdout);
    return kExitOk;
  }

  try {
    sim::LineDescription line =
        options.lineFile.empty() ? sim::DemoLine() : sim::LoadLineDescription(options.lineFile);
    // The name is only ever printed, in the start line.
    line.name = PrintableText(line.name);
    BusServer server(options, line);

    struct sigaction action {};
    action.sa_handler = &BusServer::Notify;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGUSR1, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);

    server.Listen();
    server.Run();
    return kExitOk;
  } catch (const PortTaken& e) {
    std::fprintf(stderr, "LumetraDaliBusServer: %s\n", e.what());
    return kExitPortTaken;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "LumetraDaliBusServer: %s\n", e.what());
    return kExitFailure;
  }
}
