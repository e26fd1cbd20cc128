// The control gear editor's sequences against the simulated line: the requests byte for byte, what
// the devices on the line do with them, and what the table stores.
#include "sequences/GearSequences.h"

#include <cstring>
#include <functional>

#include "SequenceLine.h"
#include "sequences/GroupMembership.h"

namespace lumetra {
namespace {

using test::Frame;
using test::Gear;
using test::GearAt;
using test::SequenceLine;
using test::Store;
using test::Twice;
using test::Wire;
using test::operator+=;

constexpr uint8_t kAll = TConfig::kAllDevices;
const Diagnostics kNoValues{};

// Gear 3 and 10 are in group 5, 10 also in group 2; 5 and 7 in none. The table has read 3, 5 and
// 10, but of 7 only its address: its membership is unknown (255). Gear 5 is the maker's ballast
// with diagnostic memory; control devices sit at 2 and 7.
sim::LineDescription Installation() {
  sim::LineDescription d;
  d.gear = {GearAt(3, 1 << 5), GearAt(5), GearAt(7), GearAt(10, (1 << 5) | (1 << 2))};
  d.gear[1].diagnostics = true;
  d.gear[1].diagnosticMemory = {1, 2, 3, 4, 50, 60, 70, 80, 90};
  for (sim::GearDescription& g : d.gear) g.scenes[0] = 77;
  for (uint8_t a : {2, 7}) {
    sim::DeviceDescription device;
    device.shortAddress = a;
    d.devices.push_back(device);
  }
  return d;
}

uint16_t InstalledGroups(uint8_t a) {
  for (const sim::GearDescription& g : Installation().gear)
    if (g.shortAddress == a) return g.groups;
  return 0;
}

std::unique_ptr<SequenceLine> Installed() {
  auto bus = std::make_unique<SequenceLine>(Installation());
  bus->AddGearSlot(3, 1 << 5);
  bus->AddGearSlot(5);
  bus->AddGearSlot(10, (1 << 5) | (1 << 2));
  bus->gear.SetCurrentSlot(7);
  bus->gear.SetShortAddress(7);
  for (uint8_t a : {2, 7}) {
    bus->devices.SetCurrentSlot(a);
    bus->devices.SetShortAddress(a);
    for (uint32_t g = 0; g < 16; ++g) bus->devices.SetGroups(g, 0);
  }
  bus->gear.SetCurrentSlot(5);
  return bus;
}

// Everything the gear table holds for its slots, to show what a sequence changed and what not.
std::vector<uint8_t> TableImage(TBalastConfig& t) {
  std::vector<uint8_t> image;
  const uint8_t slot = t.CurrentSlot();
  for (uint8_t i = 0; i < TConfig::kSlotCount; ++i) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(t.Record(i));
    image.insert(image.end(), bytes, bytes + sizeof(GearRecord));
    t.SetCurrentSlot(i);
    image.push_back(t.ShortAddress());
    for (uint32_t g = 0; g < 16; ++g) image.push_back(t.Groups(g));
  }
  t.SetCurrentSlot(slot);
  image.push_back(t.CurrentSlot());
  image.push_back(t.CurrentGroup());
  image.push_back(t.PercentMode());
  return image;
}

uint16_t TableGroups(TConfig& t, uint8_t slot) {
  const uint8_t remembered = t.CurrentSlot();
  t.SetCurrentSlot(slot);
  uint16_t bits = 0;
  for (uint32_t g = 0; g < 16; ++g) {
    EXPECT_NE(t.Groups(g), 255) << "slot " << int(slot) << " group " << g;
    if (t.Groups(g) != 0) bits = static_cast<uint16_t>(bits | (1u << g));
  }
  t.SetCurrentSlot(remembered);
  return bits;
}

bool Contains(const std::vector<uint8_t>& list, uint8_t a) {
  return std::find(list.begin(), list.end(), a) != list.end();
}

// The three kinds of selection of the editor, and whom each reaches: on the line the members, in
// the table also the device whose membership was never read (it may have heard the command).
struct Selection {
  const char* name;
  int device;     // -1: the group button `group`
  uint8_t group;  // for a device: the group that stays chosen in the grid, which must not matter
  uint8_t command;
  uint8_t arc;
  std::vector<uint8_t> heard;
  std::vector<uint8_t> stored;

