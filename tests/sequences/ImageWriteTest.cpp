// What a kind editor's write sends of a control device's image, against the simulated line: only
// the bytes set here that the device does not hold, never a byte nobody read or set, after a full
// reading, after one that stopped early, and to a group whose members' records follow.
#include <functional>
#include <string>

#include "SequenceLine.h"
#include "commissioning/ParameterReading.h"
#include "model/KindImage.h"
#include "sequences/DeviceSequences.h"
#include "sequences/LightSensorSequences.h"
#include "sequences/OptoRelaySequences.h"
#include "sequences/PirSensorSequences.h"
#include "sequences/SwitchSequences.h"

namespace lumetra {
namespace {

using test::DeviceRequest;
using test::Frame;
using test::SequenceLine;

// One run of the memory pattern: SET BANK 0xB0, SET DTR, ENABLE WRITE MEMORY, the bytes, DISABLE.
std::vector<Frame> MemoryRunFrames(uint8_t address, uint8_t location, std::vector<uint8_t> bytes) {
  std::vector<Frame> frames = {DeviceRequest(address, 5, 0xB0), DeviceRequest(address, 3, location),
                               DeviceRequest(address, 0, 6)};
  for (const uint8_t b : bytes) frames.push_back(DeviceRequest(address, 7, b));
  frames.push_back(DeviceRequest(address, 0, 5));
  return frames;
}

// Memory bank 0xB0 from location 7 on, byte n = (n * 7 + 3) mod 251: no byte is erased, none
// equals its neighbour.
std::vector<uint8_t> KnownMemory() {
  std::vector<uint8_t> bytes(249);
  for (size_t n = 0; n < bytes.size(); ++n) bytes[n] = static_cast<uint8_t>((n * 7 + 3) % 251);
  return bytes;
}

sim::DeviceDescription Unit(uint8_t address, uint8_t kind, uint8_t major, uint8_t minor,
                            uint16_t groups = 0) {
  sim::DeviceDescription d;
  d.shortAddress = address;
  d.kind = kind;
  d.versionMajor = major;
  d.versionMinor = minor;
  d.groups = groups;
  d.memory.push_back({7, KnownMemory()});
  return d;
}

std::unique_ptr<SequenceLine> LineOf(std::vector<sim::DeviceDescription> units) {
  sim::LineDescription d;
  d.devices = std::move(units);
  auto bus = std::make_unique<SequenceLine>(d);
  for (const sim::DeviceDescription& u : d.devices) {
    bus->devices.SetCurrentSlot(u.shortAddress);
    bus->devices.SetShortAddress(u.shortAddress);
  }
  return bus;
}

// Reads device a as a tile click does; `stopAt` (1 = the first request) leaves one request
// unanswered, which stops the reading there.
bool ReadInto(SequenceLine& bus, uint8_t a, int stopAt = 0) {
  if (stopAt > 0) bus.SilenceRequest(stopAt);
  const SequenceResult result = RunSequence([&] {
    ReadDevice(
        bus.session, bus.devices, a, [] { return false; }, [](int, int) {});
  });
  bus.devices.SetCurrentSlot(a);
  bus.peer.ClearRequests();
  return result.Ok();
}

std::vector<uint8_t> MemoryOf(SequenceLine& bus, uint8_t a) {
  const sim::ControlDevice unit = bus.DeviceUnit(a);
  return std::vector<uint8_t>(unit.config.begin() + 7, unit.config.end());
}

struct OneFieldCase {
  const char* name;
  uint8_t kind, major, minor;
  std::function<SequenceResult(BusSession&, TControllerConfig&)> edit;
  std::vector<Frame> expected;
};

TEST(ImageWriteTest, AFieldChangedAfterAReadingSendsOnlyItsBytes) {
  const OneFieldCase cases[] = {
      {"switch: the level of step 1 of sequence 0", kKindSwitch, 1, 0,
       [](BusSession& s, TControllerConfig& t) {
         t.Switch().Sequences(0).Steps(1).SetCommand(200);
         return WriteSwitchSequences(s, t);
       },
       MemoryRunFrames(12, 7 + 7, {200})},
      {"switch: the type of input 2", kKindSwitch, 1, 0,
       [](BusSession& s, TControllerConfig& t) {
         t.Switch().SetType1(2);
         return WriteSwitchInputs(s, t);
       },
       MemoryRunFrames(12, 240, {2})},
      {"motion sensor: the wait of the switching on", kKindPirSensor, 1, 0,
       [](BusSession& s, TControllerConfig& t) {
         t.PirSensor().Commands(0).SetTimeout(300);
         return WritePirSensorSettings(s, t);
       },
       MemoryRunFrames(12, 8, {0x2C, 0x01})},
      {"light sensor 1.001: the minimum level, below the missing delta and scale", kKindLightSensor,
       1, 1,
       [](BusSession& s, TControllerConfig& t) {
         t.LightSensor().SetMinLevel(7);
         t.LightSensor().Oncs(0).SetLevel(0x1234);
         return WriteLightSensorImage(s, t);
       },
       // Index 10 at location 17; response 0's level (indices 24, 25) two locations lower.
       [] {
         std::vector<Frame> f = MemoryRunFrames(12, 17, {7});
         test::operator+=(f, MemoryRunFrames(12, 29, {0x34, 0x12}));
         return f;
       }()},
      {"combined sensor 1.000: the level of switching on, after the missing second sequence",
       kKindPirLightSensor, 1, 0,
       [](BusSession& s, TControllerConfig& t) {
         t.PirLightSensor().SetOnLevel(500);
         return WritePirLightSensorImage(s, t);
       },
       MemoryRunFrames(12, 7 + 24 - 12, {0xF4, 0x01})},
      {"opto-relay: the operator of response 0", kKindOptoRelay, 1, 2,
       [](BusSession& s, TControllerConfig& t) {
         t.OptoRelay().Oncs(0).SetOperator(1);
         return WriteRelayResponses(s, t);
       },
       MemoryRunFrames(12, 10, {1})},
  };
  for (const OneFieldCase& c : cases) {
    SCOPED_TRACE(c.name);
    auto bus = LineOf({Unit(12, c.kind, c.major, c.minor)});
    ASSERT_TRUE(ReadInto(*bus, 12));
    const SequenceResult result = c.edit(bus->session, bus->devices);
    ASSERT_TRUE(result.Ok()) << result.Text();
    EXPECT_EQ(bus->Sent(), c.expected);
    EXPECT_LE(bus->Sent().size(), 12u);
    // Written, the bytes count as held: the same write again has nothing to send.
    const SequenceResult again = c.edit(bus->session, bus->devices);
    EXPECT_EQ(again.result, kSequenceRefused);
    EXPECT_EQ(bus->Sent(), c.expected);
  }
}

TEST(ImageWriteTest, AReadingThatStoppedEarlyLeavesTheRestUnwritten) {
  // An opto-relay whose reading stopped in response 1 (request 13 + 7 + 3 is its byte 3): the
  // device keeps response 18 ("00 01 20 FF FF FF 11" in the field) although the record never saw
  // it, and an edit of response 0 sends response 0's byte alone.
  sim::DeviceDescription relay = Unit(12, kKindOptoRelay, 1, 2);
  relay.memory.push_back({7 + 7 * 18, {0x00, 0x01, 0x20, 0xFF, 0xFF, 0xFF, 0x11}});
  auto bus = LineOf({relay});
  // Identity (4 requests), status (2), groups and flags (4), then the image from request 11.
  EXPECT_FALSE(ReadInto(*bus, 12, 10 + 7 + 4));
  const std::vector<uint8_t> before = MemoryOf(*bus, 12);
  const OptoRelayLayout record = bus->devices.OptoRelay();
  EXPECT_EQ(record.Origin(7 + 2), ByteOrigin::kRead);
  EXPECT_EQ(record.Origin(7 + 3), ByteOrigin::kUnknown);
  EXPECT_EQ(record.Origin(7 * 18), ByteOrigin::kUnknown);

  record.Oncs(0).SetRelayOn(0x11);
  record.Oncs(1).SetAddress(33);  // read
  ASSERT_TRUE(WriteRelayResponses(bus->session, bus->devices).Ok());
  EXPECT_EQ(bus->Sent(), MemoryRunFrames(12, 13, {0x11, 33}))
      << "consecutive locations go as one run";
  std::vector<uint8_t> after = before;
  after[6] = 0x11;
  after[7] = 33;
  EXPECT_EQ(MemoryOf(*bus, 12), after) << "nothing else of the device changed";
}

TEST(ImageWriteTest, AReadingStoppedBetweenTheBytesOfAValueShowsNoValue) {
  auto bus = LineOf({Unit(12, kKindPirSensor, 1, 0)});
  // The image's first request is 11; its second byte (the low byte of the wait) is request 12,
  // the high byte request 13.
  EXPECT_FALSE(ReadInto(*bus, 12, 13));
  const PirSensorLayout record = bus->devices.PirSensor();
  EXPECT_EQ(record.Origin(0), ByteOrigin::kRead);
  EXPECT_EQ(record.Origin(1), ByteOrigin::kUnknown);
  EXPECT_EQ(record.Commands(0).Timeout(), 0xFFFFFFFFu) << "no made-up wait from its low byte";
}

TEST(ImageWriteTest, AGroupWriteSendsWhatWasSetAndTheMembersHoldIt) {
  // Motion sensors 12 and 13 in group 4 (12 read, 13 not), 14 outside it.
  auto bus = LineOf({Unit(12, kKindPirSensor, 1, 0, 1 << 4), Unit(13, kKindPirSensor, 1, 0, 1 << 4),
                     Unit(14, kKindPirSensor, 1, 0, 0)});
  for (uint8_t a : {12, 14}) ASSERT_TRUE(ReadInto(*bus, a));
  TControllerConfig& t = bus->devices;
  t.SetCurrentSlot(13);
  t.SetDeviceType(kKindPirSensor);
  t.SetGroups(4, 1);
  const std::vector<uint8_t> memory12 = MemoryOf(*bus, 12);

  t.SetCurrentGroup(4);
  t.SetCurrentSlot(TConfig::kGroupSlot);
  t.ClearScratchSlot();
  t.SetGroupFirmware(1, 0);
  EXPECT_EQ(WritePirSensorSettings(bus->session, t).result, kSequenceRefused)
      << "a group view starts with nothing to send";
  t.PirSensor().Commands(1).SetLevel(40);
  t.PirSensor().Oncs(3).SetLevel(90);
  ASSERT_TRUE(WritePirSensorSettings(bus->session, t).Ok());
  std::vector<Frame> expected = MemoryRunFrames(0x84, 10, {40});
  test::operator+=(expected, MemoryRunFrames(0x84, 7 + 10 + 15 + 3, {90}));
  EXPECT_EQ(bus->Sent(), expected);

  std::vector<uint8_t> changed = memory12;
  changed[3] = 40;
  changed[28] = 90;
  EXPECT_EQ(MemoryOf(*bus, 12), changed) << "levels, lights and responses of the member survive";
  for (uint8_t a : {12, 13}) {
    t.SetCurrentSlot(a);
    EXPECT_EQ(t.PirSensor().Commands(1).Level(), 40) << int(a);
    EXPECT_EQ(t.PirSensor().Origin(3), ByteOrigin::kRead) << int(a);
    EXPECT_EQ(t.PirSensor().Oncs(3).Level(), 90) << int(a);
  }
  t.SetCurrentSlot(12);
  EXPECT_EQ(t.PirSensor().Commands(0).Timeout(), memory12[1] | memory12[2] << 8)
      << "a member keeps what it held elsewhere";
  t.SetCurrentSlot(14);
  EXPECT_EQ(t.PirSensor().Commands(1).Level(), memory12[3]) << "14 is not in the group";
  // A member's own later write does not undo the group's.
  t.SetCurrentSlot(12);
  bus->peer.ClearRequests();
  t.PirSensor().Commands(2).SetLevel(41);
  ASSERT_TRUE(WritePirSensorSettings(bus->session, t).Ok());
  EXPECT_EQ(bus->Sent(), MemoryRunFrames(12, 13, {41}));
}

TEST(ImageWriteTest, AFailedRunNamesHowFarTheWriteGotAndKeepsTheRestToSend) {
  auto bus = LineOf({Unit(12, kKindSwitch, 1, 0)});
  ASSERT_TRUE(ReadInto(*bus, 12));
  TControllerConfig& t = bus->devices;
  for (uint32_t s = 0; s < 4; ++s) t.Switch().Sequences(s).Steps(0).SetAddress(2 * s + 1);
  // Four runs of one byte: the third byte is request 4 + 6 + 4.
  bus->SilenceRequest(5 + 5 + 4);
  const SequenceResult result = WriteSwitchSequences(bus->session, t);
  EXPECT_FALSE(result.Ok());
  EXPECT_EQ(result.step, "WRITE MEMORY SINGLE BYTE C 12 (bajt 3 z 4)");
  const ImageWrite rest = PlanSwitchSequences(t);
  ASSERT_EQ(rest.Bytes(), 2) << "the two bytes that went through count as held";
  EXPECT_EQ(rest.runs[0].location, 7 + 52);
}

TEST(ImageWriteTest, TheCounterFollowsTheRunsOfAPlan) {
  ImageWrite plan;
  plan.runs = {MemoryRun{7, {0, 1}, {1, 2}}, MemoryRun{20, {13}, {3}}};
  // Run 1: exchanges 1-3 lead-in, 4-5 bytes, 6 disable; run 2: 7-9 lead-in, 10 its byte.
  const int expected[] = {0, 0, 0, 0, 1, 2, 2, 2, 2, 2, 3};
  for (int e = 0; e <= 10; ++e) EXPECT_EQ(plan.BytesAfter(e), expected[e]) << e;
  EXPECT_EQ(plan.Bytes(), 3);
}

}  // namespace
}  // namespace lumetra
