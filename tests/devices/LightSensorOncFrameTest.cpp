// The light sensor's response editor: typed addresses on both response layouts, the zone controls
// by firmware, the messages offered and the wheel rule; and the level rule of both sensors' rows.
#include "ui/devices/LightSensorOncFrame.h"

#include <gtest/gtest.h>

#include <string>
#include <type_traits>

#include "OncFrameFixture.h"
#include "ui/devices/PIRLightSensorOncFrame.h"

namespace lumetra {
namespace {

class LightSensorOncFrameTest : public test::OncFrameFixture<TLightSensorOncFrame> {
 protected:
  LightOnc Onc(uint32_t entry) { return table.LightSensor().Oncs(entry); }
};

TEST_F(LightSensorOncFrameTest, ControlsCarryTheirNames) {
  EXPECT_EQ(editor->findChild<QLineEdit*>("Edit32OncAddress"), editor->EditOncAddress[31]);
  EXPECT_EQ(editor->findChild<QComboBox*>("ComboBox1OncState"), editor->ComboBoxOncState[0]);
  EXPECT_EQ(editor->findChild<QLineEdit*>("Edit5OncLevel"), editor->EditOncLevel[4]);
  EXPECT_EQ(editor->findChild<QCheckBox*>("CheckBox9OncDisabled"), editor->CheckBoxOncDisabled[8]);
  EXPECT_EQ(editor->findChild<TRadioGroup*>("RadioGroup32OncG4Enabled"),
            editor->RadioGroupOncEnabled[3][31]);
  EXPECT_EQ(editor->RadioGroupOncEnabled[0][0]->Count(), 3);
}

// The light sensor offers every message but the light level itself.
TEST_F(LightSensorOncFrameTest, MessageItems) {
  const struct {
    uint8_t index;
    int item;
  } cases[] = {{0, 0}, {7, 7}, {9, 9}, {10, 10}, {11, -1}, {0xFF, -1}};
  for (const auto& c : cases) {
    Onc(6).SetMessageIndex(c.index);
    editor->ShowResponses();
    EXPECT_EQ(editor->ComboBoxOncState[6]->currentIndex(), c.item) << "index " << int(c.index);
  }
  Choose(editor->ComboBoxOncState[6], 9);
  EXPECT_EQ(Onc(6).MessageIndex(), 9);
  EXPECT_EQ(Onc(6).Message(), 0x02);
  EXPECT_EQ(page->PanelShown, 1);
}

// Both response layouts: the new one keeps the enable flag beside a 7-bit address, the old one
// keeps it elsewhere; either way typing an address leaves it alone.
TEST_F(LightSensorOncFrameTest, TypedSourceAddress) {
  const struct {
    const char* typed;
    const char* shown;
    bool red;
    const char* refreshed;
  } cases[] = {
      {"3", "3", false, "3"},  {"4", "4", true, "4"},
      {"64", "7", true, "7"},  // no short address: rejected
      {"100", "7", true, "7"}, {"255", "", false, ""},
      {"", "", false, ""},     {"256", "7", true, "7"},  // rejected
      {"999", "7", true, "7"},
  };
  for (const uint8_t minor : {4, 5}) {
    SetFirmware(1, minor);
    for (const auto& c : cases) {
      Onc(2).SetAddress(7);
      Onc(2).SetEnabled(1);
      editor->ShowResponses();
      Type(editor->EditOncAddress[2], QString::fromLatin1(c.typed));
      EXPECT_EQ(editor->EditOncAddress[2]->text(), QString::fromLatin1(c.shown))
          << "1.00" << int(minor) << " typed " << c.typed;
      EXPECT_EQ(PaintedRed(editor->EditOncAddress[2]), c.red) << c.typed;
      EXPECT_EQ(Onc(2).Enabled(), 1) << "the enable flag survives " << c.typed;
      editor->ShowResponses();
      EXPECT_EQ(editor->EditOncAddress[2]->text(), QString::fromLatin1(c.refreshed))
          << "1.00" << int(minor) << " typed " << c.typed;
      EXPECT_TRUE(editor->CheckBoxOncDisabled[2]->isChecked());
    }
  }
}

// Zones 1..4 of one entry hold 0, 1, 2, 1; firmware without zone control shows "Nemeniť" greyed,
// also right after a device that showed the zones.
TEST_F(LightSensorOncFrameTest, ZoneControlsByFirmware) {
  const uint8_t states[] = {0, 1, 2, 1};
  for (uint32_t z = 0; z < 4; ++z) Onc(0).SetZoneEnabled(z, states[z]);
  const struct {
    uint8_t version;
    uint8_t minor;
    bool zones;
  } cases[] = {{1, 5, true},  {1, 4, false}, {1, 9, true},
               {1, 0, false}, {2, 0, true},  {1, 3, false}};
  for (const auto& c : cases) {
    SetFirmware(c.version, c.minor);
    editor->ShowResponses();
    for (int z = 0; z < 4; ++z) {
      for (int row : {0, 31}) {
        const TRadioGroup* group =
            editor->RadioGroupOncEnabled[static_cast<size_t>(z)][static_cast<size_t>(row)];
        EXPECT_EQ(group->isEnabled(), c.zones)
            << int(c.version) << "." << int(c.minor) << " zone " << z + 1;
        if (row == 0) {
          EXPECT_EQ(group->ItemIndex(), c.zones ? states[z] : 0)
              << int(c.version) << "." << int(c.minor) << " zone " << z + 1;
        }
      }
    }
  }
}

TEST_F(LightSensorOncFrameTest, ZoneClickStoresThatZoneOnly) {
  for (uint32_t z = 0; z < 4; ++z) Onc(4).SetZoneEnabled(z, 0);
  Onc(4).SetAddress(3);
  Onc(4).SetEnabled(0);
  editor->ShowResponses();
  editor->RadioGroupOncEnabled[2][4]->Item(2)->click();
  EXPECT_EQ(Onc(4).ZoneEnabled(2), 2);
  editor->RadioGroupOncEnabled[0][4]->Item(1)->click();
  EXPECT_EQ(Onc(4).ZoneEnabled(0), 1);
  EXPECT_EQ(Onc(4).ZoneEnabled(1), 0);
  EXPECT_EQ(Onc(4).ZoneEnabled(3), 0);
  EXPECT_EQ(Onc(3).ZoneEnabled(2), 3) << "the row above keeps its erased byte";
  EXPECT_EQ(page->PanelShown, 2);

  editor->CheckBoxOncDisabled[4]->click();
  EXPECT_EQ(Onc(4).Enabled(), 1);
  EXPECT_EQ(Onc(4).Address(), 3) << "the enable flag shares its byte with the address";
  EXPECT_EQ(Onc(4).ZoneEnabled(2), 2);
}

TEST_F(LightSensorOncFrameTest, WheelRule) {
  EXPECT_EQ(editor->ScrollRange(), 930);
  CheckWheelRule(editor->ComboBoxOncState[0]);
}

// The light sensor and the combined sensor share the level edit of a row; a fault in it shows in
// both, so the same cases run over both editors.
template <typename Editor>
class SensorOncFrameTest : public test::OncFrameFixture<Editor> {
 protected:
  auto Onc(uint32_t entry) {
    if constexpr (std::is_same_v<Editor, TLightSensorOncFrame>) {
      return this->table.LightSensor().Oncs(entry);
    } else {
      return this->table.PirLightSensor().Oncs(entry);
    }
  }
};

struct EditorName {
  template <typename Editor>
  static std::string GetName(int) {
    return std::is_same_v<Editor, TLightSensorOncFrame> ? "LightSensor" : "PIRLightSensor";
  }
};

using SensorEditors = ::testing::Types<TLightSensorOncFrame, TPIRLightSensorOncFrame>;
TYPED_TEST_SUITE(SensorOncFrameTest, SensorEditors, EditorName);

TYPED_TEST(SensorOncFrameTest, TypedLevel) {
  const struct {
    const char* typed;
    uint32_t stored;
    const char* shown;
  } cases[] = {
      {"0", 0, "0"},           {"65000", 65000, "65000"}, {"65001", 1200, "1200"},
      {"65534", 1200, "1200"}, {"65535", 65535, ""},      {"", 65535, ""},
  };
  auto* editor = this->editor;
  for (const auto& c : cases) {
    this->Onc(31).SetLevel(1200);
    editor->ShowResponses();
    this->Type(editor->EditOncLevel[31], QString::fromLatin1(c.typed));
    EXPECT_EQ(this->Onc(31).Level(), c.stored) << "typed " << c.typed;
    EXPECT_EQ(editor->EditOncLevel[31]->text(), QString::fromLatin1(c.shown)) << c.typed;
    editor->ShowResponses();
    EXPECT_EQ(editor->EditOncLevel[31]->text(), QString::fromLatin1(c.shown)) << c.typed;
  }
}

}  // namespace
}  // namespace lumetra
