// The push-button and switch editor on the real main window, its gate answered by the simulated
// line: the codings between the controls and the record, the typed-value checks, the firmware
// rules, the writes byte for byte with their counter and panels, and the test buttons.
#include "ui/devices/SwitchFrame.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QStatusBar>
#include <QTest>
#include <memory>
#include <mutex>

#include "model/ControllerConfig.h"
#include "sim/SimulatedLine.h"
#include "support/GuiInput.h"
#include "support/KindRecords.h"
#include "support/LoopbackPeer.h"
#include "support/PaintedTexts.h"
#include "support/QtWait.h"
#include "ui/ConfiguratorForm.h"
#include "ui/TabsFrame.h"
#include "ui/Widgets.h"
#include "ui/devices/ControllerFrame.h"
#include "ui/devices/SwitchOncFrame.h"

namespace lumetra {
namespace {

using namespace std::chrono_literals;
using test::Frame;
using test::PaintedTexts;

Frame Device(uint8_t address, uint8_t opcode, uint8_t parameter) {
  return test::Wire(4, address, opcode, parameter);
}

struct Unit {
  uint8_t address;
  uint8_t major;
  uint8_t minor;
  uint8_t kind = kKindSwitch;
};

// Switches 9 (1.001), 3 (1.000) and 5 (2.000), and a motion sensor 20.
const std::vector<Unit> kUnits = {{9, 1, 1}, {3, 1, 0}, {5, 2, 0}, {20, 1, 3, kKindPirSensor}};

class SwitchFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::LineDescription description;
    for (const Unit& u : kUnits) {
      sim::DeviceDescription d;
      d.shortAddress = u.address;
      d.kind = u.kind;
      d.versionMajor = u.major;
      d.versionMinor = u.minor;
      description.devices.push_back(d);
    }
    line = std::make_unique<sim::SimulatedLine>(description);
    gate.SetResponder([this](const Frame& request) -> std::optional<Frame> {
      std::lock_guard lock(mutex);
      if (++answered == silentAt) return std::nullopt;
      return line->Exchange(request).reply;
    });
    form = std::make_unique<TConfiguratorForm>(
        std::vector<std::string>{"Hala", "127.0.0.9", std::to_string(gate.Port() - 1)});
    tabs = form->TabsFrame();
    host = form->DeviceEditor();
    table = &form->ControllerConfig();
    editor = form->findChild<TSwitchFrame*>("SwitchFrame");
    ASSERT_NE(editor, nullptr);
    form->DaliCom().SetReplyTimeout(60ms);
    tabs->ButtonOpen->click();
    ASSERT_TRUE(tabs->TCPClientGate.Connected());
    for (const Unit& u : kUnits) {
      table->SetCurrentSlot(u.address);
      table->SetShortAddress(u.address);
      table->SetDeviceType(u.kind);
      table->SetVersion(u.major);
      table->SetMinVersion(u.minor);
      table->SetStatus(0);
      table->SetMultimaster(0);
      for (uint32_t g = 0; g < 16; ++g) table->SetGroups(g, g == 2);
    }
    // Arc levels, unless a case asks for percent.
    table->SetPercentMode(0);
    form->show();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    tabs->Pages->setCurrentWidget(tabs->ControllersPage);
    Select(9);
    ASSERT_TRUE(editor->isVisible());
  }

  void Select(int a) { tabs->OnControlButtonClick(a); }
  // The long write runs on the worker: clicked, then waited for.
  void WriteSequences() {
    editor->ButtonWriteCmndSequences->click();
    ASSERT_TRUE(test::WaitUntil([&] { return !tabs->JobRunning(); }));
  }
  SwitchStep Step(int s, int k) {
    return table->Switch().Sequences(static_cast<uint32_t>(s)).Steps(static_cast<uint32_t>(k));
  }
  static void Choose(QComboBox* combo, int item) {
    combo->setCurrentIndex(item);
    emit combo->activated(item);
  }
  void Type(QLineEdit* edit, const QString& text) {
    test::TypeAndLeave(edit, text, editor->ButtonPress);
  }
  std::vector<Frame> Sent() {
    const std::vector<Frame> all = gate.Requests();
    std::vector<Frame> fresh(all.begin() + static_cast<long>(seen), all.end());
    seen = all.size();
    return fresh;
  }
  QString StatusLine() {
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    return form->statusBar()->currentMessage();
  }
  sim::ControlDevice LineDevice(uint8_t a) {
    std::lock_guard lock(mutex);
    for (const sim::ControlDevice& d : line->Devices())
      if (d.shortAddress == a) return d;
    ADD_FAILURE() << "no device at " << int(a);
    return line->Devices().front();
  }
  void SilenceRequest(int n) {
    std::lock_guard lock(mutex);
    silentAt = answered + n;
  }

