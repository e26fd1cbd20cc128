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

#include "buslink/BusSession.h"
#include "model/WorkerThread.h"

namespace lumetra {

class Population;
class TBalastConfig;
class TConfig;
class TControllerConfig;
class TDaliCom;
class UiBridge;

// Job codes: high nibble the control gear action, low nibble the control device action.
inline constexpr int kJobIdle = 0;
inline constexpr int kJobCancel = 255;
// An editor's sequence handed over with StartTask.
inline constexpr int kJobTask = 0x100;
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

// A long sequence of an editor (a device read, a memory write) run on the worker, so that the
// window goes on painting. `sequence` runs on the worker with the worker's session; `progress` is
// told on the user-interface thread after every exchange that went through, `done` gets the result
// there at the end, when the worker is idle again. Either may be empty.
struct WorkerTask {
  std::function<SequenceResult(BusSession&)> sequence;
  std::function<void(int exchanges)> progress;
  std::function<void(const SequenceResult&)> done;
};

// Threads: the worker runs jobs (Pass) on its own thread with its own bus session; SetJob, GetJob,
// Idle and Terminate may be called from any thread (atomics). ReadGearParameters and
// ReadDeviceParameters are for the user-interface thread and use a second session, so they share no
// buffer with a job; the tables themselves are shared without a lock, which is why the navigation
// disables the device pages while a job runs. Hand-overs to the views go through the UiBridge.
class TGateThread {
 public:
  TGateThread() = default;
  ~TGateThread();
  TGateThread(const TGateThread&) = delete;
  TGateThread& operator=(const TGateThread&) = delete;

  void SetDaliCom(TDaliCom* daliCom);
  void SetConfigs(TBalastConfig* balastConfig, TControllerConfig* controllerConfig);
  void SetViews(TReadProgressView* controllerFrame, TProgressView* addressFrame);
  void SetTabsFrame(TJobOwner* tabsFrame) { TabsFrame = tabsFrame; }
  void SetBridge(UiBridge* bridge) { Bridge = bridge; }
  // The pause after a yes in the gear search; benchmarks and tests count it instead of sleeping.
  void SetPause(std::function<void(std::chrono::milliseconds)> pause) { Pause = std::move(pause); }

  // Starts the thread, idle. Terminate and WaitFor end it; a running job runs to its end first.
  void Start();
  void Terminate() { Worker.RequestStop(); }
  bool Finished() const { return Worker.Finished(); }
  bool Started() const { return Worker.Started(); }
  void WaitFor() { Worker.Join(); }

  void SetJob(int job) { Job.store(job); }
  int GetJob() const { return Job.load(); }
  // Whether the worker is between jobs (a cancelled job still winding down is not).
  bool Idle() const { return Job.load() == kJobIdle; }

  // One pass of the worker's loop; the thread runs it every millisecond.
  void Pass();

  // Hands `task` to the worker; false, and nothing runs, when a job or another task is under way.
  // SetJob(kJobCancel) stops it before its next exchange (kSequenceCancelled). For the
  // user-interface thread.
  bool StartTask(WorkerTask task);
  // Cancels the task under way, if one is; a job or an idle worker is left alone.
  bool CancelTask() {
    int task = kJobTask;
    return Job.compare_exchange_strong(task, kJobCancel);
  }
  // From StartTask until the worker has handed the result over.
  bool TaskRunning() const { return taskRunning_.load(); }

  // Read one device into its table on the calling (user-interface) thread; 0, or the result of the
  // exchange that failed.
  int ReadGearParameters(int quick, int a);
  int ReadDeviceParameters(int a);
  // The same device read as a sequence for StartTask; its byte counter goes to the read progress
  // view.
  std::function<SequenceResult(BusSession&)> DeviceReading(int a);

  // The jobs by population (each a call of the one implementation below).
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
  // The message of the last job when a failed exchange stopped it, else empty. Written by the
  // worker before it hands over JobFinished: read it there, not while a job runs.
  const std::string& FailureMessage() const { return failure_; }

  std::string Message;

 private:
  void Execute();
  void RunTask();
  bool Cancelled() const { return Job.load() == kJobCancel; }

  // One population's part of a job; a failed exchange winds it up before it goes on up.
  void RunPart(const Population& p, int action);
  void WindUp(const Population& p, int action, int result);
  // The jobs, written once for both populations.
  void Find(const Population& p);
  void AddressAdded(const Population& p);
  void ReaddressAll(const Population& p);
  void Search(const Population& p);
  void Finish(const Population& p);
  void Check(const Population& p);
  // Whether anyone without a short address still answers a COMPARE at 0xFFFFFF.
  bool AnyoneLeft(const Population& p);
  enum class PassOutcome { kNobody, kFound, kClash };
  // One bisection over the random addresses; leaves the device with the lowest one selected.
  PassOutcome Bisect(const Population& p);
  // Programs the lowest free address into the selected device and reads it; false when it did not
  // confirm the address.
  bool ProgramLowest(const Population& p);
  bool Positive() const { return Session.Answer() == kYes || Session.AnsweredBySeveral(); }
  TConfig& Table(const Population& p) const;
  // Reads a device found or programmed by a job, with the reading's message meanwhile.
  void Read(const Population& p, int a);
  void ReadGear(BusSession& session, int quick, int a);
  void WhileReading(const std::function<void()>& read);
  void ReadDevice(BusSession& session, int a);

  // Hand-overs to the user-interface thread.
  void OnUi(const std::function<void()>& call);
  void ShowMessageText();
  void ShowMessage(const std::string& text);
  void ShowReadProgress(int count, int total);
  void ClearReadProgress();
  std::string ProgressMessage();
  void ShowCounts();
  void MarkAddress(const Population& p, int a);
  void MarkFound(const Population& p);
  void ShowGroups(const Population& p);

  TJobOwner* TabsFrame = nullptr;
  TProgressView* AddressFrame = nullptr;
  TReadProgressView* ControllerFrame = nullptr;
  TBalastConfig* BalastConfig = nullptr;
  TControllerConfig* ControllerConfig = nullptr;
  UiBridge* Bridge = nullptr;
  std::function<void(std::chrono::milliseconds)> Pause;

  std::atomic<int> Job{kJobIdle};
  // Written by StartTask before Job becomes kJobTask, taken by the worker after it saw that.
  WorkerTask task_;
  std::atomic<bool> taskRunning_{false};
  WorkerThread Worker;
  // The worker's session, and the one of the user-interface thread's readings.
  BusSession Session;
  BusSession UiSession;
  std::vector<AddressProblem> Problems_;
  std::string failure_;
};

}  // namespace lumetra
