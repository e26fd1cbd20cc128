// The control device editor on the real main window, its gate answered by the simulated line: a
// click reaches the sequence byte for byte, and its result reaches the table and the controls.
#include <gtest/gtest.h>

#include <QApplication>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

#include "model/ControllerConfig.h"
#include "sim/SimulatedLine.h"
#include "support/GuiInput.h"
#include "support/LoopbackPeer.h"
#include "support/PaintedTexts.h"
#include "support/QtWait.h"
#include "ui/ConfiguratorForm.h"
#include "ui/ErrorDlg.h"
#include "ui/TabsFrame.h"
#include "ui/devices/ControllerFrame.h"

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
  uint16_t groups;
  uint8_t kind = kKindSwitch;
  uint8_t minor = 4;
  bool multimaster = false;
  bool groupsRead = true;
};

// Devices 3 and 8 are in group 4, 8 also in 9; 12 is in group 4 on the line but the table never
// read its groups; 20 is in group 1; 9 is an opto-relay set to multimaster; 5 is in 0 and 3.
const std::vector<Unit> kUnits = {
    {3, 1 << 4},
    {5, (1 << 0) | (1 << 3)},
    {8, (1 << 4) | (1 << 9), kKindPirSensor},
    {9, 0, kKindOptoRelay, 4, true},
    {12, 1 << 4, kKindSwitch, 4, false, false},
    {20, 1 << 1, kKindLightSensor},
};

class ControllerFrameTest : public ::testing::Test {
 protected:
  void Open(const std::vector<Unit>& units = kUnits) {
    sim::LineDescription description;
    for (const Unit& u : units) {
      sim::DeviceDescription d;
      d.shortAddress = u.address;
      d.groups = u.groups;
      d.kind = u.kind;
      d.versionMinor = u.minor;
      d.multimaster = u.multimaster;
      description.devices.push_back(d);
    }
    line = std::make_unique<sim::SimulatedLine>(description);
    gate.SetResponder([this](const Frame& request) -> std::optional<Frame> {
      std::lock_guard lock(mutex);
      return line->Exchange(request).reply;
    });
    form = std::make_unique<TConfiguratorForm>(
        std::vector<std::string>{"Hala", "127.0.0.8", std::to_string(gate.Port() - 1)});
    tabs = form->TabsFrame();
    editor = form->DeviceEditor();
    table = &form->ControllerConfig();
    form->DaliCom().SetReplyTimeout(150ms);
    tabs->ButtonOpen->click();
    ASSERT_TRUE(tabs->TCPClientGate.Connected());
    for (const Unit& u : units) {
      table->SetCurrentSlot(u.address);
      table->SetShortAddress(u.address);
      table->SetDeviceType(u.kind);
      table->SetVersion(1);
      table->SetMinVersion(u.minor);
      table->SetStatus(0);
      table->SetMultimaster(u.multimaster ? 1 : 0);
      if (u.groupsRead) {
        for (uint32_t g = 0; g < 16; ++g) table->SetGroups(g, (u.groups >> g) & 1);
      }
    }
    table->SetCurrentSlot(units.front().address);
    form->show();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    tabs->Pages->setCurrentWidget(tabs->ControllersPage);
    ASSERT_TRUE(editor->isVisible());
  }

  void Select(int a) { tabs->OnControlButtonClick(a); }
  // Group g, or all devices for 16.
  void SelectGroup(int g) { tabs->OnControlButtonGroupClick(g); }
  QCheckBox* Group(int g) { return editor->CheckBoxG[static_cast<size_t>(g)]; }