  std::mutex mutex;
  int answered = 0;
  int silentAt = -1;
  std::unique_ptr<sim::SimulatedLine> line;
  test::LoopbackPeer gate{"127.0.0.9"};
  std::unique_ptr<TConfiguratorForm> form;
  TTabsFrame* tabs = nullptr;
  TControllerFrame* host = nullptr;
  TSwitchFrame* editor = nullptr;
  TControllerConfig* table = nullptr;
  size_t seen = 0;
};

TEST_F(SwitchFrameTest, TheHostShowsTheEditorForSwitchesOnly) {
  EXPECT_EQ(host->ShownKindFrame(), editor);
  Select(20);
  EXPECT_FALSE(editor->isVisible());
  Select(3);
  EXPECT_TRUE(editor->isVisible());
  EXPECT_EQ(editor->ComboBoxCmndCmnd[0]->count(), 27);
  EXPECT_EQ(editor->ComboBoxCmndCmnd[0]->itemText(26), QStringLiteral("Scéna 15"));
  EXPECT_EQ(editor->findChild<QComboBox*>("ComboBoxCmnd4Led3"), editor->ComboBoxCmndLed[3][2]);
  EXPECT_EQ(editor->findChild<QLineEdit*>("EditCmnd2TimeoutS"), editor->EditCmndTimeoutS[1]);
}

TEST_F(SwitchFrameTest, AnErasedStepShowsAnEmptyStepToAll) {
  const size_t k = 1;
  EXPECT_EQ(editor->RadioGroupCmndAddressType[k]->ItemIndex(), 0);
  EXPECT_EQ(editor->EditCmndAddress[k]->text(), QStringLiteral("255"));
  EXPECT_FALSE(editor->EditCmndAddress[k]->isEnabled());
  EXPECT_EQ(editor->ComboBoxCmndCmnd[k]->currentIndex(), 0);
  EXPECT_FALSE(editor->RadioGroupCmndAddressType[k]->isEnabled());
  EXPECT_FALSE(editor->EditCmndData[k]->isEnabled());
  EXPECT_EQ(editor->ComboBoxCmndLed[k][0]->currentIndex(), 0);
  EXPECT_FALSE(editor->PanelWriteCommand->isVisible());
}

TEST_F(SwitchFrameTest, AddressTypeCommandAndNumberGoIntoTheStep) {
  const int k = 0;
  const size_t r = 0;
  Choose(editor->ComboBoxCmndCmnd[r], 1);  // "Úroveň"
  EXPECT_TRUE(editor->RadioGroupCmndAddressType[r]->isEnabled());
  editor->RadioGroupCmndAddressType[r]->Item(2)->click();  // "jednému"
  Type(editor->EditCmndAddress[r], "5");
  EXPECT_EQ(Step(0, k).Address(), 10);
  EXPECT_TRUE(editor->PanelWriteCommand->isVisible());
  Type(editor->EditCmndData[r], "200");
  EXPECT_EQ(Step(0, k).Command(), 200);
  Choose(editor->ComboBoxCmndCmnd[r], 7);  // "Maximum"
  EXPECT_EQ(Step(0, k).Address(), 11);
  EXPECT_EQ(Step(0, k).Command(), 5);
  EXPECT_FALSE(editor->EditCmndData[r]->isEnabled());
  Choose(editor->ComboBoxCmndCmnd[r], 14);  // "Scéna 3"
  EXPECT_EQ(Step(0, k).Command(), 0x13);
  // The group number is taken modulo 16.
  editor->RadioGroupCmndAddressType[r]->Item(1)->click();
  Type(editor->EditCmndAddress[r], "20");
  EXPECT_EQ(Step(0, k).Address(), 0x89);
  // Above 255 the number is refused.
  Type(editor->EditCmndAddress[r], "300");
  EXPECT_EQ(editor->EditCmndAddress[r]->text(), QStringLiteral("20"));
  // To all: 0xFF, and the edit says so.
  editor->RadioGroupCmndAddressType[r]->Item(0)->click();
  EXPECT_EQ(Step(0, k).Address(), 0xFF);
  EXPECT_EQ(editor->EditCmndAddress[r]->text(), QStringLiteral("255"));
  EXPECT_FALSE(editor->EditCmndAddress[r]->isEnabled());
  // The empty item empties the step.
  Choose(editor->ComboBoxCmndCmnd[r], 0);
  EXPECT_EQ(Step(0, k).Address(), 0xFF);
  EXPECT_EQ(Step(0, k).Command(), 0xFF);
  // And the view reads it all back the same way.
  Step(0, 2).SetAddress(0x89);
  Step(0, 2).SetCommand(0x13);
  Step(0, 3).SetAddress(0x0A);
  Step(0, 3).SetCommand(128);
  Select(9);
  EXPECT_EQ(editor->RadioGroupCmndAddressType[2]->ItemIndex(), 1);
  EXPECT_EQ(editor->EditCmndAddress[2]->text(), QStringLiteral("4"));
  EXPECT_EQ(editor->ComboBoxCmndCmnd[2]->currentIndex(), 14);
  EXPECT_EQ(editor->ComboBoxCmndCmnd[3]->currentIndex(), 1);
  EXPECT_EQ(editor->EditCmndData[3]->text(), QStringLiteral("128"));
}

