// End to end through the bus server process: a full configuration typed into the opto-relay of
// the demo line and written, the table cleared and read back with "Čítať parametre", then saved as
// a document and opened into an empty program; the relay's outputs switch as the server log shows.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QTest>
#include <cstring>
#include <filesystem>
#include <functional>
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
#include "ui/devices/OptoRelayFrame.h"

namespace lumetra::test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr uint8_t kRelay = 6;   // the demo line's opto-relay
constexpr uint8_t kSwitch = 0;  // the demo line's multimaster push-button
constexpr int kWait = 20000;    // the real server, maybe under a sanitizer

// What response j of the configuration holds; every fifth stays empty.
struct Response {
  bool used;
  int address, state, op;
  QString level;
  int action;
  uint8_t outputs;
};
Response Planned(int j) {
  // Response 0 switches output A on when the demo switch's first input is pressed.
  if (j == 0) return {true, kSwitch, 1, 0, QString(), 2, 0x01};
  return {j % 5 != 4,
          (j * 7) % 64,
          1 + j % 11,
          j % 5,
          j % 3 == 0 ? QString() : QString::number(j * 1000 + 7),
          j % 3,
          static_cast<uint8_t>(j % 16)};
}

// The image as the device holds it: the responses and the enable byte.
std::vector<uint8_t> Image(TControllerConfig& t, uint8_t slot) {
  const uint8_t selected = t.CurrentSlot();
  t.SetCurrentSlot(slot);
  KindRecord image = t.Image(kOptoRelayImage);
  std::vector<uint8_t> bytes;
  for (uint32_t k = 0; k < kOptoRelayImage.length; ++k) bytes.push_back(image.ImageByteAt(k));
  t.SetCurrentSlot(selected);
  return bytes;
}

class OptoRelayLineTest : public ConfiguratorFixture {
 protected:
  TOptoRelayFrame* Relay(TConfiguratorForm& f) {
    return f.findChild<TOptoRelayFrame*>(QStringLiteral("OptoRelayFrame"));
  }
  void Type(QLineEdit* edit, const QString& text) {
    TypeAndLeave(edit, text, Relay(*form)->ButtonOn);
  }
  static void Choose(QComboBox* box, int item) {
    box->setCurrentIndex(item);
    emit box->activated(item);
  }
  // Waits with the event loop running; the server's log is read meanwhile, so that its pipe never
  // fills and holds the server up.
  bool Await(const std::function<bool()>& condition) {
    return WaitUntil(
        [&] {
          server->Output();
          return condition();
        },
        kWait);
  }
  void ReadParameters() {
    form->DeviceEditor()->ButtonReadControl->click();
    ASSERT_TRUE(tabs->TaskRunning());
    ASSERT_TRUE(Await([&] { return !tabs->TaskRunning(); }));
  }

  std::unique_ptr<ServerProcess> server;
};

