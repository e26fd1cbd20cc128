// The light sensor's and the combined sensor's sequences against the simulated line: the image as
// each firmware holds it byte for byte, where it lands in the device's memory, the enable byte's
// location, the refusals of unset values, the measured value by both opcodes and the tests.
#include "sequences/LightSensorSequences.h"

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

// One sensor of `kind` and firmware 1.`minor` at address 7, in group 2, with `lux` nominal.
std::unique_ptr<SequenceLine> Installed(uint8_t kind, uint8_t minor, uint16_t lux = 40) {
  sim::LineDescription d;
  sim::DeviceDescription device;
  device.shortAddress = 7;
  device.kind = kind;
  device.versionMinor = minor;
  device.groups = 1 << 2;
  device.illuminance = lux;
  d.devices.push_back(device);
  auto bus = std::make_unique<SequenceLine>(d);
  TControllerConfig& t = bus->devices;
  t.SetCurrentSlot(7);
  t.SetShortAddress(7);
  t.SetDeviceType(kind);
  t.SetVersion(1);
  t.SetMinVersion(minor);
  for (uint32_t g = 0; g < 16; ++g) t.SetGroups(g, g == 2);
  return bus;
}

// Closed loop at 4464 lx (0x1170), switch-on 30 %, off 80 %, 10 min, 90..10 %, +7 %, 0.1 lx;
// zones: all, group 3 at -20 %, device 12 at +15 %, none; response 0 from 3 on "Úroveň svetla".
void ConfigureLight(TControllerConfig& t) {
  LightSensorLayout s = t.LightSensor();
  s.SetClosedLoop(1);
  s.SetDefaultLevel(0x1170);
  s.SetOnLevel(30);
  s.SetOffLevel(80);
  s.SetOffTimeout(600);
  s.SetMaxLevel(90);
  s.SetMinLevel(10);
  s.SetDelta(7);
  s.SetScale(10);
  const uint8_t zones[4][2] = {{0xFE, 0}, {0x86, 0xEC}, {24, 15}, {0xFF, 127}};
  for (uint32_t z = 0; z < 4; ++z) {
    s.Caos(z).SetCmndAddress(zones[z][0]);
    s.Caos(z).SetOffset(zones[z][1]);
  }
  LightOnc onc = s.Oncs(0);
  onc.SetAddress(3);
  onc.SetMessageIndex(11);
  onc.SetLevel(500);
  onc.SetEnabled(0);
}

TEST(LightSensorSequencesTest, TheImageLeavesOutWhatTheFirmwareLacksAndLandsWhereTheDeviceHasIt) {
  const struct {
    uint8_t minor;
    size_t bytes;
    std::vector<uint8_t> parameters;  // the data bytes before the responses
    uint8_t enableLocation;
  } cases[] = {
      {1,
       211,
       {1, 0x70, 0x11, 30, 0, 80, 0, 0x58, 0x02, 90, 10, 0xFE, 0, 0x86, 0xEC, 24, 15, 0xFF, 127},
       218},
      {2,
       213,
       {1, 0x70, 0x11, 30, 0,    80,   0,  0x58, 0x02, 90, 10,
        7, 10,   0xFE, 0,  0x86, 0xEC, 24, 15,   0xFF, 127},
       220},
  };
  for (const auto& c : cases) {
    auto bus = Installed(kKindLightSensor, c.minor);
    test::SetWholeImage(bus->devices, kLightSensorImage);
    ConfigureLight(bus->devices);
    const std::vector<uint8_t> image = SensorImageBytes(bus->devices, kLightSensorImage);
    ASSERT_EQ(image.size(), c.bytes) << int(c.minor);
    EXPECT_EQ(std::vector<uint8_t>(image.begin(), image.begin() + c.parameters.size()),
              c.parameters);
    // Response 0 on old firmware: address, index, code, level, the enable bit in the zone byte.
    const size_t r = c.parameters.size();
    EXPECT_EQ(std::vector<uint8_t>(image.begin() + r, image.begin() + r + 6),
              (std::vector<uint8_t>{3, 11, 0xFE, 0xF4, 0x01, 0xFF}));

    std::vector<int> counts;
    ASSERT_TRUE(WriteLightSensorImage(bus->session, bus->devices, [&](int n) {
                  counts.push_back(n);
                }).Ok());
    std::vector<Frame> expected = {Device(7, 5, 0xB0), Device(7, 3, 7), Device(7, 0, 6)};
    for (const uint8_t b : image) expected.push_back(Device(7, 7, b));
    expected.push_back(Device(7, 0, 5));
    EXPECT_EQ(bus->Sent(), expected);
    EXPECT_EQ(counts.back(), static_cast<int>(c.bytes));
    const sim::ControlDevice unit = bus->DeviceUnit(7);
    EXPECT_EQ(std::vector<uint8_t>(unit.config.begin() + 7, unit.config.begin() + 7 + c.bytes),
              image);
    EXPECT_EQ(unit.config[c.enableLocation], 0xFF) << "the enable byte is not the image's";

    bus->devices.LightSensor().SetSensorEnabled(1);
    ASSERT_TRUE(WriteLightSensorEnabled(bus->session, bus->devices).Ok());
    const std::vector<Frame> sent = bus->Sent();
    EXPECT_EQ(std::vector<Frame>(sent.end() - 5, sent.end()),
              (std::vector<Frame>{Device(7, 5, 0xB0), Device(7, 3, c.enableLocation),
                                  Device(7, 0, 6), Device(7, 7, 1), Device(7, 0, 5)}));
    EXPECT_EQ(bus->DeviceUnit(7).config[c.enableLocation], 1) << int(c.minor);
  }
}

