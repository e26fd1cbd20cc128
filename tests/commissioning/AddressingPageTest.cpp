// The page "Adresovanie" and the progress view on the real frames: jobs started with "Vykonať"
// against the bus server the configurator starts itself, cancelling, failures and closing.
#include <gtest/gtest.h>
#include <signal.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QStatusBar>
#include <QThread>

#include "ServerProcess.h"
#include "buslink/TcpClient.h"
#include "commissioning/AddressFrame.h"
#include "commissioning/CommissioningFixture.h"
#include "support/ConfiguratorFixture.h"
#include "support/QtWait.h"
#include "ui/ConfiguratorForm.h"
#include "ui/LumetraApplication.h"
#include "ui/TabsFrame.h"
#include "ui/devices/ControllerFrame.h"

namespace lumetra::test {
namespace {

using namespace std::chrono_literals;

// Jobs against the real server, which may run slowly under a sanitizer.
constexpr int kJobWait = 20000;

const QColor kMaroon(128, 0, 0), kLime(0, 255, 0);

TEST(AddressFrameTest, InUseMarksAndCounts) {
  TBalastConfig gear;
  TControllerConfig devices;
  for (int a : {0, 1, 5}) {
    gear.SetCurrentSlot(static_cast<uint8_t>(a));
    gear.SetShortAddress(static_cast<uint32_t>(a));
  }
  TAddressFrame frame;
  frame.Bind(&gear, &devices);
  frame.show();
  frame.RefreshAll();
  EXPECT_EQ(frame.LabelUsedBalastAddressCount->text(), "Počet pridelených adries: 3");
  EXPECT_EQ(frame.LabelUsedCtrlAddressCount->text(), "Počet pridelených adries: 0");
  const QColor face = QApplication::palette().color(QPalette::Button);
  for (int a = 0; a < 8; ++a) {
    const bool used = a == 0 || a == 1 || a == 5;
    EXPECT_EQ(PanelColor(frame.GearButton(a).GroupPanel), used ? kMaroon : face) << a;
    EXPECT_FALSE(frame.GearButton(a).Button->isEnabled());
  }
  EXPECT_EQ(frame.GearButton(5).Button->text(), "A 05");
  EXPECT_EQ(frame.GearButton(5).Button->geometry(), QRect(31 + 84, 90 + 34, 75, 25));
  EXPECT_EQ(frame.DeviceButton(63).Button->geometry(), QRect(414 + 252, 90 + 34 * 15, 75, 25));

  frame.MarkGearAddress(6);
  frame.MarkGearAddress(7);
  EXPECT_NE(PanelColor(frame.GearButton(6).SelectPanel), kLime);
  EXPECT_EQ(PanelColor(frame.GearButton(7).SelectPanel), kLime);
  frame.MarkGearFound();
  EXPECT_EQ(PanelColor(frame.GearButton(7).GroupPanel), kMaroon);
  frame.MarkGearAddress(64);
  for (int a = 0; a < 64; ++a) EXPECT_NE(PanelColor(frame.GearButton(a).SelectPanel), kLime);

  // A control-device job clears only the right grid.
  frame.MarkDeviceAddress(3);
  frame.MarkDeviceFound();
  frame.PrepareJob(false, true);
  EXPECT_EQ(PanelColor(frame.DeviceButton(3).GroupPanel), face);
  EXPECT_EQ(PanelColor(frame.GearButton(5).GroupPanel), kMaroon);
}

// The configurator with the real bus server, started by "Otvoriť" on free ports.
class AddressingPageTest : public ConfiguratorFixture {
 protected:
  void Open(const QStringList& serverOptions = {}) {
    if (!form) {
      MakeForm({}, TDaliCom::kReplyTimeout);
      form->show();
      BusServerLaunch launch;
      launch.program = QStringLiteral(LUMETRA_BUILD_DIR "/LumetraDaliBusServer");
      launch.portBase = ServerProcess::FreeBase();
      launch.arguments =
          QStringList{"--port-base", QString::number(launch.portBase)} + serverOptions;
      tabs->SetBusServerLaunch(launch);
    }
    tabs->ButtonOpen->click();
    serverPid = tabs->BusServerProcessId();
    ASSERT_TRUE(errors.empty()) << errors.front();
    ASSERT_TRUE(tabs->TCPClientGate.Connected());
    tabs->Pages->setCurrentWidget(tabs->AddressPage);
  }

