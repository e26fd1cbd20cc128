// What the light sensor's and the combined motion and light sensor's editors send: the enable
// byte, the image of their regulation values and responses as the device's firmware holds it, the
// reading of the measured illuminance and the test commands.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "buslink/BusSession.h"
#include "sequences/DeviceSequences.h"
#include "sequences/GearSequences.h"

namespace lumetra {

class TControllerConfig;
struct KindImage;

// The firmware rules of the two kinds, by Version (major) and MinVersion (minor).
// A light sensor of 1.000 and 1.001 has no Delta and Scale.
bool LightSensorHasDeltaScale(uint8_t version, uint8_t minVersion);
// A light sensor up to 1.002 hands the low byte of its measurement over in DTR, later ones in DTR1.
bool LightSensorLowByteInDtr(uint8_t version, uint8_t minVersion);
// A combined sensor of 1.000 has no second sequence.
bool PirLightSensorHasSecondSequence(uint8_t version, uint8_t minVersion);

// The largest illuminance or percentage the devices hold (16 bits).
inline constexpr uint32_t kLargestDeviceValue = 0xFFFF;

// The image bytes before the enable byte of the selected record, as `kind` (light or combined
// sensor) lays them out on the selected slot's firmware: bytes the firmware lacks are left out,
// so the rest follow on as the device's memory holds them from location 7.
std::vector<uint8_t> SensorImageBytes(TControllerConfig& table, const KindImage& kind);

// Of the regulation values and the 32 responses (the image before the enable byte, at the
// locations the slot's firmware keeps them), what WriteImage sends: `written(n)` after each byte
// that went through (n from 1).
ImageWrite PlanSensorImage(TControllerConfig& table, const KindImage& kind);
SequenceResult WriteLightSensorImage(BusSession& session, TControllerConfig& table,
                                     const std::function<void(int written)>& written = {});
SequenceResult WritePirLightSensorImage(BusSession& session, TControllerConfig& table,
                                        const std::function<void(int written)>& written = {});

// SensorEnabled into the location where the slot's firmware keeps it, the one the reading of the
// device takes it from (the byte after the image). Refused while the byte was neither read nor
// set. The combined sensor's byte goes out as its bit 0.
SequenceResult WriteLightSensorEnabled(BusSession& session, TControllerConfig& table);
SequenceResult WritePirLightSensorEnabled(BusSession& session, TControllerConfig& table);

// "Čítať hodnotu": QUERY STATE gives the high byte of the measurement, then QUERY DTR (light
// sensor up to 1.002) or QUERY DTR1 the low byte. `value` is set only when both queries were
// answered; only one device is asked.
struct MeasuredValue {
  SequenceResult result;
  std::optional<uint16_t> value;
};
MeasuredValue ReadMeasuredIlluminance(BusSession& session, TControllerConfig& table);

// The indicator test: "Vypnúť" 0, "Zasvietiť" 1, "Blikať 1 s" 2, "Blikať 1/2 s" 3, "Blikať 1/4 s"
// 4, "Blikať1/8 s" 5 as SET INDICATOR 32·state to the selection.
inline constexpr int kIndicatorStates = 6;
SequenceResult TestSensorIndicator(BusSession& session, const TControllerConfig& table, int state);
// "Alarm" (HOLD-FORCE) and "Kľud" (RELEASE-CLEAR-SWITCH OFF) to the selection.
SequenceResult TestSensorMotion(BusSession& session, const TControllerConfig& table, bool motion);

}  // namespace lumetra
