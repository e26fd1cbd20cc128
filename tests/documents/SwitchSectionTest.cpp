// The push-button and switch part of the document and of the report page: the elements in order,
// the message index mapping, loading by document order, and the report lines character for
// character.
#include "support/KindRecords.h"
#include "documents/SwitchSection.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "DocumentFixture.h"
#include "documents/ConfigDocument.h"
#include "model/Error.h"
#include "model/Utf.h"

namespace lumetra {
namespace {

const DocumentStamp kStamp{"2.1.0.25", {2024, 3, 5, 9, 7, 2}};
constexpr uint8_t kSlot = 6;

class SwitchSection : public testing::TempFolder {
 protected:
  void SetUp() override {
    TempFolder::SetUp();
    gear.ResetPositions();
    devices.ResetPositions();
    testing::FillDevice(devices, kSlot, kKindSwitch);
    devices.SetVersion(1);
    devices.SetMinVersion(2);
  }
  std::string Save(const std::string& name) {
    SaveDocument(Path(name), gear, devices, kStamp);
    return Read(Path(name));
  }
  void Load(const std::string& name) {
    LoadDocument(Path(name), gear, devices);
    devices.SetCurrentSlot(kSlot);
  }
  // The saved document with `edit` applied to its "switch" element.
  template <typename Edit>
  void SaveEdited(const std::string& name, Edit edit) {
    Save(name);
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_file(Path(name).c_str()));
    edit(doc.document_element().child("ctrldevices").child("ctrldevice").child("switch"));
    ASSERT_TRUE(doc.save_file(Path(name).c_str()));
  }

