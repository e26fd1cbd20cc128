// The light sensor's and the combined sensor's document parts and report lines: the round trip
// through a real file for each firmware layout, the exact text of the elements that carry a sign
// or a firmware rule, the optional zone states, and the report line by line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "support/KindRecords.h"
#include "DocumentFixture.h"
#include "documents/ConfigDocument.h"
#include "documents/DeviceReports.h"
#include "documents/LightSensorSection.h"
#include "documents/PirLightSensorSection.h"
#include "model/Error.h"
#include "model/Utf.h"

namespace lumetra::testing {
namespace {

constexpr uint8_t kSensor = 3;

class SensorSections : public TempFolder {
 protected:
  void Install(uint8_t kind, uint8_t minor) {
    FillDevice(devices, kSensor, kind);
    devices.SetVersion(1);
    devices.SetMinVersion(minor);
    devices.SetStatus(0);
    // What the firmware lacks holds 0, as a reading of the device leaves it.
    KindRecord image = devices.Image(*KindImageFor(kind));
    for (uint16_t i = 0; i < image.Image().EnableIndex(); ++i) {
      if (image.Location(i) < 0) image.SetImageByteAt(i, 0);
    }
  }

  // Closed loop 450 lx, 30 %, 80 %, 1:02:05, 90..10 %, +7 %, 0.1 lx; zones all at 0, group 3 at
  // -20 %, device 12 at +15 %, none; responses 0 and 1 set, the rest empty.
  void ConfigureLight() {
    LightSensorLayout s = devices.LightSensor();
    s.SetSensorEnabled(1);
    s.SetClosedLoop(1);
    s.SetDefaultLevel(450);
    s.SetOnLevel(30);
    s.SetOffLevel(80);
    s.SetOffTimeout(3725);
    s.SetMaxLevel(90);
    s.SetMinLevel(10);
    s.SetDelta(7);
    s.SetScale(10);
    const uint8_t zones[4][2] = {{0xFE, 0}, {0x86, 0xEC}, {24, 15}, {0xFF, 127}};
    for (uint32_t z = 0; z < 4; ++z) {
      s.Caos(z).SetCmndAddress(zones[z][0]);
      s.Caos(z).SetOffset(zones[z][1]);
    }
    LightOnc first = s.Oncs(0);
    first.SetAddress(3);
    first.SetMessageIndex(11);
    first.SetLevel(500);
    first.SetEnabled(0);
    const uint8_t states[] = {0, 1, 2, 1};
    for (uint32_t z = 0; z < 4; ++z) first.SetZoneEnabled(z, states[z]);
    LightOnc second = s.Oncs(1);
    second.SetAddress(63);
    second.SetMessageIndex(1);
    second.SetLevel(65535);
    second.SetEnabled(1);
    for (uint32_t z = 0; z < 4; ++z) second.SetZoneEnabled(z, 0);
  }

  void ConfigurePirLight() {
    PirLightSensorLayout s = devices.PirLightSensor();
    devices.Image(kPirLightSensorImage).SetImageByteAt(kPirLightSensorImage.EnableIndex(), 1);
    const uint32_t levels[2][3] = {{800, 65000, 0}, {5, 6, 7}};
    const uint32_t waits[2][3] = {{90, 64800, 5}, {1, 2, 3}};
    for (uint32_t q = 0; q < 2; ++q) {
      for (uint32_t c = 0; c < 3; ++c) {
        s.Sequences(q).Commands(c).SetLevel(levels[q][c]);
        s.Sequences(q).Commands(c).SetTimeout(waits[q][c]);
      }
    }
    s.SetOnLevel(20);
    s.SetOffLevel(70);
    s.SetOffTimeout(60);
    s.SetMaxLevel(100);
    s.SetMinLevel(1);
    s.SetCmndAddress(0xFE);
    s.SetDelta(3);
    s.SetScale(100);
    PirLightOnc alarm = s.Oncs(0);
    alarm.SetAddress(2);
    alarm.SetMessageIndex(7);
    alarm.SetLevel(65000);
    alarm.SetEnabled(0);
    alarm.SetSequenceIndex(1);
    PirLightOnc press = s.Oncs(1);
    press.SetAddress(4);
    press.SetMessageIndex(0);
    press.SetLevel(100);
    press.SetEnabled(1);
    press.SetSequenceIndex(0);
  }

  void RoundTrip() {
    const std::string path = Path("sensor.dcf");
    SaveDocument(path, gear, devices);
    TBalastConfig openedGear;
    TControllerConfig opened;
    LoadDocument(path, openedGear, opened);
    ASSERT_FALSE(opened.IsSlotFree(kSensor));
    EXPECT_TRUE(test::SameValues(opened.Record(kSensor), devices.Record(kSensor)));
  }

