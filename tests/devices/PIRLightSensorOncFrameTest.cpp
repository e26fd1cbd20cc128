// The combined sensor's response editor: typed addresses, the sequence choice by firmware, the
// messages offered and the wheel rule (its level edit runs with the light sensor's cases).
#include "ui/devices/PIRLightSensorOncFrame.h"

#include <gtest/gtest.h>

#include "OncFrameFixture.h"

namespace lumetra {
namespace {

class PIRLightSensorOncFrameTest : public test::OncFrameFixture<TPIRLightSensorOncFrame> {
 protected:
  PirLightOnc Onc(uint32_t entry) { return table.PirLightSensor().Oncs(entry); }
};

TEST_F(PIRLightSensorOncFrameTest, ControlsCarryTheirNames) {
  EXPECT_EQ(editor->findChild<QLineEdit*>("Edit32OncAddress"), editor->EditOncAddress[31]);
  EXPECT_EQ(editor->findChild<QComboBox*>("ComboBox2OncState"), editor->ComboBoxOncState[1]);
  EXPECT_EQ(editor->findChild<QLineEdit*>("Edit3OncLevel"), editor->EditOncLevel[2]);
  EXPECT_EQ(editor->findChild<QCheckBox*>("CheckBox4OncDisabled"), editor->CheckBoxOncDisabled[3]);
  EXPECT_EQ(editor->findChild<QWidget*>("Panel5"), editor->Panel[4]);
  EXPECT_EQ(editor->Panel[4]->findChild<QRadioButton*>("RadioButton5OncSeq1"),
            editor->RadioButtonOncSeq1[4]);
  EXPECT_EQ(editor->Panel[4]->findChild<QRadioButton*>("RadioButton5OncSeq2"),
            editor->RadioButtonOncSeq2[4]);
  for (int row = 0; row < TPIRLightSensorOncFrame::kRows; ++row) {
    EXPECT_TRUE(editor->RadioButtonOncSeq1[static_cast<size_t>(row)]->isChecked()) << row;
  }
}

// The combined sensor offers push-buttons, PIR alarm and PIR quiet.
TEST_F(PIRLightSensorOncFrameTest, MessageItems) {
  const struct {
    uint8_t index;
    int item;
  } cases[] = {{0, 0}, {6, 6}, {8, 8}, {9, -1}, {11, -1}, {0xFF, -1}};
  for (const auto& c : cases) {
    Onc(6).SetMessageIndex(c.index);
    editor->ShowResponses();
    EXPECT_EQ(editor->ComboBoxOncState[6]->currentIndex(), c.item) << "index " << int(c.index);
  }
  Choose(editor->ComboBoxOncState[6], 7);
  EXPECT_EQ(Onc(6).MessageIndex(), 7);
  EXPECT_EQ(Onc(6).Message(), 0x01);
  EXPECT_EQ(page->PanelShown, 1);
}

TEST_F(PIRLightSensorOncFrameTest, TypedSourceAddress) {
  const struct {
    const char* typed;
    uint8_t stored;
    const char* shown;
    bool red;
  } cases[] = {
      {"3", 3, "3", false},
      {"4", 4, "4", true},
      {"255", 255, "", false},
      {"", 255, "", false},  // emptied: no source
      // No short address: rejected rather than kept as a source nobody can be.
      {"64", 7, "7", true},
      {"100", 7, "7", true},
      {"254", 7, "7", true},
      {"256", 7, "7", true},
  };
  for (const auto& c : cases) {
    Onc(2).SetAddress(7);
    editor->ShowResponses();
    Type(editor->EditOncAddress[2], QString::fromLatin1(c.typed));
    EXPECT_EQ(Onc(2).Address(), c.stored) << "typed " << c.typed;
    EXPECT_EQ(editor->EditOncAddress[2]->text(), QString::fromLatin1(c.shown)) << c.typed;
    EXPECT_EQ(PaintedRed(editor->EditOncAddress[2]), c.red) << c.typed;
    editor->ShowResponses();
    EXPECT_EQ(editor->EditOncAddress[2]->text(), QString::fromLatin1(c.shown)) << c.typed;
  }
}

// Firmware 1.000 runs only "Priebeh 1": every row shows it, and nothing can choose the other.
TEST_F(PIRLightSensorOncFrameTest, SequenceChoiceByFirmware) {
  const struct {
    uint8_t version;
    uint8_t minor;
    uint8_t stored;
    bool seq2Checked;
    bool enabled;
  } cases[] = {
      {1, 0, 1, false, false}, {1, 0, 0, false, false}, {1, 1, 1, true, true},
      {1, 1, 0, false, true},  {2, 0, 1, true, true},
  };
  for (const auto& c : cases) {
    SetFirmware(c.version, c.minor);
    for (uint32_t row = 0; row < 32; ++row) Onc(row).SetSequenceIndex(c.stored);
    editor->ShowResponses();
    for (size_t row : {size_t{0}, size_t{31}}) {
      EXPECT_EQ(editor->RadioButtonOncSeq2[row]->isChecked(), c.seq2Checked)
          << int(c.version) << "." << int(c.minor) << " stored " << int(c.stored);
      EXPECT_NE(editor->RadioButtonOncSeq1[row]->isChecked(), c.seq2Checked);
      EXPECT_EQ(editor->RadioButtonOncSeq1[row]->isEnabled(), c.enabled);
      EXPECT_EQ(editor->RadioButtonOncSeq2[row]->isEnabled(), c.enabled);
    }
  }
}

TEST_F(PIRLightSensorOncFrameTest, AnUnknownSequenceLeavesTheButtonsAsTheyWere) {
  SetFirmware(1, 1);
  Onc(8).SetSequenceIndex(1);
  editor->ShowResponses();
  Onc(8).SetSequenceIndex(0xFF);
  editor->ShowResponses();
  EXPECT_TRUE(editor->RadioButtonOncSeq2[8]->isChecked());
}

TEST_F(PIRLightSensorOncFrameTest, ClicksStoreTheSequenceAndTheFlag) {
  SetFirmware(1, 1);
  Onc(5).SetSequenceIndex(0);
  Onc(5).SetEnabled(0);
  editor->ShowResponses();
  editor->RadioButtonOncSeq2[5]->click();
  EXPECT_EQ(Onc(5).SequenceIndex(), 1);
  editor->RadioButtonOncSeq1[5]->click();
  EXPECT_EQ(Onc(5).SequenceIndex(), 0);
  editor->CheckBoxOncDisabled[5]->click();
  EXPECT_EQ(Onc(5).Enabled(), 1);
  EXPECT_EQ(Onc(5).SequenceIndex(), 0);
  EXPECT_EQ(page->PanelShown, 3);
}

TEST_F(PIRLightSensorOncFrameTest, WheelRule) {
  EXPECT_EQ(editor->ScrollRange(), 870);
  CheckWheelRule(editor->viewport());
}

}  // namespace
}  // namespace lumetra
