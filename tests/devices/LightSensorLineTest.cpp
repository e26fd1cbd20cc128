// End to end through the bus server process with the demo line: a full configuration typed into
// each light sensor (firmware 1.001 and 1.004) and into the combined sensor (1.000) and written,
// the table's record erased and read back with "Čítať parametre", then saved as a document and
// opened into an empty program; the measured illuminance read from each.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QStatusBar>
#include <QTest>
#include <cstring>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <memory>

#include "ServerProcess.h"
#include "documents/ConfigDocument.h"
#include "model/ControllerConfig.h"
#include "support/ConfiguratorFixture.h"
#include "support/GuiInput.h"
#include "support/KindRecords.h"
#include "support/QtWait.h"
#include "ui/AddressPage.h"
#include "ui/ConfiguratorForm.h"
#include "ui/TabsFrame.h"
#include "ui/Widgets.h"
#include "ui/devices/ControllerFrame.h"
#include "ui/devices/LightSensorFrame.h"
#include "ui/devices/LightSensorOncFrame.h"
#include "ui/devices/PIRLightSensorOncFrame.h"
#include "ui/devices/PirLightSensorFrame.h"

namespace lumetra::test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr int kWait = 20000;  // the real server, maybe under a sanitizer

// The image bytes the slot's firmware has on the device, the enable byte included.
std::vector<uint8_t> DeviceImage(TControllerConfig& t, uint8_t slot, const KindImage& kind) {
  const uint8_t selected = t.CurrentSlot();
  t.SetCurrentSlot(slot);
  KindRecord image = t.Image(kind);
  std::vector<uint8_t> bytes;
  for (uint32_t k = 0; k < kind.length; ++k) {
    if (image.Location(k) >= 0) bytes.push_back(image.ImageByteAt(k));
  }
  t.SetCurrentSlot(selected);
  return bytes;
}

// The table forgets the slot's record, as before a first reading.
void Erase(TControllerConfig& t, uint8_t slot) {
  t.SetCurrentSlot(slot);
  t.EraseRecord();
}

class LightSensorLineTest : public ConfiguratorFixture {
 protected:
  void SetUp() override {
    server = ServerProcess::StartListening({});
    MakeForm({"Hala", "127.0.0.1", std::to_string(server->Base())}, TDaliCom::kReplyTimeout);
    form->show();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    tabs->ButtonOpen->click();
    ASSERT_TRUE(tabs->TCPClientGate.Connected());
    tabs->Pages->setCurrentWidget(tabs->AddressPage);
    tabs->RadioGroupControllers->Item(kActionFind)->click();
    tabs->ButtonExecute->click();
    ASSERT_TRUE(Await([&] {
      return tabs->GateThread().Idle() && !tabs->ButtonCancelAddressing->isEnabled() &&
             tabs->Pages->isTabEnabled(tabs->Pages->indexOf(tabs->ControllersPage));
    }));
    tabs->Pages->setCurrentWidget(tabs->ControllersPage);
  }

  bool Await(const std::function<bool()>& condition) {
    return WaitUntil(
        [&] {
          server->Output();
          return condition();
        },
        kWait);
  }
  void Select(uint8_t a) { tabs->OnControlButtonClick(a); }
  void ReadParameters() {
    form->DeviceEditor()->ButtonReadControl->click();
    ASSERT_TRUE(tabs->TaskRunning());
    ASSERT_TRUE(Await([&] { return !tabs->TaskRunning(); }));
  }
  void Write(QPushButton* button) {
    button->click();
    ASSERT_TRUE(tabs->TaskRunning());
    ASSERT_TRUE(Await([&] { return !tabs->TaskRunning(); }));
  }
  static void Choose(QComboBox* box, int item) {
    box->setCurrentIndex(item);
    emit box->activated(item);
  }
  // Saved and opened into an empty program: the same record.
  std::unique_ptr<TConfiguratorForm> Reopened(std::initializer_list<uint8_t> addresses) {
    const fs::path path =
        fs::temp_directory_path() / ("lumetra-sensors-" + std::to_string(::getpid()) + ".dcf");
    SaveDocument(path.string(), form->BalastConfig(), form->ControllerConfig());
    auto empty = std::make_unique<TConfiguratorForm>(std::vector<std::string>{});
    empty->OpenDocument(path.string());
    fs::remove(path);
    for (const uint8_t slot : addresses) {
      EXPECT_FALSE(empty->ControllerConfig().IsSlotFree(slot));
      EXPECT_TRUE(test::SameValues(empty->ControllerConfig().Record(slot),
                                   form->ControllerConfig().Record(slot)))
          << int(slot);
    }
    return empty;
  }

  std::unique_ptr<ServerProcess> server;
};

