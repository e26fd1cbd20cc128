// What the push-button and switch editor sends: the input types with their enable bits, the four
// command sequences with the responses of both inputs, and the test commands.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "buslink/BusSession.h"
#include "sequences/DeviceSequences.h"

namespace lumetra {

class TControllerConfig;

// Location of Type0 in bank 0xB0; Type1 and ButtonsEnabled follow it.
inline constexpr uint8_t kSwitchInputsLocation = 239;
// The sequences and responses start at the kind image.
inline constexpr uint8_t kSwitchSequencesLocation = 7;
inline constexpr int kSwitchSequenceBytes = 4 * 26;
inline constexpr int kSwitchResponseBytes = 2 * 16 * 4;
inline constexpr int kSwitchImageBytes = kSwitchSequenceBytes + kSwitchResponseBytes;

// Both writes go to the selection and send what WriteImage sends: the bytes set and not yet on
// the device; written to a group or to all devices, the records of the switches that heard them
// take what was sent.
//
// Type0, Type1 and ButtonsEnabled of the selection's record. Refused while an input type to be
// sent is none of the three.
ImageWrite PlanSwitchInputs(TControllerConfig& table);
SequenceResult WriteSwitchInputs(BusSession& session, TControllerConfig& table);

// The 232 image bytes of the sequences (104) and the responses (128), in image order.
std::vector<uint8_t> SwitchImageBytes(TControllerConfig& table);

// The sequences and responses; `written(n)` is told after each byte that went through. A failed
// byte stops the write (DISABLE WRITE MEMORY still goes out) and its number is in the result's
// step: "WRITE MEMORY SINGLE BYTE C 09 (bajt 18 z 232)".
ImageWrite PlanSwitchSequences(TControllerConfig& table);
SequenceResult WriteSwitchSequences(BusSession& session, TControllerConfig& table,
                                    const std::function<void(int written)>& written = {});

// The test buttons: the device acts as if input 0..1 were pressed short or held; indicator 0..3
// takes code 0 off, 1 on, 2..5 blinking 1, 1/2, 1/4, 1/8 s. Nothing is stored.
SequenceResult PressSwitchInput(BusSession& session, const TControllerConfig& table, int input);
SequenceResult HoldSwitchInput(BusSession& session, const TControllerConfig& table, int input);
SequenceResult SetSwitchIndicator(BusSession& session, const TControllerConfig& table,
                                  int indicator, int code);

// The SET INDICATOR parameter: the indicator in bits 0-4, its code in bits 5-7.
constexpr uint8_t IndicatorParameter(int indicator, int code) {
  return static_cast<uint8_t>((indicator & 0x1F) | ((code & 0x07) << 5));
}

}  // namespace lumetra
