// The motion sensor page in the real main window, its gate answered by the simulated line: what
// each control shows of the record, what an entry stores or refuses, and that the buttons send
// their requests byte for byte with the counter and the red panels following.
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
#include "support/QtWait.h"
#include "ui/ConfiguratorForm.h"
#include "ui/LumetraApplication.h"
#include "ui/TabsFrame.h"
#include "ui/devices/ControllerFrame.h"
#include "ui/devices/PIRSensorFrame.h"

namespace lumetra {
namespace {

using namespace std::chrono_literals;
using test::Frame;

Frame Device(uint8_t address, uint8_t opcode, uint8_t parameter) {
  return test::Wire(4, address, opcode, parameter);
}

// Motion sensors 12 (group 3) and 14 (group 3, multimaster); 9 is a multimaster switch, 10 a
// switch that is not.
struct Unit {
  uint8_t address;
  uint8_t kind;
  bool multimaster;
};
const Unit kUnits[] = {{12, kKindPirSensor, false},
                       {14, kKindPirSensor, true},
                       {9, kKindSwitch, true},
                       {10, kKindSwitch, false}};

class PIRSensorFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A general error would wait in its modal box; the test reads it instead.
    TLumetraApplication::SetErrorReport(
        [this](const QString& m) { errors.push_back(m.toStdString()); });
    sim::LineDescription description;
    for (const Unit& u : kUnits) {
      sim::DeviceDescription d;
      d.shortAddress = u.address;
      d.kind = u.kind;
      d.versionMinor = 3;
      d.multimaster = u.multimaster;
      d.groups = u.kind == kKindPirSensor ? 1 << 3 : 0;
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
    page = form->MotionSensorEditor();
    table = &form->ControllerConfig();
    form->DaliCom().SetReplyTimeout(100ms);
    tabs->ButtonOpen->click();
    ASSERT_TRUE(errors.empty()) << errors.front();
    ASSERT_TRUE(tabs->TCPClientGate.Connected());
    for (const Unit& u : kUnits) {
      table->SetCurrentSlot(u.address);
      table->SetShortAddress(u.address);
      table->SetDeviceType(u.kind);
      table->SetVersion(1);
      table->SetMinVersion(3);
      table->SetStatus(0);
      table->SetMultimaster(u.multimaster ? 1 : 0);
      for (uint32_t g = 0; g < 16; ++g) table->SetGroups(g, g == 3 && u.kind == kKindPirSensor);
    }
    table->SetCurrentSlot(12);
    Fill();
    form->show();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    tabs->Pages->setCurrentWidget(tabs->ControllersPage);
    Select(12);
    ASSERT_EQ(host->ShownKindFrame(), page);
    ASSERT_TRUE(page->isVisible());
    Sent();
  }

  // Sensor 12 as read: enabled, commands 200 / 150 / none with waits 0:05:00 and 1:00:00, lights
  // of group 5, response 0 from the multimaster switch 9, response 1 from switch 10, response 17
  // from the sensor 14.
  void TearDown() override {
    form.reset();
    TLumetraApplication::SetErrorReport(nullptr);
    EXPECT_TRUE(errors.empty()) << errors.front();
  }

  void Fill() {
    PirSensorLayout layout = table->PirSensor();
    layout.SetSensorEnabled(1);
    layout.SetCmndAddress(0x8A);
    const uint32_t levels[] = {200, 150, 255}, waits[] = {300, 3600, 0};
    for (uint32_t c = 0; c < 3; ++c) {
      layout.Commands(c).SetLevel(levels[c]);
      layout.Commands(c).SetTimeout(waits[c]);
    }
    for (auto [j, address, message] :
         {std::tuple<uint32_t, uint32_t, uint32_t>{0, 9, 1}, {1, 10, 3}, {17, 14, 7}}) {
      PirOnc onc = layout.Oncs(j);
      onc.SetAddress(address);
      onc.SetMessageIndex(message);
      onc.SetLevel(40 + j);
      onc.SetEnabled(j == 1);
    }
    test::MarkAllRead(*table, kPirSensorImage);
  }

