// lumetra-cli commission: the window's commissioning jobs from the command line. The bus server is
// started and configured as "Otvoriť" does it (BusServerLink), or a control unit is talked to; the
// worker (TGateThread) runs the job on this thread, its progress goes to standard error, the
// result and the check after the job to standard output, and the tables are saved as a document.
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <iostream>
#include <string>

#include "buslink/BusServerLink.h"
#include "buslink/ConfigPacket.h"
#include "buslink/DaliCom.h"
#include "buslink/TcpClient.h"
#include "cli/Cli.h"
#include "commissioning/GateThread.h"
#include "documents/ConfigDocument.h"
#include "documents/DocumentXml.h"
#include "model/BalastConfig.h"
#include "model/ControllerConfig.h"
#include "model/Error.h"

namespace lumetra::cli {

namespace {

// The worker of the job, for the signal handler: Ctrl+C cancels the job as "Zrušiť" does, and the
// tables found so far are still saved.
std::atomic<TGateThread*> runningWorker{nullptr};
volatile sig_atomic_t cancelled = 0;

void OnInterrupt(int) {
  cancelled = 1;
  if (TGateThread* worker = runningWorker.load()) worker->SetJob(kJobCancel);
}

int Action(TArguments& args, const std::string& option) {
  const std::optional<std::string> value = args.Value(option);
  if (!value) args.Fail("chýba voľba " + option + " find|add|readdress|none");
  if (*value == "none") return kActionNone;
  if (*value == "find") return kActionFind;
  if (*value == "add") return kActionAddressAdded;
  if (*value == "readdress") return kActionReaddressAll;
  args.Fail("voľba " + option + ": \"" + *value + "\" nie je find, add, readdress ani none");
}

// The progress view of the window, on standard error. Each new step of the job ("Hľadanie už
// pridelených adries", "Prideľovanie nových adries") is a line of its own. On a terminal one more
// line is redrawn in place: a bar over the 64 addresses, the address at work, how many were found
// and the reading's byte counter. Otherwise each device found is a plain line, so that a log stays
// readable; the counters are left out there.
class TTerminalProgress : public TProgressView {
 public:
  explicit TTerminalProgress(bool terminal) : terminal_(terminal) {}
  ~TTerminalProgress() override { EndBar(); }

  bool IsShown() const override { return true; }
  void SetMessage(const std::string& text) override {
    message_ = text;
    // The reading of a device is part of the step it belongs to; its counter goes to the bar.
    if (text.rfind(kMessageReading, 0) == 0) {
      if (terminal_ && barShown_) DrawBar();
      return;
    }
    if (text == printed_) return;
    printed_ = text;
    EndBar();
    std::cerr << text << "\n" << std::flush;
  }
  std::string GetMessage() const override { return message_; }
  void ShowCounts() override {}
  void MarkGearAddress(int a) override { Mark('A', a); }
  void MarkGearFound() override { Found('A'); }
  void MarkDeviceAddress(int a) override { Mark('C', a); }
  void MarkDeviceFound() override { Found('C'); }

 private:
  void Mark(char population, int a) {
    if (population != population_) {
      population_ = population;
      found_ = 0;
    }
    address_ = a;
    if (terminal_ && a < 64) DrawBar();
  }
  void Found(char population) {
    ++found_;
    if (terminal_) {
      DrawBar();
    } else if (address_ < 64) {
      std::cerr << (population == 'A' ? "  svietidlo " : "  ovládač ")
                << AddressName(population, address_) << "\n"
                << std::flush;
    }
  }
  void DrawBar() {
    constexpr int kWidth = 32;
    const int filled = (std::min(address_, 63) + 1) * kWidth / 64;
    std::string bar(static_cast<size_t>(filled), '#');
    bar.append(static_cast<size_t>(kWidth - filled), '.');
    std::string counter;
    if (message_.rfind(kMessageReading, 0) == 0) counter = "  " + message_;
    std::cerr << "\r" << (population_ == 'A' ? "Svietidlá " : "Ovládače  ") << "[" << bar << "] "
              << AddressName(population_, std::min(address_, 63)) << "  nájdené: " << found_
              << counter << "\033[K" << std::flush;
    barShown_ = true;
  }
  void EndBar() {
    if (!barShown_) return;
    std::cerr << "\r\033[K";
    barShown_ = false;
  }