  void Type(QLineEdit* edit, const QString& text) {
    test::TypeAndLeave(edit, text, editor->ButtonLocalize);
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

  uint16_t TableGroups(uint8_t slot) {
    const uint8_t remembered = table->CurrentSlot();
    table->SetCurrentSlot(slot);
    uint16_t bits = 0;
    for (uint32_t g = 0; g < 16; ++g) bits |= static_cast<uint16_t>((table->Groups(g) & 1) << g);
    table->SetCurrentSlot(remembered);
    return bits;
  }

  sim::ControlDevice LineDevice(uint8_t a) {
    std::lock_guard lock(mutex);
    for (const sim::ControlDevice& d : line->Devices())
      if (d.shortAddress == a) return d;
    ADD_FAILURE() << "no device at " << int(a);
    return line->Devices().front();
  }

  std::mutex mutex;
  std::unique_ptr<sim::SimulatedLine> line;
  test::LoopbackPeer gate{"127.0.0.8"};
  std::unique_ptr<TConfiguratorForm> form;
  TTabsFrame* tabs = nullptr;
  TControllerFrame* editor = nullptr;
  TControllerConfig* table = nullptr;
  size_t seen = 0;
};

TEST_F(ControllerFrameTest, LocalizeGoesToTheDeviceTheGroupOrAll) {
  Open();
  Sent();
  const struct {
    int select;  // a device, or -(group + 1)
    uint8_t address;
  } cases[] = {{12, 12}, {-4, 0x83}, {-17, 0xFF}};
  for (const auto& c : cases) {
    c.select >= 0 ? Select(c.select) : SelectGroup(-c.select - 1);
    editor->ButtonLocalize->click();
    EXPECT_EQ(Sent(), (std::vector<Frame>{Device(c.address, 0, 1)})) << int(c.address);
  }
  EXPECT_TRUE(LineDevice(12).identifying);
}

TEST_F(ControllerFrameTest, GroupsOfOneDeviceGoAsTwoMasks) {
  Open();
  Select(5);
  Sent();
  EXPECT_FALSE(editor->PanelWriteGroups->isVisible());
  EXPECT_TRUE(Group(0)->isChecked());
  EXPECT_TRUE(Group(3)->isChecked());
  EXPECT_EQ(Group(0)->text(), QStringLiteral("01"));
  // Device 5 ends in groups 0, 2 and 9.
  for (int g : {3, 2, 9}) Group(g)->click();
  EXPECT_TRUE(editor->PanelWriteGroups->isVisible());
  editor->ButtonNewGroups->click();
  EXPECT_EQ(Sent(), (std::vector<Frame>{Device(5, 10, 0x05), Device(5, 11, 0x02)}));
  EXPECT_EQ(LineDevice(5).Groups(), 0x0205);
  EXPECT_EQ(TableGroups(5), 0x0205);
  EXPECT_FALSE(editor->PanelWriteGroups->isVisible());
  EXPECT_EQ(table->CurrentSlot(), 5);
  // Nothing changed since: nothing goes out, and the status line says why.
  editor->ButtonNewGroups->click();
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(StatusLine(), QStringLiteral("Nie je zmenená žiadna hodnota na zápis"));
}

TEST_F(ControllerFrameTest, GroupModeWritesToTheGroupAndCopiesIntoItsMembers) {
  Open();
  SelectGroup(4);
  Sent();
  EXPECT_EQ(editor->AddrLabel->text(), QStringLiteral("Adresa skupiny:"));
  EXPECT_EQ(editor->EditShortAddr->text(), QStringLiteral("4"));
  EXPECT_FALSE(editor->EditShortAddr->isEnabled());
  EXPECT_FALSE(editor->ButtonReadControl->isEnabled());
  // Nothing of a group is known until the user decides it.
  for (QCheckBox* box : editor->CheckBoxG) EXPECT_EQ(box->checkState(), Qt::PartiallyChecked);
  EXPECT_EQ(editor->CheckBoxMultimaster->checkState(), Qt::PartiallyChecked);
  editor->ButtonNewGroups->click();
  EXPECT_TRUE(Sent().empty());

  // A device takes eight groups at once: one box decided of a half is not enough to send it.
  Group(0)->click();
  ASSERT_EQ(Group(0)->checkState(), Qt::Checked);
  editor->ButtonNewGroups->click();
  EXPECT_TRUE(Sent().empty());
  EXPECT_TRUE(StatusLine().contains(QStringLiteral("nie sú všetky zvolené")))
      << StatusLine().toStdString();
  // Every other box decided as "no": unticked is a choice that goes out.
  for (int g = 1; g < 16; ++g) {
    Group(g)->click();
    if (g != 9) Group(g)->click();
    ASSERT_EQ(Group(g)->checkState(), g == 9 ? Qt::Checked : Qt::Unchecked) << g;
  }
  editor->ButtonNewGroups->click();
  // The members leave group 4 with the low mask: it goes last.
  EXPECT_EQ(Sent(), (std::vector<Frame>{Device(0x84, 11, 0x02), Device(0x84, 10, 0x01)}));
  for (uint8_t a : {3, 8, 12}) {
    EXPECT_EQ(LineDevice(a).Groups(), 0x0201) << int(a);
    EXPECT_EQ(TableGroups(a), 0x0201) << int(a);
  }
  EXPECT_EQ(TableGroups(20), 1 << 1);
  EXPECT_EQ(LineDevice(20).Groups(), 1 << 1);
  EXPECT_EQ(table->CurrentSlot(), TConfig::kGroupSlot);
}

TEST_F(ControllerFrameTest, AGroupTakesMasksZeroAndZeroAndMultimasterOff) {
  Open();
  SelectGroup(4);
  Sent();
  for (QCheckBox* box : editor->CheckBoxG) {
    box->click();
    box->click();
    ASSERT_EQ(box->checkState(), Qt::Unchecked);
  }
  editor->ButtonNewGroups->click();
  EXPECT_EQ(Sent(), (std::vector<Frame>{Device(0x84, 11, 0x00), Device(0x84, 10, 0x00)}));
  for (uint8_t a : {3, 8}) EXPECT_EQ(LineDevice(a).Groups(), 0) << int(a);

  SelectGroup(1);
  Sent();
  editor->CheckBoxMultimaster->click();
  editor->CheckBoxMultimaster->click();
  ASSERT_EQ(editor->CheckBoxMultimaster->checkState(), Qt::Unchecked);
  EXPECT_TRUE(editor->PanelWriteMultimaster->isVisible());
  editor->ButtonNewControlValue->click();
  EXPECT_EQ(Sent(), (std::vector<Frame>{Device(0x81, 0, 3)}));
}

TEST_F(ControllerFrameTest, AddressChangeMovesTheDeviceOrDeletesIt) {
  Open();
  Select(3);
  Sent();
  Type(editor->EditShortAddr, QStringLiteral("7"));
  EXPECT_TRUE(editor->PanelWriteAddress->isVisible());
  editor->ButtonNewAddress->click();
  EXPECT_EQ(Sent(), (std::vector<Frame>{Device(3, 41, 7)}));
  EXPECT_TRUE(table->IsSlotFree(3));
  EXPECT_FALSE(table->IsSlotFree(7));
  EXPECT_EQ(table->CurrentSlot(), 7);
  EXPECT_EQ(editor->EditShortAddr->text(), QStringLiteral("7"));
  EXPECT_FALSE(editor->PanelWriteAddress->isVisible());
  EXPECT_EQ(LineDevice(7).Groups(), 1 << 4);

  Type(editor->EditShortAddr, QStringLiteral("255"));
  EXPECT_EQ(editor->EditShortAddr->text(), QStringLiteral("255"));
  editor->ButtonNewAddress->click();
  EXPECT_EQ(Sent(), (std::vector<Frame>{Device(7, 41, 255)}));
  EXPECT_TRUE(table->IsSlotFree(7));
  // The lowest other device is shown.
  EXPECT_EQ(table->CurrentSlot(), 5);
  EXPECT_EQ(editor->EditShortAddr->text(), QStringLiteral("5"));
}

TEST_F(ControllerFrameTest, RefusedAddressesSendNothingAndSayWhy) {
  Open();
  Select(3);
  Sent();
  const struct {
    const char* typed;
    const char* status;
  } cases[] = {
      {"3", "Ovládač už má adresu 3"},
      {"5", "Adresa 5 je už obsadená"},
  };
  for (const auto& c : cases) {
    Type(editor->EditShortAddr, QString::fromLatin1(c.typed));
    editor->ButtonNewAddress->click();
    EXPECT_TRUE(Sent().empty()) << c.typed;
    EXPECT_EQ(StatusLine(), QString::fromUtf8(c.status));
    EXPECT_EQ(editor->ChangeShortAddress(std::atoi(c.typed)), -1);
  }
  // 64 is no address: leaving the edit puts the previous text back.
  Type(editor->EditShortAddr, QStringLiteral("3"));
  Type(editor->EditShortAddr, QStringLiteral("64"));
  EXPECT_EQ(editor->EditShortAddr->text(), QStringLiteral("3"));
  EXPECT_FALSE(table->IsSlotFree(3));
}

TEST_F(ControllerFrameTest, MultimasterIsWrittenButNotOfferedForAnOptoRelay) {
  Open();
  Select(9);
  EXPECT_FALSE(editor->CheckBoxMultimaster->isChecked());
  EXPECT_FALSE(editor->CheckBoxMultimaster->isEnabled());
  EXPECT_FALSE(editor->ButtonNewControlValue->isEnabled());
  EXPECT_EQ(editor->EditType->text(), QStringLiteral("141 - Optorelé"));

  Select(5);
  Sent();
  ASSERT_TRUE(editor->CheckBoxMultimaster->isEnabled());
  editor->CheckBoxMultimaster->click();
  EXPECT_TRUE(editor->PanelWriteMultimaster->isVisible());
  editor->ButtonNewControlValue->click();
  EXPECT_EQ(Sent(), (std::vector<Frame>{Device(5, 0, 4)}));
  EXPECT_TRUE(LineDevice(5).Multimaster());
  EXPECT_EQ(table->Multimaster(), 1);
  EXPECT_FALSE(editor->PanelWriteMultimaster->isVisible());
}

TEST_F(ControllerFrameTest, IdentityShowsTheKindNameAndValuesNeverReadAsUnknown) {
  Open({{5, 0}, {6, 0, 130}});
  Select(5);
  EXPECT_EQ(editor->EditType->text(), QStringLiteral("129 - Spínač"));
  EXPECT_EQ(editor->EditVersion->text(), QStringLiteral("1.004"));
  Select(6);
  EXPECT_EQ(editor->EditType->text(), QStringLiteral("130 - "));
  EXPECT_EQ(editor->ShownKindFrame(), nullptr);

  // A device of which only the address is known: unknown everywhere, and nothing is sent.
  table->SetCurrentSlot(5);
  for (uint32_t g = 0; g < 16; ++g) table->SetGroups(g, 255);
  table->SetStatus(255);
  table->SetMultimaster(255);
  table->SetVersion(255);
  table->SetDeviceType(255);
  Select(5);
  Sent();
  EXPECT_TRUE(editor->EditType->text().isEmpty());
  EXPECT_TRUE(editor->EditVersion->text().isEmpty());
  for (QCheckBox* box : editor->CheckBoxG) EXPECT_EQ(box->checkState(), Qt::PartiallyChecked);
  for (QCheckBox* box : editor->CheckBoxStatus) EXPECT_EQ(box->checkState(), Qt::PartiallyChecked);
  EXPECT_EQ(editor->CheckBoxMultimaster->checkState(), Qt::PartiallyChecked);
  editor->ButtonNewGroups->click();
  editor->ButtonNewControlValue->click();
  EXPECT_TRUE(Sent().empty());
  // One box clicked: the rest of its mask is unknown, so the write is refused.
  Group(1)->click();
  editor->ButtonNewGroups->click();
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(
      StatusLine(),
      QStringLiteral("Skupiny 01 až 08 ovládača nie sú prečítané: prečítajte jeho parametre"));
}

TEST_F(ControllerFrameTest, AGroupOffersTheKindEditorOnlyForOneKindAndVersion) {
  Open({{21, 1 << 6, kKindSwitch, 1}, {22, 1 << 6, kKindSwitch, 2}});
  auto* switchFrame = new QWidget;
  editor->SetKindFrame(kKindSwitch, switchFrame);
  Select(21);
  EXPECT_EQ(editor->ShownKindFrame(), switchFrame);
  SelectGroup(6);
  EXPECT_EQ(editor->ShownKindFrame(), nullptr);
  EXPECT_TRUE(editor->EditType->text().isEmpty());
  EXPECT_TRUE(editor->EditVersion->text().isEmpty());

  table->SetCurrentSlot(22);
  table->SetMinVersion(1);
  SelectGroup(6);
  EXPECT_EQ(editor->ShownKindFrame(), switchFrame);
  EXPECT_EQ(editor->EditType->text(), QStringLiteral("129 - Spínač"));
  EXPECT_EQ(editor->EditVersion->text(), QStringLiteral("1.001"));
  EXPECT_EQ(table->CurrentSlot(), TConfig::kGroupSlot);
}

TEST_F(ControllerFrameTest, FactoryResetOnlyAfterTheRedQuestion) {
  Open();
  Select(5);
  Sent();
  for (bool proceed : {false, true}) {
    QString text;
    QColor colour;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<TErrorDlg*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      text = dialog->Memo1->toPlainText();
      colour = dialog->palette().color(QPalette::Window);
      (proceed ? dialog->ButtonContinue : dialog->ButtonCancel)->click();
    });
    editor->ButtonReset->click();
    EXPECT_EQ(text,
              QStringLiteral("Všetky naprogramované údaje budú prepísané údajmi od výrobcu."));
    EXPECT_EQ(colour, QColor(255, 0, 0));
    EXPECT_EQ(Sent(), proceed ? (std::vector<Frame>{Device(5, 2, 2), Device(5, 2, 2)})
                              : std::vector<Frame>{});
  }
  EXPECT_EQ(TableGroups(5), 0x0009);  // the table is not changed
}