  void Select(int a) { tabs->OnControlButtonClick(a); }
  void SelectGroup(int g) { tabs->OnControlButtonGroupClick(g); }
  void Type(QLineEdit* edit, const QString& text) {
    test::TypeAndLeave(edit, text, page->ButtonAlarm);
  }
  PirSensorLayout Record() { return table->PirSensor(); }

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
  QColor Base(QLineEdit* edit) { return edit->palette().color(QPalette::Base); }
  // The focus enters the edit and leaves it, nothing typed.
  void PassThrough(QLineEdit* edit) {
    edit->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(edit->hasFocus());
    page->ButtonAlarm->setFocus(Qt::TabFocusReason);
  }
  void SetPercent(bool percent) { tabs->RadioGroupPercentArc->Item(percent ? 0 : 1)->click(); }

  std::mutex mutex;
  int answered = 0;
  int silentAt = -1;
  std::unique_ptr<sim::SimulatedLine> line;
  test::LoopbackPeer gate{"127.0.0.9"};
  std::vector<std::string> errors;
  std::unique_ptr<TConfiguratorForm> form;
  TTabsFrame* tabs = nullptr;
  TControllerFrame* host = nullptr;
  TPIRSensorFrame* page = nullptr;
  TControllerConfig* table = nullptr;
  size_t seen = 0;
};

const QColor kRed(255, 0, 0);

TEST_F(PIRSensorFrameTest, TheRecordIsShownInEveryControl) {
  SetPercent(false);
  Select(12);
  EXPECT_EQ(page->CheckBoxSensorEnabled->checkState(), Qt::Checked);
  EXPECT_EQ(page->EditCmnd1Level->text(), "200");
  EXPECT_EQ(page->EditCmnd2Level->text(), "150");
  EXPECT_EQ(page->EditCmnd3Level->text(), "") << "no level";
  EXPECT_EQ(page->EditCmnd1TimeoutH->text(), "0");
  EXPECT_EQ(page->EditCmnd1TimeoutM->text(), "05");
  EXPECT_EQ(page->EditCmnd1TimeoutS->text(), "00");
  EXPECT_EQ(page->EditCmnd2TimeoutH->text(), "1");
  EXPECT_EQ(page->EditCmnd2TimeoutM->text(), "00");
  EXPECT_EQ(page->RadioGroupCmndAddressType->ItemIndex(), 1);
  EXPECT_EQ(page->EditCmndAddress->text(), "5");
  EXPECT_TRUE(page->EditCmndAddress->isEnabled());
  EXPECT_EQ(page->EditOncAddress[0]->text(), "9");
  EXPECT_EQ(page->ComboBoxOncState[0]->currentIndex(), 1);
  EXPECT_EQ(page->EditOncLevel[0]->text(), "40");
  EXPECT_FALSE(page->CheckBoxOncDisabled[0]->isChecked());
  EXPECT_TRUE(page->CheckBoxOncDisabled[1]->isChecked());
  EXPECT_EQ(page->EditOncAddress[2]->text(), "");
  EXPECT_EQ(page->EditOncLevel[2]->text(), "");
  EXPECT_FALSE(page->PanelWriteCommand->isVisible());
  EXPECT_FALSE(page->PanelWriteEnabled->isVisible());
}

TEST_F(PIRSensorFrameTest, TheControlledLightsAreDecodedAndEncoded) {
  const struct {
    uint8_t stored;
    int item;
    const char* number;
    bool editable;
  } shown[] = {{0xFE, 0, "255", false},
               {0x8A, 1, "5", true},
               {0x9E, 1, "15", true},
               {0x0C, 2, "6", true},
               {0x7E, 2, "63", true},
               {0xFE, 0, "255", false},
               // Erased memory and a group beyond 15 name no lights: no item, no number.
               {0xFF, -1, "", false},
               {0xA2, -1, "", false},
               {0xFD, -1, "", false}};
  for (const auto& c : shown) {
    table->SetCurrentSlot(12);
    Record().SetCmndAddress(c.stored);
    Select(12);
    EXPECT_EQ(page->RadioGroupCmndAddressType->ItemIndex(), c.item) << int(c.stored);
    EXPECT_EQ(page->EditCmndAddress->text(), c.number) << int(c.stored);
    EXPECT_EQ(page->EditCmndAddress->isEnabled(), c.editable) << int(c.stored);
  }

  page->RadioGroupCmndAddressType->Item(0)->click();
  EXPECT_EQ(page->EditCmndAddress->text(), "255");
  EXPECT_FALSE(page->EditCmndAddress->isEnabled());
  EXPECT_EQ(Record().CmndAddress(), 0xFE);
  EXPECT_TRUE(page->PanelWriteCommand->isVisible());

  // From "všetky", the 255 is no group: the number is emptied and no group is made up until one
  // is typed.
  page->RadioGroupCmndAddressType->Item(1)->click();
  EXPECT_EQ(page->EditCmndAddress->text(), "");
  EXPECT_TRUE(page->EditCmndAddress->isEnabled());
  EXPECT_EQ(Record().CmndAddress(), 0xFF);
  const struct {
    int item;
    const char* typed;
    uint8_t stored;
    const char* shown;
  } typed[] = {
      {1, "5", 0x8A, "5"},   {1, "16", 0x8A, "5"},  // group 16 does not exist
      {2, "6", 0x0C, "6"},   {2, "70", 0x0C, "6"},  // 70 would be 6 on the bus
      {2, "300", 0x0C, "6"}, {2, "63", 0x7E, "63"}, {1, "15", 0x9E, "15"},
  };
  for (const auto& c : typed) {
    if (page->RadioGroupCmndAddressType->ItemIndex() != c.item) {
      page->RadioGroupCmndAddressType->Item(c.item)->click();
    }
    Type(page->EditCmndAddress, QString::fromLatin1(c.typed));
    EXPECT_EQ(Record().CmndAddress(), c.stored) << c.typed;
    EXPECT_EQ(page->EditCmndAddress->text(), c.shown) << c.typed;
  }
  // Address 40 chosen as one light becomes no group 8 when the kind changes.
  page->RadioGroupCmndAddressType->Item(2)->click();
  Type(page->EditCmndAddress, "40");
  page->RadioGroupCmndAddressType->Item(1)->click();
  EXPECT_EQ(page->EditCmndAddress->text(), "");
  EXPECT_EQ(Record().CmndAddress(), 0xFF);
}

TEST_F(PIRSensorFrameTest, LevelsAreCheckedInArcAndInPercent) {
  const struct {
    bool percent;
    const char* typed;
    uint8_t stored;
    const char* shown;
  } cases[] = {
      {false, "254", 254, "254"}, {false, "255", 255, ""}, {false, "256", 255, ""},
      {false, "0", 0, "0"},       {false, "", 255, ""},    {true, "100", 254, "100"},
      {true, "150", 254, "100"},  {true, "0", 0, "0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.percent ? "percent " : "arc ") + c.typed);
    SetPercent(c.percent);
    for (QLineEdit* edit : {page->EditCmnd2Level, page->EditOncLevel[0]}) {
      Type(edit, QString::fromLatin1(c.typed));
      EXPECT_EQ(edit->text(), c.shown);
    }
    EXPECT_EQ(Record().Commands(1).Level(), c.stored);
    EXPECT_EQ(Record().Oncs(0).Level(), c.stored);
  }
}

TEST_F(PIRSensorFrameTest, WaitsAreLimitedTo18HoursAcrossTheirThreeEdits) {
  Type(page->EditCmnd1TimeoutM, "00");
  Type(page->EditCmnd1TimeoutH, "18");
  EXPECT_EQ(Record().Commands(0).Timeout(), 64800u);
  EXPECT_EQ(page->EditCmnd1TimeoutH->text(), "18");
  // 18:00:01 is refused by whichever edit makes it.
  Type(page->EditCmnd1TimeoutS, "01");
  EXPECT_EQ(page->EditCmnd1TimeoutS->text(), "00");
  EXPECT_EQ(Record().Commands(0).Timeout(), 64800u);
  Type(page->EditCmnd1TimeoutH, "0");
  Type(page->EditCmnd1TimeoutS, "01");
  Type(page->EditCmnd1TimeoutH, "18");
  EXPECT_EQ(page->EditCmnd1TimeoutH->text(), "0");
  EXPECT_EQ(Record().Commands(0).Timeout(), 1u);
  // 19 hours, with nothing else, and minutes or seconds beyond 59.
  Type(page->EditCmnd2TimeoutM, "0");
  Type(page->EditCmnd2TimeoutH, "19");
  EXPECT_EQ(page->EditCmnd2TimeoutH->text(), "1");
  Type(page->EditCmnd2TimeoutM, "60");
  EXPECT_EQ(page->EditCmnd2TimeoutM->text(), "00");
  Type(page->EditCmnd2TimeoutS, "7");
  EXPECT_EQ(page->EditCmnd2TimeoutS->text(), "07");
  Type(page->EditCmnd2TimeoutH, "2");
  EXPECT_EQ(Record().Commands(1).Timeout(), 7207u);
  EXPECT_EQ(Record().Commands(0).Timeout(), 1u) << "each command has its own wait";
  EXPECT_TRUE(page->PanelWriteCommand->isVisible());

  // A wait never set shows nothing and is not written until it is entered.
  Record().Commands(0).SetTimeout(0xFFFFFFFF);
  Select(12);
  EXPECT_EQ(page->EditCmnd1TimeoutH->text(), "");
  page->ButtonWriteCmndSequences->click();
  ASSERT_TRUE(test::WaitUntil([&] { return !tabs->JobRunning(); }));
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(StatusLine(),
            QStringLiteral("Čakanie rozsvecovania je mimo rozsahu 0:00:00 až 18:00:00"));
  Type(page->EditCmnd1TimeoutM, "3");
  EXPECT_EQ(page->EditCmnd1TimeoutH->text(), "0");
  EXPECT_EQ(page->EditCmnd1TimeoutS->text(), "00");
  EXPECT_EQ(Record().Commands(0).Timeout(), 180u);
}

TEST_F(PIRSensorFrameTest, ResponseAddressesAreCheckedAndPaintedBySource) {
  SetPercent(false);
  Select(12);
  const QColor window = QApplication::palette().color(QPalette::Base);
  // 9 is a multimaster switch; 10 is not multimaster; 14 is on the second page.
  EXPECT_EQ(Base(page->EditOncAddress[0]), window);
  EXPECT_EQ(Base(page->EditOncAddress[1]), kRed);
  EXPECT_EQ(Base(page->EditOncAddress[2]), window) << "an empty entry";

  const struct {
    const char* typed;
    uint8_t stored;
    const char* shown;
    bool red;
  } cases[] = {
      {"14", 14, "14", false}, {"300", 14, "14", false},  // not cut to 44
      {"64", 14, "14", false}, {"44", 44, "44", true},    // nobody at 44
      {"", 255, "", false},    {"255", 255, "", false},  {"10", 10, "10", true},
  };
  for (const auto& c : cases) {
    Type(page->EditOncAddress[3], QString::fromLatin1(c.typed));
    EXPECT_EQ(Record().Oncs(3).Address(), c.stored) << c.typed;
    EXPECT_EQ(page->EditOncAddress[3]->text(), c.shown) << c.typed;
    EXPECT_EQ(Base(page->EditOncAddress[3]), c.red ? kRed : window) << c.typed;
  }

  // The second page shows responses 17..32; row 1 is response 17.
  page->RadioButton17To32->click();
  EXPECT_EQ(page->LabelOncNumber[1]->text(), "18");
  EXPECT_EQ(page->EditOncAddress[1]->text(), "14");
  EXPECT_EQ(page->ComboBoxOncState[1]->currentIndex(), 7);
  EXPECT_EQ(page->EditOncLevel[1]->text(), "57");
  EXPECT_EQ(page->EditOncAddress[0]->text(), "");
  Type(page->EditOncAddress[0], "9");
  EXPECT_EQ(Record().Oncs(16).Address(), 9);
  EXPECT_EQ(Record().Oncs(0).Address(), 9);
  page->ComboBoxOncState[0]->setCurrentIndex(8);
  emit page->ComboBoxOncState[0]->activated(8);
  EXPECT_EQ(Record().Oncs(16).MessageIndex(), 8);
  EXPECT_EQ(Record().Oncs(16).Message(), 0x00);
  page->CheckBoxOncDisabled[0]->click();
  EXPECT_EQ(Record().Oncs(16).Enabled(), 1) << "disabled";
  // The page stays as the user left it for the next device.
  Select(14);
  EXPECT_TRUE(page->RadioButton17To32->isChecked());
  page->RadioButton1To16->click();
}

TEST_F(PIRSensorFrameTest, PercentAndArcOnlyToggleTheLabels) {
  SetPercent(false);
  Select(12);
  for (QLabel* label : page->LabelCmndPercent) EXPECT_FALSE(label->isVisible());
  SetPercent(true);
  for (QLabel* label : page->LabelCmndPercent) EXPECT_TRUE(label->isVisible());
  EXPECT_EQ(page->EditCmnd1Level->text(), "200") << "kept until the page is shown again";
  Select(12);
  EXPECT_NE(page->EditCmnd1Level->text(), "200");
  SetPercent(false);
  for (QLabel* label : page->LabelCmndPercent) EXPECT_FALSE(label->isVisible());
}

TEST_F(PIRSensorFrameTest, TheWriteSendsTheRecordWithItsCounterAndHidesThePanel) {
  SetPercent(false);
  // As a document that knew the whole sensor: the write is the whole image.
  table->SetCurrentSlot(12);
  test::SetWholeImage(*table, kPirSensorImage);
  Select(12);
  Type(page->EditCmnd1Level, "201");
  ASSERT_TRUE(page->PanelWriteCommand->isVisible());
  // The counter as it was painted during the write.
  struct PaintLog : QObject {
    QLabel* label;
    std::vector<QString> texts;
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::Paint) texts.push_back(label->text());
      return false;
    }
  } log;
  log.label = page->LabelWritten;
  // A first write, so that the counter of the second starts from a worker that has sent before.
  page->ButtonWriteCmndSequences->click();
  ASSERT_TRUE(test::WaitUntil([&] { return !tabs->JobRunning(); }));
  ASSERT_EQ(Sent().size(), 174u);
  EXPECT_FALSE(page->PanelWriteCommand->isVisible());
  // Written, a level typed again is one byte of five exchanges.
  Type(page->EditCmnd1Level, "202");
  page->ButtonWriteCmndSequences->click();
  ASSERT_TRUE(test::WaitUntil([&] { return !tabs->JobRunning(); }));
  EXPECT_EQ(Sent(), (std::vector<Frame>{Device(12, 5, 0xB0), Device(12, 3, 7), Device(12, 0, 6),
                                        Device(12, 7, 202), Device(12, 0, 5)}));
  test::SetWholeImage(*table, kPirSensorImage);
  Type(page->EditCmnd1Level, "201");
  page->LabelWritten->installEventFilter(&log);
  page->ButtonWriteCmndSequences->click();
  // The worker writes; meanwhile the page and the other bus actions are locked.
  ASSERT_TRUE(tabs->JobRunning());
  for (QWidget* locked : std::initializer_list<QWidget*>{
           page->ButtonWriteCmndSequences, page->ButtonAlarm, page->EditCmnd1Level,
           page->EditOncAddress[0], host->ButtonReadControl, tabs->Pages->tabBar()}) {
    EXPECT_FALSE(locked->isEnabled()) << locked->objectName().toStdString();
  }
  ASSERT_TRUE(test::WaitUntil([&] { return !tabs->JobRunning(); }));
  page->LabelWritten->removeEventFilter(&log);
  EXPECT_TRUE(page->ButtonWriteCmndSequences->isEnabled());
  EXPECT_TRUE(page->EditCmnd1Level->isEnabled());