TEST_F(SwitchFrameTest, LevelsAreDirectArcLevelsOnly) {
  Choose(editor->ComboBoxCmndCmnd[0], 1);
  const struct {
    bool percent;
    const char* typed;
    const char* shown;
    uint8_t stored;
  } cases[] = {{false, "254", "254", 254},
               {false, "255", "254", 254},
               {true, "100", "100", 254},
               {true, "101", "100", 254},
               {true, "50", "50", 0xDB - 0}};
  for (const auto& c : cases) {
    table->SetPercentMode(c.percent ? 1 : 0);
    Type(editor->EditCmndData[0], QString::fromLatin1(c.typed));
    EXPECT_EQ(editor->EditCmndData[0]->text(), QString::fromLatin1(c.shown)) << c.typed;
    if (std::string(c.typed) != "50") {
      EXPECT_EQ(Step(0, 0).Command(), c.stored) << c.typed;
    }
  }
  EXPECT_EQ(Step(0, 0).Command(), table->ConvertLevel(false, 50));
  table->SetPercentMode(0);
}

TEST_F(SwitchFrameTest, WaitsAreCheckedAgainstEighteenHours) {
  const size_t r = 2;
  // An erased step waits for nothing anybody typed: the edits are empty.
  EXPECT_EQ(Step(0, 2).Timeout(), 0xFFFFFFFFu);
  EXPECT_TRUE(editor->EditCmndTimeoutH[r]->text().isEmpty());
  EXPECT_TRUE(editor->EditCmndTimeoutS[r]->text().isEmpty());
  Type(editor->EditCmndTimeoutH[r], "18");
  EXPECT_EQ(Step(0, 2).Timeout(), 64800u);
  EXPECT_EQ(editor->EditCmndTimeoutM[r]->text(), QStringLiteral("00")) << "the wait as stored";
  // 18 h and 1 min is 64 860 s: refused.
  Type(editor->EditCmndTimeoutM[r], "1");
  EXPECT_EQ(editor->EditCmndTimeoutM[r]->text(), QStringLiteral("00"));
  EXPECT_EQ(Step(0, 2).Timeout(), 64800u);
  Type(editor->EditCmndTimeoutH[r], "19");
  EXPECT_EQ(editor->EditCmndTimeoutH[r]->text(), QStringLiteral("18"));
  Type(editor->EditCmndTimeoutH[r], "17");
  Type(editor->EditCmndTimeoutM[r], "59");
  Type(editor->EditCmndTimeoutS[r], "59");
  EXPECT_EQ(Step(0, 2).Timeout(), 64799u);
  Type(editor->EditCmndTimeoutS[r], "60");
  EXPECT_EQ(editor->EditCmndTimeoutS[r]->text(), QStringLiteral("59"));
  Type(editor->EditCmndTimeoutS[r], "7");
  EXPECT_EQ(editor->EditCmndTimeoutS[r]->text(), QStringLiteral("07"));
  EXPECT_EQ(Step(0, 2).Timeout(), 64747u);
  Select(9);
  EXPECT_EQ(editor->EditCmndTimeoutH[r]->text(), QStringLiteral("17"));
  EXPECT_EQ(editor->EditCmndTimeoutM[r]->text(), QStringLiteral("59"));
  EXPECT_EQ(editor->EditCmndTimeoutS[r]->text(), QStringLiteral("07"));
}

