// The device table base: selection, which accessor reaches which slot, moves, positions, levels.
#include "model/Config.h"

#include <gtest/gtest.h>

namespace lumetra {
namespace {

// A table with devices at the given short addresses, each with recognisable identity bytes.
class ConfigTest : public ::testing::Test {
 protected:
  void Occupy(uint8_t slot, uint8_t deviceType = 6) {
    table.SetCurrentSlot(slot);
    table.SetShortAddress(slot);
    table.SetStatus(0x10 + slot);
    table.SetVersion(1);
    table.SetMinVersion(slot);
    table.SetDeviceType(deviceType);
    table.SetGroups(3, 1);
    table.SetTop(1000 + slot);
    table.SetLeft(2000 + slot);
  }
  TConfig table;
};

TEST_F(ConfigTest, NewTableIsEmptyWithAllDevicesSelected) {
  EXPECT_EQ(table.CurrentSlot(), 64);
  EXPECT_EQ(table.CurrentGroup(), 255);
  EXPECT_EQ(table.PercentMode(), 0);
  EXPECT_EQ(table.FirstFreeSlot(), 0);
  EXPECT_EQ(table.FirstUsedSlot(), 64);
  EXPECT_EQ(table.UsedSlotCount(), 0);
  for (uint8_t i = 0; i < 64; ++i) EXPECT_TRUE(table.IsSlotFree(i)) << int(i);
}

TEST_F(ConfigTest, CurrentGroupAcceptsOnlyGroupsAndAll) {
  table.SetCurrentGroup(7);
  EXPECT_EQ(table.CurrentGroup(), 7);
  for (uint8_t bad : {16, 20, 128, 254}) {
    table.SetCurrentGroup(bad);
    EXPECT_EQ(table.CurrentGroup(), 7) << int(bad);
  }
  table.SetCurrentGroup(255);
  EXPECT_EQ(table.CurrentGroup(), 255);
}

TEST_F(ConfigTest, EmptySlotReadsNoValueAndIgnoresEveryFieldButTheAddress) {
  table.SetCurrentSlot(9);
  table.SetStatus(1);
  table.SetVersion(2);
  table.SetDeviceType(3);
  table.SetGroups(0, 1);
  EXPECT_EQ(table.Status(), 255);
  EXPECT_EQ(table.Version(), 255);
  EXPECT_EQ(table.DeviceType(), 255);
  EXPECT_EQ(table.Groups(0), 255);
  table.SetShortAddress(9);  // this is how a slot becomes occupied
  EXPECT_FALSE(table.IsSlotFree(9));
  EXPECT_EQ(table.Status(), 255);  // still not read
  table.SetStatus(1);
  EXPECT_EQ(table.Status(), 1);
}

TEST_F(ConfigTest, GroupSlotReachesStatusAndGroupsOnly) {
  table.ClearScratchSlot();
  table.SetCurrentSlot(64);
  EXPECT_FALSE(table.IsSlotFree(64));
  EXPECT_EQ(table.ShortAddress(), 255);
  EXPECT_EQ(table.Version(), 255);
  EXPECT_EQ(table.MinVersion(), 255);
  EXPECT_EQ(table.DeviceType(), 255);
  EXPECT_EQ(table.Status(), 0);
  EXPECT_EQ(table.Groups(15), 0);
  table.SetGroups(15, 1);
  EXPECT_EQ(table.Groups(15), 1);
  table.SetStatus(5);  // the group slot's status is read-only
  table.SetShortAddress(5);
  table.SetVersion(5);
  EXPECT_EQ(table.Status(), 0);
  EXPECT_FALSE(table.IsSlotFree(64));
}

TEST_F(ConfigTest, OutOfRangeIndicesAndSelectionsChangeNothing) {
  Occupy(2);
  EXPECT_EQ(table.Groups(16), 255);
  table.SetGroups(16, 0);
  EXPECT_EQ(table.Groups(3), 1);

  table.SetCurrentSlot(65);  // stored unchecked; everything beyond the table is inert
  table.SetShortAddress(1);
  table.SetTop(7);
  EXPECT_EQ(table.ShortAddress(), 255);
  EXPECT_EQ(table.Status(), 255);
  EXPECT_EQ(table.Groups(0), 255);
  EXPECT_EQ(table.Top(), 0);
  EXPECT_FALSE(table.IsSlotFree(65));
  EXPECT_EQ(table.UsedSlotCount(), 1);
}

TEST_F(ConfigTest, SettersStoreTheLow8Bits) {
  table.SetCurrentSlot(4);
  table.SetShortAddress(0x104);
  EXPECT_EQ(table.ShortAddress(), 4);
  table.SetDeviceType(0x1FF81);
  EXPECT_EQ(table.DeviceType(), 0x81);
  table.SetGroups(2, 0x301);
  EXPECT_EQ(table.Groups(2), 1);
}

TEST_F(ConfigTest, SlotQueriesSeeOnlyDeviceSlots) {
  table.ClearScratchSlot();  // the occupied group slot never counts
  Occupy(0);
  Occupy(1);
  Occupy(40);
  EXPECT_EQ(table.FirstFreeSlot(), 2);
  EXPECT_EQ(table.FirstUsedSlot(), 0);
  EXPECT_EQ(table.UsedSlotCount(), 3);
  for (uint8_t i = 0; i < 64; ++i) Occupy(i);
  EXPECT_EQ(table.FirstFreeSlot(), 64);
  EXPECT_EQ(table.UsedSlotCount(), 64);
}

TEST_F(ConfigTest, ResetEmptiesDevicesButKeepsGroupSlotAndPositions) {
  Occupy(8);
  table.ClearScratchSlot();
  table.SetCurrentGroup(3);
  table.Reset();
  EXPECT_EQ(table.CurrentSlot(), 64);
  EXPECT_EQ(table.CurrentGroup(), 255);
  EXPECT_TRUE(table.IsSlotFree(8));
  EXPECT_FALSE(table.IsSlotFree(64));
  table.SetCurrentSlot(8);
  EXPECT_EQ(table.Top(), 1008);
}

TEST_F(ConfigTest, MoveSlotCarriesIdentityAndPositionAndVacatesTheSource) {
  Occupy(9);
  table.SetCurrentSlot(0);
  table.MoveSlot(5, 9);
  EXPECT_EQ(table.CurrentSlot(), 5);
  EXPECT_EQ(table.ShortAddress(), 5);
  EXPECT_EQ(table.Status(), 0x19);
  EXPECT_EQ(table.MinVersion(), 9);
  EXPECT_EQ(table.DeviceType(), 6);
  EXPECT_EQ(table.Groups(3), 1);
  EXPECT_EQ(table.Top(), 1009);
  EXPECT_EQ(table.Left(), 2009);
  EXPECT_TRUE(table.IsSlotFree(9));
  table.SetCurrentSlot(9);
  EXPECT_EQ(table.Top(), 120);  // gear column: DeviceType 6 is not a control device
  EXPECT_EQ(table.Left(), 110);
}

TEST_F(ConfigTest, DeletingSelectsTheLowestOtherDevice) {
  Occupy(3);
  Occupy(9);
  Occupy(20);
  table.MoveSlot(255, 3);
  EXPECT_EQ(table.CurrentSlot(), 9);
  EXPECT_TRUE(table.IsSlotFree(3));

  TConfig lone;
  lone.SetCurrentSlot(9);
  lone.SetShortAddress(9);
  lone.SetCurrentSlot(30);
  lone.MoveSlot(255, 9);
  EXPECT_EQ(lone.CurrentSlot(), 30);
  EXPECT_EQ(lone.UsedSlotCount(), 0);
}

TEST_F(ConfigTest, VacatedSlotPositionFollowsItsKind) {
  struct Case {
    uint8_t deviceType;
    int32_t left;
  };
  // 255: never read, which counts as above 128.
  for (const Case c : {Case{6, 270}, Case{128, 270}, Case{129, 640}, Case{255, 640}}) {
    TConfig t;
    t.SetCurrentSlot(63);
    t.SetShortAddress(63);
    if (c.deviceType != 255) t.SetDeviceType(c.deviceType);
    t.MoveSlot(255, 63);
    t.SetCurrentSlot(63);
    EXPECT_EQ(t.Top(), 510) << int(c.deviceType);
    EXPECT_EQ(t.Left(), c.left) << int(c.deviceType);
  }
}

TEST_F(ConfigTest, MoveOntoItselfKeepsTheDevice) {
  Occupy(7);
  table.MoveSlot(7, 7);
  EXPECT_EQ(table.CurrentSlot(), 7);
  EXPECT_EQ(table.ShortAddress(), 7);
  EXPECT_EQ(table.Status(), 0x17);
  EXPECT_EQ(table.Top(), 1007);
}

TEST_F(ConfigTest, MovesFromOrIntoTheGroupSlotAreRefused) {
  Occupy(7);
  table.ClearScratchSlot();
  table.MoveSlot(64, 7);
  table.MoveSlot(7, 64);
  table.MoveSlot(100, 7);
  EXPECT_FALSE(table.IsSlotFree(7));
  EXPECT_FALSE(table.IsSlotFree(64));
  table.SetCurrentSlot(7);
  EXPECT_EQ(table.Status(), 0x17);
}

TEST(ConfigDefaultPositionTest, FourToARowInTwoColumnBlocks) {
  struct Case {
    uint8_t slot;
    bool controlDevice;
    int32_t top, left;
  };
  for (const Case c : {Case{0, false, 60, 30}, Case{5, false, 90, 110}, Case{63, false, 510, 270},
                       Case{0, true, 60, 400}, Case{5, true, 90, 480}, Case{63, true, 510, 640}}) {
    const SlotPosition p = TConfig::DefaultPosition(c.slot, c.controlDevice);
    EXPECT_EQ(p.Top, c.top) << int(c.slot);
    EXPECT_EQ(p.Left, c.left) << int(c.slot);
  }
}

TEST(LevelConversionTest, PercentModeConvertsThroughBothTables) {
  TConfig t;
  t.SetPercentMode(1);
  struct Case {
    bool toPercent;
    uint32_t in, out;
  };
  for (const Case c : {
           Case{true, 254, 100},  // 1000 tenths
           Case{true, 1, 0},      // one tenth is dropped
           Case{true, 83, 1},
           Case{true, 223, 42},
           Case{true, 229, 50},
           Case{true, 0, 0},
           Case{true, 255, 255},  // no value passes through
           Case{true, 1000, 255},
           Case{false, 43, 223},
           Case{false, 50, 229},
           Case{false, 1, 83},
           Case{false, 100, 254},
           Case{false, 0, 0},
           Case{false, 101, 255},
           Case{false, 255, 255},
       }) {
    EXPECT_EQ(t.ConvertLevel(c.toPercent, c.in), c.out) << c.toPercent << " " << c.in;
  }
}

TEST(LevelConversionTest, RawModePassesEveryValue) {
  TConfig t;
  for (uint32_t v : {0u, 1u, 254u, 255u, 256u, 70000u}) {
    EXPECT_EQ(t.ConvertLevel(true, v), v);
    EXPECT_EQ(t.ConvertLevel(false, v), v);
  }
}

TEST(LevelConversionTest, CurvesRiseMonotonically) {
  // A transposed or mistyped entry shows up as a step down.
  for (size_t i = 1; i < TConfig::ArcToPercentTable.size(); ++i)
    EXPECT_LE(TConfig::ArcToPercentTable[i - 1], TConfig::ArcToPercentTable[i]) << i;
  for (size_t i = 1; i < TConfig::PercentToArcTable.size(); ++i)
    EXPECT_LE(TConfig::PercentToArcTable[i - 1], TConfig::PercentToArcTable[i]) << i;
}

TEST(LevelFormatTest, DecimalInBothModes) {
  TConfig t;
  EXPECT_EQ(t.FormatLevel(42), "42");
  t.SetPercentMode(1);
  EXPECT_EQ(t.FormatLevel(255), "255");
  EXPECT_EQ(t.FormatLevel(-3), "-3");
}

}  // namespace
}  // namespace lumetra