TEST_F(OptoRelayLineTest, AConfigurationWrittenReadsBackAndSurvivesTheDocument) {
  server = ServerProcess::StartListening({"--log"});
  MakeForm({"Hala", "127.0.0.1", std::to_string(server->Base())}, TDaliCom::kReplyTimeout);
  form->show();
  QApplication::setActiveWindow(form.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  tabs->ButtonOpen->click();
  ASSERT_TRUE(tabs->TCPClientGate.Connected());

  // "Čítať aktuálne adresy" for the control devices, then the relay's parameters.
  tabs->Pages->setCurrentWidget(tabs->AddressPage);
  tabs->RadioGroupControllers->Item(kActionFind)->click();
  tabs->ButtonExecute->click();
  ASSERT_TRUE(Await([&] {
    return tabs->GateThread().Idle() && !tabs->ButtonCancelAddressing->isEnabled() &&
           tabs->Pages->isTabEnabled(tabs->Pages->indexOf(tabs->ControllersPage));
  }));
  TControllerConfig& table = form->ControllerConfig();
  ASSERT_FALSE(table.IsSlotFree(kRelay));
  tabs->Pages->setCurrentWidget(tabs->ControllersPage);
  tabs->OnControlButtonClick(kRelay);
  ReadParameters();
  TOptoRelayFrame* relay = Relay(*form);
  ASSERT_TRUE(relay->isVisible());
  EXPECT_EQ(relay->CheckBoxEnabled->checkState(), Qt::Checked) << "the demo relay is enabled";

  // Every response through the editor, on both pages.
  for (int page = 0; page < 2; ++page) {
    (page == 0 ? relay->RadioButton1To16 : relay->RadioButton17To32)->click();
    for (int row = 0; row < TOptoRelayFrame::kRows; ++row) {
      const Response r = Planned(page * 16 + row);
      if (!r.used) continue;
      const size_t i = static_cast<size_t>(row);
      Type(relay->EditOncAddress[i], QString::number(r.address));
      Choose(relay->ComboBoxOncState[i], r.state);
      Choose(relay->ComboBoxOncOperator[i], r.op);
      Type(relay->EditOncLevel[i], r.level);
      for (int n = 0; n < 4; ++n) {
        if ((r.outputs >> n) & 1) relay->CheckBoxOncOutput[static_cast<size_t>(n)][i]->click();
      }
      Choose(relay->ComboBoxOncAction[i], r.action);
    }
  }
  ASSERT_TRUE(relay->PanelWriteNewValues->isVisible());
  relay->ButtonWriteNewValues->click();
  ASSERT_TRUE(tabs->TaskRunning());
  ASSERT_TRUE(Await([&] { return !tabs->TaskRunning(); }));
  ASSERT_FALSE(relay->PanelWriteNewValues->isVisible());
  relay->ButtonWriteEnabled->click();
  const std::vector<uint8_t> written = Image(table, kRelay);
  EXPECT_EQ(written.back(), 1);
  // Response 17 as typed: address 119 % 64, message 7 ("PIR alarm", 0x01), "<=", level 17007,
  // "zapnúť" for output A.
  EXPECT_EQ(std::vector<uint8_t>(written.begin() + 7 * 17, written.begin() + 7 * 18),
            (std::vector<uint8_t>{55, 7, 0x01, 1, 0x6F, 0x42, 0x11}));

  // The relay works as configured: the demo switch's press switches output A on, the test
  // button output C; the server tells of both.
  form->UiSession().Device(BusTarget::Device(kSwitch), device::kPressSwitchOn, 0);
  relay->RadioGroupOutputs->Item(2)->click();
  relay->ButtonOn->click();
  ASSERT_TRUE(server->WaitForOutput("Optorelé 6: výstup A zap., B vyp., C zap., D vyp.", 5s))
      << server->Output();
  EXPECT_NE(server->Output().find("Optorelé 6: výstup A zap., B vyp., C vyp., D vyp."),
            std::string::npos);

  // The table forgets the relay's image; "Čítať parametre" brings back what was written.
  table.SetCurrentSlot(kRelay);
  for (uint32_t k = 0; k < kOptoRelayImage.length; ++k) {
    table.Image(kOptoRelayImage).SetImageByteAt(k, 0xFF);
  }
  tabs->OnControlButtonClick(kRelay);
  EXPECT_TRUE(relay->EditOncAddress[0]->text().isEmpty());
  ReadParameters();
  EXPECT_EQ(Image(table, kRelay), written);
  relay->RadioButton1To16->click();
  EXPECT_EQ(relay->EditOncAddress[1]->text(), QStringLiteral("7"));
  EXPECT_EQ(relay->EditOncLevel[1]->text(), QStringLiteral("1007"));
  EXPECT_EQ(relay->ComboBoxOncAction[0]->currentText(), QStringLiteral("zapnúť"));

  // Saved and opened into an empty program: the same record, and the editor shows it.
  const fs::path path =
      fs::temp_directory_path() / ("lumetra-optorelay-" + std::to_string(::getpid()) + ".dcf");
  SaveDocument(path.string(), form->BalastConfig(), table);
  TConfiguratorForm empty({});
  empty.OpenDocument(path.string());
  fs::remove(path);
  TControllerConfig& opened = empty.ControllerConfig();
  ASSERT_FALSE(opened.IsSlotFree(kRelay));
  EXPECT_TRUE(test::SameValues(opened.Record(kRelay), table.Record(kRelay)));
  EXPECT_EQ(Image(opened, kRelay), written);
  empty.show();
  empty.TabsFrame()->Pages->setCurrentWidget(empty.TabsFrame()->ControllersPage);
  empty.TabsFrame()->OnControlButtonClick(kRelay);
  TOptoRelayFrame* shown = Relay(empty);
  ASSERT_TRUE(shown->isVisible());
  shown->RadioButton17To32->click();
  EXPECT_EQ(shown->EditOncAddress[1]->text(), QStringLiteral("55"));
  EXPECT_EQ(shown->ComboBoxOncOperator[1]->currentText(), QStringLiteral("<="));
  EXPECT_EQ(shown->EditOncLevel[1]->text(), QStringLiteral("17007"));
  EXPECT_TRUE(errors.empty()) << errors.front();
}

}  // namespace
}  // namespace lumetra::test