  const std::vector<Frame> sent = Sent();
  ASSERT_EQ(sent.size(), 3u + 170u + 1u);
  EXPECT_EQ(sent[0], Device(12, 5, 0xB0));
  EXPECT_EQ(sent[1], Device(12, 3, 7));
  EXPECT_EQ(sent[3], Device(12, 7, 201));
  EXPECT_EQ(sent.back(), Device(12, 0, 5));
  // Every byte's count was painted, in order, and then the counter was cleared.
  std::vector<QString> counts;
  for (const QString& text : log.texts) {
    if (!text.isEmpty() && (counts.empty() || counts.back() != text)) counts.push_back(text);
  }
  std::vector<QString> expectedCounts;
  for (int n = 0; n <= 169; ++n) expectedCounts.push_back(QString::asprintf("%3d / 169", n));
  EXPECT_EQ(counts, expectedCounts);
  ASSERT_FALSE(log.texts.empty());
  EXPECT_EQ(log.texts.back(), "");
  EXPECT_EQ(page->LabelWritten->text(), "");
  EXPECT_FALSE(page->PanelWriteCommand->isVisible());
  std::lock_guard lock(mutex);
  EXPECT_EQ(line->Devices()[0].config[7], 201);
}

TEST_F(PIRSensorFrameTest, AFailedWriteNamesTheStepAndKeepsThePanels) {
  page->CheckBoxSensorEnabled->click();
  EXPECT_EQ(Record().SensorEnabled(), 0);
  ASSERT_TRUE(page->PanelWriteEnabled->isVisible());
  {
    std::lock_guard lock(mutex);
    silentAt = answered + 4;  // the data byte
  }
  page->ButtonWriteSensorsEnabled->click();
  EXPECT_EQ(Sent(), (std::vector<Frame>{Device(12, 5, 0xB0), Device(12, 3, 177), Device(12, 0, 6),
                                        Device(12, 7, 0), Device(12, 0, 5)}));
  EXPECT_TRUE(page->PanelWriteEnabled->isVisible());
  EXPECT_TRUE(StatusLine().startsWith("WRITE MEMORY SINGLE BYTE C 12"))
      << StatusLine().toStdString();
  page->ButtonWriteSensorsEnabled->click();
  EXPECT_EQ(Sent().size(), 5u);
  EXPECT_FALSE(page->PanelWriteEnabled->isVisible());

  Type(page->EditCmnd3Level, "7");
  {
    std::lock_guard lock(mutex);
    silentAt = answered + 2;  // SET DTR
  }
  page->ButtonWriteCmndSequences->click();
  ASSERT_TRUE(test::WaitUntil([&] { return !tabs->JobRunning(); }));
  EXPECT_EQ(Sent().size(), 2u) << "nothing enabled, nothing to disable";
  EXPECT_TRUE(page->PanelWriteCommand->isVisible());
  EXPECT_TRUE(StatusLine().startsWith("SET DTR C 12")) << StatusLine().toStdString();
}

