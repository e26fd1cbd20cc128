// The push-button and switch editor's bus sequences.
#include "sequences/SwitchSequences.h"

#include <optional>
#include <string>

#include "model/ControllerConfig.h"
#include "model/KindImage.h"
#include "sequences/DeviceSequences.h"

namespace lumetra {

namespace {

constexpr uint8_t kInputTypes = 3;

SequenceResult Refused(std::string reason) {
  return SequenceResult{kSequenceRefused, {}, std::move(reason)};
}

std::optional<SequenceResult> RefuseFreeSlot(const TConfig& t) {
  if (t.CurrentSlot() < TConfig::kGroupSlot && t.IsSlotFree(t.CurrentSlot())) {
    return Refused("Nie je vybraný žiadny ovládač");
  }
  return std::nullopt;
}

// After a write to a group or to all devices every switch that heard it holds what was sent: the
// members of the group (membership never read included, as the device may be one) whose kind is
// the switch. Nothing changes for one device, whose own record was written from.
template <typename Copy>
void CopyToMembers(TControllerConfig& t, Copy copy) {
  const uint8_t selected = t.CurrentSlot();
  if (selected < TConfig::kGroupSlot) return;
  const uint8_t group = t.CurrentGroup();
  SwitchLayout from = t.Switch();
  for (uint8_t i = 0; i < TConfig::kGroupSlot; ++i) {
    if (t.IsSlotFree(i)) continue;
    t.SetCurrentSlot(i);
    if (t.DeviceType() != kKindSwitch) continue;
    if (group != TConfig::kAllDevices && t.Groups(group) == 0) continue;
    SwitchLayout to = t.Switch();
    copy(from, to);
  }
  t.SetCurrentSlot(selected);
}

}  // namespace

SequenceResult WriteSwitchInputs(BusSession& session, TControllerConfig& t) {
  if (auto refused = RefuseFreeSlot(t)) return *refused;
  SwitchLayout layout = t.Switch();
  const uint8_t types[2] = {layout.Type0(), layout.Type1()};
  for (int i = 0; i < 2; ++i) {
    if (types[i] >= kInputTypes) {
      return Refused("Typ ovládacieho prvku " + std::to_string(i + 1) + " nie je zvolený");
    }
  }
  if (layout.ButtonsEnabled() == 0xFF) {
    return Refused("Povolenie ovládacích prvkov nie je prečítané ani zvolené");
  }
  const SequenceResult result = WriteDeviceMemory(session, t, kSwitchInputsLocation,
                                                  {types[0], types[1], layout.ButtonsEnabled()});
  if (result.Ok()) {
    CopyToMembers(t, [](const SwitchLayout& from, SwitchLayout& to) {
      to.SetType0(from.Type0());
      to.SetType1(from.Type1());
      to.SetButtonsEnabled(from.ButtonsEnabled());
    });
  }
  return result;
}

std::vector<uint8_t> SwitchImageBytes(TControllerConfig& t) {
  SwitchLayout layout = t.Switch();
  std::vector<uint8_t> bytes;
  bytes.reserve(kSwitchImageBytes);
  for (uint32_t s = 0; s < 4; ++s) {
    for (uint32_t n = 0; n < 26; ++n) bytes.push_back(layout.ImageByte(s, n));
  }
  for (uint32_t i = 0; i < 2; ++i) {
    for (uint32_t j = 0; j < 16; ++j) {
      for (uint32_t n = 0; n < 4; ++n) bytes.push_back(layout.ImageByte(i, j, n));
    }
  }
  return bytes;
}

SequenceResult WriteSwitchSequences(BusSession& session, TControllerConfig& t,
                                    const std::function<void(int written)>& written) {
  if (auto refused = RefuseFreeSlot(t)) return *refused;
  const std::vector<uint8_t> bytes = SwitchImageBytes(t);
  int count = 0;
  SequenceResult result =
      WriteDeviceMemory(session, t, kSwitchSequencesLocation, bytes, [&](int n) {
        count = n;
        if (written) written(n);
      });
  if (result.Ok()) {
    CopyToMembers(t, [&bytes](const SwitchLayout&, SwitchLayout& to) {
      size_t n = 0;
      for (uint32_t s = 0; s < 4; ++s) {
        for (uint32_t i = 0; i < 26; ++i) to.SetImageByte(s, i, bytes[n++]);
      }
      for (uint32_t i = 0; i < 2; ++i) {
        for (uint32_t j = 0; j < 16; ++j) {
          for (uint32_t b = 0; b < 4; ++b) to.SetImageByte(i, j, b, bytes[n++]);
        }
      }
    });
  }
  // Which byte did not go through, when it was one of the image's.
  if (!result.Ok() && result.refusal.empty() && count < static_cast<int>(bytes.size()) &&
      result.step.rfind("WRITE MEMORY SINGLE BYTE", 0) == 0) {
    result.step +=
        " (bajt " + std::to_string(count + 1) + " z " + std::to_string(bytes.size()) + ")";
  }
  return result;
}

SequenceResult PressSwitchInput(BusSession& session, const TControllerConfig& t, int input) {
  if (auto refused = RefuseFreeSlot(t)) return *refused;
  return RunSequence([&] {
    session.Device(SelectedTarget(t), device::kPressSwitchOn, static_cast<uint8_t>(input));
  });
}

SequenceResult HoldSwitchInput(BusSession& session, const TControllerConfig& t, int input) {
  if (auto refused = RefuseFreeSlot(t)) return *refused;
  return RunSequence(
      [&] { session.Device(SelectedTarget(t), device::kHoldForce, static_cast<uint8_t>(input)); });
}

SequenceResult SetSwitchIndicator(BusSession& session, const TControllerConfig& t, int indicator,
                                  int code) {
  if (auto refused = RefuseFreeSlot(t)) return *refused;
  return RunSequence([&] {
    session.Device(SelectedTarget(t), device::kSetIndicator, IndicatorParameter(indicator, code));
  });
}

}  // namespace lumetra
