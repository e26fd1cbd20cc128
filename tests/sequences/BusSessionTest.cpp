// The bus session on its own: address bytes of each target, the send-twice rule, the DTR before a
// store, progress and cancel, against the simulated line.
#include "SequenceLine.h"

#include <functional>

#include "sim/Commands.h"

namespace lumetra {
namespace {

using test::Frame;
using test::Gear;
using test::GearAt;
using test::SequenceLine;
using test::Twice;
using test::Wire;
using test::operator+=;

sim::LineDescription GearAndDevice() {
  sim::LineDescription d;
  d.gear = {GearAt(5), GearAt(6)};
  sim::DeviceDescription device;
  device.shortAddress = 7;
  d.devices = {device};
  return d;
}

TEST(BusSessionTest, TargetsBecomeTheirAddressBytes) {
  const struct {
    BusTarget target;
    uint8_t command, arc, device;
    const char* gearName;
    const char* deviceName;
  } cases[] = {
      {BusTarget::Device(0), 0x01, 0x00, 0x00, "A 00", "C 00"},
      {BusTarget::Device(5), 0x0B, 0x0A, 0x05, "A 05", "C 05"},
      {BusTarget::Device(63), 0x7F, 0x7E, 0x3F, "A 63", "C 63"},
      {BusTarget::Group(0), 0x81, 0x80, 0x80, "GA 00", "GC 00"},
      {BusTarget::Group(3), 0x87, 0x86, 0x83, "GA 03", "GC 03"},
      {BusTarget::Group(15), 0x9F, 0x9E, 0x8F, "GA 15", "GC 15"},
      {BusTarget::All(), 0xFF, 0xFE, 0xFF, "A ALL", "C ALL"},
      {BusTarget::Unaddressed(), 0xFF, 0xFE, 0xFC, "UNADDRESSED", "UNADDRESSED"},
  };
  SequenceLine bus({});
  std::vector<Frame> expected;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.gearName);
    EXPECT_EQ(c.target.Name('A'), c.gearName);
    EXPECT_EQ(c.target.Name('C'), c.deviceName);
    // What reaches the wire, not only what the target computes.
    bus.session.Gear(c.target, gear::kRecallMaxLevel);
    bus.session.GearLevel(c.target, 77);
    bus.session.Device(c.target, device::kQueryDtr, 9);
    bus.session.DeviceDataLess(c.target, device::kIdentifyDevice);
    expected +=
        {Gear(c.command, 0x05), Gear(c.arc, 77), Wire(4, c.device, 4, 9), Wire(4, c.device, 0, 1)};
  }
  EXPECT_EQ(bus.Sent(), expected);
}