TEST_F(SwitchFrameTest, SendStateBoxesFollowTheFirmware) {
  for (uint8_t a : {9, 3, 5}) {
    table->SetCurrentSlot(a);
    table->Switch().Sequences(0).SetRepeat(0xA3);
  }
  const struct {
    int device;
    bool enabled;
    bool checked[4];
  } cases[] = {{9, true, {false, true, false, true}},
               {3, false, {false, false, false, false}},
               {5, false, {false, false, false, false}}};
  for (const auto& c : cases) {
    Select(c.device);
    for (size_t k = 0; k < 4; ++k) {
      EXPECT_EQ(editor->CheckBoxCmndSendState[k]->isEnabled(), c.enabled) << c.device;
      EXPECT_EQ(editor->CheckBoxCmndSendState[k]->isChecked(), c.checked[k]) << c.device << k;
    }
  }
  Select(9);
  editor->CheckBoxCmndSendState[0]->click();
  EXPECT_EQ(table->Switch().Sequences(0).Repeat(), 0xB3);
  Choose(editor->ComboBoxRepeat, 0);  // "Neopakovať"
  EXPECT_EQ(table->Switch().Sequences(0).Repeat(), 0xBF);
  Choose(editor->ComboBoxRepeat, 2);
  EXPECT_EQ(table->Switch().Sequences(0).Repeat(), 0xB1);
}

TEST_F(SwitchFrameTest, TheFourthSequenceBelongsToInput2) {
  table->SetCurrentSlot(9);
  table->Switch().Sequences(3).Steps(0).SetAddress(0x0B);
  table->Switch().Sequences(3).Steps(0).SetCommand(0x05);
  table->Switch().Sequences(3).SetResetFlags(0x11);
  table->Switch().Oncs(1, 0).SetAddress(20);
  editor->RadioButton2Long->click();
  EXPECT_EQ(editor->SelectedSequence, 3);
  EXPECT_EQ(editor->CheckBoxResetBtn->text(), QStringLiteral("1"));
  EXPECT_TRUE(editor->CheckBoxResetBtn->isChecked());
  EXPECT_EQ(editor->ComboBoxAfterReset->currentIndex(), 1);
  EXPECT_EQ(editor->LabelResponse->text(),
            QStringLiteral("Odozvy na správy z okolia pre ovládací prvok 2:"));
  EXPECT_EQ(editor->SwitchOncFrame->ShownInput, 1u);
  EXPECT_EQ(editor->SwitchOncFrame->EditOncAddress[0]->text(), QStringLiteral("20"));
  EXPECT_EQ(editor->ComboBoxCmndCmnd[0]->currentIndex(), 7);
  // The choice survives another device.
  Select(3);
  EXPECT_EQ(editor->SelectedSequence, 3);
  EXPECT_TRUE(editor->RadioButton2Long->isChecked());
  Choose(editor->ComboBoxAfterReset, 2);
  editor->CheckBoxResetBtn->click();
  table->SetCurrentSlot(3);
  // Erased 0xFF: the start rule becomes 2, the reset bit was set and is cleared.
  EXPECT_EQ(table->Switch().Sequences(3).ResetFlags(), 0x2E);
}

