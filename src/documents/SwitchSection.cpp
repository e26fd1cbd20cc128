// Push-button and switch entries of the document and their report lines.
#include "documents/SwitchSection.h"

#include <array>
#include <cstdarg>
#include <cstdio>
#include <string>

#include "documents/SensorReportText.h"
#include "model/ErasedValues.h"
#include "model/KindNames.h"
#include "model/LightsAddress.h"
#include "model/MessageCodeTable.h"
#include "model/MessageNames.h"
#include "model/Utf.h"

namespace lumetra {

namespace {

constexpr int kSequences = 4;
constexpr int kSteps = 4;
constexpr int kInputs = 2;
constexpr int kResponses = 16;
constexpr int kIndicators = 4;

const char* const kStepIndicatorNames[kIndicators] = {"indicator1", "indicator2", "indicator3",
                                                      "indicator4"};

// ---- report tables ----

const char* const kSequenceTitles[2] = {"Postupnosť 1 - krátke stlačenie / zapnutie",
                                        "Postupnosť 2 - dlhé stlačenie / vypnutie  "};
const char* const kInputTypeNames[3] = {"Tlačidlo", "Vypínač", "Prepínač"};
const char* const kCommandNames[11] = {
    "                        ", "         Úroveň         ", "         Vypnúť         ",
    "        Jasnejšie       ", "         Tmavšie        ", "      Krok jasnejšie    ",
    "       Krok tmavšie     ", "         Maximum        ", "         Minimum        ",
    "  Krok tmavšíe - vypnúť ", "Minimum - krok jasnejšie"};
const char* const kIndicatorNames[7] = {"          ", "Vypnutý   ", "Svieti    ", "Blik 1 s  ",
                                        "Blik 1/2 s", "Blik 1/4 s", "Blik 1/8 s"};
const char* const kRepeatNames[5] = {"Neopakovať   ", "od 1. príkazu", "od 2. príkazu",
                                     "od 3. príkazu", "od 4. príkazu"};
const char* const kAfterResetNames[3] = {"Neštartovať", "Štartovať",
                                         "Štartovať podľa stavu ovládacieho prvku"};
const char* const kLevelHeader = "         Úroveň         ";
const std::string kRule(102, '-');

const char* YesNo(bool yes) { return yes ? "Áno" : "Nie"; }

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
  char buffer[256];
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  return n < 0 ? std::string() : std::string(buffer, std::min<size_t>(n, sizeof buffer - 1));
}

// "%-30s%s": a caption padded by characters, then the value.
std::string Field(const char* caption, const std::string& value) {
  return PadRight(caption, 30) + value;
}

// A stored value the tables have no name for (a byte written by other software, say) prints as
// its code in the same column width, so the page neither breaks nor passes it off as a name.
std::string Unnamed(uint32_t value, size_t width) {
  return PadRight(Format("kód %u", value), width);
}

std::string IndicatorName(uint32_t item) {
  return item < std::size(kIndicatorNames) ? kIndicatorNames[item] : Unnamed(item - 1, 10);
}

void AddPageHead(TControllerConfig& t, ReportPageList& lines) {
  lines.push_back(kFormFeedLine);
  lines.push_back("Lumetra konfigurátor");
  lines.push_back("");
  lines.push_back("");
  lines.push_back("Ovládač");
  lines.push_back("");
  lines.push_back(Field("Adresa:", std::to_string(t.ShortAddress())));
  lines.push_back("");
  const std::string_view kind = ControllerKindName(kKindSwitch);
  lines.push_back(Field("Typ:", std::to_string(kKindSwitch) + " - " + std::string(kind)));
  const bool versionErased = ErasedByte(t.Version()) || ErasedByte(t.MinVersion());
  lines.push_back(
      Field("Verzia:",
            sensor_report::Value(versionErased, Format("%d.%03d", t.Version(), t.MinVersion()))));
  for (int k = 0; k < 5; ++k) lines.push_back("");
}

// An empty step (address and command erased) prints blank address, command and wait columns.
std::string StepLine(const TControllerConfig& t, const SwitchStep& step) {
  const uint8_t address = step.Address();
  const uint8_t command = step.Command();
  const bool empty = ErasedByte(address) && ErasedByte(command);
  std::string line;
  if (address >= 254) {
    line = "Všetky  ";
  } else if (address >= 0x80 && address <= 0x9F) {
    line = Format(" GA %02d  ", (address >> 1) & 0x0F);
  } else {
    line = Format("  A %02d  ", (address >> 1) & 0x3F);
  }
  if (address & 1) {
    const uint32_t n = command == 0xFF ? 0 : command < 16 ? command + 2u : command - 5u;
    // Opcodes 9..15 and beyond the scenes name nothing the device sends.
    const bool named = command == 0xFF || command <= 8 || (command >= 16 && command < 32);
    if (!named) {
      line += Unnamed(command, 24);
    } else if (n < 11) {
      line += kCommandNames[n];
    } else {
      line += Format("         Scéna %-9u", n - 11);
    }
    line += "          ";
  } else {
    line += kLevelHeader;
    line += t.PercentMode() ? Format("   %3u%%   ", t.ConvertLevel(true, command))
                            : Format("    %3u   ", static_cast<unsigned>(command));
  }
  line = sensor_report::Column(empty, line);
  line += sensor_report::WaitColumn("%2u:%02u:%02u  ", empty ? 0xFFFFFFFFu : step.Timeout());
  for (int n = 0; n < kIndicators; ++n) {
    line += " " +
            PadRight(IndicatorName((step.Indicator(static_cast<uint32_t>(n)) + 1u) & 0x0F), 10) +
            "  ";
  }
  return line;
}

std::string ResponseLine(const SwitchOnc& onc) {
  if (!IsResponseSource(onc.Address())) return "  ---   ";
  const uint8_t index = onc.MessageIndex();
  const std::string message = index < MessageCodeTable.size()
                                  ? std::string(MessageNames(index))
                                  : Unnamed(onc.Message(), kMessageNameWidth);
  std::string line = Format("  %3u  ", static_cast<unsigned>(onc.Address())) + message + "    " +
                     YesNo(onc.Enabled() != 0);
  line += std::string("    ") + YesNo(onc.StopSequence() == 1);
  const uint32_t start = (onc.StartSequence() + 1u) & 3;
  line += start != 0 ? Format("  %2u.  ", start) : std::string("  Nie  ");
  for (int n = 0; n < kIndicators; ++n) {
    line += " " + PadRight(IndicatorName((onc.Indicator(static_cast<uint32_t>(n)) + 1u) & 7), 10) +
            "  ";
  }
  return line;
}

void AddSequence(TControllerConfig& t, int input, int s, ReportPageList& lines) {
  const SwitchSequence sequence = t.Switch().Sequences(static_cast<uint32_t>(s));
  lines.push_back("");
  lines.push_back(kSequenceTitles[s - 2 * input]);
  lines.push_back(
      "Adresa           Príkaz           Hodnota  Čakanie  Indikátor 1  Indikátor 2  Indikátor 3  "
      "Indikátor 4");
  for (int k = 0; k < kSteps; ++k) {
    lines.push_back(StepLine(t, sequence.Steps(static_cast<uint32_t>(k))));
  }
  const uint8_t repeat = sequence.Repeat();
  std::string sendState = "Poslať aktuálny stav pred príkazom   ";
  for (int k = 1; k <= kSteps; ++k) {
    sendState += Format("%d %s   ", k, YesNo((repeat >> (3 + k)) & 1));
  }
  lines.push_back("");
  lines.push_back(sendState);
  const uint8_t reset = sequence.ResetFlags();
  lines.push_back("");
  lines.push_back(std::string(input == 0 ? "Ukončiť postupnosť pre ovládací prvok 2:"
                                         : "Ukončiť postupnosť pre ovládací prvok 1:") +
                  " " + YesNo(reset & 1));
  lines.push_back("");
  const uint32_t repeatItem = ((repeat & 0x0F) + 1u) & 0x0F;
  lines.push_back(Field("Opakovanie postupnosti:", repeatItem < std::size(kRepeatNames)
                                                       ? kRepeatNames[repeatItem]
                                                       : Format("kód %u", repeat & 0x0Fu)));
  const uint32_t afterReset = reset >> 4;
  lines.push_back(Field("Po zapnutí postupnosť:", afterReset < std::size(kAfterResetNames)
                                                      ? kAfterResetNames[afterReset]
                                                      : Format("kód %u", afterReset)));
}

}  // namespace