  void Execute(int gearAction, int deviceAction) {
    tabs->RadioGroupBalasts->Item(gearAction)->click();
    tabs->RadioGroupControllers->Item(deviceAction)->click();
    tabs->ButtonExecute->click();
  }
  // The worker is idle and the frame has heard of the end (only that enables the device pages).
  bool JobDone() {
    return tabs->GateThread().Idle() && !tabs->ButtonCancelAddressing->isEnabled() &&
           DevicePagesEnabled();
  }
  bool DevicePagesEnabled() {
    return tabs->Pages->isTabEnabled(tabs->Pages->indexOf(tabs->LightsPage)) &&
           tabs->Pages->isTabEnabled(tabs->Pages->indexOf(tabs->ControllersPage));
  }
  QString Message() { return form->ProgressView()->LabelProgress->text(); }
  QString Status() { return form->statusBar()->currentMessage(); }
  QString GateState() { return form->findChild<QLabel*>("LabelGateState")->text(); }
  // Goes to another page and back: the page's show handler redraws the progress view.
  void ShowAddressPageAgain() {
    tabs->Pages->setCurrentWidget(tabs->InterfacePage);
    tabs->Pages->setCurrentWidget(tabs->AddressPage);
  }
  // The progress view of one population agrees with itself: nothing marked as being worked on,
  // and as many in-use marks as the count says.
  void ExpectConsistentGrid(bool gear) {
    TAddressFrame& view = *form->ProgressView();
    int inUse = 0;
    for (int a = 0; a < 64; ++a) {
      TDeviceButton& b = gear ? view.GearButton(a) : view.DeviceButton(a);
      EXPECT_NE(PanelColor(b.SelectPanel), kLime) << a;
      if (PanelColor(b.GroupPanel) == kMaroon) ++inUse;
    }
    QLabel* count = gear ? view.LabelUsedBalastAddressCount : view.LabelUsedCtrlAddressCount;
    EXPECT_EQ(count->text(), QStringLiteral("Počet pridelených adries: %1").arg(inUse));
  }
};

TEST_F(AddressingPageTest, AddressAddedOnTheDemoLineAddressesTheNewDevicesOnly) {
  Open();
  form->ItemOpen->setEnabled(true);  // as once documents can be opened
  Execute(kActionAddressAdded, kActionAddressAdded);
  // Locked at once while the job runs: nothing may read or write the tables meanwhile.
  EXPECT_TRUE(tabs->ButtonCancelAddressing->isEnabled());
  EXPECT_FALSE(tabs->ButtonExecute->isEnabled());
  EXPECT_FALSE(tabs->ButtonClose->isEnabled());
  EXPECT_FALSE(DevicePagesEnabled());
  EXPECT_FALSE(form->ItemOpen->isEnabled());
  EXPECT_FALSE(form->ItemSaveAs->isEnabled());
  EXPECT_FALSE(tabs->RadioGroupPercentArc->isEnabled());

  ASSERT_TRUE(WaitUntil([&] { return JobDone(); }, kJobWait));
  EXPECT_EQ(Message(), "Adresovanie zariadení ukončené");
  EXPECT_TRUE(tabs->ButtonExecute->isEnabled());
  EXPECT_TRUE(tabs->ButtonClose->isEnabled());
  EXPECT_TRUE(DevicePagesEnabled());
  EXPECT_TRUE(tabs->RadioGroupPercentArc->isEnabled());
  EXPECT_TRUE(form->ItemOpen->isEnabled());  // back as it was before the job
  EXPECT_TRUE(form->ItemSaveAs->isEnabled());

  TBalastConfig& gear = form->BalastConfig();
  EXPECT_EQ(gear.UsedSlotCount(), 12);
  for (int a : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12}) EXPECT_FALSE(gear.IsSlotFree(a)) << a;
  EXPECT_EQ(form->ControllerConfig().UsedSlotCount(), 8);
  EXPECT_FALSE(form->ControllerConfig().IsSlotFree(7));
  EXPECT_TRUE(tabs->GateThread().Problems().empty());
  EXPECT_EQ(form->ProgressView()->LabelUsedBalastAddressCount->text(),
            "Počet pridelených adries: 12");
  EXPECT_EQ(gear.CurrentGroup(), TConfig::kAllDevices);
  EXPECT_EQ(gear.CurrentSlot(), 0);

