// The control gear table: record access, level conversion, group slot, moves.
#include "model/BalastConfig.h"

#include <gtest/gtest.h>

#include <cstring>

namespace lumetra {
namespace {

bool AllBytes(const GearRecord* record, uint8_t value) {
  const auto* p = reinterpret_cast<const uint8_t*>(record);
  for (size_t i = 0; i < sizeof(GearRecord); ++i)
    if (p[i] != value) return false;
  return true;
}

// Every level accessor pair of the record, so a case table can cover them all.
struct LevelField {
  const char* name;
  uint32_t (TBalastConfig::*get)() const;
  void (TBalastConfig::*set)(uint32_t);
};

const LevelField kLevels[] = {
    {"ActualLevel", &TBalastConfig::ActualLevel, &TBalastConfig::SetActualLevel},
    {"MinLevel", &TBalastConfig::MinLevel, &TBalastConfig::SetMinLevel},
    {"MaxLevel", &TBalastConfig::MaxLevel, &TBalastConfig::SetMaxLevel},
    {"PowerOnLevel", &TBalastConfig::PowerOnLevel, &TBalastConfig::SetPowerOnLevel},
    {"FailureLevel", &TBalastConfig::FailureLevel, &TBalastConfig::SetFailureLevel},
    {"PhysicalMinLevel", &TBalastConfig::PhysicalMinLevel, &TBalastConfig::SetPhysicalMinLevel},
};

TEST(BalastConfigTest, NewTableHasEmptySlotsAndErasedRecords) {
  TBalastConfig gear;
  EXPECT_EQ(gear.UsedSlotCount(), 0);
  for (uint8_t i = 0; i < 65; ++i) EXPECT_TRUE(AllBytes(gear.Record(i), 0xFF)) << int(i);
  EXPECT_EQ(gear.Record(65), nullptr);
}

TEST(BalastConfigTest, LevelFieldsStoreArcAndConvertOnlyInPercentMode) {
  TBalastConfig gear;
  gear.SetCurrentSlot(2);
  gear.SetShortAddress(2);
  for (const LevelField& f : kLevels) {
    gear.SetPercentMode(0);
    (gear.*f.set)(254);
    EXPECT_EQ((gear.*f.get)(), 254u) << f.name;
    gear.SetPercentMode(1);
    EXPECT_EQ((gear.*f.get)(), 100u) << f.name;
    (gear.*f.set)(1);  // 1 percent
    gear.SetPercentMode(0);
    EXPECT_EQ((gear.*f.get)(), 83u) << f.name;
    gear.SetPercentMode(1);
    (gear.*f.set)(101);
    EXPECT_EQ((gear.*f.get)(), 255u) << f.name;
    gear.SetPercentMode(0);
    (gear.*f.set)(0x1FE);  // low 8 bits
    EXPECT_EQ((gear.*f.get)(), 0xFEu) << f.name;
  }
  // Each setter wrote its own byte only.
  gear.SetPercentMode(0);
  gear.SetMaxLevel(200);
  EXPECT_EQ(gear.MinLevel(), 0xFEu);
}

TEST(BalastConfigTest, ScenesConvertLikeLevelsWithinSixteen) {
  TBalastConfig gear;
  gear.SetCurrentSlot(0);
  gear.SetShortAddress(0);
  gear.SetPercentMode(1);
  gear.SetScenes(15, 50);
  EXPECT_EQ(gear.Scenes(15), 50u);
  gear.SetPercentMode(0);
  EXPECT_EQ(gear.Scenes(15), 229u);
  EXPECT_EQ(gear.Scenes(14), 255u);
  gear.SetScenes(16, 3);
  EXPECT_EQ(gear.Scenes(16), 255u);
  EXPECT_TRUE(AllBytes(gear.Record(1), 0xFF));
}

TEST(BalastConfigTest, FadesAreNeverConverted) {
  TBalastConfig gear;
  gear.SetCurrentSlot(0);
  gear.SetShortAddress(0);
  gear.SetPercentMode(1);
  gear.SetFadeRate(7);
  gear.SetFadeTime(0x10F);
  EXPECT_EQ(gear.FadeRate(), 7);
  EXPECT_EQ(gear.FadeTime(), 0x0F);
}

TEST(BalastConfigTest, EmptySlotReadsNoValueAndIgnoresWrites) {
  TBalastConfig gear;
  gear.SetCurrentSlot(4);
  gear.SetMaxLevel(10);
  gear.SetFadeRate(3);
  gear.SetScenes(0, 10);
  EXPECT_TRUE(AllBytes(gear.Record(4), 0xFF));
  EXPECT_EQ(gear.MaxLevel(), 255u);
  EXPECT_EQ(gear.FadeRate(), 255);
  gear.SetCurrentSlot(70);
  EXPECT_EQ(gear.MaxLevel(), 255u);
}

TEST(BalastConfigTest, PreparedGroupSlotReadsZeroLevelsAndNoScenes) {
  TBalastConfig gear;
  gear.ClearScratchSlot();
  gear.SetCurrentSlot(64);
  for (uint8_t percent : {0, 1}) {
    gear.SetPercentMode(percent);
    for (const LevelField& f : kLevels) EXPECT_EQ((gear.*f.get)(), 0u) << f.name;
    EXPECT_EQ(gear.FadeRate(), 0);
    EXPECT_EQ(gear.FadeTime(), 0);
    for (uint32_t s = 0; s < 16; ++s) EXPECT_EQ(gear.Scenes(s), 255u) << s;
  }
  gear.SetMaxLevel(100);  // percent mode still on
  gear.SetPercentMode(0);
  EXPECT_EQ(gear.MaxLevel(), 254u);
}

TEST(BalastConfigTest, ClearEmptiesAllRecordsIncludingTheGroupSlot) {
  TBalastConfig gear;
  gear.ClearScratchSlot();
  gear.SetCurrentSlot(1);
  gear.SetShortAddress(1);
  gear.SetMaxLevel(5);
  gear.Clear();
  for (uint8_t i = 0; i < 65; ++i) EXPECT_TRUE(AllBytes(gear.Record(i), 0xFF)) << int(i);
  EXPECT_TRUE(gear.IsSlotFree(1));
  EXPECT_EQ(gear.CurrentSlot(), 64);
}

class BalastMoveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (uint8_t a : {1, 3}) {
      gear.SetCurrentSlot(a);
      gear.SetShortAddress(a);
      gear.SetDeviceType(6);
      gear.SetMaxLevel(200 + a);
      gear.SetScenes(4, 100 + a);
      gear.SetTop(500 + a);
      gear.SetLeft(600 + a);
    }
  }
  TBalastConfig gear;
};

