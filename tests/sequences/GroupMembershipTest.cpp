// The grids' right-click against the simulated line: the device joins or leaves the chosen group
// on the bus and in the table, and the grid's selection stays.
#include "sequences/GroupMembership.h"

#include "SequenceLine.h"

namespace lumetra {
namespace {

using test::Frame;
using test::GearAt;
using test::SequenceLine;
using test::Twice;
using test::Wire;
using test::operator+=;

sim::LineDescription Line() {
  sim::LineDescription d;
  d.gear = {GearAt(0), GearAt(5)};
  for (uint8_t a : {2, 7}) {
    sim::DeviceDescription device;
    device.shortAddress = a;
    d.devices.push_back(device);
  }
  return d;
}

// Gear 0 and 5 and control devices 2 and 7, read: in no group. Gear 9 is known by its address
// only.
std::unique_ptr<SequenceLine> Grids() {
  auto bus = std::make_unique<SequenceLine>(Line());
  bus->AddGearSlot(0);
  bus->AddGearSlot(5);
  bus->gear.SetCurrentSlot(9);
  bus->gear.SetShortAddress(9);
  bus->gear.SetCurrentSlot(0);
  for (uint8_t a : {2, 7}) {
    bus->devices.SetCurrentSlot(a);
    bus->devices.SetShortAddress(a);
    for (uint32_t g = 0; g < 16; ++g) bus->devices.SetGroups(g, 0);
  }
  bus->devices.SetCurrentSlot(2);
  return bus;
}

uint8_t MemberOf(TConfig& table, uint8_t slot, uint8_t g) {
  const uint8_t remembered = table.CurrentSlot();
  table.SetCurrentSlot(slot);
  const uint8_t member = table.Groups(g);
  table.SetCurrentSlot(remembered);
  return member;
}

TEST(GroupMembershipTest, GearJoinsAndLeavesTheChosenGroup) {
  auto bus = Grids();
  bus->gear.SetCurrentGroup(3);
  MembershipToggle t = ToggleGroupMembership(bus->session, bus->gear, true, 5);
  EXPECT_TRUE(t.sent);
  EXPECT_TRUE(t.member);
  EXPECT_TRUE(t.result.Ok());
  EXPECT_EQ(bus->Sent(), Twice(0x0B, 0x63));
  EXPECT_EQ(bus->GearUnit(5).groups, 1 << 3);
  EXPECT_EQ(bus->GearUnit(0).groups, 0);
  EXPECT_EQ(MemberOf(bus->gear, 5, 3), 1);
  EXPECT_EQ(bus->gear.CurrentSlot(), 0);  // the grid's selection stays

  t = ToggleGroupMembership(bus->session, bus->gear, true, 5);
  EXPECT_FALSE(t.member);
  std::vector<Frame> expected = Twice(0x0B, 0x63);
  expected += Twice(0x0B, 0x73);
  EXPECT_EQ(bus->Sent(), expected);
  EXPECT_EQ(bus->GearUnit(5).groups, 0);
  EXPECT_EQ(MemberOf(bus->gear, 5, 3), 0);

  // A membership never read may be true: the click takes the device out, which makes it known.
  t = ToggleGroupMembership(bus->session, bus->gear, true, 9);
  EXPECT_FALSE(t.member);
  EXPECT_EQ(bus->Sent().back(), test::Gear(0x13, 0x73));
  EXPECT_EQ(MemberOf(bus->gear, 9, 3), 0);
}

TEST(GroupMembershipTest, ControlDevicesUseTheControlGroupCommands) {
  auto bus = Grids();
  bus->devices.SetCurrentGroup(2);
  MembershipToggle t = ToggleGroupMembership(bus->session, bus->devices, false, 7);
  EXPECT_TRUE(t.sent && t.member && t.result.Ok());
  EXPECT_EQ(bus->DeviceUnit(7).Groups(), 1 << 2);
  EXPECT_EQ(bus->DeviceUnit(2).Groups(), 0);
  EXPECT_EQ(MemberOf(bus->devices, 7, 2), 1);
  EXPECT_EQ(bus->devices.CurrentSlot(), 2);

  t = ToggleGroupMembership(bus->session, bus->devices, false, 7);
  EXPECT_FALSE(t.member);
  std::vector<Frame> expected = Twice(Wire(4, 7, 12, 2));
  expected += Twice(Wire(4, 7, 13, 2));
  EXPECT_EQ(bus->Sent(), expected);
  EXPECT_EQ(bus->DeviceUnit(7).Groups(), 0);
  EXPECT_EQ(MemberOf(bus->devices, 7, 2), 0);
}

TEST(GroupMembershipTest, AllDevicesHasNoGroupToToggle) {
  auto bus = Grids();
  for (TConfig* table : {static_cast<TConfig*>(&bus->gear), static_cast<TConfig*>(&bus->devices)}) {
    table->SetCurrentGroup(TConfig::kAllDevices);
    const MembershipToggle t = ToggleGroupMembership(bus->session, *table, table == &bus->gear, 7);
    EXPECT_FALSE(t.sent);
    EXPECT_TRUE(t.result.Ok());
  }
  EXPECT_TRUE(bus->Sent().empty());
  for (uint32_t g = 0; g < 16; ++g)
    EXPECT_EQ(MemberOf(bus->devices, 7, static_cast<uint8_t>(g)), 0);
}

}  // namespace
}  // namespace lumetra