  std::string Saved(void (*save)(pugi::xml_node, TControllerConfig&)) {
    pugi::xml_document doc;
    save(doc.append_child("ctrldevice"), devices);
    std::ostringstream text;
    doc.save(text, "", pugi::format_raw | pugi::format_no_declaration);
    return text.str();
  }

  TBalastConfig gear;
  TControllerConfig devices;
};

TEST_F(SensorSections, ALightSensorSurvivesTheDocumentOnEveryFirmwareLayout) {
  for (const uint8_t minor : {1, 2, 4, 5}) {
    devices.ClearControllers();
    Install(kKindLightSensor, minor);
    ConfigureLight();
    RoundTrip();
  }
}

TEST_F(SensorSections, TheLightSensorWritesSignedOffsetsAndAddressesWithoutTheEnableFlag) {
  Install(kKindLightSensor, 5);
  ConfigureLight();
  const std::string text = Saved(SaveLightSensor);
  EXPECT_NE(text.find("<lightsensor><enabled>1</enabled><closedloop>1</closedloop>"
                      "<defaultlevel>450</defaultlevel><onlevel>30</onlevel><offlevel>80</offlevel>"
                      "<offtimeout>3725</offtimeout><maxlevel>90</maxlevel><minlevel>10</minlevel>"
                      "<delta>7</delta><scale>10</scale><caos>"
                      "<cao index=\"0\"><cmndaddress>254</cmndaddress><offset>0</offset></cao>"
                      "<cao index=\"1\"><cmndaddress>134</cmndaddress><offset>-20</offset></cao>"),
            std::string::npos)
      << text;
  // Response 0 is enabled: bit 7 of its address byte is set, the document has the address only.
  EXPECT_NE(text.find("<onc index=\"0\"><address>3</address><message>11</message><level>500</level>"
                      "<disabled>0</disabled><zone1enabled>0</zone1enabled><zone2enabled>1"
                      "</zone2enabled><zone3enabled>2</zone3enabled><zone4enabled>1</zone4enabled>"
                      "</onc>"),
            std::string::npos)
      << text;
}

TEST_F(SensorSections, MissingZoneStatesKeepWhatTheResponseHeldAnyOtherMissingElementStops) {
  auto document = [&](const std::string& onc) {
    std::string groups = "<groups>";
    for (int g = 0; g < 16; ++g) groups += "<group>0</group>";
    groups += "</groups>";
    std::string caos = "<caos>";
    for (int z = 0; z < 4; ++z)
      caos += "<cao><cmndaddress>2</cmndaddress><offset>-5</offset></cao>";
    caos += "</caos>";
    return WriteFile(
        "light.dcf",
        "<?xml version=\"1.0\"?>\n<lumetraconfigurator><balasts/><ctrldevices>\n<ctrldevice>"
        "<deviceaddress>3</deviceaddress><devicetype>133</devicetype><maxversion>1</maxversion>"
        "<minversion>5</minversion>" +
            groups +
            "<multimaster>0</multimaster>\n<lightsensor>"
            "<enabled>1</enabled><closedloop>0</closedloop><defaultlevel>1</defaultlevel><onlevel>2"
            "</onlevel><offlevel>3</offlevel><offtimeout>4</offtimeout><maxlevel>5</maxlevel>"
            "<minlevel>6</minlevel><delta>7</delta><scale>1</scale>" +
            caos + "<oncs>" + onc +
            "</oncs></lightsensor>\n<position><top>1</top><left>2</left></position></ctrldevice>\n"
            "</ctrldevices></lumetraconfigurator>\n");
  };
  LoadDocument(document("<onc><address>9</address><message>3</message><level>10</level>"
                        "<disabled>1</disabled><zone3enabled>2</zone3enabled></onc>"),
               gear, devices);
  devices.SetCurrentSlot(kSensor);
  const LightOnc onc = devices.LightSensor().Oncs(0);
  EXPECT_EQ(onc.Address(), 9);
  EXPECT_EQ(onc.Enabled(), 1);
  EXPECT_EQ(onc.ZoneEnabled(2), 2);
  EXPECT_EQ(onc.ZoneEnabled(0), 3) << "missing: the erased state stays";
  EXPECT_EQ(devices.LightSensor().Caos(3).Offset(), 0xFB) << "-5 as a byte";

  const char* const broken[] = {
      "<onc><address>9</address><message>3</message><disabled>1</disabled></onc>",
      "<onc><address>9</address><message>3</message><level>10</level></onc>",
      "<onc><address>9</address><message>3</message><level>10</level><disabled>1</disabled>"
      "<zone1enabled>x</zone1enabled></onc>"};
  for (const char* onc : broken) {
    EXPECT_THROW(LoadDocument(document(onc), gear, devices), Error) << onc;
  }
}

TEST_F(SensorSections, TheLightSensorsReportLinesByLoopAndFirmware) {
  Install(kKindLightSensor, 5);
  ConfigureLight();
  ReportPageList lines;
  AddLightSensorToReport(devices, lines);
  const std::string rule(102, '-');
  // clang-format off
  std::vector<std::string> expected = {
      rule, "",
      "Povolený:                     Áno", "",
      "Typ slučky:                   zatvorená", "",
      "Požadovaná úroveň:            450 lx",
      "Úroveň zapnutia:              30 %",
      "Úroveň vypnutia:              80 %",
      "Čakanie pred vypnutím:        1:02:05", "",
      "Úroveň maximálneho svietenia:  90 %",
      "Úroveň minimálneho svietenia:  10 %", "",
      "Odchýlka regulácie:           +  7 %",
      "Citlivosť merania:            0.1 lx", "",
      "Ovládané zóny svietidiel:",
      "Zóna      Adresa          Ofset",
      "  1       Všetky           0 %",
      "  2        GA 03          -20 %",
      "  3         A 12           15 %",
      "  4         ---",
      "",
      "Odozvy na správy z okolia:",
      "Adresa           Správa           Úroveň  Zakázať         Ovládanie zóny svietidiel",
      "                                                       1         2         3         4",
      "    3   Úroveň svetla                500    Nie        -      Povoliť   Zakázať   Povoliť",
      "   63   Tl. 1 stlačené / zapnuté            Áno        -         -         -         -   ",
  };
  // clang-format on
  for (int j = 2; j < 32; ++j) expected.push_back("  ---");
  expected.push_back(rule);
  EXPECT_EQ(lines, expected);

  // Open loop; firmware 1.001 works with +5 % and 1 lx whatever the record holds.
  devices.LightSensor().SetClosedLoop(0);
  devices.SetMinVersion(1);
  lines.clear();
  AddLightSensorToReport(devices, lines);
  EXPECT_EQ(lines[4], "Typ slučky:                   otvorená");
  EXPECT_EQ(lines[6], "Úroveň pre min. svietenie:    450 lx");
  EXPECT_EQ(lines[7], "Úroveň pre max. svietenie:    30 lx");
  EXPECT_EQ(lines[14], "Odchýlka regulácie:           +  5 %");
  EXPECT_EQ(lines[15], "Citlivosť merania:            1 lx");
}

TEST_F(SensorSections, ACombinedSensorSurvivesTheDocumentOnBothFirmwareLayouts) {
  for (const uint8_t minor : {0, 1}) {
    devices.ClearControllers();
    Install(kKindPirLightSensor, minor);
    ConfigurePirLight();
    RoundTrip();
  }
  // An enable byte never read stays so; it does not come back as a setting.
  devices.ClearControllers();
  Install(kKindPirLightSensor, 1);
  EXPECT_NE(Saved(SavePirLightSensor).find("<pirlightsensor><enabled>255</enabled>"),
            std::string::npos);
  RoundTrip();
}

// A sensor read as it left the factory: its 8-bit fields 0xFF, its 16-bit values 65535 (or all
// bits set where nothing was read), its waits above 18:00:00. None of them is a setting: the report
// leaves them blank on both kinds, as the pages leave their edits empty.
TEST_F(SensorSections, NeverProgrammedValuesPrintBlankOnBothKinds) {
  const std::string blank;
  const auto field = [](const char* caption) { return PadRight(caption, 30); };
  Install(kKindLightSensor, 5);
  LightSensorLayout light = devices.LightSensor();
  light.SetDefaultLevel(0xFFFF);
  light.SetOffTimeout(0xFFFF);
  light.Caos(1).SetCmndAddress(0xA2);  // a group beyond 15
  light.Caos(2).SetCmndAddress(0x18);  // device 12 with an erased offset
  ReportPageList lines;
  AddLightSensorToReport(devices, lines);
  // clang-format off
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 2, lines.begin() + 24),
            (std::vector<std::string>{
                field("Povolený:"), blank,
                field("Typ slučky:"), blank,
                field("Úroveň pre min. svietenie:"),
                field("Úroveň pre max. svietenie:"),
                field("Úroveň vypnutia:"),
                field("Čakanie pred vypnutím:"), blank,
                field("Úroveň maximálneho svietenia:"),
                field("Úroveň minimálneho svietenia:"), blank,
                field("Odchýlka regulácie:"),
                field("Citlivosť merania:"), blank,
                "Ovládané zóny svietidiel:",
                "Zóna      Adresa          Ofset",
                "  1         ---",
                "  2         ---",
                "  3         A 12 ",
                "  4         ---",
                blank}));
  // clang-format on

