// lumetra-cli as a process on real files: document check, show and diff, trace stats, the
// command line's usage errors, every command's help and the version of all three programs.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include <string>
#include <vector>

#include "ProgramRun.h"
#include "documents/ConfigDocument.h"
#include "documents/DeviceReports.h"
#include "documents/DocumentFixture.h"
#include "model/KindImage.h"
#include "monitor/MonitorDecoder.h"
#include "monitor/MonitorLines.h"
#include "ui/VersionInfo.h"

namespace lumetra::test {
namespace {

using testing::FillDevice;
using testing::FillGear;

// The 1-based line of the first occurrence of `text` in `document`.
int LineOf(const std::string& document, const std::string& text) {
  const size_t at = document.find(text);
  EXPECT_NE(at, std::string::npos) << text;
  return 1 + static_cast<int>(std::count(document.begin(), document.begin() + long(at), '\n'));
}

class CliDocumentTest : public TempFolder {
 protected:
  // Gear at 0, 5 and 12; a switch at 2 and an opto-relay at 7.
  void SetUp() override {
    TempFolder::SetUp();
    gear.SetPercentMode(0);
    for (uint8_t a : {0, 5, 12}) FillGear(gear, a);
    FillDevice(devices, 2, kKindSwitch);
    FillDevice(devices, 7, kKindOptoRelay);
    valid = Path("valid.dcf");
    SaveDocument(valid, gear, devices);
    text = Read(valid);
  }

