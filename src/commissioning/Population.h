// What the addressing jobs of control gear and of control devices do differently: the requests of
// each step, and the few rules in which their random-address searches really differ. The jobs
// themselves are written once, over this description.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

#include "buslink/BusSession.h"

namespace lumetra {

struct SearchRules {
  // Devices: before each pass the search address goes to 0xFFFFFF and up to this many COMPAREs ask
  // whether anyone without a short address is left; 0: no such probe (gear).
  int anyoneLeftBurst = 0;
  // Devices always COMPARE at the final address of the bisection and let that answer decide; gear
  // skip it once a yes is known and decide on the last yes of the bisection.
  bool compareAtFinalAddress = false;
  // The pause after a yes (gear need time to answer the next COMPARE cleanly).
  std::chrono::milliseconds pauseAfterYes{0};
  // How many passes a search may take at most (0: no limit) ...
  int maxPasses = 0;
  // ... and after how many programmed addresses it ends (0: no limit).
  int maxProgrammed = 0;
};

class Population {
 public:
  virtual ~Population() = default;

  // 'A' control gear, 'C' control devices.
  virtual char Name() const = 0;
  virtual const SearchRules& Rules() const = 0;

  virtual void InitialiseUnaddressed(BusSession& s) const = 0;
  virtual void InitialiseAll(BusSession& s) const = 0;
  virtual void DeleteAddresses(BusSession& s) const = 0;
  // Every device leaves every group; `cancelled` may cut it short.
  virtual void ClearGroups(BusSession& s, const std::function<bool()>& cancelled) const = 0;
  // Sent once before the addresses are probed one by one.
  virtual void BeforeProbing(BusSession&) const {}
  // Asks whoever has short address `a` to answer yes.
  virtual void Probe(BusSession& s, int a) const = 0;

  // The commands of the search, sent to every device in initialisation.
  virtual void Terminate(BusSession& s) const = 0;
  virtual void Randomise(BusSession& s) const = 0;
  // Byte k (0 low, 1 middle, 2 high) of the search address.
  virtual void SearchAddress(BusSession& s, int k, uint8_t byte) const = 0;
  virtual void Compare(BusSession& s) const = 0;
  virtual void Withdraw(BusSession& s) const = 0;
  // Gives the selected device short address `n` and asks it back; true when it confirmed `n`.
  virtual bool ProgramShortAddress(BusSession& s, int n) const = 0;
};

const Population& GearPopulation();
const Population& DevicePopulation();

}  // namespace lumetra
