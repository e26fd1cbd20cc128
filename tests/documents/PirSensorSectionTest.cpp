// The motion sensor's document section on real files (exact elements, the round trip, the order
// of the "command" elements, broken entries) and its report lines as text.
#include <gtest/gtest.h>

#include <pugixml.hpp>

#include "support/KindRecords.h"
#include "DocumentFixture.h"
#include "documents/ConfigDocument.h"
#include "documents/PirSensorSection.h"
#include "model/Error.h"

namespace lumetra {
namespace {

using testing::FillDevice;

const DocumentStamp kStamp{"2.1.0.25", {2024, 3, 5, 9, 7, 2}};

// Sensor 6: enabled, group 5, commands 200 / 150 / no level with waits 0:05:00, 18:00:00 and one
// never set; response 0 answers "PIR alarm" of device 3 with 100, response 1 (disabled) a message
// of 63 never chosen, with no level; the rest empty.
void FillSensor(TControllerConfig& t, uint8_t slot = 6) {
  FillDevice(t, slot, kKindPirSensor);
  PirSensorLayout layout = t.PirSensor();
  layout.SetSensorEnabled(1);
  layout.SetCmndAddress(0x8A);
  layout.Commands(0).SetLevel(200);
  layout.Commands(0).SetTimeout(300);
  layout.Commands(1).SetLevel(150);
  layout.Commands(1).SetTimeout(64800);
  layout.Commands(2).SetLevel(255);
  PirOnc first = layout.Oncs(0);
  first.SetAddress(3);
  first.SetMessageIndex(7);
  first.SetLevel(100);
  first.SetEnabled(0);
  PirOnc second = layout.Oncs(1);
  second.SetAddress(63);
  second.SetMessageIndex(0);
  second.SetEnabled(1);
}

class PirSensorSection : public testing::TempFolder {
 protected:
  void SetUp() override {
    TempFolder::SetUp();
    gear.ResetPositions();
    devices.ResetPositions();
  }
  std::string Save(const std::string& name) {
    SaveDocument(Path(name), gear, devices, kStamp);
    return Read(Path(name));
  }
  void Load(const std::string& name, TControllerConfig& into) {
    TBalastConfig openedGear;
    LoadDocument(Path(name), openedGear, into);
  }
  // The document `name` with `edit` applied to its "pirsensor" element, as `edited`.
  void Edit(const std::string& name, const std::string& edited,
            const std::function<void(pugi::xml_node)>& edit) {
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_file(Path(name).c_str()));
    edit(doc.child("lumetraconfigurator").child("ctrldevices").child("ctrldevice").child(
        "pirsensor"));
    ASSERT_TRUE(doc.save_file(Path(edited).c_str()));
  }