TEST(LightSensorSequencesTest, UnknownValuesAndAnUnknownEnableByteAreNeverSent) {
  auto bus = Installed(kKindLightSensor, 5);
  EXPECT_EQ(WriteLightSensorEnabled(bus->session, bus->devices).result, kSequenceRefused);
  EXPECT_EQ(WriteLightSensorImage(bus->session, bus->devices).result, kSequenceRefused);
  EXPECT_TRUE(bus->Sent().empty()) << "a record nobody read or set has nothing to send";
  // Response 5's level alone: indices 54 and 55, locations 61 and 62.
  bus->devices.LightSensor().Oncs(5).SetLevel(500);
  ASSERT_TRUE(WriteLightSensorImage(bus->session, bus->devices).Ok());
  EXPECT_EQ(bus->Sent(), (std::vector<Frame>{Device(7, 5, 0xB0), Device(7, 3, 61), Device(7, 0, 6),
                                             Device(7, 7, 0xF4), Device(7, 7, 0x01),
                                             Device(7, 0, 5)}));
  // A 16-bit value the device cannot hold is refused, never cut to its low bits.
  bus->devices.LightSensor().SetOffTimeout(70000);
  const SequenceResult wide = WriteLightSensorImage(bus->session, bus->devices);
  EXPECT_EQ(wide.result, kSequenceRefused);
  EXPECT_NE(wide.refusal.find("0–65535"), std::string::npos) << wide.refusal;
  EXPECT_EQ(bus->Sent().size(), 6u);
  bus->devices.SetCurrentSlot(30);
  EXPECT_EQ(WriteLightSensorImage(bus->session, bus->devices).refusal,
            "Nie je vybraný žiadny ovládač");
}

TEST(LightSensorSequencesTest, TheMeasuredValueTakesItsLowByteFromDtrOrDtr1ByFirmware) {
  const struct {
    uint8_t kind, minor, lowOpcode;
  } cases[] = {{kKindLightSensor, 0, 4},      {kKindLightSensor, 2, 4},
               {kKindLightSensor, 3, 195},    {kKindLightSensor, 5, 195},
               {kKindPirLightSensor, 0, 195}, {kKindPirLightSensor, 2, 195}};
  for (const auto& c : cases) {
    // 0x1234 lx nominal; the sensor answers within 2 % of it.
    auto bus = Installed(c.kind, c.minor, 0x1234);
    const MeasuredValue measured = ReadMeasuredIlluminance(bus->session, bus->devices);
    ASSERT_TRUE(measured.result.Ok()) << measured.result.Text();
    ASSERT_TRUE(measured.value.has_value());
    EXPECT_EQ(bus->Sent(), (std::vector<Frame>{Device(7, 133, 0), Device(7, c.lowOpcode, 0)}))
        << int(c.kind) << " 1." << int(c.minor);
    const sim::ControlDevice unit = bus->DeviceUnit(7);
    EXPECT_EQ(*measured.value & 0xFF, c.lowOpcode == 4 ? unit.dtr : unit.dtr1);
    EXPECT_NEAR(*measured.value, 0x1234, 0x1234 / 50);
  }
}

