// The controlled lights' address byte: what every byte names, and that forming a byte never cuts a
// number to its low bits or makes one up.
#include <gtest/gtest.h>

#include "model/LightsAddress.h"

namespace lumetra {
namespace {

TEST(LightsAddress, EveryByteDecodesToWhatItNames) {
  const struct {
    uint8_t b;
    LightsKind kind;
    uint8_t number;
  } cases[] = {
      {0x00, LightsKind::Device, 0},
      {0x0C, LightsKind::Device, 6},
      {0x7E, LightsKind::Device, 63},
      {0x80, LightsKind::Group, 0},
      {0x8A, LightsKind::Group, 5},
      {0x9E, LightsKind::Group, 15},
      // Bit 7 with a number above 15 names a group that does not exist.
      {0xA2, LightsKind::Unknown, 0},
      {0xA0, LightsKind::Unknown, 0},
      {0xFD, LightsKind::Unknown, 0},
      {0xFE, LightsKind::All, 0},
      {0xFF, LightsKind::Unknown, 0},
  };
  for (const auto& c : cases) {
    const LightsAddress a = DecodeLightsAddress(c.b);
    EXPECT_EQ(a.kind, c.kind) << int(c.b);
    EXPECT_EQ(a.number, c.number) << int(c.b);
  }
}

TEST(LightsAddress, EveryAddressAndGroupComesBackAndNothingElseIsFormed) {
  for (uint32_t a = 0; a <= 63; ++a) {
    const std::optional<uint8_t> b = EncodeLightsAddress(LightsKind::Device, a);
    ASSERT_TRUE(b) << a;
    EXPECT_EQ(DecodeLightsAddress(*b).kind, LightsKind::Device);
    EXPECT_EQ(DecodeLightsAddress(*b).number, a);
  }
  for (uint32_t g = 0; g <= 15; ++g) {
    const std::optional<uint8_t> b = EncodeLightsAddress(LightsKind::Group, g);
    ASSERT_TRUE(b) << g;
    EXPECT_EQ(DecodeLightsAddress(*b).kind, LightsKind::Group);
    EXPECT_EQ(DecodeLightsAddress(*b).number, g);
  }
  EXPECT_EQ(EncodeLightsAddress(LightsKind::All, std::nullopt), 0xFE);
  EXPECT_EQ(EncodeLightsAddress(LightsKind::Device, 64u), std::nullopt);
  EXPECT_EQ(EncodeLightsAddress(LightsKind::Device, 255u), std::nullopt) << "the 255 of all";
  EXPECT_EQ(EncodeLightsAddress(LightsKind::Group, 16u), std::nullopt);
  EXPECT_EQ(EncodeLightsAddress(LightsKind::Device, std::nullopt), std::nullopt);
  EXPECT_EQ(EncodeLightsAddress(LightsKind::Unknown, 3u), std::nullopt);
}

}  // namespace
}  // namespace lumetra
