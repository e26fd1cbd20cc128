// lumetra-cli against the window: the demo line commissioned by the tool through the bus server
// gives the document the window's own job gives, and trace decode shows a recording's lines as
// the monitor page shows them under the same filter.
#include <gtest/gtest.h>

#include <regex>

#include "ProgramRun.h"
#include "ServerProcess.h"
#include "commissioning/AddressFrame.h"
#include "documents/ConfigDocument.h"
#include "monitor/MonitorFrame.h"
#include "monitor/MonitorLines.h"
#include "support/ConfiguratorFixture.h"
#include "support/QtWait.h"
#include "support/TempFolder.h"
#include "ui/ConfiguratorForm.h"
#include "ui/TabsFrame.h"

namespace lumetra::test {
namespace {

// The document without the moment it was saved.
std::string Timeless(const std::string& document) {
  return std::regex_replace(document, std::regex(" created=\"[^\"]*\""), "");
}

class CliWindowTest : public ConfiguratorFixture {
 protected:
  void SetUp() override {
    ConfiguratorFixture::SetUp();
    folder.SetUp();
  }
  void TearDown() override {
    folder.TearDown();
    ConfiguratorFixture::TearDown();
  }
  struct Folder : TempFolder {
    void TestBody() override {}
    using TempFolder::Path;
    using TempFolder::Read;
    using TempFolder::SetUp;
    using TempFolder::TearDown;
  } folder;
};

TEST_F(CliWindowTest, CommissioningTheDemoLineGivesTheDocumentOfTheWindowsJob) {
  // The window: "Otvoriť" starts its bus server, "Adresovať pridané" for both populations.
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
  tabs->Pages->setCurrentWidget(tabs->AddressPage);
  tabs->RadioGroupBalasts->Item(kActionAddressAdded)->click();
  tabs->RadioGroupControllers->Item(kActionAddressAdded)->click();
  tabs->ButtonExecute->click();
  ASSERT_TRUE(WaitUntil(
      [&] { return tabs->GateThread().Idle() && !tabs->ButtonCancelAddressing->isEnabled(); },
      20000));
  ASSERT_EQ(form->ProgressView()->LabelProgress->text(), "Adresovanie zariadení ukončené");
  const std::string windowDocument = folder.Path("window.dcf");
  SaveDocument(windowDocument, form->BalastConfig(), form->ControllerConfig());

  // The tool, with a bus server of its own that it starts and stops.
  const uint16_t base = ServerProcess::FreeBase();
  const ProgramResult cli = RunCli({"commission", "--gear", "add", "--devices", "add", "--server",
                                    LUMETRA_BUILD_DIR "/LumetraDaliBusServer", "--port-base",
                                    std::to_string(base), "-o", folder.Path("cli")});
  ASSERT_EQ(cli.exitCode, 0) << cli.out << cli.err;
  EXPECT_EQ(SplitLines(cli.out),
            (std::vector<std::string>{
                "Adresovanie zariadení ukončené",
                "Svietidlá: 12 (A 00, A 01, A 02, A 03, A 04, A 05, A 06, A 07, A 08, A 09, A 10, "
                "A 12)",
                "Ovládače: 8 (C 00, C 01, C 02, C 03, C 04, C 05, C 06, C 07)",
                "Kontrola po adresovaní: bez chýb",
                "Konfigurácia uložená do súboru \"" + folder.Path("cli.dcf") + "\""}));
  // Progress as plain lines, since standard error is no terminal here, and the server's own
  // lines there too.
  EXPECT_NE(cli.err.find("Prideľovanie nových adries\n"), std::string::npos) << cli.err;
  EXPECT_NE(cli.err.find("  svietidlo A 12\n"), std::string::npos) << cli.err;
  EXPECT_NE(cli.err.find("počúva na 127.0.0.1: konfigurácia " + std::to_string(base)),
            std::string::npos)
      << cli.err;
  EXPECT_NE(cli.err.find("končí"), std::string::npos) << "the tool stops the server it started";

  EXPECT_EQ(Timeless(folder.Read(folder.Path("cli.dcf"))), Timeless(folder.Read(windowDocument)));
  const ProgramResult diff = RunCli({"document", "diff", windowDocument, folder.Path("cli.dcf")});
  EXPECT_EQ(diff.exitCode, 0) << diff.out;
}

TEST_F(CliWindowTest, CommissioningWithoutAServerSaysWhyAndSavesNothing) {
  const ProgramResult cli = RunCli({"commission", "--gear", "find", "--devices", "none", "--server",
                                    folder.Path("nothing-here"), "--port-base",
                                    std::to_string(ServerProcess::FreeBase()), "-o",
                                    folder.Path("x.dcf")});
  EXPECT_EQ(cli.exitCode, 1);
  EXPECT_NE(cli.err.find("Nepodarilo sa spustiť program " + folder.Path("nothing-here")),
            std::string::npos)
      << cli.err;
  EXPECT_FALSE(std::filesystem::exists(folder.Path("x.dcf")));
}

// Without their time part, which the page stamps when a record arrives.
std::vector<std::string> WithoutTimes(std::vector<std::string> lines) {
  for (std::string& line : lines) line.erase(line.size() - 9);
  return lines;
}

TEST_F(CliWindowTest, TraceDecodeShowsTheLinesTheMonitorPageShowsUnderTheSameFilter) {
  MakeForm({}, TDaliCom::kReplyTimeout);
  TMonitorFrame* monitor = form->MonitorView();
  // Frames to single devices, groups, everybody and nobody in particular, most with an answer.
  const std::vector<MonitorRecord> records = {
      {0x63, 0, 0x0B, 0x90, 0}, {0x62, 0, 0, 0xFF, 0},  // A 05 QUERY, answer
      {0x63, 0, 0x0D, 0x05, 0},                          // A 06
      {0x63, 0, 0x83, 0x05, 0}, {0x63, 0, 0x85, 0x00, 0},  // GA 01, GA 02
      {0x63, 0, 0xFF, 0x05, 0}, {0x63, 0, 0xA1, 0x00, 0},  // A ALL, TERMINATE
      {0x63, 0, 0x0D, 0x99, 0}, {0x66, 0, 0, 0x07, 0},      // A 06 and its answer
      {0x64, 0x02, 0x03, 0x07, 0}, {0x62, 0, 0, 0x21, 0},   // C 02, answer
      {0x64, 0x03, 0x04, 0x00, 0}, {0x62, 0, 0, 0x10, 0},   // C 03, answer
      {0x64, 0x83, 0x05, 0x01, 0}, {0x64, 0xFF, 0x02, 0x00, 0},  // GC 03, C ALL
      {0x64, 0xFC, 0x00, 0x01, 0}, {0x67, 0, 0, 0x02, 0},        // unaddressed, a bus error
  };
  for (const MonitorRecord& r : records) monitor->AddRecord(r);
  const std::string recording = folder.Path("all.lmm");
  SaveMonitorLines(recording, monitor->Lines());
  std::vector<std::string> recorded;
  for (size_t i = 0; i < monitor->Lines().Count(); ++i) {
    recorded.emplace_back(monitor->Lines().Line(i));
  }
  ASSERT_EQ(recorded.size(), records.size());
  // Without a filter the recording comes back as it is, times included.
  const ProgramResult all = RunCli({"trace", "decode", recording});
  EXPECT_EQ(all.exitCode, 0) << all.err;
  EXPECT_EQ(SplitLines(all.out), recorded);

  const struct {
    const char* what;
    std::function<void()> filterOnThePage;
    std::vector<std::string> arguments;
  } cases[] = {
      {"nezobrazovať A 05 and GA 01",
       [&] {
         tabs->CheckBoxBalastFilter->click();
         tabs->CheckBoxA[5]->click();
         tabs->CheckBoxG[1]->click();
       },
       {"--gear", "5", "--gear-groups", "1", "--hide"}},
      {"zobrazovať A 05, C 02 and GC 03 with the broadcasts",
       [&] {
         tabs->RadioGroupBalast->Item(1)->click();
         tabs->CheckBoxG[1]->click();  // GA 01 no longer
         tabs->CheckBoxBalastAll->click();
         tabs->CheckBoxControllerFilter->click();
         tabs->RadioGroupController->Item(1)->click();
         tabs->CheckBoxC[2]->click();
         tabs->CheckBoxGC[3]->click();
         tabs->CheckBoxControllerAll->click();
       },
       {"--gear", "5", "--devices", "2", "--device-groups", "3", "--broadcasts"}},
  };
  for (const auto& c : cases) {
    c.filterOnThePage();
    monitor->ClearLines();
    for (const MonitorRecord& r : records) monitor->AddRecord(r);
    std::vector<std::string> page;
    for (size_t i = 0; i < monitor->Lines().Count(); ++i) page.emplace_back(monitor->Lines().Line(i));
    ASSERT_LT(page.size(), records.size()) << c.what << ": the filter hides something";
    ASSERT_GT(page.size(), 0u) << c.what;
    std::vector<std::string> args = {"trace", "decode", recording};
    args.insert(args.end(), c.arguments.begin(), c.arguments.end());
    const ProgramResult decoded = RunCli(args);
    EXPECT_EQ(decoded.exitCode, 0) << c.what << decoded.err;
    EXPECT_EQ(WithoutTimes(SplitLines(decoded.out)), WithoutTimes(page)) << c.what;
  }
}

}  // namespace
}  // namespace lumetra::test
