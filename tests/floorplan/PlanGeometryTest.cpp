// The floor plan's rules as tables: where a dropped button lands, which typed coordinates and
// addresses stand, the status looks, the group rule and the texts.
#include "ui/floorplan/PlanGeometry.h"

#include <gtest/gtest.h>

#include "model/BalastConfig.h"
#include "model/ControllerConfig.h"

namespace lumetra {
namespace {

TEST(PlanGeometryTest, DropsSnapToTheGridAndStayOnTheArea) {
  const struct {
    plan::Position dropped;
    plan::Position stored;
  } cases[] = {
      {{2, 3}, {5, 5}},            // near the corner: the margin
      {{0, 0}, {5, 5}},            //
      {{-40, -7}, {5, 5}},         // dragged beyond the top-left edge
      {{4, 9}, {5, 5}},            // down to the grid would be 0
      {{5, 5}, {5, 5}},            //
      {{63, 30}, {60, 30}},        // down to the grid
      {{67, 34}, {65, 30}},        //
      {{1099, 1499}, {1070, 1420}},  // the far corner: the whole button and the margin stay on
      {{1070, 1420}, {1070, 1420}},  //
      {{1074, 1424}, {1070, 1420}},  //
      {{5000, 9000}, {1070, 1420}},  //
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.dropped.top << ", " << c.dropped.left);
    EXPECT_EQ(plan::SnapDrop(c.dropped), c.stored);
  }
}

TEST(PlanGeometryTest, ShownPositionsKeepEveryButtonReachable) {
  EXPECT_EQ(plan::ShownPosition(60, 30), (plan::Position{60, 30}));
  EXPECT_EQ(plan::ShownPosition(0, 0), (plan::Position{0, 0}));
  // What a document may hold beyond the area is shown at its edge (the table keeps it).
  EXPECT_EQ(plan::ShownPosition(-500, 2147483647), (plan::Position{0, 1425}));
  EXPECT_EQ(plan::ShownPosition(1100, -2147483647 - 1), (plan::Position{1075, 0}));
}

TEST(PlanGeometryTest, TypedValuesWithinTheirRanges) {
  const struct {
    long long value;
    bool x, y, address;
  } cases[] = {
      {-1, false, false, false},  // an empty edit
      {0, false, false, true},    //
      {4, false, false, true},    //
      {5, true, true, true},      //
      {63, true, true, true},     //
      {64, true, true, false},    //
      {255, true, true, false},   // deleting is not offered on the plan
      {1070, true, true, false},  //
      {1071, true, false, false}, //
      {1420, true, false, false}, //
      {1421, false, false, false},
      {99999, false, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(plan::TypedXValid(c.value), c.x);
    EXPECT_EQ(plan::TypedYValid(c.value), c.y);
    EXPECT_EQ(plan::TypedAddressValid(c.value), c.address);
  }
}

TEST(PlanGeometryTest, StatusLooks) {
  const struct {
    uint8_t status;
    int look;
  } cases[] = {
      {0x00, 0}, {0x04, 0}, {0x01, 0}, {0x08, 0}, {0x40, 0},  // nothing of a lamp's trouble
      {0x20, 1}, {0x80, 1}, {0xA4, 1},                        // reset state, power failure
      {0x02, 2}, {0x22, 2}, {0x82, 2}, {0xFF, 2},             // lamp failure wins; never read
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(int(c.status));
    EXPECT_EQ(plan::StatusLook(c.status), c.look);
  }
}

TEST(PlanGeometryTest, GroupLookOnlyForExactMembers) {
  TBalastConfig table;
  table.SetCurrentSlot(4);
  table.SetShortAddress(4);
  const struct {
    uint8_t group;
    uint8_t member;  // the slot's byte for group 3
    bool shown;
  } cases[] = {
      {TConfig::kAllDevices, 0, true}, {TConfig::kAllDevices, 255, true},
      {3, 1, true},                    {3, 0, false},
      {3, 255, false},                 // not read is no membership
      {2, 1, false},                   // another group
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.group) << "/" << int(c.member));
    table.SetCurrentGroup(c.group);
    for (uint32_t g = 0; g < 16; ++g) table.SetGroups(g, g == 3 ? c.member : 0);
    EXPECT_EQ(plan::InShownGroup(table), c.shown);
  }
}

TEST(PlanGeometryTest, CaptionsAndKindTexts) {
  EXPECT_EQ(plan::DeviceCaption(false, 5), "A 05");
  EXPECT_EQ(plan::DeviceCaption(true, 0), "C 00");
  EXPECT_EQ(plan::DeviceCaption(true, 63), "C 63");
  EXPECT_EQ(plan::LevelCaption(100, true), "100%");
  EXPECT_EQ(plan::LevelCaption(254, false), "254");
  EXPECT_EQ(plan::LevelCaption(0, true), "0%");
  // Not read: no "255%".
  EXPECT_EQ(plan::LevelCaption(255, true), "?");
  EXPECT_EQ(plan::LevelCaption(255, false), "?");
  const struct {
    uint32_t kind;
    const char* label;
    const char* type;
  } kinds[] = {
      {129, "C 07 - T", "129 - Spínač"},
      {131, "C 07 - P", "131 - Pohybový senzor"},
      {133, "C 07 - S", "133 - Svetelný senzor"},
      {141, "C 07 - O", "141 - Optorelé"},
      {142, "C 07 - PS", "142 - Pohybový a svetelný senzor"},
      {130, "C 07", "130 - "},
      {255, "C 07", "255 - "},
  };
  for (const auto& k : kinds) {
    SCOPED_TRACE(k.kind);
    EXPECT_EQ(plan::DeviceLabel(7, k.kind), k.label);
    EXPECT_EQ(plan::DeviceTypeText(true, k.kind), k.type);
  }
  EXPECT_EQ(plan::DeviceTypeText(false, 6), "6 - LED");
  EXPECT_EQ(plan::DeviceTypeText(false, 1), "1 - Núdzové");
  EXPECT_EQ(plan::DeviceTypeText(false, 5), "5 - ");
}

}  // namespace
}  // namespace lumetra
