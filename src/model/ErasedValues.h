// Which stored values of a control device were never programmed. A device's memory is erased to
// all ones, and the record starts that way: such a value is no setting, so the editors show it as
// unknown (an empty edit, a partially checked box, no radio item chosen) and the report leaves it
// blank. Every page and every report line asks here, by the width or kind of the field.
#pragma once

#include <cstdint>

#include "model/FieldEntry.h"

namespace lumetra {

// The erased 8-bit field.
inline constexpr uint8_t kErasedByte = 0xFF;

// An 8-bit field.
constexpr bool ErasedByte(uint32_t value) { return value == kErasedByte; }

// A 16-bit device value held in 32 bits: all bits set as the record starts, or 65535 as a
// reading of erased memory leaves it (both bytes 0xFF).
constexpr bool ErasedWide(uint32_t value) { return value >= 0xFFFF; }
// The largest 16-bit setting an editor takes: 65535 would read back as never programmed.
inline constexpr uint32_t kLargestWideSetting = 0xFFFE;

// A wait in seconds: anything above 18:00:00 (65535 read from erased memory, all bits set) is no
// time anybody could have set.
constexpr bool ErasedWait(uint32_t seconds) { return seconds > kLongestWait; }

}  // namespace lumetra
