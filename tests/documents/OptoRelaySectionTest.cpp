// The opto-relay's document part and report lines: the exact text written, the round trip through
// a real file, what loading does with too many or broken responses, and the report line by line.
#include "support/KindRecords.h"
#include "documents/OptoRelaySection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DocumentFixture.h"
#include "documents/ConfigDocument.h"
#include "model/Error.h"
#include "model/MessageCodeTable.h"

namespace lumetra::testing {
namespace {

constexpr uint8_t kRelay = 6;

class OptoRelaySection : public TempFolder {
 protected:
  void SetUp() override {
    TempFolder::SetUp();
    FillDevice(devices, kRelay, kKindOptoRelay);
  }

  // A document whose relay entry holds `section` for its "optorelay".
  std::string DocumentWith(const std::string& section) const {
    std::string groups = "<groups>";
    for (int g = 0; g < 16; ++g) groups += "<group>0</group>";
    groups += "</groups>";
    return WriteFile("relay.dcf",
                     "<?xml version=\"1.0\"?>\n<lumetraconfigurator><balasts/><ctrldevices>\n"
                     "<ctrldevice><deviceaddress>6</deviceaddress><devicetype>141</devicetype>"
                     "<maxversion>1</maxversion><minversion>2</minversion>" +
                         groups + "<multimaster>0</multimaster>\n" + section +
                         "\n<position><top>1</top><left>2</left></position></ctrldevice>\n"
                         "</ctrldevices></lumetraconfigurator>\n");
  }
  static std::string Onc(int address, int message, int op, const std::string& level, int relayOn) {
    return "<onc><address>" + std::to_string(address) + "</address><message>" +
           std::to_string(message) + "</message><operator>" + std::to_string(op) +
           "</operator><level>" + level + "</level><relayon>" + std::to_string(relayOn) +
           "</relayon></onc>";
  }

