// The configuration document on real files: the exact text, full round trips, the edge cases of
// opening, and that neither a broken file nor a failed save costs the user anything.
#include <gtest/gtest.h>

#include "DocumentFixture.h"
#include "documents/ConfigDocument.h"
#include "model/Error.h"

namespace lumetra {
namespace {

namespace fs = std::filesystem;

using testing::FillDevice;
using testing::FillGear;
using testing::kTestKind;
using testing::TableBytes;
using testing::TestKindSections;

const DocumentStamp kStamp{"2.1.0.25", {2024, 3, 5, 9, 7, 2}};

class Document : public testing::TempFolder {
 protected:
  void SetUp() override {
    TempFolder::SetUp();
    gear.ResetPositions();
    devices.ResetPositions();
  }
  std::string Save(const std::string& name) {
    SaveDocument(Path(name), gear, devices, kStamp, kinds);
    return Read(Path(name));
  }
  void Load(const std::string& name) { LoadDocument(Path(name), gear, devices, kinds); }

  const KindSections kinds = TestKindSections();
  TBalastConfig gear;
  TControllerConfig devices;
};

TEST(DocumentName, DcfIsAppendedUnlessTheFirstOneEndsTheName) {
  const std::pair<std::string, std::string> cases[] = {
      {"plan", "plan.dcf"},
      {"plan.dcf", "plan.dcf"},
      {"plan.DCF", "plan.DCF.dcf"},
      {"a.dcf.old", "a.dcf.old.dcf"},
      {"a.dcf.dcf", "a.dcf.dcf.dcf"},
      {"/home/x/old.dcf/plan", "/home/x/old.dcf/plan.dcf"},
      {"/home/x/old.dcf/plan.dcf", "/home/x/old.dcf/plan.dcf"},
  };
  for (const auto& [chosen, expected] : cases) EXPECT_EQ(DocumentFileName(chosen), expected);
}

TEST(DocumentStampText, DayAndMonthArePaddedWithBlanks) {
  const std::pair<LocalTime, std::string> cases[] = {
      {{2024, 3, 5, 9, 7, 2}, " 5. 3.2024  09:07:02"},
      {{1999, 12, 31, 23, 59, 59}, "31.12.1999  23:59:59"},
      {{2030, 1, 10, 0, 0, 0}, "10. 1.2030  00:00:00"},
  };
  for (const auto& [time, expected] : cases) EXPECT_EQ(CreatedText(time), expected);
}

// One control gear, one control device of a kind without a section and one of the test kind.
TEST_F(Document, SmallDocumentIsWrittenExactly) {
  gear.SetCurrentSlot(3);
  gear.SetShortAddress(3);
  gear.SetDeviceType(6);
  gear.SetVersion(1);
  for (int g = 0; g < 16; ++g) gear.SetGroups(g, g == 0 ? 1 : g == 1 ? 0 : 255);
  gear.SetPhysicalMinLevel(85);
  gear.SetMinLevel(86);
  gear.SetMaxLevel(254);
  gear.SetPowerOnLevel(255);
  gear.SetFailureLevel(200);
  gear.SetFadeRate(7);
  gear.SetFadeTime(0);
  for (int s = 0; s < 16; ++s) gear.SetScenes(s, s == 2 ? 100 : 255);
  gear.SetTop(90);
  gear.SetLeft(-270);
  gear.SetPercentMode(1);  // levels still go out raw

  devices.SetCurrentSlot(5);
  devices.SetShortAddress(5);
  devices.SetDeviceType(129);
  devices.SetVersion(1);
  devices.SetMinVersion(2);
  for (int g = 0; g < 16; ++g) devices.SetGroups(g, g == 15 ? 1 : 0);
  devices.SetMultimaster(1);
  devices.Switch().SetType0(3);  // no section for the kind: not in the document
  devices.SetCurrentSlot(9);
  devices.SetShortAddress(9);
  devices.SetDeviceType(kTestKind);
  devices.SetVersion(0);
  devices.SetMinVersion(255);
  for (int g = 0; g < 16; ++g) devices.SetGroups(g, 255);
  devices.SetMultimaster(0);
  devices.PirSensor().Commands(0).SetLevel(12);
  devices.PirSensor().Commands(0).SetTimeout(64800);
  devices.PirSensor().Commands(1).SetLevel(0);
  devices.PirSensor().Commands(1).SetTimeout(0);
  devices.SetTop(-1);
  devices.SetLeft(2147483647);
  devices.SetCurrentSlot(64);

  std::string groups3 = "      <groups>\n";
  for (int g = 0; g < 16; ++g)
    groups3 += "        <group index=\"" + std::to_string(g) + "\">" +
               (g == 0   ? "1"
                : g == 1 ? "0"
                         : "255") +
               "</group>\n";
  groups3 += "      </groups>\n";
  std::string scenes3 = "      <scenes>\n";
  for (int s = 0; s < 16; ++s)
    scenes3 += "        <scene index=\"" + std::to_string(s) + "\">" + (s == 2 ? "100" : "255") +
               "</scene>\n";
  scenes3 += "      </scenes>\n";
  auto deviceGroups = [](auto text) {
    std::string out = "      <groups>\n";
    for (int g = 0; g < 16; ++g)
      out += "        <group index=\"" + std::to_string(g) + "\">" + text(g) + "</group>\n";
    return out + "      </groups>\n";
  };

  const std::string expected =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<lumetraconfigurator version=\"2.1.0.25\" created=\" 5. 3.2024  09:07:02\">\n"
      "  <balasts>\n"
      "    <balast index=\"3\">\n"
      "      <deviceaddress>3</deviceaddress>\n"
      "      <devicetype>6</devicetype>\n"
      "      <version>1</version>\n" +
      groups3 +
      "      <minphysicallevel>85</minphysicallevel>\n"
      "      <minlevel>86</minlevel>\n"
      "      <maxlevel>254</maxlevel>\n"
      "      <poweronlevel>255</poweronlevel>\n"
      "      <errorlevel>200</errorlevel>\n"
      "      <faderate>7</faderate>\n"
      "      <fadetime>0</fadetime>\n" +
      scenes3 +
      "      <position>\n"
      "        <top>90</top>\n"
      "        <left>-270</left>\n"
      "      </position>\n"
      "    </balast>\n"
      "  </balasts>\n"
      "  <ctrldevices>\n"
      "    <ctrldevice index=\"5\">\n"
      "      <deviceaddress>5</deviceaddress>\n"
      "      <devicetype>129</devicetype>\n"
      "      <maxversion>1</maxversion>\n"
      "      <minversion>2</minversion>\n" +
      deviceGroups([](int g) { return g == 15 ? "1" : "0"; }) +
      "      <multimaster>1</multimaster>\n"
      "      <position>\n"
      "        <top>90</top>\n"
      "        <left>480</left>\n"
      "      </position>\n"
      "    </ctrldevice>\n"
      "    <ctrldevice index=\"9\">\n"
      "      <deviceaddress>9</deviceaddress>\n"
      "      <devicetype>250</devicetype>\n"
      "      <maxversion>0</maxversion>\n"
      "      <minversion>255</minversion>\n" +
      deviceGroups([](int) { return "255"; }) +
      "      <multimaster>0</multimaster>\n"
      "      <testkind>\n"
      "        <command index=\"0\">\n"
      "          <level>12</level>\n"
      "          <timeout>64800</timeout>\n"
      "        </command>\n"
      "        <command index=\"1\">\n"
      "          <level>0</level>\n"
      "          <timeout>0</timeout>\n"
      "        </command>\n"
      "        <command index=\"2\">\n"
      "          <level>255</level>\n"
      "          <timeout>4294967295</timeout>\n"
      "        </command>\n"
      "      </testkind>\n"
      "      <position>\n"
      "        <top>-1</top>\n"
      "        <left>2147483647</left>\n"
      "      </position>\n"
      "    </ctrldevice>\n"
      "  </ctrldevices>\n"
      "</lumetraconfigurator>\n";
  EXPECT_EQ(Save("small.dcf"), expected);
  EXPECT_EQ(Entries(), std::vector<std::string>{"small.dcf"}) << "no temporary file is left";
  EXPECT_EQ(gear.CurrentSlot(), 3);
  EXPECT_EQ(gear.PercentMode(), 1);
  EXPECT_EQ(devices.CurrentSlot(), 64);
}

TEST_F(Document, EmptyTablesWriteBothSectionsAndOpenEmpty) {
  const std::string text = Save("empty.dcf");
  EXPECT_NE(text.find("  <balasts />\n  <ctrldevices />\n"), std::string::npos) << text;

  FillGear(gear, 4);
  FillDevice(devices, 8, 129);
  Load("empty.dcf");
  TBalastConfig emptyGear;
  emptyGear.ResetPositions();
  TControllerConfig emptyDevices;
  emptyDevices.ResetPositions();
  EXPECT_EQ(TableBytes::Of(gear, devices), TableBytes::Of(emptyGear, emptyDevices));
  EXPECT_EQ(gear.CurrentSlot(), 64);
  EXPECT_EQ(devices.CurrentSlot(), 64);
}

// Every slot of both tables filled, the gear shown in percent: the file holds raw levels and
// opening it gives back every byte, less what the document does not keep (status, actual level,
// the image of kinds without a section).
TEST_F(Document, FullTablesSurviveTheRoundTrip) {
  TBalastConfig expectedGear;
  TControllerConfig expectedDevices;
  expectedGear.ResetPositions();
  expectedDevices.ResetPositions();
  const uint8_t kindsInUse[] = {kTestKind, 129, 131, 133, 141, 142, 130};
  for (uint8_t i = 0; i < 64; ++i) {
    const uint8_t kind = kindsInUse[i % std::size(kindsInUse)];
    for (TBalastConfig* t : {&gear, &expectedGear}) FillGear(*t, i);
    for (TControllerConfig* t : {&devices, &expectedDevices}) {
      FillDevice(*t, i, kind);
      if (kind == kTestKind) {
        t->PirSensor().Commands(0).SetLevel(i);
        t->PirSensor().Commands(1).SetTimeout(i % 2 ? 0xFFFFFFFF : 1000u * i);
      }
    }
    if (kind != kTestKind) devices.Switch().SetType0(1);  // kinds without a section lose it
    expectedGear.SetStatus(0);
    expectedGear.SetActualLevel(0);
    expectedDevices.SetStatus(0);
  }
  gear.SetCurrentSlot(17);
  gear.SetPercentMode(1);
  devices.SetPercentMode(1);
  expectedGear.SetPercentMode(1);
  expectedDevices.SetPercentMode(1);
  expectedGear.SetCurrentSlot(0);
  expectedDevices.SetCurrentSlot(0);

  const std::string text = Save("full.dcf");
  EXPECT_EQ(gear.CurrentSlot(), 17);
  EXPECT_EQ(gear.PercentMode(), 1);
  // Slot 1's maximum level is arc 253, 100 % on the screen.
  EXPECT_NE(text.find("<maxlevel>253</maxlevel>"), std::string::npos);
  EXPECT_EQ(text.find("<maxlevel>100</maxlevel>"), std::string::npos);

  TBalastConfig openedGear;
  TControllerConfig openedDevices;
  openedGear.ResetPositions();
  openedDevices.ResetPositions();
  openedGear.SetPercentMode(1);
  openedDevices.SetPercentMode(1);
  LoadDocument(Path("full.dcf"), openedGear, openedDevices, kinds);
  EXPECT_EQ(TableBytes::Of(openedGear, openedDevices),
            TableBytes::Of(expectedGear, expectedDevices));

  // And what was opened saves to the same text.
  SaveDocument(Path("again.dcf"), openedGear, openedDevices, kStamp, kinds);
  EXPECT_EQ(Read(Path("again.dcf")), text);
}

std::string Frame(const std::string& root, const std::string& body) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<" + root + ">" + body + "</" + root + ">\n";
}

std::string GearEntry(const std::string& address, const std::string& extra = "") {
  std::string e = "<balast index=\"0\"><deviceaddress>" + address +
                  "</deviceaddress><devicetype>6</devicetype><version>2</version><groups>";
  for (int g = 0; g < 16; ++g) e += "<group>1</group>";
  e += extra + "</groups>";
  for (const char* level :
       {"minphysicallevel", "minlevel", "maxlevel", "poweronlevel", "errorlevel"})
    e += std::string("<") + level + ">" + address + "</" + level + ">";
  e += "<faderate>1</faderate><fadetime>2</fadetime><scenes><scene>5</scene></scenes>"
       "<position><top>-3</top><left>4</left></position></balast>";
  return e;
}

std::string DeviceEntry(const std::string& address, const std::string& type = "129",
                        const std::string& extra = "") {
  return "<ctrldevice index=\"1\"><deviceaddress>" + address + "</deviceaddress><devicetype>" +
         type +
         "</devicetype><maxversion>1</maxversion><minversion>3</minversion><groups>"
         "<group>1</group><group>0</group>" +
         extra + "</groups><multimaster>1</multimaster>" +
         (type == "250" ? "<testkind><command><level>9</level><timeout>99</timeout></command>"
                          "<command><level>8</level><timeout>98</timeout></command>"
                          "<command><level>7</level><timeout>97</timeout></command>"
                          "<command><level>x</level><timeout>y</timeout></command></testkind>"
                        : "") +
         "<position><top>1</top><left>-2</left></position></ctrldevice>";
}

TEST_F(Document, OpeningFollowsTheEntriesNotTheirIndexOrOrder) {
  Write(Path("a.dcf"),
        Frame("lumetraconfigurator",
              "<balasts>" + GearEntry("12") + GearEntry("64") + GearEntry("-1") + GearEntry("5") +
                  GearEntry("12", "<group>x</group>") + "</balasts>" + "<ctrldevices>" +
                  DeviceEntry("9") + DeviceEntry("4", "250") + DeviceEntry("64") +
                  DeviceEntry("255") + DeviceEntry("1000") + "</ctrldevices>"));
  FillGear(gear, 30);
  auto groupSlots = [&] {
    std::vector<uint8_t> bytes;
    TableBytes::Add(bytes, gear.SlotAt(64), sizeof(DeviceSlot));
    TableBytes::Add(bytes, gear.Record(64), sizeof(GearRecord));
    TableBytes::Add(bytes, devices.SlotAt(64), sizeof(DeviceSlot));
    TableBytes::Add(bytes, devices.Record(64), sizeof(ControllerRecord));
    return bytes;
  };
  // The editors' group slots, as a group selection leaves them.
  gear.ClearScratchSlot();
  gear.SetCurrentSlot(64);
  gear.SetGroups(3, 1);
  devices.ClearScratchSlot();
  devices.SetCurrentSlot(64);
  devices.SetGroups(5, 1);
  devices.SetMultimaster(0);
  const std::vector<uint8_t> groupSlotsBefore = groupSlots();
  Load("a.dcf");

  // Gear: 64 and -1 name no device slot and are left out; the second 12 overwrites the first and
  // its 17th group is beyond the record. The selection: all devices, the lowest occupied slot.
  EXPECT_EQ(gear.UsedSlotCount(), 2);
  EXPECT_EQ(gear.CurrentGroup(), 255);
  EXPECT_EQ(gear.CurrentSlot(), 5);
  gear.SetCurrentSlot(12);
  EXPECT_EQ(gear.ShortAddress(), 12);
  EXPECT_EQ(gear.MaxLevel(), 12u);
  EXPECT_EQ(gear.Groups(15), 1);
  EXPECT_EQ(gear.Scenes(0), 5u);
  EXPECT_EQ(gear.Scenes(1), 255u) << "a scene the entry does not list stays unset";
  EXPECT_EQ(gear.Status(), 0);
  EXPECT_EQ(gear.ActualLevel(), 0u);
  EXPECT_EQ(gear.Top(), -3);
  EXPECT_EQ(gear.Left(), 4);

  // Opening empties the gear's group record, as Clear does, and nothing else of either group
  // slot: an address of 64 is not the group slot.
  std::vector<uint8_t> expectedGroupSlots = groupSlotsBefore;
  std::fill_n(expectedGroupSlots.begin() + sizeof(DeviceSlot), sizeof(GearRecord), 0xFF);
  EXPECT_EQ(groupSlots(), expectedGroupSlots);

  // Devices: slots 9 and 4 whatever their index says; 255 and 1000 are left out; groups beyond
  // the two listed stay unread; the kind's fourth command (not even a number) is beyond the
  // record.
  EXPECT_EQ(devices.UsedSlotCount(), 2);
  EXPECT_EQ(devices.CurrentGroup(), 255);
  EXPECT_EQ(devices.CurrentSlot(), 4);
  EXPECT_EQ(devices.ShortAddress(), 4);
  EXPECT_EQ(devices.Status(), 0);
  EXPECT_EQ(devices.Groups(0), 1);
  EXPECT_EQ(devices.Groups(1), 0);
  EXPECT_EQ(devices.Groups(2), 255);
  EXPECT_EQ(devices.PirSensor().Commands(2).Level(), 7);
  EXPECT_EQ(devices.PirSensor().Commands(2).Timeout(), 97u);
  EXPECT_EQ(devices.Top(), 1);
  EXPECT_EQ(devices.Left(), -2);
  devices.SetCurrentSlot(9);
  EXPECT_EQ(devices.DeviceType(), 129);
  EXPECT_EQ(devices.Multimaster(), 1);
  EXPECT_EQ(devices.MinVersion(), 3);
}

TEST_F(Document, OtherRootsAndMissingSectionsLoadNothingOfThem) {
  struct Case {
    const char* name;
    std::string text;
    uint8_t gearCount;
    uint8_t deviceCount;
  };
  const std::string both = "<balasts>" + GearEntry("1") + "</balasts><ctrldevices>" +
                           DeviceEntry("2") + "</ctrldevices>";
  const Case cases[] = {
      {"another root", Frame("plan", both), 0, 0},
      {"letter case of the root", Frame("LumetraConfigurator", both), 0, 0},
      {"no gear section",
       Frame("lumetraconfigurator", "<ctrldevices>" + DeviceEntry("2") + "</ctrldevices>"), 0, 1},
      {"no device section",
       Frame("lumetraconfigurator", "<balasts>" + GearEntry("1") + "</balasts>"), 1, 0},
      {"sections in the other order",
       Frame("lumetraconfigurator", "<ctrldevices>" + DeviceEntry("2") + "</ctrldevices><balasts>" +
                                        GearEntry("1") + "</balasts>"),
       1, 1},
  };
  for (const Case& c : cases) {
    FillGear(gear, 40);
    FillDevice(devices, 41, 129);
    Write(Path("case.dcf"), c.text);
    Load("case.dcf");
    EXPECT_EQ(gear.UsedSlotCount(), c.gearCount) << c.name;
    EXPECT_EQ(devices.UsedSlotCount(), c.deviceCount) << c.name;
    EXPECT_EQ(gear.CurrentSlot(), c.gearCount ? 1 : 64) << c.name;
    EXPECT_EQ(devices.CurrentSlot(), c.deviceCount ? 2 : 64) << c.name;
    gear.SetCurrentSlot(40);
    EXPECT_EQ(gear.Top(), TConfig::DefaultPosition(40, false).Top) << c.name;
  }
}

// Whatever goes wrong while opening, the open installation stays as it was, byte for byte, and
// the message says where.
TEST_F(Document, BrokenFileLeavesTheOpenTablesUntouched) {
  for (uint8_t i = 0; i < 64; i += 3) FillGear(gear, i);
  for (uint8_t i = 1; i < 64; i += 5) FillDevice(devices, i, 129);
  gear.SetCurrentSlot(6);
  gear.SetCurrentGroup(2);
  gear.SetPercentMode(1);
  devices.ClearScratchSlot();
  const TableBytes before = TableBytes::Of(gear, devices);

  std::string badLevel = DeviceEntry("7", "250");
  badLevel.replace(badLevel.find("<level>9</level>"), 16, "<level>x</level>");
  const std::string good = "<balasts>" + GearEntry("1") + GearEntry("2") + "</balasts>";
  std::string noMinLevel = GearEntry("3");
  noMinLevel.replace(noMinLevel.find("<minlevel>"), std::string("<minlevel>3</minlevel>").size(),
                     "");
  fs::create_directory(Path("folder.dcf"));
  struct Case {
    const char* file;
    std::string text;  // written unless empty and the file is to be missing or a folder
    std::string message;
  };
  const Case cases[] = {
      {"truncated.dcf", Frame("lumetraconfigurator", good).substr(0, 200),
       "nepodarilo otvoriť zo súboru"},
      {"mismatch.dcf", "<?xml version=\"1.0\"?>\n<lumetraconfigurator>\n<balasts>\n</ctrldevices>",
       "(koncová značka nezodpovedá počiatočnej na riadku 4)"},
      {"empty.dcf", "", "(neobsahuje žiadny prvok)"},
      {"missing.dcf", "", "(súbor alebo priečinok neexistuje)"},
      {"folder.dcf", "", "(je to priečinok)"},
      {"nominlevel.dcf",
       Frame("lumetraconfigurator",
             "<balasts>\n" + GearEntry("1") + "\n" + noMinLevel + "</balasts>"),
       "(prvok \"balast\" na riadku 4: chýba v ňom prvok \"minlevel\")"},
      // The gear section has loaded completely when the devices' last entry fails.
      {"lastdevice.dcf",
       Frame("lumetraconfigurator", good + "<ctrldevices>\n" + DeviceEntry("5") + "\n" +
                                        DeviceEntry("6", "12abc") + "</ctrldevices>"),
       "(prvok \"devicetype\" na riadku 4: \"12abc\" nie je celé číslo)"},
      {"nogroups.dcf",
       Frame("lumetraconfigurator",
             "<ctrldevices>\n<ctrldevice><deviceaddress>5</deviceaddress><devicetype>1"
             "</devicetype><maxversion>1</maxversion><minversion>1</minversion></ctrldevice>"
             "</ctrldevices>"),
       "(prvok \"ctrldevice\" na riadku 3: chýba v ňom prvok \"groups\")"},
      {"kindsection.dcf",
       Frame("lumetraconfigurator", "<ctrldevices>\n\n" + badLevel + "</ctrldevices>"),
       "(prvok \"level\" na riadku 4: \"x\" nie je celé číslo)"},
  };
  for (const Case& c : cases) {
    if (!c.text.empty() || std::string(c.file) == "empty.dcf") Write(Path(c.file), c.text);
    try {
      Load(c.file);
      ADD_FAILURE() << c.file << " opened";
    } catch (const Error& e) {
      EXPECT_NE(std::string(e.what()).find("\"" + Path(c.file) + "\""), std::string::npos)
          << e.what();
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
    }
    EXPECT_TRUE(TableBytes::Of(gear, devices) == before) << c.file;
  }
}

TEST_F(Document, FailedSaveKeepsTheOldFile) {
  for (uint8_t i = 0; i < 64; ++i) FillGear(gear, i);
  Write(Path("plan.dcf"), "old plan");
  fs::create_directory(Path("folder.dcf"));
  Write(Path("file"), "");
  fs::create_directory(Path("removed"));
  fs::remove(Path("removed"));

  struct Case {
    std::string path;
    std::string reason;
    rlim_t sizeLimit;  // 0: no limit
  };
  const Case cases[] = {
      {Path("plan.dcf"), "(súbor je príliš veľký)", 4096},
      {Path("folder.dcf"), "(je to priečinok)", 0},
      {Path("file/plan.dcf"), "(časť cesty nie je priečinok)", 0},
      {Path("removed/plan.dcf"), "(súbor alebo priečinok neexistuje)", 0},
  };
  for (const Case& c : cases) {
    auto save = [&] { SaveDocument(c.path, gear, devices, kStamp, kinds); };
    try {
      if (c.sizeLimit)
        testing::WithFileSizeLimit(c.sizeLimit, save);
      else
        save();
      ADD_FAILURE() << c.path << " saved";
    } catch (const Error& e) {
      EXPECT_NE(std::string(e.what()).find("Konfiguráciu sa nepodarilo uložiť do súboru \"" +
                                           c.path + "\" " + c.reason),
                std::string::npos)
          << e.what();
    }
  }
  EXPECT_EQ(Read(Path("plan.dcf")), "old plan");
  EXPECT_TRUE(fs::is_directory(Path("folder.dcf")));
  EXPECT_EQ(Entries(), (std::vector<std::string>{"file", "folder.dcf", "plan.dcf"}))
      << "no temporary file is left";
}

TEST_F(Document, ProgramSectionsAreTheDefault) {
  // Until a kind registers its section, the program writes the common elements of every device.
  FillDevice(devices, 2, kTestKind);
  SaveDocument(Path("program.dcf"), gear, devices, kStamp);
  const std::string text = Read(Path("program.dcf"));
  EXPECT_EQ(text.find("testkind"), std::string::npos);
  EXPECT_NE(text.find("</multimaster>\n      <position>"), std::string::npos) << text;
}

}  // namespace
}  // namespace lumetra
