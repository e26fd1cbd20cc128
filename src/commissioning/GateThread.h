// The commissioning worker: runs addressing jobs on its own thread and reads devices' parameters
// into the tables, one gate request at a time.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "buslink/GearCommands.h"

namespace lumetra {

class TBalastConfig;
class TControllerConfig;
class TDaliCom;
class UiBridge;

// Job codes: high nibble the control gear action, low nibble the control device action.
inline constexpr int kJobIdle = 0;
inline constexpr int kJobCancel = 255;
inline constexpr int kActionNone = 0;          // "Nechať"
inline constexpr int kActionFind = 1;          // "Čítať aktuálne adresy"
inline constexpr int kActionAddressAdded = 2;  // "Adresovať pridané"
inline constexpr int kActionReaddressAll = 3;  // "Preadresovať všetky"

inline constexpr const char* kMessageFinished = "Adresovanie zariadení ukončené";
inline constexpr const char* kMessageFinding = "Hľadanie už pridelených adries";
inline constexpr const char* kMessageAssigning = "Prideľovanie nových adries";
inline constexpr const char* kMessageClearingGroups = "Zmazanie skupín";
inline constexpr const char* kMessageReading = "Čítanie parametrov zariadenia";

// An address the check after a job found wrong: "A 05" or "C 05".
struct AddressProblem {
  enum Kind { kSeveral, kSilent };
  char population;  // 'A' control gear, 'C' control devices
  int address;
  Kind kind;
};
// One Slovak line per problem ("Adresa A 05: odpovedá viac zariadení").
std::string ProblemText(const AddressProblem& problem);
// The problems in the few words the progress view has room for: the addresses grouped by what is
// wrong with them ("Adresy A 05, C 02: odpovedá viac zariadení; Adresa A 07: zariadenie
// neodpovedá"). Empty when there are none.
std::string ProblemSummary(const std::vector<AddressProblem>& problems);

// The progress view, as the worker sees it. Called on the user-interface thread only.
class TProgressView {
 public:
  virtual ~TProgressView() = default;
  virtual bool IsShown() const = 0;
  virtual void SetMessage(const std::string& text) = 0;
  virtual std::string GetMessage() const = 0;
  virtual void ShowCounts() = 0;
  virtual void MarkGearAddress(int a) = 0;
  virtual void MarkGearFound() = 0;
  virtual void MarkDeviceAddress(int a) = 0;
  virtual void MarkDeviceFound() = 0;
};

// The control device editor's byte counter. Called on the user-interface thread only.
class TReadProgressView {
 public:
  virtual ~TReadProgressView() = default;
  virtual bool IsShown() const = 0;
  virtual void SetReadProgress(const std::string& text) = 0;
};

// The navigation frame: told when a job ends and when the group buttons need redrawing.
class TJobOwner {
 public:
  virtual ~TJobOwner() = default;
  virtual void AddressingFinished() = 0;
  virtual void ShowGearGroups() = 0;
  virtual void ShowDeviceGroups() = 0;
};

class TGateThread {
 public:
  TGateThread() = default;
  ~TGateThread();
  TGateThread(const TGateThread&) = delete;
  TGateThread& operator=(const TGateThread&) = delete;

  void SetDaliCom(TDaliCom* daliCom) { DaliCom = daliCom; }
  void SetConfigs(TBalastConfig* balastConfig, TControllerConfig* controllerConfig);
  void SetViews(TReadProgressView* controllerFrame, TProgressView* addressFrame);
  void SetTabsFrame(TJobOwner* tabsFrame) { TabsFrame = tabsFrame; }
  void SetBridge(UiBridge* bridge) { Bridge = bridge; }
  // The pause after a yes in the gear search; benchmarks and tests count it instead of sleeping.
  void SetPause(std::function<void(std::chrono::milliseconds)> pause) { Pause = std::move(pause); }

  // Starts the thread, idle. Terminate and WaitFor end it; a running job runs to its end first.
  void Start();
  void Terminate() { Terminated = true; }
  bool Finished() const { return Done.load(); }
  bool Started() const { return Thread.joinable(); }
  void WaitFor();

  void SetJob(int job) { Job.store(job); }
  int GetJob() const { return Job.load(); }
  // Whether the worker is between jobs (a cancelled job still winding down is not).
  bool Idle() const { return Job.load() == kJobIdle; }

  // One pass of the worker's loop; the thread runs it every millisecond.
  void Pass();

  // Read one device into its table; 0, or the result of the exchange that failed.
  int ReadGearParameters(int quick, int a);
  int ReadDeviceParameters(int a);

  void FindGear();
  void AddressAddedGear();
  void ReaddressAllGear();
  void SearchGear();
  void FindDevices();
  void AddressAddedDevices();
  void ReaddressAllDevices();
  void SearchDevices();

  // What the check after the last job found wrong, one Slovak line per address.
  std::vector<std::string> Problems() const;

  int ReadCount = 0;
  int ReadTotal = 0;
  std::string Message;

 private:
  // Thrown by Send when an exchange fails: the job cannot go on.
  struct ExchangeFailed {
    int result;
  };

  void Execute();
  bool Cancelled() const { return Job.load() == kJobCancel; }
  void Send(uint8_t kind, uint8_t b1, uint8_t b2, uint8_t b3);
  void SendTwice(uint8_t kind, uint8_t b1, uint8_t b2, uint8_t b3);
  void Gear(uint8_t address, uint8_t data) { Send(3, 0, address, data); }
  void GearTwice(uint8_t address, uint8_t data) { SendTwice(3, 0, address, data); }
  void Device(uint8_t address, uint8_t opcode, uint8_t value) { Send(4, address, opcode, value); }
  uint8_t Answer() const { return Reply[3]; }
  bool AnsweredBySeveral() const { return Reply[0] == gear::kReplySeveral && Reply[3] == 3; }

  void ReadGear(int quick, int a);
  void ReadDevice(int a);
  void FinishGear();
  void FinishDevices();
  void CheckGear();
  void CheckDevices();

  // Hand-overs to the user-interface thread.
  void OnUi(const std::function<void()>& call);
  void ShowMessageText();
  void ShowReadProgress();
  void ClearReadProgress();
  std::string ProgressMessage();
  void ShowCounts();
  void MarkGearAddress(int a);
  void MarkGearFound();
  void MarkDeviceAddress(int a);
  void MarkDeviceFound();

  TJobOwner* TabsFrame = nullptr;
  TProgressView* AddressFrame = nullptr;
  TReadProgressView* ControllerFrame = nullptr;
  TDaliCom* DaliCom = nullptr;
  TBalastConfig* BalastConfig = nullptr;
  TControllerConfig* ControllerConfig = nullptr;
  UiBridge* Bridge = nullptr;
  std::function<void(std::chrono::milliseconds)> Pause;

  std::atomic<int> Job{kJobIdle};
  std::atomic<bool> Terminated{false};
  std::atomic<bool> Done{false};
  std::thread Thread;
  uint8_t Request[5] = {};
  uint8_t Reply[5] = {};
  std::vector<AddressProblem> Problems_;
};

}  // namespace lumetra
