// A switch of the demo line configured end to end: the editor writes a full configuration through
// the bus server it started, "Čítať parametre" reads it back into a cleared table, and a document
// saved from there opens into a fresh program with every field the same.
#include <gtest/gtest.h>

#include <QApplication>
#include <QStatusBar>
#include <QTest>
#include <cstring>
#include <filesystem>

#include "ServerProcess.h"
#include "documents/ConfigDocument.h"
#include "model/ControllerConfig.h"
#include "model/MessageCodeTable.h"
#include "support/ConfiguratorFixture.h"
#include "support/GuiInput.h"
#include "support/QtWait.h"
#include "ui/TabsFrame.h"
#include "ui/Widgets.h"
#include "ui/devices/ControllerFrame.h"
#include "ui/devices/SwitchFrame.h"
#include "ui/devices/SwitchOncFrame.h"

namespace lumetra::test {
namespace {

using namespace std::chrono_literals;

// Short address 1 of the demo line is a switch of firmware 1.001.
constexpr uint8_t kSwitch = 1;

class SwitchLineTest : public ConfiguratorFixture {
 protected:
  void SetUp() override {
    ConfiguratorFixture::SetUp();
    folder = std::filesystem::temp_directory_path() /
             ("lumetra-switch-line-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
  }
  void TearDown() override {
    second.reset();
    ConfiguratorFixture::TearDown();
    std::filesystem::remove_all(folder);
  }

  void Open() {
    MakeForm({}, TDaliCom::kReplyTimeout);
    form->show();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    BusServerLaunch launch;
    launch.program = QStringLiteral(LUMETRA_BUILD_DIR "/LumetraDaliBusServer");
    launch.portBase = ServerProcess::FreeBase();
    launch.arguments = QStringList{"--port-base", QString::number(launch.portBase)};
    tabs->SetBusServerLaunch(launch);
    tabs->ButtonOpen->click();
    serverPid = tabs->BusServerProcessId();
    ASSERT_TRUE(errors.empty()) << errors.front();
    ASSERT_TRUE(tabs->TCPClientGate.Connected());
    table = &form->ControllerConfig();
    host = form->DeviceEditor();
    editor = form->findChild<TSwitchFrame*>("SwitchFrame");
    tabs->Pages->setCurrentWidget(tabs->ControllersPage);
  }

  // The slot known by its address only, as after addressing; "Čítať parametre" reads the rest.
  void ReadDevice() {
    table->SetCurrentSlot(kSwitch);
    table->SetShortAddress(kSwitch);
    tabs->OnControlButtonClick(kSwitch);
    ASSERT_TRUE(host->ButtonReadControl->isEnabled());
    host->ButtonReadControl->click();
    ASSERT_TRUE(WaitUntil([&] { return !tabs->JobRunning(); }, 20000));
    table->SetCurrentSlot(kSwitch);
    ASSERT_EQ(table->DeviceType(), kKindSwitch);
    ASSERT_TRUE(editor->isVisible());
  }

  static void Choose(QComboBox* combo, int item) {
    combo->setCurrentIndex(item);
    emit combo->activated(item);
  }

  ControllerRecord Record() const { return *table->Record(kSwitch); }

  std::filesystem::path folder;
  TControllerConfig* table = nullptr;
  TControllerFrame* host = nullptr;
  TSwitchFrame* editor = nullptr;
  std::unique_ptr<TConfiguratorForm> second;
};

// Every byte of the kind image, the types and the enable bits.
void ExpectSameSwitch(const ControllerRecord& a, const ControllerRecord& b) {
  for (uint16_t i = 0; i < kSwitchImage.length; ++i) {
    const ImageCell cell = kSwitchImage.cells[i];
    const size_t bytes = cell.part == ImagePart::Byte ? 1 : 4;
    EXPECT_EQ(std::memcmp(&a.Layout[cell.offset], &b.Layout[cell.offset], bytes), 0)
        << "image index " << i;
  }
}

TEST_F(SwitchLineTest, AFullConfigurationIsWrittenReadBackSavedAndOpened) {
  Open();
  ReadDevice();
  // Through the controls: the inputs, a step of each kind, a wait, indicators, the options.
  Choose(editor->ComboBox1Type, 1);
  Choose(editor->ComboBox2Type, 2);
  if (editor->CheckBox1ButtonEnabled->checkState() != Qt::Checked)
    editor->CheckBox1ButtonEnabled->click();
  if (editor->CheckBox2ButtonEnabled->checkState() != Qt::Unchecked)
    editor->CheckBox2ButtonEnabled->click();
  if (editor->CheckBox2ButtonEnabled->checkState() != Qt::Unchecked)
    editor->CheckBox2ButtonEnabled->click();
  editor->ButtonWriteEnabledButtons->click();
  EXPECT_FALSE(editor->PanelWriteEnabled->isVisible());

  Choose(editor->ComboBoxCmndCmnd[0], 1);
  editor->RadioGroupCmndAddressType[0]->Item(2)->click();
  TypeAndLeave(editor->EditCmndAddress[0], "5", editor->ButtonPress);
  TypeAndLeave(editor->EditCmndData[0], "180", editor->ButtonPress);
  TypeAndLeave(editor->EditCmndTimeoutH[0], "17", editor->ButtonPress);
  TypeAndLeave(editor->EditCmndTimeoutM[0], "59", editor->ButtonPress);
  TypeAndLeave(editor->EditCmndTimeoutS[0], "59", editor->ButtonPress);
  Choose(editor->ComboBoxCmndLed[0][3], 5);
  Choose(editor->ComboBoxCmndCmnd[1], 14);
  editor->RadioGroupCmndAddressType[1]->Item(1)->click();
  TypeAndLeave(editor->EditCmndAddress[1], "20", editor->ButtonPress);
  Choose(editor->ComboBoxRepeat, 2);
  editor->CheckBoxCmndSendState[1]->click();  // firmware 1.001 offers it
  Choose(editor->ComboBoxAfterReset, 2);
  editor->RadioButton2Long->click();
  Choose(editor->ComboBoxCmndCmnd[3], 7);
  // And every other field through the table, distinct values all over the record.
  SwitchLayout layout = table->Switch();
  for (uint32_t s = 0; s < 4; ++s) {
    for (uint32_t k = 2; k < 4; ++k) {
      if (s == 3 && k == 3) continue;
      SwitchStep step = layout.Sequences(s).Steps(k);
      step.SetAddress(0x81 + 2 * (s + k));
      step.SetCommand(s + k);
      step.SetTimeout(1000 * s + 100 * k + 7);
      step.SetIndicator1((s + k) % 6);
      step.SetIndicator3(0xF);
    }
  }
  const uint8_t codes[] = {0xFF, 0x20, 0x40, 0x00, 0x21, 0x41, 0x01};
  for (uint32_t i = 0; i < 2; ++i) {
    for (uint32_t j = 0; j < 16; ++j) {
      SwitchOnc onc = layout.Oncs(i, j);
      onc.SetAddress(j == 15 ? 255 : (i * 16 + j) % 64);
      onc.SetMessageIndex(MessageIndexOf(codes[(i + j) % std::size(codes)]));
      onc.SetEnabled(j % 2);
      onc.SetStopSequence(j % 3 == 0);
      onc.SetStartSequence(j % 4);
      onc.SetIndicator1(j % 8);
      onc.SetIndicator4(7 - j % 8);
    }
  }
  editor->ShowPanelWriteCommand();
  editor->ButtonWriteCmndSequences->click();
  ASSERT_TRUE(WaitUntil([&] { return !tabs->JobRunning(); }, 20000));
  ASSERT_FALSE(editor->PanelWriteCommand->isVisible())
      << form->statusBar()->currentMessage().toStdString();
  const ControllerRecord written = Record();
  EXPECT_EQ(table->Switch().Sequences(0).Steps(0).Address(), 10);
  EXPECT_EQ(table->Switch().Sequences(0).Steps(0).Timeout(), 64799u);

  // A cleared table reads it all back from the device.
  table->ClearControllers();
  ReadDevice();
  ExpectSameSwitch(Record(), written);
  EXPECT_EQ(editor->ComboBox1Type->currentIndex(), 1);
  EXPECT_EQ(editor->RadioButton1Short->text(), QStringLiteral("zapnutý"));

  // Saved and opened into a program that has seen nothing of it.
  const std::string path = (folder / "switch.dcf").string();
  SaveDocument(path, form->BalastConfig(), form->ControllerConfig());
  second = std::make_unique<TConfiguratorForm>(std::vector<std::string>{});
  second->OpenDocument(path);
  ExpectSameSwitch(*second->ControllerConfig().Record(kSwitch), written);
  second->ControllerConfig().SetCurrentSlot(kSwitch);
  EXPECT_EQ(second->ControllerConfig().DeviceType(), kKindSwitch);
  EXPECT_EQ(second->ControllerConfig().MinVersion(), 1);
  ASSERT_TRUE(errors.empty()) << errors.front();
}

}  // namespace
}  // namespace lumetra::test
