// The addressing jobs, once for both populations: finding the addressed devices, the random-address
// search that gives the others the lowest free short addresses, and the check after a job. What the
// two populations do differently is in their descriptions (Populations.cpp).
#include <thread>

#include "commissioning/GateThread.h"
#include "commissioning/Population.h"
#include "model/Config.h"

namespace lumetra {

namespace {

constexpr uint32_t kHighestRandom = 0xFFFFFF;

}  // namespace

void TGateThread::FindGear() { Find(GearPopulation()); }
void TGateThread::AddressAddedGear() { AddressAdded(GearPopulation()); }
void TGateThread::ReaddressAllGear() { ReaddressAll(GearPopulation()); }
void TGateThread::SearchGear() { Search(GearPopulation()); }
void TGateThread::FindDevices() { Find(DevicePopulation()); }
void TGateThread::AddressAddedDevices() { AddressAdded(DevicePopulation()); }
void TGateThread::ReaddressAllDevices() { ReaddressAll(DevicePopulation()); }
void TGateThread::SearchDevices() { Search(DevicePopulation()); }

void TGateThread::Find(const Population& p) {
  TConfig& t = Table(p);
  p.BeforeProbing(Session);
  Message = kMessageFinding;
  ShowMessageText();
  for (int a = 0; a < 64 && !Cancelled(); ++a) {
    MarkAddress(p, a);
    p.Probe(Session, a);
    if (Session.Answer() == kYes) {
      Read(p, a);
      MarkFound(p);
    } else if (Session.AnsweredBySeveral()) {
      // Two devices share this address: it is in use, and the search must not hand it out again.
      // The check after the job names it.
      t.SetCurrentSlot(static_cast<uint8_t>(a));
      t.SetShortAddress(static_cast<uint32_t>(a));
      MarkFound(p);
    }
  }
  MarkAddress(p, 64);
  Finish(p);
}

void TGateThread::Finish(const Population& p) {
  TConfig& t = Table(p);
  t.SetCurrentGroup(TConfig::kAllDevices);
  ShowGroups(p);
  t.SetCurrentSlot(t.FirstUsedSlot());
}

void TGateThread::AddressAdded(const Population& p) {
  p.InitialiseUnaddressed(Session);
  Find(p);
  Message = kMessageAssigning;
  ShowMessageText();
  Search(p);
  p.Terminate(Session);
  Finish(p);
}

void TGateThread::ReaddressAll(const Population& p) {
  Message.clear();
  ShowMessageText();
  p.InitialiseAll(Session);
  p.DeleteAddresses(Session);
  Message = kMessageClearingGroups;
  ShowMessageText();
  p.ClearGroups(Session, [this] { return Cancelled(); });
  Message = kMessageAssigning;
  ShowMessageText();
  Search(p);
  Finish(p);
  p.Terminate(Session);
}

void TGateThread::Search(const Population& p) {
  const SearchRules& rules = p.Rules();
  p.Randomise(Session);
  int programmed = 0;
  for (int pass = 0;; ++pass) {
    if (rules.maxPasses > 0 && pass >= rules.maxPasses) break;
    if (rules.anyoneLeftBurst > 0 && (Cancelled() || !AnyoneLeft(p))) break;
    const PassOutcome outcome = Bisect(p);
    if (Cancelled()) break;
    if (outcome == PassOutcome::kClash) {
      // Several devices drew the same lowest random address: ending the search here would leave
      // them all without an address. They draw again and the next pass separates them.
      p.Randomise(Session);
    } else if (outcome == PassOutcome::kFound) {
      if (ProgramLowest(p)) ++programmed;
    } else {
      break;
    }
    if ((rules.maxProgrammed > 0 && programmed >= rules.maxProgrammed) || Cancelled()) break;
  }
  MarkAddress(p, 64);
}

bool TGateThread::AnyoneLeft(const Population& p) {
  for (int k = 0; k < 3; ++k) p.SearchAddress(Session, k, 0xFF);
  for (int k = 0; k < p.Rules().anyoneLeftBurst && !Cancelled(); ++k) {
    p.Compare(Session);
    if (Positive()) return true;
  }
  return false;
}

TGateThread::PassOutcome TGateThread::Bisect(const Population& p) {
  const SearchRules& rules = p.Rules();
  uint32_t high = kHighestRandom, low = 0, previous = 0;
  // The answer of the last yes (gear), or of the compare at the final address (devices).
  uint8_t answer = 0;
  bool clash = false;
  for (;;) {
    if (rules.compareAtFinalAddress && Cancelled()) break;
    const uint32_t mid = (high + low) / 2;
    // Only the bytes that changed since the last probe go out; low, middle, high in that order.
    for (int k = 0; k < 3; ++k) {
      const auto byte = static_cast<uint8_t>(mid >> (8 * k));
      if (byte != static_cast<uint8_t>(previous >> (8 * k))) p.SearchAddress(Session, k, byte);
    }
    if (!rules.compareAtFinalAddress && high == low && answer != 0) break;
    p.Compare(Session);
    const bool positive = Positive();
    if (rules.compareAtFinalAddress) {
      answer = Session.Answer();
      clash = Session.AnsweredBySeveral();
      if (low == high) break;
    }
    if (positive) {
      if (!rules.compareAtFinalAddress) {
        answer = Session.Answer();
        clash = Session.AnsweredBySeveral();
      }
      if (rules.pauseAfterYes.count() > 0) {
        if (Pause) {
          Pause(rules.pauseAfterYes);
        } else {
          std::this_thread::sleep_for(rules.pauseAfterYes);
        }
      }
      high = mid;
    } else {
      low = mid + 1;
    }
    previous = mid;
    if (high < low) break;
    if (!rules.compareAtFinalAddress && Cancelled()) break;
  }
  if (clash) return PassOutcome::kClash;
  return answer == kYes ? PassOutcome::kFound : PassOutcome::kNobody;
}

bool TGateThread::ProgramLowest(const Population& p) {
  const uint8_t n = Table(p).FirstFreeSlot();
  if (n >= 64 || !p.ProgramShortAddress(Session, n)) return false;
  MarkAddress(p, n);
  p.Withdraw(Session);
  Read(p, n);
  MarkFound(p);
  return true;
}

void TGateThread::Check(const Population& p) {
  TConfig& t = Table(p);
  const uint8_t remembered = t.CurrentSlot();
  for (int a = 0; a < 64; ++a) {
    if (t.IsSlotFree(static_cast<uint32_t>(a))) continue;
    p.Probe(Session, a);
    if (Session.AnsweredBySeveral()) {
      Problems_.push_back({p.Name(), a, AddressProblem::kSeveral});
    } else if (Session.Answer() != kYes) {
      Problems_.push_back({p.Name(), a, AddressProblem::kSilent});
    }
  }
  t.SetCurrentSlot(remembered);
}

}  // namespace lumetra
