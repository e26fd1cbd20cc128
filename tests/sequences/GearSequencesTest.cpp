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

TEST(GearSequencesTest, SettingsWriteSendsOnlyTheGivenSettings) {
  // Only the maximum was typed: the group's members keep everything else, also gear 7 whose other
  // settings were never read.
  auto bus = Installed();
  bus->SelectGroup(5);
  GearSettings settings;
  settings.maxLevel = 200;
  std::vector<int> written;
  EXPECT_TRUE(WriteGearSettings(bus->session, bus->gear, settings, [&written](int item) {
                written.push_back(item);
              }).Ok());
  EXPECT_EQ(bus->Sent(), Store(0x8B, 0x2A, 200));
  EXPECT_EQ(written, std::vector<int>{1});
  for (uint8_t a : {3, 10}) {
    const sim::ControlGear g = bus->GearUnit(a);
    EXPECT_EQ(g.maxLevel, 200);
    EXPECT_EQ(g.minLevel, 10);
    EXPECT_EQ(g.powerOnLevel, 254);
    EXPECT_EQ(g.fadeRate, 7);
  }
  EXPECT_EQ(bus->gear.Record(3)->MaxLevel, 200);
  EXPECT_EQ(bus->gear.Record(3)->MinLevel, 101);
  EXPECT_EQ(bus->gear.Record(7)->MaxLevel, 200);
  EXPECT_EQ(bus->gear.Record(7)->MinLevel, 255);

  // Nothing given, nothing sent.
  EXPECT_TRUE(WriteGearSettings(bus->session, bus->gear, {}).Ok());
  EXPECT_EQ(bus->Sent().size(), 3u);
}

TEST(GearSequencesTest, GroupsWriteSendsTheGivenGroupsAndStoresThemForTheSelection) {
  for (const Selection& s : kSelections) {
    SCOPED_TRACE(s.name);
    auto bus = Installed();
    s.Apply(*bus);
    // Join 1 and 9, leave 5; a group selection's own removal goes last.
    GearGroups groups{};
    groups[1] = true;
    groups[5] = false;
    groups[9] = true;
    std::vector<int> written;
    EXPECT_TRUE(WriteGearGroups(bus->session, bus->gear, groups, [&written](int g) {
                  written.push_back(g);
                }).Ok());
    const std::vector<int> order =
        s.group == 5 && s.device < 0 ? std::vector<int>{1, 9, 5} : std::vector<int>{1, 5, 9};
    std::vector<Frame> expected;
    for (int g : order) {
      expected += Twice(s.command, static_cast<uint8_t>((g == 5 ? 0x70 : 0x60) + g));
    }
    EXPECT_EQ(bus->Sent(), expected);
    EXPECT_EQ(written, order);

    const auto changed = [](uint16_t bits) {
      return static_cast<uint16_t>((bits | (1 << 1) | (1 << 9)) & ~(1 << 5));
    };
    for (uint8_t a : kLineGear) {
      EXPECT_EQ(bus->GearUnit(a).groups,
                Contains(s.heard, a) ? changed(InstalledGroups(a)) : InstalledGroups(a))
          << int(a);
    }
    for (uint8_t a : {3, 5, 10}) {
      EXPECT_EQ(TableGroups(bus->gear, a),
                Contains(s.stored, a) ? changed(InstalledGroups(a)) : InstalledGroups(a))
          << int(a);
    }
    // Of gear 7, never read, only the groups sent to it become known.
    bus->gear.SetCurrentSlot(7);
    for (uint32_t g = 0; g < 16; ++g) {
      const bool sent = g == 1 || g == 5 || g == 9;
      const uint32_t expectedValue = Contains(s.stored, 7) && sent ? (g == 5 ? 0u : 1u) : 255u;
      EXPECT_EQ(bus->gear.Groups(g), expectedValue) << g;
    }
  }
}

