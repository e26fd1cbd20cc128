// The push-button and switch editor's bus sequences.
#include "sequences/SwitchSequences.h"

#include <optional>
#include <string>

#include "model/ControllerConfig.h"
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
  return WriteDeviceMemory(session, t, kSwitchInputsLocation,
                           {types[0], types[1], layout.ButtonsEnabled()});
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
  // Which byte did not go through, when it was one of the image's.
  if (!result.Ok() && result.refusal.empty() && count < static_cast<int>(bytes.size()) &&
      result.step.rfind("WRITE MEMORY SINGLE BYTE", 0) == 0) {
    result.step += " (bajt " + std::to_string(count + 1) + " z " + std::to_string(bytes.size()) +
                   ")";
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
  return RunSequence([&] {
    session.Device(SelectedTarget(t), device::kHoldForce, static_cast<uint8_t>(input));
  });
}

SequenceResult SetSwitchIndicator(BusSession& session, const TControllerConfig& t, int indicator,
                                  int code) {
  if (auto refused = RefuseFreeSlot(t)) return *refused;
  return RunSequence([&] {
    session.Device(SelectedTarget(t), device::kSetIndicator, IndicatorParameter(indicator, code));
  });
}

}  // namespace lumetra