TEST_F(LightSensorLineTest, BothLightSensorFirmwaresWriteReadBackAndSurviveTheDocument) {
  TControllerConfig& table = form->ControllerConfig();
  auto* page = form->findChild<TLightSensorFrame*>(QStringLiteral("LightSensorFrame"));
  ASSERT_NE(page, nullptr);
  const struct {
    uint8_t address;
    uint16_t lux;
    bool deltaScale;
  } sensors[] = {{3, 420, false}, {4, 875, true}};
  for (const auto& sensor : sensors) {
    SCOPED_TRACE(int(sensor.address));
    Select(sensor.address);
    ReadParameters();
    ASSERT_TRUE(page->isVisible());
    EXPECT_EQ(page->EditDelta->isEnabled(), sensor.deltaScale);
    auto type = [&](QLineEdit* edit, const QString& text) {
      TypeAndLeave(edit, text, page->ButtonOn);
    };
    page->RadioGroupLoop->Item(0)->click();
    type(page->EditDefaultLevel, QStringLiteral("1200"));
    type(page->EditOnLevel, QStringLiteral("300"));
    type(page->EditOffLevel, QStringLiteral("85"));
    type(page->EditOffTimeoutH, QStringLiteral("1"));
    type(page->EditOffTimeoutM, QStringLiteral("15"));
    type(page->EditOffTimeoutS, QStringLiteral("30"));
    type(page->EditMaxLevel, QStringLiteral("95"));
    type(page->EditMinLevel, QStringLiteral("5"));
    if (sensor.deltaScale) {
      type(page->EditDelta, QStringLiteral("9"));
      Choose(page->ComboBoxScale, 2);
    }
    page->RadioGroupCmndAddressType[0]->Item(1)->click();
    type(page->EditCmndAddress[0], QStringLiteral("4"));
    page->RadioGroupCmndAddressType[1]->Item(1)->click();
    type(page->EditCmndAddress[1], QStringLiteral("8"));
    type(page->EditOffset[1], QStringLiteral("-30"));
    type(page->EditOffset[2], QStringLiteral("25"));
    TLightSensorOncFrame* oncs = page->LightSensorOncFrame;
    for (const int row : {0, 31}) {
      const size_t r = static_cast<size_t>(row);
      TypeAndLeave(oncs->EditOncAddress[r], QString::number(row == 0 ? 0 : 5), page->ButtonOn);
      Choose(oncs->ComboBoxOncState[r], row == 0 ? 1 : 11);
      TypeAndLeave(oncs->EditOncLevel[r], QString::number(100 + row), page->ButtonOn);
    }
    oncs->CheckBoxOncDisabled[31]->click();
    ASSERT_TRUE(page->PanelWriteCommand->isVisible());
    Write(page->ButtonWriteCmndSequences);
    EXPECT_FALSE(page->PanelWriteCommand->isVisible());
    page->CheckBoxSensorEnabled->click();
    ASSERT_TRUE(page->PanelWriteEnabled->isVisible());
    page->ButtonWriteSensorsEnabled->click();
    EXPECT_FALSE(page->PanelWriteEnabled->isVisible());
    const std::vector<uint8_t> written = DeviceImage(table, sensor.address, kLightSensorImage);
    ASSERT_EQ(written.size(), sensor.deltaScale ? 214u : 212u);

    Erase(table, sensor.address);
    Select(sensor.address);
    EXPECT_TRUE(page->EditDefaultLevel->text().isEmpty());
    ReadParameters();
    EXPECT_EQ(DeviceImage(table, sensor.address, kLightSensorImage), written);
    EXPECT_EQ(page->RadioGroupLoop->ItemIndex(), 0);
    EXPECT_EQ(page->LabelDefaultLevel->text(), QStringLiteral("Maximálna úroveň"));
    EXPECT_EQ(page->EditDefaultLevel->text(), QStringLiteral("1200"));
    EXPECT_EQ(page->EditOffTimeoutM->text(), QStringLiteral("15"));
    EXPECT_EQ(page->EditCmndAddress[1]->text(), QStringLiteral("8"));
    EXPECT_EQ(page->EditOffset[1]->text(), QStringLiteral("-30"));
    EXPECT_EQ(page->ComboBoxScale->currentText(),
              sensor.deltaScale ? QStringLiteral("0.01") : QStringLiteral("1"));
    EXPECT_EQ(oncs->EditOncLevel[31]->text(), QStringLiteral("131"));
    EXPECT_TRUE(oncs->CheckBoxOncDisabled[31]->isChecked());

    // The measured illuminance: within 2 % of the demo line's nominal value.
    page->ButtonReadMeasuredValue->click();
    const int measured = page->EditMeasuredValue->text().toInt();
    EXPECT_NEAR(measured, sensor.lux, sensor.lux / 50 + 1);
  }

  // Saved and opened into an empty program: both records as they were read back, and the editor
  // shows them.
  std::unique_ptr<TConfiguratorForm> opened = Reopened({3, 4});
  opened->show();
  opened->TabsFrame()->Pages->setCurrentWidget(opened->TabsFrame()->ControllersPage);
  for (const auto& sensor : sensors) {
    opened->TabsFrame()->OnControlButtonClick(sensor.address);
    auto* shown = opened->findChild<TLightSensorFrame*>(QStringLiteral("LightSensorFrame"));
    ASSERT_TRUE(shown->isVisible());
    EXPECT_EQ(shown->EditOnLevel->text(), QStringLiteral("300"));
    EXPECT_EQ(shown->LabelOnLevelPercent->text(), QStringLiteral("lx"));
    EXPECT_EQ(shown->LightSensorOncFrame->EditOncAddress[31]->text(), QStringLiteral("5"));
    EXPECT_EQ(shown->EditDelta->isEnabled(), sensor.deltaScale);
  }
  EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(LightSensorLineTest, TheCombinedSensorOfFirmware1000WritesReadsBackAndSurvivesTheDocument) {
  constexpr uint8_t kSensor = 5;
  TControllerConfig& table = form->ControllerConfig();
  Select(kSensor);
  ReadParameters();
  auto* page = form->findChild<TPirLightSensorFrame*>(QStringLiteral("PirLightSensorFrame"));
  ASSERT_NE(page, nullptr);
  ASSERT_TRUE(page->isVisible());
  for (int c = 0; c < 3; ++c)
    EXPECT_FALSE(page->EditCmndLevel[static_cast<size_t>(3 + c)]->isEnabled());
  auto type = [&](QLineEdit* edit, const QString& text) {
    TypeAndLeave(edit, text, page->ButtonOn);
  };
  const char* const levels[] = {"900", "400", "100"};
  for (int c = 0; c < 3; ++c) type(page->EditCmndLevel[static_cast<size_t>(c)], levels[c]);
  for (int c = 0; c < 2; ++c) {
    type(page->EditCmndTimeoutH[static_cast<size_t>(c)], QStringLiteral("0"));
    type(page->EditCmndTimeoutM[static_cast<size_t>(c)], QString::number(5 + c));
    type(page->EditCmndTimeoutS[static_cast<size_t>(c)], QStringLiteral("0"));
  }
  type(page->EditOnLevel, QStringLiteral("25"));
  type(page->EditOffLevel, QStringLiteral("75"));
  type(page->EditOffTimeoutH, QStringLiteral("0"));
  type(page->EditOffTimeoutM, QStringLiteral("2"));
  type(page->EditOffTimeoutS, QStringLiteral("0"));
  type(page->EditMinLevel, QStringLiteral("3"));
  type(page->EditMaxLevel, QStringLiteral("97"));
  type(page->EditDelta, QStringLiteral("4"));
  Choose(page->ComboBoxScale, 1);
  page->RadioGroupCmndAddressType->Item(2)->click();
  type(page->EditCmndAddress, QStringLiteral("9"));
  TPIRLightSensorOncFrame* oncs = page->PIRLightSensorOncFrame;
  TypeAndLeave(oncs->EditOncAddress[0], QStringLiteral("2"), page->ButtonOn);
  Choose(oncs->ComboBoxOncState[0], 7);
  TypeAndLeave(oncs->EditOncLevel[0], QStringLiteral("650"), page->ButtonOn);
  EXPECT_FALSE(oncs->RadioButtonOncSeq2[0]->isEnabled()) << "firmware 1.000: one sequence";
  Write(page->ButtonWriteCmndSequences);
  EXPECT_FALSE(page->PanelWriteCommand->isVisible())
      << form->statusBar()->currentMessage().toStdString();
  page->CheckBoxSensorEnabled->click();
  page->ButtonWriteSensorsEnabled->click();
  const std::vector<uint8_t> written = DeviceImage(table, kSensor, kPirLightSensorImage);
  ASSERT_EQ(written.size(), 216u);
  EXPECT_EQ(written.back(), 1);

  Erase(table, kSensor);
  Select(kSensor);
  ReadParameters();
  EXPECT_EQ(DeviceImage(table, kSensor, kPirLightSensorImage), written);
  EXPECT_EQ(page->EditCmndLevel[0]->text(), QStringLiteral("900"));
  EXPECT_EQ(page->EditCmndTimeoutM[1]->text(), QStringLiteral("06"));
  EXPECT_EQ(page->EditCmndAddress->text(), QStringLiteral("9"));
  EXPECT_EQ(page->ComboBoxScale->currentText(), QStringLiteral("0.1"));
  EXPECT_EQ(oncs->EditOncLevel[0]->text(), QStringLiteral("650"));
  EXPECT_TRUE(page->EditCmndLevel[3]->text().isEmpty());

  page->ButtonReadMeasuredValue->click();
  EXPECT_NEAR(page->EditMeasuredValue->text().toInt(), 150, 4);

  std::unique_ptr<TConfiguratorForm> opened = Reopened({kSensor});
  EXPECT_EQ(DeviceImage(opened->ControllerConfig(), kSensor, kPirLightSensorImage), written);
  EXPECT_TRUE(errors.empty()) << errors.front();
}

}  // namespace
}  // namespace lumetra::test