  TBalastConfig gear;
  TControllerConfig devices;
};

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST_F(SwitchSection, ANeverWrittenRecordSavesTheErasedValues) {
  const std::string text = Save("erased.dcf");
  EXPECT_NE(text.find("</multimaster>\n      <switch>\n        <enabled>255</enabled>\n"
                      "        <type0>255</type0>\n        <type1>255</type1>\n"
                      "        <sequences>\n          <sequence index=\"0\">\n"
                      "            <commands>\n              <command index=\"0\">\n"
                      "                <address>255</address>\n                <data>255</data>\n"
                      "                <timeout>4294967295</timeout>\n"
                      "                <indicator1>15</indicator1>\n"),
            std::string::npos)
      << text;
  EXPECT_EQ(Count(text, "<timeout>4294967295</timeout>"), 16u);
  EXPECT_EQ(Count(text, "<sequence index="), 4u);
  EXPECT_EQ(Count(text, "<command index="), 16u);
  EXPECT_EQ(Count(text, "<reset>255</reset>\n            <repeat>255</repeat>"), 4u);
  EXPECT_EQ(Count(text, "<onc index="), 32u);
  // An erased response: no message (index 0), enabled, "stop" and "start none" bits set.
  EXPECT_NE(text.find("<onc index=\"15\">\n                <address>255</address>\n"
                      "                <message>0</message>\n"
                      "                <disabled>0</disabled>\n"
                      "                <stopsequence>1</stopsequence>\n"
                      "                <startsequence>3</startsequence>\n"
                      "                <indicator1>7</indicator1>"),
            std::string::npos);
  EXPECT_NE(text.find("</buttons>\n      </switch>\n      <position>"), std::string::npos);
}

TEST_F(SwitchSection, EveryFieldSurvivesTheRoundTrip) {
  SwitchLayout layout = devices.Switch();
  layout.SetType0(1);
  layout.SetType1(2);
  layout.SetButtonsEnabled(2);
  for (uint32_t s = 0; s < 4; ++s) {
    for (uint32_t n = 0; n < 26; ++n) layout.SetImageByte(s, n, (s * 37 + n * 11) & 0xFF);
  }
  const uint8_t codes[] = {0xFF, 0x20, 0x40, 0x00, 0x21, 0x41, 0x01, 0x02, 0x04, 0xFE};
  for (uint32_t i = 0; i < 2; ++i) {
    for (uint32_t j = 0; j < 16; ++j) {
      layout.SetImageByte(i, j, 0, i * 16 + j);
      layout.SetImageByte(i, j, 1, codes[(i * 16 + j) % std::size(codes)]);
      layout.SetImageByte(i, j, 2, (j * 29 + i) & 0xFF);
      layout.SetImageByte(i, j, 3, (j * 53 + 7 * i) & 0xFF);
    }
  }
  ControllerRecord before = *devices.Record(kSlot);
  const std::string text = Save("full.dcf");
  devices.ClearControllers();
  Load("full.dcf");
  EXPECT_TRUE(test::SameValues(devices.Record(kSlot), &before));
  EXPECT_EQ(Save("again.dcf"), text);
}

// The switch keeps only the code: 0x01 is "Tl. 2 pustené / vypnuté" (6) and "PIR alarm" (7).
TEST_F(SwitchSection, MessageCodesGoThroughTheFirstMatchingIndex) {
  devices.Switch().Oncs(0, 0).SetMessageIndex(6);
  // A code the table does not hold saves as 12 and comes back as no message.
  devices.Switch().SetImageByte(0, 1, 1, 0x43);
  const std::string saved = Save("codes.dcf");
  EXPECT_NE(saved.find("<message>6</message>"), std::string::npos);
  EXPECT_NE(saved.find("<message>12</message>"), std::string::npos);
  SaveEdited("codes.dcf", [](pugi::xml_node sw) {
    pugi::xml_node first = sw.child("buttons").child("button").child("oncs").child("onc");
    first.child("message").text().set("7");
  });
  Load("codes.dcf");
  EXPECT_EQ(devices.Switch().Oncs(0, 0).Message(), 0x01);
  EXPECT_EQ(devices.Switch().Oncs(0, 0).MessageIndex(), 6);
  EXPECT_EQ(devices.Switch().Oncs(0, 1).Message(), 0xFF);
  EXPECT_NE(Save("again.dcf").find("<message>6</message>"), std::string::npos);
}

TEST_F(SwitchSection, LoadingFollowsDocumentOrderAsFarAsTheRecordHasRoom) {
  for (uint32_t s = 0; s < 4; ++s) devices.Switch().Sequences(s).SetRepeat(s);
  SaveEdited("three.dcf", [](pugi::xml_node sw) {
    pugi::xml_node sequences = sw.child("sequences");
    sequences.remove_child(sequences.last_child());
    // The "index" attributes are not read: the first element is sequence 0 whatever it says.
    sequences.first_child().attribute("index").set_value("3");
    // A fifth "command" and a third "button" have no room and are left alone.
    pugi::xml_node commands = sequences.first_child().child("commands");
    commands.append_copy(commands.first_child()).child("data").text().set("x");
    pugi::xml_node buttons = sw.child("buttons");
    buttons.append_copy(buttons.first_child());
  });
  Load("three.dcf");
  for (uint32_t s = 0; s < 3; ++s) EXPECT_EQ(devices.Switch().Sequences(s).Repeat(), s);
  EXPECT_EQ(devices.Switch().Sequences(3).Repeat(), 0xFF);
}

TEST_F(SwitchSection, AMissingElementOrBadNumberNamesIt) {
  const struct {
    const char* element;
    std::function<void(pugi::xml_node)> edit;
  } cases[] = {
      {"repeat",
       [](pugi::xml_node sw) { sw.child("sequences").child("sequence").remove_child("repeat"); }},
      {"timeout",
       [](pugi::xml_node sw) {
         sw.child("sequences")
             .child("sequence")
             .child("commands")
             .child("command")
             .child("timeout")
             .text()
             .set("-1");
       }},
      {"indicator4",
       [](pugi::xml_node sw) {
         sw.child("buttons")
             .child("button")
             .child("oncs")
             .child("onc")
             .child("indicator4")
             .text()
             .set("256");
       }},
      {"type1", [](pugi::xml_node sw) { sw.remove_child("type1"); }},
  };
  for (const auto& c : cases) {
    SaveEdited("broken.dcf", c.edit);
    try {
      LoadDocument(Path("broken.dcf"), gear, devices);
      ADD_FAILURE() << c.element << " was not refused";
    } catch (const Error& e) {
      EXPECT_NE(std::string(e.what()).find(std::string("\"") + c.element + "\""), std::string::npos)
          << e.what();
    }
  }
}

// ---- the report ----

class SwitchReport : public ::testing::Test {
 protected:
  void SetUp() override {
    devices.SetCurrentSlot(9);
    devices.SetShortAddress(9);
    devices.SetDeviceType(kKindSwitch);
    devices.SetVersion(1);
    devices.SetMinVersion(4);
  }
  ReportPageList Lines() {
    ReportPageList lines;
    AddSwitchToReport(devices, lines);
    return lines;
  }
  TControllerConfig devices;
};

// Line numbers within one input's block: the rule, the input, two sequences of 14 lines each, the
// responses and the closing rule.
constexpr size_t kFirstStep = 8;  // sequence 0, step 0
constexpr size_t kSequenceLines = 14;
constexpr size_t kFirstResponse = 36;
constexpr size_t kBlockLines = 53;
constexpr size_t kPageHeadLines = 15;

// The columns: address (8), command (24) and level (10), wait (10), four indicators (13 each).
std::string Indicators(const char* a, const char* b, const char* c, const char* d) {
  std::string out;
  for (const char* name : {a, b, c, d}) out += " " + PadRight(name, 10) + "  ";
  return out;
}

TEST_F(SwitchReport, StepLines) {
  const std::string none = Indicators("", "", "", "");
  const std::string tenBlanks(10, ' ');
  const struct {
    uint8_t address, command;
    uint32_t timeout;
    uint8_t indicators[4];
    bool percent;
    std::string line;
  } cases[] = {
      {0x0B,
       0x05,
       0,
       {0xF, 0xF, 0xF, 0xF},
       false,
       "  A 05           Maximum        " + tenBlanks + " 0:00:00  " + none},
      {0x0A,
       200,
       3661,
       {0, 1, 2, 5},
       false,
       "  A 05           Úroveň             200    1:01:01  " +
           Indicators("Vypnutý", "Svieti", "Blik 1 s", "Blik 1/8 s")},
      {0x0A,
       254,
       64799,
       {3, 4, 0xF, 0xF},
       true,
       "  A 05           Úroveň            100%   17:59:59  " +
           Indicators("Blik 1/2 s", "Blik 1/4 s", "", "")},
      // An empty step (address and command erased) prints no address, command or wait.
      {0xFF,
       0xFF,
       0,
       {0xF, 0xF, 0xF, 0xF},
       false,
       std::string(8 + 24, ' ') + tenBlanks + std::string(10, ' ') + none},
      {0xFF,
       0xFF,
       0xFFFF,
       {0xF, 0xF, 0xF, 0xF},
       false,
       std::string(8 + 24, ' ') + tenBlanks + std::string(10, ' ') + none},
      // "Všetky" whatever the command; a wait above 18:00:00 was never programmed.
      {0xFF,
       0x05,
       0xFFFF,
       {0xF, 0xF, 0xF, 0xF},
       false,
       "Všetky           Maximum        " + tenBlanks + std::string(10, ' ') + none},
      {0xFF,
       0x05,
       10,
       {0xF, 0xF, 0xF, 0xF},
       false,
       "Všetky           Maximum        " + tenBlanks + " 0:00:10  " + none},
      {0x89,
       0x13,
       60,
       {0xF, 0xF, 0xF, 0xF},
       false,
       " GA 04           Scéna 3        " + tenBlanks + " 0:01:00  " + none},
      {0x81,
       0x08,
       0,
       {0xF, 0xF, 0xF, 0xF},
       false,
       " GA 00  Minimum - krok jasnejšie" + tenBlanks + " 0:00:00  " + none},
      // Values the tables have no name for print as their codes.
      {0x0B,
       0x0C,
       0,
       {6, 0xF, 0xF, 0xF},
       false,
       "  A 05  kód 12                  " + tenBlanks + " 0:00:00  " +
           Indicators("kód 6", "", "", "")},
  };
  for (const auto& c : cases) {
    devices.SetPercentMode(c.percent ? 1 : 0);
    SwitchStep step = devices.Switch().Sequences(0).Steps(2);
    step.SetAddress(c.address);
    step.SetCommand(c.command);
    step.SetTimeout(c.timeout);
    step.SetIndicator1(c.indicators[0]);
    step.SetIndicator2(c.indicators[1]);
    step.SetIndicator3(c.indicators[2]);
    step.SetIndicator4(c.indicators[3]);
    EXPECT_EQ(Lines().at(kFirstStep + 2), c.line) << int(c.address) << " " << int(c.command);
  }
}

TEST_F(SwitchReport, SequenceOptionsAndInputLines) {
  SwitchLayout layout = devices.Switch();
  layout.SetButtonsEnabled(1);
  layout.SetType0(1);
  layout.SetType1(0);
  layout.Sequences(1).SetRepeat(0x31);
  layout.Sequences(1).SetResetFlags(0x21);
  layout.Sequences(0).SetRepeat(0x0F);
  layout.Sequences(0).SetResetFlags(0x00);
  const ReportPageList lines = Lines();
  const std::vector<std::string> first(lines.begin(), lines.begin() + kFirstStep);
  EXPECT_EQ(first,
            (std::vector<std::string>{
                std::string(102, '-'), "", "Ovládací prvok:               1",
                "Povolený:                     Áno", "Typ ovládacieho prvku:        Vypínač", "",
                "Postupnosť 1 - krátke stlačenie / zapnutie",
                "Adresa           Príkaz           Hodnota  Čakanie  Indikátor 1  Indikátor 2 "
                " Indikátor 3  Indikátor 4"}));
  const size_t second = kFirstStep + kSequenceLines;
  EXPECT_EQ(lines.at(second - 2), "Postupnosť 2 - dlhé stlačenie / vypnutie  ");
  const std::vector<std::string> options(lines.begin() + second + 4, lines.begin() + second + 11);
  EXPECT_EQ(options,
            (std::vector<std::string>{
                "", "Poslať aktuálny stav pred príkazom   1 Áno   2 Áno   3 Nie   4 Nie   ", "",
                "Ukončiť postupnosť pre ovládací prvok 2: Áno", "",
                "Opakovanie postupnosti:       od 2. príkazu",
                "Po zapnutí postupnosť:        Štartovať podľa stavu ovládacieho prvku"}));
  EXPECT_EQ(lines.at(kFirstStep + 9), "Opakovanie postupnosti:       Neopakovať   ");
  EXPECT_EQ(lines.at(kFirstStep + 10), "Po zapnutí postupnosť:        Neštartovať");
  // Input 2 is not enabled and ends the sequences of input 1.
  const size_t input2 = kBlockLines + kPageHeadLines;
  EXPECT_EQ(lines.at(input2 + 3), "Povolený:                     Nie");
  EXPECT_EQ(lines.at(input2 + 4), "Typ ovládacieho prvku:        Tlačidlo");
  // Sequence 2 was never written: its reset bit is set like every bit of erased memory.
  EXPECT_EQ(lines.at(input2 + kFirstStep + 7), "Ukončiť postupnosť pre ovládací prvok 1: Áno");
}

TEST_F(SwitchReport, ResponseLines) {
  SwitchLayout layout = devices.Switch();
  SwitchOnc used = layout.Oncs(1, 0);
  used.SetAddress(7);
  used.SetMessageIndex(4);
  used.SetEnabled(1);
  used.SetStopSequence(1);
  used.SetStartSequence(1);
  used.SetIndicator1(0);
  used.SetIndicator2(5);
  used.SetIndicator3(7);
  used.SetIndicator4(6);
  SwitchOnc plain = layout.Oncs(1, 1);
  plain.SetAddress(12);
  plain.SetMessageIndex(0);
  plain.SetEnabled(0);
  plain.SetStopSequence(0);
  plain.SetStartSequence(3);
  const ReportPageList lines = Lines();
  const size_t base = kBlockLines + kPageHeadLines;
  EXPECT_EQ(lines.at(base + kFirstResponse - 2), "Odozvy na správy z okolia:");
  EXPECT_EQ(lines.at(base + kFirstResponse - 1),
            "Adresa           Správa          Zakázať Stop Štart Indikátor 1  Indikátor 2  "
            "Indikátor 3  Indikátor 4");
  EXPECT_EQ(lines.at(base + kFirstResponse),
            "    7  Tl. 2 stlačené / zapnuté    Áno    Áno   2.  " +
                Indicators("Vypnutý", "Blik 1/8 s", "", "kód 6"));
  EXPECT_EQ(
      lines.at(base + kFirstResponse + 1),
      "   12  " + std::string(24, ' ') + "    Nie    Nie  Nie  " + Indicators("", "", "", ""));
  EXPECT_EQ(lines.at(base + kFirstResponse + 2), "  ---   ");
  EXPECT_EQ(lines.at(base + kFirstResponse + 16), std::string(102, '-'));
}

TEST_F(SwitchReport, ThePageHeadComesAgainBeforeInput2) {
  const ReportPageList lines = Lines();
  ASSERT_EQ(lines.size(), 2 * kBlockLines + kPageHeadLines);
  EXPECT_EQ(lines.at(kBlockLines - 1), std::string(102, '-'));
  const std::vector<std::string> head(lines.begin() + kBlockLines,
                                      lines.begin() + kBlockLines + kPageHeadLines);
  EXPECT_EQ(head,
            (std::vector<std::string>{"\f", "Lumetra konfigurátor", "", "", "Ovládač", "",
                                      "Adresa:                       9", "",
                                      "Typ:                          129 - Spínač",
                                      "Verzia:                       1.004", "", "", "", "", ""}));
  EXPECT_EQ(lines.at(kBlockLines + kPageHeadLines + 2), "Ovládací prvok:               2");
  EXPECT_EQ(std::count(lines.begin(), lines.end(), std::string("\f")), 1);
  // A version never read prints blank, not as "255.255".
  devices.SetMinVersion(255);
  EXPECT_EQ(Lines().at(kBlockLines + 9), "Verzia:" + std::string(23, ' '));
  devices.SetVersion(255);
  EXPECT_EQ(Lines().at(kBlockLines + 9), "Verzia:" + std::string(23, ' '));
}

}  // namespace
}  // namespace lumetra
