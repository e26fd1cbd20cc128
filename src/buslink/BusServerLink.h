// Starts the companion bus server, hands it the configuration packet and connects the channels of
// the chosen interface: what "Otvoriť" and the monitor's "Štart" do before any gate request.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "buslink/ConfigPacket.h"

namespace lumetra {

class TcpClient;

// Which program is started and where it listens. Tests point it at a server on free ports.
struct BusServerProgram {
  std::string program = "LumetraDaliBusServer";
  std::vector<std::string> arguments;
  uint16_t portBase = kBusServerPortBase;
  // How long a freshly started server may take before it listens.
  std::chrono::milliseconds patience{5000};
  // How long a new gate connection is watched for the gateway hanging up on it at once, as a bus
  // server does that already serves another client.
  std::chrono::milliseconds refusalWait{200};
};

// Not thread-safe: one thread (the user interface's) makes every call. The connected and
// disconnected events of the clients it connects are raised on that thread too, from inside
// these calls.
class BusServerLink {
 public:
  // `config` is the configuration channel, borrowed for the link's life.
  explicit BusServerLink(TcpClient& config) : config_(config) {}
  ~BusServerLink();
  BusServerLink(const BusServerLink&) = delete;
  BusServerLink& operator=(const BusServerLink&) = delete;

  void SetProgram(BusServerProgram program) { program_ = std::move(program); }
  const BusServerProgram& Program() const { return program_; }
  // The configurator's own folder, where a bare program name is looked for after the working
  // directory.
  void SetProgramFolder(std::string folder) { programFolder_ = std::move(folder); }

  // The path that will be started: an absolute name as it is; a relative one from the working
  // directory when it is an executable file there, else from the program folder.
  std::string ProgramPath() const;
  // Starts the program detached from this process (nothing to reap later) and keeps its process
  // id. Throws Error with a Slovak message when it cannot be started.
  void StartServer();
  // The process id of the last server started, 0 when none.
  pid_t ServerProcessId() const { return serverPid_; }
  // Ends every server this link started that still runs and waits up to `wait` for them to go,
  // so that a gateway's serial port is free when the configurator has closed. A server that was
  // already running when "Otvoriť" was clicked was not started here and is left alone (the one
  // started on top of it gave up at once).
  void StopStartedServers(std::chrono::milliseconds wait = std::chrono::seconds(2));

  // For "USB / DALI" and "WiFi / DALI": starts the server unless the configuration channel is
  // still open, and sends the packet; a server that went away since the last packet is started
  // once more and the packet sent again. Nothing happens for a control unit. Throws Error, having
  // started and sent nothing, when an entry does not fit the packet.
  void Configure(int interfaceIndex, const std::string& serialPort, const std::string& ipText,
                 const std::string& portText);
  // Connects the gate or monitor channel of the interface: a control unit's at once, a bus
  // server's with the patience of a server that may still be opening its ports. A gate connection
  // that the gateway closes at once (it serves someone else) is reported as an Error and its
  // connected event is never raised.
  void ConnectChannel(TcpClient& client, int interfaceIndex, const std::string& ipText,
                      const std::string& portText, uint16_t channel) const;

 private:
  void StartAndConnect();

  TcpClient& config_;
  BusServerProgram program_;
  std::string programFolder_;
  pid_t serverPid_ = 0;
  // Process descriptors of the servers started here: unlike a process id, one can never name
  // another process that the system gave the same number later.
  std::vector<int> serverPidfds_;
};

}  // namespace lumetra
