// The control device editor's bus sequences and the table updates that follow them.
#include "sequences/DeviceSequences.h"

#include <string>
#include <utility>
#include <vector>

#include "model/ControllerConfig.h"
#include "model/KindImage.h"

namespace lumetra {

namespace {

constexpr int kHalfGroups = 8;

bool DeviceSelected(const TConfig& t) { return t.CurrentSlot() < TConfig::kGroupSlot; }

SequenceResult Refused(std::string reason) {
  return SequenceResult{kSequenceRefused, {}, std::move(reason)};
}

// The occupied slots a command to the selection reaches: the device itself, or every slot that
// may belong to the group (membership not read counts: the device may have heard the command).
std::vector<uint8_t> Reached(TConfig& t) {
  const uint8_t slot = t.CurrentSlot();
  if (slot < TConfig::kGroupSlot) return {slot};
  std::vector<uint8_t> members;
  const uint8_t group = t.CurrentGroup();
  for (uint8_t i = 0; i < TConfig::kGroupSlot; ++i) {
    if (t.IsSlotFree(i)) continue;
    t.SetCurrentSlot(i);
    if (group == TConfig::kAllDevices || t.Groups(group) != 0) members.push_back(i);
  }
  t.SetCurrentSlot(slot);
  return members;
}

std::optional<SequenceResult> RefuseFreeSlot(const TConfig& t) {
  if (DeviceSelected(t) && t.IsSlotFree(t.CurrentSlot())) {
    return Refused("Nie je vybraný žiadny ovládač");
  }
  return std::nullopt;
}

std::string HalfName(int half) { return half == 0 ? "01 až 08" : "09 až 16"; }

}  // namespace

uint8_t DeviceAddress(const TConfig& t) { return SelectedTarget(t).DeviceByte(); }

SequenceResult WriteDeviceGroups(BusSession& session, TControllerConfig& t,
                                 const DeviceGroups& groups, const ItemWritten& written) {
  if (auto refused = RefuseFreeSlot(t)) return *refused;
  const BusTarget target = SelectedTarget(t);
  // The masks as they go out: what was given, the rest as the selected slot holds it.
  std::array<uint8_t, 2> masks{};
  std::vector<int> halves;
  for (int half = 0; half < 2; ++half) {
    bool given = false;
    for (int i = 0; i < kHalfGroups; ++i) given = given || groups[half * kHalfGroups + i];
    if (!given) continue;
    for (int i = 0; i < kHalfGroups; ++i) {
      const int g = half * kHalfGroups + i;
      const uint8_t held = t.Groups(static_cast<uint32_t>(g));
      const std::optional<bool>& wanted = groups[static_cast<size_t>(g)];
      if (!wanted && held != 0 && held != 1) {
        return Refused(DeviceSelected(t)
                           ? "Skupiny " + HalfName(half) +
                                 " ovládača nie sú prečítané: prečítajte jeho parametre"
                           : "Skupiny " + HalfName(half) +
                                 " nie sú všetky zvolené: ovládače ich berú po ôsmich naraz");
      }
      if (wanted ? *wanted : held == 1) masks[half] |= static_cast<uint8_t>(1u << i);
    }
    halves.push_back(half);
  }
  // Sent to a group, the half that takes the members out of it goes last: they hear nothing sent to
  // the group after leaving it.
  if (target.GetKind() == BusTarget::Kind::kGroup && halves.size() == 2) {
    const int own = target.Number() / kHalfGroups;
    const bool leaves = ((masks[own] >> (target.Number() % kHalfGroups)) & 1) == 0;
    if (leaves && halves.front() == own) std::swap(halves[0], halves[1]);
  }
  // Decided before anything changes: a member that leaves the group with the first half still
  // takes the second.
  const std::vector<uint8_t> members = Reached(t);
  const uint8_t selected = t.CurrentSlot();
  return RunSequence([&] {
    for (const int half : halves) {
      session.Device(target, half == 0 ? device::kGroupAssignmentLow : device::kGroupAssignmentHigh,
                     masks[half]);
      auto store = [&](uint8_t slot) {
        t.SetCurrentSlot(slot);
        for (int i = 0; i < kHalfGroups; ++i) {
          t.SetGroups(static_cast<uint32_t>(half * kHalfGroups + i), (masks[half] >> i) & 1);
        }
      };
      store(selected);
      for (const uint8_t slot : members) store(slot);
      t.SetCurrentSlot(selected);
      if (written) {
        for (int i = 0; i < kHalfGroups; ++i) written(half * kHalfGroups + i);
      }
    }
  });
}

SequenceResult WriteMultimaster(BusSession& session, TControllerConfig& t, bool on) {
  if (auto refused = RefuseFreeSlot(t)) return *refused;
  if (DeviceSelected(t) && t.DeviceType() == kKindOptoRelay) {
    return Refused("Optorelé nemá nastavenie multimaster");
  }
  const std::vector<uint8_t> members = Reached(t);
  const uint8_t selected = t.CurrentSlot();
  SequenceResult result = RunSequence([&] {
    session.DeviceDataLess(SelectedTarget(t),
                           on ? device::kEnableMultimaster : device::kDisableMultimaster);
  });
  if (!result.Ok()) return result;
  t.SetMultimaster(on ? 1 : 0);
  for (const uint8_t slot : members) {
    t.SetCurrentSlot(slot);
    t.SetMultimaster(on ? 1 : 0);
  }
  t.SetCurrentSlot(selected);
  return result;
}

SequenceResult ChangeDeviceShortAddress(BusSession& session, TControllerConfig& t, int newAddress) {
  const uint8_t current = t.CurrentSlot();
  const std::string number = std::to_string(newAddress);
  // A group has no short address; 0x80 + g as the old address would be the group's members.
  if (current >= TConfig::kGroupSlot || t.IsSlotFree(current)) {
    return Refused("Adresu je možné zmeniť len jednému ovládaču");
  }
  if (newAddress < 0 || (newAddress >= 64 && newAddress != 255)) {
    return Refused("Adresa " + number + " nie je platná (0 až 63, 255 adresu zmaže)");
  }
  if (newAddress == current) return Refused("Ovládač už má adresu " + number);
  if (newAddress != 255 && !t.IsSlotFree(static_cast<uint32_t>(newAddress))) {
    return Refused("Adresa " + number + " je už obsadená");
  }
  SequenceResult result = RunSequence([&] {
    session.Device(BusTarget::Device(current), device::kSaveShortAddress,
                   static_cast<uint8_t>(newAddress));
  });
  if (result.Ok()) t.MoveControlDevice(static_cast<uint8_t>(newAddress), current);
  return result;
}

SequenceResult LocateDevice(BusSession& session, const TConfig& t) {
  if (auto refused = RefuseFreeSlot(t)) return *refused;
  return RunSequence([&] { session.DeviceDataLess(SelectedTarget(t), device::kIdentifyDevice); });
}

SequenceResult ResetDevice(BusSession& session, const TConfig& t) {
  if (auto refused = RefuseFreeSlot(t)) return *refused;
  return RunSequence(
      [&] { session.Device(SelectedTarget(t), device::kReset, kDeviceResetParameter); });
}

SequenceResult WriteDeviceMemory(BusSession& session, const TConfig& t, uint8_t offset,
                                 const std::vector<uint8_t>& bytes,
                                 const std::function<void(int written)>& written) {
  if (auto refused = RefuseFreeSlot(t)) return *refused;
  const BusTarget target = SelectedTarget(t);
  bool enabled = false;
  SequenceResult result = RunSequence([&] {
    session.Device(target, device::kSetBank, kConfigBank);
    session.Device(target, device::kSetDtr, offset);
    session.DeviceDataLess(target, device::kEnableWriteMemory);
    enabled = true;
    int count = 0;
    for (const uint8_t byte : bytes) {
      session.Device(target, device::kWriteMemorySingleByte, byte);
      if (written) written(++count);
    }
  });
  if (enabled) {
    const SequenceResult disabled =
        RunSequence([&] { session.DeviceDataLess(target, device::kDisableWriteMemory); });
    if (result.Ok()) result = disabled;
  }
  return result;
}

int ImageWrite::Bytes() const {
  int n = 0;
  for (const MemoryRun& run : runs) n += static_cast<int>(run.bytes.size());
  return n;
}

int ImageWrite::BytesAfter(int exchanges) const {
  int done = 0;
  for (const MemoryRun& run : runs) {
    const int size = static_cast<int>(run.bytes.size());
    const int data = exchanges - kMemoryWriteLeadIn;
    if (data < size) return done + (data > 0 ? data : 0);
    done += size;
    exchanges -= kMemoryWriteLeadIn + size + 1;
  }
  return done;
}

ImageWrite PlanImageWrite(TControllerConfig& t, const KindImage& kind, uint16_t first,
                          uint16_t last) {
  ImageWrite plan;
  plan.kind = &kind;
  const KindRecord image = t.Image(kind);
  MemoryRun* run = nullptr;
  int next = -1;
  for (uint16_t i = first; i < last && i < kind.length; ++i) {
    const int location = image.Location(i);
    if (location < 0) continue;
    if (!image.Pending(i)) {
      run = nullptr;
      continue;
    }
    if (run == nullptr || location != next) {
      plan.runs.push_back(MemoryRun{static_cast<uint8_t>(location), {}, {}});
      run = &plan.runs.back();
    }
    run->indices.push_back(i);
    run->bytes.push_back(image.ImageByteAt(i));
    next = location + 1;
  }
  return plan;
}

ImageWrite PlanEnableWrite(TControllerConfig& t, const KindImage& kind) {
  const uint16_t enable = kind.EnableIndex();
  return PlanImageWrite(t, kind, enable, static_cast<uint16_t>(enable + 1));
}

namespace {

// The members of the selected group (or of all devices) whose kind is the plan's take what was
// sent.
void UpdateMembers(TControllerConfig& t, const ImageWrite& plan,
                   const std::vector<std::pair<uint16_t, uint8_t>>& sent) {
  const uint8_t selected = t.CurrentSlot();
  if (selected < TConfig::kGroupSlot || sent.empty()) return;
  const KindImage& kind = *plan.kind;
  const uint8_t version = t.FirmwareVersion();
  const uint8_t minVersion = t.FirmwareMinVersion();
  const bool groupGap = kind.gap.AppliesTo(version, minVersion);
  for (const uint8_t m : Reached(t)) {
    t.SetCurrentSlot(m);
    if (t.DeviceType() != kind.deviceType) continue;
    KindRecord to = t.Image(kind);
    if (kind.gap.AppliesTo(t.FirmwareVersion(), t.FirmwareMinVersion()) == groupGap) {
      for (const auto& [index, byte] : sent) to.StoreRead(index, byte);
      continue;
    }
    // Its firmware keeps other fields at the locations written: they are no longer known.
    for (const auto& [index, byte] : sent) {
      const int location = kind.Location(index, version, minVersion);
      for (uint16_t i = 0; i < kind.length; ++i) {
        if (to.Location(i) == location) to.Forget(i);
      }
    }
  }
  t.SetCurrentSlot(selected);
}

}  // namespace

SequenceResult WriteImage(BusSession& session, TControllerConfig& t, const ImageWrite& plan,
                          const std::function<void(int written)>& written) {
  if (auto refused = RefuseFreeSlot(t)) return *refused;
  const int total = plan.Bytes();
  if (total == 0) return Refused("Nie je zmenená žiadna hodnota na zápis");
  KindRecord image = t.Image(*plan.kind);
  for (const MemoryRun& run : plan.runs) {
    for (const uint16_t index : run.indices) {
      if (!image.Fits(index)) {
        return Refused("Hodnota na mieste " + std::to_string(run.location) +
                       " pamäte je mimo rozsahu 0–65535: zadajte ju znova");
      }
    }
  }
  std::vector<std::pair<uint16_t, uint8_t>> sent;
  SequenceResult result;
  for (const MemoryRun& run : plan.runs) {
    result = WriteDeviceMemory(session, t, run.location, run.bytes, [&](int n) {
      const uint16_t index = run.indices[static_cast<size_t>(n - 1)];
      image.MarkHeld(index);
      sent.emplace_back(index, run.bytes[static_cast<size_t>(n - 1)]);
      if (written) written(static_cast<int>(sent.size()));
    });
    if (!result.Ok()) break;
  }
  UpdateMembers(t, plan, sent);
  // Which byte did not go through, when it was one of the image's.
  if (!result.Ok() && result.refusal.empty() && static_cast<int>(sent.size()) < total &&
      result.step.rfind(device::kWriteMemorySingleByte.name, 0) == 0) {
    result.step +=
        " (bajt " + std::to_string(sent.size() + 1) + " z " + std::to_string(total) + ")";
  }
  return result;
}

SequenceResult WriteEnableByte(BusSession& session, TControllerConfig& t, const KindImage& kind,
                               const std::string& unknown, uint8_t mask) {
  KindRecord image = t.Image(kind);
  const uint16_t enable = kind.EnableIndex();
  if (image.Origin(enable) == ByteOrigin::kUnknown) return Refused(unknown);
  // Only the bits the device takes go out.
  if (image.Origin(enable) == ByteOrigin::kSet) {
    image.SetImageByteAt(enable, image.ImageByteAt(enable) & mask);
  }
  return WriteImage(session, t, PlanEnableWrite(t, kind));
}

}  // namespace lumetra