TEST(LightSensorSequencesTest, AMeasurementThatFailsOrIsNotAnsweredGivesNoValue) {
  auto bus = Installed(kKindLightSensor, 5);
  bus->SilenceRequest(1);
  const MeasuredValue lost = ReadMeasuredIlluminance(bus->session, bus->devices);
  EXPECT_EQ(lost.result.result, kExchangeNoReply);
  EXPECT_EQ(lost.result.step, "QUERY STATE C 07");
  EXPECT_FALSE(lost.value);
  EXPECT_EQ(bus->Sent().size(), 1u) << "the low byte is not asked for";

  bus->devices.SetCurrentSlot(8);  // no device answers there
  bus->devices.SetShortAddress(8);
  const MeasuredValue silent = ReadMeasuredIlluminance(bus->session, bus->devices);
  EXPECT_TRUE(silent.result.Ok());
  EXPECT_FALSE(silent.value);

  bus->devices.SetCurrentGroup(2);
  bus->devices.SetCurrentSlot(TConfig::kGroupSlot);
  bus->devices.ClearScratchSlot();
  EXPECT_EQ(ReadMeasuredIlluminance(bus->session, bus->devices).result.result, kSequenceRefused);
  EXPECT_EQ(bus->Sent().size(), 2u);
}

TEST(LightSensorSequencesTest, TheCombinedSensorOfFirmware1000HasNoSecondSequence) {
  const struct {
    uint8_t minor;
    size_t bytes;
    uint8_t enableLocation;
  } cases[] = {{0, 215, 222}, {1, 227, 234}};
  for (const auto& c : cases) {
    auto bus = Installed(kKindPirLightSensor, c.minor);
    test::SetWholeImage(bus->devices, kPirLightSensorImage);
    PirLightSensorLayout s = bus->devices.PirLightSensor();
    for (uint32_t q = 0; q < 2; ++q) {
      for (uint32_t k = 0; k < 3; ++k) {
        s.Sequences(q).Commands(k).SetLevel(1000 * (q + 1) + k);
        s.Sequences(q).Commands(k).SetTimeout(60 * (k + 1));
      }
    }
    s.SetOnLevel(20);
    s.SetOffLevel(70);
    s.SetOffTimeout(3600);
    s.SetMaxLevel(100);
    s.SetMinLevel(1);
    s.SetCmndAddress(0x8A);
    s.SetDelta(3);
    s.SetScale(100);
    PirLightOnc onc = s.Oncs(31);
    onc.SetAddress(2);
    onc.SetMessageIndex(7);
    onc.SetLevel(65000);
    onc.SetEnabled(0);
    onc.SetSequenceIndex(1);
    const std::vector<uint8_t> image = SensorImageBytes(bus->devices, kPirLightSensorImage);
    ASSERT_EQ(image.size(), c.bytes);
    // Sequence 0 command 0: 1000 lx, 60 s; after the sequences the values, then the responses.
    EXPECT_EQ(std::vector<uint8_t>(image.begin(), image.begin() + 4),
              (std::vector<uint8_t>{0xE8, 0x03, 60, 0}));
    const size_t values = c.minor == 0 ? 12 : 24;
    if (c.minor != 0) {
      EXPECT_EQ(image[12], 0xD0) << "2000 lx of sequence 1";
    }
    EXPECT_EQ(std::vector<uint8_t>(image.begin() + values, image.begin() + values + 11),
              (std::vector<uint8_t>{20, 0, 70, 0, 0x10, 0x0E, 100, 1, 0x8A, 3, 100}));
    EXPECT_EQ(std::vector<uint8_t>(image.end() - 6, image.end()),
              (std::vector<uint8_t>{2, 7, 0x01, 0xE8, 0xFD, 0x11}))
        << "enabled, sequence 1";
    ASSERT_TRUE(WritePirLightSensorImage(bus->session, bus->devices).Ok());
    EXPECT_EQ(bus->Sent().size(), 3 + c.bytes + 1);
    const sim::ControlDevice unit = bus->DeviceUnit(7);
    EXPECT_EQ(std::vector<uint8_t>(unit.config.begin() + 7, unit.config.begin() + 7 + c.bytes),
              image);

    // The enable byte goes out as its bit 0.
    bus->devices.Image(kPirLightSensorImage)
        .SetImageByteAt(kPirLightSensorImage.EnableIndex(), 0x31);
    ASSERT_TRUE(WritePirLightSensorEnabled(bus->session, bus->devices).Ok());
    const std::vector<Frame> sent = bus->Sent();
    EXPECT_EQ(sent[sent.size() - 4], Device(7, 3, c.enableLocation));
    EXPECT_EQ(sent[sent.size() - 2], Device(7, 7, 1));
    EXPECT_EQ(bus->DeviceUnit(7).config[c.enableLocation], 1);
  }
}

