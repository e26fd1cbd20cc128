// What the opto-relay editor sends: its enable byte, the image of its 32 responses and the two
// test commands that switch one output directly.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "buslink/BusSession.h"
#include "sequences/DeviceSequences.h"
#include "sequences/GearSequences.h"

namespace lumetra {

class TControllerConfig;

// Outputs A..D are 0..3 in the test commands and bits 0..3 of a response's RelayOn byte.
inline constexpr int kRelayOutputs = 4;

// The image bytes of the selected record's 32 responses, in image order (224 bytes from location
// 7 on): what the responses' write sends.
std::vector<uint8_t> RelayResponseImage(TControllerConfig& table);

// RelayEnabled of the selected record into location 231. Refused when nobody read or set the
// byte: an erased byte is never written back as if it were a choice.
SequenceResult WriteRelayEnabled(BusSession& session, TControllerConfig& table);

// Of the 224 bytes of the responses, those WriteImage sends; `written(n)` after each byte that went
// through (n from 1).
ImageWrite PlanRelayResponses(TControllerConfig& table);
SequenceResult WriteRelayResponses(BusSession& session, TControllerConfig& table,
                                   const std::function<void(int written)>& written = {});

// "Zapnúť" / "Vypnúť": PRESS-RELEASE-SWITCH ON or RELEASE-CLEAR-SWITCH OFF with output 0..3 (A..D)
// to the selection. Nothing is stored.
SequenceResult TestRelayOutput(BusSession& session, const TControllerConfig& table, int output,
                               bool on);

}  // namespace lumetra