TEST_F(PIRSensorFrameTest, TheTestButtonsSendTheirRequestToTheSelection) {
  const struct {
    QPushButton* TPIRSensorFrame::*button;
    uint8_t opcode, parameter;
  } cases[] = {
      {&TPIRSensorFrame::ButtonAlarm, 131, 0},
      {&TPIRSensorFrame::ButtonQuiet, 132, 0},
      {&TPIRSensorFrame::ButtonOff, 141, 0},
      {&TPIRSensorFrame::ButtonOn, 141, 32},
      {&TPIRSensorFrame::ButtonBlinkWhole, 141, 64},
      {&TPIRSensorFrame::ButtonBlinkHalf, 141, 96},
      {&TPIRSensorFrame::ButtonBlinkQuarter, 141, 128},
      {&TPIRSensorFrame::ButtonBlinkEighth, 141, 160},
  };
  for (const auto& c : cases) {
    (page->*c.button)->click();
    EXPECT_EQ(Sent(), std::vector<Frame>{Device(12, c.opcode, c.parameter)}) << int(c.parameter);
  }
  // Group 3 holds both sensors: the page edits the group slot and sends to 0x83.
  SelectGroup(3);
  ASSERT_EQ(host->ShownKindFrame(), page);
  EXPECT_EQ(table->CurrentSlot(), TConfig::kGroupSlot);
  EXPECT_EQ(page->EditCmnd1Level->text(), "") << "the group starts from an empty record";
  page->ButtonAlarm->click();
  EXPECT_EQ(Sent(), std::vector<Frame>{Device(0x83, 131, 0)});
  SelectGroup(16);
  EXPECT_EQ(host->ShownKindFrame(), nullptr) << "sensors and switches together";
}