  TBalastConfig gear;
  TControllerConfig devices;
};

TEST_F(PirSensorSection, TheElementsAreWrittenInTheirOrderWithRawValues) {
  FillSensor(devices);
  devices.SetPercentMode(1);
  const std::string text = Save("sensor.dcf");
  const std::string head =
      "      <pirsensor>\n"
      "        <enabled>1</enabled>\n"
      "        <cmndaddress>138</cmndaddress>\n"
      "        <commands>\n"
      "          <command index=\"0\">\n"
      "            <level>200</level>\n"
      "            <timeout>300</timeout>\n"
      "          </command>\n"
      "          <command index=\"1\">\n"
      "            <level>150</level>\n"
      "            <timeout>64800</timeout>\n"
      "          </command>\n"
      "          <command index=\"2\">\n"
      "            <level>255</level>\n"
      "            <timeout>4294967295</timeout>\n"
      "          </command>\n"
      "        </commands>\n"
      "        <oncs>\n"
      "          <onc index=\"0\">\n"
      "            <address>3</address>\n"
      "            <message>7</message>\n"
      "            <level>100</level>\n"
      "            <disabled>0</disabled>\n"
      "          </onc>\n"
      "          <onc index=\"1\">\n"
      "            <address>63</address>\n"
      "            <message>0</message>\n"
      "            <level>255</level>\n"
      "            <disabled>1</disabled>\n"
      "          </onc>\n"
      "          <onc index=\"2\">\n"
      "            <address>255</address>\n"
      "            <message>255</message>\n"
      "            <level>255</level>\n"
      "            <disabled>255</disabled>\n"
      "          </onc>\n";
  EXPECT_NE(text.find("      <multimaster>255</multimaster>\n" + head), std::string::npos) << text;
  EXPECT_NE(text.find("          <onc index=\"31\">"), std::string::npos);
  EXPECT_EQ(text.find("<onc index=\"32\">"), std::string::npos);
  EXPECT_NE(text.find("        </oncs>\n      </pirsensor>\n      <position>"), std::string::npos);
}

TEST_F(PirSensorSection, EveryByteOfTheRecordSurvivesTheRoundTrip) {
  FillSensor(devices, 6);
  FillSensor(devices, 40);
  PirSensorLayout other = devices.PirSensor();
  other.SetCmndAddress(0xFF);  // erased: all lights
  other.SetSensorEnabled(0);
  for (uint32_t j = 2; j < 32; ++j) {
    PirOnc onc = other.Oncs(j);
    onc.SetAddress(j);
    onc.SetMessageIndex(j % 9);
    onc.SetLevel(j * 7);
    onc.SetEnabled(j % 2);
  }
  devices.SetCurrentSlot(6);
  devices.SetCurrentGroup(TConfig::kAllDevices);
  Save("sensors.dcf");
  TControllerConfig opened;
  Load("sensors.dcf", opened);
  for (uint8_t slot : {6, 40}) {
    ASSERT_TRUE(test::SameValues(devices.Record(slot), opened.Record(slot))) << int(slot);
  }
  opened.SetCurrentSlot(6);
  EXPECT_EQ(opened.PirSensor().Commands(2).Timeout(), 0xFFFFFFFFu)
      << "a wait never set reads back as that value";
}

TEST_F(PirSensorSection, CommandsAreTakenInDocumentOrderNotByIndex) {
  FillSensor(devices);
  devices.PirSensor().Commands(2).SetTimeout(7);
  Save("sensor.dcf");
  // The elements in the order 2, 0, 1.
  Edit("sensor.dcf", "reordered.dcf", [](pugi::xml_node sensor) {
    pugi::xml_node commands = sensor.child("commands");
    commands.prepend_move(commands.last_child());
  });
  TControllerConfig opened;
  Load("reordered.dcf", opened);
  opened.SetCurrentSlot(6);
  const PirSensorLayout layout = opened.PirSensor();
  EXPECT_EQ(layout.Commands(0).Level(), 255);
  EXPECT_EQ(layout.Commands(0).Timeout(), 7u);
  EXPECT_EQ(layout.Commands(1).Level(), 200);
  EXPECT_EQ(layout.Commands(1).Timeout(), 300u);
  EXPECT_EQ(layout.Commands(2).Level(), 150);
  EXPECT_EQ(layout.Commands(2).Timeout(), 64800u);
}

TEST_F(PirSensorSection, AMissingOrBrokenElementStopsTheOpeningAndNamesIt) {
  FillSensor(devices);
  Save("sensor.dcf");
  const struct {
    const char* what;
    std::function<void(pugi::xml_node)> edit;
    const char* named;
  } cases[] = {
      {"no enabled", [](pugi::xml_node s) { s.remove_child("enabled"); }, "enabled"},
      {"text in cmndaddress",
       [](pugi::xml_node s) { s.child("cmndaddress").text().set("všetky"); }, "cmndaddress"},
      {"level beyond a byte",
       [](pugi::xml_node s) { s.child("commands").first_child().child("level").text().set(256); },
       "level"},
      {"negative timeout",
       [](pugi::xml_node s) {
         s.child("commands").first_child().child("timeout").text().set("-1");
       },
       "timeout"},
      {"no disabled", [](pugi::xml_node s) { s.child("oncs").last_child().remove_child("disabled"); },
       "disabled"},
      {"no oncs", [](pugi::xml_node s) { s.remove_child("oncs"); }, "oncs"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Edit("sensor.dcf", "broken.dcf", c.edit);
    TControllerConfig opened;
    try {
      Load("broken.dcf", opened);
      ADD_FAILURE() << "opened";
    } catch (const Error& e) {
      EXPECT_NE(std::string(e.what()).find(c.named), std::string::npos) << e.what();
    }
  }
}

std::vector<std::string> ReportOf(TControllerConfig& t) {
  ReportPageList lines;
  AddPirSensorToReport(t, lines);
  return lines;
}

const std::string kRule(102, '-');

TEST_F(PirSensorSection, TheReportLinesInArcLevels) {
  FillSensor(devices);
  std::vector<std::string> expected = {
      kRule,
      "",
      "Povolený:                     Áno",
      "",
      "               Rozsvecovanie   1. stmievanie   2. stmievanie ",
      "Úroveň:                 200             150" + std::string(16, ' '),
      "Čakanie:            0:05:00        18:00:00",
      "",
      "Ovládané zóny svietidiel:     GA 05",
      "",
      "Odozvy na správy z okolia:",
      "Adresa           Správa           Úroveň  Zakázať  ",
      "    3   PIR alarm                   100     Nie",
      "   63" + std::string(39, ' ') + "Áno",
  };
  for (int j = 2; j < 32; ++j) expected.push_back("  ---");
  expected.push_back(kRule);
  EXPECT_EQ(ReportOf(devices), expected);
}

TEST_F(PirSensorSection, TheReportLinesInPercentAndAWaitNeverSet) {
  FillSensor(devices);
  PirSensorLayout layout = devices.PirSensor();
  layout.Commands(0).SetLevel(254);
  layout.Commands(1).SetLevel(0);
  layout.Commands(1).SetTimeout(0xFFFFFFFF);
  layout.Oncs(0).SetLevel(254);
  layout.SetSensorEnabled(255);  // never read: neither "Áno" nor "Nie"
  devices.SetPercentMode(1);
  const std::vector<std::string> lines = ReportOf(devices);
  ASSERT_EQ(lines.size(), 12u + 32u + 1u);
  EXPECT_EQ(lines[2], "Povolený:" + std::string(21, ' '));
  EXPECT_EQ(lines[5], "Úroveň:                100%              0%" + std::string(16, ' '));
  EXPECT_EQ(lines[6], "Čakanie:            0:05:00" + std::string(16, ' '));
  EXPECT_EQ(lines[12], "    3   PIR alarm                  100%     Nie");
  EXPECT_EQ(lines[13], "   63" + std::string(39, ' ') + "Áno");
}

TEST_F(PirSensorSection, TheReportNamesTheControlledLights) {
  // Erased memory and a group beyond 15 name no lights: the field stays empty.
  const struct {
    uint8_t address;
    const char* text;
  } cases[] = {{0xFE, "Všetky"}, {0xFF, ""},     {0x8A, "GA 05"}, {0x80, "GA 00"}, {0x9E, "GA 15"},
               {0x0C, "A 06"},   {0x7E, "A 63"}, {0x00, "A 00"},  {0xA2, ""},      {0xFD, ""}};
  FillSensor(devices);
  for (const auto& c : cases) {
    devices.PirSensor().SetCmndAddress(c.address);
    EXPECT_EQ(ReportOf(devices)[8], std::string("Ovládané zóny svietidiel:     ") + c.text)
        << int(c.address);
  }
}

}  // namespace
}  // namespace lumetra
