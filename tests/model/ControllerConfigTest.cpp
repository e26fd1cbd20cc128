// The control device table, the message code table and the push-button/switch layout.
#include "model/ControllerConfig.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "model/MessageCodeTable.h"

namespace lumetra {
namespace {

bool AllErased(const ControllerRecord* record) {
  return std::all_of(record->Layout.begin(), record->Layout.end(),
                     [](uint8_t b) { return b == 0xFF; }) &&
         record->Multimaster == 0xFF;
}

void Occupy(TControllerConfig& table, uint8_t slot, uint8_t kind) {
  table.SetCurrentSlot(slot);
  table.SetShortAddress(slot);
  table.SetDeviceType(kind);
}

TEST(ControllerConfigTest, NewTableHasErasedRecordsAndEmptySwitchEntries) {
  TControllerConfig table;
  for (uint8_t i = 0; i < 64; ++i) EXPECT_TRUE(AllErased(table.Record(i))) << int(i);
  table.SetCurrentSlot(17);
  SwitchLayout sw = table.Switch();
  for (uint32_t s = 0; s < 4; ++s) {
    for (uint32_t k = 0; k < 4; ++k) {
      EXPECT_EQ(sw.Sequences(s).Steps(k).Address(), 0xFF);
      EXPECT_EQ(sw.Sequences(s).Steps(k).Command(), 0xFF);
      EXPECT_EQ(sw.Sequences(s).Steps(k).Timeout(), 0xFFFFFFFFu);
    }
  }
  for (uint32_t i = 0; i < 2; ++i)
    for (uint32_t j = 0; j < 16; ++j) EXPECT_EQ(sw.Oncs(i, j).Address(), 0xFF);
}

TEST(ControllerConfigTest, RecordAccessDoesNotRequireAnOccupiedSlot) {
  TControllerConfig table;
  table.SetCurrentSlot(30);  // empty
  table.SetMultimaster(1);
  table.Switch().SetType0(2);
  EXPECT_EQ(table.Multimaster(), 1);
  EXPECT_EQ(table.Switch().Type0(), 2);
  table.SetCurrentSlot(65);
  table.SetMultimaster(0);
  table.Switch().SetType0(0);
  EXPECT_EQ(table.Multimaster(), 0xFF);
  EXPECT_EQ(table.Switch().Type0(), 0xFF);
  table.SetCurrentSlot(30);
  EXPECT_EQ(table.Switch().Type0(), 2);
}

TEST(ControllerConfigTest, ClearControllersLeavesTheGroupRecord) {
  TControllerConfig table;
  table.ClearScratchSlot();
  table.SetCurrentSlot(64);
  table.Switch().SetType1(1);
  Occupy(table, 3, kKindSwitch);
  table.Switch().SetType1(1);
  table.ClearControllers();
  EXPECT_TRUE(AllErased(table.Record(3)));
  EXPECT_TRUE(table.IsSlotFree(3));
  table.SetCurrentSlot(64);
  EXPECT_EQ(table.Switch().Type1(), 1);
}

TEST(ControllerConfigTest, ScratchSlotIsOccupiedWithAnErasedRecord) {
  TControllerConfig table;
  table.SetCurrentSlot(64);
  table.SetMultimaster(0);
  table.Switch().Sequences(0).Steps(0).SetAddress(3);
  table.ClearScratchSlot();
  EXPECT_FALSE(table.IsSlotFree(64));
  EXPECT_EQ(table.Status(), 0);
  // A group view decides nothing the user did not: its memberships are unknown too.
  for (uint32_t g = 0; g < 16; ++g) EXPECT_EQ(table.Groups(g), 255) << g;
  EXPECT_TRUE(AllErased(table.Record(64)));
  EXPECT_EQ(table.Switch().Origin(0), ByteOrigin::kUnknown);
}

TEST(ControllerConfigTest, MoveControlDeviceCarriesTheWholeRecord) {
  TControllerConfig table;
  Occupy(table, 9, kKindPirSensor);
  table.SetMultimaster(1);
  table.PirSensor().Oncs(31).SetLevel(77);
  table.PirSensor().SetSensorEnabled(1);
  const ControllerRecord before = *table.Record(9);
  Occupy(table, 2, kKindOptoRelay);
  table.OptoRelay().Oncs(0).SetOperator(1);
  const ControllerRecord other = *table.Record(2);

  table.MoveControlDevice(5, 9);
  EXPECT_EQ(table.CurrentSlot(), 5);
  EXPECT_EQ(table.DeviceType(), kKindPirSensor);
  EXPECT_EQ(table.Record(5)->Layout, before.Layout);
  EXPECT_EQ(table.Record(5)->Multimaster, 1);
  EXPECT_TRUE(AllErased(table.Record(9)));
  table.SetCurrentSlot(9);
  EXPECT_EQ(table.Top(), 120);  // control-device column
  EXPECT_EQ(table.Left(), 480);

  table.MoveControlDevice(255, 5);
  EXPECT_TRUE(AllErased(table.Record(5)));
  EXPECT_EQ(table.Record(2)->Layout, other.Layout);
  EXPECT_EQ(table.CurrentSlot(), 2);

  table.MoveControlDevice(2, 2);
  EXPECT_EQ(table.Record(2)->Layout, other.Layout);
}

TEST(ControllerConfigTest, IsMultimasterAtNeedsTheDeviceAndANonZeroFlag) {
  TControllerConfig table;
  table.SetCurrentSlot(7);
  table.SetMultimaster(1);
  EXPECT_FALSE(table.IsMultimasterAt(7));  // empty slot
  table.SetShortAddress(7);
  struct Case {
    uint8_t flag;
    bool expected;
  };
  for (const Case c : {Case{0, false}, Case{1, true}, Case{0xFF, true}, Case{0x80, true}}) {
    table.SetMultimaster(c.flag);
    EXPECT_EQ(table.IsMultimasterAt(7), c.expected) << int(c.flag);
  }
  EXPECT_FALSE(table.IsMultimasterAt(64));
  EXPECT_FALSE(table.IsMultimasterAt(300));
}

TEST(ControllerConfigTest, ResetPositionsUsesTheControlDeviceColumn) {
  TControllerConfig table;
  table.ResetPositions();
  struct Case {
    uint8_t slot;
    int32_t top, left;
  };
  for (const Case c : {Case{0, 60, 400}, Case{5, 90, 480}, Case{63, 510, 640}, Case{64, 0, 0}}) {
    table.SetCurrentSlot(c.slot);
    EXPECT_EQ(table.Top(), c.top) << int(c.slot);
    EXPECT_EQ(table.Left(), c.left) << int(c.slot);
  }
}

TEST(MessageCodeTableTest, CodesMapBackToTheFirstIndexWithThem) {
  struct Case {
    uint8_t code, index;
  };
  for (const Case c : {Case{0xFF, 0}, Case{0x20, 1}, Case{0x00, 3}, Case{0x01, 6}, Case{0x02, 9},
                       Case{0x04, 10}, Case{0xFE, 11}, Case{0x43, 12}, Case{0x22, 12}}) {
    EXPECT_EQ(MessageIndexOf(c.code), c.index) << int(c.code);
  }
  EXPECT_EQ(MessageCodeOf(7), 0x01);
  EXPECT_EQ(MessageCodeOf(12), 0xFF);
  EXPECT_EQ(MessageCodeOf(0xFFFFFFFF), 0xFF);
}

// A table with one push-button/switch device at short address 4.
class ControllerSwitchTest : public ::testing::Test {
 protected:
  void SetUp() override { Occupy(table, 4, kKindSwitch); }
  SwitchLayout Sw() { return table.Switch(); }
  TControllerConfig table;
};

TEST_F(ControllerSwitchTest, TimeoutIsRebuiltLowByteFirst) {
  Sw().SetImageByte(0, 4, 0x34);
  Sw().SetImageByte(0, 5, 0x12);
  EXPECT_EQ(Sw().Sequences(0).Steps(0).Timeout(), 0x1234u);
  EXPECT_EQ(Sw().ImageByte(0, 4), 0x34);
  EXPECT_EQ(Sw().ImageByte(0, 5), 0x12);

  // The low byte replaces the whole value, so the high byte must come second.
  Sw().SetImageByte(3, 23, 0x12);
  Sw().SetImageByte(3, 22, 0x34);
  EXPECT_EQ(Sw().Sequences(3).Steps(3).Timeout(), 0x34u);
}

TEST_F(ControllerSwitchTest, SequenceImageIndicesNameTheirFields) {
  SwitchSequence seq = Sw().Sequences(1);
  seq.Steps(2).SetAddress(0x11);
  seq.Steps(2).SetCommand(0x22);
  seq.Steps(2).SetIndicator1(3);
  seq.Steps(2).SetIndicator2(4);
  seq.Steps(2).SetIndicator3(5);
  seq.Steps(2).SetIndicator4(0xF);
  seq.Steps(2).SetTimeout(64800);
  seq.SetRepeat(0x5F);
  seq.SetResetFlags(0x21);
  struct Case {
    uint32_t n;
    uint8_t value;
  };
  for (const Case c :
       {Case{12, 0x11}, Case{13, 0x22}, Case{14, 0x43}, Case{15, 0xF5}, Case{16, 64800 & 0xFF},
        Case{17, 64800 >> 8}, Case{24, 0x5F}, Case{25, 0x21}, Case{26, 0}, Case{1000, 0}}) {
    EXPECT_EQ(Sw().ImageByte(1, c.n), c.value) << c.n;
  }
  EXPECT_EQ(Sw().ImageByte(4, 0), 0);  // no fifth sequence
  Sw().SetImageByte(1, 26, 9);         // ignored, no spill into sequence 2
  EXPECT_EQ(Sw().ImageByte(2, 0), 0xFF);
}

TEST_F(ControllerSwitchTest, StepIndicatorsKeepTheirNeighbour) {
  SwitchStep step = Sw().Sequences(2).Steps(1);
  step.SetIndicator1(2);
  step.SetIndicator2(5);
  step.SetIndicator1(0x1F);  // wider than four bits: cut, indicator 2 untouched
  EXPECT_EQ(step.Indicator1(), 0xF);
  EXPECT_EQ(step.Indicator2(), 5);
  step.SetIndicator4(1);
  EXPECT_EQ(step.Indicator3(), 0xF);  // erased
  EXPECT_EQ(Sw().ImageByte(2, 9), 0x1F);
}

TEST_F(ControllerSwitchTest, ResponseFlagsPackAndKeepTheOtherBits) {
  SwitchOnc onc = Sw().Oncs(1, 15);
  onc.SetEnabled(1);  // disabled: bit 0 cleared
  onc.SetStopSequence(0);
  onc.SetIndicator1(2);
  onc.SetIndicator2(0);
  EXPECT_EQ(Sw().ImageByte(1, 15, 2), 0x40);
  onc.SetStartSequence(1);
  onc.SetIndicator4(5);
  onc.SetIndicator3(0);
  EXPECT_EQ(Sw().ImageByte(1, 15, 3), 0x15);
  EXPECT_EQ(onc.Enabled(), 1);
  EXPECT_EQ(onc.StopSequence(), 0);
  EXPECT_EQ(onc.Indicator1(), 2);
  EXPECT_EQ(onc.Indicator2(), 0);
  EXPECT_EQ(onc.StartSequence(), 1);
  EXPECT_EQ(onc.Indicator3(), 0);
  EXPECT_EQ(onc.Indicator4(), 5);
  onc.SetEnabled(0);
  EXPECT_EQ(Sw().ImageByte(1, 15, 2), 0x41);
  EXPECT_EQ(onc.Enabled(), 0);
  // The neighbouring entries are untouched.
  EXPECT_EQ(Sw().ImageByte(1, 14, 3), 0xFF);
  EXPECT_EQ(Sw().ImageByte(0, 15, 2), 0xFF);
  EXPECT_EQ(Sw().ImageByte(1, 15, 4), 0);
  EXPECT_EQ(Sw().ImageByte(2, 0, 0), 0);
}

TEST_F(ControllerSwitchTest, MessageIsStoredAsCodeAndReadBackByFirstMatch) {
  SwitchOnc onc = Sw().Oncs(0, 3);
  struct Case {
    uint32_t index;
    uint8_t code, readBack;
  };
  for (const Case c : {Case{7, 0x01, 6}, Case{8, 0x00, 3}, Case{3, 0x00, 3}, Case{11, 0xFE, 11},
                       Case{0, 0xFF, 0}, Case{12, 0xFF, 0}, Case{200, 0xFF, 0}}) {
    onc.SetMessageIndex(c.index);
    EXPECT_EQ(Sw().ImageByte(0, 3, 1), c.code) << c.index;
    EXPECT_EQ(onc.MessageIndex(), c.readBack) << c.index;
  }
  Sw().SetImageByte(0, 3, 1, 0x43);  // a code the table does not know
  EXPECT_EQ(onc.MessageIndex(), 12);
}

TEST_F(ControllerSwitchTest, ButtonEnableBitsAreIndependent) {
  SwitchLayout sw = Sw();
  sw.SetButtonsEnabled(0);
  sw.SetButtonEnabled(1, true);
  EXPECT_EQ(sw.ButtonsEnabled(), 0x02);
  sw.SetButtonEnabled(0, true);
  sw.SetButtonEnabled(1, false);
  sw.SetButtonEnabled(2, true);  // there is no third input
  EXPECT_EQ(sw.ButtonsEnabled(), 0x01);
  EXPECT_TRUE(sw.ButtonEnabled(0));
  EXPECT_FALSE(sw.ButtonEnabled(1));
  EXPECT_FALSE(sw.ButtonEnabled(2));
}

TEST_F(ControllerSwitchTest, OutOfRangeEntriesReadErasedAndStoreNothing) {
  const ControllerRecord before = *table.Record(4);
  Sw().Sequences(4).SetRepeat(1);
  Sw().Sequences(0).Steps(4).SetAddress(1);
  Sw().Oncs(2, 0).SetAddress(1);
  Sw().Oncs(0, 16).SetEnabled(0);
  EXPECT_EQ(table.Record(4)->Layout, before.Layout);
  EXPECT_EQ(Sw().Sequences(0).Steps(4).Command(), 0xFF);
  EXPECT_EQ(Sw().Oncs(0, 16).Address(), 0xFF);
}

}  // namespace
}  // namespace lumetra
