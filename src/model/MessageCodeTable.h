// The twelve messages a control device can react to: the index the editors and documents use and
// the code the device receives.
#pragma once

#include <array>
#include <cstdint>

namespace lumetra {

struct MessageCode {
  const char* Text;  // combo-box item; the first item is empty (no message)
  uint8_t Code;
};

// Codes repeat (0x00 and 0x01 twice), so a code maps back to the first index that has it. An index
// outside 0..11 has no entry: storing one stores index and code 0xFF (no message), so nothing ever
// reads past the table.
inline constexpr std::array<MessageCode, 12> MessageCodeTable = {{
    {"", 0xFF},
    {"Tl. 1 stlačené / zapnuté", 0x20},
    {"Tl. 1 dlho stlačené", 0x40},
    {"Tl. 1 pustené / vypnuté", 0x00},
    {"Tl. 2 stlačené / zapnuté", 0x21},
    {"Tl. 2 dlho stlačené", 0x41},
    {"Tl. 2 pustené / vypnuté", 0x01},
    {"PIR alarm", 0x01},
    {"PIR kľud", 0x00},
    {"PIR stmievanie 1", 0x02},
    {"PIR stmievanie 2", 0x04},
    {"Úroveň svetla", 0xFE},
}};

inline constexpr uint8_t kNoMessageIndex = 12;

// Index stored by a MessageIndex setter: unchanged within the table, 0xFF outside it.
constexpr uint8_t StoredMessageIndex(uint32_t index) {
  return index < MessageCodeTable.size() ? static_cast<uint8_t>(index) : 0xFF;
}

constexpr uint8_t MessageCodeOf(uint32_t index) {
  return index < MessageCodeTable.size() ? MessageCodeTable[index].Code : 0xFF;
}

// First index whose code matches; 12 when the code is not in the table.
constexpr uint8_t MessageIndexOf(uint8_t code) {
  for (uint8_t i = 0; i < MessageCodeTable.size(); ++i)
    if (MessageCodeTable[i].Code == code) return i;
  return kNoMessageIndex;
}

}  // namespace lumetra