  Install(kKindPirLightSensor, 1);
  PirLightSensorLayout combined = devices.PirLightSensor();
  combined.SetOnLevel(0xFFFF);
  combined.Sequences(0).Commands(0).SetTimeout(0xFFFF);
  combined.Sequences(0).Commands(1).SetTimeout(3600);
  combined.SetCmndAddress(0xA2);
  lines.clear();
  AddPirLightSensorToReport(devices, lines);
  // clang-format off
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 2, lines.begin() + 24),
            (std::vector<std::string>{
                field("Povolený:"), blank,
                "               Rozsvecovanie   1. stmievanie   2. stmievanie ",
                "Priebeh 1",
                "Úroveň:" + std::string(8 + 12 + 16 + 16, ' '),
                "Čakanie:" + std::string(7 + 12, ' ') + "         1:00:00",
                "Priebeh 2",
                "Úroveň:" + std::string(8 + 12 + 16 + 16, ' '),
                "Čakanie:" + std::string(7 + 12 + 16, ' '),
                blank,
                field("Úroveň zapnutia:"),
                field("Úroveň vypnutia:"),
                field("Čakanie pred vypnutím:"), blank,
                field("Úroveň maximálneho svietenia:"),
                field("Úroveň minimálneho svietenia:"), blank,
                field("Odchýlka regulácie:"),
                field("Citlivosť merania:"), blank,
                field("Ovládané zóny svietidiel:"), blank}));
  // clang-format on
}

