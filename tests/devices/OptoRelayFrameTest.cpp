// The opto-relay editor inside the control device editor of the real main window, its gate
// answered by the simulated line: what the rows show, what typing and choosing store, and the
// writes and tests byte for byte.
#include <gtest/gtest.h>

#include <QApplication>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QWheelEvent>
#include <memory>
#include <mutex>

#include "model/ControllerConfig.h"
#include "sim/SimulatedLine.h"
#include "support/GuiInput.h"
#include "support/LoopbackPeer.h"
#include "support/PaintedTexts.h"
#include "support/QtWait.h"
#include "ui/ConfiguratorForm.h"
#include "ui/TabsFrame.h"
#include "ui/Widgets.h"
#include "ui/devices/ControllerFrame.h"
#include "ui/devices/OptoRelayFrame.h"

namespace lumetra {
namespace {

using namespace std::chrono_literals;
using test::Frame;
using test::PaintedTexts;

Frame Device(uint8_t address, uint8_t opcode, uint8_t parameter) {
  return test::Wire(4, address, opcode, parameter);
}

// Relays 20 and 9 (both in group 2), switch 3 that may send messages, switch 4 that may not.
class OptoRelayFrameTest : public ::testing::Test {
 protected:
  static constexpr uint8_t kRelay = 20;