TEST_F(BalastMoveTest, NewAddressTakesIdentityRecordAndPosition) {
  gear.MoveGear(12, 3);
  EXPECT_EQ(gear.CurrentSlot(), 12);
  EXPECT_EQ(gear.ShortAddress(), 12);
  EXPECT_EQ(gear.MaxLevel(), 203u);
  EXPECT_EQ(gear.Scenes(4), 103u);
  EXPECT_EQ(gear.Top(), 503);
  EXPECT_EQ(gear.Left(), 603);
  EXPECT_TRUE(gear.IsSlotFree(3));
  EXPECT_TRUE(AllBytes(gear.Record(3), 0xFF));
  gear.SetCurrentSlot(3);
  EXPECT_EQ(gear.Top(), 60);
  EXPECT_EQ(gear.Left(), 270);
}

TEST_F(BalastMoveTest, DeletingEmptiesSlotAndRecordAndSelectsAnotherDevice) {
  gear.MoveGear(255, 3);
  EXPECT_EQ(gear.CurrentSlot(), 1);
  EXPECT_TRUE(gear.IsSlotFree(3));
  EXPECT_TRUE(AllBytes(gear.Record(3), 0xFF));
  EXPECT_EQ(gear.MaxLevel(), 201u);
}

TEST_F(BalastMoveTest, MovingOntoItselfKeepsTheRecord) {
  gear.MoveGear(3, 3);
  EXPECT_EQ(gear.CurrentSlot(), 3);
  EXPECT_EQ(gear.MaxLevel(), 203u);
}

TEST(BalastConfigTest, ResetPositionsUsesTheGearColumn) {
  TBalastConfig gear;
  gear.SetCurrentSlot(64);
  gear.SetTop(9);
  gear.ResetPositions();
  EXPECT_EQ(gear.Top(), 0);  // the group slot has no place on the plan
  struct Case {
    uint8_t slot;
    int32_t top, left;
  };
  for (const Case c : {Case{0, 60, 30}, Case{5, 90, 110}, Case{63, 510, 270}}) {
    gear.SetCurrentSlot(c.slot);
    EXPECT_EQ(gear.Top(), c.top);
    EXPECT_EQ(gear.Left(), c.left);
  }
}

}  // namespace
}  // namespace lumetra