TEST_F(SensorSections, TheCombinedSensorsReportDashesTheMissingSequence) {
  Install(kKindPirLightSensor, 1);
  ConfigurePirLight();
  ReportPageList lines;
  AddPirLightSensorToReport(devices, lines);
  const std::string rule(102, '-');
  // clang-format off
  std::vector<std::string> expected = {
      rule, "",
      "Povolený:                     Áno", "",
      "               Rozsvecovanie   1. stmievanie   2. stmievanie ",
      "Priebeh 1",
      "Úroveň:                 800             65000               0",
      "Čakanie:            0:01:30        18:00:00",
      "Priebeh 2",
      "Úroveň:                   5               6               7",
      "Čakanie:            0:00:01         0:00:02",
      "",
      "Úroveň zapnutia:               20 %",
      "Úroveň vypnutia:               70 %",
      "Čakanie pred vypnutím:        0:01:00", "",
      "Úroveň maximálneho svietenia: 100 %",
      "Úroveň minimálneho svietenia:   1 %", "",
      "Odchýlka regulácie:           +3 %",
      "Citlivosť merania:            0.01 lx", "",
      "Ovládané zóny svietidiel:     Všetky", "",
      "Odozvy na správy z okolia:",
      "Adresa           Správa           Úroveň  Zakázať  Priebeh 1  Priebeh 2",
      "    2   PIR alarm                  65000    Nie                   x",
      "    4                                100    Áno        x           ",
  };
  // clang-format on
  for (int j = 2; j < 32; ++j) expected.push_back("  ---");
  expected.push_back(rule);
  EXPECT_EQ(lines, expected);

  devices.SetMinVersion(0);
  devices.PirLightSensor().SetCmndAddress(0x8A);
  lines.clear();
  AddPirLightSensorToReport(devices, lines);
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 8, lines.begin() + 11),
            (std::vector<std::string>{"Priebeh 2",
                                      "Úroveň:                 ---             ---             ---",
                                      "Čakanie:                ---             ---"}));
  EXPECT_EQ(lines[22], "Ovládané zóny svietidiel:     GA 05");
}

TEST_F(SensorSections, TheProgramsReportPagesCarryBothKindsLines) {
  Install(kKindLightSensor, 5);
  ConfigureLight();
  FillDevice(devices, 5, kKindPirLightSensor);
  devices.SetVersion(1);
  devices.SetMinVersion(0);
  ConfigurePirLight();
  devices.SetCurrentGroup(TConfig::kAllDevices);
  devices.SetCurrentSlot(TConfig::kGroupSlot);
  ReportPages pages;
  ASSERT_EQ(ControllerReportPages(devices, pages), 2);
  auto has = [](const ReportPageList& page, const std::string& line) {
    return std::find(page.begin(), page.end(), line) != page.end();
  };
  EXPECT_TRUE(has(pages[0], "Typ slučky:                   zatvorená"));
  EXPECT_TRUE(has(pages[0], "  3         A 12           15 %"));
  EXPECT_TRUE(has(pages[1], "               Rozsvecovanie   1. stmievanie   2. stmievanie "));
  EXPECT_TRUE(has(pages[1], "Čakanie:                ---             ---"));
}

}  // namespace
}  // namespace lumetra::testing
