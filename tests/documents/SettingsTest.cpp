// The settings file and the folder the program's files go to.
#include <gtest/gtest.h>

#include "DocumentFixture.h"
#include "documents/FileFolder.h"
#include "documents/Settings.h"
#include "model/Error.h"

namespace lumetra {
namespace {

namespace fs = std::filesystem;

class SettingsFile : public testing::TempFolder {};

std::string SettingsText(const std::string& root, const std::string& communication,
                         const std::string& settings) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<" + root +
         " version=\"2.1.0.25\"><communication>" + communication + "</communication><settings>" +
         settings + "</settings></" + root + ">\n";
}

const std::string kCommunication =
    "<type>2</type><port>4</port><ipaddress>127.0.0.5</ipaddress><ipport>50010</ipport>";
const std::string kSettings =
    "<percentarc>1</percentarc><autorefreshbalast>1</autorefreshbalast>"
    "<autorefreshctrl>0</autorefreshctrl>";
const Settings kFromFile{2, 4, "127.0.0.5", "50010", 1, true, false};

TEST_F(SettingsFile, SavedExactlyAndReadBack) {
  const Settings s{1, -1, "127.0.0.9", "50100", 1, false, true};
  SaveSettings(Path("LumetraConfigurator.lmc"), s, "2.1.0.25");
  EXPECT_EQ(Read(Path("LumetraConfigurator.lmc")),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<lumetraconfigurator version=\"2.1.0.25\">\n"
            "  <communication>\n"
            "    <type>1</type>\n"
            "    <port>-1</port>\n"
            "    <ipaddress>127.0.0.9</ipaddress>\n"
            "    <ipport>50100</ipport>\n"
            "  </communication>\n"
            "  <settings>\n"
            "    <percentarc>1</percentarc>\n"
            "    <autorefreshbalast>0</autorefreshbalast>\n"
            "    <autorefreshctrl>1</autorefreshctrl>\n"
            "  </settings>\n"
            "</lumetraconfigurator>\n");
  EXPECT_EQ(LoadSettings(Path("LumetraConfigurator.lmc")), s);
  EXPECT_EQ(Entries(), std::vector<std::string>{"LumetraConfigurator.lmc"});

  // The defaults, empty address included, come back as they went.
  SaveSettings(Path("defaults.lmc"), DefaultSettings(), "2.1.0.25");
  EXPECT_EQ(LoadSettings(Path("defaults.lmc")), DefaultSettings());
}

TEST_F(SettingsFile, EveryFaultGivesTheDefaults) {
  EXPECT_EQ(DefaultSettings(), (Settings{0, 0, "", "50000", 0, false, false}));
  Settings withoutIpPort = kFromFile;
  withoutIpPort.IpPort = "50000";
  Settings typed = kFromFile;
  typed.Port = -1;
  Settings outOfRange = kFromFile;
  outOfRange.Interface = 0;
  outOfRange.Port = 0;
  outOfRange.PercentArc = 0;
  Settings ticked = kFromFile;
  ticked.AutoRefreshCtrl = true;

  auto communication = [](const std::string& from, const std::string& to) {
    std::string c = kCommunication;
    return c.replace(c.find(from), from.size(), to);
  };
  auto settings = [](const std::string& from, const std::string& to) {
    std::string s = kSettings;
    return s.replace(s.find(from), from.size(), to);
  };
  const Settings defaults = DefaultSettings();
  const std::tuple<const char*, std::string, Settings> cases[] = {
      {"complete", SettingsText("lumetraconfigurator", kCommunication, kSettings), kFromFile},
      {"no ipport",
       SettingsText("lumetraconfigurator", communication("<ipport>50010</ipport>", ""), kSettings),
       withoutIpPort},
      {"typed port name",
       SettingsText("lumetraconfigurator", communication("<port>4", "<port>-1"), kSettings), typed},
      {"indexes beyond their controls",
       SettingsText("lumetraconfigurator",
                    communication("<type>2</type><port>4", "<type>3</type><port>10"),
                    settings("<percentarc>1", "<percentarc>2")),
       outOfRange},
      {"any non-zero number ticks",
       SettingsText("lumetraconfigurator", kCommunication,
                    settings("<autorefreshctrl>0", "<autorefreshctrl>99999999999999999999")),
       ticked},
      {"percentarc not a number",
       SettingsText("lumetraconfigurator", kCommunication,
                    settings("<percentarc>1", "<percentarc>x")),
       defaults},
      {"type with trailing letters",
       SettingsText("lumetraconfigurator", communication("<type>2", "<type>2abc"), kSettings),
       defaults},
      {"empty number",
       SettingsText("lumetraconfigurator", kCommunication,
                    settings("<autorefreshbalast>1", "<autorefreshbalast>")),
       defaults},
      {"no ipaddress",
       SettingsText("lumetraconfigurator", communication("<ipaddress>127.0.0.5</ipaddress>", ""),
                    kSettings),
       defaults},
      {"no settings element",
       "<lumetraconfigurator><communication>" + kCommunication +
           "</communication>"
           "</lumetraconfigurator>",
       defaults},
      {"root in other letter case", SettingsText("LumetraConfigurator", kCommunication, kSettings),
       defaults},
      {"not well-formed",
       SettingsText("lumetraconfigurator", kCommunication, kSettings).substr(0, 90), defaults},
      {"empty file", "", defaults},
  };
  for (const auto& [name, text, expected] : cases) {
    Write(Path("case.lmc"), text);
    EXPECT_EQ(LoadSettings(Path("case.lmc")), expected) << name;
  }
  EXPECT_EQ(LoadSettings(Path("missing.lmc")), defaults);
  EXPECT_EQ(LoadSettings(dir.string()), defaults) << "a folder";
}

TEST(SettingsPort, TypedNamesAreNoItem) {
  const std::pair<const char*, int> cases[] = {
      {"COM1", 0},  {"COM10", 9},  {"COM4", 3},          {"COM11", -1},
      {"com1", -1}, {"COM01", -1}, {"/dev/ttyUSB0", -1}, {"", -1},
  };
  for (const auto& [text, index] : cases) EXPECT_EQ(PortItemIndex(text), index) << text;
}

TEST_F(SettingsFile, FailedSaveKeepsTheOldFile) {
  Write(Path("LumetraConfigurator.lmc"), "old");
  Write(Path("file"), "");
  bool failed = false;
  try {
    testing::WithFileSizeLimit(
        64, [&] { SaveSettings(Path("LumetraConfigurator.lmc"), DefaultSettings(), "2.1.0.25"); });
  } catch (const Error& e) {
    failed = true;
    EXPECT_NE(
        std::string(e.what()).find("Nastavenia sa nepodarilo uložiť do súboru \"" +
                                   Path("LumetraConfigurator.lmc") + "\" (súbor je príliš veľký)"),
        std::string::npos)
        << e.what();
  }
  EXPECT_TRUE(failed);
  EXPECT_THROW(SaveSettings(Path("file/LumetraConfigurator.lmc"), DefaultSettings(), "2.1.0.25"),
               Error);
  EXPECT_EQ(Read(Path("LumetraConfigurator.lmc")), "old");
  EXPECT_EQ(Entries(), (std::vector<std::string>{"LumetraConfigurator.lmc", "file"}));
}

TEST_F(SettingsFile, ProgramFolderWhenWritableElseTheDataFolder) {
  fs::create_directory(Path("program"));
  Write(Path("file"), "");
  fs::create_directory(Path("gone"));
  fs::remove(Path("gone"));
  const std::string data = Path("home/.local/share/Zorvik/LumetraConfigurator");

  EXPECT_EQ(ChooseFileFolder(Path("program"), data), Path("program"));
  EXPECT_FALSE(fs::exists(data)) << "the data folder is made only when it is needed";
  EXPECT_EQ(fs::directory_iterator(Path("program")), fs::directory_iterator())
      << "the writability probe leaves nothing behind";

  for (const std::string& program : {Path("file"), Path("gone"), std::string()}) {
    EXPECT_EQ(ChooseFileFolder(program, data), data) << program;
    EXPECT_TRUE(fs::is_directory(data)) << program;
  }
  EXPECT_EQ(PathInFolder("/opt/lumetra", kSettingsFile), "/opt/lumetra/LumetraConfigurator.lmc");
  EXPECT_EQ(PathInFolder("/opt/lumetra/", "LastDevicesConfig.dcf"),
            "/opt/lumetra/LastDevicesConfig.dcf");
}

// An installation's bin folder is never used, even when it can be written (a prefix in the home
// folder, root): only a folder whose parent holds the desktop entry counts as one.
TEST_F(SettingsFile, AnInstalledProgramKeepsItsFilesInTheDataFolder) {
  const std::string data = Path("data");
  const std::string entry = std::string("share/applications/") + kApplicationId + ".desktop";
  struct Case {
    std::string program;  // the program folder, under the test's folder
    std::string marker;   // a file made beside it, under the test's folder
    bool installed;
  };
  const Case cases[] = {
      {"prefix/bin", "prefix/" + entry, true},
      {"prefix/bin/", "prefix/" + entry, true},
      {"build", entry, false},                                   // not named bin
      {"other/bin", "other/share/applications/x.desktop", false},  // another program's entry
      {"bare/bin", "", false},                                   // an unpacked folder
  };
  for (const Case& c : cases) {
    fs::create_directories(Path(c.program));
    if (!c.marker.empty()) {
      fs::create_directories(fs::path(Path(c.marker)).parent_path());
      Write(Path(c.marker), "[Desktop Entry]\n");
    }
    EXPECT_EQ(IsInstalledProgramFolder(Path(c.program)), c.installed) << c.program;
    EXPECT_EQ(ChooseFileFolder(Path(c.program), data), c.installed ? data : Path(c.program))
        << c.program;
    if (!c.marker.empty()) fs::remove(Path(c.marker));
  }
}

}  // namespace
}  // namespace lumetra
