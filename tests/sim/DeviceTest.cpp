// Control devices on the simulated line: memory banks, the write pattern, addressing, groups and
// the test commands.
#include <gtest/gtest.h>

#include "LineFixture.h"
#include "sim/DaliTiming.h"

namespace lumetra::sim::test {
namespace {

constexpr uint8_t kAll = 0xFF;

class Devices : public LineFixture {
 protected:
  void SetUp() override {
    DeviceDescription sw = DeviceAt(3, kKindSwitch, 1, 2);
    sw.multimaster = true;
    sw.groups = 0x0101;
    DeviceDescription relay = DeviceAt(7, kKindOptoRelay, 1, 2);
    relay.status = 0x05;
    Build({"", {}, {sw, relay, DeviceAt(kNoShortAddress, kKindPirSensor, 1, 3)}});
  }
  int ReadByte(uint8_t a, uint8_t bank, uint8_t location) {
    Device(a, 5, bank);
    return Device(a, 9, location);
  }
};

TEST_F(Devices, IdentityStatusAndGroupBanks) {
  EXPECT_EQ(ReadByte(3, 0x90, 0), 1);
  EXPECT_EQ(Device(3, 9, 1), 2);
  EXPECT_EQ(Device(3, 9, 2), kKindSwitch);
  EXPECT_EQ(ReadByte(7, 0xA0, 0), 0x05);
  EXPECT_EQ(ReadByte(3, 0xB0, 1), 0x01);
  EXPECT_EQ(Device(3, 9, 2), 0x01);
  EXPECT_EQ(Device(3, 9, 6) & 0x80, 0x80) << "multimaster";
  EXPECT_EQ(Device(3, 9, 7), 0xFF) << "erased memory";
  EXPECT_EQ(ReadByte(3, 0x55, 0), kNone) << "no such bank";
}

TEST_F(Devices, WritePatternRoundTripsThroughTheConfigurationBank) {
  const std::vector<uint8_t> image = {0x0B, 0x05, 0xF0, 0xFF, 0x2C, 0x01, 0x42};
  Device(3, 5, 0xB0);
  Device(3, 3, 7);
  Device(3, 0, 6);  // ENABLE WRITE MEMORY
  for (uint8_t b : image) Device(3, 7, b);
  Device(3, 0, 5);  // DISABLE WRITE MEMORY
  Device(3, 7, 0x99);
  for (size_t i = 0; i < image.size(); ++i) EXPECT_EQ(Device(3, 9, 7 + i), image[i]) << i;
  EXPECT_EQ(Device(3, 9, 7 + image.size()), 0xFF) << "the write after DISABLE was ignored";
  EXPECT_EQ(Device(3, 4, 0), 7 + image.size()) << "DTR advanced once per written byte";
  EXPECT_EQ(ReadByte(7, 0xB0, 7), 0xFF) << "only device 3 was written";

  Device(3, 5, 0x90);  // identity is not writable
  Device(3, 3, 0);
  Device(3, 0, 6);
  Device(3, 7, 9);
  EXPECT_EQ(Device(3, 9, 0), 1);

  DeviceTwice(3, 2, 2);  // RESET brings the factory image back
  EXPECT_EQ(ReadByte(3, 0xB0, 7), 0xFF);
  EXPECT_EQ(Device(3, 9, 1), 0) << "and leaves no groups";
}

TEST(DeviceImages, BankSizeFollowsKindAndFirmware) {
  struct Case {
    uint8_t kind, major, minor;
    int enableLocation;
  };
  const Case cases[] = {
      {kKindSwitch, 1, 0, 241},
      {kKindPirSensor, 1, 3, 177},
      {kKindLightSensor, 1, 1, 218},
      {kKindLightSensor, 1, 2, 220},
      {kKindLightSensor, 1, 4, 220},
      {kKindOptoRelay, 1, 2, 231},
      {kKindPirLightSensor, 1, 0, 222},
      {kKindPirLightSensor, 1, 1, 234},
      {130, 1, 0, 6},
  };
  for (const Case& c : cases) {
    DeviceDescription d;
    d.shortAddress = 1;
    d.kind = c.kind;
    d.versionMajor = c.major;
    d.versionMinor = c.minor;
    SimulatedLine line({"", {}, {d}});
    auto read = [&](uint8_t location) {
      return AnswerOf(line.Exchange(MakeFrame(0x84, 1, 9, location)).reply);
    };
    line.Exchange(MakeFrame(0x84, 1, 5, 0xB0));
    EXPECT_NE(read(static_cast<uint8_t>(c.enableLocation)), kNone)
        << int(c.kind) << " " << int(c.major) << "." << int(c.minor);
    EXPECT_EQ(read(static_cast<uint8_t>(c.enableLocation + 1)), kNone)
        << int(c.kind) << " " << int(c.major) << "." << int(c.minor);
  }
}

TEST_F(Devices, AddressingProcedure) {
  DeviceTwice(0xFC, 33, 0);  // INITIALIZE those without a short address
  EXPECT_EQ(line->Devices()[2].initialise, Initialise::kEnabled);
  EXPECT_EQ(line->Devices()[0].initialise, Initialise::kDisabled);
  DeviceTwice(kAll, 34, 0);
  const uint32_t random = line->Devices()[2].randomAddress;
  EXPECT_NE(random, kUnsetRandomAddress);

  auto search = [&](uint32_t s) {
    Device(kAll, 37, static_cast<uint8_t>(s >> 16));
    Device(kAll, 38, static_cast<uint8_t>(s >> 8));
    Device(kAll, 39, static_cast<uint8_t>(s));
  };
  search(random - 1);
  EXPECT_EQ(Device(kAll, 35, 0), kNone);
  search(random);
  EXPECT_EQ(Device(kAll, 35, 0), 0xFF);
  Device(kAll, 40, 12);
  EXPECT_EQ(Device(kAll, 43, 0), 12);
  EXPECT_EQ(Device(12, 45, 2), static_cast<int>(random & 0xFF));
  Device(kAll, 36, 0);  // WITHDRAW
  EXPECT_EQ(Device(kAll, 35, 0), kNone);
  Device(kAll, 32, 0);
  EXPECT_EQ(ReadByte(12, 0x90, 2), kKindPirSensor) << "reachable at its new address";

  DeviceTwice(kAll, 33, 0);
  Device(kAll, 40, 255);  // everybody in the procedure loses the address
  for (const ControlDevice& d : line->Devices()) EXPECT_EQ(d.shortAddress, kNoShortAddress);
}

// Devices read a short address in a data byte as the plain number 0..63 and 255 as "none"; 64 and
// above name no address and change nothing. Unlike gear, 255 verifies a device without one.
TEST_F(Devices, DataByteNamesAShortAddressAsItsNumber) {
  struct Case {
    uint8_t data;
    uint8_t address;  // what the selected device (at 12) and the switch at 3 keep or take
    bool verifies;
  };
  const Case cases[] = {
      {20, 20, true},  {0, 0, true},      {kAll, kNoShortAddress, true},
      {64, 12, false}, {0x81, 12, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.data));
    SetUp();
    DeviceTwice(0xFC, 33, 0);  // INITIALIZE: the device without an address
    const uint32_t random = line->Devices()[2].randomAddress;
    Device(kAll, 37, static_cast<uint8_t>(random >> 16));
    Device(kAll, 38, static_cast<uint8_t>(random >> 8));
    Device(kAll, 39, static_cast<uint8_t>(random));
    Device(kAll, 40, 12);
    Device(kAll, 40, c.data);  // PROGRAM SHORT ADDRESS
    EXPECT_EQ(line->Devices()[2].shortAddress, c.address);
    EXPECT_EQ(Device(kAll, 43, 0), c.address);  // QUERY SHORT ADDRESS, 255 for none
    EXPECT_EQ(Device(kAll, 42, c.data), c.verifies ? 0xFF : kNone);  // VERIFY SHORT ADDRESS

    Device(3, 41, c.data);  // SAVE SHORT ADDRESS to the switch
    EXPECT_EQ(line->Devices()[0].shortAddress, c.address == 12 ? 3 : c.address);
  }
}

TEST_F(Devices, SaveShortAddressAndGroupAddressing) {
  Device(3, 41, 9);
  EXPECT_EQ(Device(3, 4, 0), kNone);
  Device(9, 3, 0x55);
  EXPECT_EQ(Device(9, 4, 0), 0x55);

  DeviceTwice(7, 12, 8);  // ADD TO CONTROL GROUP 8
  Device(0x88, 3, 0x21);
  EXPECT_EQ(Device(0x88, 4, 0), kCollision) << "both are in group 8";
  DeviceTwice(9, 13, 8);
  EXPECT_EQ(Device(0x88, 4, 0), 0x21);
  Device(7, 12, 0);  // sent once: ignored
  EXPECT_EQ(Device(7, 14, 0), 0);
  Device(7, 10, 0x81);  // CONTROL GROUP ASSIGNMENT 0-7 takes effect at once
  EXPECT_EQ(Device(7, 14, 0), 0x81);
  Device(kAll, 11, 0);
  EXPECT_EQ(Device(7, 14, 1), 0);
}

TEST_F(Devices, TestCommandsChangeStateAndMultimasterDevicesAnnounceThem) {
  Device(7, 130, 2);  // relay output C on
  EXPECT_EQ(Device(7, 133, 0), 0x04);
  Device(7, 132, 2);
  EXPECT_EQ(Device(7, 133, 0), 0);

  records.clear();
  Device(3, 131, 1);  // long press of input 2 on the multimaster switch
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0], (Frame{0x64, 3, 131, 1, 0}));
  EXPECT_EQ(records[1], (Frame{0x64, 3, 134, 0x41, 0})) << "its own message frame";

  Device(3, 0, 3);  // DISABLE MULTIMASTER: it keeps quiet
  records.clear();
  Device(3, 130, 0);
  EXPECT_EQ(records.size(), 1u);

  Device(3, 141, 2 << 5 | 1);  // SET INDICATOR 1 to blink 1 s
  EXPECT_EQ(line->Devices()[0].indicators[1], 2);
  Device(3, 0, 1);
  EXPECT_TRUE(line->Devices()[0].identifying);
}

