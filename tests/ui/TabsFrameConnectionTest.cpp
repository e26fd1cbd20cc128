// Interface choice, the bus server start and the gate and monitor connections, on the real frame
// against real loopback peers.
#include <gtest/gtest.h>
#include <signal.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QThread>
#include <thread>

#include "support/ConfiguratorFixture.h"
#include "support/FreePorts.h"
#include "support/LoopbackPeer.h"
#include "support/QtWait.h"
#include "ui/ConfiguratorForm.h"
#include "ui/LumetraApplication.h"
#include "ui/TabsFrame.h"

namespace lumetra {
namespace {

using test::WaitUntil;

using test::Frame;
using test::LoopbackPeer;
using namespace std::chrono_literals;

uint16_t FreePortPair() { return test::FreeLoopbackPorts(2); }

class TabsFrameConnectionTest : public test::ConfiguratorFixture {
 protected:
  void SetUp() override {
    ConfiguratorFixture::SetUp();
    ASSERT_TRUE(dir.isValid());
    record = dir.filePath("server.log");
  }

  void MakeForm(const std::vector<std::string>& arguments = {}) {
    ConfiguratorFixture::MakeForm(arguments, 500ms);
  }

  // Points "Otvoriť" at the stand-in server on free ports.
  void UseFakeServer() {
    base = FreePortPair();
    BusServerLaunch launch;
    launch.program = QStringLiteral(LUMETRA_BUILD_DIR "/lumetra_fake_bus_server");
    launch.arguments = {"--port-base", QString::number(base), "--record", record};
    launch.portBase = base;
    tabs->SetBusServerLaunch(launch);
  }

  void ClickOpen() {
    tabs->ButtonOpen->click();
    serverPid = tabs->BusServerProcessId();
  }

  QStringList RecordLines() {
    QFile f(record);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromLatin1(f.readAll()).split('\n', Qt::SkipEmptyParts);
  }

  static QString Hex(const ConfigPacket& p) {
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char*>(p.data()), p.size()).toHex());
  }

  int Exchange(uint8_t b2, uint8_t b3, uint8_t* reply) {
    uint8_t request[5] = {kGearFrame, 0, b2, b3, 0};
    return form->DaliCom().Exchange(reply, request);
  }

  QTemporaryDir dir;
  QString record;
  uint16_t base = 0;
};

TEST_F(TabsFrameConnectionTest, UsbOpenStartsTheServerSendsThePacketAndOpensTheGate) {
  MakeForm();
  UseFakeServer();
  tabs->ComboBoxPort->setCurrentIndex(2);  // "COM3"
  ClickOpen();
  ASSERT_TRUE(errors.empty()) << errors.front();
  ASSERT_GT(serverPid, 0);

  ConfigPacket expected{};
  expected[0] = 1;
  const char* com3 = "COM3";
  for (int i = 0; i < 4; ++i) expected[37 + 2 * i] = static_cast<uint8_t>(com3[i]);
  ASSERT_TRUE(WaitUntil([&] { return RecordLines().size() >= 2; }));
  EXPECT_EQ(RecordLines(), QStringList({"start", "config " + Hex(expected)}));

  EXPECT_TRUE(tabs->TCPClientGate.Connected());
  EXPECT_EQ(tabs->TCPClientGate.Port(), base + 1);
  EXPECT_EQ(form->DaliCom().Client(), &tabs->TCPClientGate);
  uint8_t reply[5];
  EXPECT_EQ(Exchange(0x0B, 0x91, reply), kExchangeReplied);
  EXPECT_EQ(reply[3], 0xFF);

  // Gate open: the interface is locked, "Otvoriť" is done, the close buttons work.
  EXPECT_FALSE(tabs->RadioGroupInterface->isEnabled());
  EXPECT_FALSE(tabs->ComboBoxPort->isEnabled());
  EXPECT_FALSE(tabs->ButtonOpen->isEnabled());
  EXPECT_TRUE(tabs->ButtonClose->isEnabled());
  EXPECT_TRUE(tabs->ButtonCloseConnection->isEnabled());

  // Closed and opened again: the packet goes out once more, no second server is started.
  tabs->ButtonCloseConnection->click();
  EXPECT_FALSE(tabs->TCPClientGate.Connected());
  EXPECT_EQ(form->DaliCom().Client(), nullptr);
  EXPECT_TRUE(tabs->RadioGroupInterface->isEnabled());
  EXPECT_TRUE(tabs->ComboBoxPort->isEnabled());
  ClickOpen();
  ASSERT_TRUE(errors.empty()) << errors.front();
  ASSERT_TRUE(WaitUntil([&] { return RecordLines().size() >= 3; }));
  EXPECT_EQ(RecordLines(),
            QStringList({"start", "config " + Hex(expected), "config " + Hex(expected)}));
  EXPECT_TRUE(tabs->TCPClientGate.Connected());
}

