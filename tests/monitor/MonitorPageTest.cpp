// The page "DALI Monitor" on the real main window: where "Štart" connects, the buttons of a running
// and a stopped monitor, record files through the page's dialogs, the filter controls, a connection
// lost under the reader, and the live stream of LumetraDaliBusServer end to end.
#include <gtest/gtest.h>
#include <signal.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include "ServerProcess.h"
#include "buslink/DaliCom.h"
#include "monitor/MonitorFrame.h"
#include "support/ConfiguratorFixture.h"
#include "support/LoopbackPeer.h"
#include "support/QtWait.h"
#include "ui/ConfiguratorForm.h"
#include "ui/LumetraApplication.h"
#include "ui/TabsFrame.h"

namespace lumetra {
namespace {

using test::WaitUntil;

using namespace std::chrono_literals;
using test::LoopbackPeer;

std::vector<uint8_t> Bytes(std::initializer_list<MonitorRecord> records) {
  std::vector<uint8_t> bytes;
  for (const MonitorRecord& r : records) bytes.insert(bytes.end(), r.begin(), r.end());
  return bytes;
}

class MonitorPageTest : public test::ConfiguratorFixture {
 protected:
  void MakeForm(const std::vector<std::string>& arguments = {}) {
    ConfiguratorFixture::MakeForm(arguments, 2000ms);
    monitor = form->MonitorView();
  }
  // The monitor of a control unit at 127.0.0.5 whose monitor channel is `peer`.
  void MakeControlUnitForm(const LoopbackPeer& peer) {
    MakeForm({"Hala", "127.0.0.5", std::to_string(peer.Port() - 2)});
  }
  bool Running() const {
    return !tabs->ButtonMonitorStart->isEnabled() && tabs->ButtonMonitorStop->isEnabled() &&
           tabs->ButtonStopMonitor->isEnabled() && !tabs->ButtonMonitorSave->isEnabled() &&
           !tabs->ButtonMonitorOpen->isEnabled();
  }
  bool Stopped() const {
    return tabs->ButtonMonitorStart->isEnabled() && !tabs->ButtonMonitorStop->isEnabled() &&
           !tabs->ButtonStopMonitor->isEnabled() && tabs->ButtonMonitorSave->isEnabled() &&
           tabs->ButtonMonitorOpen->isEnabled();
  }
  QString Line(size_t i) const {
    const std::string_view line = monitor->Lines().Line(i);
    return QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
  }
  // The lines without their time part, which is checked by its pattern.
  QStringList Lines() const {
    QStringList lines;
    static const QRegularExpression time("\t\\d\\d:\\d\\d:\\d\\d$");
    for (size_t i = 0; i < monitor->Lines().Count(); ++i) {
      QString line = Line(i);
      EXPECT_TRUE(time.match(line).hasMatch()) << line.toStdString();
      lines << line.left(line.size() - 9);
    }
    return lines;
  }
  // Answers a file dialog as a user would, once it is open.
  void ChooseInDialog(QFileDialog* dialog, const QString& path) {
    QTimer::singleShot(0, dialog, [dialog, path] {
      // Typed into the name field: selectFile leaves that alone while it has the focus.
      auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
      ASSERT_NE(name, nullptr);
      name->setText(path);
      static_cast<QDialog*>(dialog)->accept();  // QFileDialog checks the name as on "Save"
    });
  }

