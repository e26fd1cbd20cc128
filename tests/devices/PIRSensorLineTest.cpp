// The motion sensor of the demo line end to end through the bus server the configurator starts
// itself: a full configuration entered on the page and written, the table cleared and read back
// from the device with "Čítať parametre", then saved on closing and opened into an empty program.
#include <gtest/gtest.h>

#include <QApplication>
#include <QStatusBar>
#include <cstdlib>
#include <cstring>

#include "ServerProcess.h"
#include "commissioning/GateThread.h"
#include "documents/ConfigDocument.h"
#include "model/ControllerConfig.h"
#include "support/ConfiguratorFixture.h"
#include "support/GuiInput.h"
#include "support/QtWait.h"
#include "ui/devices/ControllerFrame.h"
#include "ui/devices/PIRSensorFrame.h"

namespace lumetra::test {
namespace {

constexpr int kJobWait = 20000;
constexpr uint8_t kSensor = 2;  // the demo line's motion sensor

// Everything the page shows, both pages of responses included, as text.
std::vector<std::string> Shown(TPIRSensorFrame& page) {
  std::vector<std::string> out;
  auto add = [&](const char* name, const QString& text) {
    out.push_back(std::string(name) + "=" + text.toStdString());
  };
  add("enabled", QString::number(page.CheckBoxSensorEnabled->checkState()));
  for (QLineEdit* edit : page.EditCmndLevel) add("level", edit->text());
  for (int c = 0; c < TPIRSensorFrame::kTimedCommands; ++c) {
    const size_t i = static_cast<size_t>(c);
    add("wait", page.EditCmndTimeoutH[i]->text() + ":" + page.EditCmndTimeoutM[i]->text() + ":" +
                    page.EditCmndTimeoutS[i]->text());
  }
  add("lights", QString::number(page.RadioGroupCmndAddressType->ItemIndex()) + " " +
                    page.EditCmndAddress->text());
  const bool second = page.RadioButton17To32->isChecked();
  for (QRadioButton* half : {page.RadioButton1To16, page.RadioButton17To32}) {
    half->click();
    for (int r = 0; r < TPIRSensorFrame::kRows; ++r) {
      const size_t i = static_cast<size_t>(r);
      add("onc", page.EditOncAddress[i]->text() + " " +
                     QString::number(page.ComboBoxOncState[i]->currentIndex()) + " " +
                     page.EditOncLevel[i]->text() + " " +
                     QString::number(page.CheckBoxOncDisabled[i]->isChecked()));
    }
  }
  (second ? page.RadioButton17To32 : page.RadioButton1To16)->click();
  return out;
}

std::vector<uint8_t> RecordBytes(const TControllerConfig& t, uint8_t slot) {
  const ControllerRecord& r = *t.Record(slot);
  return std::vector<uint8_t>(r.Layout.begin(), r.Layout.end());
}

class PIRSensorLineTest : public ConfiguratorFixture {
 protected:
  void Open() {
    MakeForm({}, TDaliCom::kReplyTimeout);
    form->show();
    BusServerLaunch launch;
    launch.program = QStringLiteral(LUMETRA_BUILD_DIR "/LumetraDaliBusServer");
    launch.portBase = ServerProcess::FreeBase();
    launch.arguments = QStringList{"--port-base", QString::number(launch.portBase)};
    tabs->SetBusServerLaunch(launch);
    tabs->ButtonOpen->click();
    serverPid = tabs->BusServerProcessId();
    ASSERT_TRUE(errors.empty()) << errors.front();
    ASSERT_TRUE(tabs->TCPClientGate.Connected());
    page = form->MotionSensorEditor();
    host = form->DeviceEditor();
  }
  bool Idle() { return !tabs->JobRunning(); }
  void Type(QLineEdit* edit, const char* text) {
    TypeAndLeave(edit, QString::fromUtf8(text), page->ButtonAlarm);
  }
  void ReadSensor() {
    host->ButtonReadControl->click();
    ASSERT_TRUE(WaitUntil([&] { return Idle(); }, kJobWait));
    ASSERT_EQ(form->statusBar()->currentMessage(), QString());
    ASSERT_EQ(host->ShownKindFrame(), page);
  }

