// The control gear editor's bus sequences and the table updates that follow them.
#include "sequences/GearSequences.h"

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

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
  GearValue GearSettings::*value;
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
  if (level >= kNoLevel)
    return {kSequenceRefused, {}, "Úroveň " + std::to_string(shown) + " nie je platná"};
  SequenceResult result =
      RunSequence([&] { session.GearLevel(SelectedTarget(t), static_cast<uint8_t>(level)); });
  if (result.Ok()) StoreForSelection(t, [&t, shown] { t.SetActualLevel(shown); });
  return result;
}

SequenceResult WriteGearSettings(BusSession& session, TBalastConfig& t,
                                 const GearSettings& settings, const ItemWritten& written) {
  return RunSequence([&] {
    const BusTarget target = SelectedTarget(t);
    for (int item = 0; item < static_cast<int>(std::size(kSettings)); ++item) {
      const Setting& s = kSettings[item];
      const GearValue& given = settings.*s.value;
      if (!given) continue;
      const uint32_t v = *given;
      // A typed level is converted once, from what was typed.
      const uint32_t data = s.level ? t.ConvertLevel(false, v) : v;
      session.GearStore(target, *s.command, static_cast<uint8_t>(data & 0xFF));
      StoreForSelection(t, [&t, &s, v] { s.store(t, v); });
      if (written) written(item);
    }
  });
}

SequenceResult WriteGearGroups(BusSession& session, TBalastConfig& t, const GearGroups& groups,
                               const ItemWritten& written) {
  const BusTarget target = SelectedTarget(t);
  // Sent to a group, the group's own removal goes last: its members hear no command to the group
  // after leaving it.
  std::vector<int> order;
  for (int g = 0; g < 16; ++g) {
    if (groups[static_cast<size_t>(g)] && !(target == BusTarget::Group(g))) order.push_back(g);
  }
  if (target.GetKind() == BusTarget::Kind::kGroup && groups[target.Number()]) {
    order.push_back(target.Number());
  }
  return RunSequence([&] {
    for (const int g : order) {
      const bool member = *groups[static_cast<size_t>(g)];
      session.Gear(target, (member ? gear::kAddToGroup : gear::kRemoveFromGroup).At(g));
      StoreForSelection(t, [&t, g, member] { t.SetGroups(static_cast<uint32_t>(g), member); });
      if (written) written(g);
    }
  });
}

SequenceResult WriteGearScenes(BusSession& session, TBalastConfig& t, const GearScenes& scenes,
                               const ItemWritten& written) {
  // The levels are converted once, from what was shown; the table takes them as the bus did.
  std::array<std::optional<uint8_t>, 16> levels{};
  for (size_t s = 0; s < 16; ++s) {
    if (scenes[s]) {
      levels[s] = static_cast<uint8_t>(std::min<uint32_t>(
          *scenes[s] >= kNoLevel ? kNoLevel : t.ConvertLevel(false, *scenes[s]), kNoLevel));
    }
  }
  const uint8_t percent = t.PercentMode();
  t.SetPercentMode(0);
  const ScopeExit restore([&t, percent] { t.SetPercentMode(percent); });
  return RunSequence([&] {
    const BusTarget target = SelectedTarget(t);
    for (int s = 0; s < 16; ++s) {
      const std::optional<uint8_t>& level = levels[static_cast<size_t>(s)];
      if (!level) continue;
      if (*level != kNoLevel) {
        session.GearStore(target, gear::kStoreDtrAsScene.At(s), *level);
      } else {
        session.Gear(target, gear::kRemoveFromScene.At(s));
      }
      const uint8_t stored = *level;
      StoreForSelection(t, [&t, s, stored] { t.SetScenes(static_cast<uint32_t>(s), stored); });
      if (written) written(s);
    }
  });
}

SequenceResult ChangeGearShortAddress(BusSession& session, TBalastConfig& t, int newAddress) {
  const uint8_t current = t.CurrentSlot();
  auto refused = [](std::string reason) {
    return SequenceResult{kSequenceRefused, {}, std::move(reason)};
  };
  const std::string number = std::to_string(newAddress);
  // Only a device has a short address to change; the group slot's "2·64 + 1" would be group 0.
  if (current >= TConfig::kGroupSlot || t.IsSlotFree(current)) {
    return refused("Adresu je možné zmeniť len jednému svietidlu");
  }
  if (newAddress < 0 || (newAddress >= 64 && newAddress != 255)) {
    return refused("Adresa " + number + " nie je platná (0 až 63, 255 adresu zmaže)");
  }
  if (newAddress == current) return refused("Svietidlo už má adresu " + number);
  if (newAddress != 255 && !t.IsSlotFree(static_cast<uint32_t>(newAddress))) {
    return refused("Adresa " + number + " je už obsadená");
  }

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
