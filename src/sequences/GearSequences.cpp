// The control gear editor's bus sequences and the table updates that follow them.
#include "sequences/GearSequences.h"

#include <functional>

#include "commissioning/ScopeExit.h"
#include "model/BalastConfig.h"

namespace lumetra {

namespace {

constexpr uint32_t kNoLevel = 255;

// A written value lands in the selected slot or, for a group or all devices, in every slot that
// may belong to it (membership not read counts: the device may have heard the command).
void StoreForSelection(TBalastConfig& t, const std::function<void()>& store) {
  if (t.CurrentSlot() < TConfig::kGroupSlot) {
    store();
    return;
  }
  const uint8_t group = t.CurrentGroup();
  for (uint8_t i = 0; i < TConfig::kGroupSlot; ++i) {
    if (t.IsSlotFree(i)) continue;
    t.SetCurrentSlot(i);
    if (group == TConfig::kAllDevices || t.Groups(group) != 0) store();
  }
  t.SetCurrentSlot(TConfig::kGroupSlot);
}

struct Setting {
  uint32_t GearSettings::*value;
  const BusCommand* command;
  void (*store)(TBalastConfig&, uint32_t);
  bool level;  // converted in percent mode
};
constexpr Setting kSettings[] = {
    {&GearSettings::minLevel, &gear::kStoreDtrAsMinLevel,
     [](TBalastConfig& t, uint32_t v) { t.SetMinLevel(v); }, true},
    {&GearSettings::maxLevel, &gear::kStoreDtrAsMaxLevel,
     [](TBalastConfig& t, uint32_t v) { t.SetMaxLevel(v); }, true},
    {&GearSettings::powerOnLevel, &gear::kStoreDtrAsPowerOnLevel,
     [](TBalastConfig& t, uint32_t v) { t.SetPowerOnLevel(v); }, true},
    {&GearSettings::failureLevel, &gear::kStoreDtrAsFailureLevel,
     [](TBalastConfig& t, uint32_t v) { t.SetFailureLevel(v); }, true},
    {&GearSettings::fadeRate, &gear::kStoreDtrAsFadeRate,
     [](TBalastConfig& t, uint32_t v) { t.SetFadeRate(v); }, false},
    {&GearSettings::fadeTime, &gear::kStoreDtrAsFadeTime,
     [](TBalastConfig& t, uint32_t v) { t.SetFadeTime(v); }, false},
};

bool DeviceSelected(const TConfig& t) { return t.CurrentSlot() < TConfig::kGroupSlot; }

}  // namespace

BusTarget SelectedTarget(const TConfig& t) {
  if (DeviceSelected(t)) return BusTarget::Device(t.CurrentSlot());
  if (t.CurrentGroup() == TConfig::kAllDevices) return BusTarget::All();
  return BusTarget::Group(t.CurrentGroup());
}

SequenceResult SendGearCommand(BusSession& session, const TBalastConfig& t,
                               const BusCommand& command) {
  return RunSequence([&] { session.Gear(SelectedTarget(t), command); });
}

SequenceResult WriteActualLevel(BusSession& session, TBalastConfig& t, uint32_t shown) {
  const uint32_t level = shown >= kNoLevel ? kNoLevel : t.ConvertLevel(false, shown);
  // A percentage above 100 converts to 255, which the device would take as "no change".
  if (level >= kNoLevel) return {kSequenceRefused, {}};
  SequenceResult result =
      RunSequence([&] { session.GearLevel(SelectedTarget(t), static_cast<uint8_t>(level)); });
  if (result.Ok()) StoreForSelection(t, [&t, shown] { t.SetActualLevel(shown); });
  return result;
}

SequenceResult WriteGearSettings(BusSession& session, TBalastConfig& t,
                                 const GearSettings& settings) {
  return RunSequence([&] {
    const BusTarget target = SelectedTarget(t);
    for (const Setting& s : kSettings) {
      const uint32_t v = settings.*s.value;
      const uint32_t data = s.level ? t.ConvertLevel(false, v) : v;
      session.GearStore(target, *s.command, static_cast<uint8_t>(data & 0xFF));
      StoreForSelection(t, [&t, &s, v] { s.store(t, v); });
    }
  });
}

SequenceResult WriteGearGroups(BusSession& session, TBalastConfig& t) {
  std::array<uint8_t, 16> groups{};
  for (uint32_t g = 0; g < 16; ++g) groups[g] = static_cast<uint8_t>(t.Groups(g));
  SequenceResult result = RunSequence([&] {
    const BusTarget target = SelectedTarget(t);
    for (int g = 0; g < 16; ++g) {
      const BusCommand& command =
          groups[static_cast<size_t>(g)] != 0 ? gear::kAddToGroup : gear::kRemoveFromGroup;
      session.Gear(target, command.At(g));
    }
  });
  if (result.Ok() && !DeviceSelected(t)) {
    // A member that left the selected group at its own box heard none of the later ones.
    const uint8_t selected = t.CurrentGroup();
    const uint32_t heard = selected < 16 && groups[selected] == 0 ? selected + 1u : 16u;
    StoreForSelection(t, [&t, &groups, heard] {
      for (uint32_t g = 0; g < heard; ++g) t.SetGroups(g, groups[g]);
    });
  }
  return result;
}

SequenceResult WriteGearScenes(BusSession& session, TBalastConfig& t) {
  const uint8_t percent = t.PercentMode();
  t.SetPercentMode(0);
  const ScopeExit restore([&t, percent] { t.SetPercentMode(percent); });
  std::array<uint8_t, 16> scenes{};
  for (uint32_t s = 0; s < 16; ++s) scenes[s] = static_cast<uint8_t>(t.Scenes(s));
  SequenceResult result = RunSequence([&] {
    const BusTarget target = SelectedTarget(t);
    for (int s = 0; s < 16; ++s) {
      const uint8_t level = scenes[static_cast<size_t>(s)];
      if (level != kNoLevel) {
        session.GearStore(target, gear::kStoreDtrAsScene.At(s), level);
      } else {
        session.Gear(target, gear::kRemoveFromScene.At(s));
      }
    }
  });
  if (result.Ok() && !DeviceSelected(t)) {
    StoreForSelection(t, [&t, &scenes] {
      for (uint32_t s = 0; s < 16; ++s) t.SetScenes(s, scenes[s]);
    });
  }
  return result;
}

SequenceResult ChangeGearShortAddress(BusSession& session, TBalastConfig& t, int newAddress) {
  const uint8_t current = t.CurrentSlot();
  const SequenceResult refused{kSequenceRefused, {}};
  // Only a device has a short address to change; the group slot's "2·64 + 1" would be group 0.
  if (current >= TConfig::kGroupSlot || t.IsSlotFree(current)) return refused;
  if (newAddress < 0 || (newAddress >= 64 && newAddress != 255)) return refused;
  if (newAddress == current) return refused;
  if (newAddress != 255 && !t.IsSlotFree(static_cast<uint32_t>(newAddress))) return refused;

  const uint8_t dtr =
      newAddress == 255 ? gear::kNoAddress : BusTarget::Device(newAddress).GearCommandByte();
  SequenceResult result = RunSequence(
      [&] { session.GearStore(BusTarget::Device(current), gear::kStoreDtrAsShortAddress, dtr); });
  if (result.Ok()) t.MoveGear(static_cast<uint8_t>(newAddress), current);
  return result;
}

SequenceResult SendLocateStep(BusSession& session, const BusTarget& target, int step) {
  return RunSequence(
      [&] { session.Gear(target, step % 2 == 0 ? gear::kRecallMinLevel : gear::kRecallMaxLevel); });
}

SequenceResult ResetGear(BusSession& session, const TBalastConfig& t) {
  return RunSequence([&] { session.Gear(SelectedTarget(t), gear::kReset); });
}

SequenceResult ReadDiagnostics(BusSession& session, int a, Diagnostics& values) {
  values.fill(std::nullopt);
  return RunSequence([&] {
    session.GearSpecial(gear::kDtr, 0);
    // The device answers the byte at DTR and moves DTR on, so nine reads walk locations 0..8.
    for (std::optional<uint8_t>& value : values) {
      session.Gear(BusTarget::Device(a), gear::kReadMemoryLocation);
      if (session.Answered()) value = session.Answer();
    }
  });
}

SequenceResult WriteDiagnostics(BusSession& session, int a,
                                const std::array<uint8_t, kDiagnosticSettings>& values) {
  return RunSequence([&] {
    session.GearSpecial(gear::kDtr, 0);
    session.Gear(BusTarget::Device(a), gear::kEnableWriteMemory);
    for (uint8_t value : values) session.GearSpecial(gear::kWriteMemoryLocation, value);
  });
}

}  // namespace lumetra
