// The controlled lights' address byte.
#include "model/LightsAddress.h"

#include "model/ErasedValues.h"

namespace lumetra {

LightsAddress DecodeLightsAddress(uint8_t b) {
  if (ErasedByte(b)) return {};
  if (b >= kLightsAll) return {LightsKind::All, 0};
  const auto number = static_cast<uint8_t>((b >> 1) & 0x3F);
  if ((b & 0x80) == 0) return {LightsKind::Device, number};
  if (number > kLargestLightsGroup) return {};
  return {LightsKind::Group, number};
}

uint8_t LargestLightsNumber(LightsKind kind) {
  switch (kind) {
    case LightsKind::Group:
      return kLargestLightsGroup;
    case LightsKind::Device:
      return kLargestLightsDevice;
    default:
      return 0;
  }
}

std::optional<uint8_t> EncodeLightsAddress(LightsKind kind, std::optional<uint32_t> number) {
  if (kind == LightsKind::All) return kLightsAll;
  if (kind == LightsKind::Unknown || !number || *number > LargestLightsNumber(kind)) {
    return std::nullopt;
  }
  const auto twice = static_cast<uint8_t>(2 * *number);
  return kind == LightsKind::Group ? static_cast<uint8_t>(0x80 + twice) : twice;
}

}  // namespace lumetra