  TMonitorFrame* monitor = nullptr;
};

TEST_F(MonitorPageTest, ControlUnitMonitorIsAtPortPlusTwoAndStartsAndStopsAgain) {
  LoopbackPeer unit("127.0.0.5");
  MakeControlUnitForm(unit);
  EXPECT_TRUE(Stopped());

  for (int round = 1; round <= 2; ++round) {
    tabs->ButtonMonitorStart->click();
    ASSERT_TRUE(errors.empty()) << errors.front();
    EXPECT_EQ(tabs->TCPClientMonitor.Host(), "127.0.0.5");
    EXPECT_EQ(tabs->TCPClientMonitor.Port(), unit.Port());
    ASSERT_TRUE(unit.WaitForConnections(round, 3s));
    EXPECT_TRUE(Running());
    EXPECT_FALSE(tabs->RadioGroupInterface->isEnabled());

    MonitorRecord record{0x63, 0, 0x0B, 0x05, 0};
    record[2] = static_cast<uint8_t>(2 * round + 1);
    unit.Send(Bytes({record, {0x62, 0, 0, 0xFF, 0}}));
    ASSERT_TRUE(WaitUntil([&] { return monitor->Lines().Count() == 2u * round; })) << round;

    // "Monitor stop" on the interface page is the same as "Stop".
    (round == 1 ? tabs->ButtonMonitorStop : tabs->ButtonStopMonitor)->click();
    EXPECT_FALSE(tabs->TCPClientMonitor.Connected());
    EXPECT_TRUE(Stopped());
    EXPECT_TRUE(tabs->RadioGroupInterface->isEnabled());
  }
  EXPECT_EQ(Lines(),
            QStringList({"\t0305\t\t\tA 01\tRECALL MAX LEVEL\t\t\t5", "\tFF\t\t\t\tAnswer\t255",
                         "\t0505\t\t\tA 02\tRECALL MAX LEVEL\t\t\t5", "\tFF\t\t\t\tAnswer\t255"}))
      << "the view keeps its lines over a stop";
}

TEST_F(MonitorPageTest, MonitorPortWrapsAtSixteenBits) {
  MakeForm({"Hala", "127.0.0.5", "65535"});
  tabs->ButtonMonitorStart->click();
  EXPECT_EQ(tabs->TCPClientMonitor.Port(), 1);
  ASSERT_EQ(errors.size(), 1u) << "nobody listens on port 1";
  EXPECT_NE(errors.front().find("127.0.0.5:1 "), std::string::npos) << errors.front();
  EXPECT_TRUE(Stopped());
}

TEST_F(MonitorPageTest, ConnectionLostUnderTheReaderStopsThePage) {
  auto unit = std::make_unique<LoopbackPeer>("127.0.0.5");
  MakeControlUnitForm(*unit);
  tabs->ButtonMonitorStart->click();
  ASSERT_TRUE(unit->WaitForConnections(1, 3s));
  unit->Send(Bytes({{0x67, 0, 0, 3, 0}}));
  ASSERT_TRUE(WaitUntil([&] { return monitor->Lines().Count() == 1; }));

  unit.reset();
  EXPECT_TRUE(WaitUntil([&] { return Stopped(); })) << "the reader noticed and the page stopped";
  EXPECT_FALSE(tabs->TCPClientMonitor.Connected());
  EXPECT_TRUE(errors.empty());
}

TEST_F(MonitorPageTest, ClosingTheWindowWhileRecordsPourInEndsAtOnce) {
  LoopbackPeer unit("127.0.0.5");
  MakeControlUnitForm(unit);
  tabs->ButtonMonitorStart->click();
  ASSERT_TRUE(unit.WaitForConnections(1, 3s));
  std::vector<uint8_t> burst;
  for (int i = 0; i < 2000; ++i) {
    const std::vector<uint8_t> one = Bytes({{0x63, 0, 0x01, static_cast<uint8_t>(i), 0}});
    burst.insert(burst.end(), one.begin(), one.end());
  }
  unit.Send(burst);
  ASSERT_TRUE(WaitUntil([&] { return monitor->Lines().Count() > 10; }));

  QElapsedTimer timer;
  timer.start();
  form.reset();
  EXPECT_LT(timer.elapsed(), 2000);
}

TEST_F(MonitorPageTest, SaveAppendsLmmAndOpenReplacesTheLines) {
  QTemporaryDir dir;
  // Made before any dialog looks at the folder, as a user's files are.
  QFile binary(dir.filePath("image.lmm"));
  ASSERT_TRUE(binary.open(QIODevice::WriteOnly));
  binary.write(QByteArray("\x89PNG\0\0", 6));
  binary.close();
  MakeForm();
  monitor->AddRecord({0x63, 0, 0x0B, 0x05, 0});
  monitor->AddRecord({0x62, 0, 0, 0xFF, 0});

  ChooseInDialog(tabs->SaveMonitorDialog, dir.filePath("trace"));
  tabs->ButtonMonitorSave->click();
  ASSERT_TRUE(errors.empty()) << errors.front();
  QFile saved(dir.filePath("trace.lmm"));
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  const QByteArray bytes = saved.readAll();
  const QList<QByteArray> lines = bytes.split('\n');
  ASSERT_EQ(lines.size(), 3);  // two lines and the empty rest after the last LF
  EXPECT_TRUE(lines[2].isEmpty());
  for (int i = 0; i < 2; ++i) {
    EXPECT_TRUE(lines[i].startsWith('\t')) << i;
    EXPECT_TRUE(lines[i].endsWith('\r')) << i;
    EXPECT_EQ(QString::fromLatin1(lines[i].chopped(1)), Line(static_cast<size_t>(i)));
  }

  monitor->ClearLines();
  monitor->AddLine("\tsomething else");
  ChooseInDialog(tabs->OpenMonitorDialog, dir.filePath("trace.lmm"));
  tabs->ButtonMonitorOpen->click();
  ASSERT_TRUE(errors.empty()) << errors.front();
  EXPECT_EQ(Lines(),
            QStringList({"\t0B05\t\t\tA 05\tRECALL MAX LEVEL\t\t\t5", "\tFF\t\t\t\tAnswer\t255"}));

  // A file that is not text is refused and the view keeps its lines.
  ChooseInDialog(tabs->OpenMonitorDialog, binary.fileName());
  tabs->ButtonMonitorOpen->click();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors.front().find("nie je to textový súbor"), std::string::npos) << errors.front();
  EXPECT_EQ(monitor->Lines().Count(), 2u);
}

TEST_F(MonitorPageTest, CheckAllBoxesSetEveryBoxAndItsFilterEntry) {
  MakeForm();
  tabs->CheckBoxBalastFilter->click();
  tabs->CheckBoxControllerFilter->click();
  const MonitorFilter& f = monitor->Filter();
  struct Case {
    QCheckBox* checkAll;
    std::vector<QCheckBox*> boxes;
    const uint8_t* entries;
  };
  const Case cases[] = {
      {tabs->CheckBoxBalastCheckAll,
       {tabs->CheckBoxA.begin(), tabs->CheckBoxA.end()},
       f.BalastAddressSelected.data()},
      {tabs->CheckBoxBalastGroupCheckAll,
       {tabs->CheckBoxG.begin(), tabs->CheckBoxG.end()},
       f.BalastGroupSelected.data()},
      {tabs->CheckBoxControllerCheckAll,
       {tabs->CheckBoxC.begin(), tabs->CheckBoxC.end()},
       f.ControllerAddressSelected.data()},
      {tabs->CheckBoxControllerGroupCheckAll,
       {tabs->CheckBoxGC.begin(), tabs->CheckBoxGC.end()},
       f.ControllerGroupSelected.data()},
  };
  for (const Case& c : cases) {
    for (bool checked : {true, false}) {
      c.checkAll->click();
      for (size_t i = 0; i < c.boxes.size(); ++i) {
        EXPECT_EQ(c.boxes[i]->isChecked(), checked) << c.checkAll->objectName().toStdString() << i;
        EXPECT_EQ(c.entries[i], checked ? 1 : 0) << c.checkAll->objectName().toStdString() << i;
      }
    }
  }
  EXPECT_EQ(tabs->findChild<QCheckBox*>("CheckBoxA63"), tabs->CheckBoxA[63]);
  EXPECT_EQ(tabs->findChild<QCheckBox*>("CheckBoxGC15"), tabs->CheckBoxGC[15]);
}

TEST_F(MonitorPageTest, FilterOffDisablesItsControlsButKeepsTheirStates) {
  MakeForm();
  const MonitorRecord toA05{0x63, 0, 0x0B, 0x90, 0};
  QWidget* controls[] = {
      tabs->RadioGroupBalast,  tabs->CheckBoxBalastCheckAll, tabs->CheckBoxBalastGroupCheckAll,
      tabs->CheckBoxBalastAll, tabs->CheckBoxA[5],           tabs->CheckBoxG[15]};
  for (QWidget* w : controls) EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
  EXPECT_TRUE(tabs->CheckBoxBalastFilter->isEnabled());
  EXPECT_FALSE(tabs->CheckBoxC[0]->isEnabled());

  tabs->CheckBoxBalastFilter->click();
  for (QWidget* w : controls) EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
  EXPECT_FALSE(tabs->CheckBoxC[0]->isEnabled()) << "the control device filter is separate";
  tabs->CheckBoxA[5]->click();
  monitor->AddRecord(toA05);
  EXPECT_EQ(monitor->Lines().Count(), 0u) << "nezobrazovať hides the checked address";

  tabs->CheckBoxBalastFilter->click();
  for (QWidget* w : controls) EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
  EXPECT_TRUE(tabs->CheckBoxA[5]->isChecked());
  monitor->AddRecord(toA05);
  EXPECT_EQ(monitor->Lines().Count(), 1u);

  tabs->CheckBoxBalastFilter->click();
  monitor->AddRecord(toA05);
  EXPECT_EQ(monitor->Lines().Count(), 1u) << "the same filtering as before";

  tabs->RadioGroupBalast->Item(1)->click();
  EXPECT_EQ(monitor->Filter().BalastShowSelected, 1);
  monitor->AddRecord(toA05);
  EXPECT_EQ(monitor->Lines().Count(), 2u) << "zobrazovať shows it";
  tabs->CheckBoxBalastAll->click();
  EXPECT_EQ(monitor->Filter().BalastShowAll, 1);
}

TEST_F(MonitorPageTest, PageShowsTheMonitorViewOnTop) {
  MakeForm();
  form->show();
  EXPECT_FALSE(monitor->isVisible());
  tabs->Pages->setCurrentWidget(tabs->DaliMonitorPage);
  EXPECT_TRUE(monitor->isVisible());
  EXPECT_FALSE(form->ItemPrint->isEnabled());
  EXPECT_EQ(monitor->geometry(),
            QRect(TConfiguratorForm::kViewLeft, 3, TConfiguratorForm::kViewWidth,
                  TConfiguratorForm::kFrameHeight));
  EXPECT_EQ(monitor->parentWidget()->children().last(), monitor) << "top of the stack";
  tabs->Pages->setCurrentWidget(tabs->InterfacePage);
  EXPECT_FALSE(monitor->isVisible());
}

// The whole way: "Štart" starts the bus server, frames sent through the gate come back decoded.
TEST_F(MonitorPageTest, BusServerTrafficIsShownDecoded) {
  MakeForm();
  const uint16_t base = test::ServerProcess::FreeBase();
  BusServerLaunch launch;
  launch.program = QString::fromStdString(test::ServerProcess::Executable());
  launch.arguments = {"--port-base", QString::number(base)};
  launch.portBase = base;
  tabs->SetBusServerLaunch(launch);

  tabs->ButtonMonitorStart->click();
  serverPid = tabs->BusServerProcessId();
  ASSERT_TRUE(errors.empty()) << errors.front();
  ASSERT_TRUE(Running());
  EXPECT_EQ(tabs->TCPClientMonitor.Port(), base + kMonitorChannel);
  tabs->ButtonOpen->click();
  ASSERT_TRUE(errors.empty()) << errors.front();

  uint8_t reply[5];
  auto exchange = [&](uint8_t kind, uint8_t b1, uint8_t b2, uint8_t b3) {
    uint8_t request[5] = {kind, b1, b2, b3, 0};
    return form->DaliCom().Exchange(reply, request);
  };
  // The server takes the monitor client in its own time: wait until its frames come through, and
  // until the last of them has (TERMINATE, harmless, numbered by its data byte).
  uint8_t probe = 0;
  ASSERT_TRUE(WaitUntil([&] {
    exchange(kGearFrame, 0, 0xA1, ++probe);
    return monitor->Lines().Count() > 0;
  }));
  const QString last = QString("\tA1%1").arg(probe, 2, 16, QChar('0')).toUpper();
  ASSERT_TRUE(WaitUntil([&] { return Line(monitor->Lines().Count() - 1).startsWith(last); }));
  tabs->ButtonMonitorClear->click();

  // Hidden by the filter: A 01 and the answer to its query.
  tabs->CheckBoxBalastFilter->click();
  tabs->CheckBoxA[1]->click();
  EXPECT_EQ(exchange(kGearFrame, 0, 0x03, 0x91), kExchangeReplied);
  EXPECT_EQ(exchange(kGearFrame, 0, 0x01, 0x91), kExchangeReplied);  // QUERY BALAST to A 00
  EXPECT_EQ(reply[3], 0xFF);
  EXPECT_EQ(exchange(kDeviceFrame, 3, 3, 0x42), kExchangeReplied);  // SET DTR of C 03
  EXPECT_EQ(exchange(kDeviceFrame, 3, 4, 0), kExchangeReplied);     // QUERY DTR
  EXPECT_EQ(reply[3], 0x42);
  // A broadcast is never shown under "nezobrazovať"; TERMINATE passes every filter.
  EXPECT_EQ(exchange(kGearFrame, 0, 0xFE, 0x00), kExchangeReplied);
  EXPECT_EQ(exchange(kGearFrame, 0, 0xA1, 0x00), kExchangeReplied);
  const QStringList expected = {
      "\t0191\t\t\tA 00\tQUERY BALAST\t145",
      "\tFF\t\t\t\tAnswer\t255",
      "\t030342\t\t\tC 03\tSET DTR\t\t66",
      "\t030400\t\t\tC 03\tQUERY DTR\t\t\t0",
      "\t42\t\t\t\tAnswer\t\t66",
      "\tA100\t\t\t\tTERMINATE\t\t\t0",
  };
  ASSERT_TRUE(WaitUntil([&] { return monitor->Lines().Count() >= 6; }))
      << Lines().join("\n").toStdString();
  QApplication::processEvents();
  EXPECT_EQ(Lines(), expected);

  tabs->ButtonMonitorStop->click();
  EXPECT_TRUE(Stopped());
  tabs->ButtonClose->click();
}

}  // namespace
}  // namespace lumetra
