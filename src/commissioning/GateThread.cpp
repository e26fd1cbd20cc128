// The worker's loop, its pass over a job and its hand-overs to the user interface.
#include "commissioning/GateThread.h"

#include <pthread.h>

#include <cstdio>

#include "buslink/DaliCom.h"
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

void TGateThread::Start() {
  if (Thread.joinable()) return;
  Terminated = false;
  Done = false;
  Thread = std::thread([this] { Execute(); });
}

void TGateThread::WaitFor() {
  if (Thread.joinable()) Thread.join();
}

void TGateThread::Execute() {
  pthread_setname_np(pthread_self(), "AddressingThread");
  while (!Terminated) {
    Pass();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  Done = true;
}

void TGateThread::Pass() {
  int job = Job.load();
  if (job == kJobIdle) return;
  Problems_.clear();
  bool failed = false;
  // A job cancelled before it began has nothing to run: its code must not empty the tables.
  if (job != kJobCancel) {
    try {
      if ((job & 0x0F) != 0) ControllerConfig->ClearControllers();
      const int gear = job >> 4;
      if (gear != kActionNone) {
        BalastConfig->Clear();
        ShowCounts();
        if (gear == kActionFind) FindGear();
        if (gear == kActionAddressAdded) AddressAddedGear();
        if (gear == kActionReaddressAll) ReaddressAllGear();
        if (gear <= kActionReaddressAll && !Cancelled()) CheckGear();
      }
      job = Job.load();
      const int devices = job & 0x0F;
      if (devices != kActionNone) {
        ShowCounts();
        if (devices == kActionFind) FindDevices();
        if (devices == kActionAddressAdded) AddressAddedDevices();
        if (devices == kActionReaddressAll) ReaddressAllDevices();
        if (devices <= kActionReaddressAll && !Cancelled()) CheckDevices();
      }
    } catch (const ExchangeFailed& e) {
      failed = true;
      Message = std::string("Adresovanie prerušené: ") + ExchangeResultText(e.result);
      ShowMessageText();
    }
  }
  if (!failed) {
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

void TGateThread::Send(uint8_t kind, uint8_t b1, uint8_t b2, uint8_t b3) {
  const int result = DaliCom->Exchange(Reply, Request, kind, b1, b2, b3);
  if (result != kExchangeReplied) throw ExchangeFailed{result};
}

void TGateThread::SendTwice(uint8_t kind, uint8_t b1, uint8_t b2, uint8_t b3) {
  Send(kind, b1, b2, b3);
  Send(kind, b1, b2, b3);
}

void TGateThread::OnUi(const std::function<void()>& call) {
  if (Bridge) {
    Bridge->RunOnUi(call);
  } else {
    call();
  }
}

void TGateThread::ShowMessageText() {
  OnUi([this] {
    if (AddressFrame && AddressFrame->IsShown()) AddressFrame->SetMessage(Message);
  });
}

void TGateThread::ShowReadProgress() {
  OnUi([this] {
    char text[96];
    if (AddressFrame && AddressFrame->IsShown()) {
      std::snprintf(text, sizeof text, "%s %3d / %d", kMessageReading, ReadCount, ReadTotal);
      AddressFrame->SetMessage(text);
    } else if (ControllerFrame && ControllerFrame->IsShown()) {
      std::snprintf(text, sizeof text, "%3d / %d", ReadCount, ReadTotal);
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
  std::string text = Message;
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

void TGateThread::MarkGearAddress(int a) {
  OnUi([this, a] {
    if (AddressFrame) AddressFrame->MarkGearAddress(a);
  });
}

void TGateThread::MarkGearFound() {
  OnUi([this] {
    if (AddressFrame) AddressFrame->MarkGearFound();
  });
}

void TGateThread::MarkDeviceAddress(int a) {
  OnUi([this, a] {
    if (AddressFrame) AddressFrame->MarkDeviceAddress(a);
  });
}

void TGateThread::MarkDeviceFound() {
  OnUi([this] {
    if (AddressFrame) AddressFrame->MarkDeviceFound();
  });
}

}  // namespace lumetra