  TBalastConfig gear;
  TControllerConfig devices;
  std::string valid;
  std::string text;
};

TEST_F(CliDocumentTest, CheckNamesTheElementAndLineOfEveryProblem) {
  const std::string minLevel = "<minlevel>" + std::to_string(90 + 5) + "</minlevel>";
  const int minLevelLine = LineOf(text, minLevel);
  std::string letter = text;
  letter.replace(letter.find(minLevel), minLevel.size(), "<minlevel>9x5</minlevel>");
  // Cut inside the second balast: the elements still open there are named with their lines.
  const size_t cut = text.find("<balast index=\"5\">") + 60;
  const int secondBalastLine = LineOf(text, "<balast index=\"5\">");
  std::string twice = text;
  const std::string address12 = "<deviceaddress>12</deviceaddress>";
  twice.replace(twice.find(address12), address12.size(), "<deviceaddress>5</deviceaddress>");
  std::string root = text;
  root.replace(root.find("<lumetraconfigurator"), 20, "<LumetraConfigurator");
  root.replace(root.rfind("</lumetraconfigurator>"), 22, "</LumetraConfigurator>");

  const struct {
    const char* what;
    std::string content;
    int exitCode;
    std::vector<std::string> messages;  // each must be in the output
  } cases[] = {
      {"valid", text, 0, {"valid.dcf: v poriadku (svietidlá: 3, ovládače: 2)"}},
      {"a letter in a number",
       letter,
       1,
       {"prvok \"minlevel\" na riadku " + std::to_string(minLevelLine) + ": \"9x5\""}},
      {"truncated",
       text.substr(0, cut),
       1,
       {"na riadku", "prvok \"balast\" z riadku " + std::to_string(secondBalastLine) +
                         " nie je ukončený",
        "prvok \"balasts\" z riadku", "prvok \"lumetraconfigurator\" z riadku 2"}},
      {"an address used twice",
       twice,
       1,
       {"prvok \"deviceaddress\" na riadku " + std::to_string(LineOf(twice, "<balast index=\"12\">") + 1) +
        ": adresa A 05 je už na riadku " + std::to_string(secondBalastLine)}},
      {"a root the program opens as an empty installation",
       root,
       1,
       {"koreňový prvok nie je \"lumetraconfigurator\""}},
  };
  for (const auto& c : cases) {
    const std::string file = WriteFile("valid.dcf", c.content);
    const ProgramResult r = RunCli({"document", "check", file});
    EXPECT_EQ(r.exitCode, c.exitCode) << c.what << "\n" << r.out << r.err;
    for (const std::string& m : c.messages) {
      EXPECT_NE(r.out.find(m), std::string::npos) << c.what << ": " << m << "\n" << r.out;
    }
  }

  // The same in JSON, with the element and the line as fields of their own.
  WriteFile("letter.dcf", letter);
  const ProgramResult json = RunCli({"document", "check", Path("letter.dcf"), "--json"});
  EXPECT_EQ(json.exitCode, 1);
  EXPECT_EQ(json.out.rfind("{\"file\":\"" + Path("letter.dcf") + "\",\"valid\":false,\"problems\":"
                           "[{\"element\":\"minlevel\",\"line\":" + std::to_string(minLevelLine) +
                           ",\"message\":", 0),
            0u)
      << json.out;
  WriteFile("valid.dcf", text);
  EXPECT_EQ(RunCli({"document", "check", valid, "--json"}).out,
            "{\"file\":\"" + valid + "\",\"valid\":true,\"problems\":[]}\n");
}

TEST_F(CliDocumentTest, DiffNamesEachChangedFieldOfEachDevice) {
  const ProgramResult same = RunCli({"document", "diff", valid, valid});
  EXPECT_EQ(same.exitCode, 0) << same.err;
  EXPECT_EQ(same.out, "Dokumenty sa zhodujú\n");

  // The copy: a level and a group changed, one gear gone, a control device added.
  TBalastConfig otherGear;
  TControllerConfig otherDevices;
  LoadDocument(valid, otherGear, otherDevices);
  otherGear.SetPercentMode(0);
  otherGear.SetCurrentSlot(5);
  const uint32_t maxLevel = otherGear.MaxLevel();
  otherGear.SetMaxLevel(200);
  otherGear.SetCurrentSlot(12);
  otherGear.SetShortAddress(255);  // the slot is free again
  otherDevices.SetCurrentSlot(2);
  const uint32_t group3 = otherDevices.Groups(3);
  otherDevices.SetGroups(3, group3 == 1 ? 0 : 1);
  FillDevice(otherDevices, 9, kKindSwitch);
  const std::string changed = Path("changed.dcf");
  SaveDocument(changed, otherGear, otherDevices);

  const auto shown = [](uint32_t v) { return v == 255 ? std::string("(neprečítané)") : std::to_string(v); };
  const ProgramResult diff = RunCli({"document", "diff", valid, changed});
  EXPECT_EQ(diff.exitCode, 1) << diff.err;
  EXPECT_EQ(SplitLines(diff.out),
            (std::vector<std::string>{"A 05 maxlevel: " + shown(maxLevel) + " → 200",
                                      "A 12: len v " + valid,
                                      "C 02 group 3: " + shown(group3) + " → " +
                                          (group3 == 1 ? "0" : "1"),
                                      "C 09: len v " + changed}));

  const ProgramResult missing = RunCli({"document", "diff", valid, Path("none.dcf")});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find("none.dcf"), std::string::npos) << missing.err;
}

TEST_F(CliDocumentTest, ShowListsEveryDeviceAsTextAndJson) {
  const ProgramResult show = RunCli({"document", "show", valid});
  ASSERT_EQ(show.exitCode, 0) << show.err;
  std::vector<std::string> addresses;
  for (const std::string& line : SplitLines(show.out)) {
    if (line.size() > 4 && (line[0] == 'A' || line[0] == 'C') && line[1] == ' ' &&
        isdigit(static_cast<unsigned char>(line[2])))
      addresses.push_back(line.substr(0, 4));
  }
  EXPECT_EQ(addresses, (std::vector<std::string>{"A 00", "A 05", "A 12", "C 02", "C 07"}));
  EXPECT_NE(show.out.find("Optorelé"), std::string::npos) << show.out;

  gear.SetCurrentSlot(5);
  const ProgramResult json = RunCli({"document", "show", valid, "--json"});
  ASSERT_EQ(json.exitCode, 0);
  const auto value = [](uint32_t v) { return v == 255 ? std::string("null") : std::to_string(v); };
  EXPECT_NE(json.out.find("{\"address\":5,\"type\":" + value(gear.DeviceType()) +
                          ",\"version\":" + value(gear.Version())),
            std::string::npos)
      << json.out;
  EXPECT_NE(json.out.find("\"minLevel\":95,"), std::string::npos) << json.out;
  EXPECT_NE(json.out.find("{\"address\":7,\"type\":141,\"kind\":\"Optorelé\""), std::string::npos)
      << json.out;
}

TEST_F(CliDocumentTest, TraceStatsCountsKindsErrorsAndAddresses) {
  MonitorLines lines;
  const ArrivalTime at{9, 5, 7};
  const MonitorRecord records[] = {
      {0x63, 0, 0x0B, 0x05, 0}, {0x62, 0, 0, 0xFF, 0},  // A 05 and its answer
      {0x63, 0, 0x0B, 0x90, 0}, {0x63, 0, 0x0B, 0xA0, 0}, {0x63, 0, 0x83, 0x05, 0},  // A 05, GA 01
      {0x64, 0x02, 0x03, 0x07, 0}, {0x66, 0, 0, 0x01, 0},  // C 02 and an answer of the other kind
      {0x64, 0x02, 0x04, 0x00, 0}, {0x63, 0, 0xFF, 0x00, 0},  // C 02, A ALL
      {0x67, 0, 0, 0x02, 0},  // ERROR - Short in
  };
  for (const MonitorRecord& r : records) lines.Append(*DecodeRecord(r, {}, false, at).line);
  const std::string file = Path("trace.lmm");
  SaveMonitorLines(file, lines);
  ProgramResult stats = RunCli({"trace", "stats", file, "--json"});
  EXPECT_EQ(stats.exitCode, 0) << stats.err;
  EXPECT_EQ(stats.out, "{\"file\":\"" + file +
                           "\",\"lines\":10,\"gearFrames\":5,\"deviceFrames\":2,\"answers\":2,"
                           "\"busErrors\":1,\"unreadableLines\":0,\"first\":\"09:05:07\","
                           "\"last\":\"09:05:07\",\"errors\":{\"ERROR - Short in\":1},"
                           "\"busiest\":[{\"address\":\"A 05\",\"frames\":3},"
                           "{\"address\":\"C 02\",\"frames\":2},{\"address\":\"A ALL\",\"frames\":1},"
                           "{\"address\":\"GA 01\",\"frames\":1}]}\n");

  // A line that is no monitor line is named, counted and makes the status 1.
  lines.Append("poznámka");
  SaveMonitorLines(file, lines);
  stats = RunCli({"trace", "stats", file});
  EXPECT_EQ(stats.exitCode, 1);
  EXPECT_NE(stats.err.find("riadok 11 nie je riadkom monitora"), std::string::npos) << stats.err;
  EXPECT_NE(stats.out.find("Nečitateľné riadky: 1"), std::string::npos) << stats.out;
  EXPECT_NE(stats.out.find("Rámce svietidiel: 5"), std::string::npos) << stats.out;
}

TEST(CliCommandLine, UsageErrorsExitWithTwoAndPointToTheHelp) {
  const struct {
    std::vector<std::string> args;
    std::string message;
    std::string help;  // the command the help pointer names
  } cases[] = {
      {{}, "chýba príkaz", ""},
      {{"frobnicate"}, "neznámy príkaz frobnicate", ""},
      {{"document"}, "chýba príkaz (show, check, diff)", " document"},
      {{"document", "show"}, "chýba SÚBOR.dcf", " document show"},
      {{"document", "show", "a.dcf", "--bogus"}, "neznáma voľba --bogus", " document show"},
      {{"document", "diff", "a.dcf"}, "chýba SÚBOR_A.dcf SÚBOR_B.dcf", " document diff"},
      {{"commission", "--gear", "all", "--devices", "none"}, "\"all\" nie je find", " commission"},
      {{"commission", "--gear", "none", "--devices", "none"}, "nie je čo vykonať", " commission"},
      {{"commission", "--devices", "add"}, "chýba voľba --gear", " commission"},
      {{"commission", "--gear", "add", "--devices", "add", "--unit", "127.0.0.1", "--timing", "dali"},
       "platia len pre zbernicový server",
       " commission"},
      {{"commission", "--gear", "add", "--devices", "add", "--port-base", "70000"},
       "nie je port 1 až 65533",
       " commission"},
      {{"report", "a.dcf"}, "chýba voľba --pdf", " report"},
      {{"trace", "decode", "a.lmm", "--gear", "5,64"}, "\"64\" nie je číslo 0 až 63", " trace decode"},
      {{"trace", "decode", "a.lmm", "--groups", "3-1"}, "rozsah \"3-1\" je obrátený", " trace decode"},
      {{"trace", "decode", "a.lmm", "--hide"}, "platia len s filtrom", " trace decode"},
      {{"trace", "stats", "a.lmm", "--json=1"}, "voľba --json nemá hodnotu", " trace stats"},
  };
  for (const auto& c : cases) {
    const ProgramResult r = RunCli(c.args);
    const std::string what = c.args.empty() ? "(nothing)" : c.args[0] + " …";
    EXPECT_EQ(r.exitCode, 2) << what << ": " << r.err;
    EXPECT_EQ(r.out, "") << what;
    EXPECT_EQ(r.err.rfind("lumetra-cli: ", 0), 0u) << what << ": " << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << what << ": " << r.err;
    EXPECT_NE(r.err.find("Pomoc: lumetra-cli" + c.help + " --help\n"), std::string::npos)
        << what << ": " << r.err;
  }
}

TEST(CliCommandLine, EveryCommandHasItsHelp) {
  for (const std::string command : {"commission", "document show", "document check",
                                    "document diff", "report", "trace decode", "trace stats"}) {
    std::vector<std::string> args;
    for (size_t start = 0;;) {
      const size_t space = command.find(' ', start);
      args.push_back(command.substr(start, space - start));
      if (space == std::string::npos) break;
      start = space + 1;
    }
    args.push_back("--help");
    const ProgramResult r = RunCli(args);
    EXPECT_EQ(r.exitCode, 0) << command;
    EXPECT_EQ(r.out.rfind("Použitie: lumetra-cli " + command + " ", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("Návratový kód: 0"), std::string::npos) << command;
  }
  const ProgramResult report = RunCli({"report", "--help"});
  EXPECT_NE(report.out.find("zapisovač PDF knižnice Qt"), std::string::npos);
  EXPECT_NE(report.out.find("offscreen"), std::string::npos);
  const ProgramResult overview = RunCli({"--help"});
  EXPECT_EQ(overview.exitCode, 0);
  EXPECT_NE(overview.out.find("trace stats"), std::string::npos);
}

TEST(CliCommandLine, EveryProgramAnswersVersionWithTheAboutBoxText) {
  const std::string expected = "Lumetra konfigurátor\nVerzia 2.1.0.25\n";
  ASSERT_EQ(VersionText(), expected);
  for (const char* program : {"lumetra-cli", "LumetraConfigurator", "LumetraDaliBusServer"}) {
    ProgramRun run;
    run.program = std::string(LUMETRA_BUILD_DIR "/") + program;
    run.arguments = {"--version"};
    // Without a display: the configurator answers before it opens any window.
    run.environment = {"QT_QPA_PLATFORM=xcb", "DISPLAY"};
    const ProgramResult r = RunProgram(run);
    EXPECT_EQ(r.exitCode, 0) << program << r.err;
    EXPECT_EQ(r.out, expected) << program;
  }
}

}  // namespace
}  // namespace lumetra::test