  bool terminal_;
  bool barShown_ = false;
  std::string message_;
  std::string printed_;
  char population_ = 0;
  int address_ = 64;
  int found_ = 0;
};

std::string AddressList(const TConfig& table, char population) {
  std::string list;
  for (int a = 0; a < 64; ++a) {
    if (table.IsSlotFree(static_cast<uint32_t>(a))) continue;
    list += (list.empty() ? "" : ", ") + AddressName(population, a);
  }
  return list;
}

}  // namespace

int Commission(TArguments& args) {
  const int gearAction = Action(args, "--gear");
  const int deviceAction = Action(args, "--devices");
  const std::optional<std::string> server = args.Value("--server");
  const std::optional<std::string> unit = args.Value("--unit");
  const std::optional<std::string> portBase = args.Value("--port-base");
  const std::optional<std::string> timing = args.Value("--timing");
  std::optional<std::string> output = args.Value("-o");
  if (const std::optional<std::string> longOutput = args.Value("--output")) {
    if (output) args.Fail("voľby -o a --output sa vylučujú");
    output = longOutput;
  }
  args.Operands(0, 0, "");
  if (server && unit) args.Fail("voľby --server a --unit sa vylučujú");
  if (unit && (portBase || timing)) {
    args.Fail("voľby --port-base a --timing platia len pre zbernicový server, nie pre --unit");
  }
  if (timing && *timing != "none" && *timing != "dali") {
    args.Fail("voľba --timing: \"" + *timing + "\" nie je none ani dali");
  }
  if (gearAction == kActionNone && deviceAction == kActionNone) {
    args.Fail("nie je čo vykonať: --gear aj --devices sú none");
  }

  BusServerProgram program;
  if (server) program.program = *server;
  if (portBase) {
    int64_t base = 0;
    if (ParseDecimal(*portBase, base) != DecimalText::kNumber || base < 1 || base > 65533) {
      args.Fail("voľba --port-base: \"" + *portBase + "\" nie je port 1 až 65533");
    }
    program.portBase = static_cast<uint16_t>(base);
    program.arguments = {"--port-base", *portBase};
  }
  if (timing) program.arguments.insert(program.arguments.end(), {"--timing", *timing});

  int interfaceIndex = kInterfaceUsb;
  std::string host, port = "50000";
  if (unit) {
    interfaceIndex = kInterfaceControlUnit;
    const size_t colon = unit->rfind(':');
    host = unit->substr(0, colon);
    if (colon != std::string::npos) port = unit->substr(colon + 1);
    int64_t value = 0;
    if (host.empty() || ParseDecimal(port, value) != DecimalText::kNumber || value < 1 ||
        value > 65533) {
      args.Fail("voľba --unit: \"" + *unit + "\" nie je ADRESA alebo ADRESA:PORT");
    }
  }
  const std::string documentPath = DocumentFileName(output.value_or("installation.dcf"));

  ::signal(SIGPIPE, SIG_IGN);
  TcpClient config, gate;
  BusServerLink link(config);
  link.SetProgramFolder(ExecutableFolder());
  link.SetProgram(program);
  TDaliCom com;
  com.CreateLock();
  TBalastConfig gear;
  TControllerConfig devices;
  // Every device at its default place on the floor plan, as in a freshly started window.
  gear.ResetPositions();
  devices.ResetPositions();
  TTerminalProgress progress(::isatty(STDERR_FILENO) == 1);
  TGateThread worker;
  int status = kExitOk;
  try {
    // "Otvoriť": the server is started and configured unless one already answers there.
    // A server started here writes its own lines to standard error: standard output is the
    // result's.
    const int savedOut = ::dup(STDOUT_FILENO);
    ::dup2(STDERR_FILENO, STDOUT_FILENO);
    struct Restore {
      int fd;
      ~Restore() {
        ::dup2(fd, STDOUT_FILENO);
        ::close(fd);
      }
    };
    {
      Restore restore{savedOut};
      link.Configure(interfaceIndex, "COM1", host, port);
    }
    link.ConnectChannel(gate, interfaceIndex, host, port, kGateChannel);
    com.SetStrictReplies(!unit);
    com.SetClient(&gate);
    std::cerr << "Spojenie s DALI otvorené\n" << std::flush;

    worker.SetDaliCom(&com);
    worker.SetConfigs(&gear, &devices);
    worker.SetViews(nullptr, &progress);
    worker.SetJob(gearAction << 4 | deviceAction);
    runningWorker = &worker;
    struct sigaction action {};
    action.sa_handler = &OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    worker.Pass();
    runningWorker = nullptr;
    signal(SIGINT, SIG_DFL);
    signal(SIGTERM, SIG_DFL);
  } catch (const Error& e) {
    runningWorker = nullptr;
    com.SetClient(nullptr);
    link.StopStartedServers();
    std::cerr << kToolName << ": " << e.what() << "\n";
    return kExitProblem;
  }
  com.SetClient(nullptr);
  gate.Disconnect();
  config.Disconnect();
  link.StopStartedServers();

  // The result, as the progress view ends it, and the check after the job.
  if (!worker.FailureMessage().empty()) {
    std::cout << worker.FailureMessage() << "\n";
    status = kExitProblem;
  } else if (cancelled) {
    std::cout << "Adresovanie zrušené\n";
    status = kExitProblem;
  } else {
    std::cout << kMessageFinished << "\n";
  }
  if (gearAction != kActionNone) {
    std::cout << "Svietidlá: " << int(gear.UsedSlotCount()) << " (" << AddressList(gear, 'A')
              << ")\n";
  }
  if (deviceAction != kActionNone) {
    std::cout << "Ovládače: " << int(devices.UsedSlotCount()) << " (" << AddressList(devices, 'C')
              << ")\n";
  }
  const std::vector<std::string> problems = worker.Problems();
  if (problems.empty()) {
    std::cout << "Kontrola po adresovaní: bez chýb\n";
  } else {
    std::cout << "Kontrola po adresovaní:\n";
    for (const std::string& p : problems) std::cout << "  " << p << "\n";
    status = kExitProblem;
  }

  // Saved with the selection a freshly opened document has.
  for (TConfig* table : {static_cast<TConfig*>(&gear), static_cast<TConfig*>(&devices)}) {
    table->SetCurrentGroup(TConfig::kAllDevices);
    table->SetCurrentSlot(table->FirstUsedSlot());
  }
  try {
    SaveDocument(documentPath, gear, devices);
    std::cout << "Konfigurácia uložená do súboru \"" << documentPath << "\"\n";
  } catch (const Error& e) {
    std::cerr << kToolName << ": " << e.what() << "\n";
    status = kExitProblem;
  }
  return status;
}

}  // namespace lumetra::cli