  TPIRSensorFrame* page = nullptr;
  TControllerFrame* host = nullptr;
};

TEST_F(PIRSensorLineTest, AConfigurationWrittenReadsBackAndSurvivesTheDocument) {
  Open();
  tabs->RadioGroupPercentArc->Item(1)->click();  // arc levels
  tabs->RadioGroupBalasts->Item(kActionNone)->click();
  tabs->RadioGroupControllers->Item(kActionFind)->click();
  tabs->ButtonExecute->click();
  ASSERT_TRUE(WaitUntil([&] { return tabs->GateThread().Idle() && Idle(); }, kJobWait));
  TControllerConfig& table = form->ControllerConfig();
  ASSERT_FALSE(table.IsSlotFree(kSensor));

  tabs->Pages->setCurrentWidget(tabs->ControllersPage);
  tabs->OnControlButtonClick(kSensor);
  ReadSensor();
  // As the demo line's sensor holds it: 254 then 128 after 0:05:00, 0 after 0:01:00, light A 08.
  EXPECT_EQ(page->EditCmnd1Level->text(), "254");
  EXPECT_EQ(page->EditCmnd2Level->text(), "128");
  EXPECT_EQ(page->EditCmnd1TimeoutM->text(), "05");
  EXPECT_EQ(page->EditCmnd2TimeoutM->text(), "01");
  EXPECT_EQ(page->RadioGroupCmndAddressType->ItemIndex(), 2);
  EXPECT_EQ(page->EditCmndAddress->text(), "8");
  EXPECT_EQ(page->CheckBoxSensorEnabled->checkState(), Qt::Checked);

  // A configuration in every field.
  page->CheckBoxSensorEnabled->click();
  page->ButtonWriteSensorsEnabled->click();
  ASSERT_FALSE(page->PanelWriteEnabled->isVisible())
      << form->statusBar()->currentMessage().toStdString();
  const char* levels[] = {"230", "120", "30"};
  for (size_t c = 0; c < 3; ++c) Type(page->EditCmndLevel[c], levels[c]);
  Type(page->EditCmnd1TimeoutH, "2");
  Type(page->EditCmnd1TimeoutM, "3");
  Type(page->EditCmnd1TimeoutS, "4");
  Type(page->EditCmnd2TimeoutM, "0");
  Type(page->EditCmnd2TimeoutS, "45");
  page->RadioGroupCmndAddressType->Item(1)->click();
  Type(page->EditCmndAddress, "7");
  auto response = [&](int row, const char* address, int message, const char* level, bool off) {
    const size_t r = static_cast<size_t>(row);
    Type(page->EditOncAddress[r], address);
    page->ComboBoxOncState[r]->setCurrentIndex(message);
    emit page->ComboBoxOncState[r]->activated(message);
    Type(page->EditOncLevel[r], level);
    if (page->CheckBoxOncDisabled[r]->isChecked() != off) page->CheckBoxOncDisabled[r]->click();
  };
  response(0, "0", 1, "200", false);
  response(5, "5", 7, "100", true);
  page->RadioButton17To32->click();
  response(15, "6", 8, "", false);
  response(0, "63", 4, "0", true);
  ASSERT_TRUE(page->PanelWriteCommand->isVisible());
  page->ButtonWriteCmndSequences->click();
  ASSERT_TRUE(WaitUntil([&] { return Idle(); }, kJobWait));
  ASSERT_FALSE(page->PanelWriteCommand->isVisible())
      << form->statusBar()->currentMessage().toStdString();
  const std::vector<std::string> entered = Shown(*page);
  const std::vector<uint8_t> written = RecordBytes(table, kSensor);
  table.SetCurrentSlot(kSensor);
  EXPECT_EQ(table.PirSensor().Commands(0).Timeout(), 2u * 3600 + 3 * 60 + 4);
  EXPECT_EQ(table.PirSensor().CmndAddress(), 0x80 + 2 * 7);
  EXPECT_EQ(table.PirSensor().Oncs(16).Address(), 63);

  // The table forgets everything; only the device can tell.
  table.ClearControllers();
  table.SetCurrentSlot(kSensor);
  table.SetShortAddress(kSensor);
  tabs->OnControlButtonClick(kSensor);
  ASSERT_EQ(host->ShownKindFrame(), nullptr);
  ReadSensor();
  EXPECT_EQ(RecordBytes(table, kSensor), written);
  EXPECT_EQ(Shown(*page), entered);

  // Closing saves the installation; an empty program opens it into the same record and page.
  const std::string document =
      (std::filesystem::path(std::getenv("LUMETRA_FOLDER")) / kLastDevicesDocument).string();
  form->OnClose();
  ASSERT_TRUE(errors.empty()) << errors.front();
  auto empty = std::make_unique<TConfiguratorForm>(std::vector<std::string>{});
  empty->show();
  empty->TabsFrame()->RadioGroupPercentArc->Item(1)->click();
  empty->OpenDocument(document);
  ASSERT_TRUE(errors.empty()) << errors.front();
  EXPECT_EQ(RecordBytes(empty->ControllerConfig(), kSensor), written);
  empty->TabsFrame()->Pages->setCurrentWidget(empty->TabsFrame()->ControllersPage);
  empty->TabsFrame()->OnControlButtonClick(kSensor);
  ASSERT_EQ(empty->DeviceEditor()->ShownKindFrame(), empty->MotionSensorEditor());
  EXPECT_EQ(Shown(*empty->MotionSensorEditor()), entered);
}

}  // namespace
}  // namespace lumetra::test