namespace lumetra::test {
namespace {

TEST_F(CliDocumentTest, ReportWritesThePagesOfBothEditorsIntoAPdf) {
  if (::access("/usr/bin/pdftotext", X_OK) != 0) GTEST_SKIP() << "pdftotext (poppler-utils)";
  const ProgramResult report = RunCli({"report", valid, "--pdf", Path("zostava")});
  ASSERT_EQ(report.exitCode, 0) << report.err;
  EXPECT_EQ(report.out, "PDF bolo uložené: " + Path("zostava.pdf") + "\n");
  ProgramRun text;
  text.program = "/usr/bin/pdftotext";
  text.arguments = {"-layout", Path("zostava.pdf"), "-"};
  const ProgramResult pdf = RunProgram(text);
  ASSERT_EQ(pdf.exitCode, 0) << pdf.err;
  std::vector<std::string> shown;
  for (const std::string& line : SplitLines(pdf.out)) {
    if (!Collapsed(line).empty()) shown.push_back(Collapsed(line));
  }

  // Every line of the report, in its order: all control gear pages, then all control devices',
  // levels in percent as the window shows them by default. The date line is left out: the PDF
  // was made a moment earlier.
  TBalastConfig reportGear;
  TControllerConfig reportDevices;
  reportGear.SetPercentMode(1);
  reportDevices.SetPercentMode(1);
  LoadDocument(valid, reportGear, reportDevices);
  for (TConfig* table : {static_cast<TConfig*>(&reportGear), static_cast<TConfig*>(&reportDevices)}) {
    table->SetCurrentSlot(TConfig::kGroupSlot);  // every device, not the first one
    table->SetCurrentGroup(TConfig::kAllDevices);
  }
  ReportPages gearPages, devicePages;
  std::vector<std::string> expected;
  const int gearCount = GearReportPages(reportGear, gearPages);
  const int deviceCount = ControllerReportPages(reportDevices, devicePages);
  ASSERT_EQ(gearCount, 3);
  ASSERT_EQ(deviceCount, 2);
  for (const auto& [pages, count] : {std::pair{&gearPages, gearCount}, {&devicePages, deviceCount}}) {
    for (int p = 0; p < count; ++p) {
      for (const std::string& line : (*pages)[size_t(p)]) {
        const std::string c = Collapsed(line);
        const bool date = c.size() >= 10 && c[2] == '.' && c[5] == '.';
        if (!c.empty() && !date) expected.push_back(c);
      }
    }
  }
  size_t at = 0;
  for (const std::string& line : expected) {
    const auto found = std::find(shown.begin() + long(at), shown.end(), line);
    ASSERT_NE(found, shown.end()) << "\"" << line << "\" after line " << at << " of\n" << pdf.out;
    at = size_t(found - shown.begin()) + 1;
  }

  const ProgramResult missing = RunCli({"report", Path("none.dcf"), "--pdf", Path("none.pdf")});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find("none.dcf"), std::string::npos) << missing.err;
}

}  // namespace
}  // namespace lumetra::test
