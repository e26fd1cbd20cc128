// The controlled lights' address byte of the sensors (the motion sensor's and the combined
// sensor's CmndAddress, the light sensor's zones): a DALI address byte without the selector bit.
// 2a names short address a (0..63), 0x80 + 2g group g (0..15), 0xFE and above all control gear;
// 0xFF is erased memory. Every editor, document section and report line reads and forms the byte
// here.
#pragma once

#include <cstdint>
#include <optional>

namespace lumetra {

enum class LightsKind : uint8_t {
  All,
  Group,
  Device,
  // Erased (0xFF), or a byte with bit 7 set that names a group above 15, which does not exist.
  Unknown
};

struct LightsAddress {
  LightsKind kind = LightsKind::Unknown;
  // The group (0..15) or the short address (0..63); 0 for all and unknown.
  uint8_t number = 0;
};

inline constexpr uint8_t kLightsAll = 0xFE;
inline constexpr uint8_t kLargestLightsGroup = 15;
inline constexpr uint8_t kLargestLightsDevice = 63;

// 0xFF is unknown; 0xFE all; bit 7 set a group ((b / 2) mod 64, unknown above 15); otherwise the
// short address b / 2.
LightsAddress DecodeLightsAddress(uint8_t b);

// The largest number `kind` takes: 15 for a group, 63 for a device, 0 otherwise.
uint8_t LargestLightsNumber(LightsKind kind);

// The byte for `kind` and its number: none for unknown, or for a group or device without a number
// or with one beyond its range, so that nothing is cut to its low bits or made up.
std::optional<uint8_t> EncodeLightsAddress(LightsKind kind, std::optional<uint32_t> number);

// The source short address of a response entry: 0..63; anything else (255 of an empty entry, the
// 127 of a light sensor's 7-bit field) is no source.
inline constexpr uint8_t kNoSource = 0xFF;
inline constexpr uint8_t kLargestSource = 63;
constexpr bool IsResponseSource(uint32_t address) { return address <= kLargestSource; }

}  // namespace lumetra
