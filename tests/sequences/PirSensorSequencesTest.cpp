// The motion sensor editor's sequences against the simulated line: every request byte for byte,
// where the bytes land in the device's memory, the stop at a failed step and the refusals.
#include "sequences/PirSensorSequences.h"

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

// The requests sent since the last call.
std::vector<Frame> Fresh(const SequenceLine& bus, size_t& seen) {
  const std::vector<Frame> all = bus.Sent();
  std::vector<Frame> fresh(all.begin() + static_cast<long>(seen), all.end());
  seen = all.size();
  return fresh;
}

// Motion sensors 12 (groups 3 and 5) and 20 (group 3), and a switch 7 in group 3.
std::unique_ptr<SequenceLine> Installed() {
  sim::LineDescription d;
  for (auto [address, kind, groups] : {std::tuple<uint8_t, uint8_t, uint16_t>{12, kKindPirSensor,
                                                                             (1 << 3) | (1 << 5)},
                                       {20, kKindPirSensor, 1 << 3},
                                       {7, kKindSwitch, 1 << 3}}) {
    sim::DeviceDescription device;
    device.shortAddress = address;
    device.kind = kind;
    device.versionMinor = 3;
    device.groups = groups;
    d.devices.push_back(device);
  }
  auto bus = std::make_unique<SequenceLine>(d);
  TControllerConfig& t = bus->devices;
  for (uint8_t a : {12, 20, 7}) {
    t.SetCurrentSlot(a);
    t.SetShortAddress(a);
    t.SetDeviceType(a == 7 ? kKindSwitch : kKindPirSensor);
    t.SetVersion(1);
    t.SetMinVersion(3);
  }
  t.SetCurrentSlot(12);
  return bus;
}

// A record with a value in every field, none of them 255.
void FillRecord(TControllerConfig& t) {
  PirSensorLayout layout = t.PirSensor();
  const uint32_t waits[] = {300, 64800, 0x1234};
  for (uint32_t c = 0; c < 3; ++c) {
    layout.Commands(c).SetLevel(200 - 50 * c);
    layout.Commands(c).SetTimeout(waits[c]);
  }
  layout.SetCmndAddress(0x8A);  // group 5
  for (uint32_t j = 0; j < 32; ++j) {
    PirOnc onc = layout.Oncs(j);
    onc.SetAddress(j);
    onc.SetMessageIndex(1 + j % 8);
    onc.SetLevel(100 + j);
    onc.SetEnabled(j % 3 == 0 ? 1 : 0);
  }
  layout.SetSensorEnabled(1);
}

// The device's memory from location 7 on, as the image order puts the record there.
std::vector<uint8_t> ExpectedMemory() {
  std::vector<uint8_t> m = {200, 0x2C, 0x01, 150, 0x20, 0xFD, 100, 0x34, 0x12, 0x8A};
  for (uint8_t j = 0; j < 32; ++j) {
    const uint8_t index = static_cast<uint8_t>(1 + j % 8);
    const uint8_t codes[] = {0xFF, 0x20, 0x40, 0x00, 0x21, 0x41, 0x01, 0x01, 0x00};
    m.insert(m.end(), {j, index, codes[index], static_cast<uint8_t>(100 + j),
                       static_cast<uint8_t>(j % 3 == 0 ? 0 : 1)});
  }
  return m;
}

TEST(PirSensorSequencesTest, TheSettingsGoIntoLocations7To176InImageOrderWithTheCounter) {
  auto bus = Installed();
  FillRecord(bus->devices);
  std::vector<int> counter;
  const SequenceResult result =
      WritePirSensorSettings(bus->session, bus->devices, [&](int n) { counter.push_back(n); });
  ASSERT_TRUE(result.Ok()) << result.Text();

  const std::vector<uint8_t> memory = ExpectedMemory();
  ASSERT_EQ(memory.size(), 170u);
  std::vector<Frame> expected = {Device(12, 5, 0xB0), Device(12, 3, 7), Device(12, 0, 6)};
  for (uint8_t byte : memory) expected.push_back(Device(12, 7, byte));
  expected.push_back(Device(12, 0, 5));
  EXPECT_EQ(bus->Sent(), expected);
  ASSERT_EQ(expected.size(), 3u + 170u + 1u);

  std::vector<int> counts(170);
  for (int n = 0; n < 170; ++n) counts[static_cast<size_t>(n)] = n;
  EXPECT_EQ(counter, counts);

  const sim::ControlDevice unit = bus->DeviceUnit(12);
  EXPECT_EQ(std::vector<uint8_t>(unit.config.begin() + 7, unit.config.begin() + 177), memory);
  EXPECT_EQ(unit.config[177], 0xFF) << "the enable flag has its own write";
  EXPECT_FALSE(unit.writeEnabled);
  EXPECT_EQ(bus->DeviceUnit(20).config[7], 0xFF) << "nothing reached the other sensor";
}