TEST_F(ControllerFrameTest, ReadingPaintsTheCounterAfterEachByteAndFillsTheEditor) {
  Open({{5, 1 << 2}});
  table->SetCurrentSlot(5);
  table->SetDeviceType(255);
  table->SetVersion(255);
  for (uint32_t g = 0; g < 16; ++g) table->SetGroups(g, 255);
  Select(5);
  PaintedTexts painted(editor->LabelRead);
  editor->ButtonReadControl->click();
  // The worker reads; meanwhile nothing else can reach the bus or the tables.
  ASSERT_TRUE(tabs->JobRunning());
  for (QWidget* locked : std::initializer_list<QWidget*>{
           editor->ButtonReadControl, editor->ButtonLocalize, Group(0), editor->EditShortAddr,
           tabs->Pages->tabBar(), tabs->ControllersPage}) {
    EXPECT_FALSE(locked->isEnabled()) << locked->objectName().toStdString();
  }
  EXPECT_FALSE(form->findChild<QAction*>(QStringLiteral("ItemOpen"))->isEnabled());
  ASSERT_TRUE(test::WaitUntil([&] { return !tabs->JobRunning(); }));
  for (QWidget* unlocked : std::initializer_list<QWidget*>{
           editor->ButtonReadControl, Group(0), tabs->Pages->tabBar(), tabs->ControllersPage}) {
    EXPECT_TRUE(unlocked->isEnabled()) << unlocked->objectName().toStdString();
  }
  EXPECT_TRUE(form->findChild<QAction*>(QStringLiteral("ItemOpen"))->isEnabled());
  const QRegularExpression counter(QStringLiteral("^ *(\\d+) / (\\d+)$"));
  std::set<int> counts;
  int total = 0;
  for (const QString& t : painted.texts) {
    const QRegularExpressionMatch m = counter.match(t);
    if (!m.hasMatch()) continue;
    counts.insert(m.captured(1).toInt());
    total = m.captured(2).toInt();
  }
  ASSERT_GT(total, 0);
  // Every byte's count was on the screen, up to the last.
  for (int n = 1; n <= total; ++n) EXPECT_TRUE(counts.count(n)) << n;
  // The read is over: the counter is gone and the device shows as read.
  EXPECT_TRUE(editor->LabelRead->text().isEmpty());
  EXPECT_EQ(editor->EditType->text(), QStringLiteral("129 - Spínač"));
  EXPECT_EQ(editor->EditVersion->text(), QStringLiteral("1.004"));
  EXPECT_TRUE(Group(2)->isChecked());
  EXPECT_EQ(Group(3)->checkState(), Qt::Unchecked);
}