void SaveSwitchSection(pugi::xml_node entry, TControllerConfig& table) {
  SwitchLayout layout = table.Switch();
  pugi::xml_node section = entry.append_child("switch");
  AddNumber(section, "enabled", layout.ButtonsEnabled());
  AddNumber(section, "type0", layout.Type0());
  AddNumber(section, "type1", layout.Type1());
  pugi::xml_node sequences = section.append_child("sequences");
  for (int s = 0; s < kSequences; ++s) {
    const SwitchSequence sequence = layout.Sequences(static_cast<uint32_t>(s));
    pugi::xml_node node = sequences.append_child("sequence");
    node.append_attribute("index") = s;
    pugi::xml_node commands = node.append_child("commands");
    for (int k = 0; k < kSteps; ++k) {
      const SwitchStep step = sequence.Steps(static_cast<uint32_t>(k));
      pugi::xml_node command = commands.append_child("command");
      command.append_attribute("index") = k;
      AddNumber(command, "address", step.Address());
      AddNumber(command, "data", step.Command());
      AddNumber(command, "timeout", step.Timeout());
      for (int n = 0; n < kIndicators; ++n) {
        AddNumber(command, kStepIndicatorNames[n], step.Indicator(static_cast<uint32_t>(n)));
      }
    }
    AddNumber(node, "reset", sequence.ResetFlags());
    AddNumber(node, "repeat", sequence.Repeat());
  }
  pugi::xml_node buttons = section.append_child("buttons");
  for (int i = 0; i < kInputs; ++i) {
    pugi::xml_node button = buttons.append_child("button");
    button.append_attribute("index") = i;
    pugi::xml_node oncs = button.append_child("oncs");
    for (int j = 0; j < kResponses; ++j) {
      const SwitchOnc onc = layout.Oncs(static_cast<uint32_t>(i), static_cast<uint32_t>(j));
      pugi::xml_node node = oncs.append_child("onc");
      node.append_attribute("index") = j;
      AddNumber(node, "address", onc.Address());
      AddNumber(node, "message", onc.MessageIndex());
      AddNumber(node, "disabled", onc.Enabled());
      AddNumber(node, "stopsequence", onc.StopSequence());
      AddNumber(node, "startsequence", onc.StartSequence());
      for (int n = 0; n < kIndicators; ++n) {
        AddNumber(node, kStepIndicatorNames[n], onc.Indicator(static_cast<uint32_t>(n)));
      }
    }
  }
}