  void Apply(SequenceLine& bus) const {
    if (device >= 0) {
      bus.gear.SetCurrentGroup(group);
      bus.gear.SetCurrentSlot(static_cast<uint8_t>(device));
    } else {
      bus.SelectGroup(group);
    }
  }
};
const Selection kSelections[] = {
    {"device 10", 10, 5, 0x15, 0x14, {10}, {10}},
    {"group 5", -1, 5, 0x8B, 0x8A, {3, 10}, {3, 7, 10}},
    {"all devices", -1, kAll, 0xFF, 0xFE, {3, 5, 7, 10}, {3, 5, 7, 10}},
};
constexpr uint8_t kLineGear[] = {3, 5, 7, 10};
constexpr uint8_t kTableGear[] = {3, 5, 7, 10};

TEST(GearSequencesTest, DirectCommandsAndTheResetReachTheSelection) {
  for (const Selection& s : kSelections) {
    SCOPED_TRACE(s.name);
    auto bus = Installed();
    s.Apply(*bus);
    const std::vector<uint8_t> before = TableImage(bus->gear);
    EXPECT_EQ(SelectedTarget(bus->gear).GearCommandByte(), s.command);
    EXPECT_TRUE(SendGearCommand(bus->session, bus->gear, gear::kRecallMinLevel).Ok());
    for (uint8_t a : kLineGear)
      EXPECT_EQ(bus->GearUnit(a).actualLevel, Contains(s.heard, a) ? 10 : 0) << int(a);
    EXPECT_TRUE(SendGearCommand(bus->session, bus->gear, gear::kGoToScene.At(0)).Ok());
    for (uint8_t a : kLineGear)
      EXPECT_EQ(bus->GearUnit(a).actualLevel, Contains(s.heard, a) ? 77 : 0) << int(a);
    EXPECT_TRUE(ResetGear(bus->session, bus->gear).Ok());
    for (uint8_t a : kLineGear)
      EXPECT_EQ(bus->GearUnit(a).minLevel, Contains(s.heard, a) ? 1 : 10) << int(a);

    std::vector<Frame> expected{Gear(s.command, 0x06), Gear(s.command, 0x10)};
    expected += Twice(s.command, 0x20);
    EXPECT_EQ(bus->Sent(), expected);
    EXPECT_EQ(TableImage(bus->gear), before);  // commands are not settings
  }
}

TEST(GearSequencesTest, ActualLevelReachesTheSelectionAndIsStoredForIt) {
  for (const Selection& s : kSelections) {
    SCOPED_TRACE(s.name);
    auto bus = Installed();
    s.Apply(*bus);
    EXPECT_TRUE(WriteActualLevel(bus->session, bus->gear, 77).Ok());
    EXPECT_EQ(bus->Sent(), std::vector<Frame>{Gear(s.arc, 77)});
    for (uint8_t a : kLineGear)
      EXPECT_EQ(bus->GearUnit(a).actualLevel, Contains(s.heard, a) ? 77 : 0) << int(a);
    for (uint8_t a : kTableGear) {
      const bool stored = Contains(s.stored, a);
      // Slot 7 was never read: unless stored it keeps "not read".
      const uint8_t kept = a == 7 ? 255 : 100;
      EXPECT_EQ(bus->gear.Record(a)->ActualLevel, stored ? 77 : kept) << int(a);
    }
    EXPECT_EQ(bus->gear.CurrentSlot(), s.device >= 0 ? s.device : TConfig::kGroupSlot);
  }
}

TEST(GearSequencesTest, SettingsWriteStoresEachSettingAfterItsDtr) {
  const GearSettings settings{20, 240, 200, 180, 9, 15};
  for (const Selection& s : kSelections) {
    SCOPED_TRACE(s.name);
    auto bus = Installed();
    s.Apply(*bus);
    EXPECT_TRUE(WriteGearSettings(bus->session, bus->gear, settings).Ok());
    // Minimum before maximum: a device clamps each to the other.
    std::vector<Frame> expected = Store(s.command, 0x2B, 20);
    expected += Store(s.command, 0x2A, 240);
    expected += Store(s.command, 0x2D, 200);
    expected += Store(s.command, 0x2C, 180);
    expected += Store(s.command, 0x2F, 9);
    expected += Store(s.command, 0x2E, 15);
    EXPECT_EQ(bus->Sent(), expected);

    for (uint8_t a : kLineGear) {
      SCOPED_TRACE(int(a));
      const sim::ControlGear g = bus->GearUnit(a);
      const bool heard = Contains(s.heard, a);
      EXPECT_EQ(g.minLevel, heard ? 20 : 10);
      EXPECT_EQ(g.maxLevel, heard ? 240 : 254);
      EXPECT_EQ(g.powerOnLevel, heard ? 200 : 254);
      EXPECT_EQ(g.failureLevel, heard ? 180 : 254);
      EXPECT_EQ(g.fadeRate, heard ? 9 : 7);
      EXPECT_EQ(g.fadeTime, heard ? 15 : 0);
    }
    for (uint8_t a : kTableGear) {
      SCOPED_TRACE(int(a));
      const GearRecord& r = *bus->gear.Record(a);
      const bool stored = Contains(s.stored, a);
      const auto kept = [a](uint8_t v) { return a == 7 ? uint8_t{255} : v; };
      EXPECT_EQ(r.MinLevel, stored ? 20 : kept(101));
      EXPECT_EQ(r.MaxLevel, stored ? 240 : kept(102));
      EXPECT_EQ(r.PowerOnLevel, stored ? 200 : kept(103));
      EXPECT_EQ(r.FailureLevel, stored ? 180 : kept(104));
      EXPECT_EQ(r.FadeRate, stored ? 9 : kept(3));
      EXPECT_EQ(r.FadeTime, stored ? 15 : kept(4));
    }
  }
}

TEST(GearSequencesTest, GroupsWriteSendsEveryGroupAndCopiesAGroupSelection) {
  for (const Selection& s : kSelections) {
    SCOPED_TRACE(s.name);
    auto bus = Installed();
    s.Apply(*bus);
    // The editor's boxes: the device's own membership plus group 1, or the group slot with
    // only group 1 on (group 5 itself left unchecked: its members leave it).
    bus->gear.SetGroups(1, 1);
    const uint16_t boxes = s.device >= 0 ? (1 << 1) | (1 << 2) | (1 << 5) : 1 << 1;
    EXPECT_TRUE(WriteGearGroups(bus->session, bus->gear).Ok());
    std::vector<Frame> expected;
    for (int g = 0; g < 16; ++g)
      expected += Twice(s.command, static_cast<uint8_t>(((boxes >> g) & 1 ? 0x60 : 0x70) + g));
    EXPECT_EQ(bus->Sent(), expected);

    for (uint8_t a : kLineGear)
      EXPECT_EQ(bus->GearUnit(a).groups, Contains(s.heard, a) ? boxes : InstalledGroups(a))
          << int(a);
    for (uint8_t a : {3, 5, 10}) {
      EXPECT_EQ(TableGroups(bus->gear, a), Contains(s.stored, a) ? boxes : InstalledGroups(a))
          << int(a);
    }
    // Of a group's member never read only the groups up to the selected one become known (see
    // below); every device hears all sixteen.
    if (s.group == kAll) {
      EXPECT_EQ(TableGroups(bus->gear, 7), boxes);
    }
  }
}

// Commands to a group reach only its members: a member that leaves the group at its own box
// hears nothing of the boxes after it, and the table must not claim otherwise.
TEST(GearSequencesTest, MembersThatLeaveTheGroupKeepTheLaterGroupsAsTheyWere) {
  auto bus = Installed();
  bus->gear.SetCurrentSlot(3);
  bus->gear.SetGroups(12, 1);  // gear 3 was in group 12 too
  bus->SelectGroup(5);
  bus->gear.SetGroups(1, 1);  // a box before group 5 and one after it
  bus->gear.SetGroups(9, 1);
  EXPECT_TRUE(WriteGearGroups(bus->session, bus->gear).Ok());
  EXPECT_EQ(bus->Sent().size(), 32u);
  // What the line did: group 1 added and 2 removed before group 5 was left; 9 never heard.
  EXPECT_EQ(bus->GearUnit(3).groups, 1 << 1);
  EXPECT_EQ(bus->GearUnit(10).groups, 1 << 1);
  EXPECT_EQ(TableGroups(bus->gear, 3), (1 << 1) | (1 << 12));
  EXPECT_EQ(TableGroups(bus->gear, 10), 1 << 1);
  // Slot 7: groups 0..5 are now known, the later ones still unknown.
  bus->gear.SetCurrentSlot(7);
  for (uint32_t g = 0; g < 16; ++g)
    EXPECT_EQ(bus->gear.Groups(g), g == 1 ? 1 : g <= 5 ? 0 : 255) << g;
  EXPECT_EQ(TableGroups(bus->gear, 5), 0);
}

TEST(GearSequencesTest, ScenesWriteStoresOrRemovesEachScene) {
  for (const Selection& s : kSelections) {
    SCOPED_TRACE(s.name);
    auto bus = Installed();
    s.Apply(*bus);
    bus->gear.SetScenes(3, 40);  // the device's own record, or the group slot
    EXPECT_TRUE(WriteGearScenes(bus->session, bus->gear).Ok());
    std::vector<Frame> expected;
    for (int n = 0; n < 16; ++n) {
      expected +=
          n == 3 ? Store(s.command, 0x43, 40) : Twice(s.command, static_cast<uint8_t>(0x50 + n));
    }
    EXPECT_EQ(bus->Sent(), expected);
    for (uint8_t a : kLineGear) {
      const sim::ControlGear g = bus->GearUnit(a);
      const bool heard = Contains(s.heard, a);
      EXPECT_EQ(g.scenes[0], heard ? 255 : 77) << int(a);
      EXPECT_EQ(g.scenes[3], heard ? 40 : 255) << int(a);
    }
    for (uint8_t a : kTableGear) {
      const bool stored = Contains(s.stored, a);
      for (size_t n = 0; n < 16; ++n)
        EXPECT_EQ(bus->gear.Record(a)->Scenes[n], stored && n == 3 ? 40 : 255) << int(a) << n;
    }
    // A free slot is nobody's record.
    EXPECT_TRUE(bus->gear.IsSlotFree(4));
    EXPECT_EQ(bus->gear.Record(4)->Scenes[3], 255);
  }
}

TEST(GearSequencesTest, PercentModeConvertsLevelsButNeitherFadesNorScenes) {
  const struct {
    uint32_t shown;
    uint8_t arc;
  } levels[] = {{0, 0}, {1, 83}, {50, 229}, {100, 254}};
  for (const auto& l : levels) {
    SCOPED_TRACE(l.shown);
    auto bus = Installed();
    bus->gear.SetPercentMode(1);
    EXPECT_TRUE(WriteActualLevel(bus->session, bus->gear, l.shown).Ok());
    EXPECT_EQ(bus->Sent(), std::vector<Frame>{Gear(0x0A, l.arc)});
    EXPECT_EQ(bus->gear.Record(5)->ActualLevel, l.arc);
  }

  auto bus = Installed();
  bus->gear.SetPercentMode(1);
  EXPECT_TRUE(WriteGearSettings(bus->session, bus->gear, {1, 100, 50, 0, 9, 15}).Ok());
  std::vector<Frame> expected = Store(0x0B, 0x2B, 83);
  expected += Store(0x0B, 0x2A, 254);
  expected += Store(0x0B, 0x2D, 229);
  expected += Store(0x0B, 0x2C, 0);
  expected += Store(0x0B, 0x2F, 9);
  expected += Store(0x0B, 0x2E, 15);
  EXPECT_EQ(bus->Sent(), expected);
  const GearRecord& r = *bus->gear.Record(5);
  EXPECT_EQ((std::array<uint8_t, 6>{r.MinLevel, r.MaxLevel, r.PowerOnLevel, r.FailureLevel,
                                    r.FadeRate, r.FadeTime}),
            (std::array<uint8_t, 6>{83, 254, 229, 0, 9, 15}));
  EXPECT_EQ(bus->GearUnit(5).maxLevel, 254);
  EXPECT_EQ(bus->GearUnit(5).powerOnLevel, 229);

  // Scene levels go out as the table holds them, and the unit the user chose is back afterwards.
  auto scenes = Installed();
  scenes->gear.SetScenes(0, 200);
  scenes->gear.SetPercentMode(1);
  EXPECT_TRUE(WriteGearScenes(scenes->session, scenes->gear).Ok());
  ASSERT_EQ(scenes->Sent().size(), 3u + 15 * 2);
  EXPECT_EQ(scenes->Sent()[0], Gear(0xA3, 200));
  EXPECT_EQ(scenes->gear.PercentMode(), 1);
  EXPECT_EQ(scenes->GearUnit(5).scenes[0], 200);
}

TEST(GearSequencesTest, RefusedInputsSendNothing) {
  const struct {
    const char* name;
    std::function<void(SequenceLine&)> prepare;
    std::function<SequenceResult(SequenceLine&)> run;
  } cases[] = {
      {"address taken", nullptr,
       [](SequenceLine& b) { return ChangeGearShortAddress(b.session, b.gear, 10); }},
      {"its own address", nullptr,
       [](SequenceLine& b) { return ChangeGearShortAddress(b.session, b.gear, 5); }},
      {"address 64", nullptr,
       [](SequenceLine& b) { return ChangeGearShortAddress(b.session, b.gear, 64); }},
      {"address -1", nullptr,
       [](SequenceLine& b) { return ChangeGearShortAddress(b.session, b.gear, -1); }},
      {"address 256", nullptr,
       [](SequenceLine& b) { return ChangeGearShortAddress(b.session, b.gear, 256); }},
      {"a group selected", [](SequenceLine& b) { b.SelectGroup(5); },
       [](SequenceLine& b) { return ChangeGearShortAddress(b.session, b.gear, 20); }},
      {"all devices selected", [](SequenceLine& b) { b.SelectGroup(kAll); },
       [](SequenceLine& b) { return ChangeGearShortAddress(b.session, b.gear, 255); }},
      {"a free slot selected", [](SequenceLine& b) { b.gear.SetCurrentSlot(4); },
       [](SequenceLine& b) { return ChangeGearShortAddress(b.session, b.gear, 20); }},
      {"101 percent", [](SequenceLine& b) { b.gear.SetPercentMode(1); },
       [](SequenceLine& b) { return WriteActualLevel(b.session, b.gear, 101); }},
      {"arc 255", nullptr,
       [](SequenceLine& b) { return WriteActualLevel(b.session, b.gear, 255); }},
      {"arc 1000", nullptr,
       [](SequenceLine& b) { return WriteActualLevel(b.session, b.gear, 1000); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto bus = Installed();
    if (c.prepare) c.prepare(*bus);
    const std::vector<uint8_t> before = TableImage(bus->gear);
    const SequenceResult r = c.run(*bus);
    EXPECT_EQ(r.result, kSequenceRefused);
    EXPECT_TRUE(r.step.empty());
    EXPECT_TRUE(bus->Sent().empty());
    EXPECT_EQ(TableImage(bus->gear), before);
  }
}

TEST(GearSequencesTest, ShortAddressChangeMovesTheDeviceAndItsRecord) {
  auto bus = Installed();
  bus->gear.SetCurrentSlot(3);
  bus->gear.SetTop(123);
  bus->gear.SetLeft(456);
  EXPECT_TRUE(ChangeGearShortAddress(bus->session, bus->gear, 20).Ok());
  EXPECT_EQ(bus->Sent(), Store(0x07, 0x80, 0x29));
  EXPECT_EQ(bus->GearByIndex(0).shortAddress, 20);
  EXPECT_TRUE(bus->gear.IsSlotFree(3));
  EXPECT_EQ(bus->gear.CurrentSlot(), 20);
  EXPECT_EQ(bus->gear.ShortAddress(), 20);
  EXPECT_EQ(bus->gear.Top(), 123);
  EXPECT_EQ(bus->gear.Left(), 456);
  EXPECT_EQ(bus->gear.Record(20)->MaxLevel, 102);
  EXPECT_EQ(TableGroups(bus->gear, 20), 1 << 5);

  // 255 deletes the address; the table selects the lowest other device.
  EXPECT_TRUE(ChangeGearShortAddress(bus->session, bus->gear, 255).Ok());
  const std::vector<Frame> sent = bus->Sent();
  EXPECT_EQ(std::vector<Frame>(sent.begin() + 3, sent.end()), Store(0x29, 0x80, 0xFF));
  EXPECT_EQ(bus->GearByIndex(0).shortAddress, 255);
  EXPECT_TRUE(bus->gear.IsSlotFree(20));
  EXPECT_EQ(bus->gear.CurrentSlot(), 5);
}

TEST(GearSequencesTest, LocateAlternatesMinimumAndMaximum) {
  auto bus = Installed();
  for (int step = 0; step < 4; ++step) {
    EXPECT_TRUE(SendLocateStep(bus->session, BusTarget::Group(5), step).Ok());
    EXPECT_EQ(bus->Sent().back(), Gear(0x8B, step % 2 == 0 ? 0x06 : 0x05));
    EXPECT_EQ(bus->GearUnit(10).actualLevel, step % 2 == 0 ? 10 : 254);
  }
  EXPECT_EQ(bus->Sent().size(), 4u);
  EXPECT_EQ(bus->GearUnit(5).actualLevel, 0);
}

TEST(GearSequencesTest, DiagnosticsReadNineLocationsAndWriteFour) {
  auto bus = Installed();
  Diagnostics values;
  EXPECT_TRUE(ReadDiagnostics(bus->session, 5, values).Ok());
  std::vector<Frame> reads{Gear(0xA3, 0)};
  for (int i = 0; i < kDiagnosticLocations; ++i) reads.push_back(Gear(0x0B, 0xC5));
  EXPECT_EQ(bus->Sent(), reads);
  EXPECT_EQ(values[0], 1);
  EXPECT_EQ(values[3], 4);
  // The measurements wander around their nominal values; the lamp is off, so no voltage.
  EXPECT_EQ(values[5], 0);
  for (size_t i : {4, 6, 7, 8}) {
    ASSERT_TRUE(values[i].has_value()) << i;
    EXPECT_NEAR(*values[i], (i + 1) * 10, 2) << i;
  }

  // Gear without the maker's memory keeps quiet: no value is made up for it.
  Diagnostics silent;
  silent[0] = 99;
  EXPECT_TRUE(ReadDiagnostics(bus->session, 10, silent).Ok());
  EXPECT_EQ(silent, kNoValues);
  EXPECT_EQ(bus->Sent().size(), 2 * reads.size());

  const size_t before = bus->Sent().size();
  EXPECT_TRUE(WriteDiagnostics(bus->session, 5, {44, 7, 0, 255}).Ok());
  const std::vector<Frame> sent = bus->Sent();
  EXPECT_EQ(std::vector<Frame>(sent.begin() + static_cast<long>(before), sent.end()),
            (std::vector<Frame>{Gear(0xA3, 0), Gear(0x0B, 0x81), Gear(0xC7, 44), Gear(0xC7, 7),
                                Gear(0xC7, 0), Gear(0xC7, 255)}));
  const sim::ControlGear g = bus->GearUnit(5);
  EXPECT_EQ((std::array<uint8_t, 4>{g.memory[0], g.memory[1], g.memory[2], g.memory[3]}),
            (std::array<uint8_t, 4>{44, 7, 0, 255}));
  EXPECT_TRUE(ReadDiagnostics(bus->session, 5, values).Ok());
  EXPECT_EQ(values[0], 44);
  EXPECT_EQ(values[3], 255);
}

// Every sequence ends at its first failed exchange: nothing after it goes out, the table keeps
// what did not reach the bus, and the result names the step.
TEST(GearSequencesTest, AFailedExchangeStopsTheSequenceAndNamesTheStep) {
  struct Case {
    const char* name;
    int failAt;  // the request that fails; silent: no reply, else the gate is lost
    bool silent;
    std::function<SequenceResult(SequenceLine&)> run;
    const char* text;
    std::function<void(SequenceLine&)> check;
  };
  Diagnostics values;
  values.fill(99);
  const Case cases[] = {
      {"settings", 5, false,
       [](SequenceLine& b) {
         return WriteGearSettings(b.session, b.gear, {20, 240, 200, 180, 9, 15});
       },
       "STORE DTR AS MAX LEVEL A 05: Spojenie s DALI bolo prerušené",
       [](SequenceLine& b) {
         EXPECT_EQ(b.GearUnit(5).minLevel, 20);
         EXPECT_EQ(b.GearUnit(5).maxLevel, 254);
         EXPECT_EQ(b.gear.Record(5)->MinLevel, 20);  // reached the device: stored
         EXPECT_EQ(b.gear.Record(5)->MaxLevel, 102);
         EXPECT_EQ(b.gear.Record(5)->FadeTime, 4);
       }},
      {"settings, first DTR", 1, true,
       [](SequenceLine& b) {
         return WriteGearSettings(b.session, b.gear, {20, 240, 200, 180, 9, 15});
       },
       "DTR: Zariadenie neodpovedá",
       [](SequenceLine& b) { EXPECT_EQ(b.gear.Record(5)->MinLevel, 101); }},
      {"actual level", 1, false,
       [](SequenceLine& b) { return WriteActualLevel(b.session, b.gear, 50); },
       "DIRECT ARC POWER LEVEL A 05: Spojenie s DALI bolo prerušené",
       [](SequenceLine& b) { EXPECT_EQ(b.gear.Record(5)->ActualLevel, 100); }},
      {"groups of group 5", 10, false,
       [](SequenceLine& b) {
         b.SelectGroup(5);
         b.gear.SetGroups(1, 1);
         return WriteGearGroups(b.session, b.gear);
       },
       "REMOVE FROM GROUP GA 05: Spojenie s DALI bolo prerušené",
       [](SequenceLine& b) {
         EXPECT_EQ(b.GearUnit(3).groups, (1 << 1) | (1 << 5));  // group 1 was added before the stop
         EXPECT_EQ(TableGroups(b.gear, 3), 1 << 5);             // no member copied
         EXPECT_EQ(TableGroups(b.gear, 10), (1 << 5) | (1 << 2));
       }},
      {"scenes of all devices", 2, false,
       [](SequenceLine& b) {
         b.SelectGroup(kAll);
         b.gear.SetScenes(3, 40);
         return WriteGearScenes(b.session, b.gear);
       },
       "REMOVE FROM SCENE A ALL: Spojenie s DALI bolo prerušené",
       [](SequenceLine& b) {
         EXPECT_EQ(b.GearUnit(3).scenes[0], 77);
         EXPECT_EQ(b.gear.Record(3)->Scenes[3], 255);
       }},
      {"short address", 3, false,
       [](SequenceLine& b) { return ChangeGearShortAddress(b.session, b.gear, 20); },
       "STORE DTR AS SHORT ADDRESS A 05: Spojenie s DALI bolo prerušené",
       [](SequenceLine& b) {
         EXPECT_EQ(b.GearByIndex(1).shortAddress, 5);
         EXPECT_FALSE(b.gear.IsSlotFree(5));
         EXPECT_TRUE(b.gear.IsSlotFree(20));
         EXPECT_EQ(b.gear.CurrentSlot(), 5);
       }},
      {"reset", 2, false, [](SequenceLine& b) { return ResetGear(b.session, b.gear); },
       "RESET A 05: Spojenie s DALI bolo prerušené",
       [](SequenceLine& b) { EXPECT_EQ(b.GearUnit(5).minLevel, 10); }},
      {"diagnostics read", 4, true,
       [&values](SequenceLine& b) { return ReadDiagnostics(b.session, 5, values); },
       "READ MEMORY LOCATION A 05: Zariadenie neodpovedá",
       [&values](SequenceLine&) {
         // Locations 0 and 1 were read; no old value may pass for the rest.
         EXPECT_EQ(values[0], 1);
         EXPECT_EQ(values[1], 2);
         for (size_t i = 2; i < values.size(); ++i) EXPECT_FALSE(values[i].has_value()) << i;
       }},
      {"diagnostics write", 4, false,
       [](SequenceLine& b) {
         return WriteDiagnostics(b.session, 5, {44, 7, 0, 255});
       },
       "WRITE MEMORY LOCATION: Spojenie s DALI bolo prerušené",
       [](SequenceLine& b) {
         EXPECT_EQ(b.GearUnit(5).memory[0], 44);
         EXPECT_EQ(b.GearUnit(5).memory[1], 2);
       }},
      {"membership", 2, false,
       [](SequenceLine& b) {
         b.gear.SetCurrentGroup(3);
         return ToggleGroupMembership(b.session, b.gear, true, 5).result;
       },
       "ADD TO GROUP A 05: Spojenie s DALI bolo prerušené",
       [](SequenceLine& b) {
         EXPECT_EQ(b.GearUnit(5).groups, 0);
         EXPECT_EQ(b.gear.CurrentSlot(), 5);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto bus = Installed();
    c.silent ? bus->SilenceRequest(c.failAt) : bus->LoseRequest(c.failAt);
    const SequenceResult r = c.run(*bus);
    EXPECT_EQ(r.result, c.silent ? kExchangeNoReply : kExchangeLost);
    EXPECT_EQ(r.Text(), c.text);
    EXPECT_EQ(bus->Sent().size(), static_cast<size_t>(c.failAt));
    c.check(*bus);
  }
}

}  // namespace
}  // namespace lumetra
