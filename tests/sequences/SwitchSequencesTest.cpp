// The push-button and switch editor's sequences against the simulated line: the requests byte for
// byte, where the bytes land in the device's memory bank, and the stop at a failed byte.
#include "sequences/SwitchSequences.h"

#include <cstring>
#include <tuple>

#include "SequenceLine.h"
#include "model/KindImage.h"
#include "sequences/GearSequences.h"

namespace lumetra {
namespace {

using test::Frame;
using test::SequenceLine;
using test::Wire;

Frame Device(uint8_t address, uint8_t opcode, uint8_t parameter) {
  return Wire(4, address, opcode, parameter);
}

// Switches 9 and 14 in group 2, a motion sensor 20 in group 2 as well.
std::unique_ptr<SequenceLine> Installed() {
  sim::LineDescription d;
  for (const auto& [address, kind] :
       {std::pair<uint8_t, uint8_t>{9, kKindSwitch}, {14, kKindSwitch}, {20, kKindPirSensor}}) {
    sim::DeviceDescription device;
    device.shortAddress = address;
    device.groups = 1 << 2;
    device.kind = kind;
    d.devices.push_back(device);
  }
  auto bus = std::make_unique<SequenceLine>(d);
  TControllerConfig& t = bus->devices;
  for (uint8_t a : {9, 14}) {
    t.SetCurrentSlot(a);
    t.SetShortAddress(a);
    t.SetDeviceType(kKindSwitch);
  }
  t.SetCurrentSlot(9);
  return bus;
}

// A record in which every image byte is distinct from its neighbours: byte n of the image holds
// n + 1 (the last responses wrap), so any slip of the order shows.
void FillImage(TControllerConfig& t) {
  SwitchLayout layout = t.Switch();
  for (uint32_t s = 0; s < 4; ++s) {
    for (uint32_t n = 0; n < 26; ++n) layout.SetImageByte(s, n, 26 * s + n + 1);
  }
  for (uint32_t i = 0; i < 2; ++i) {
    for (uint32_t j = 0; j < 16; ++j) {
      for (uint32_t n = 0; n < 4; ++n)
        layout.SetImageByte(i, j, n, (104 + 64 * i + 4 * j + n + 1) & 0xFF);
    }
  }
}

TEST(SwitchSequencesTest, TheLongWriteOfDevice9GoesInImageOrder) {
  auto bus = Installed();
  FillImage(bus->devices);
  std::vector<int> counts;
  const SequenceResult result =
      WriteSwitchSequences(bus->session, bus->devices, [&](int n) { counts.push_back(n); });
  ASSERT_TRUE(result.Ok()) << result.Text();
  std::vector<Frame> expected = {Device(9, 5, 0xB0), Device(9, 3, 7), Device(9, 0, 6)};
  for (int n = 0; n < kSwitchImageBytes; ++n) {
    expected.push_back(Device(9, 7, static_cast<uint8_t>((n + 1) & 0xFF)));
  }
  expected.push_back(Device(9, 0, 5));
  ASSERT_EQ(expected.size(), 3u + 232u + 1u);
  EXPECT_EQ(bus->Sent(), expected);
  ASSERT_EQ(counts.size(), 232u);
  EXPECT_EQ(counts.front(), 1);
  EXPECT_EQ(counts.back(), 232);
  // The device holds the image from location 7 on; its types and enable bits were not touched.
  const sim::ControlDevice unit = bus->DeviceUnit(9);
  for (int n = 0; n < kSwitchImageBytes; ++n) {
    ASSERT_EQ(unit.config[7 + n], (n + 1) & 0xFF) << "image byte " << n;
  }
  EXPECT_FALSE(unit.writeEnabled);
}

TEST(SwitchSequencesTest, TheTimeoutGoesLowByteFirstAndTheStepsAsTheLayoutSays) {
  auto bus = Installed();
  SwitchStep step = bus->devices.Switch().Sequences(2).Steps(1);
  step.SetAddress(0x89);
  step.SetCommand(0x13);
  step.SetIndicator1(4);
  step.SetIndicator2(0x0F);
  step.SetIndicator3(1);
  step.SetIndicator4(0);
  step.SetTimeout(64799);  // 17:59:59
  bus->devices.Switch().Sequences(2).SetRepeat(0x31);
  bus->devices.Switch().Sequences(2).SetResetFlags(0x21);
  bus->devices.Switch().Oncs(1, 3).SetAddress(5);
  bus->devices.Switch().Oncs(1, 3).SetMessageIndex(2);
  ASSERT_TRUE(WriteSwitchSequences(bus->session, bus->devices).Ok());
  const sim::ControlDevice unit = bus->DeviceUnit(9);
  const int at = 7 + 26 * 2 + 6 * 1;
  EXPECT_EQ(std::vector<uint8_t>(unit.config.begin() + at, unit.config.begin() + at + 6),
            (std::vector<uint8_t>{0x89, 0x13, 0xF4, 0x01, 0x1F, 0xFD}));
  EXPECT_EQ(unit.config[7 + 26 * 2 + 24], 0x31);
  EXPECT_EQ(unit.config[7 + 26 * 2 + 25], 0x21);
  EXPECT_EQ(unit.config[7 + 104 + 64 + 12], 5);
  EXPECT_EQ(unit.config[7 + 104 + 64 + 13], 0x40);
  // An untouched step is written as the erased one.
  EXPECT_EQ(unit.config[7], 0xFF);
  EXPECT_EQ(unit.config[8], 0xFF);
}

TEST(SwitchSequencesTest, AFailedByteStopsTheWriteNamesItAndStillDisablesWriting) {
  auto bus = Installed();
  FillImage(bus->devices);
  // Requests 1..3 open the write; request 3 + 18 is byte 18.
  bus->SilenceRequest(3 + 18);
  std::vector<int> counts;
  const SequenceResult result =
      WriteSwitchSequences(bus->session, bus->devices, [&](int n) { counts.push_back(n); });
  EXPECT_EQ(result.result, kExchangeNoReply);
  EXPECT_EQ(result.step, "WRITE MEMORY SINGLE BYTE C 09 (bajt 18 z 232)");
  EXPECT_EQ(result.Text(), "WRITE MEMORY SINGLE BYTE C 09 (bajt 18 z 232): " +
                               std::string(ExchangeResultText(kExchangeNoReply)));
  const std::vector<Frame> sent = bus->Sent();
  ASSERT_EQ(sent.size(), 3u + 18u + 1u);
  EXPECT_EQ(sent.back(), Device(9, 0, 5));
  EXPECT_EQ(counts.size(), 17u);
  EXPECT_FALSE(bus->DeviceUnit(9).writeEnabled);
}

TEST(SwitchSequencesTest, GroupWritesGoToTheGroupAddressAndItsSwitches) {
  auto bus = Installed();
  // In the table: 9 in group 2, 14 in group 3 only, the motion sensor 20 in group 2.
  TControllerConfig& t = bus->devices;
  for (const auto& [a, kind, group] : {std::tuple<uint8_t, uint8_t, uint32_t>{9, kKindSwitch, 2},
                                       {14, kKindSwitch, 3},
                                       {20, kKindPirSensor, 2}}) {
    t.SetCurrentSlot(a);
    t.SetShortAddress(a);
    t.SetDeviceType(kind);
    for (uint32_t g = 0; g < 16; ++g) t.SetGroups(g, g == group);
  }
  const ControllerRecord sensor = *t.Record(20);
  const ControllerRecord other = *t.Record(14);
  bus->devices.SetCurrentGroup(2);
  bus->devices.SetCurrentSlot(TConfig::kGroupSlot);
  bus->devices.ClearScratchSlot();
  bus->devices.Switch().SetType0(1);
  bus->devices.Switch().SetType1(2);
  bus->devices.Switch().SetButtonsEnabled(2);
  ASSERT_TRUE(WriteSwitchInputs(bus->session, bus->devices).Ok());
  EXPECT_EQ(bus->Sent(),
            (std::vector<Frame>{Device(0x82, 5, 0xB0), Device(0x82, 3, 239), Device(0x82, 0, 6),
                                Device(0x82, 7, 1), Device(0x82, 7, 2), Device(0x82, 7, 2),
                                Device(0x82, 0, 5)}));
  for (uint8_t a : {9, 14}) {
    const sim::ControlDevice unit = bus->DeviceUnit(a);
    EXPECT_EQ(std::vector<uint8_t>(unit.config.begin() + 239, unit.config.begin() + 242),
              (std::vector<uint8_t>{1, 2, 2}))
        << int(a);
  }
  // The long write too; then the table's switch of the group holds what was sent, the others
  // are as they were.
  SwitchStep step = t.Switch().Sequences(1).Steps(3);
  step.SetAddress(0x0B);
  step.SetCommand(0x05);
  step.SetTimeout(600);
  t.Switch().Oncs(1, 15).SetAddress(20);
  ASSERT_TRUE(WriteSwitchSequences(bus->session, t).Ok());
  EXPECT_EQ(t.CurrentSlot(), TConfig::kGroupSlot);
  t.SetCurrentSlot(9);
  EXPECT_EQ(t.Switch().Type0(), 1);
  EXPECT_EQ(t.Switch().ButtonsEnabled(), 2);
  EXPECT_EQ(t.Switch().Sequences(1).Steps(3).Command(), 0x05);
  EXPECT_EQ(t.Switch().Sequences(1).Steps(3).Timeout(), 600u);
  EXPECT_EQ(t.Switch().Oncs(1, 15).Address(), 20);
  EXPECT_EQ(t.Record(20)->Layout, sensor.Layout);
  EXPECT_EQ(t.Record(14)->Layout, other.Layout);
}

// A type or an enable byte never read or chosen cannot go out: the three bytes go in a row.
TEST(SwitchSequencesTest, InputsWithAnUnknownByteAreRefused) {
  const struct {
    uint8_t type0, type1, enabled;
    const char* reason;
  } cases[] = {
      {0xFF, 0, 3, "Typ ovládacieho prvku 1 nie je zvolený"},
      {0, 3, 3, "Typ ovládacieho prvku 2 nie je zvolený"},
      {0, 1, 0xFF, "Povolenie ovládacích prvkov nie je prečítané ani zvolené"},
  };
  for (const auto& c : cases) {
    auto bus = Installed();
    bus->devices.Switch().SetType0(c.type0);
    bus->devices.Switch().SetType1(c.type1);
    bus->devices.Switch().SetButtonsEnabled(c.enabled);
    const SequenceResult result = WriteSwitchInputs(bus->session, bus->devices);
    EXPECT_EQ(result.result, kSequenceRefused);
    EXPECT_EQ(result.Text(), c.reason);
    EXPECT_TRUE(bus->Sent().empty());
  }
  auto bus = Installed();
  bus->devices.SetCurrentSlot(30);
  EXPECT_EQ(WriteSwitchSequences(bus->session, bus->devices).result, kSequenceRefused);
  EXPECT_EQ(PressSwitchInput(bus->session, bus->devices, 0).result, kSequenceRefused);
  EXPECT_TRUE(bus->Sent().empty());
}

TEST(SwitchSequencesTest, TestCommandsAreOneRequestEach) {
  auto bus = Installed();
  const struct {
    std::function<SequenceResult()> click;
    Frame sent;
  } cases[] = {
      {[&] { return PressSwitchInput(bus->session, bus->devices, 1); }, Device(9, 130, 1)},
      {[&] { return HoldSwitchInput(bus->session, bus->devices, 0); }, Device(9, 131, 0)},
      {[&] { return SetSwitchIndicator(bus->session, bus->devices, 0, 0); }, Device(9, 141, 0)},
      {[&] { return SetSwitchIndicator(bus->session, bus->devices, 1, 1); }, Device(9, 141, 33)},
      {[&] { return SetSwitchIndicator(bus->session, bus->devices, 2, 2); }, Device(9, 141, 66)},
      {[&] { return SetSwitchIndicator(bus->session, bus->devices, 0, 3); }, Device(9, 141, 96)},
      {[&] { return SetSwitchIndicator(bus->session, bus->devices, 3, 4); }, Device(9, 141, 0x83)},
      {[&] { return SetSwitchIndicator(bus->session, bus->devices, 1, 5); }, Device(9, 141, 161)},
  };
  size_t seen = 0;
  for (const auto& c : cases) {
    ASSERT_TRUE(c.click().Ok());
    const std::vector<Frame> sent = bus->Sent();
    ASSERT_EQ(sent.size(), seen + 1);
    EXPECT_EQ(sent.back(), c.sent);
    seen = sent.size();
  }
  // The device shows what it was told: indicator 4 blinks at 1/4 s, 2 blinks at 1/8 s.
  const sim::ControlDevice unit = bus->DeviceUnit(9);
  EXPECT_EQ(unit.indicators, (std::array<uint8_t, 4>{3, 5, 2, 4}));
}

}  // namespace
}  // namespace lumetra
