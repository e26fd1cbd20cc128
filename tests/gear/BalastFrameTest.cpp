// The control gear editor on the real main window: each control reaches its command or sequence,
// and what comes back is shown. The sequences' bytes and table updates are tested in-process
// (tests/sequences).
#include <QComboBox>
#include <QElapsedTimer>
#include <QTimer>

#include "GearEditorFixture.h"
#include "sequences/GearSequences.h"
#include "ui/ErrorDlg.h"

namespace lumetra {
namespace {

using test::Frame;
using test::Gear;
using test::Twice;
using test::operator+=;

class BalastFrameTest : public test::GearEditorFixture {
 protected:
  void SetUp() override { Open({3, 5, 10}); }

  // Device 3 and 10 in group 5; 10 also in group 2.
  void MakeGroupFive() {
    for (uint8_t a : {3, 10}) {
      table->SetCurrentSlot(a);
      table->SetGroups(5, 1);
    }
    table->SetGroups(2, 1);
  }

  std::array<uint8_t, 16> GroupsOf(uint8_t slot) {
    const uint8_t remembered = table->CurrentSlot();
    table->SetCurrentSlot(slot);
    std::array<uint8_t, 16> groups{};
    for (uint32_t g = 0; g < 16; ++g) groups[g] = table->Groups(g);
    table->SetCurrentSlot(remembered);
    return groups;
  }
};

TEST_F(BalastFrameTest, DirectCommandsGoToTheSelectionOnce) {
  // "Maximum" to each kind of selection.
  const struct {
    int device;  // -1: a group button
    int group;   // 16 = "Všetky"
    uint8_t address;
  } selections[] = {{-1, 16, 0xFF}, {-1, 3, 0x87}, {-1, 0, 0x81}, {10, 0, 0x15}, {3, 0, 0x07}};
  for (const auto& s : selections) {
    SCOPED_TRACE(testing::Message() << "device " << s.device << " group " << s.group);
    s.device >= 0 ? Select(s.device) : SelectGroup(s.group);
    EXPECT_EQ(SelectedTarget(*table).GearCommandByte(), s.address);
    editor->ButtonRecallMaxLevel->click();
    EXPECT_EQ(Sent(), std::vector<Frame>{Gear(s.address, 0x05)});
  }

  // Every direct command, to device 10.
  Select(10);
  const struct {
    QPushButton* button;
    uint8_t opcode;
  } buttons[] = {
      {editor->ButtonOff, 0x00},
      {editor->ButtonUp, 0x01},
      {editor->ButtonDown, 0x02},
      {editor->ButtonStepUp, 0x03},
      {editor->ButtonStepDown, 0x04},
      {editor->ButtonRecallMaxLevel, 0x05},
      {editor->ButtonRecallMinLevel, 0x06},
      {editor->ButtonStepDownAndOff, 0x07},
      {editor->ButtonOnAndStepUp, 0x08},
  };
  for (const auto& b : buttons) {
    SCOPED_TRACE(b.button->objectName().toStdString());
    b.button->click();
    EXPECT_EQ(Sent(), std::vector<Frame>{Gear(0x15, b.opcode)});
  }
  ASSERT_EQ(editor->ComboBoxSetScene->count(), 16);
  EXPECT_EQ(editor->ComboBoxSetScene->itemText(15), QStringLiteral("Scéna 15"));
  for (int scene : {0, 7, 15}) {
    editor->ComboBoxSetScene->setCurrentIndex(scene);
    emit editor->ComboBoxSetScene->activated(scene);
    EXPECT_EQ(Sent(), std::vector<Frame>{Gear(0x15, static_cast<uint8_t>(0x10 + scene))});
  }
}

TEST_F(BalastFrameTest, ActualLevelWrite) {
  // The edit's text as shown, in either unit, reaches the write.
  const struct {
    int unit;
    const char* typed;
    Frame sent;
    uint8_t stored;  // raw
  } cases[] = {
      {kArc, "0", Gear(0x14, 0), 0},
      {kPercent, "50", Gear(0x14, 229), 229},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    SetUnit(c.unit);
    Select(10);
    Type(editor->EditActLevel, QString::fromLatin1(c.typed));
    EXPECT_TRUE(editor->PanelWriteActLevel->isVisible());
    editor->ButtonNewActLevel->click();
    EXPECT_EQ(Sent(), std::vector<Frame>{c.sent});
    EXPECT_FALSE(editor->PanelWriteActLevel->isVisible());
    EXPECT_EQ(Raw(10, &GearRecord::ActualLevel), c.stored);
  }
}

TEST_F(BalastFrameTest, InvalidTypedValuesAreReplacedOnLeaving) {
  const struct {
    int unit;
    QLineEdit* edit;
    const char* typed;
    bool kept;
  } cases[] = {
      {kArc, editor->EditActLevel, "255", false},    {kArc, editor->EditActLevel, "254", true},
      {kArc, editor->EditActLevel, "", false},       {kPercent, editor->EditActLevel, "101", false},
      {kPercent, editor->EditMaxLevel, "100", true}, {kArc, editor->EditMinLevel, "300", false},
      {kArc, editor->EditFadeRate, "16", false},     {kArc, editor->EditFadeTime, "15", true},
      {kArc, editor->EditFadeTime, "", false},       {kArc, editor->EditShortAddr, "64", false},
      {kArc, editor->EditShortAddr, "", false},      {kArc, editor->EditShortAddr, "63", true},
      {kArc, editor->EditShortAddr, "255", true},    {kArc, editor->EditScene[0], "256", false},
      {kArc, editor->EditScene[0], "254", true},     {kPercent, editor->EditScene[0], "100", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.edit->objectName().toStdString() + " " + c.typed);
    SetUnit(c.unit);
    table->SetCurrentSlot(10);
    table->SetScenes(0, 9);  // scene 00 is set, so its edit takes values
    Select(10);
    const QString before = c.edit->text();
    Type(c.edit, QString::fromLatin1(c.typed));
    EXPECT_EQ(c.edit->text(), c.kept ? QString::fromLatin1(c.typed) : before);
  }
  EXPECT_TRUE(Sent().empty());

  // A reverted value is no change: its red panel goes and a write has nothing to send. A value of
  // 255 or more typed without leaving the edit is refused with the reason.
  SetUnit(kArc);
  Select(10);
  Type(editor->EditActLevel, QStringLiteral("255"));
  EXPECT_FALSE(editor->PanelWriteActLevel->isVisible());
  editor->ButtonNewActLevel->click();
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(StatusLine(), QStringLiteral("Nie je zmenená žiadna hodnota na zápis"));
  editor->EditActLevel->setText(QStringLiteral("255"));
  EXPECT_TRUE(editor->PanelWriteActLevel->isVisible());
  editor->ButtonNewActLevel->click();
  EXPECT_EQ(StatusLine(), QStringLiteral("Úroveň 255 nie je platná"));
  SetUnit(kPercent);
  editor->EditActLevel->setText(QStringLiteral("101"));
  editor->ButtonNewActLevel->click();
  EXPECT_TRUE(Sent().empty());
  EXPECT_TRUE(editor->PanelWriteActLevel->isVisible());
  EXPECT_EQ(Raw(10, &GearRecord::ActualLevel), 100);
}

TEST_F(BalastFrameTest, SettingsWriteTakesEachEditIntoItsSetting) {
  const struct {
    int unit;
    const char* levels[4];  // min, max, power on, failure as typed
    uint8_t raw[4];
  } cases[] = {
      {kArc, {"20", "240", "200", "180"}, {20, 240, 200, 180}},
      {kPercent, {"1", "100", "50", "0"}, {83, 254, 229, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.unit);
    SetUnit(c.unit);
    Select(10);
    QLineEdit* levels[] = {editor->EditMinLevel, editor->EditMaxLevel, editor->EditPowerOnLevel,
                           editor->EditFailureLevel};
    // A level typed as it was shown is no change and is not sent.
    bool changed[4];
    for (int i = 0; i < 4; ++i) {
      changed[i] = levels[i]->text() != QString::fromLatin1(c.levels[i]);
      Type(levels[i], QString::fromLatin1(c.levels[i]));
    }
    // Fades are never converted; the second case finds them written by the first.
    const size_t fadesSent = editor->EditFadeRate->text() != QStringLiteral("9") ? 2 : 0;
    Type(editor->EditFadeRate, QStringLiteral("9"));
    Type(editor->EditFadeTime, QStringLiteral("15"));
    EXPECT_TRUE(editor->PanelWriteSettings->isVisible());
    editor->ButtonNewSettings->click();

    const std::vector<Frame> sent = Sent();
    const size_t levelsSent = static_cast<size_t>(std::count(changed, changed + 4, true));
    ASSERT_EQ(sent.size(), 3 * (levelsSent + fadesSent));
    EXPECT_FALSE(editor->PanelWriteSettings->isVisible());
    uint8_t GearRecord::*fields[] = {&GearRecord::MinLevel, &GearRecord::MaxLevel,
                                     &GearRecord::PowerOnLevel, &GearRecord::FailureLevel};
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(Raw(10, fields[i]), changed[i] ? c.raw[i] : 101 + i) << i;
    }
    EXPECT_EQ(Raw(10, &GearRecord::FadeRate), 9);
    EXPECT_EQ(Raw(10, &GearRecord::FadeTime), 15);
  }
}

TEST_F(BalastFrameTest, AFailedExchangeStopsTheWriteKeepsItMarkedAndIsReported) {
  SetUnit(kArc);
  Select(10);
  Type(editor->EditMinLevel, QStringLiteral("20"));
  Type(editor->EditMaxLevel, QStringLiteral("240"));
  // The gateway stays silent on the second STORE DTR AS MAX LEVEL.
  int maxStores = 0;
  gate.SetResponder([&maxStores](const Frame& r) -> std::optional<Frame> {
    if (r[3] == 0x2A && ++maxStores == 2) return std::nullopt;
    return Frame{0x60, r[1], r[2], r[3], static_cast<uint8_t>(0x60 ^ r[1] ^ r[2] ^ r[3])};
  });
  editor->ButtonNewSettings->click();
  EXPECT_EQ(Sent().size(), 6u);
  EXPECT_TRUE(editor->PanelWriteSettings->isVisible());
  EXPECT_EQ(StatusLine(), QStringLiteral("Zariadenie neodpovedá"));
}

TEST_F(BalastFrameTest, GroupModeGroupsWriteStartsFromNoGroupAndUpdatesTheGrid) {
  MakeGroupFive();
  SetUnit(kArc);
  SelectGroup(5);
  EXPECT_EQ(editor->AddrLabel->text(), QStringLiteral("Adresa skupiny:"));
  for (QCheckBox* box : editor->CheckBoxG)
    EXPECT_FALSE(box->isChecked()) << box->objectName().toStdString();
  editor->CheckBoxG[1]->click();  // "01" on; "05", never touched, is not sent
  EXPECT_EQ(editor->CheckBoxG[1]->text(), QStringLiteral("01"));
  EXPECT_TRUE(editor->PanelWriteGroups->isVisible());
  editor->ButtonNewGroups->click();

  EXPECT_EQ(Sent(), Twice(0x8B, 0x61));
  EXPECT_FALSE(editor->PanelWriteGroups->isVisible());
  EXPECT_EQ(GroupsOf(3)[1], 1);
  EXPECT_EQ(GroupsOf(10)[1], 1);
  // The members stay in group 5, and the grid still shows them so.
  EXPECT_EQ(PanelColor(tabs->findChild<QWidget*>("BGPanel4")), kGearMemberColor);
  EXPECT_EQ(PanelColor(tabs->findChild<QWidget*>("BGPanel11")), kGearMemberColor);

  // Taking the box off again is a change back to what was filled: nothing left to write.
  editor->CheckBoxG[5]->click();
  editor->CheckBoxG[5]->click();
  EXPECT_FALSE(editor->PanelWriteGroups->isVisible());
}

TEST_F(BalastFrameTest, DeviceGroupsWriteSendsTheBoxes) {
  SetUnit(kArc);
  Select(3);
  editor->CheckBoxG[15]->click();
  // The table follows what reached the device, not the click.
  EXPECT_EQ(GroupsOf(3)[15], 0);
  editor->ButtonNewGroups->click();
  EXPECT_EQ(Sent(), Twice(0x07, 0x6F));
  EXPECT_EQ(GroupsOf(3)[15], 1);
  EXPECT_FALSE(editor->PanelWriteGroups->isVisible());
}

TEST_F(BalastFrameTest, ScenesWriteStoresOrRemovesEachScene) {
  SetUnit(kArc);
  Select(10);
  table->SetScenes(1, 50);
  table->SetScenes(2, 60);
  editor->RefreshView();
  EXPECT_TRUE(editor->CheckBoxS[1]->isChecked());
  editor->CheckBoxS[0]->click();
  Type(editor->EditScene[0], QStringLiteral("0"));
  Type(editor->EditScene[1], QString());  // emptied: out of the scene
  EXPECT_FALSE(editor->CheckBoxS[1]->isChecked());
  EXPECT_FALSE(editor->EditScene[1]->isEnabled());
  editor->CheckBoxS[2]->click();  // unchecked: out of the scene
  EXPECT_EQ(editor->EditScene[2]->text(), QString());
  EXPECT_TRUE(editor->PanelWriteScenes->isVisible());
  editor->ButtonNewScene->click();

  // Scene 00 stored, the emptied and the unchecked one removed; the untouched ones not sent.
  EXPECT_EQ(Sent(),
            (std::vector<Frame>{Gear(0xA3, 0), Gear(0x15, 0x40), Gear(0x15, 0x40), Gear(0x15, 0x51),
                                Gear(0x15, 0x51), Gear(0x15, 0x52), Gear(0x15, 0x52)}));
  EXPECT_FALSE(editor->PanelWriteScenes->isVisible());

  // In percent mode the edit stores the raw level, which is what is sent.
  SetUnit(kPercent);
  Select(10);
  EXPECT_EQ(editor->EditScene[0]->text(), QStringLiteral("0"));
  Type(editor->EditScene[0], QStringLiteral("100"));
  editor->ButtonNewScene->click();
  const std::vector<Frame> percentScene = Sent();
  ASSERT_FALSE(percentScene.empty());
  EXPECT_EQ(percentScene[0], Gear(0xA3, 254));
  EXPECT_EQ(table->Record(10)->Scenes[0], 254);
}

TEST_F(BalastFrameTest, ScenesWrittenToAllDevicesStartFromNoScene) {
  SetUnit(kArc);
  SelectGroup(16);
  EXPECT_EQ(editor->EditShortAddr->text(), QStringLiteral("255"));
  for (QCheckBox* box : editor->CheckBoxS) EXPECT_FALSE(box->isChecked());
  editor->CheckBoxS[3]->click();
  Type(editor->EditScene[3], QStringLiteral("40"));
  editor->ButtonNewScene->click();
  EXPECT_EQ(Sent(), (std::vector<Frame>{Gear(0xA3, 40), Gear(0xFF, 0x43), Gear(0xFF, 0x43)}));
  EXPECT_EQ(table->Record(5)->Scenes[3], 40);
  EXPECT_FALSE(editor->PanelWriteScenes->isVisible());
}

TEST_F(BalastFrameTest, ShortAddressChange) {
  SetUnit(kArc);
  Select(3);
  Type(editor->EditShortAddr, QStringLiteral("7"));
  EXPECT_TRUE(editor->PanelWriteAddress->isVisible());
  editor->ButtonNewAddress->click();
  std::vector<Frame> sent = Sent();
  ASSERT_EQ(sent.size(), 3u);
  EXPECT_EQ(sent[0], Gear(0xA3, 0x0F));
  EXPECT_FALSE(editor->PanelWriteAddress->isVisible());
  EXPECT_TRUE(table->IsSlotFree(3));
  EXPECT_EQ(table->CurrentSlot(), 7);
  EXPECT_TRUE(tabs->GearButton(7).Button->isEnabled());
  EXPECT_FALSE(tabs->GearButton(3).Button->isEnabled());

  // Refused, with nothing sent: a taken address, and no single device selected.
  EXPECT_EQ(editor->ChangeShortAddress(5), -1);
  SelectGroup(2);
  EXPECT_EQ(editor->ChangeShortAddress(20), -1);
  EXPECT_TRUE(Sent().empty());

  // 255 removes the address; the table deletes the slot and shows the lowest other device.
  Select(7);
  Type(editor->EditShortAddr, QStringLiteral("255"));
  editor->ButtonNewAddress->click();
  sent = Sent();
  ASSERT_EQ(sent.size(), 3u);
  EXPECT_EQ(sent[0], Gear(0xA3, 0xFF));
  EXPECT_TRUE(table->IsSlotFree(7));
  EXPECT_EQ(table->CurrentSlot(), 5);
  EXPECT_EQ(editor->EditShortAddr->text(), QStringLiteral("5"));
  EXPECT_FALSE(tabs->GearButton(7).Button->isEnabled());

  // Deleting the last device leaves nothing to edit: the editor shows the free slot, disabled.
  for (uint8_t other : {0, 3, 9, 10}) {
    table->SetCurrentSlot(other);
    table->SetShortAddress(255);
  }
  Select(5);
  Type(editor->EditShortAddr, QStringLiteral("255"));
  editor->ButtonNewAddress->click();
  Sent();
  EXPECT_EQ(table->UsedSlotCount(), 0);
  EXPECT_FALSE(editor->isEnabled());
  EXPECT_TRUE(editor->EditMaxLevel->text().isEmpty());
  SelectGroup(16);  // all devices: the broadcast commands stay at hand
  EXPECT_TRUE(editor->isEnabled());
}

TEST_F(BalastFrameTest, HiddenEditorStopsBlinkingAndRepeatedReading) {
  // A commissioning job starts from the page "Adresovanie", which hides the editor.
  Select(10);
  editor->LocalizeTimer->setInterval(15);
  editor->ButtonLocalize->click();
  editor->ZorvikBalastFrame->show();
  editor->ZorvikBalastFrame->RepeatReadTimer->setInterval(15);
  editor->ZorvikBalastFrame->CheckBoxRepeatRead->click();
  ASSERT_TRUE(editor->Localizing());
  tabs->Pages->setCurrentWidget(tabs->AddressPage);
  EXPECT_FALSE(editor->isVisible());
  EXPECT_FALSE(editor->Localizing());
  EXPECT_FALSE(editor->ZorvikBalastFrame->RepeatReadTimer->isActive());
  EXPECT_FALSE(editor->ZorvikBalastFrame->CheckBoxRepeatRead->isChecked());
  Sent();
  QTest::qWait(60);
  EXPECT_TRUE(Sent().empty());
}

TEST_F(BalastFrameTest, ShortAddressChangeStopsBeforeTheTableWhenTheGateFails) {
  SetUnit(kArc);
  Select(3);
  gate.SetResponder([](const Frame&) { return std::nullopt; });
  EXPECT_EQ(editor->ChangeShortAddress(7), kExchangeNoReply);
  EXPECT_EQ(Sent().size(), 1u);
  EXPECT_FALSE(table->IsSlotFree(3));
  EXPECT_TRUE(tabs->GearButton(3).Button->isEnabled());
  EXPECT_FALSE(tabs->GearButton(7).Button->isEnabled());
}

TEST_F(BalastFrameTest, RefreshShowsIdentityStatusAndSelection) {
  SetUnit(kArc);
  const struct {
    uint8_t type, version;
    const char* typeText;
    const char* versionText;
  } identities[] = {
      {5, 0x12, "5 - ", "1.02"},
      {6, 0x2F, "6 - LED", "2.15"},
      {0, 0x00, "0 - Fluorescenčné", "0.00"},
      {4, 0x10, "4 - Žiarovky", "1.00"},
  };
  for (const auto& id : identities) {
    table->SetCurrentSlot(5);
    table->SetDeviceType(id.type);
    table->SetVersion(id.version);
    Select(5);
    EXPECT_EQ(editor->EditType->text(), QString::fromUtf8(id.typeText));
    EXPECT_EQ(editor->EditVersion->text(), QString::fromLatin1(id.versionText));
  }
  EXPECT_EQ(editor->AddrLabel->text(), QStringLiteral("Adresa svietidla:"));
  EXPECT_EQ(editor->EditShortAddr->text(), QStringLiteral("5"));
  EXPECT_EQ(editor->EditPhysicalMin->text(), QStringLiteral("1"));
  EXPECT_EQ(editor->EditMaxLevel->text(), QStringLiteral("102"));
  EXPECT_EQ(editor->EditFadeTime->text(), QStringLiteral("4"));
  EXPECT_TRUE(editor->ButtonReadBalast->isEnabled());

  // Status bits 1..7 in the box order; bit 0 is not shown.
  for (int bit = 0; bit < 8; ++bit) {
    table->SetCurrentSlot(5);
    table->SetStatus(1u << bit);
    editor->RefreshView();
    for (int k = 0; k < 7; ++k) {
      EXPECT_EQ(editor->CheckBoxStatus[static_cast<size_t>(k)]->isChecked(), k + 1 == bit)
          << "bit " << bit << " box " << k;
      EXPECT_FALSE(editor->CheckBoxStatus[static_cast<size_t>(k)]->isEnabled());
    }
  }
  EXPECT_EQ(editor->CheckBoxStatus[0], editor->CheckBoxLampFailure);
  EXPECT_EQ(editor->CheckBoxStatus[6], editor->CheckBoxPowerFailure);

  // A group starts from the cleared group slot, not from any member.
  SelectGroup(9);
  EXPECT_EQ(editor->EditType->text(), QString());
  EXPECT_EQ(editor->EditVersion->text(), QString());
  EXPECT_EQ(editor->EditShortAddr->text(), QStringLiteral("9"));
  EXPECT_EQ(editor->EditMaxLevel->text(), QStringLiteral("0"));
  for (QWidget* w : {static_cast<QWidget*>(editor->EditShortAddr),
                     static_cast<QWidget*>(editor->ButtonNewAddress),
                     static_cast<QWidget*>(editor->ButtonReadBalast)}) {
    EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
  }
}

TEST_F(BalastFrameTest, PercentModeScenesAndUnitLabels) {
  table->SetCurrentSlot(10);
  table->SetPercentMode(0);
  table->SetScenes(0, 255);
  table->SetScenes(1, 0);
  table->SetScenes(2, 254);
  SetUnit(kPercent);
  Select(10);
  EXPECT_FALSE(editor->CheckBoxS[0]->isChecked());
  EXPECT_FALSE(editor->EditScene[0]->isEnabled());
  EXPECT_EQ(editor->EditScene[0]->text(), QString());
  EXPECT_TRUE(editor->CheckBoxS[1]->isChecked());
  EXPECT_EQ(editor->EditScene[1]->text(), QStringLiteral("0"));
  EXPECT_EQ(editor->EditScene[2]->text(), QStringLiteral("100"));
  EXPECT_EQ(editor->CheckBoxS[15]->text(), QStringLiteral("15"));

  QLabel* labels[] = {editor->LabelActLevelPercent,     editor->LabelMinLevelPercent,
                      editor->LabelMaxLevelPercent,     editor->LabelPowerOnLevelPercent,
                      editor->LabelFailureLevelPercent, editor->LabelPhysicalMinPercent,
                      editor->LabelSceneLevelPercent};
  for (QLabel* label : labels) EXPECT_TRUE(label->isVisible()) << label->objectName().toStdString();
  EXPECT_EQ(editor->LabelSceneLevelPercent->text(), QStringLiteral("( % )"));
  SetUnit(kArc);
  for (QLabel* label : labels)
    EXPECT_FALSE(label->isVisible()) << label->objectName().toStdString();
}

TEST_F(BalastFrameTest, ChangesMarkTheirPanelsUnlessTheViewIsFilling) {
  SetUnit(kArc);
  table->SetCurrentSlot(10);
  table->SetScenes(15, 10);
  Select(10);
  const struct {
    QLineEdit* edit;
    QWidget* panel;
  } cases[] = {
      {editor->EditShortAddr, editor->PanelWriteAddress},
      {editor->EditActLevel, editor->PanelWriteActLevel},
      {editor->EditFailureLevel, editor->PanelWriteSettings},
      {editor->EditFadeRate, editor->PanelWriteSettings},
      {editor->EditScene[15], editor->PanelWriteScenes},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.edit->objectName().toStdString());
    EXPECT_FALSE(c.panel->isVisible());
    QTest::keyClicks(c.edit, "1");
    EXPECT_TRUE(c.panel->isVisible());
    // The panel sits behind its button, framing it.
    EXPECT_EQ(PanelColor(c.panel), QColor(255, 0, 0));
    editor->RefreshView();
    EXPECT_FALSE(c.panel->isVisible());
  }
  // Another device fills every edit: nothing is marked.
  Select(3);
  for (QWidget* panel :
       {editor->PanelWriteAddress, editor->PanelWriteActLevel, editor->PanelWriteSettings,
        editor->PanelWriteGroups, editor->PanelWriteScenes}) {
    EXPECT_FALSE(panel->isVisible()) << panel->objectName().toStdString();
  }
}

TEST_F(BalastFrameTest, LocalizeBlinksTenTimesOnATimerAndStaysWithItsLamp) {
  EXPECT_EQ(editor->LocalizeTimer->interval(), 500);
  editor->LocalizeTimer->setInterval(15);
  Select(10);
  QElapsedTimer clock;
  clock.start();
  editor->ButtonLocalize->click();
  EXPECT_EQ(Sent(), std::vector<Frame>{Gear(0x15, 0x06)});
  EXPECT_TRUE(editor->Localizing());
  editor->ButtonLocalize->click();  // already running: nothing more
  Select(3);                        // the window keeps working; the blinking stays with device 10
  ASSERT_TRUE(QTest::qWaitFor([this] { return !editor->Localizing(); }, 2000));
  EXPECT_GE(clock.elapsed(), 9 * 15);
  std::vector<Frame> expected;
  for (int round = 0; round < 5; ++round) {
    expected += {Gear(0x15, 0x06), Gear(0x15, 0x05)};
  }
  expected.erase(expected.begin());
  EXPECT_EQ(Sent(), expected);

  // Once done it can start again, now for the new selection.
  editor->ButtonLocalize->click();
  EXPECT_EQ(Sent(), std::vector<Frame>{Gear(0x07, 0x06)});
  // Closing the window while it runs is safe, and nothing goes out afterwards.
  form.reset();
  QTest::qWait(60);
  EXPECT_TRUE(Sent().empty());
}

TEST_F(BalastFrameTest, LocalizeStopsWhenTheGateFails) {
  editor->LocalizeTimer->setInterval(5);
  Select(10);
  int answered = 0;
  gate.SetResponder([&answered](const Frame& r) -> std::optional<Frame> {
    if (++answered > 3) return std::nullopt;
    return Frame{0x60, r[1], r[2], r[3], static_cast<uint8_t>(0x60 ^ r[1] ^ r[2] ^ r[3])};
  });
  editor->ButtonLocalize->click();
  ASSERT_TRUE(QTest::qWaitFor([this] { return !editor->Localizing(); }, 3000));
  EXPECT_EQ(Sent().size(), 4u);
  EXPECT_EQ(StatusLine(), QStringLiteral("Zariadenie neodpovedá"));
}

TEST_F(BalastFrameTest, FactoryResetOnlyAfterTheRedQuestion) {
  Select(5);
  for (bool proceed : {false, true}) {
    QString caption, text;
    QColor colour;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<TErrorDlg*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      caption = dialog->windowTitle();
      text = dialog->Memo1->toPlainText();
      colour = dialog->palette().color(QPalette::Window);
      EXPECT_TRUE(dialog->ButtonContinue->isVisible());
      (proceed ? dialog->ButtonContinue : dialog->ButtonCancel)->click();
    });
    editor->ButtonReset->click();
    EXPECT_EQ(caption, QStringLiteral("Správa"));
    EXPECT_EQ(text,
              QStringLiteral("Všetky naprogramované údaje budú prepísané údajmi od výrobcu."));
    EXPECT_EQ(colour, QColor(255, 0, 0));
    EXPECT_EQ(Sent(), proceed ? Twice(0x0B, 0x20) : std::vector<Frame>{});
  }
  EXPECT_EQ(Raw(5, &GearRecord::MaxLevel), 102);  // the table is not changed
}

}  // namespace
}  // namespace lumetra