  // A second run finds the same installation and changes nothing.
  Execute(kActionAddressAdded, kActionNone);
  ASSERT_TRUE(WaitUntil([&] { return JobDone(); }, kJobWait));
  EXPECT_EQ(gear.UsedSlotCount(), 12);
  EXPECT_FALSE(gear.IsSlotFree(7));
}

// The whole way of a control device's settings: found on the demo line, changed in the editor,
// written over the bus server, forgotten by the table and read back from the device.
TEST_F(AddressingPageTest, ADeviceOfTheDemoLineChangedInTheEditorReadsBackAsWritten) {
  Open();
  Execute(kActionNone, kActionFind);
  ASSERT_TRUE(WaitUntil([&] { return JobDone(); }, kJobWait));
  TControllerConfig& table = form->ControllerConfig();
  ASSERT_FALSE(table.IsSlotFree(2));  // the motion sensor: group 2, multimaster on

  tabs->Pages->setCurrentWidget(tabs->ControllersPage);
  tabs->OnControlButtonClick(2);
  TControllerFrame& editor = *form->DeviceEditor();
  ASSERT_TRUE(editor.isVisible());
  ASSERT_TRUE(editor.CheckBoxG[1]->isChecked());
  ASSERT_TRUE(editor.CheckBoxMultimaster->isChecked());
  // Leaves group 2, joins groups 6 and 12; multimaster off.
  for (int g : {1, 5, 11}) editor.CheckBoxG[static_cast<size_t>(g)]->click();
  editor.ButtonNewGroups->click();
  editor.CheckBoxMultimaster->click();
  editor.ButtonNewControlValue->click();
  ASSERT_FALSE(editor.PanelWriteGroups->isVisible());
  ASSERT_FALSE(editor.PanelWriteMultimaster->isVisible());

  // The table forgets; only the device can tell.
  table.SetCurrentSlot(2);
  for (uint32_t g = 0; g < 16; ++g) table.SetGroups(g, g == 1 ? 1 : 0);
  table.SetMultimaster(1);
  editor.ButtonReadControl->click();
  ASSERT_TRUE(WaitUntil([&] { return !tabs->JobRunning(); }, kJobWait));
  EXPECT_EQ(Status(), QString());
  table.SetCurrentSlot(2);
  for (uint32_t g = 0; g < 16; ++g) {
    const bool member = g == 5 || g == 11;
    EXPECT_EQ(table.Groups(g), member ? 1 : 0) << g;
    EXPECT_EQ(editor.CheckBoxG[g]->isChecked(), member) << g;
  }
  EXPECT_EQ(table.Multimaster(), 0);
  EXPECT_FALSE(editor.CheckBoxMultimaster->isChecked());
  EXPECT_EQ(table.DeviceType(), kKindPirSensor);
  EXPECT_EQ(editor.EditVersion->text(), QStringLiteral("1.003"));
  EXPECT_TRUE(editor.LabelRead->text().isEmpty());
}

TEST_F(AddressingPageTest, BothNothingDoesNothing) {
  Open();
  const QString before = Message();
  Execute(kActionNone, kActionNone);
  EXPECT_EQ(Message(), before);
  EXPECT_EQ(Status(), "Nie je vybraná žiadna úloha");
  EXPECT_TRUE(tabs->RadioGroupPercentArc->isEnabled());
  EXPECT_TRUE(tabs->ButtonExecute->isEnabled());
  EXPECT_FALSE(tabs->ButtonCancelAddressing->isEnabled());
  EXPECT_TRUE(DevicePagesEnabled());
  EXPECT_TRUE(tabs->GateThread().Idle());
}

TEST_F(AddressingPageTest, CancelKeepsTheJobAloneUntilTheWorkerHasStopped) {
  Open({"--delay-reply-ms", "2"});
  Execute(kActionReaddressAll, kActionFind);
  // The view is the user interface's own; the tables belong to the worker until the job ends.
  ASSERT_TRUE(WaitUntil([&] { return Message() == "Prideľovanie nových adries"; }, kJobWait));
  tabs->ButtonCancelAddressing->click();
  EXPECT_FALSE(tabs->ButtonCancelAddressing->isEnabled());
  EXPECT_FALSE(tabs->ButtonOpen->isEnabled());
  // "Vykonať" waits for the worker to wind down, and a new job is not written over the cancel.
  EXPECT_FALSE(tabs->ButtonExecute->isEnabled());
  tabs->OnButtonExecuteClick();
  EXPECT_EQ(tabs->GateThread().GetJob(), kJobCancel);
  ASSERT_TRUE(WaitUntil([&] { return JobDone() && tabs->ButtonExecute->isEnabled(); }, kJobWait));
  EXPECT_EQ(Message(), "Adresovanie zariadení ukončené");
  EXPECT_EQ(form->ControllerConfig().UsedSlotCount(), 0);  // the device part never started
  EXPECT_TRUE(DevicePagesEnabled());
  EXPECT_EQ(tabs->GateThread().GetJob(), kJobIdle);
}

TEST_F(AddressingPageTest, GateClosedByTheServerStopsTheJobAndANewOneRunsAfterReopening) {
  Open({"--close-after", "40"});
  Execute(kActionFind, kActionNone);
  ASSERT_TRUE(WaitUntil([&] { return JobDone() && tabs->ButtonOpen->isEnabled(); }, kJobWait));
  EXPECT_EQ(Message(), "Adresovanie prerušené: Spojenie s DALI bolo prerušené");
  EXPECT_FALSE(tabs->ButtonExecute->isEnabled());  // no gate: nothing to run a job on
  EXPECT_FALSE(tabs->ButtonClose->isEnabled());
  EXPECT_TRUE(DevicePagesEnabled());
  EXPECT_TRUE(WaitUntil([&] { return Status() == "Spojenie s DALI bolo prerušené"; }));
  ExpectConsistentGrid(true);
  // The reason stays when the page comes back, until the next job.
  ShowAddressPageAgain();
  EXPECT_EQ(Message(), "Adresovanie prerušené: Spojenie s DALI bolo prerušené");

  // The server that cut the gate goes away too; "Otvoriť" notices and starts a fresh one.
  ::kill(static_cast<pid_t>(serverPid), SIGTERM);
  ASSERT_TRUE(WaitUntil([&] { return ::kill(static_cast<pid_t>(serverPid), 0) != 0; }, 5000));
  BusServerLaunch launch = tabs->BusServerLaunchSettings();
  launch.arguments = {"--port-base", QString::number(launch.portBase)};
  tabs->SetBusServerLaunch(launch);
  EXPECT_EQ(GateState(), "Spojenie s DALI zatvorené");
  Open();
  EXPECT_EQ(GateState(), "Spojenie s DALI otvorené");
  EXPECT_EQ(Status(), "") << "the loss is over";
  Execute(kActionFind, kActionNone);
  ASSERT_TRUE(WaitUntil([&] { return JobDone(); }, kJobWait));
  EXPECT_EQ(Message(), "Adresovanie zariadení ukončené");
  EXPECT_EQ(form->BalastConfig().UsedSlotCount(), 10);
  EXPECT_EQ(GateState(), "Spojenie s DALI otvorené");
  ShowAddressPageAgain();
  EXPECT_EQ(Message(), "");
  tabs->ButtonClose->click();
  EXPECT_EQ(GateState(), "Spojenie s DALI zatvorené");
}

TEST_F(AddressingPageTest, AFinishedJobClearsAnEarlierFailure) {
  Open();
  form->DaliCom().OnExchangeFailed(kExchangeNoReply);  // as a time-out of an editor's request
  ASSERT_TRUE(WaitUntil([&] { return Status() == "Zariadenie neodpovedá"; }));
  Execute(kActionFind, kActionNone);
  ASSERT_TRUE(WaitUntil([&] { return JobDone(); }, kJobWait));
  EXPECT_EQ(Status(), "");
}

TEST_F(AddressingPageTest, AJobStoppedInTheDevicePartLeavesTheViewAndTheGroupsConsistent) {
  // The gate goes while the first control device is read.
  Open({"--close-after", "80"});
  tabs->Pages->setCurrentWidget(tabs->ControllersPage);
  tabs->Pages->setCurrentWidget(tabs->AddressPage);
  Execute(kActionNone, kActionFind);
  ASSERT_TRUE(WaitUntil([&] { return JobDone() && tabs->ButtonOpen->isEnabled(); }, kJobWait));
  EXPECT_EQ(Message(), "Adresovanie prerušené: Spojenie s DALI bolo prerušené");
  ExpectConsistentGrid(false);
  ExpectConsistentGrid(true);
  // The group buttons show the selection the finishing step made: all devices.
  EXPECT_EQ(form->ControllerConfig().CurrentGroup(), TConfig::kAllDevices);
  EXPECT_EQ(PanelColor(tabs->DeviceGroupButton(TTabsFrame::kAllIndex).GroupPanel),
            QColor(255, 0, 0));
  for (int g = 0; g < TTabsFrame::kGroupCount; ++g) {
    EXPECT_EQ(PanelColor(tabs->DeviceGroupButton(g).GroupPanel), kMaroon) << g;
  }
}

TEST_F(AddressingPageTest, TheCountGrowsDuringTheGearPart) {
  Open({"--delay-reply-ms", "1"});
  Execute(kActionAddressAdded, kActionNone);
  QLabel* count = form->ProgressView()->LabelUsedBalastAddressCount;
  // Still in the job (its first search has not begun) when the first gear found shows.
  ASSERT_TRUE(WaitUntil([&] { return count->text() != "Počet pridelených adries: 0"; }, kJobWait));
  EXPECT_FALSE(tabs->GateThread().Idle());
  EXPECT_EQ(Message(), "Hľadanie už pridelených adries");
  ASSERT_TRUE(WaitUntil([&] { return JobDone(); }, kJobWait));
}

TEST_F(AddressingPageTest, TheConnectionsCannotBeClosedFromTheInterfacePageDuringAJob) {
  Open({"--delay-reply-ms", "2"});
  tabs->ButtonMonitorStart->click();
  ASSERT_TRUE(errors.empty()) << errors.front();
  tabs->Pages->setCurrentWidget(tabs->AddressPage);
  EXPECT_TRUE(tabs->ButtonCloseConnection->isEnabled());
  EXPECT_TRUE(tabs->ButtonStopMonitor->isEnabled());
  Execute(kActionReaddressAll, kActionNone);
  EXPECT_FALSE(tabs->ButtonClose->isEnabled());
  EXPECT_FALSE(tabs->ButtonCloseConnection->isEnabled());
  EXPECT_FALSE(tabs->ButtonStopMonitor->isEnabled());
  // After "Zrušiť" the gate may be closed again, from either page.
  tabs->ButtonCancelAddressing->click();
  EXPECT_TRUE(tabs->ButtonClose->isEnabled());
  EXPECT_TRUE(tabs->ButtonCloseConnection->isEnabled());
  EXPECT_TRUE(tabs->ButtonStopMonitor->isEnabled());
  ASSERT_TRUE(WaitUntil([&] { return JobDone(); }, kJobWait));
  EXPECT_TRUE(tabs->ButtonCloseConnection->isEnabled());
  EXPECT_TRUE(tabs->ButtonStopMonitor->isEnabled());
}

TEST_F(AddressingPageTest, ClosingTheWindowDuringAJobCancelsItAndSaysSoUntilTheWorkerStops) {
  Open({"--delay-reply-ms", "1"});
  Execute(kActionReaddressAll, kActionAddressAdded);
  ASSERT_TRUE(WaitUntil([&] { return Message() == "Prideľovanie nových adries"; }, kJobWait));
  QElapsedTimer timer;
  timer.start();
  EXPECT_FALSE(form->close()) << "the window stays until the worker has stopped";
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(Status(), "Adresovanie sa ruší, program sa zatvorí hneď, ako sa zastaví");
  EXPECT_EQ(tabs->GateThread().GetJob(), kJobCancel);
  EXPECT_FALSE(form->close()) << "a second close waits as well";
  ASSERT_TRUE(WaitUntil([&] { return !form->isVisible(); }, kJobWait));
  // The job was cut short: far less than the search of a dozen gear and the device part.
  EXPECT_LT(timer.elapsed(), 5000);
  EXPECT_TRUE(tabs->GateThread().Idle());
  EXPECT_EQ(form->ControllerConfig().UsedSlotCount(), 0);
}

TEST_F(AddressingPageTest, AGateTheServerRefusesDoesNotLookOpen) {
  // Another configurator holds the gate of a server that is already running.
  auto server = ServerProcess::StartListening();
  TcpClient other;
  other.SetHost("127.0.0.1");
  other.SetPort(static_cast<uint16_t>(server->Base() + kGateChannel));
  other.Connect();
  MakeForm({}, TDaliCom::kReplyTimeout);
  BusServerLaunch launch;
  launch.program = QStringLiteral(LUMETRA_BUILD_DIR "/LumetraDaliBusServer");
  launch.portBase = server->Base();
  launch.arguments = QStringList{"--port-base", QString::number(launch.portBase)};
  tabs->SetBusServerLaunch(launch);
  tabs->ButtonOpen->click();
  serverPid = tabs->BusServerProcessId();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("Brána je obsadená"), std::string::npos) << errors[0];
  EXPECT_FALSE(tabs->TCPClientGate.Connected());
  EXPECT_TRUE(tabs->ButtonOpen->isEnabled());
  EXPECT_FALSE(tabs->ButtonClose->isEnabled());
  EXPECT_FALSE(tabs->ButtonExecute->isEnabled());
  EXPECT_FALSE(tabs->ButtonCloseConnection->isEnabled());
  EXPECT_TRUE(tabs->RadioGroupInterface->isEnabled());
  EXPECT_EQ(form->DaliCom().Client(), nullptr);