TEST_F(TabsFrameConnectionTest, BareServerNameIsFoundBesideTheConfigurator) {
  MakeForm();
  UseFakeServer();
  BusServerLaunch launch = tabs->BusServerLaunchSettings();
  launch.program = "lumetra_fake_bus_server";  // not in the working directory below
  tabs->SetBusServerLaunch(launch);
  const QString previous = QDir::currentPath();
  QDir::setCurrent(dir.path());
  ClickOpen();
  QDir::setCurrent(previous);
  ASSERT_TRUE(errors.empty()) << errors.front();
  EXPECT_GT(serverPid, 0);
  EXPECT_TRUE(tabs->TCPClientGate.Connected());
}

TEST_F(TabsFrameConnectionTest, WifiPacketCarriesAddressAndPortButTheGateStaysLocal) {
  MakeForm();
  UseFakeServer();
  tabs->RadioGroupInterface->Item(kInterfaceWifi)->click();
  EXPECT_FALSE(tabs->ComboBoxPort->isEnabled());
  EXPECT_TRUE(tabs->EditIPAddress->isEnabled());
  tabs->EditIPAddress->setText("127.0.0.9");
  tabs->EditPort->setText("4000");
  ClickOpen();
  ASSERT_TRUE(errors.empty()) << errors.front();
  ASSERT_TRUE(WaitUntil([&] { return RecordLines().size() >= 2; }));
  EXPECT_EQ(RecordLines()[1],
            "config " + Hex(BuildConfigPacket(kInterfaceWifi, "", "127.0.0.9", "4000")));
  EXPECT_EQ(tabs->TCPClientGate.Host(), "127.0.0.1");
  EXPECT_EQ(tabs->TCPClientGate.Port(), base + 1);
}

TEST_F(TabsFrameConnectionTest, ControlUnitGateIsAtPortPlusOneAndNothingIsStarted) {
  LoopbackPeer unit("127.0.0.5");
  MakeForm({"Hala", "127.0.0.5", std::to_string(unit.Port() - 1)});
  UseFakeServer();
  ClickOpen();
  ASSERT_TRUE(errors.empty()) << errors.front();
  EXPECT_EQ(serverPid, 0);
  EXPECT_FALSE(tabs->TCPClientConfig.Connected());
  EXPECT_TRUE(RecordLines().isEmpty());
  ASSERT_TRUE(unit.WaitForConnections(1, 2s));
  EXPECT_EQ(tabs->TCPClientGate.Host(), "127.0.0.5");

  uint8_t reply[5];
  EXPECT_EQ(Exchange(0xFF, 0x05, reply), kExchangeReplied);
  EXPECT_EQ(unit.Requests(), (std::vector<Frame>{{0x83, 0x00, 0xFF, 0x05, 0x83 ^ 0xFF ^ 0x05}}));
}

TEST_F(TabsFrameConnectionTest, RefusedInputStartsNothingAndSaysWhy) {
  const struct {
    int interfaceIndex;
    const char* serial;
    const char* ip;
    const char* port;
    const char* message;
  } cases[] = {
      {kInterfaceUsb, "COM1234", "", "", "Názov sériového portu \"COM1234\" je dlhší ako 6 znakov"},
      {kInterfaceWifi, "", "127.000.000.00001", "4000",
       "IP adresa \"127.000.000.00001\" je dlhšia ako 16 znakov"},
      {kInterfaceWifi, "", "127.0.0.9", "70000", "Port 70000 je mimo rozsahu 0 až 65535"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    errors.clear();
    MakeForm();
    UseFakeServer();
    tabs->RadioGroupInterface->Item(c.interfaceIndex)->click();
    tabs->ComboBoxPort->setEditText(c.serial);
    tabs->EditIPAddress->setText(c.ip);
    tabs->EditPort->setText(c.port);
    ClickOpen();
    EXPECT_EQ(errors, std::vector<std::string>{c.message});
    EXPECT_EQ(serverPid, 0);
    EXPECT_TRUE(RecordLines().isEmpty());
    EXPECT_FALSE(tabs->TCPClientGate.Connected());
    EXPECT_TRUE(tabs->ButtonOpen->isEnabled());
    EXPECT_TRUE(tabs->RadioGroupInterface->isEnabled());
  }
}

TEST_F(TabsFrameConnectionTest, ConnectFailuresAreReportedAndLeaveTheControlsAlone) {
  // A control unit that is not there.
  MakeForm({"Hala", "127.0.0.6", std::to_string(FreePortPair() - 1)});
  ClickOpen();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].rfind("Nepodarilo sa pripojiť k 127.0.0.6:", 0), 0u) << errors[0];
  EXPECT_TRUE(tabs->ButtonOpen->isEnabled());
  EXPECT_FALSE(tabs->ButtonClose->isEnabled());

  // A bus server that cannot be started.
  errors.clear();
  MakeForm();
  BusServerLaunch launch;
  launch.program = dir.filePath("missing/LumetraDaliBusServer");
  launch.portBase = FreePortPair();
  tabs->SetBusServerLaunch(launch);
  ClickOpen();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].rfind("Nepodarilo sa spustiť program", 0), 0u) << errors[0];
  EXPECT_FALSE(tabs->TCPClientConfig.Connected());
}