// A switch operated by the test commands runs the sequence its memory holds, as laid out from
// location 7 (four steps of address, command, indicators 1/2, 3/4 and the wait, low byte first),
// and only on an input its enable bits (location 241) allow.
TEST(SwitchSequence, ATestPressRunsTheStepsUpToTheFirstWait) {
  DeviceDescription sw;
  sw.shortAddress = 3;
  sw.memory = {
      // sequence 0: RECALL MAX LEVEL to A 05, indicator 1 blinks 1 s and 4 is on; GO TO SCENE 0
      // to group 4, waiting 10 s after it; OFF to all, which comes after the wait
      {7, {0x0B, 0x05, 0xF2, 0x1F, 0x00, 0x00, 0x89, 0x10, 0xFF, 0xFF, 0x0A, 0x00, 0xFF, 0x00}},
      // sequence 1: arc level 100 to A 05
      {7 + 26, {0x0A, 100, 0xF0, 0xFF, 0x00, 0x00}},
      // sequence 2 (input 2): RECALL MAX LEVEL to A 06
      {7 + 52, {0x0D, 0x05, 0xFF, 0xFF, 0x00, 0x00}},
      {239, {0x00, 0x00, 0x01}},  // push-buttons, input 2 not enabled
  };
  GearDescription five;
  five.shortAddress = 5;
  five.actualLevel = 0;
  GearDescription six;
  six.shortAddress = 6;
  six.actualLevel = 0;
  six.groups = 1 << 4;
  six.scenes[0] = 77;
  std::vector<Frame> records;
  SimulatedLine line({"", {five, six}, {sw}});
  line.SetMonitor([&](const Frame& r) { records.push_back(r); });
  auto device = [&](uint8_t opcode, uint8_t parameter) {
    records.clear();
    return line.Exchange(MakeFrame(0x84, 3, opcode, parameter)).busMicros;
  };

  const double pressed = device(130, 0);
  EXPECT_EQ(records,
            (std::vector<Frame>{
                {0x64, 3, 130, 0, 0}, {0x63, 0, 0x0B, 0x05, 0}, {0x63, 0, 0x89, 0x10, 0}}));
  EXPECT_EQ(line.Gear()[0].actualLevel, line.Gear()[0].maxLevel);
  EXPECT_EQ(line.Gear()[1].actualLevel, 77);
  EXPECT_EQ(line.Devices()[0].indicators, (std::array<uint8_t, 4>{2, 0, 0, 1}));
  // The frames the device sent took their time on the bus too.
  EXPECT_NEAR(pressed,
              DaliTiming::ExchangeMicros(true, false, DaliTiming::Answer::kNone, 0) +
                  2 * DaliTiming::kOwnFrame16,
              1);

  device(131, 0);  // held: the second sequence
  EXPECT_EQ(records.size(), 2u);
  EXPECT_EQ(line.Gear()[0].actualLevel, 100);
  EXPECT_EQ(line.Devices()[0].indicators[0], 0);

  device(130, 1);  // input 2 is not enabled: nothing but the frame itself
  EXPECT_EQ(records.size(), 1u);
  EXPECT_EQ(line.Gear()[1].actualLevel, 77);
}

TEST(LightSensor, MeasuredValueComesInTwoHalvesByFirmware) {
  struct Case {
    uint8_t kind, minor, lowOpcode;
  };
  const Case cases[] = {{kKindLightSensor, 1, 4},
                        {kKindLightSensor, 2, 4},
                        {kKindLightSensor, 4, 195},
                        {kKindPirLightSensor, 0, 195}};
  for (const Case& c : cases) {
    DeviceDescription d;
    d.shortAddress = 4;
    d.kind = c.kind;
    d.versionMinor = c.minor;
    d.illuminance = 875;
    SimulatedLine line({"", {}, {d}});
    auto ask = [&](uint8_t opcode) {
      return AnswerOf(line.Exchange(MakeFrame(0x84, 4, opcode, 0)).reply);
    };
    const int high = ask(133);
    const int low = ask(c.lowOpcode);
    EXPECT_NEAR(high * 256 + low, 875, 875 / 50) << int(c.kind) << " 1.00" << int(c.minor);
  }
}

}  // namespace
}  // namespace lumetra::sim::test