  // Once the other one has gone, "Otvoriť" opens the gate.
  other.Disconnect();
  errors.clear();
  tabs->ButtonOpen->click();
  ASSERT_TRUE(errors.empty()) << errors.front();
  EXPECT_TRUE(tabs->TCPClientGate.Connected());
  EXPECT_FALSE(tabs->ButtonOpen->isEnabled());
}

TEST_F(AddressingPageTest, TheServerTheConfiguratorStartedEndsWithItAndAnotherIsLeftAlone) {
  Open();
  const auto started = static_cast<pid_t>(serverPid);
  ASSERT_GT(started, 0);
  ASSERT_EQ(::kill(started, 0), 0);
  form.reset();
  EXPECT_TRUE(WaitUntil([&] { return ::kill(started, 0) != 0; }, 5000));

  // A server that was running before: the one "Otvoriť" starts on top gives up, and closing the
  // configurator leaves the running one alone.
  auto server = ServerProcess::StartListening();
  MakeForm({}, TDaliCom::kReplyTimeout);
  BusServerLaunch launch;
  launch.program = QStringLiteral(LUMETRA_BUILD_DIR "/LumetraDaliBusServer");
  launch.portBase = server->Base();
  launch.arguments = QStringList{"--port-base", QString::number(launch.portBase)};
  tabs->SetBusServerLaunch(launch);
  tabs->ButtonOpen->click();
  ASSERT_TRUE(errors.empty()) << errors.front();
  ASSERT_TRUE(tabs->TCPClientGate.Connected());
  form.reset();
  TcpClient gate;
  gate.SetHost("127.0.0.1");
  gate.SetPort(static_cast<uint16_t>(server->Base() + kGateChannel));
  ASSERT_NO_THROW(gate.Connect());
  const uint8_t request[5] = {0x83, 0x00, 0x01, 0x91, 0x13};
  gate.Write(request, sizeof request);
  uint8_t reply[5] = {};
  EXPECT_TRUE(gate.ReadExactFor(reply, sizeof reply, 2s)) << "the other server still serves";
}

TEST_F(AddressingPageTest, ClosingTheWindowDuringAJobWaitsForItWithoutDeadlock) {
  Open({"--delay-reply-ms", "1"});
  Execute(kActionReaddressAll, kActionNone);
  ASSERT_TRUE(WaitUntil([&] { return Message() == "Prideľovanie nových adries"; }, kJobWait));
  EXPECT_FALSE(tabs->GateThread().Idle());
  QElapsedTimer timer;
  timer.start();
  form.reset();  // the job runs to its end meanwhile, its hand-overs served
  EXPECT_LT(timer.elapsed(), 30000);
}

}  // namespace
}  // namespace lumetra::test