// In percent most levels have no percentage of their own (128 shows as 3 %, which is 125): a level
// the focus only passes through is left as stored, for every level, in the commands and the
// responses alike; a typed percentage is converted once and reads back as typed.
TEST_F(PIRSensorFrameTest, PercentConvertsOnlyWhatIsTyped) {
  SetPercent(true);
  for (uint32_t level = 0; level <= 255; ++level) {
    Record().Commands(1).SetLevel(level);
    Record().Oncs(0).SetLevel(level);
    // As read from the device: the red panel would show what is still to be written.
    test::MarkAllRead(*table, kPirSensorImage);
    Select(12);
    PassThrough(page->EditCmnd2Level);
    PassThrough(page->EditOncLevel[0]);
    ASSERT_EQ(Record().Commands(1).Level(), level);
    ASSERT_EQ(Record().Oncs(0).Level(), level);
    ASSERT_FALSE(page->PanelWriteCommand->isVisible()) << level;
  }
  for (const char* typed : {"1", "3", "50", "89", "100"}) {
    for (QLineEdit* edit : {page->EditCmnd2Level, page->EditOncLevel[0]}) {
      Type(edit, QString::fromLatin1(typed));
      EXPECT_EQ(edit->text(), QString::fromLatin1(typed));
    }
    Select(12);
    EXPECT_EQ(page->EditCmnd2Level->text(), QString::fromLatin1(typed));
    EXPECT_EQ(page->EditOncLevel[0]->text(), QString::fromLatin1(typed));
  }
}