TEST(BusSessionTest, SendsTwiceExactlyWhatTheTableMarks) {
  const struct {
    const char* name;
    std::function<void(BusSession&)> send;
    std::vector<Frame> sent;
  } cases[] = {
      {"query",
       [](BusSession& s) { s.Gear(BusTarget::Device(5), gear::kQueryMaxLevel); },
       {Gear(0x0B, 0xA1)}},
      {"direct",
       [](BusSession& s) { s.Gear(BusTarget::Device(5), gear::kRecallMinLevel); },
       {Gear(0x0B, 0x06)}},
      {"configuration",
       [](BusSession& s) { s.Gear(BusTarget::Device(5), gear::kAddToGroup.At(3)); },
       Twice(0x0B, 0x63)},
      {"special", [](BusSession& s) { s.GearSpecial(gear::kDtr, 9); }, {Gear(0xA3, 9)}},
      {"special twice", [](BusSession& s) { s.GearSpecial(gear::kRandomise); }, Twice(0xA7, 0)},
      {"device configuration",
       [](BusSession& s) { s.Device(BusTarget::Device(7), device::kAddToControlGroup, 2); },
       Twice(Wire(4, 7, 12, 2))},
      {"device query",
       [](BusSession& s) { s.Device(BusTarget::Device(7), device::kQueryDtr); },
       {Wire(4, 7, 4, 0)}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SequenceLine bus(GearAndDevice());
    c.send(bus.session);
    EXPECT_EQ(bus.Sent(), c.sent);
    EXPECT_EQ(bus.session.Exchanges(), static_cast<int>(c.sent.size()));
  }

  // The pairs count on the line, which acts only on the second of two.
  SequenceLine bus(GearAndDevice());
  bus.session.Gear(BusTarget::Device(5), gear::kAddToGroup.At(3));
  bus.session.Device(BusTarget::Device(7), device::kAddToControlGroup, 2);
  bus.session.Gear(BusTarget::Device(5), gear::kQueryGroupsLow);
  EXPECT_TRUE(bus.session.Answered());
  EXPECT_EQ(bus.session.Answer(), 1 << 3);
  EXPECT_EQ(bus.GearUnit(5).groups, 1 << 3);
  EXPECT_EQ(bus.GearUnit(6).groups, 0);
  EXPECT_EQ(bus.DeviceUnit(7).Groups(), 1 << 2);
}

// The line keeps its own command tables; a flag wrong in ours (a pair sent once, a store sent
// once) would agree with itself in every other test.
TEST(BusSessionTest, TheSendTwiceFlagsAgreeWithTheLinesOwnModel) {
  for (const BusCommand& c : gear::kCommands) {
    for (int n = 0; n < c.span; ++n) {
      const auto code = static_cast<uint8_t>(c.code + n);
      EXPECT_EQ(c.Twice(), sim::AddressedGearCommand(code).twice) << c.name << " " << n;
      EXPECT_EQ(c.Answers(), sim::AddressedGearCommand(code).query) << c.name << " " << n;
    }
  }
  for (const BusCommand& c : gear::kSpecialCommands) {
    const sim::GearCommand* modelled = sim::SpecialGearCommand(c.code);
    ASSERT_NE(modelled, nullptr) << c.name;
    EXPECT_EQ(c.Twice(), modelled->twice) << c.name;
  }
  for (const BusCommand& c : device::kCommands) {
    EXPECT_EQ(c.Twice(), sim::ControlDeviceCommand(c.code).twice) << c.name;
  }
}

TEST(BusSessionTest, TheSecondOfAPairGoesOnlyAfterTheFirstWentThrough) {
  {
    SequenceLine bus(GearAndDevice());
    bus.SilenceRequest(1);
    const SequenceResult r =
        RunSequence([&] { bus.session.Gear(BusTarget::Device(5), gear::kAddToGroup.At(3)); });
    EXPECT_EQ(r.result, kExchangeNoReply);
    EXPECT_EQ(r.Text(), "ADD TO GROUP 3 A 05: Zariadenie neodpovedá");
    EXPECT_EQ(bus.Sent(), std::vector<Frame>{Gear(0x0B, 0x63)});
  }
  {
    // The first of the pair reached the line, the second did not: the device did not act.
    SequenceLine bus(GearAndDevice());
    bus.LoseRequest(2);
    const SequenceResult r = RunSequence(
        [&] { bus.session.Device(BusTarget::Device(7), device::kAddToControlGroup, 2); });
    EXPECT_EQ(r.result, kExchangeLost);
    EXPECT_EQ(r.step, "ADD TO CONTROL GROUP N C 07");
    EXPECT_EQ(bus.Sent(), Twice(Wire(4, 7, 12, 2)));
    EXPECT_EQ(bus.DeviceUnit(7).Groups(), 0);
    EXPECT_EQ(bus.session.Exchanges(), 1);
  }
}

TEST(BusSessionTest, AStoreLoadsTheDtrFirst) {
  SequenceLine bus(GearAndDevice());
  bus.session.GearStore(BusTarget::Device(5), gear::kStoreDtrAsMaxLevel, 200);
  EXPECT_EQ(bus.Sent(), test::Store(0x0B, 0x2A, 200));
  EXPECT_EQ(bus.GearUnit(5).maxLevel, 200);
  EXPECT_EQ(bus.GearUnit(6).maxLevel, 254);  // heard the DTR, not the store
  EXPECT_EQ(bus.GearUnit(6).dtr, 200);

  // Without its DTR the store does not go out at all: the device would store a stale DTR.
  SequenceLine silent(GearAndDevice());
  silent.SilenceRequest(1);
  const SequenceResult r = RunSequence(
      [&] { silent.session.GearStore(BusTarget::Device(5), gear::kStoreDtrAsMaxLevel, 200); });
  EXPECT_EQ(r.result, kExchangeNoReply);
  EXPECT_EQ(r.step, "DTR");
  EXPECT_EQ(silent.Sent(), std::vector<Frame>{Gear(0xA3, 200)});
  EXPECT_EQ(silent.GearUnit(5).maxLevel, 254);
}

TEST(BusSessionTest, ProgressCountsTheExchangesThatWentThrough) {
  SequenceLine bus(GearAndDevice());
  std::vector<int> counts;
  bus.session.SetProgress([&counts](int exchanges) { counts.push_back(exchanges); });
  bus.session.GearStore(BusTarget::Device(5), gear::kStoreDtrAsFadeRate, 3);
  bus.session.Gear(BusTarget::Device(5), gear::kQueryFadeTimeRate);
  EXPECT_EQ(counts, (std::vector<int>{1, 2, 3, 4}));

  bus.LoseRequest(1);
  const SequenceResult r =
      RunSequence([&] { bus.session.Gear(BusTarget::Device(5), gear::kRecallMaxLevel); });
  EXPECT_EQ(r.Text(), "RECALL MAX LEVEL A 05: Spojenie s DALI bolo prerušené");
  EXPECT_EQ(counts.size(), 4u);
  EXPECT_EQ(bus.session.Exchanges(), 4);
}

TEST(BusSessionTest, CancelStopsBeforeTheNextExchange) {
  SequenceLine bus(GearAndDevice());
  bool cancelled = false;
  bus.session.SetCancel([&cancelled] { return cancelled; });
  // The user's word comes after the first of the pair went out.
  bus.session.SetProgress([&cancelled](int exchanges) { cancelled = exchanges == 2; });
  const SequenceResult r = RunSequence([&] {
    bus.session.GearStore(BusTarget::Device(5), gear::kStoreDtrAsMinLevel, 50);
    bus.session.Gear(BusTarget::Device(5), gear::kRecallMinLevel);
  });
  EXPECT_EQ(r.result, kSequenceCancelled);
  EXPECT_EQ(r.Text(), "STORE DTR AS MIN LEVEL A 05: Prerušené používateľom");
  const std::vector<Frame> firstTwo{Gear(0xA3, 50), Gear(0x0B, 0x2B)};
  EXPECT_EQ(bus.Sent(), firstTwo);
  EXPECT_EQ(bus.GearUnit(5).minLevel, 10);

  // Still cancelled: nothing more goes out; lifted: the session sends again.
  EXPECT_EQ(RunSequence([&] { bus.session.Gear(BusTarget::All(), gear::kOff); }).result,
            kSequenceCancelled);
  EXPECT_EQ(bus.Sent(), firstTwo);
  bus.session.SetCancel(nullptr);
  EXPECT_TRUE(RunSequence([&] { bus.session.Gear(BusTarget::All(), gear::kOff); }).Ok());
  EXPECT_EQ(bus.Sent().size(), 3u);
}

TEST(BusSessionTest, WithoutAGateNothingIsSent) {
  BusSession session;
  const SequenceResult r = RunSequence([&] { session.GearLevel(BusTarget::Group(2), 5); });
  EXPECT_EQ(r.Text(), "DIRECT ARC POWER LEVEL GA 02: Spojenie s DALI nie je otvorené");
  EXPECT_EQ(session.Exchanges(), 0);
}

}  // namespace
}  // namespace lumetra
