// Which outputs of an opto-relay response the editor and the report show as switched.
#pragma once

#include <cstdint>

#include "model/ControllerLayouts.h"

namespace lumetra {

// Bits 0..3 = outputs A..D. An erased RelayOn byte (0xFF) names no outputs: it was never set, and
// its four set bits would otherwise show an empty response switching every output.
inline uint8_t ShownOutputs(const RelayOnc& onc) {
  return onc.RelayOn() == 0xFF ? 0 : static_cast<uint8_t>(onc.RelayOn() & 0x0F);
}

}  // namespace lumetra
