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

}  // namespace

ImageWrite PlanSwitchInputs(TControllerConfig& t) {
  const uint16_t first = kSwitchImage.Index(switch_image::kDevice, 0, switch_image::kType0);
  return PlanImageWrite(t, kSwitchImage, first, kSwitchImage.length);
}

ImageWrite PlanSwitchSequences(TControllerConfig& t) {
  return PlanImageWrite(t, kSwitchImage, 0, kSwitchImageBytes);
}

SequenceResult WriteSwitchInputs(BusSession& session, TControllerConfig& t) {
  if (auto refused = RefuseFreeSlot(t)) return *refused;
  SwitchLayout layout = t.Switch();
  const uint8_t types[2] = {layout.Type0(), layout.Type1()};
  const uint16_t first = kSwitchImage.Index(switch_image::kDevice, 0, switch_image::kType0);
  for (int i = 0; i < 2; ++i) {
    if (layout.Pending(first + i) && types[i] >= kInputTypes) {
      return Refused("Typ ovládacieho prvku " + std::to_string(i + 1) + " nie je zvolený");
    }
  }
  if (layout.Pending(first + 2) && layout.ButtonsEnabled() == 0xFF) {
    return Refused("Povolenie ovládacích prvkov nie je prečítané ani zvolené");
  }
  return WriteImage(session, t, PlanSwitchInputs(t));
}

std::vector<uint8_t> SwitchImageBytes(TControllerConfig& t) {
  SwitchLayout layout = t.Switch();
  std::vector<uint8_t> bytes;
  bytes.reserve(kSwitchImageBytes);
  for (uint16_t i = 0; i < kSwitchImageBytes; ++i) bytes.push_back(layout.ImageByteAt(i));
  return bytes;
}

SequenceResult WriteSwitchSequences(BusSession& session, TControllerConfig& t,
                                    const std::function<void(int written)>& written) {
  return WriteImage(session, t, PlanSwitchSequences(t), written);
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
