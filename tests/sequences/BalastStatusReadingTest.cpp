// "Čítať stav svietidiel" as a sequence against the simulated line: every occupied lamp's status
// and actual level in turn, byte for byte, the table's selection and unit kept, and the stop at
// the first failed exchange with what it did not reach left unknown.
#include <vector>

#include "SequenceLine.h"
#include "commissioning/ParameterReading.h"
#include "ui/floorplan/PlanGeometry.h"

namespace lumetra {
namespace {

using test::Frame;
using test::Gear;
using test::GearAt;
using test::SequenceLine;

constexpr uint8_t kQueryStatus = 0x90;
constexpr uint8_t kQueryActualLevel = 0xA0;

// Gear 2 has lost its lamp, 40 has seen a power failure, 9 is well at level 200; 17 is in the
// table (read before) but gone from the line.
sim::LineDescription Installation() {
  sim::LineDescription d;
  d.gear = {GearAt(2), GearAt(9), GearAt(40)};
  d.gear[0].status = 0x02;
  d.gear[0].actualLevel = 254;
  d.gear[1].actualLevel = 200;
  d.gear[2].status = 0x80;
  d.gear[2].actualLevel = 100;
  return d;
}

std::unique_ptr<SequenceLine> Installed() {
  auto bus = std::make_unique<SequenceLine>(Installation());
  for (uint8_t a : {2, 9, 17, 40}) {
    bus->AddGearSlot(a);
    bus->gear.SetStatus(0);
  }
  bus->gear.SetPercentMode(1);
  bus->gear.SetCurrentSlot(9);
  return bus;
}

std::vector<Frame> Queries(std::initializer_list<uint8_t> addresses) {
  std::vector<Frame> frames;
  for (uint8_t a : addresses) {
    const uint8_t byte = static_cast<uint8_t>(2 * a + 1);
    frames.push_back(Gear(byte, kQueryStatus));
    frames.push_back(Gear(byte, kQueryActualLevel));
  }
  return frames;
}

uint8_t RawStatus(const TBalastConfig& table, uint8_t a) { return table.SlotAt(a)->Status; }
uint8_t RawLevel(const TBalastConfig& table, uint8_t a) { return table.Record(a)->ActualLevel; }

TEST(BalastStatusReadingTest, ReadsEveryOccupiedLampInTurnAndKeepsTheSelection) {
  auto bus = Installed();
  std::vector<int> told;
  const SequenceResult r =
      ReadBalastStatuses(bus->session, bus->gear, [&](int a) { told.push_back(a); });
  EXPECT_TRUE(r.Ok()) << r.Text();
  EXPECT_EQ(bus->Sent(), Queries({2, 9, 17, 40}));
  EXPECT_EQ(told, (std::vector<int>{2, 9, 17, 40}));

  for (uint8_t a : {2, 9, 40}) {
    SCOPED_TRACE(int(a));
    EXPECT_EQ(RawStatus(bus->gear, a), bus->GearUnit(a).Status());
    EXPECT_EQ(RawLevel(bus->gear, a), bus->GearUnit(a).actualLevel);
  }
  // What the status squares show: lamp failure red, power failure orange, a sound lamp green;
  // the lamp that did not answer is as unknown as one never read.
  EXPECT_EQ(plan::StatusLook(RawStatus(bus->gear, 2)), 2);
  EXPECT_EQ(plan::StatusLook(RawStatus(bus->gear, 40)), 1);
  EXPECT_EQ(plan::StatusLook(RawStatus(bus->gear, 9)), 0);
  EXPECT_EQ(RawStatus(bus->gear, 17), 255);
  EXPECT_EQ(plan::StatusLook(RawStatus(bus->gear, 17)), 2);

  // Levels went in as arc values; the user's unit and selection are back.
  EXPECT_EQ(bus->gear.PercentMode(), 1);
  EXPECT_EQ(bus->gear.CurrentSlot(), 9);
  EXPECT_EQ(bus->gear.ActualLevel(), bus->gear.ConvertLevel(true, 200));
}

TEST(BalastStatusReadingTest, AFailedExchangeStopsTheReadingAndLeavesTheRestUnknown) {
  const struct {
    const char* name;
    void (*fail)(SequenceLine&);
    int result;
  } cases[] = {
      {"no reply to the status of lamp 9", [](SequenceLine& b) { b.SilenceRequest(3); },
       kExchangeNoReply},
      {"gate lost at the status of lamp 9", [](SequenceLine& b) { b.LoseRequest(3); },
       kExchangeLost},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto bus = Installed();
    c.fail(*bus);
    std::vector<int> told;
    const SequenceResult r =
        ReadBalastStatuses(bus->session, bus->gear, [&](int a) { told.push_back(a); });
    EXPECT_EQ(r.result, c.result);
    EXPECT_EQ(r.step, "QUERY STATUS A 09");
    EXPECT_EQ(told, (std::vector<int>{2, 9}));
    // Nothing after the failed request went out.
    const std::vector<Frame> sent = bus->Sent();
    const std::vector<Frame> expected = Queries({2, 9});
    EXPECT_EQ(std::vector<Frame>(sent.begin(), sent.begin() + std::min<size_t>(sent.size(), 3)),
              std::vector<Frame>(expected.begin(), expected.begin() + 3));
    EXPECT_LE(sent.size(), 3u);
    EXPECT_EQ(RawStatus(bus->gear, 2), bus->GearUnit(2).Status());
    for (uint8_t a : {9, 17, 40}) {
      SCOPED_TRACE(int(a));
      EXPECT_EQ(RawStatus(bus->gear, a), 255);
      EXPECT_EQ(RawLevel(bus->gear, a), 255);
    }
    EXPECT_EQ(bus->gear.CurrentSlot(), 9);
    EXPECT_EQ(bus->gear.PercentMode(), 1);
  }
}

TEST(BalastStatusReadingTest, AGearThatDoesNotAnswerIsUnknownRatherThanTheEchoOfItsQuery) {
  // The gate's "no answer" repeats the request; a full reading of gear 17 (not on the line) must
  // not store the query codes as its type, levels and status.
  auto bus = Installed();
  EXPECT_TRUE(RunSequence([&] { ReadGear(bus->session, bus->gear, false, 17, [] { return false; }); })
                  .Ok());
  const GearRecord& record = *bus->gear.Record(17);
  const DeviceSlot& slot = *bus->gear.SlotAt(17);
  for (uint8_t value : {slot.DeviceType, slot.Version, slot.Status, record.ActualLevel,
                        record.MinLevel, record.MaxLevel, record.PowerOnLevel,
                        record.FailureLevel, record.PhysicalMinLevel, record.FadeRate,
                        record.FadeTime}) {
    EXPECT_EQ(value, 255);
  }
  for (uint8_t member : slot.Groups) EXPECT_EQ(member, 255);
  EXPECT_EQ(slot.ShortAddress, 17);
}

TEST(BalastStatusReadingTest, AnEmptyTableSendsNothing) {
  auto bus = std::make_unique<SequenceLine>(Installation());
  bool told = false;
  EXPECT_TRUE(ReadBalastStatuses(bus->session, bus->gear, [&](int) { told = true; }).Ok());
  EXPECT_TRUE(bus->Sent().empty());
  EXPECT_FALSE(told);
}

}  // namespace
}  // namespace lumetra