TEST_F(SwitchFrameTest, CaptionsFollowTheInputType) {
  table->SetCurrentSlot(9);
  table->Switch().SetType0(0);
  table->Switch().SetType1(2);
  table->Switch().SetButtonsEnabled(1);
  Select(9);
  EXPECT_EQ(editor->RadioButton2Short->text(), QStringLiteral("poloha 1"));
  EXPECT_EQ(editor->RadioButton2Long->text(), QStringLiteral("poloha 2"));
  EXPECT_EQ(editor->ButtonPress->text(), QStringLiteral("Krátke"));
  Choose(editor->ComboBox1Type, 1);  // "Vypínač"
  EXPECT_EQ(table->Switch().Type0(), 1);
  EXPECT_TRUE(editor->PanelWriteEnabled->isVisible());
  EXPECT_EQ(editor->RadioButton1Short->text(), QStringLiteral("zapnutý"));
  EXPECT_EQ(editor->RadioButton1Long->text(), QStringLiteral("vypnutý"));
  EXPECT_EQ(editor->ButtonPress->text(), QStringLiteral("Zapnúť"));
  EXPECT_EQ(editor->ButtonHold->text(), QStringLiteral("Vypnúť"));
  editor->RadioGroupBtn->Item(1)->click();
  EXPECT_EQ(editor->ButtonPress->text(), QStringLiteral("Poloha 1"));
  EXPECT_EQ(editor->ButtonHold->text(), QStringLiteral("Poloha 2"));
  // A device whose types were never read shows the push-button's captions, not those of the
  // device before it.
  Select(3);
  EXPECT_EQ(editor->RadioButton1Short->text(), QStringLiteral("krátke stlačenie"));
  EXPECT_EQ(editor->RadioButton2Long->text(), QStringLiteral("dlhé stlačenie"));
  EXPECT_EQ(editor->ButtonPress->text(), QStringLiteral("Krátke"));
}

TEST_F(SwitchFrameTest, TheInputsWriteSendsTypesAndEnableBits) {
  // Never read: the boxes show unknown and the types nothing, and nothing goes out.
  EXPECT_EQ(editor->CheckBox1ButtonEnabled->checkState(), Qt::PartiallyChecked);
  EXPECT_EQ(editor->ComboBox1Type->currentIndex(), -1);
  Sent();
  editor->ButtonWriteEnabledButtons->click();
  EXPECT_TRUE(Sent().empty());
  EXPECT_FALSE(StatusLine().isEmpty());
  Choose(editor->ComboBox1Type, 1);
  Choose(editor->ComboBox2Type, 0);
  editor->CheckBox1ButtonEnabled->click();
  editor->ButtonWriteEnabledButtons->click();
  EXPECT_TRUE(Sent().empty()) << "input 2's enable bit is still unknown";
  EXPECT_EQ(StatusLine(),
            QStringLiteral("Povolenie ovládacieho prvku 2 nie je prečítané ani zvolené"));
  EXPECT_TRUE(editor->PanelWriteEnabled->isVisible());
  editor->CheckBox2ButtonEnabled->click();
  EXPECT_NE(editor->CheckBox2ButtonEnabled->checkState(), Qt::PartiallyChecked);
  const uint8_t expectedEnabled =
      static_cast<uint8_t>((editor->CheckBox1ButtonEnabled->isChecked() ? 1 : 0) |
                           (editor->CheckBox2ButtonEnabled->isChecked() ? 2 : 0));
  editor->ButtonWriteEnabledButtons->click();
  EXPECT_EQ(Sent(), (std::vector<Frame>{Device(9, 5, 0xB0), Device(9, 3, 239), Device(9, 0, 6),
                                        Device(9, 7, 1), Device(9, 7, 0),
                                        Device(9, 7, expectedEnabled), Device(9, 0, 5)}));
  EXPECT_FALSE(editor->PanelWriteEnabled->isVisible());
  EXPECT_EQ(LineDevice(9).config[239], 1);
}