// Typing into a part that shows "00" keeps the digit typed after it, and a focus passing through
// the three parts changes nothing.
TEST_F(PIRSensorFrameTest, AWaitKeepsWhatIsTypedAndNothingElse) {
  QLineEdit* minutes = page->EditCmnd2TimeoutM;
  ASSERT_EQ(minutes->text(), QStringLiteral("00"));
  QTest::mouseClick(minutes, Qt::LeftButton, {},
                    QPoint(minutes->width() - 3, minutes->height() / 2));
  ASSERT_TRUE(minutes->hasFocus());
  minutes->end(false);
  QTest::keyClick(minutes, Qt::Key_7);
  page->ButtonAlarm->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(Record().Commands(1).Timeout(), 3600u + 7 * 60);
  EXPECT_EQ(minutes->text(), QStringLiteral("07"));

  // As though written: only a change would show the red panel again.
  test::MarkAllRead(*table, kPirSensorImage);
  Select(12);
  for (QLineEdit* edit :
       {page->EditCmnd1TimeoutH, page->EditCmnd1TimeoutM, page->EditCmnd1TimeoutS}) {
    PassThrough(edit);
  }
  EXPECT_EQ(Record().Commands(0).Timeout(), 300u);
  EXPECT_FALSE(page->PanelWriteCommand->isVisible());
}

