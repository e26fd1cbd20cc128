// A small simulated line for the tests and helpers that speak to it as a gateway client would.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "sim/SimulatedLine.h"

namespace lumetra::sim::test {

inline constexpr int kNone = -1;       // no device answered
inline constexpr int kCollision = -2;  // several answered at once

// The answer a gate reply carries, checking the reply's framing on the way.
inline int AnswerOf(const Frame& reply) {
  EXPECT_EQ(reply[4], Checksum(reply));
  switch (reply[0]) {
    case kReplyAnswer:
      return reply[3];
    case kReplyNoAnswer:
      return kNone;
    case kReplyError:
      EXPECT_EQ(reply[3], kErrorReceive);
      return kCollision;
    default:
      ADD_FAILURE() << "unexpected reply kind " << int(reply[0]);
      return kNone;
  }
}

class LineFixture : public ::testing::Test {
 protected:
  void Build(const LineDescription& description, uint64_t seed = 1) {
    line = std::make_unique<SimulatedLine>(description, seed);
    line->SetMonitor([this](const Frame& r) { records.push_back(r); });
  }
  static GearDescription GearAt(uint8_t shortAddress, uint32_t random = kUnsetRandomAddress) {
    GearDescription g;
    g.shortAddress = shortAddress;
    if (random != kUnsetRandomAddress) g.randomAddress = random;
    return g;
  }
  static DeviceDescription DeviceAt(uint8_t shortAddress, uint8_t kind = kKindSwitch,
                                    uint8_t major = 1, uint8_t minor = 4) {
    DeviceDescription d;
    d.shortAddress = shortAddress;
    d.kind = kind;
    d.versionMajor = major;
    d.versionMinor = minor;
    return d;
  }

  // A 16-bit frame to control gear: address byte and opcode or data, as the configurator sends it.
  int Gear(uint8_t address, uint8_t data) {
    return AnswerOf(line->Exchange(MakeFrame(0x83, 0, address, data)).reply);
  }
  void GearTwice(uint8_t address, uint8_t data) {
    Gear(address, data);
    Gear(address, data);
  }
  // Command or query to gear with short address a.
  int ToGear(uint8_t a, uint8_t opcode) { return Gear(static_cast<uint8_t>(2 * a + 1), opcode); }
  void StoreDtr(uint8_t a, uint8_t value, uint8_t storeOpcode) {
    Gear(0xA3, value);
    GearTwice(static_cast<uint8_t>(2 * a + 1), storeOpcode);
  }
  void SetSearch(uint32_t search) {
    Gear(0xB1, static_cast<uint8_t>(search >> 16));
    Gear(0xB3, static_cast<uint8_t>(search >> 8));
    Gear(0xB5, static_cast<uint8_t>(search));
  }

  int Device(uint8_t address, uint8_t opcode, uint8_t param) {
    return AnswerOf(line->Exchange(MakeFrame(0x84, address, opcode, param)).reply);
  }
  void DeviceTwice(uint8_t address, uint8_t opcode, uint8_t param) {
    Device(address, opcode, param);
    Device(address, opcode, param);
  }

  std::unique_ptr<SimulatedLine> line;
  std::vector<Frame> records;
};

}  // namespace lumetra::sim::test
