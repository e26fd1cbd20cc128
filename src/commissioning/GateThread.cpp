// The worker's loop, its pass over a job and its hand-overs to the user interface.
#include "commissioning/GateThread.h"

#include <cstdio>

#include "buslink/DaliCom.h"
#include "buslink/TcpClient.h"
#include "commissioning/ParameterReading.h"
#include "commissioning/Population.h"
#include "commissioning/ScopeExit.h"
#include "model/BalastConfig.h"
#include "model/ControllerConfig.h"
#include "model/UiBridge.h"

namespace lumetra {

TGateThread::~TGateThread() {
  Terminate();
  WaitFor();
}

void TGateThread::SetConfigs(TBalastConfig* balastConfig, TControllerConfig* controllerConfig) {
  BalastConfig = balastConfig;
  ControllerConfig = controllerConfig;
}

void TGateThread::SetViews(TReadProgressView* controllerFrame, TProgressView* addressFrame) {
  ControllerFrame = controllerFrame;
  AddressFrame = addressFrame;
}

void TGateThread::SetDaliCom(TDaliCom* daliCom) {
  Session.SetDaliCom(daliCom);
  UiSession.SetDaliCom(daliCom);
}

void TGateThread::Start() {
  // Linux allows 15 characters; "AddressingThread" has 16.
  Worker.Start("AddressingThrea", [this] { Execute(); });
}

void TGateThread::Execute() {
  while (!Worker.StopRequested()) {
    Pass();
    Worker.Sleep(std::chrono::milliseconds(1));
  }
}

void TGateThread::Pass() {
  int job = Job.load();
  if (job == kJobIdle) return;
  // A task cancelled before it began still hands its result over; it is no addressing job.
  if (taskRunning_.load()) {
    RunTask();
    return;
  }
  Problems_.clear();
  std::string failure;
  // A job cancelled before it began has nothing to run: its code must not empty the tables.
  if (job != kJobCancel) {
    try {
      if ((job & 0x0F) != 0) ControllerConfig->ClearControllers();
      const int gear = job >> 4;
      if (gear != kActionNone) {
        BalastConfig->Clear();
        ShowCounts();
        RunPart(GearPopulation(), gear);
      }
      job = Job.load();
      const int devices = job & 0x0F;
      if (devices != kActionNone) {
        ShowCounts();
        RunPart(DevicePopulation(), devices);
      }
    } catch (const SequenceStopped& e) {
      failure = "Adresovanie prerušené: " + e.text;
      Message = failure;
      ShowMessageText();
    }
  }
  failure_ = failure;
  if (failure.empty()) {
    Message = kMessageFinished;
    if (!Problems_.empty()) Message += " – " + ProblemSummary(Problems_);
    ShowMessageText();
  }
  ShowCounts();
  // Idle before the controls return: a "Vykonať" clicked as soon as it is enabled again must find
  // the worker ready, not be dropped as a click during the job.
  Job = kJobIdle;
  OnUi([this] {
    if (TabsFrame) TabsFrame->AddressingFinished();
  });
}

void TGateThread::RunPart(const Population& p, int action) {
  try {
    if (action == kActionFind) Find(p);
    if (action == kActionAddressAdded) AddressAdded(p);
    if (action == kActionReaddressAll) ReaddressAll(p);
    if (action <= kActionReaddressAll && !Cancelled()) Check(p);
  } catch (const SequenceStopped& stopped) {
    WindUp(p, action, stopped.result);
    throw;
  }
}

void TGateThread::WindUp(const Population& p, int action, int result) {
  MarkAddress(p, 64);
  if (result == kSequenceCancelled) {
    // A cancel that came in the middle of a reading: the job's requests stay those of any cancel.
    ShowGroups(p);
    return;
  }
  // A plain time-out leaves the gate open: the devices are not left in initialisation, and the
  // selection is put where a finished job puts it. Whatever this TERMINATE meets is not the
  // failure the user is told of.
  const TcpClient* client = Session.DaliCom() ? Session.DaliCom()->Client() : nullptr;
  if (action != kActionFind && client != nullptr && client->Connected()) {
    RunSequence([&] { p.Terminate(Session); });
  }
  Finish(p);
}

std::vector<std::string> TGateThread::Problems() const {
  std::vector<std::string> lines;
  for (const AddressProblem& problem : Problems_) lines.push_back(ProblemText(problem));
  return lines;
}

namespace {

const char* ProblemWords(AddressProblem::Kind kind) {
  return kind == AddressProblem::kSeveral ? "odpovedá viac zariadení" : "zariadenie neodpovedá";
}

std::string AddressName(const AddressProblem& problem) {
  char text[8];
  std::snprintf(text, sizeof text, "%c %02d", problem.population, problem.address);
  return text;
}

}  // namespace

std::string ProblemText(const AddressProblem& problem) {
  return "Adresa " + AddressName(problem) + ": " + ProblemWords(problem.kind);
}

std::string ProblemSummary(const std::vector<AddressProblem>& problems) {
  std::string summary;
  for (const AddressProblem::Kind kind : {AddressProblem::kSeveral, AddressProblem::kSilent}) {
    std::string addresses;
    int count = 0;
    for (const AddressProblem& problem : problems) {
      if (problem.kind != kind) continue;
      addresses += (count++ == 0 ? "" : ", ") + AddressName(problem);
    }
    if (count == 0) continue;
    if (!summary.empty()) summary += "; ";
    summary += (count == 1 ? "Adresa " : "Adresy ") + addresses + ": " + ProblemWords(kind);
  }
  return summary;
}

bool TGateThread::StartTask(WorkerTask task) {
  if (!Started() || Finished() || Job.load() != kJobIdle || taskRunning_.load()) return false;
  task_ = std::move(task);
  taskRunning_ = true;
  Job = kJobTask;
  return true;
}

void TGateThread::RunTask() {
  WorkerTask task = std::move(task_);
  task_ = {};
  SequenceResult result{kSequenceCancelled, {}, {}};
  if (!Cancelled() && task.sequence) {
    Session.SetProgress([this, &task](int exchanges) {
      if (task.progress) OnUi([&] { task.progress(exchanges); });
    });
    Session.SetCancel([this] { return Cancelled(); });
    const ScopeExit reset([this] {
      Session.SetProgress({});
      Session.SetCancel({});
    });
    result = task.sequence(Session);
  }
  // Idle before the result is handed over: `done` may start the next task.
  Job = kJobIdle;
  taskRunning_ = false;
  OnUi([&] {
    if (task.done) task.done(result);
  });
}

std::function<SequenceResult(BusSession&)> TGateThread::DeviceReading(int a) {
  return [this, a](BusSession& session) { return RunSequence([&] { ReadDevice(session, a); }); };
}

int TGateThread::ReadGearParameters(int quick, int a) {
  return RunSequence([&] { ReadGear(UiSession, quick, a); }).result;
}

int TGateThread::ReadDeviceParameters(int a) {
  return RunSequence([&] { ReadDevice(UiSession, a); }).result;
}

void TGateThread::WhileReading(const std::function<void()>& read) {
  // The view's message comes back afterwards. The text stays local: a reading on demand runs on the
  // user-interface thread and must not touch the job's Message.
  const std::string previous = ProgressMessage();
  ShowMessage(kMessageReading);
  const ScopeExit restore([&] { ShowMessage(previous); });
  read();
}

void TGateThread::ReadGear(BusSession& session, int quick, int a) {
  WhileReading([&] {
    lumetra::ReadGear(session, *BalastConfig, quick != 0, a, [this] { return Cancelled(); });
  });
}

void TGateThread::ReadDevice(BusSession& session, int a) {
  WhileReading([&] {
    const bool image = lumetra::ReadDevice(
        session, *ControllerConfig, a, [this] { return Cancelled(); },
        [this](int count, int total) { ShowReadProgress(count, total); });
    if (image) ClearReadProgress();
  });
}

void TGateThread::OnUi(const std::function<void()>& call) {
  if (Bridge) {
    Bridge->RunOnUi(call);
  } else {
    call();
  }
}

void TGateThread::ShowMessageText() { ShowMessage(Message); }

void TGateThread::ShowMessage(const std::string& text) {
  OnUi([this, &text] {
    if (AddressFrame && AddressFrame->IsShown()) AddressFrame->SetMessage(text);
  });
}

void TGateThread::ShowReadProgress(int count, int total) {
  OnUi([this, count, total] {
    char text[96];
    if (AddressFrame && AddressFrame->IsShown()) {
      std::snprintf(text, sizeof text, "%s %3d / %d", kMessageReading, count, total);
      AddressFrame->SetMessage(text);
    } else if (ControllerFrame && ControllerFrame->IsShown()) {
      std::snprintf(text, sizeof text, "%3d / %d", count, total);
      ControllerFrame->SetReadProgress(text);
    }
  });
}

void TGateThread::ClearReadProgress() {
  OnUi([this] {
    if (ControllerFrame && ControllerFrame->IsShown()) ControllerFrame->SetReadProgress("");
  });
}

std::string TGateThread::ProgressMessage() {
  std::string text;
  OnUi([&] {
    if (AddressFrame) text = AddressFrame->GetMessage();
  });
  return text;
}

void TGateThread::ShowCounts() {
  OnUi([this] {
    if (AddressFrame) AddressFrame->ShowCounts();
  });
}

TConfig& TGateThread::Table(const Population& p) const {
  if (p.Name() == 'A') return *BalastConfig;
  return *ControllerConfig;
}

void TGateThread::Read(const Population& p, int a) {
  if (p.Name() == 'A') {
    ReadGear(Session, 0, a);
  } else {
    ReadDevice(Session, a);
  }
}

void TGateThread::MarkAddress(const Population& p, int a) {
  OnUi([this, &p, a] {
    if (!AddressFrame) return;
    p.Name() == 'A' ? AddressFrame->MarkGearAddress(a) : AddressFrame->MarkDeviceAddress(a);
  });
}

void TGateThread::MarkFound(const Population& p) {
  OnUi([this, &p] {
    if (!AddressFrame) return;
    p.Name() == 'A' ? AddressFrame->MarkGearFound() : AddressFrame->MarkDeviceFound();
    // The count grows with the marks, not only at the ends of the job's parts.
    AddressFrame->ShowCounts();
  });
}

void TGateThread::ShowGroups(const Population& p) {
  OnUi([this, &p] {
    if (!TabsFrame) return;
    p.Name() == 'A' ? TabsFrame->ShowGearGroups() : TabsFrame->ShowDeviceGroups();
  });
}

}  // namespace lumetra