TEST_F(TabsFrameConnectionTest, InterfaceChoiceIsLockedWhileGateOrMonitorIsOpen) {
  LoopbackPeer gate("127.0.0.5"), monitor("127.0.0.5");
  MakeForm();
  tabs->RadioGroupInterface->Item(kInterfaceControlUnit)->click();
  tabs->EditIPAddress->setText("127.0.0.5");
  tabs->EditPort->setText(QString::number(gate.Port() - 1));
  ClickOpen();
  ASSERT_TRUE(errors.empty()) << errors.front();

  // The monitor's own start arrives with the monitor page; its connection behaves the same.
  tabs->TCPClientMonitor.SetHost("127.0.0.5");
  tabs->TCPClientMonitor.SetPort(monitor.Port());
  tabs->TCPClientMonitor.Connect();
  EXPECT_TRUE(tabs->ButtonStopMonitor->isEnabled());

  tabs->ButtonClose->click();
  EXPECT_TRUE(tabs->ButtonOpen->isEnabled());
  EXPECT_FALSE(tabs->ButtonCloseConnection->isEnabled());
  EXPECT_FALSE(tabs->RadioGroupInterface->isEnabled());  // the monitor still runs
  EXPECT_FALSE(tabs->EditIPAddress->isEnabled());

  tabs->ButtonStopMonitor->click();
  EXPECT_FALSE(tabs->TCPClientMonitor.Connected());
  EXPECT_FALSE(tabs->ButtonStopMonitor->isEnabled());
  EXPECT_TRUE(tabs->RadioGroupInterface->isEnabled());
  EXPECT_FALSE(tabs->ComboBoxPort->isEnabled());  // "Riadiaca jednotka" needs address and port
  EXPECT_TRUE(tabs->EditIPAddress->isEnabled());
  EXPECT_TRUE(tabs->EditPort->isEnabled());
}

TEST_F(TabsFrameConnectionTest, GateLostOnAWorkerThreadBringsTheControlsBackAndTellsTheUser) {
  LoopbackPeer unit("127.0.0.5");
  MakeForm({"Hala", "127.0.0.5", std::to_string(unit.Port() - 1)});
  ClickOpen();
  ASSERT_TRUE(tabs->TCPClientGate.Connected());

  unit.CloseAfter(1);
  std::atomic<int> result{-1};
  std::thread worker([&] {
    uint8_t reply[5];
    result = Exchange(0x0B, 0x91, reply);
  });
  // The user interface keeps serving the worker's hand-over while it waits.
  EXPECT_TRUE(WaitUntil([&] { return result.load() != -1; }));
  worker.join();
  EXPECT_EQ(result.load(), kExchangeLost);
  EXPECT_TRUE(WaitUntil([&] { return tabs->ButtonOpen->isEnabled(); }));
  EXPECT_FALSE(tabs->ButtonClose->isEnabled());
  EXPECT_TRUE(tabs->RadioGroupInterface->isEnabled());
  EXPECT_EQ(form->DaliCom().Client(), nullptr);
  EXPECT_TRUE(WaitUntil(
      [&] { return form->statusBar()->currentMessage() == "Spojenie s DALI bolo prerušené"; }));

  // Without a gate the next exchange sends nothing and says so.
  uint8_t reply[5];
  EXPECT_EQ(Exchange(0x0B, 0x91, reply), kExchangeNotConnected);
  EXPECT_TRUE(WaitUntil(
      [&] { return form->statusBar()->currentMessage() == "Spojenie s DALI nie je otvorené"; }));
}

TEST_F(TabsFrameConnectionTest, GateLostUnderAWorkerWhileTheUserInterfaceWaitsForTheLine) {
  // The worker's exchange holds the line while the user interface queues behind it (a right-click,
  // an editor's button); then the gateway goes. Neither thread may wait for the other.
  LoopbackPeer unit("127.0.0.5");
  unit.SetResponder([](const Frame&) { return std::nullopt; });
  MakeForm({"Hala", "127.0.0.5", std::to_string(unit.Port() - 1)});
  form->DaliCom().SetReplyTimeout(10s);
  ClickOpen();
  ASSERT_TRUE(tabs->TCPClientGate.Connected());

  std::atomic<int> workerResult{-1};
  std::thread worker([&] {
    uint8_t reply[5];
    workerResult = Exchange(0x0B, 0x91, reply);
  });
  ASSERT_TRUE(unit.WaitForRequests(1, 2s));
  std::thread hangup([&] {
    std::this_thread::sleep_for(100ms);
    unit.Hangup();
  });
  const auto start = std::chrono::steady_clock::now();
  uint8_t reply[5];
  const int uiResult = Exchange(0x0B, 0xA0, reply);
  const auto waited = std::chrono::steady_clock::now() - start;
  hangup.join();
  worker.join();
  EXPECT_EQ(workerResult.load(), kExchangeLost);
  EXPECT_EQ(uiResult, kExchangeNotConnected);
  EXPECT_LT(waited, 5s);
  EXPECT_TRUE(WaitUntil([&] { return tabs->ButtonOpen->isEnabled(); }));
  EXPECT_EQ(form->DaliCom().Client(), nullptr);
}

}  // namespace
}  // namespace lumetra