  TBalastConfig gear;
  TControllerConfig devices;
};

TEST_F(OptoRelaySection, TheSectionIsWrittenWithEveryResponse) {
  devices.OptoRelay().SetRelayEnabled(1);
  RelayOnc onc = devices.OptoRelay().Oncs(1);
  onc.SetAddress(5);
  onc.SetMessageIndex(11);
  onc.SetOperator(3);
  onc.SetLevel(400);
  onc.SetRelayOn(0x13);

  pugi::xml_document doc;
  pugi::xml_node entry = doc.append_child("ctrldevice");
  SaveOptoRelay(entry, devices);
  std::string oncs;
  for (int j = 0; j < 32; ++j) {
    oncs += "<onc index=\"" + std::to_string(j) + "\">";
    oncs += j == 1 ? "<address>5</address><message>11</message><operator>3</operator>"
                     "<level>400</level><relayon>19</relayon>"
                   : "<address>255</address><message>255</message><operator>255</operator>"
                     "<level>4294967295</level><relayon>255</relayon>";
    oncs += "</onc>";
  }
  std::ostringstream text;
  doc.save(text, "", pugi::format_raw | pugi::format_no_declaration);
  EXPECT_EQ(text.str(), "<ctrldevice><optorelay><enabled>1</enabled><oncs>" + oncs +
                            "</oncs></optorelay></ctrldevice>");
}

TEST_F(OptoRelaySection, ARelaySurvivesTheDocumentByteForByte) {
  OptoRelayLayout relay = devices.OptoRelay();
  relay.SetRelayEnabled(0);
  for (uint32_t j = 0; j < 32; ++j) {
    if (j % 5 == 4) continue;  // a few untouched responses among them
    RelayOnc onc = relay.Oncs(j);
    onc.SetAddress(j * 7 % 70);
    onc.SetMessageIndex(j % 12);
    onc.SetOperator(j % 4 == 3 ? 0xFF : j % 4);
    onc.SetLevel(j % 3 == 0 ? 0xFFFF : j * 2031);
    onc.SetRelayOn(j * 37 % 256);
  }
  devices.SetStatus(0);
  const std::string path = Path("relay.dcf");
  SaveDocument(path, gear, devices);

  TBalastConfig openedGear;
  TControllerConfig opened;
  LoadDocument(path, openedGear, opened);
  ASSERT_FALSE(opened.IsSlotFree(kRelay));
  EXPECT_TRUE(test::SameValues(opened.Record(kRelay), devices.Record(kRelay)));
}

TEST_F(OptoRelaySection, LoadingReadsThirtyTwoResponsesInOrderAndNoMore) {
  std::string oncs;
  for (int j = 0; j < 33; ++j) oncs += Onc(j, j % 12, 1, std::to_string(100 + j), 0x10 | (j % 16));
  const std::string path =
      DocumentWith("<optorelay><enabled>7</enabled><oncs>" + oncs + "</oncs></optorelay>");
  LoadDocument(path, gear, devices);
  devices.SetCurrentSlot(kRelay);
  const OptoRelayLayout relay = devices.OptoRelay();
  EXPECT_EQ(relay.RelayEnabled(), 7) << "kept as it stands";
  for (uint32_t j = 0; j < 32; ++j) {
    const RelayOnc onc = relay.Oncs(j);
    EXPECT_EQ(onc.Address(), j);
    EXPECT_EQ(onc.MessageIndex(), j % 12);
    EXPECT_EQ(onc.Message(), MessageCodeOf(j % 12)) << "the code comes with the index";
    EXPECT_EQ(onc.Level(), 100 + j);
    EXPECT_EQ(onc.RelayOn(), 0x10 | (j % 16));
  }
}

TEST_F(OptoRelaySection, ABrokenSectionStopsTheLoadingAndNamesTheElement) {
  const struct {
    std::string section;
    std::string named;
  } cases[] = {
      {"", "optorelay"},
      {"<optorelay><oncs/></optorelay>", "enabled"},
      {"<optorelay><enabled>1</enabled></optorelay>", "oncs"},
      {"<optorelay><enabled>x1</enabled><oncs/></optorelay>", "enabled"},
      {"<optorelay><enabled>1</enabled><oncs>" + Onc(3, 1, 2, "1e3", 0) + "</oncs></optorelay>",
       "level"},
      {"<optorelay><enabled>1</enabled><oncs><onc><address>3</address></onc></oncs></optorelay>",
       "message"},
      {"<optorelay><enabled>1</enabled><oncs>" + Onc(256, 1, 2, "5", 0) + "</oncs></optorelay>",
       "address"},
  };
  for (const auto& c : cases) {
    devices.ClearControllers();
    FillDevice(devices, 9, kKindOptoRelay);
    const TableBytes before = TableBytes::Of(gear, devices);
    try {
      LoadDocument(DocumentWith(c.section), gear, devices);
      ADD_FAILURE() << c.section << " loaded";
    } catch (const Error& e) {
      EXPECT_NE(std::string(e.what()).find(c.named), std::string::npos) << e.what();
    }
    EXPECT_TRUE(TableBytes::Of(gear, devices) == before) << c.section;
  }
}

TEST_F(OptoRelaySection, TheReportListsTheSettingAndEveryResponse) {
  OptoRelayLayout relay = devices.OptoRelay();
  relay.SetRelayEnabled(1);
  const struct {
    uint32_t j;
    uint8_t address, message, op;
    uint32_t level;
    uint8_t relayOn;
  } set[] = {
      {0, 5, 11, 3, 400, 0x13},          // the example line
      {1, 63, 1, 0, 0, 0x0C},            // "< ", level 0, switch off C and D
      {2, 12, 200, 0xFF, 0xFFFF, 0xF3},  // unknown message, no operator, no level, no action
      {3, 0, 8, 2, 65000, 0x25},         // an action the relay does not know prints empty
      {4, 7, 9, 1, 0xFFFFFFFF, 0xFF},    // level and RelayOn never set
  };
  for (const auto& s : set) {
    RelayOnc onc = relay.Oncs(s.j);
    onc.SetAddress(s.address);
    onc.SetMessageIndex(s.message);
    onc.SetOperator(s.op);
    onc.SetLevel(s.level);
    onc.SetRelayOn(s.relayOn);
  }
  ReportPageList lines;
  AddOptoRelayToReport(devices, lines);
  const std::string rule(102, '-');
  // One report line a line, as it prints.
  // clang-format off
  std::vector<std::string> expected = {
      rule,
      "",
      "Povolený:                     Áno",
      "",
      "Odozvy na správy z okolia:",
      "Adresa           Správa          Operátor  Úroveň  Činnosť  Výstup A  Výstup B  Výstup C  "
      "Výstup D",
      "    5   Úroveň svetla               >=        400   Zapnúť      x         x                    ",
      "   63   Tl. 1 stlačené / zapnuté    <           0   Vypnúť                          x         x",
      "   12                                                           x         x                    ",
      "    0   PIR kľud                    >       65000               x                   x          ",
      "    7   PIR stmievanie 1            <=                                                         ",
  };
  // clang-format on
  for (int j = 5; j < 32; ++j) expected.push_back("  ---");
  expected.push_back(rule);
  EXPECT_EQ(lines, expected);

  relay.SetRelayEnabled(0);
  lines = {"before"};
  AddOptoRelayToReport(devices, lines);
  ASSERT_GT(lines.size(), 3u);
  EXPECT_EQ(lines.front(), "before") << "appended to the page";
  EXPECT_EQ(lines[3], "Povolený:                     Nie");
}

}  // namespace
}  // namespace lumetra::testing