  void SetUp() override {
    struct Unit {
      uint8_t address, kind;
      bool multimaster;
      uint16_t groups;
    };
    const Unit units[] = {{kRelay, kKindOptoRelay, false, 1 << 2},
                          {9, kKindOptoRelay, false, 1 << 2},
                          {3, kKindSwitch, true, 0},
                          {4, kKindSwitch, false, 0}};
    sim::LineDescription description;
    for (const Unit& u : units) {
      sim::DeviceDescription d;
      d.shortAddress = u.address;
      d.kind = u.kind;
      d.versionMinor = 2;
      d.multimaster = u.multimaster;
      d.groups = u.groups;
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
    relay = form->findChild<TOptoRelayFrame*>("OptoRelayFrame");
    ASSERT_NE(relay, nullptr);
    table = &form->ControllerConfig();
    form->DaliCom().SetReplyTimeout(100ms);
    tabs->ButtonOpen->click();
    ASSERT_TRUE(tabs->TCPClientGate.Connected());
    for (const Unit& u : units) {
      table->SetCurrentSlot(u.address);
      table->SetShortAddress(u.address);
      table->SetDeviceType(u.kind);
      table->SetVersion(1);
      table->SetMinVersion(2);
      table->SetStatus(0);
      table->SetMultimaster(u.multimaster ? 1 : 0);
      for (uint32_t g = 0; g < 16; ++g) table->SetGroups(g, (u.groups >> g) & 1);
    }
    table->SetCurrentSlot(kRelay);
    form->show();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    tabs->Pages->setCurrentWidget(tabs->ControllersPage);
    Select(kRelay);
    ASSERT_TRUE(relay->isVisible());
  }

  void Select(int a) { tabs->OnControlButtonClick(a); }
  void Type(QLineEdit* edit, const QString& text) {
    test::TypeAndLeave(edit, text, relay->ButtonOn);
  }
  // Chooses item `item` of the box as a user does: the popup's choice is an activation.
  static void Choose(QComboBox* box, int item) {
    box->setCurrentIndex(item);
    emit box->activated(item);
  }
  // Response j of the slot's record; the selection stays as it is (the handle keeps its slot).
  RelayOnc Onc(uint32_t j, uint8_t slot = kRelay) {
    const uint8_t selected = table->CurrentSlot();
    table->SetCurrentSlot(slot);
    const RelayOnc onc = table->OptoRelay().Oncs(j);
    table->SetCurrentSlot(selected);
    return onc;
  }
  std::vector<Frame> Sent() {
    const std::vector<Frame> all = gate.Requests();
    std::vector<Frame> fresh(all.begin() + static_cast<long>(seen), all.end());
    seen = all.size();
    return fresh;
  }
  sim::ControlDevice LineDevice(uint8_t a) {
    std::lock_guard lock(mutex);
    for (const sim::ControlDevice& d : line->Devices())
      if (d.shortAddress == a) return d;
    ADD_FAILURE() << "no device at " << int(a);
    return line->Devices().front();
  }
  // Request n from now reaches neither the line nor an answer.
  void SilenceRequest(int n) {
    std::lock_guard lock(mutex);
    silentAt = answered + n;
  }
  QString StatusLine() {
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    return form->statusBar()->currentMessage();
  }
  // "Zapísať" of the responses: the worker writes while the editor stays locked, then hands over.
  void WriteResponses() {
    relay->ButtonWriteNewValues->click();
    ASSERT_TRUE(tabs->TaskRunning());
    EXPECT_FALSE(relay->ButtonWriteNewValues->isEnabled());
    EXPECT_FALSE(relay->EditOncAddress[0]->isEnabled());
    EXPECT_FALSE(host->ButtonReadControl->isEnabled());
    ASSERT_TRUE(test::WaitUntil([&] { return !tabs->TaskRunning(); }));
    EXPECT_TRUE(relay->ButtonWriteNewValues->isEnabled());
    EXPECT_TRUE(relay->EditOncAddress[0]->isEnabled());
  }
  QColor Base(QLineEdit* edit) { return edit->palette().color(QPalette::Base); }
  QColor Window(QLineEdit* edit) { return QApplication::palette(edit).color(QPalette::Base); }

  std::mutex mutex;
  int answered = 0;
  int silentAt = -1;
  std::unique_ptr<sim::SimulatedLine> line;
  test::LoopbackPeer gate{"127.0.0.9"};
  std::unique_ptr<TConfiguratorForm> form;
  TTabsFrame* tabs = nullptr;
  TControllerFrame* host = nullptr;
  TOptoRelayFrame* relay = nullptr;
  TControllerConfig* table = nullptr;
  size_t seen = 0;
};

TEST_F(OptoRelayFrameTest, AFreshRecordShowsEmptyRowsOnBothPages) {
  EXPECT_EQ(host->ShownKindFrame(), relay);
  EXPECT_TRUE(relay->RadioButton1To16->isChecked());
  for (QRadioButton* page : {relay->RadioButton1To16, relay->RadioButton17To32}) {
    page->click();
    for (size_t r = 0; r < TOptoRelayFrame::kRows; ++r) {
      EXPECT_TRUE(relay->EditOncAddress[r]->text().isEmpty()) << r;
      EXPECT_EQ(relay->ComboBoxOncState[r]->currentIndex(), -1) << r;
      EXPECT_EQ(relay->ComboBoxOncOperator[r]->currentIndex(), 0) << r;
      EXPECT_TRUE(relay->EditOncLevel[r]->text().isEmpty()) << r;
      EXPECT_EQ(relay->ComboBoxOncAction[r]->currentIndex(), 0) << r;
      for (const auto& column : relay->CheckBoxOncOutput) EXPECT_FALSE(column[r]->isChecked()) << r;
    }
    EXPECT_FALSE(relay->PanelWriteNewValues->isVisible()) << "a page change is no change";
  }
  EXPECT_EQ(relay->CheckBoxEnabled->checkState(), Qt::PartiallyChecked) << "never read";
  EXPECT_EQ(relay->findChild<QLineEdit*>("Edit16OncLevel"), relay->EditOncLevel[15]);
  EXPECT_EQ(relay->findChild<QCheckBox*>("CheckBox1OncOutput4"), relay->CheckBoxOncOutput[3][0]);
}

TEST_F(OptoRelayFrameTest, TypedAddressesAndLevelsAreCheckedOnLeaving) {
  QLineEdit* address = relay->EditOncAddress[0];
  Type(address, QStringLiteral("3"));
  EXPECT_EQ(Onc(0).Address(), 3);
  EXPECT_EQ(Base(address), Window(address)) << "switch 3 may send messages";
  EXPECT_TRUE(relay->PanelWriteNewValues->isVisible());

  const struct {
    const char* typed;
    uint8_t stored;
    const char* shown;
    bool red;
  } addresses[] = {
      {"300", 3, "3", false},  // no address: the previous text comes back
      {"70", 70, "70", true},  // no device can have it
      {"4", 4, "4", true},     // a device that may not send messages
      {"", 255, "", false},
  };
  for (const auto& c : addresses) {
    Type(address, QString::fromLatin1(c.typed));
    EXPECT_EQ(Onc(0).Address(), c.stored) << c.typed;
    EXPECT_EQ(address->text(), QString::fromLatin1(c.shown)) << c.typed;
    EXPECT_EQ(Base(address) == QColor(255, 0, 0), c.red) << c.typed;
  }

  QLineEdit* level = relay->EditOncLevel[1];
  const struct {
    const char* typed;
    uint32_t stored;
    const char* shown;
  } levels[] = {
      {"65000", 65000, "65000"}, {"65001", 65000, "65000"}, {"65535", 0xFFFF, ""},
      {"120", 120, "120"},       {"", 0xFFFF, ""},
  };
  for (const auto& c : levels) {
    Type(level, QString::fromLatin1(c.typed));
    EXPECT_EQ(Onc(1).Level(), c.stored) << c.typed;
    EXPECT_EQ(level->text(), QString::fromLatin1(c.shown)) << c.typed;
  }
}

TEST_F(OptoRelayFrameTest, TheSecondPageEditsResponsesSeventeenToThirtyTwo) {
  Onc(18).SetRelayOn(0xF5);
  Onc(20).SetAddress(3);
  Onc(20).SetMessageIndex(4);
  Onc(20).SetLevel(1234);
  Select(kRelay);
  relay->RadioButton17To32->click();
  EXPECT_EQ(relay->RowNumbers[0]->text(), QStringLiteral("17"));
  EXPECT_EQ(relay->EditOncAddress[4]->text(), QStringLiteral("3"));
  EXPECT_EQ(relay->ComboBoxOncState[4]->currentText(), QStringLiteral("Tl. 2 stlačené / zapnuté"));
  EXPECT_EQ(relay->EditOncLevel[4]->text(), QStringLiteral("1234"));
  // 0xF5: no action, outputs A and C.
  EXPECT_EQ(relay->ComboBoxOncAction[2]->currentIndex(), 0);
  EXPECT_TRUE(relay->CheckBoxOncOutput[0][2]->isChecked());
  EXPECT_FALSE(relay->CheckBoxOncOutput[1][2]->isChecked());
  EXPECT_TRUE(relay->CheckBoxOncOutput[2][2]->isChecked());

  Choose(relay->ComboBoxOncOperator[2], 4);  // ">="
  EXPECT_EQ(Onc(18).Operator(), 3);
  EXPECT_EQ(Onc(2).Operator(), 0xFF);
  Choose(relay->ComboBoxOncAction[2], 2);  // "zapnúť"
  EXPECT_EQ(Onc(18).RelayOn(), 0x15);
  relay->CheckBoxOncOutput[3][2]->click();  // output D too
  EXPECT_EQ(Onc(18).RelayOn(), 0x1D);
  Choose(relay->ComboBoxOncAction[2], 0);
  EXPECT_EQ(Onc(18).RelayOn(), 0xFD);
  EXPECT_EQ(Onc(18).Action(), 255);
  Choose(relay->ComboBoxOncState[2], 11);
  EXPECT_EQ(Onc(18).MessageIndex(), 11);
  EXPECT_EQ(Onc(18).Message(), 0xFE);
  EXPECT_TRUE(relay->PanelWriteNewValues->isVisible());

  // An erased byte chooses no outputs: "vypnúť" alone switches nothing off.
  Choose(relay->ComboBoxOncAction[5], 1);
  EXPECT_EQ(Onc(21).RelayOn(), 0x00);
  relay->CheckBoxOncOutput[1][6]->click();
  EXPECT_EQ(Onc(22).RelayOn(), 0xF2);

  // The page stays chosen for the next device, which shows its own record.
  Select(9);
  EXPECT_TRUE(relay->RadioButton17To32->isChecked());
  EXPECT_TRUE(relay->EditOncAddress[4]->text().isEmpty());
  EXPECT_FALSE(relay->PanelWriteNewValues->isVisible());
}

TEST_F(OptoRelayFrameTest, TheWheelOverAChoiceScrollsTheWindowAndChangesNothing) {
  QComboBox* state = relay->ComboBoxOncState[0];
  Choose(state, 3);
  // A window smaller than its content, as on a small screen.
  form->resize(1000, 500);
  QApplication::processEvents();
  QScrollBar* bar = form->ScrollBox()->verticalScrollBar();
  ASSERT_GT(bar->maximum(), 0) << "the window has room to scroll";
  bar->setValue(0);
  const QPoint at = state->rect().center();
  QWheelEvent wheel(at, state->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(state, &wheel);
  EXPECT_EQ(state->currentIndex(), 3);
  EXPECT_EQ(Onc(0).MessageIndex(), 3);
  EXPECT_GT(bar->value(), 0);
}

TEST_F(OptoRelayFrameTest, TheResponsesGoOutWithTheCounterAndLandInTheDevice) {
  Onc(0).SetAddress(3);
  Onc(0).SetMessageIndex(1);
  Onc(0).SetRelayOn(0x12);
  Select(kRelay);
  Type(relay->EditOncLevel[3], QStringLiteral("500"));
  ASSERT_TRUE(relay->PanelWriteNewValues->isVisible());
  Sent();
  PaintedTexts painted(relay->LabelWritten);
  WriteResponses();

  // What was set and nothing else: response 0's address, message and outputs, response 3's
  // level; the bytes nobody read or set stay as the device holds them.
  std::vector<Frame> expected;
  auto run = [&](uint8_t location, std::vector<uint8_t> bytes) {
    expected.insert(expected.end(),
                    {Device(kRelay, 5, 0xB0), Device(kRelay, 3, location), Device(kRelay, 0, 6)});
    for (const uint8_t b : bytes) expected.push_back(Device(kRelay, 7, b));
    expected.push_back(Device(kRelay, 0, 5));
  };
  run(7, {3, 1, 0x20});
  run(13, {0x12});
  run(7 + 3 * 7 + 4, {0xF4, 0x01});
  EXPECT_EQ(Sent(), expected);
  const sim::ControlDevice unit = LineDevice(kRelay);
  EXPECT_EQ(unit.config[7], 3);
  EXPECT_EQ(unit.config[13], 0x12);
  EXPECT_EQ(unit.config[7 + 3 * 7 + 5], 0x01) << "level 500, high byte";

  // The counter was painted after every byte, in order, up to 5 / 5, and emptied at the end
  // (the locking and unlocking of the editor repaint it too, hence no duplicates counted).
  std::vector<QString> counter;
  for (const QString& text : painted.texts) {
    if (!text.isEmpty() && (counter.empty() || counter.back() != text)) counter.push_back(text);
  }
  std::vector<QString> expectedCounter;
  for (int n = 0; n <= 5; ++n) expectedCounter.push_back(QString::asprintf("%3d / 5", n));
  EXPECT_EQ(counter, expectedCounter);
  ASSERT_FALSE(painted.texts.empty());
  EXPECT_TRUE(painted.texts.back().isEmpty()) << "emptied at the end";
  EXPECT_TRUE(relay->LabelWritten->text().isEmpty());
  EXPECT_FALSE(relay->PanelWriteNewValues->isVisible());

  // The written response acts on the line: switch 3's input 1 switches output B on.
  form->UiSession().Device(BusTarget::Device(3), device::kPressSwitchOn, 0);
  EXPECT_EQ(LineDevice(kRelay).outputs, 0x02);
}

TEST_F(OptoRelayFrameTest, AFailedWriteKeepsThePanelUntilTheRestWentThrough) {
  // A record opened from a document that knew every byte: the whole image goes out.
  KindRecord image = table->Image(kOptoRelayImage);
  for (uint16_t i = 0; i < kOptoRelayImage.length; ++i) image.SetImageByteAt(i, 0x10 + i % 7);
  Select(kRelay);
  ASSERT_TRUE(relay->PanelWriteNewValues->isVisible()) << "a record with bytes to send shows it";
  Sent();
  SilenceRequest(3 + 50);
  WriteResponses();
  const std::vector<Frame> sent = Sent();
  ASSERT_EQ(sent.size(), 3u + 50u + 1u);
  EXPECT_EQ(sent.back(), Device(kRelay, 0, 5)) << "writing is disabled again";
  EXPECT_TRUE(relay->PanelWriteNewValues->isVisible());
  EXPECT_TRUE(relay->LabelWritten->text().isEmpty());
  EXPECT_TRUE(StatusLine().contains(QStringLiteral("(bajt 50 z 224)")))
      << StatusLine().toStdString();
  // Shown again, the device still lacks the rest: the panel stays.
  Select(9);
  Select(kRelay);
  EXPECT_TRUE(relay->PanelWriteNewValues->isVisible());
  // The next write sends what did not go through, from byte 50 on, and nothing before it.
  WriteResponses();
  const std::vector<Frame> rest = Sent();
  ASSERT_EQ(rest.size(), 3u + 175u + 1u);
  EXPECT_EQ(rest[1], Device(kRelay, 3, 7 + 49));
  EXPECT_FALSE(relay->PanelWriteNewValues->isVisible());
  const sim::ControlDevice unit = LineDevice(kRelay);
  for (uint16_t i = 0; i < 224; ++i) ASSERT_EQ(unit.config[7 + i], 0x10 + i % 7) << i;
}

TEST_F(OptoRelayFrameTest, TheEnableByteIsWrittenOnlyOnceItHasAValue) {
  Sent();
  relay->ButtonWriteEnabled->click();
  EXPECT_TRUE(Sent().empty()) << "erased: nothing to write";
  EXPECT_FALSE(StatusLine().isEmpty());

  relay->CheckBoxEnabled->click();
  EXPECT_TRUE(relay->PanelWriteEnabled->isVisible());
  const uint8_t enabled = relay->CheckBoxEnabled->isChecked() ? 1 : 0;
  table->SetCurrentSlot(kRelay);
  EXPECT_EQ(table->OptoRelay().RelayEnabled(), enabled);
  relay->ButtonWriteEnabled->click();
  EXPECT_EQ(Sent(), (std::vector<Frame>{Device(kRelay, 5, 0xB0), Device(kRelay, 3, 231),
                                        Device(kRelay, 0, 6), Device(kRelay, 7, enabled),
                                        Device(kRelay, 0, 5)}));
  EXPECT_EQ(LineDevice(kRelay).config[231], enabled);
  EXPECT_FALSE(relay->PanelWriteEnabled->isVisible());
}

TEST_F(OptoRelayFrameTest, TheTestButtonsSwitchTheChosenOutput) {
  Sent();
  relay->RadioGroupOutputs->Item(2)->click();
  relay->ButtonOn->click();
  EXPECT_EQ(Sent(), (std::vector<Frame>{Device(kRelay, 130, 2)}));
  EXPECT_EQ(LineDevice(kRelay).outputs, 0x04);
  relay->RadioGroupOutputs->Item(0)->click();
  relay->ButtonOff->click();
  EXPECT_EQ(Sent(), (std::vector<Frame>{Device(kRelay, 132, 0)}));
  EXPECT_EQ(LineDevice(kRelay).outputs, 0x04);
  relay->RadioGroupOutputs->Item(2)->click();
  relay->ButtonOff->click();
  EXPECT_EQ(LineDevice(kRelay).outputs, 0x00);
  table->SetCurrentSlot(kRelay);
  EXPECT_EQ(table->OptoRelay().Oncs(0).Address(), 255) << "nothing stored";
}

TEST_F(OptoRelayFrameTest, AGroupOfRelaysEditsTheGroupSlotAndWritesToTheGroup) {
  Onc(0).SetAddress(3);
  tabs->OnControlButtonGroupClick(2);
  ASSERT_EQ(host->ShownKindFrame(), relay);
  EXPECT_TRUE(relay->EditOncAddress[0]->text().isEmpty()) << "the group starts empty";
  Type(relay->EditOncAddress[1], QStringLiteral("4"));
  EXPECT_EQ(Onc(1, TConfig::kGroupSlot).Address(), 4);
  EXPECT_EQ(Onc(1).Address(), 255) << "the member's record is its own";
  Sent();
  WriteResponses();
  // Only what the group view set goes out, and the members' records follow it.
  EXPECT_EQ(Sent(),
            (std::vector<Frame>{Device(0x82, 5, 0xB0), Device(0x82, 3, 14), Device(0x82, 0, 6),
                                Device(0x82, 7, 4), Device(0x82, 0, 5)}));
  for (uint8_t a : {kRelay, uint8_t{9}}) {
    EXPECT_EQ(LineDevice(a).config[14], 4) << int(a);
    EXPECT_EQ(Onc(1, a).Address(), 4) << int(a);
  }
  EXPECT_EQ(Onc(0).Address(), 3) << "what the group did not set stays the member's";
  EXPECT_EQ(LineDevice(kRelay).config[7], 0xFF);
  relay->ButtonOn->click();
  EXPECT_EQ(Sent(), (std::vector<Frame>{Device(0x82, 130, 0)}));
}

}  // namespace
}  // namespace lumetra
