// The line as a whole: monitor records, gate reply framing, the timing model, fault decisions and
// the line-description files.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <set>

#include "LineFixture.h"
#include "model/Error.h"
#include "sim/DaliTiming.h"
#include "sim/FaultInjection.h"

namespace lumetra::sim::test {
namespace {

class Records : public LineFixture {
 protected:
  void SetUp() override { Build({"", {GearAt(1), GearAt(2)}, {DeviceAt(5)}}); }
};

TEST_F(Records, OneRecordPerFrameOnTheLine) {
  struct Case {
    Frame request;
    Frame reply;
    std::vector<Frame> records;
  };
  const Case cases[] = {
      {MakeFrame(0x83, 0, 0x03, 0x05), MakeFrame(0x60, 0, 0x03, 0x05), {{0x63, 0, 0x03, 0x05, 0}}},
      {MakeFrame(0x83, 0, 0x03, 0x91),
       MakeFrame(0x62, 0, 0x03, 0xFF),
       {{0x63, 0, 0x03, 0x91, 0}, {0x62, 0, 0, 0xFF, 0}}},
      {MakeFrame(0x83, 0, 0xFF, 0x91),
       MakeFrame(0x67, 0, 0xFF, 0x03),
       {{0x63, 0, 0xFF, 0x91, 0}, {0x67, 0, 0, 0x03, 0}}},
      {MakeFrame(0x84, 5, 9, 2),
       MakeFrame(0x62, 5, 9, kKindSwitch),
       {{0x64, 5, 9, 2, 0}, {0x62, 0, 0, kKindSwitch, 0}}},
      {MakeFrame(0x84, 6, 4, 0), MakeFrame(0x60, 6, 4, 0), {{0x64, 6, 4, 0, 0}}},
      // A broken checksum never reaches the line: error reply and error record, code 1.
      {Frame{0x83, 0, 0x03, 0x91, 0x00}, MakeFrame(0x67, 0, 0x03, 0x01), {{0x67, 0, 0, 0x01, 0}}},
      // A request kind the gateway does not know: nothing on the line.
      {MakeFrame(0x85, 1, 2, 3), MakeFrame(0x60, 1, 2, 3), {}},
  };
  for (const Case& c : cases) {
    records.clear();
    EXPECT_EQ(line->Exchange(c.request).reply, c.reply)
        << int(c.request[2]) << " " << int(c.request[3]);
    EXPECT_EQ(records, c.records) << int(c.request[2]) << " " << int(c.request[3]);
  }
}

TEST_F(Records, ExchangeTimeFollowsTheDaliModel) {
  using T = DaliTiming;
  const double command = line->Exchange(MakeFrame(0x83, 0, 0x03, 0x05)).busMicros;
  EXPECT_NEAR(command, 13500 + 38 * 416.67, 0.01);
  const double unanswered = line->Exchange(MakeFrame(0x83, 0, 0x09, 0x91)).busMicros;
  EXPECT_NEAR(unanswered, command + T::kAnswerLatest, 0.01);
  const double device = line->Exchange(MakeFrame(0x84, 5, 3, 0)).busMicros;
  EXPECT_NEAR(device, 13500 + 54 * 416.67, 0.01);

  std::set<double> settles;
  for (int i = 0; i < 50; ++i) {
    const double answered = line->Exchange(MakeFrame(0x83, 0, 0x03, 0x91)).busMicros;
    const double settle = answered - command - T::kBackward;
    EXPECT_GE(settle, T::kAnswerEarliest - 0.01);
    EXPECT_LE(settle, T::kAnswerLatest + 0.01);
    settles.insert(settle);
  }
  EXPECT_GT(settles.size(), 10u) << "the answer comes anywhere in its window";
  EXPECT_EQ(line->Exchange(Frame{0x83, 0, 3, 5, 0}).busMicros, 0) << "nothing went on the line";
}

TEST(ArbitraryFrames, EveryRequestGetsAWellFormedReply) {
  SimulatedLine line(DemoLine(), 3);
  std::mt19937_64 random(11);
  for (int i = 0; i < 200000; ++i) {
    const uint64_t r = random();
    Frame request{static_cast<uint8_t>(r), static_cast<uint8_t>(r >> 8),
                  static_cast<uint8_t>(r >> 16), static_cast<uint8_t>(r >> 24), 0};
    // Mostly valid gear and device frames, now and then anything at all.
    if ((r >> 32) % 8 != 0) request[0] = (r >> 35) % 2 ? 0x83 : 0x84;
    request[4] = (r >> 40) % 16 == 0 ? static_cast<uint8_t>(r >> 48) : Checksum(request);
    const Frame reply = line.Exchange(request).reply;
    ASSERT_EQ(reply[4], Checksum(reply));
    ASSERT_TRUE(reply[0] == kReplyNoAnswer || reply[0] == kReplyAnswer || reply[0] == kReplyError);
    ASSERT_EQ(reply[1], request[1]);
    ASSERT_EQ(reply[2], request[2]);
  }
}

TEST(Faults, CloseAfterAndDropRate) {
  FaultInjector close({0, 0, 3}, 1);
  EXPECT_FALSE(close.Next().close);
  EXPECT_FALSE(close.Next().close);
  EXPECT_TRUE(close.Next().close);
  close.NewConnection();
  EXPECT_FALSE(close.Next().close) << "counted per connection";

  auto drops = [](double rate, uint64_t seed) {
    FaultInjector f({rate, 0, 0}, seed);
    std::vector<bool> d;
    for (int i = 0; i < 1000; ++i) d.push_back(f.Next().dropReply);
    return d;
  };
  const auto none = drops(0, 1);
  const auto all = drops(1, 1);
  const auto some = drops(0.25, 1);
  EXPECT_EQ(std::count(none.begin(), none.end(), true), 0);
  EXPECT_EQ(std::count(all.begin(), all.end(), true), 1000);
  EXPECT_NEAR(std::count(some.begin(), some.end(), true), 250, 60);
  EXPECT_EQ(some, drops(0.25, 1)) << "the same seed drops the same replies";
}

TEST(LineDescriptionFile, EveryAttributeIsRead) {
  const LineDescription line = ParseLineDescription(R"(<?xml version="1.0"?>
<daliline name="Test">
  <gear short="7" random="0x00ABCD" type="8" version="2" physmin="30" status="0x82" level="100"
        max="200" min="40" poweron="150" failure="90" fadetime="3" faderate="9" groups="0x8001"
        scenes="1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 255" diagnostics="1 2 3 4 5 6 7 8 9"/>
  <gear short="none"/>
  <device short="63" random="12" kind="133" version="1.004" status="3" multimaster="1"
          groups="0x0102" lux="1234">
    <memory offset="7">0a FF</memory>
    <memory offset="220">01</memory>
  </device>
</daliline>)",
                                                    "test.xml");
  ASSERT_EQ(line.gear.size(), 2u);
  ASSERT_EQ(line.devices.size(), 1u);
  const GearDescription& g = line.gear[0];
  EXPECT_EQ(line.name, "Test");
  EXPECT_EQ(g.shortAddress, 7);
  EXPECT_EQ(g.randomAddress, 0xABCDu);
  EXPECT_EQ(g.deviceType, 8);
  EXPECT_EQ(g.version, 2);
  EXPECT_EQ(g.physicalMin, 30);
  EXPECT_EQ(g.status, 0x82);
  EXPECT_EQ(g.actualLevel, 100);
  EXPECT_EQ(g.maxLevel, 200);
  EXPECT_EQ(g.minLevel, 40);
  EXPECT_EQ(g.powerOnLevel, 150);
  EXPECT_EQ(g.failureLevel, 90);
  EXPECT_EQ(g.fadeTime, 3);
  EXPECT_EQ(g.fadeRate, 9);
  EXPECT_EQ(g.groups, 0x8001);
  EXPECT_EQ(g.scenes[14], 15);
  EXPECT_EQ(g.scenes[15], 255);
  EXPECT_TRUE(g.diagnostics);
  EXPECT_EQ(g.diagnosticMemory[8], 9);
  EXPECT_EQ(line.gear[1], GearDescription{});
  const DeviceDescription& d = line.devices[0];
  EXPECT_EQ(d.shortAddress, 63);
  EXPECT_EQ(d.randomAddress, 12u);
  EXPECT_EQ(d.kind, kKindLightSensor);
  EXPECT_EQ(d.versionMajor, 1);
  EXPECT_EQ(d.versionMinor, 4);
  EXPECT_EQ(d.status, 3);
  EXPECT_TRUE(d.multimaster);
  EXPECT_EQ(d.groups, 0x0102);
  EXPECT_EQ(d.illuminance, 1234);
  ASSERT_EQ(d.memory.size(), 2u);
  EXPECT_EQ(d.memory[0], (MemoryPreset{7, {0x0A, 0xFF}}));
  EXPECT_EQ(d.memory[1], (MemoryPreset{220, {0x01}}));
}

TEST(LineDescriptionFile, MalformedInputIsRejectedWithAClearMessage) {
  struct Case {
    const char* xml;
    const char* message;  // part of the message
  };
  const Case cases[] = {
      {"", "nie je platné XML"},
      {"<daliline><gear short='1'>", "nie je platné XML"},
      {"<line/>", "<daliline>"},
      {"<daliline><lamp/></daliline>", "neznámy prvok <lamp>"},
      {"<daliline><gear short='64'/></daliline>", "short=\"64\""},
      {"<daliline><gear short='-1'/></daliline>", "short=\"-1\""},
      {"<daliline><gear short='1x'/></daliline>", "short=\"1x\""},
      {"<daliline><gear shrt='1'/></daliline>", "neznámy atribút \"shrt\""},
      {"<daliline><gear random='0x1000000'/></daliline>", "random"},
      {"<daliline><gear physmin='0'/></daliline>", "physmin"},
      {"<daliline><gear physmin='100' max='50'/></daliline>", "max"},
      {"<daliline><gear status='4'/></daliline>", "status"},
      {"<daliline><gear scenes='1 2 3'/></daliline>", "16 úrovní"},
      {"<daliline><gear diagnostics='1 2 300 4 5 6 7 8 9'/></daliline>", "\"300\" nie je bajt"},
      {"<daliline><device version='1'/></daliline>", "version=\"1\""},
      {"<daliline><device version='a.b'/></daliline>", "version"},
      {"<daliline><device><memory offset='7'>GG</memory></device></daliline>", "\"GG\""},
      {"<daliline><device><memory offset='7'>123</memory></device></daliline>", "\"123\""},
      {"<daliline><device><memory>00</memory></device></daliline>", "offset"},
      {"<daliline><device><memory offset='241'>00 00</memory></device></daliline>", "presahuje"},
      {"<daliline><device><image/></device></daliline>", "<image>"},
  };
  for (const Case& c : cases) {
    try {
      ParseLineDescription(c.xml, "x.xml");
      ADD_FAILURE() << "accepted: " << c.xml;
    } catch (const Error& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos)
          << c.xml << " -> " << e.what();
      EXPECT_NE(std::string(e.what()).find("x.xml"), std::string::npos) << e.what();
    }
  }
  std::string many = "<daliline>";
  for (int i = 0; i < 65; ++i) many += "<gear/>";
  many += "</daliline>";
  EXPECT_THROW(ParseLineDescription(many, "x.xml"), Error);
  EXPECT_THROW(LoadLineDescription("/nonexistent/line.xml"), Error);
}