namespace lumetra::test {
namespace {

// Group mode shows the cleared group slot (zeros) and a device shows levels converted to percent:
// neither may reach the devices unless the user changed it.
TEST_F(BalastFrameTest, OnlyTheTypedSettingIsWritten) {
  // 80 % and 90 % are arc levels 246 and 250.
  const struct {
    int unit;
    int group;  // -1: device 10
    const char* typed;
    Frame dtr;
    uint8_t address;
  } cases[] = {
      {kArc, 5, "200", Gear(0xA3, 200), 0x8B},
      {kPercent, 5, "80", Gear(0xA3, 246), 0x8B},
      {kPercent, -1, "90", Gear(0xA3, 250), 0x15},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.unit) + " " + std::to_string(c.group));
    MakeGroupFive();
    SetUnit(c.unit);
    c.group >= 0 ? SelectGroup(c.group) : Select(10);
    Type(editor->EditMaxLevel, QString::fromLatin1(c.typed));
    editor->ButtonNewSettings->click();
    EXPECT_EQ(Sent(), (std::vector<Frame>{c.dtr, Gear(c.address, 0x2A), Gear(c.address, 0x2A)}));
    EXPECT_FALSE(editor->PanelWriteSettings->isVisible());
    // The members keep what they had.
    EXPECT_EQ(Raw(10, &GearRecord::MinLevel), 101);
    EXPECT_EQ(Raw(10, &GearRecord::PowerOnLevel), 103);
    EXPECT_EQ(Raw(10, &GearRecord::FadeRate), 3);
  }
}

