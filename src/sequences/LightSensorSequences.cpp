// The light sensor's and the combined sensor's bus sequences.
#include "sequences/LightSensorSequences.h"

#include <string>

#include "model/ControllerConfig.h"
#include "model/ErasedValues.h"
#include "model/KindImage.h"
#include "sequences/DeviceSequences.h"

namespace lumetra {

namespace {

SequenceResult Refused(std::string reason) {
  return SequenceResult{kSequenceRefused, {}, std::move(reason)};
}

bool DeviceSelected(const TConfig& t) { return t.CurrentSlot() < TConfig::kGroupSlot; }

std::optional<SequenceResult> RefuseFreeSlot(const TConfig& t) {
  if (DeviceSelected(t) && t.IsSlotFree(t.CurrentSlot())) {
    return Refused("Nie je vybraný žiadny ovládač");
  }
  return std::nullopt;
}

SequenceResult WriteEnabled(BusSession& session, TControllerConfig& t, const KindImage& kind,
                            uint8_t mask) {
  if (auto refused = RefuseFreeSlot(t)) return *refused;
  return WriteEnableByte(session, t, kind,
                         "Povolenie senzora nie je nastavené ani prečítané: nie je čo zapísať",
                         mask);
}

}  // namespace

bool LightSensorHasDeltaScale(uint8_t version, uint8_t minVersion) {
  return !kLightSensorImage.gap.AppliesTo(version, minVersion);
}

bool LightSensorLowByteInDtr(uint8_t version, uint8_t minVersion) {
  return version == 1 && minVersion <= 2;
}

bool PirLightSensorHasSecondSequence(uint8_t version, uint8_t minVersion) {
  return !kPirLightSensorImage.gap.AppliesTo(version, minVersion);
}

std::vector<uint8_t> SensorImageBytes(TControllerConfig& t, const KindImage& kind) {
  KindRecord image = t.Image(kind);
  std::vector<uint8_t> bytes;
  bytes.reserve(kind.EnableIndex());
  for (uint16_t i = 0; i < kind.EnableIndex(); ++i) {
    if (image.Location(i) >= 0) bytes.push_back(image.ImageByteAt(i));
  }
  return bytes;
}

ImageWrite PlanSensorImage(TControllerConfig& t, const KindImage& kind) {
  return PlanImageWrite(t, kind, 0, kind.EnableIndex());
}

SequenceResult WriteLightSensorImage(BusSession& session, TControllerConfig& t,
                                     const std::function<void(int written)>& written) {
  return WriteImage(session, t, PlanSensorImage(t, kLightSensorImage), written);
}

SequenceResult WritePirLightSensorImage(BusSession& session, TControllerConfig& t,
                                        const std::function<void(int written)>& written) {
  return WriteImage(session, t, PlanSensorImage(t, kPirLightSensorImage), written);
}

SequenceResult WriteLightSensorEnabled(BusSession& session, TControllerConfig& t) {
  return WriteEnabled(session, t, kLightSensorImage, 0xFF);
}

SequenceResult WritePirLightSensorEnabled(BusSession& session, TControllerConfig& t) {
  return WriteEnabled(session, t, kPirLightSensorImage, 0x01);
}

MeasuredValue ReadMeasuredIlluminance(BusSession& session, TControllerConfig& t) {
  MeasuredValue measured;
  if (!DeviceSelected(t)) {
    measured.result = Refused("Nameranú hodnotu je možné čítať len z jedného senzora");
    return measured;
  }
  if (auto refused = RefuseFreeSlot(t)) {
    measured.result = *refused;
    return measured;
  }
  const bool light = t.DeviceType() == kKindLightSensor;
  const BusCommand& low =
      light && LightSensorLowByteInDtr(t.FirmwareVersion(), t.FirmwareMinVersion())
          ? device::kQueryDtr
          : device::kQueryDtr1;
  const BusTarget target = SelectedTarget(t);
  std::optional<uint8_t> high;
  std::optional<uint8_t> lowByte;
  measured.result = RunSequence([&] {
    session.Device(target, device::kQueryState);
    if (!session.Answered()) return;
    high = session.Answer();
    session.Device(target, low);
    if (session.Answered()) lowByte = session.Answer();
  });
  if (high && lowByte) measured.value = static_cast<uint16_t>(*high << 8 | *lowByte);
  return measured;
}

SequenceResult TestSensorIndicator(BusSession& session, const TControllerConfig& t, int state) {
  if (state < 0 || state >= kIndicatorStates) return Refused("Neznámy stav indikátora");
  if (auto refused = RefuseFreeSlot(t)) return *refused;
  return RunSequence([&] {
    session.Device(SelectedTarget(t), device::kSetIndicator, static_cast<uint8_t>(32 * state));
  });
}

SequenceResult TestSensorMotion(BusSession& session, const TControllerConfig& t, bool motion) {
  if (auto refused = RefuseFreeSlot(t)) return *refused;
  return RunSequence([&] {
    session.Device(SelectedTarget(t), motion ? device::kHoldForce : device::kReleaseSwitchOff, 0);
  });
}

}  // namespace lumetra