TEST(LightSensorSequencesTest, TheCombinedSensorSendsNothingOfTheSequenceItsFirmwareLacks) {
  auto bus = Installed(kKindPirLightSensor, 0);
  // Firmware 1.000 has no sequence 1 (indices 12..23): a byte stored there is never sent, and the
  // value after it goes to its location twelve lower.
  KindRecord image = bus->devices.Image(kPirLightSensorImage);
  image.SetImageByteAt(12, 5);
  image.SetImageByteAt(30, 90);  // MaxLevel
  ASSERT_TRUE(WritePirLightSensorImage(bus->session, bus->devices).Ok());
  EXPECT_EQ(bus->Sent(), (std::vector<Frame>{Device(7, 5, 0xB0), Device(7, 3, 7 + 30 - 12),
                                             Device(7, 0, 6), Device(7, 7, 90), Device(7, 0, 5)}));
}

TEST(LightSensorSequencesTest, TheTestsGoToTheSelection) {
  auto bus = Installed(kKindPirLightSensor, 1);
  const struct {
    bool group;
    int indicator;  // -1: the motion test
    bool motion;
    Frame request;
  } cases[] = {
      {false, 0, false, Device(7, 141, 0)},   {false, 1, false, Device(7, 141, 32)},
      {false, 2, false, Device(7, 141, 64)},  {false, 3, false, Device(7, 141, 96)},
      {false, 4, false, Device(7, 141, 128)}, {true, 5, false, Device(0x82, 141, 160)},
      {false, -1, true, Device(7, 131, 0)},   {true, -1, false, Device(0x82, 132, 0)},
  };
  for (const auto& c : cases) {
    if (c.group) {
      bus->devices.SetCurrentGroup(2);
      bus->devices.SetCurrentSlot(TConfig::kGroupSlot);
      bus->devices.ClearScratchSlot();
    } else {
      bus->devices.SetCurrentSlot(7);
    }
    const SequenceResult result = c.indicator >= 0
                                      ? TestSensorIndicator(bus->session, bus->devices, c.indicator)
                                      : TestSensorMotion(bus->session, bus->devices, c.motion);
    ASSERT_TRUE(result.Ok()) << result.Text();
    EXPECT_EQ(bus->Sent().back(), c.request) << c.indicator;
  }
  EXPECT_FALSE(bus->DeviceUnit(7).motion) << "quiet after the alarm";
  EXPECT_EQ(bus->DeviceUnit(7).indicators[0], 5);
  EXPECT_EQ(TestSensorIndicator(bus->session, bus->devices, 6).result, kSequenceRefused);
  EXPECT_EQ(bus->Sent().size(), std::size(cases));
}

}  // namespace
}  // namespace lumetra