TEST(PirSensorSequencesTest, EveryRequestGoesToTheSelection) {
  struct Case {
    const char* selection;
    uint8_t slot, group, addressByte;
    std::vector<uint8_t> reached;
  };
  const Case cases[] = {
      {"device 12", 12, 0, 12, {12}},
      {"group 3", TConfig::kGroupSlot, 3, 0x83, {12, 20, 7}},
      {"group 5", TConfig::kGroupSlot, 5, 0x85, {12}},
      {"all devices", TConfig::kGroupSlot, TConfig::kAllDevices, 0xFF, {12, 20, 7}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.selection);
    auto bus = Installed();
    TControllerConfig& t = bus->devices;
    t.SetCurrentGroup(c.group);
    t.SetCurrentSlot(c.slot);
    if (c.slot == TConfig::kGroupSlot) t.ClearScratchSlot();
    FillRecord(t);
    ASSERT_TRUE(WritePirSensorSettings(bus->session, t).Ok());
    ASSERT_TRUE(WritePirSensorEnabled(bus->session, t).Ok());
    ASSERT_TRUE(SendPirSensorTest(bus->session, t, PirSensorTest::kAlarm).Ok());
    const std::vector<Frame> sent = bus->Sent();
    ASSERT_EQ(sent.size(), 174u + 5u + 1u);
    for (const Frame& f : sent) ASSERT_EQ(f[1], c.addressByte);
    for (uint8_t a : c.reached) {
      const sim::ControlDevice unit = bus->DeviceUnit(a);
      EXPECT_EQ(unit.config[16], 0x8A) << int(a);
      EXPECT_EQ(unit.config[177], 1) << int(a);
    }
  }
}

TEST(PirSensorSequencesTest, TheEnableFlagGoesAloneToLocation177) {
  auto bus = Installed();
  TControllerConfig& t = bus->devices;
  EXPECT_EQ(WritePirSensorEnabled(bus->session, t).result, kSequenceRefused)
      << "never read: nothing is sent";
  EXPECT_TRUE(bus->Sent().empty());
  size_t seen = 0;
  for (uint8_t flag : {0, 1}) {
    t.PirSensor().SetSensorEnabled(flag);
    ASSERT_TRUE(WritePirSensorEnabled(bus->session, t).Ok());
    EXPECT_EQ(Fresh(*bus, seen), (std::vector<Frame>{Device(12, 5, 0xB0), Device(12, 3, 177),
                                               Device(12, 0, 6), Device(12, 7, flag),
                                               Device(12, 0, 5)}));
    EXPECT_EQ(bus->DeviceUnit(12).config[177], flag);
  }
}

TEST(PirSensorSequencesTest, AFailedByteStopsTheWriteAndStillDisablesWriting) {
  auto bus = Installed();
  FillRecord(bus->devices);
  bus->SilenceRequest(3 + 50);  // the 50th data byte
  std::vector<int> counter;
  const SequenceResult result =
      WritePirSensorSettings(bus->session, bus->devices, [&](int n) { counter.push_back(n); });
  EXPECT_EQ(result.result, kExchangeNoReply);
  EXPECT_EQ(result.step, "WRITE MEMORY SINGLE BYTE C 12 (bajt 50 z 170)");
  const std::vector<Frame> sent = bus->Sent();
  ASSERT_EQ(sent.size(), 3u + 50u + 1u);
  EXPECT_EQ(sent.back(), Device(12, 0, 5));
  EXPECT_FALSE(bus->DeviceUnit(12).writeEnabled);
  ASSERT_FALSE(counter.empty());
  EXPECT_EQ(counter.back(), 48) << "the counter stops at the last byte that went through";
}

TEST(PirSensorSequencesTest, AWaitNeverReadOrSetIsNotWritten) {
  auto bus = Installed();
  TControllerConfig& t = bus->devices;
  FillRecord(t);
  for (uint32_t c : {0u, 1u}) {
    t.PirSensor().Commands(c).SetTimeout(0xFFFFFFFF);
    const SequenceResult result = WritePirSensorSettings(bus->session, t);
    EXPECT_EQ(result.result, kSequenceRefused) << c;
    EXPECT_FALSE(result.refusal.empty());
    t.PirSensor().Commands(c).SetTimeout(kPirMaxTimeout);
  }
  EXPECT_TRUE(bus->Sent().empty());
  t.SetCurrentSlot(30);  // a free slot
  EXPECT_EQ(WritePirSensorSettings(bus->session, t).result, kSequenceRefused);
  EXPECT_EQ(SendPirSensorTest(bus->session, t, PirSensorTest::kAlarm).result, kSequenceRefused);
  EXPECT_TRUE(bus->Sent().empty());
}

TEST(PirSensorSequencesTest, TheTestsSendOneRequestEachAndTheSensorFollowsThem) {
  const struct {
    PirSensorTest test;
    uint8_t opcode, parameter;
    bool motion;
    uint8_t indicator;
  } cases[] = {
      {PirSensorTest::kAlarm, 131, 0, true, 0},
      {PirSensorTest::kQuiet, 132, 0, false, 0},
      {PirSensorTest::kIndicatorOff, 141, 0, false, 0},
      {PirSensorTest::kIndicatorOn, 141, 32, false, 1},
      {PirSensorTest::kBlinkWhole, 141, 64, false, 2},
      {PirSensorTest::kBlinkHalf, 141, 96, false, 3},
      {PirSensorTest::kBlinkQuarter, 141, 128, false, 4},
      {PirSensorTest::kBlinkEighth, 141, 160, false, 5},
  };
  auto bus = Installed();
  size_t seen = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.opcode) * 1000 + c.parameter);
    ASSERT_TRUE(SendPirSensorTest(bus->session, bus->devices, c.test).Ok());
    EXPECT_EQ(Fresh(*bus, seen), std::vector<Frame>{Device(12, c.opcode, c.parameter)});
    const sim::ControlDevice unit = bus->DeviceUnit(12);
    EXPECT_EQ(unit.motion, c.motion);
    EXPECT_EQ(unit.indicators[0], c.indicator);
  }
}

}  // namespace
}  // namespace lumetra
