// Simulated opto-relays: the outputs their test commands and their responses to other devices'
// messages switch, with the responses written into bank 0xB0 byte by byte as a configurator would.
#include <gtest/gtest.h>

#include <utility>

#include "LineFixture.h"

namespace lumetra::sim::test {
namespace {

constexpr uint8_t kRelay = 7;
constexpr uint8_t kSwitch =
    3;  // multimaster push-button: press sends 0x20 + input, then 0x00 + input
constexpr uint8_t kQuietOne = 4;  // a switch that is not multimaster

class Relays : public LineFixture {
 protected:
  void SetUp() override {
    DeviceDescription sw = DeviceAt(kSwitch, kKindSwitch, 1, 2);
    sw.multimaster = true;
    Build({"", {}, {sw, DeviceAt(kQuietOne), DeviceAt(kRelay, kKindOptoRelay, 1, 2)}});
    line->SetRelayOutputs([this](uint8_t a, uint8_t outputs) { changes.push_back({a, outputs}); });
  }
  // Response j: [address, message index, code, operator, level low, level high, RelayOn].
  void WriteResponse(int j, std::array<uint8_t, 7> bytes) {
    Write(static_cast<uint8_t>(7 + 7 * j), {bytes.begin(), bytes.end()});
  }
  void Write(uint8_t location, std::vector<uint8_t> bytes) {
    Device(kRelay, 5, 0xB0);
    Device(kRelay, 3, location);
    Device(kRelay, 0, 6);
    for (uint8_t b : bytes) Device(kRelay, 7, b);
    Device(kRelay, 0, 5);
  }
  void Press(uint8_t device, uint8_t input) { Device(device, 130, input); }
  uint8_t Outputs() { return static_cast<uint8_t>(Device(kRelay, 133, 0)); }

  std::vector<std::pair<uint8_t, uint8_t>> changes;
};

TEST_F(Relays, TestCommandsSwitchOneOutputAndEveryChangeIsReported) {
  Device(kRelay, 130, 2);  // output C on
  Device(kRelay, 130, 2);  // already on: no change to report
  Device(kRelay, 130, 0);
  Device(kRelay, 132, 2);
  Device(kRelay, 130, 4);  // there is no fifth output
  EXPECT_EQ(Outputs(), 0x01);
  EXPECT_EQ(changes, (std::vector<std::pair<uint8_t, uint8_t>>{
                         {kRelay, 0x04}, {kRelay, 0x05}, {kRelay, 0x01}}));
}

TEST_F(Relays, ResponsesActOnTheirSourceAndMessageOnly) {
  // 0: switch 3's input 1 pressed (0x20) switches A and C on; 1: its release (0x00) switches C
  // off; 2: the same press from the quiet switch; 3: a level comparison, which the line's
  // messages never carry; 4: input 2 pressed with no action.
  WriteResponse(0, {kSwitch, 1, 0x20, 0xFF, 0xFF, 0xFF, 0x15});
  WriteResponse(1, {kSwitch, 3, 0x00, 0xFF, 0xFF, 0xFF, 0x04});
  WriteResponse(2, {kQuietOne, 1, 0x20, 0xFF, 0xFF, 0xFF, 0x1F});
  WriteResponse(3, {kSwitch, 1, 0x20, 3, 0x90, 0x01, 0x1A});
  WriteResponse(4, {kSwitch, 4, 0x21, 0xFF, 0xFF, 0xFF, 0xFF});
  EXPECT_EQ(Outputs(), 0);

  Press(kSwitch, 0);  // press and release of a push-button: 0x20 then 0x00
  EXPECT_EQ(Outputs(), 0x01);
  EXPECT_EQ(changes, (std::vector<std::pair<uint8_t, uint8_t>>{{kRelay, 0x01}}))
      << "one change per exchange, after everything the frame caused";
  Press(kSwitch, 1);
  Press(kQuietOne, 0);
  EXPECT_EQ(Outputs(), 0x01);

  Write(231, {0});  // relay disabled: it hears nothing
  Device(kRelay, 132, 0);
  Press(kSwitch, 0);
  EXPECT_EQ(Outputs(), 0);
  Write(231, {1});
  Press(kSwitch, 0);
  EXPECT_EQ(Outputs(), 0x01);
}

}  // namespace
}  // namespace lumetra::sim::test
