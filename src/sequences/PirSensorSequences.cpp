// The motion sensor editor's bus sequences over the shared memory write.
#include "sequences/PirSensorSequences.h"

#include <string>

#include "model/ControllerConfig.h"
#include "sequences/DeviceSequences.h"

namespace lumetra {

namespace {

// Image indices of the kind 131 image.
constexpr uint32_t kParameterBytes = 10;
constexpr uint32_t kOncBytes = 5;
constexpr uint32_t kOncCount = 32;
constexpr uint32_t kEnableIndex = kParameterBytes + kOncBytes * kOncCount;

SequenceResult Refused(std::string reason) {
  return SequenceResult{kSequenceRefused, {}, std::move(reason)};
}

struct TestRequest {
  const BusCommand& command;
  uint8_t parameter;
};

// SET INDICATOR takes the state in bits 5-7 for the sensor's one indicator.
constexpr uint8_t IndicatorState(uint8_t state) { return static_cast<uint8_t>(state << 5); }

TestRequest RequestOf(PirSensorTest test) {
  switch (test) {
    case PirSensorTest::kAlarm:
      return {device::kHoldForce, 0};
    case PirSensorTest::kQuiet:
      return {device::kReleaseSwitchOff, 0};
    case PirSensorTest::kIndicatorOff:
      return {device::kSetIndicator, IndicatorState(0)};
    case PirSensorTest::kIndicatorOn:
      return {device::kSetIndicator, IndicatorState(1)};
    case PirSensorTest::kBlinkWhole:
      return {device::kSetIndicator, IndicatorState(2)};
    case PirSensorTest::kBlinkHalf:
      return {device::kSetIndicator, IndicatorState(3)};
    case PirSensorTest::kBlinkQuarter:
      return {device::kSetIndicator, IndicatorState(4)};
    case PirSensorTest::kBlinkEighth:
      return {device::kSetIndicator, IndicatorState(5)};
  }
  return {device::kSetIndicator, IndicatorState(0)};
}

}  // namespace

std::vector<uint8_t> PirSensorSettingsBytes(TControllerConfig& t) {
  const PirSensorLayout layout = t.PirSensor();
  std::vector<uint8_t> bytes;
  bytes.reserve(kEnableIndex);
  for (uint32_t n = 0; n < kParameterBytes; ++n) bytes.push_back(layout.ImageByte(n));
  for (uint32_t j = 0; j < kOncCount; ++j) {
    for (uint32_t n = 0; n < kOncBytes; ++n) bytes.push_back(layout.ImageByte(j, n));
  }
  return bytes;
}

SequenceResult WritePirSensorEnabled(BusSession& session, TControllerConfig& t) {
  return WriteEnableByte(session, t, kPirSensorImage,
                         "Stav senzora nie je prečítaný ani zadaný: označte \"Senzor povolený\"");
}

ImageWrite PlanPirSensorSettings(TControllerConfig& t) {
  return PlanImageWrite(t, kPirSensorImage, 0, kEnableIndex);
}

SequenceResult WritePirSensorSettings(BusSession& session, TControllerConfig& t,
                                      const std::function<void(int n)>& written) {
  static const char* const kWaitNames[kPirTimedCommands] = {"rozsvecovania", "1. stmievania"};
  const PirSensorLayout layout = t.PirSensor();
  for (int c = 0; c < kPirTimedCommands; ++c) {
    const uint16_t at =
        kPirSensorImage.Index(pir_image::kCommands, static_cast<uint16_t>(c), pir_image::kTimeout);
    if (layout.Pending(at) &&
        layout.Commands(static_cast<uint32_t>(c)).Timeout() > kPirMaxTimeout) {
      return Refused(std::string("Čakanie ") + kWaitNames[c] +
                     " je mimo rozsahu 0:00:00 až 18:00:00");
    }
  }
  return WriteImage(session, t, PlanPirSensorSettings(t), [&](int count) {
    if (written) written(count - 1);
  });
}

SequenceResult SendPirSensorTest(BusSession& session, const TConfig& t, PirSensorTest test) {
  if (t.CurrentSlot() < TConfig::kGroupSlot && t.IsSlotFree(t.CurrentSlot())) {
    return Refused("Nie je vybraný žiadny ovládač");
  }
  const TestRequest request = RequestOf(test);
  return RunSequence(
      [&] { session.Device(SelectedTarget(t), request.command, request.parameter); });
}

}  // namespace lumetra
