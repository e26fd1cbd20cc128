// The switch's response editor: the codings between the table and its combo boxes, the typed
// source addresses, the shown input and the wheel rule.
#include "ui/devices/SwitchOncFrame.h"

#include <gtest/gtest.h>

#include "OncFrameFixture.h"
#include "model/MessageCodeTable.h"

namespace lumetra {
namespace {

class SwitchOncFrameTest : public test::OncFrameFixture<TSwitchOncFrame> {
 protected:
  SwitchOnc Onc(uint32_t input, uint32_t entry) { return table.Switch().Oncs(input, entry); }
};

TEST_F(SwitchOncFrameTest, ControlsCarryTheirNames) {
  EXPECT_EQ(editor->findChild<QLineEdit*>("Edit16OncAddress"), editor->EditOncAddress[15]);
  EXPECT_EQ(editor->findChild<QComboBox*>("ComboBox1OncState"), editor->ComboBoxOncState[0]);
  EXPECT_EQ(editor->findChild<QCheckBox*>("CheckBox7OncDisabled"), editor->CheckBoxOncDisabled[6]);
  EXPECT_EQ(editor->findChild<QCheckBox*>("CheckBox2OncStopSequence"),
            editor->CheckBoxOncStopSequence[1]);
  EXPECT_EQ(editor->findChild<QComboBox*>("ComboBox3OncStartSequence"),
            editor->ComboBoxOncStartSequence[2]);
  EXPECT_EQ(editor->findChild<QComboBox*>("ComboBox16OncLed4"), editor->ComboBoxOncLed[3][15]);
  EXPECT_EQ(editor->ComboBoxOncState[0]->count(), TSwitchOncFrame::kMessageItems);
  EXPECT_EQ(editor->ComboBoxOncState[0]->itemText(6), QString::fromUtf8("Tl. 2 pustené / vypnuté"));
}

// The stored code maps to the first index with that code; codes of messages the switch does not
// offer leave the box without a choice.
TEST_F(SwitchOncFrameTest, StoredMessageCodeSelectsTheFirstMatchingItem) {
  const struct {
    uint8_t code;
    int item;
  } cases[] = {{0xFF, 0}, {0x20, 1}, {0x40, 2},  {0x00, 3},  {0x21, 4},
               {0x41, 5}, {0x01, 6}, {0x02, -1}, {0x04, -1}, {0xFE, -1}};
  for (const auto& c : cases) {
    Onc(0, 2).SetMessageIndex(MessageIndexOf(c.code));
    ASSERT_EQ(Onc(0, 2).Message(), c.code);
    editor->ShowResponses(0);
    EXPECT_EQ(editor->ComboBoxOncState[2]->currentIndex(), c.item) << "code " << int(c.code);
  }
  for (int item = 0; item < TSwitchOncFrame::kMessageItems; ++item) {
    Choose(editor->ComboBoxOncState[2], item);
    EXPECT_EQ(Onc(0, 2).Message(), MessageCodeTable[static_cast<size_t>(item)].Code);
  }
}

TEST_F(SwitchOncFrameTest, StartSequenceCoding) {
  const struct {
    uint8_t stored;
    int item;
  } shown[] = {{0, 1}, {1, 2}, {3, 0}, {2, -1}};
  for (const auto& c : shown) {
    Onc(1, 5).SetStartSequence(c.stored);
    editor->ShowResponses(1);
    EXPECT_EQ(editor->ComboBoxOncStartSequence[5]->currentIndex(), c.item)
        << "stored " << int(c.stored);
  }
  const struct {
    int item;
    uint8_t stored;
  } chosen[] = {{0, 3}, {1, 0}, {2, 1}};
  for (const auto& c : chosen) {
    Choose(editor->ComboBoxOncStartSequence[5], c.item);
    EXPECT_EQ(Onc(1, 5).StartSequence(), c.stored) << "item " << c.item;
    editor->ShowResponses(1);
    EXPECT_EQ(editor->ComboBoxOncStartSequence[5]->currentIndex(), c.item);
  }
}

// Each indicator box shows and stores its own indicator; 6 has no item.
TEST_F(SwitchOncFrameTest, IndicatorCoding) {
  const struct {
    uint8_t stored;
    int item;
  } cases[] = {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 6}, {7, 0}, {6, -1}};
  for (const auto& c : cases) {
    for (int k = 0; k < 4; ++k) {
      SwitchOnc onc = Onc(0, 9);
      onc.SetIndicator1(k == 0 ? c.stored : 0);
      onc.SetIndicator2(k == 1 ? c.stored : 0);
      onc.SetIndicator3(k == 2 ? c.stored : 0);
      onc.SetIndicator4(k == 3 ? c.stored : 0);
      editor->ShowResponses(0);
      for (int n = 0; n < 4; ++n) {
        EXPECT_EQ(editor->ComboBoxOncLed[static_cast<size_t>(n)][9]->currentIndex(),
                  n == k ? c.item : 1)
            << "stored " << int(c.stored) << " in indicator " << k + 1 << ", box " << n + 1;
      }
    }
  }
  for (int k = 0; k < 4; ++k) {
    for (int item = 0; item < 7; ++item) {
      for (int n = 0; n < 4; ++n) Choose(editor->ComboBoxOncLed[static_cast<size_t>(n)][9], 1);
      Choose(editor->ComboBoxOncLed[static_cast<size_t>(k)][9], item);
      const uint8_t stored = static_cast<uint8_t>((item - 1) & 7);
      const SwitchOnc onc = Onc(0, 9);
      const uint8_t values[] = {onc.Indicator1(), onc.Indicator2(), onc.Indicator3(),
                                onc.Indicator4()};
      for (int n = 0; n < 4; ++n) {
        EXPECT_EQ(values[n], n == k ? stored : 0) << "item " << item << " in box " << k + 1;
      }
    }
  }
}

TEST_F(SwitchOncFrameTest, TypedSourceAddress) {
  const struct {
    const char* typed;
    uint8_t stored;
    const char* shown;
    bool red;
  } cases[] = {
      {"3", 3, "3", false},     // a multimaster source
      {"4", 4, "4", true},      // a device that sends nothing
      {"abc", 0, "abc", true},  // no leading digits: address 0
      {"12x", 12, "12x", true}, {"63", 63, "63", true},
      {"64", 7, "7", true},  // rejected: the text it had on entry comes back
      {"200", 7, "7", true},    {"255", 255, "", false},
      {"", 255, "", false},
  };
  for (const auto& c : cases) {
    Onc(1, 0).SetAddress(7);
    editor->ShowResponses(1);
    ASSERT_EQ(editor->EditOncAddress[0]->text(), QStringLiteral("7"));
    Type(editor->EditOncAddress[0], QString::fromLatin1(c.typed));
    EXPECT_EQ(Onc(1, 0).Address(), c.stored) << "typed " << c.typed;
    EXPECT_EQ(editor->EditOncAddress[0]->text(), QString::fromLatin1(c.shown)) << c.typed;
    EXPECT_EQ(PaintedRed(editor->EditOncAddress[0]), c.red) << "typed " << c.typed;
    EXPECT_EQ(Onc(0, 0).Address(), 0xFF) << "input 1 keeps its own entries";
  }
}

TEST_F(SwitchOncFrameTest, RowsShowTheChosenInput) {
  Onc(0, 3).SetAddress(3);
  Onc(0, 3).SetEnabled(0);
  Onc(0, 3).SetStopSequence(0);
  Onc(1, 3).SetAddress(4);
  Onc(1, 3).SetEnabled(1);
  Onc(1, 3).SetStopSequence(1);
  editor->ShowResponses(0);
  EXPECT_EQ(editor->EditOncAddress[3]->text(), QStringLiteral("3"));
  EXPECT_FALSE(PaintedRed(editor->EditOncAddress[3]));
  EXPECT_FALSE(editor->CheckBoxOncDisabled[3]->isChecked());
  EXPECT_FALSE(editor->CheckBoxOncStopSequence[3]->isChecked());
  editor->ShowResponses(1);
  EXPECT_EQ(editor->EditOncAddress[3]->text(), QStringLiteral("4"));
  EXPECT_TRUE(PaintedRed(editor->EditOncAddress[3]));
  EXPECT_TRUE(editor->CheckBoxOncDisabled[3]->isChecked());
  EXPECT_TRUE(editor->CheckBoxOncStopSequence[3]->isChecked());
  EXPECT_EQ(page->PanelShown, 0) << "filling the rows is not a change";

  editor->CheckBoxOncDisabled[3]->click();
  EXPECT_EQ(Onc(1, 3).Enabled(), 0);
  editor->CheckBoxOncStopSequence[3]->click();
  EXPECT_EQ(Onc(1, 3).StopSequence(), 0);
  EXPECT_EQ(Onc(0, 3).StopSequence(), 0);
  editor->CheckBoxOncDisabled[3]->click();
  EXPECT_EQ(Onc(1, 3).Enabled(), 1);
  EXPECT_EQ(Onc(0, 3).Enabled(), 0);
  EXPECT_EQ(page->PanelShown, 3);
}

TEST_F(SwitchOncFrameTest, EveryChangeShowsTheHostsWritePanel) {
  editor->ShowResponses(0);
  Choose(editor->ComboBoxOncState[0], 1);
  EXPECT_EQ(page->PanelShown, 1);
  Choose(editor->ComboBoxOncStartSequence[0], 1);
  EXPECT_EQ(page->PanelShown, 2);
  Choose(editor->ComboBoxOncLed[2][0], 3);
  EXPECT_EQ(page->PanelShown, 3);
  Type(editor->EditOncAddress[0], QStringLiteral("3"));
  EXPECT_GT(page->PanelShown, 3);
}

TEST_F(SwitchOncFrameTest, ClickOnTheBackgroundTakesTheFocus) {
  sink->setFocus(Qt::TabFocusReason);
  ASSERT_TRUE(sink->hasFocus());
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(1, 1), editor->mapToGlobal(QPointF(1, 1)),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(editor->widget(), &press);
  EXPECT_TRUE(editor->hasFocus());
}

TEST_F(SwitchOncFrameTest, WheelRule) {
  EXPECT_EQ(TSwitchOncFrame::kScrollStep, 10);
  EXPECT_EQ(editor->ScrollRange(), 970);
  CheckWheelRule(editor->viewport());
}

TEST_F(SwitchOncFrameTest, WheelOverAComboBoxScrollsInsteadOfChoosing) {
  editor->ShowResponses(0);
  const int before = editor->ComboBoxOncLed[0][0]->currentIndex();
  CheckWheelRule(editor->ComboBoxOncLed[0][0]);
  EXPECT_EQ(editor->ComboBoxOncLed[0][0]->currentIndex(), before);
  EXPECT_EQ(page->PanelShown, 0);
}

}  // namespace
}  // namespace lumetra