// Commands to a group reach only its members: leaving the group itself last lets them hear every
// other change first.
TEST(GearSequencesTest, MembersLeavingTheirGroupHearTheOtherChangesFirst) {
  auto bus = Installed();
  bus->SelectGroup(5);
  GearGroups groups{};
  groups[5] = false;
  groups[12] = true;
  EXPECT_TRUE(WriteGearGroups(bus->session, bus->gear, groups).Ok());
  EXPECT_EQ(bus->Sent().size(), 4u);
  EXPECT_EQ(bus->GearUnit(3).groups, 1 << 12);
  EXPECT_EQ(bus->GearUnit(10).groups, (1 << 12) | (1 << 2));
  EXPECT_EQ(TableGroups(bus->gear, 3), 1 << 12);
  EXPECT_EQ(TableGroups(bus->gear, 10), (1 << 12) | (1 << 2));
}

TEST(GearSequencesTest, ScenesWriteStoresOrRemovesTheGivenScenes) {
  for (const Selection& s : kSelections) {
    SCOPED_TRACE(s.name);
    auto bus = Installed();
    s.Apply(*bus);
    GearScenes scenes{};
    scenes[0] = 255;  // out of scene 0
    scenes[3] = 40;
    EXPECT_TRUE(WriteGearScenes(bus->session, bus->gear, scenes).Ok());
    std::vector<Frame> expected = Twice(s.command, 0x50);
    expected += Store(s.command, 0x43, 40);
    EXPECT_EQ(bus->Sent(), expected);
    for (uint8_t a : kLineGear) {
      const sim::ControlGear g = bus->GearUnit(a);
      const bool heard = Contains(s.heard, a);
      EXPECT_EQ(g.scenes[0], heard ? 255 : 77) << int(a);
      EXPECT_EQ(g.scenes[3], heard ? 40 : 255) << int(a);
      EXPECT_EQ(g.scenes[4], 255) << int(a);
    }
    for (uint8_t a : kTableGear) {
      const bool stored = Contains(s.stored, a);
      EXPECT_EQ(bus->gear.Record(a)->Scenes[3], stored ? 40 : 255) << int(a);
    }
    // A free slot is nobody's record.
    EXPECT_TRUE(bus->gear.IsSlotFree(4));
    EXPECT_EQ(bus->gear.Record(4)->Scenes[3], 255);
  }
}

TEST(GearSequencesTest, PercentModeConvertsTypedLevelsOnceButNotFades) {
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

  // A scene level typed in percent goes out as the arc level it stands for; the table holds that,
  // and the unit the user chose is back afterwards. Above 100 % it leaves the scene.
  auto scenes = Installed();
  scenes->gear.SetPercentMode(1);
  GearScenes typed{};
  typed[0] = 50;
  typed[1] = 101;
  EXPECT_TRUE(WriteGearScenes(scenes->session, scenes->gear, typed).Ok());
  std::vector<Frame> sceneRequests = Store(0x0B, 0x40, 229);
  sceneRequests += Twice(0x0B, 0x51);
  EXPECT_EQ(scenes->Sent(), sceneRequests);
  EXPECT_EQ(scenes->gear.PercentMode(), 1);
  EXPECT_EQ(scenes->gear.Record(5)->Scenes[0], 229);
  EXPECT_EQ(scenes->GearUnit(5).scenes[0], 229);
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
      {"groups of group 5", 4, false,
       [](SequenceLine& b) {
         b.SelectGroup(5);
         GearGroups groups{};
         groups[1] = true;
         groups[9] = true;
         return WriteGearGroups(b.session, b.gear, groups);
       },
       "ADD TO GROUP 9 GA 05: Spojenie s DALI bolo prerušené",
       [](SequenceLine& b) {
         EXPECT_EQ(b.GearUnit(3).groups, (1 << 1) | (1 << 5));  // group 1 went through
         EXPECT_EQ(TableGroups(b.gear, 3), (1 << 1) | (1 << 5));
         EXPECT_EQ(TableGroups(b.gear, 10), (1 << 1) | (1 << 5) | (1 << 2));
       }},
      {"scenes of all devices", 2, false,
       [](SequenceLine& b) {
         b.SelectGroup(kAll);
         GearScenes scenes{};
         scenes[0] = 255;
         scenes[3] = 40;
         return WriteGearScenes(b.session, b.gear, scenes);
       },
       "REMOVE FROM SCENE 0 A ALL: Spojenie s DALI bolo prerušené",
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
       "ADD TO GROUP 3 A 05: Spojenie s DALI bolo prerušené",
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
