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

bool Unset(uint32_t wide) { return ErasedWide(wide); }
// 255 is erased memory, no light output level.
bool UnsetLevel(uint8_t level) { return ErasedByte(level); }

SequenceResult WriteImage(BusSession& session, TControllerConfig& t, const KindImage& kind,
                          std::optional<const char*> unset,
                          const std::function<void(int written)>& written) {
  if (auto refused = RefuseFreeSlot(t)) return *refused;
  if (unset) {
    return Refused(std::string(*unset) + " nie je nastavená ani prečítaná: zadajte ju alebo " +
                   "prečítajte parametre senzora");
  }
  return WriteDeviceMemory(session, t, kImageFirstLocation, SensorImageBytes(t, kind), written);
}

SequenceResult WriteEnabled(BusSession& session, TControllerConfig& t, const KindImage& kind,
                            uint8_t mask) {
  if (auto refused = RefuseFreeSlot(t)) return *refused;
  KindRecord image = t.Image(kind);
  const uint8_t enabled = image.ImageByteAt(kind.EnableIndex());
  if (enabled == 0xFF) {
    return Refused("Povolenie senzora nie je nastavené ani prečítané: nie je čo zapísať");
  }
  const int location = image.Location(kind.EnableIndex());
  return WriteDeviceMemory(session, t, static_cast<uint8_t>(location),
                           {static_cast<uint8_t>(enabled & mask)});
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

int SensorImageCountShown(const KindImage& kind) { return kind.EnableIndex() - 1; }

std::optional<const char*> LightSensorUnsetField(TControllerConfig& t) {
  const LightSensorLayout s = t.LightSensor();
  if (Unset(s.DefaultLevel())) return "Úroveň";
  if (Unset(s.OnLevel())) return "Úroveň zapnutia";
  if (Unset(s.OffLevel())) return "Úroveň vypnutia";
  if (Unset(s.OffTimeout())) return "Doba čakania pred vypnutím";
  if (UnsetLevel(s.MaxLevel())) return "Maximálna úroveň svietidiel";
  if (UnsetLevel(s.MinLevel())) return "Minimálna úroveň svietidiel";
  return std::nullopt;
}

std::optional<const char*> PirLightSensorUnsetField(TControllerConfig& t) {
  const PirLightSensorLayout s = t.PirLightSensor();
  static const char* const kLevels[2][3] = {
      {"Úroveň rozsvecovania priebehu 1", "Úroveň 1. stmievania priebehu 1",
       "Úroveň 2. stmievania priebehu 1"},
      {"Úroveň rozsvecovania priebehu 2", "Úroveň 1. stmievania priebehu 2",
       "Úroveň 2. stmievania priebehu 2"}};
  static const char* const kWaits[2][2] = {
      {"Doba čakania rozsvecovania priebehu 1", "Doba čakania 1. stmievania priebehu 1"},
      {"Doba čakania rozsvecovania priebehu 2", "Doba čakania 1. stmievania priebehu 2"}};
  const int sequences =
      PirLightSensorHasSecondSequence(t.FirmwareVersion(), t.FirmwareMinVersion()) ? 2 : 1;
  for (int q = 0; q < sequences; ++q) {
    for (int c = 0; c < 3; ++c) {
      const PirLightCommand command = s.Sequences(q).Commands(c);
      if (Unset(command.Level())) return kLevels[q][c];
      // The wait of the last command has no editor: it goes out as the table holds it.
      if (c < 2 && Unset(command.Timeout())) return kWaits[q][c];
    }
  }
  if (Unset(s.OnLevel())) return "Úroveň zapnutia";
  if (Unset(s.OffLevel())) return "Úroveň vypnutia";
  if (Unset(s.OffTimeout())) return "Doba čakania pred vypnutím";
  if (UnsetLevel(s.MaxLevel())) return "Maximálna úroveň svietidiel";
  if (UnsetLevel(s.MinLevel())) return "Minimálna úroveň svietidiel";
  return std::nullopt;
}

SequenceResult WriteLightSensorImage(BusSession& session, TControllerConfig& t,
                                     const std::function<void(int written)>& written) {
  return WriteImage(session, t, kLightSensorImage, LightSensorUnsetField(t), written);
}

SequenceResult WritePirLightSensorImage(BusSession& session, TControllerConfig& t,
                                        const std::function<void(int written)>& written) {
  return WriteImage(session, t, kPirLightSensorImage, PirLightSensorUnsetField(t), written);
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
