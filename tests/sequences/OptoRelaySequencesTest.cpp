// The opto-relay's sequences against the simulated line: the requests byte for byte, the image
// that lands in the device's memory, the stop at a failed byte and the output tests.
#include "sequences/OptoRelaySequences.h"

#include "SequenceLine.h"
#include "model/KindImage.h"

namespace lumetra {
namespace {

using test::Frame;
using test::SequenceLine;
using test::Wire;

Frame Device(uint8_t address, uint8_t opcode, uint8_t parameter) {
  return Wire(4, address, opcode, parameter);
}

// Relays 20 and 9 (9 in group 3), a switch 5 that may send messages.
std::unique_ptr<SequenceLine> Installed() {
  sim::LineDescription d;
  const struct {
    uint8_t address, kind;
    uint16_t groups;
  } units[] = {{20, kKindOptoRelay, 0}, {9, kKindOptoRelay, 1 << 3}, {5, kKindSwitch, 0}};
  for (const auto& u : units) {
    sim::DeviceDescription device;
    device.shortAddress = u.address;
    device.kind = u.kind;
    device.groups = u.groups;
    device.versionMinor = 2;
    d.devices.push_back(device);
  }
  auto bus = std::make_unique<SequenceLine>(d);
  for (const auto& u : units) {
    bus->devices.SetCurrentSlot(u.address);
    bus->devices.SetShortAddress(u.address);
    bus->devices.SetDeviceType(u.kind);
    for (uint32_t g = 0; g < 16; ++g) bus->devices.SetGroups(g, (u.groups >> g) & 1);
  }
  bus->devices.SetCurrentSlot(20);
  return bus;
}

// Responses 0, 17 and 31 set, the rest empty.
void Configure(TControllerConfig& t) {
  const OptoRelayLayout relay = t.OptoRelay();
  RelayOnc first = relay.Oncs(0);
  first.SetAddress(5);
  first.SetMessageIndex(11);  // "Úroveň svetla", code 0xFE
  first.SetOperator(3);
  first.SetLevel(400);
  first.SetRelayOn(0x13);
  RelayOnc middle = relay.Oncs(17);
  middle.SetAddress(5);
  middle.SetMessageIndex(1);  // code 0x20
  middle.SetRelayOn(0x14);    // switch output C on
  RelayOnc last = relay.Oncs(31);
  last.SetAddress(63);
  last.SetMessageIndex(3);  // code 0x00
  last.SetOperator(0);
  last.SetLevel(65000);
  last.SetRelayOn(0x0F);
}

TEST(OptoRelaySequencesTest, TheResponsesGoOutInImageOrderAndLandInTheDevicesMemory) {
  auto bus = Installed();
  test::SetWholeImage(bus->devices, kOptoRelayImage);
  Configure(bus->devices);
  const std::vector<uint8_t> image = RelayResponseImage(bus->devices);
  ASSERT_EQ(image.size(), 224u);
  // The image order of a response: address, message index, code, operator, level low and high,
  // RelayOn; an untouched response is erased memory.
  EXPECT_EQ(std::vector<uint8_t>(image.begin(), image.begin() + 14),
            (std::vector<uint8_t>{5, 11, 0xFE, 3, 0x90, 0x01, 0x13, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                  0xFF, 0xFF}));
  EXPECT_EQ(std::vector<uint8_t>(image.begin() + 7 * 17, image.begin() + 7 * 18),
            (std::vector<uint8_t>{5, 1, 0x20, 0xFF, 0xFF, 0xFF, 0x14}));
  EXPECT_EQ(std::vector<uint8_t>(image.end() - 7, image.end()),
            (std::vector<uint8_t>{63, 3, 0x00, 0, 0xE8, 0xFD, 0x0F}));

  std::vector<int> counts;
  const SequenceResult result =
      WriteRelayResponses(bus->session, bus->devices, [&](int n) { counts.push_back(n); });
  ASSERT_TRUE(result.Ok()) << result.Text();
  std::vector<Frame> expected = {Device(20, 5, 0xB0), Device(20, 3, 7), Device(20, 0, 6)};
  for (const uint8_t b : image) expected.push_back(Device(20, 7, b));
  expected.push_back(Device(20, 0, 5));
  EXPECT_EQ(bus->Sent(), expected);
  ASSERT_EQ(counts.size(), 224u);
  EXPECT_EQ(counts.front(), 1);
  EXPECT_EQ(counts.back(), 224);

  const sim::ControlDevice unit = bus->DeviceUnit(20);
  EXPECT_EQ(std::vector<uint8_t>(unit.config.begin() + 7, unit.config.begin() + 231), image);
  EXPECT_FALSE(unit.writeEnabled);
  EXPECT_EQ(bus->DeviceUnit(9).config[7], 0xFF) << "only device 20 was written";
}

TEST(OptoRelaySequencesTest, AFailedByteStopsTheWriteAndStillDisablesWriting) {
  auto bus = Installed();
  test::SetWholeImage(bus->devices, kOptoRelayImage);
  Configure(bus->devices);
  bus->SilenceRequest(3 + 100);  // byte 100
  std::vector<int> counts;
  const SequenceResult result =
      WriteRelayResponses(bus->session, bus->devices, [&](int n) { counts.push_back(n); });
  EXPECT_EQ(result.result, kExchangeNoReply);
  EXPECT_EQ(result.step, "WRITE MEMORY SINGLE BYTE C 20 (bajt 100 z 224)");
  const std::vector<Frame> sent = bus->Sent();
  ASSERT_EQ(sent.size(), 3u + 100u + 1u);
  EXPECT_EQ(sent.back(), Device(20, 0, 5));
  EXPECT_EQ(counts.size(), 99u);
  EXPECT_FALSE(bus->DeviceUnit(20).writeEnabled);
}

TEST(OptoRelaySequencesTest, TheEnableByteGoesToItsOwnLocationAndAnErasedOneIsNeverSent) {
  auto bus = Installed();
  const SequenceResult unknown = WriteRelayEnabled(bus->session, bus->devices);
  EXPECT_EQ(unknown.result, kSequenceRefused);
  EXPECT_FALSE(unknown.refusal.empty());
  EXPECT_TRUE(bus->Sent().empty());

  for (const uint8_t enabled : {1, 0}) {
    bus->devices.OptoRelay().SetRelayEnabled(enabled);
    ASSERT_TRUE(WriteRelayEnabled(bus->session, bus->devices).Ok());
    EXPECT_EQ(bus->DeviceUnit(20).config[231], enabled);
  }
  const std::vector<Frame> once = {Device(20, 5, 0xB0), Device(20, 3, 231), Device(20, 0, 6),
                                   Device(20, 7, 0), Device(20, 0, 5)};
  const std::vector<Frame> sent = bus->Sent();
  ASSERT_EQ(sent.size(), 10u);
  EXPECT_EQ(std::vector<Frame>(sent.begin() + 5, sent.end()), once);
  EXPECT_EQ(sent[3], Device(20, 7, 1));
}

TEST(OptoRelaySequencesTest, TheTestsSwitchOneOutputOfTheSelection) {
  auto bus = Installed();
  const struct {
    uint8_t slot;
    int output;
    bool on;
    Frame request;
    uint8_t outputsAfter;  // of relay 9
  } cases[] = {
      {9, 2, true, Device(9, 130, 2), 0x04},
      {9, 0, true, Device(9, 130, 0), 0x05},
      {9, 0, false, Device(9, 132, 0), 0x04},
      {TConfig::kGroupSlot, 3, true, Device(0x83, 130, 3), 0x0C},
  };
  for (const auto& c : cases) {
    if (c.slot == TConfig::kGroupSlot) {
      bus->devices.SetCurrentGroup(3);
      bus->devices.SetCurrentSlot(TConfig::kGroupSlot);
      bus->devices.ClearScratchSlot();
    } else {
      bus->devices.SetCurrentSlot(c.slot);
    }
    ASSERT_TRUE(TestRelayOutput(bus->session, bus->devices, c.output, c.on).Ok());
    EXPECT_EQ(bus->Sent().back(), c.request);
    EXPECT_EQ(bus->DeviceUnit(9).outputs, c.outputsAfter) << c.output << c.on;
  }
  EXPECT_EQ(bus->DeviceUnit(20).outputs, 0) << "the relay outside the group kept its outputs";
  EXPECT_EQ(TestRelayOutput(bus->session, bus->devices, 4, true).result, kSequenceRefused);
  bus->devices.SetCurrentSlot(30);
  EXPECT_EQ(TestRelayOutput(bus->session, bus->devices, 0, true).result, kSequenceRefused);
  EXPECT_EQ(bus->Sent().size(), 4u);
}

TEST(OptoRelaySequencesTest, AWrittenResponseSwitchesTheRelayWhenItsSourceSendsTheMessage) {
  auto bus = Installed();
  Configure(bus->devices);
  bus->devices.OptoRelay().SetRelayEnabled(1);
  ASSERT_TRUE(WriteRelayResponses(bus->session, bus->devices).Ok());
  ASSERT_TRUE(WriteRelayEnabled(bus->session, bus->devices).Ok());
  // Switch 5 may talk on the line; a press of its input 1 sends message 0x20, to which response
  // 17 answers by switching output C on. Response 0 waits for a level and stays quiet.
  bus->devices.SetCurrentSlot(5);
  bus->session.DeviceDataLess(BusTarget::Device(5), device::kEnableMultimaster);
  bus->session.Device(BusTarget::Device(5), device::kPressSwitchOn, 0);
  EXPECT_EQ(bus->DeviceUnit(20).outputs, 0x04);
  EXPECT_EQ(bus->DeviceUnit(9).outputs, 0) << "relay 9 has no such response";
}

}  // namespace
}  // namespace lumetra
