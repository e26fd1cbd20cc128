// lumetra-cli against the window: the demo line commissioned by the tool through the bus server
// gives the document the window's own job gives, report --plan prints the plan the window prints
// for the opened document, and trace decode shows a recording's lines as the monitor page shows
// them under the same filter.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>
#include <filesystem>
#include <regex>

#include "ProgramRun.h"
#include "ServerProcess.h"
#include "commissioning/AddressFrame.h"
#include "documents/ConfigDocument.h"
#include "documents/DocumentFixture.h"
#include "documents/ReportSheets.h"
#include "model/KindImage.h"
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

// Each of the document's devices at a place of its own, far from the plan's default grid.
void Place(TConfig& table, uint8_t slot, int top, int left) {
  table.SetCurrentSlot(slot);
  table.SetTop(top);
  table.SetLeft(left);
}

TEST_F(CliWindowTest, ReportPlanPrintsThePlanTheWindowPrintsForTheOpenedDocument) {
  for (const char* tool : {"/usr/bin/pdftotext", "/usr/bin/pdfinfo", "/usr/bin/pdfimages"}) {
    if (::access(tool, X_OK) != 0) GTEST_SKIP() << tool << " (poppler-utils)";
  }
  TBalastConfig gear;
  TControllerConfig devices;
  for (uint8_t a : {0, 5, 12}) testing::FillGear(gear, a);
  testing::FillDevice(devices, 2, kKindSwitch);
  testing::FillDevice(devices, 7, kKindOptoRelay);
  Place(gear, 0, 40, 30);
  Place(gear, 5, 300, 700);
  Place(gear, 12, 900, 1200);
  Place(devices, 2, 500, 100);
  Place(devices, 7, 1000, 1400);
  const std::string document = folder.Path("hala.dcf");
  SaveDocument(document, gear, devices);

  const LocalTime before = CurrentLocalTime();
  const ProgramResult cli = RunCli({"report", document, "--pdf", folder.Path("plan"), "--plan"});
  const LocalTime after = CurrentLocalTime();
  ASSERT_EQ(cli.exitCode, 0) << cli.err;
  const std::string pdf = folder.Path("plan.pdf");
  EXPECT_EQ(cli.out, "PDF bolo uložené: " + pdf + "\n");
  auto run = [](const char* tool, std::vector<std::string> arguments) {
    ProgramRun r;
    r.program = tool;
    r.arguments = std::move(arguments);
    const ProgramResult result = RunProgram(r);
    EXPECT_EQ(result.exitCode, 0) << tool << ": " << result.err;
    return result.out;
  };

  // One sheet: the legend at its left, the date and time of printing at its right.
  EXPECT_NE(run("/usr/bin/pdfinfo", {pdf}).find("\nPages:           1\n"), std::string::npos);
  std::vector<std::string> shown;
  for (const std::string& line : SplitLines(run("/usr/bin/pdftotext", {"-layout", pdf, "-"}))) {
    if (!Collapsed(line).empty()) shown.push_back(Collapsed(line));
  }
  ASSERT_EQ(shown.size(), 2u) << ::testing::PrintToString(shown);
  const std::regex time(" \\d\\d:\\d\\d:\\d\\d$");
  EXPECT_EQ(shown[0].rfind(Collapsed(kPlanLegend1) + " ", 0), 0u) << shown[0];
  EXPECT_EQ(shown[1].rfind(Collapsed(kPlanLegend2) + " ", 0), 0u) << shown[1];
  bool dated = false;
  for (const LocalTime& now : {before, after}) {
    const std::string date = LayOutPlan(4000, 6000, now).date;
    dated = dated || shown[0].ends_with(" " + date);
  }
  EXPECT_TRUE(dated) << shown[0];
  EXPECT_TRUE(std::regex_search(shown[1], time)) << shown[1];

  // The picture on the sheet is the window's: the form opens the same document and draws the
  // plan that "Tlač" prints on "Rozmiestnenie", of the lights page and of the control devices
  // page alike.
  run("/usr/bin/pdfimages", {"-png", pdf, folder.Path("obrazok")});
  const QImage printed(QString::fromStdString(folder.Path("obrazok-000.png")));
  ASSERT_EQ(printed.size(), QSize(1500, 1100));
  MakeForm({}, TDaliCom::kReplyTimeout);
  form->show();
  form->OpenDocument(document);
  tabs->Pages->setCurrentWidget(tabs->LightsPage);
  tabs->RadioButtonPositions->click();
  QImage lightsPlan;
  tabs->DrawPlan(lightsPlan);
  tabs->Pages->setCurrentWidget(tabs->ControllersPage);
  tabs->RadioButtonCtrlPositions->click();
  QImage devicesPlan;
  tabs->DrawPlan(devicesPlan);
  ASSERT_FALSE(lightsPlan.isNull());
  EXPECT_EQ(devicesPlan, lightsPlan);
  // The sheet's picture went through the PDF writer's JPEG: the same pixels within its error.
  ASSERT_EQ(printed.size(), lightsPlan.size());
  int worst = 0;
  for (int y = 0; y < printed.height(); ++y) {
    for (int x = 0; x < printed.width(); ++x) {
      worst = std::max(worst, std::abs(qGray(printed.pixel(x, y)) - qGray(lightsPlan.pixel(x, y))));
    }
  }
  EXPECT_LE(worst, 48);

  // The devices lie where the document puts them: an ellipse for control gear (its box's corner
  // blank, its left and right sides inked), a rectangle for a control device.
  for (const auto& [top, left] : {std::pair{40, 30}, {300, 700}, {900, 1200}}) {
    EXPECT_GT(qGray(printed.pixel(left, top)), 192) << left << "," << top;
    EXPECT_LT(qGray(printed.pixel(left, top + 12)), 64) << left << "," << top;
    EXPECT_LT(qGray(printed.pixel(left + 74, top + 12)), 64) << left << "," << top;
  }
  for (const auto& [top, left] : {std::pair{500, 100}, {1000, 1400}}) {
    EXPECT_LT(qGray(printed.pixel(left, top)), 64) << left << "," << top;
    EXPECT_LT(qGray(printed.pixel(left + 74, top + 24)), 64) << left << "," << top;
  }

  // An installation without devices has no plan: nothing to print, and no file.
  TBalastConfig noGear;
  TControllerConfig noDevices;
  SaveDocument(folder.Path("prazdna.dcf"), noGear, noDevices);
  const ProgramResult empty =
      RunCli({"report", folder.Path("prazdna.dcf"), "--pdf", folder.Path("prazdna.pdf"), "--plan"});
  EXPECT_EQ(empty.exitCode, 1);
  EXPECT_NE(empty.err.find("lumetra-report-pdf: Nie je čo tlačiť: dokument neobsahuje žiadne "
                           "zariadenie\n"),
            std::string::npos)
      << empty.err;
  EXPECT_TRUE(empty.out.empty()) << empty.out;
  EXPECT_FALSE(std::filesystem::exists(folder.Path("prazdna.pdf")));
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