TEST_F(SwitchFrameTest, TheLongWriteSendsTheWholeImageWithItsCounter) {
  // As a document that knew the whole switch: the write is the whole image.
  table->SetCurrentSlot(9);
  test::SetWholeImage(*table, kSwitchImage);
  Choose(editor->ComboBoxCmndCmnd[0], 7);
  EXPECT_TRUE(editor->PanelWriteCommand->isVisible());
  // The counter is painted after every byte, before the next one goes out.
  PaintedTexts painted(editor->LabelWritten);
  Sent();
  editor->ButtonWriteCmndSequences->click();
  // Meanwhile the editor, the tiles and the tab bar are locked; the counter is not.
  ASSERT_TRUE(tabs->JobRunning());
  for (QWidget* locked : std::initializer_list<QWidget*>{
           editor->ButtonWriteCmndSequences, editor->ButtonPress, editor->ComboBoxCmndCmnd[0],
           host->ButtonReadControl, tabs->ControllersPage}) {
    EXPECT_FALSE(locked->isEnabled()) << locked->objectName().toStdString();
  }
  EXPECT_TRUE(editor->LabelWritten->isEnabled());
  ASSERT_TRUE(test::WaitUntil([&] { return !tabs->JobRunning(); }));
  EXPECT_TRUE(editor->ButtonWriteCmndSequences->isEnabled());
  EXPECT_TRUE(editor->ComboBoxCmndCmnd[0]->isEnabled());
  // Every count from 0 to 231 was on the screen, in order, and the label is empty at the end.
  std::vector<QString> counts;
  for (const QString& text : painted.texts) {
    if (!text.isEmpty() && (counts.empty() || counts.back() != text)) counts.push_back(text);
  }
  ASSERT_EQ(counts.size(), 232u);
  for (int n = 0; n < 232; ++n) {
    EXPECT_EQ(counts[static_cast<size_t>(n)], QStringLiteral("%1 / 231").arg(n, 3));
  }
  ASSERT_FALSE(painted.texts.empty());
  EXPECT_TRUE(painted.texts.back().isEmpty());
  const std::vector<Frame> sent = Sent();
  ASSERT_EQ(sent.size(), 3u + 232u + 1u);
  EXPECT_EQ(sent[0], Device(9, 5, 0xB0));
  EXPECT_EQ(sent[1], Device(9, 3, 7));
  EXPECT_EQ(sent[2], Device(9, 0, 6));
  EXPECT_EQ(sent[3], Device(9, 7, 0xFF));  // "všetkým"
  EXPECT_EQ(sent[4], Device(9, 7, 5));     // "Maximum"
  for (size_t n = 3; n < 235; ++n) EXPECT_EQ(sent[n][2], 7) << n;
  EXPECT_EQ(sent.back(), Device(9, 0, 5));
  EXPECT_FALSE(editor->PanelWriteCommand->isVisible());
  EXPECT_TRUE(editor->LabelWritten->text().isEmpty());
  EXPECT_EQ(LineDevice(9).config[8], 5);
}

TEST_F(SwitchFrameTest, AFailedByteKeepsThePanelAndTheStatusLineNamesIt) {
  table->SetCurrentSlot(9);
  test::SetWholeImage(*table, kSwitchImage);
  Choose(editor->ComboBoxCmndCmnd[0], 7);
  Sent();
  SilenceRequest(3 + 40);
  WriteSequences();
  const std::vector<Frame> sent = Sent();
  ASSERT_EQ(sent.size(), 3u + 40u + 1u);
  EXPECT_EQ(sent.back(), Device(9, 0, 5));
  EXPECT_TRUE(editor->PanelWriteCommand->isVisible());
  EXPECT_TRUE(
      StatusLine().startsWith(QStringLiteral("WRITE MEMORY SINGLE BYTE C 09 (bajt 40 z 232)")))
      << StatusLine().toStdString();
  EXPECT_FALSE(LineDevice(9).writeEnabled);
}

TEST_F(SwitchFrameTest, TestButtonsSendOneRequestEach) {
  Sent();
  editor->RadioGroupBtn->Item(1)->click();
  editor->ButtonPress->click();
  editor->ButtonHold->click();
  editor->RadioGroupIndicator->Item(3)->click();
  editor->ButtonBlinkQuarter->click();
  editor->RadioGroupIndicator->Item(0)->click();
  editor->ButtonOn->click();
  editor->ButtonOff->click();
  editor->ButtonBlinkWhole->click();
  editor->ButtonBlinkHalf->click();
  editor->ButtonBlinkEighth->click();
  EXPECT_EQ(Sent(), (std::vector<Frame>{Device(9, 130, 1), Device(9, 131, 1), Device(9, 141, 0x83),
                                        Device(9, 141, 32), Device(9, 141, 0), Device(9, 141, 64),
                                        Device(9, 141, 96), Device(9, 141, 160)}));
  EXPECT_EQ(LineDevice(9).indicators[3], 4);
  EXPECT_EQ(LineDevice(9).indicators[0], 5);
  EXPECT_EQ(editor->ButtonBlinkEighth->text(), QStringLiteral("Blikať1/8 s"));
}

}  // namespace
}  // namespace lumetra