TEST(DemoLine, ShippedFileIsTheBuiltInInstallation) {
  const LineDescription shipped = LoadLineDescription(LUMETRA_SIM_SOURCE_DIR "/demo-line.xml");
  EXPECT_EQ(shipped, DemoLine());

  const LineDescription demo = DemoLine();
  EXPECT_GE(demo.gear.size(), 10u);
  EXPECT_EQ(std::count_if(demo.gear.begin(), demo.gear.end(),
                          [](const auto& g) { return g.shortAddress == kNoShortAddress; }),
            2);
  EXPECT_TRUE(
      std::any_of(demo.gear.begin(), demo.gear.end(), [](const auto& g) { return g.diagnostics; }));
  EXPECT_TRUE(std::any_of(demo.gear.begin(), demo.gear.end(),
                          [](const auto& g) { return (g.status & 0x02) != 0; }));
  std::set<std::tuple<int, int, int>> versions;
  std::set<int> kinds;
  for (const auto& d : demo.devices) {
    kinds.insert(d.kind);
    versions.insert({d.kind, d.versionMajor, d.versionMinor});
  }
  EXPECT_EQ(kinds, (std::set<int>{kKindSwitch, kKindPirSensor, kKindLightSensor, kKindOptoRelay,
                                  kKindPirLightSensor}));
  EXPECT_TRUE(versions.count({kKindLightSensor, 1, 1}));
  EXPECT_TRUE(versions.count({kKindLightSensor, 1, 4}));
  EXPECT_TRUE(versions.count({kKindPirLightSensor, 1, 0}));
  EXPECT_TRUE(std::any_of(demo.devices.begin(), demo.devices.end(),
                          [](const auto& d) { return d.shortAddress == kNoShortAddress; }));
}

}  // namespace
}  // namespace lumetra::sim::test