// A device whose reading broke off has every field 255, "not read": nothing of it is shown as a
// value and nothing of it is written back.
TEST_F(BalastFrameTest, ValuesNeverReadAreShownUnknownAndNeverWritten) {
  table->SetCurrentSlot(20);
  table->SetShortAddress(20);
  SetUnit(kPercent);
  Select(20);
  for (QLineEdit* e :
       {editor->EditType, editor->EditVersion, editor->EditPhysicalMin, editor->EditActLevel,
        editor->EditMinLevel, editor->EditMaxLevel, editor->EditPowerOnLevel,
        editor->EditFailureLevel, editor->EditFadeRate, editor->EditFadeTime}) {
    EXPECT_EQ(e->text(), QString()) << e->objectName().toStdString();
  }
  for (QCheckBox* box : editor->CheckBoxG) EXPECT_EQ(box->checkState(), Qt::PartiallyChecked);
  for (QCheckBox* box : editor->CheckBoxStatus) EXPECT_FALSE(box->isChecked());
  EXPECT_TRUE(editor->LabelStatusUnknown->isVisible());

  // Writing without a change sends nothing and says why.
  editor->ButtonNewGroups->click();
  editor->ButtonNewSettings->click();
  editor->ButtonNewScene->click();
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(StatusLine(), QStringLiteral("Nie je zmenená žiadna hodnota na zápis"));

  // A click decides one box plainly; only that group is sent.
  editor->CheckBoxG[4]->click();
  EXPECT_EQ(editor->CheckBoxG[4]->checkState(), Qt::Checked);
  EXPECT_FALSE(editor->CheckBoxG[4]->isTristate());
  editor->ButtonNewGroups->click();
  EXPECT_EQ(Sent(), Twice(0x29, 0x64));
  EXPECT_EQ(GroupsOf(20)[4], 1);
  EXPECT_EQ(GroupsOf(20)[5], 255);
}

}  // namespace
}  // namespace lumetra::test
