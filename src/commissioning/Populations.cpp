// The two populations' requests for the addressing jobs.
#include "buslink/Commands.h"
#include "commissioning/Population.h"

namespace lumetra {

namespace {

// Control gear: special commands in the address byte, addresses coded 2a + 1.
class GearLine final : public Population {
 public:
  char Name() const override { return 'A'; }
  const SearchRules& Rules() const override { return rules_; }

  void InitialiseUnaddressed(BusSession& s) const override {
    s.GearSpecial(gear::kInitialise, gear::kInitialiseUnaddressed);
  }
  void InitialiseAll(BusSession& s) const override {
    s.GearSpecial(gear::kInitialise, gear::kInitialiseAll);
  }
  void DeleteAddresses(BusSession& s) const override {
    s.GearStore(BusTarget::All(), gear::kStoreDtrAsShortAddress, gear::kNoAddress);
  }
  void ClearGroups(BusSession& s, const std::function<bool()>& cancelled) const override {
    for (int g = 0; g < 16 && !cancelled(); ++g) {
      s.Gear(BusTarget::All(), gear::kRemoveFromGroup.At(g));
    }
  }
  void Probe(BusSession& s, int a) const override { s.Gear(BusTarget::Device(a), gear::kQueryBalast); }

  void Terminate(BusSession& s) const override { s.GearSpecial(gear::kTerminate); }
  void Randomise(BusSession& s) const override { s.GearSpecial(gear::kRandomise); }
  void SearchAddress(BusSession& s, int k, uint8_t byte) const override {
    static constexpr const BusCommand* kBytes[3] = {&gear::kSearchAddressL, &gear::kSearchAddressM,
                                                    &gear::kSearchAddressH};
    s.GearSpecial(*kBytes[k], byte);
  }
  void Compare(BusSession& s) const override { s.GearSpecial(gear::kCompare); }
  void Withdraw(BusSession& s) const override { s.GearSpecial(gear::kWithdraw); }
  bool ProgramShortAddress(BusSession& s, int n) const override {
    s.GearSpecial(gear::kProgramShortAddress, BusTarget::Device(n).GearCommandByte());
    s.GearSpecial(gear::kQueryShortAddress);
    // A double answer is no confirmation, even where its byte happens to read as 2n + 1.
    return !s.AnsweredBySeveral() && (s.Answer() >> 1) == n;
  }

 private:
  SearchRules rules_{.anyoneLeftBurst = 0,
                     .compareAtFinalAddress = false,
                     .pauseAfterYes = std::chrono::milliseconds(25),
                     .maxPasses = 0,
                     .maxProgrammed = 64};
};

// Control devices: every command a frame of its own, to all devices or those without an address.
class DeviceLine final : public Population {
 public:
  char Name() const override { return 'C'; }
  const SearchRules& Rules() const override { return rules_; }

  void InitialiseUnaddressed(BusSession& s) const override {
    s.Device(BusTarget::Unaddressed(), device::kInitialise);
  }
  void InitialiseAll(BusSession& s) const override { s.Device(BusTarget::All(), device::kInitialise); }
  void DeleteAddresses(BusSession& s) const override {
    s.Device(BusTarget::All(), device::kProgramShortAddress, 0xFF);
  }
  void ClearGroups(BusSession& s, const std::function<bool()>&) const override {
    // Both group bytes, and the pair once more: a frame lost on a busy line must not leave a
    // device in its old groups.
    for (int k = 0; k < 2; ++k) {
      s.Device(BusTarget::All(), device::kGroupAssignmentLow, 0);
      s.Device(BusTarget::All(), device::kGroupAssignmentHigh, 0);
    }
  }
  void BeforeProbing(BusSession& s) const override { s.Device(BusTarget::All(), device::kSetDtr, 0); }
  void Probe(BusSession& s, int a) const override {
    // Only a device that is there turns its DTR into the 255 it then answers.
    s.Device(BusTarget::Device(a), device::kSetDtr, kYes);
    s.Device(BusTarget::Device(a), device::kQueryDtr);
  }

  void Terminate(BusSession& s) const override { s.Device(BusTarget::All(), device::kTerminate); }
  void Randomise(BusSession& s) const override { s.Device(BusTarget::All(), device::kRandomise); }
  void SearchAddress(BusSession& s, int k, uint8_t byte) const override {
    static constexpr const BusCommand* kBytes[3] = {
        &device::kSearchAddressL, &device::kSearchAddressM, &device::kSearchAddressH};
    s.Device(BusTarget::All(), *kBytes[k], byte);
  }
  void Compare(BusSession& s) const override { s.Device(BusTarget::All(), device::kCompare); }
  void Withdraw(BusSession& s) const override { s.Device(BusTarget::All(), device::kWithdraw); }
  bool ProgramShortAddress(BusSession& s, int n) const override {
    s.Device(BusTarget::All(), device::kProgramShortAddress, static_cast<uint8_t>(n));
    s.Device(BusTarget::All(), device::kQueryShortAddress);
    return !s.AnsweredBySeveral() && s.Answer() == n;
  }

 private:
  // Several devices answering at once reach the gate as a receive error. They are there all the
  // same: the burst and the bisection count it as a yes, and a clash at the final address lets
  // them draw again.
  SearchRules rules_{.anyoneLeftBurst = 10,
                     .compareAtFinalAddress = true,
                     .pauseAfterYes = std::chrono::milliseconds(0),
                     .maxPasses = 64,
                     .maxProgrammed = 0};
};

}  // namespace

const Population& GearPopulation() {
  static const GearLine line;
  return line;
}

const Population& DevicePopulation() {
  static const DeviceLine line;
  return line;
}

}  // namespace lumetra