void LoadSwitchSection(const DocumentReader& reader, pugi::xml_node entry,
                       TControllerConfig& table) {
  SwitchLayout layout = table.Switch();
  const pugi::xml_node section = reader.Child(entry, "switch");
  layout.SetButtonsEnabled(reader.Byte(section, "enabled"));
  layout.SetType0(reader.Byte(section, "type0"));
  layout.SetType1(reader.Byte(section, "type1"));
  reader.ForEachChild(
      reader.Child(section, "sequences"), kSequences, [&](pugi::xml_node node, int s) {
        SwitchSequence sequence = layout.Sequences(static_cast<uint32_t>(s));
        reader.ForEachChild(reader.Child(node, "commands"), kSteps,
                            [&](pugi::xml_node command, int k) {
                              SwitchStep step = sequence.Steps(static_cast<uint32_t>(k));
                              step.SetAddress(reader.Byte(command, "address"));
                              step.SetCommand(reader.Byte(command, "data"));
                              step.SetTimeout(reader.Unsigned32(command, "timeout"));
                              for (int n = 0; n < kIndicators; ++n) {
                                step.SetIndicator(static_cast<uint32_t>(n),
                                                  reader.Byte(command, kStepIndicatorNames[n]));
                              }
                            });
        sequence.SetResetFlags(reader.Byte(node, "reset"));
        sequence.SetRepeat(reader.Byte(node, "repeat"));
      });
  reader.ForEachChild(reader.Child(section, "buttons"), kInputs, [&](pugi::xml_node button, int i) {
    reader.ForEachChild(reader.Child(button, "oncs"), kResponses, [&](pugi::xml_node node, int j) {
      SwitchOnc onc = layout.Oncs(static_cast<uint32_t>(i), static_cast<uint32_t>(j));
      onc.SetAddress(reader.Byte(node, "address"));
      // 12 was saved for a code the table does not hold, and like any index beyond the
      // table it comes back as no message.
      onc.SetMessageIndex(reader.Byte(node, "message"));
      onc.SetEnabled(reader.Byte(node, "disabled"));
      onc.SetStopSequence(reader.Byte(node, "stopsequence"));
      onc.SetStartSequence(reader.Byte(node, "startsequence"));
      for (int n = 0; n < kIndicators; ++n) {
        onc.SetIndicator(static_cast<uint32_t>(n), reader.Byte(node, kStepIndicatorNames[n]));
      }
    });
  });
}

void AddSwitchToReport(TControllerConfig& table, ReportPageList& lines) {
  for (int i = 0; i < kInputs; ++i) {
    if (i == 1) AddPageHead(table, lines);
    const uint8_t enabled = table.Switch().ButtonsEnabled();
    const uint8_t type = i == 0 ? table.Switch().Type0() : table.Switch().Type1();
    lines.push_back(kRule);
    lines.push_back("");
    lines.push_back(Field("Ovládací prvok:", std::to_string(i + 1)));
    lines.push_back(Field("Povolený:", YesNo((enabled >> i) & 1)));
    lines.push_back(Field("Typ ovládacieho prvku:", type < std::size(kInputTypeNames)
                                                        ? kInputTypeNames[type]
                                                        : Format("kód %u", type)));
    for (int s = 2 * i; s <= 2 * i + 1; ++s) AddSequence(table, i, s, lines);
    lines.push_back("");
    lines.push_back("Odozvy na správy z okolia:");
    lines.push_back(
        "Adresa           Správa          Zakázať Stop Štart Indikátor 1  Indikátor 2  Indikátor 3 "
        " Indikátor 4");
    for (int j = 0; j < kResponses; ++j) {
      lines.push_back(
          ResponseLine(table.Switch().Oncs(static_cast<uint32_t>(i), static_cast<uint32_t>(j))));
    }
    lines.push_back(kRule);
  }
}

KindSection SwitchKindSection() {
  return {&SaveSwitchSection, &LoadSwitchSection, &AddSwitchToReport};
}

}  // namespace lumetra