// A value out of range is refused with its range in the status line, not silently.
TEST_F(PIRSensorFrameTest, ARefusedValueNamesItsRangeInTheStatusLine) {
  const struct {
    bool percent;
    QLineEdit* edit;
    const char* typed;
    const char* range;
  } cases[] = {
      {false, page->EditCmnd1Level, "256", "0–254"},
      {true, page->EditCmnd1Level, "150", "0–100 %"},
      {true, page->EditOncLevel[0], "101", "0–100 %"},
      {false, page->EditCmnd1TimeoutH, "19", "0–18:00:00"},
      {false, page->EditCmnd2TimeoutS, "60", "0–59"},
      {false, page->EditCmndAddress, "16", "0–15"},
      {false, page->EditOncAddress[0], "64", "0–63"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.edit->objectName().toStdString() + " " + c.typed);
    SetPercent(c.percent);
    Select(12);
    form->statusBar()->clearMessage();
    const QString before = c.edit->text();
    Type(c.edit, QString::fromLatin1(c.typed));
    EXPECT_EQ(c.edit->text(), before);
    EXPECT_EQ(StatusLine(), QStringLiteral("Hodnota mimo rozsahu ") + QString::fromUtf8(c.range));
  }
  EXPECT_EQ(Record().Commands(0).Level(), 200);
  EXPECT_EQ(Record().Oncs(0).Level(), 40);
  EXPECT_EQ(Record().CmndAddress(), 0x8A);
}

}  // namespace
}  // namespace lumetra