TEST_F(ControllerFrameTest, AFailedReadSaysSoAndLeavesWhatItDidNotReachUnknown) {
  // The table holds values of an earlier reading (or a document): groups, firmware, status.
  Open({{5, 1 << 2}});
  Select(5);
  ASSERT_TRUE(Group(0)->isVisible());
  // SET BANK and the kind go through, the version's request loses the gate.
  gate.CloseAfter(3);
  editor->ButtonReadControl->click();
  ASSERT_TRUE(test::WaitUntil([&] { return !tabs->JobRunning(); }));
  EXPECT_EQ(StatusLine(), QStringLiteral("Čítanie ovládača C 05 sa nedokončilo: READ DIRECT "
                                         "MEMORY BYTE C 05: ") +
                              QString::fromUtf8(ExchangeResultText(kExchangeLost)));
  table->SetCurrentSlot(5);
  EXPECT_EQ(table->DeviceType(), kKindSwitch);
  EXPECT_EQ(table->Version(), 255);
  EXPECT_EQ(table->Status(), 255);
  EXPECT_EQ(table->Groups(2), 255);
  EXPECT_EQ(table->Multimaster(), 255);
  // The editor shows them as not read, and a groups write would not send them.
  EXPECT_TRUE(editor->EditVersion->text().isEmpty());
  EXPECT_EQ(Group(2)->checkState(), Qt::PartiallyChecked);
  EXPECT_TRUE(editor->ButtonReadControl->isEnabled());
}

TEST_F(ControllerFrameTest, ClosingTheWindowDuringAReadStopsItAndThenCloses) {
  Open({{5, 0}});
  Select(5);
  // A slow line: the read would take seconds.
  gate.SetResponder([this](const Frame& request) -> std::optional<Frame> {
    std::this_thread::sleep_for(5ms);
    std::lock_guard lock(mutex);
    return line->Exchange(request).reply;
  });
  editor->ButtonReadControl->click();
  ASSERT_TRUE(tabs->TaskRunning());
  form->close();
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(form->statusBar()->currentMessage(),
            QStringLiteral("Prenos sa ruší, program sa zatvorí hneď, ako sa zastaví"));
  ASSERT_TRUE(test::WaitUntil([&] { return !form->isVisible(); }));
  EXPECT_LT(gate.Requests().size(), 100u);
}

}  // namespace
}  // namespace lumetra
