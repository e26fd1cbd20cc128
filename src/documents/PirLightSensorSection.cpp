// The combined motion and light sensor in the document and in the report.
#include "documents/PirLightSensorSection.h"

#include <string>

#include "documents/SensorReportText.h"
#include "model/ErasedValues.h"
#include "model/KindImage.h"
#include "model/LightsAddress.h"
#include "model/MessageNames.h"
#include "model/Utf.h"
#include "sequences/LightSensorSequences.h"

namespace lumetra {

namespace {

using namespace sensor_report;

constexpr uint32_t kSequences = 2;
constexpr uint32_t kCommands = 3;
constexpr uint32_t kShownLevels = 65000;
constexpr uint8_t kNotRead = 0xFF;
// Byte n of a response that holds the enable bit and the sequence.
constexpr uint32_t kFlagsByte = 5;

// A level above what the editor takes was never set: an empty column, as the editor shows it.
std::string SequenceLevel(const char* format, uint32_t level) {
  if (level <= kShownLevels) return Printf(format, level);
  return std::string(Printf(format, 0u).size(), ' ');
}

// "%-15s" of a row caption.
std::string RowCaption(const char* caption) { return PadRight(caption, 15); }

std::string ResponseLine(const PirLightOnc& onc) {
  if (!IsResponseSource(onc.Address())) return "  ---";
  const uint8_t sequence = onc.SequenceIndex();
  return Printf("  %3d   ", onc.Address()) + std::string(MessageNames(onc.MessageIndex())) + "   " +
         ResponseLevel(onc.Level()) + "    " + (onc.Enabled() ? "Áno" : "Nie") +
         Printf("        %c          %c", sequence == 0 ? 'x' : ' ', sequence == 1 ? 'x' : ' ');
}

}  // namespace

void SavePirLightSensor(pugi::xml_node entry, TControllerConfig& table) {
  PirLightSensorLayout s = table.PirLightSensor();
  pugi::xml_node section = entry.append_child("pirlightsensor");
  // A byte never read stays 255, so that the document does not turn it into a setting.
  const uint8_t enabled =
      table.Image(kPirLightSensorImage).ImageByteAt(kPirLightSensorImage.EnableIndex());
  AddNumber(section, "enabled", enabled == kNotRead ? kNotRead : s.SensorEnabled());
  AddNumber(section, "cmndaddress", s.CmndAddress());
  pugi::xml_node sequences = section.append_child("sequences");
  for (uint32_t q = 0; q < kSequences; ++q) {
    pugi::xml_node sequence = sequences.append_child("sequence");
    sequence.append_attribute("index") = q;
    pugi::xml_node commands = sequence.append_child("commands");
    for (uint32_t c = 0; c < kCommands; ++c) {
      const PirLightCommand command = s.Sequences(q).Commands(c);
      pugi::xml_node node = commands.append_child("command");
      node.append_attribute("index") = c;
      AddNumber(node, "level", command.Level());
      AddNumber(node, "timeout", command.Timeout());
    }
  }
  AddNumber(section, "onlevel", s.OnLevel());
  AddNumber(section, "offlevel", s.OffLevel());
  AddNumber(section, "offtimeout", s.OffTimeout());
  AddNumber(section, "maxlevel", s.MaxLevel());
  AddNumber(section, "minlevel", s.MinLevel());
  AddNumber(section, "delta", s.Delta());
  AddNumber(section, "scale", s.Scale());
  pugi::xml_node oncs = section.append_child("oncs");
  for (uint32_t j = 0; j < kPirLightSensorImage.ResponseCount(); ++j) {
    const PirLightOnc onc = s.Oncs(j);
    pugi::xml_node node = oncs.append_child("onc");
    node.append_attribute("index") = j;
    AddNumber(node, "address", onc.Address());
    AddNumber(node, "message", onc.MessageIndex());
    AddNumber(node, "level", onc.Level());
    AddNumber(node, "disabled", onc.Enabled());
    AddNumber(node, "sequenceindex", onc.SequenceIndex());
  }
}

void LoadPirLightSensor(const DocumentReader& reader, pugi::xml_node entry,
                        TControllerConfig& table) {
  PirLightSensorLayout s = table.PirLightSensor();
  const pugi::xml_node section = reader.Child(entry, "pirlightsensor");
  // Bytes the slot's firmware lacks hold 0, as after a reading of the device.
  KindRecord image = table.Image(kPirLightSensorImage);
  for (uint16_t i = 0; i < kPirLightSensorImage.EnableIndex(); ++i) {
    if (image.Location(i) < 0) image.SetImageByteAt(i, 0);
  }
  // The document keeps bit 0 only, which is also all the program writes into the device: the
  // byte becomes that bit, or stays never read.
  const uint8_t enabled = reader.Byte(section, "enabled");
  table.Image(kPirLightSensorImage)
      .SetImageByteAt(kPirLightSensorImage.EnableIndex(),
                      enabled == kNotRead ? kNotRead : enabled & 0x01);
  s.SetCmndAddress(reader.Byte(section, "cmndaddress"));
  reader.ForEachChild(
      reader.Child(section, "sequences"), kSequences, [&](pugi::xml_node sequence, int q) {
        reader.ForEachChild(
            reader.Child(sequence, "commands"), kCommands, [&](pugi::xml_node node, int c) {
              PirLightCommand command =
                  s.Sequences(static_cast<uint32_t>(q)).Commands(static_cast<uint32_t>(c));
              command.SetLevel(reader.Unsigned32(node, "level"));
              command.SetTimeout(reader.Unsigned32(node, "timeout"));
            });
      });
  s.SetOnLevel(reader.Unsigned32(section, "onlevel"));
  s.SetOffLevel(reader.Unsigned32(section, "offlevel"));
  s.SetOffTimeout(reader.Unsigned32(section, "offtimeout"));
  s.SetMaxLevel(reader.Byte(section, "maxlevel"));
  s.SetMinLevel(reader.Byte(section, "minlevel"));
  s.SetDelta(reader.Byte(section, "delta"));
  s.SetScale(reader.Byte(section, "scale"));
  reader.ForEachChild(reader.Child(section, "oncs"), kPirLightSensorImage.ResponseCount(),
                      [&](pugi::xml_node node, int j) {
                        PirLightOnc onc = s.Oncs(static_cast<uint32_t>(j));
                        onc.SetAddress(reader.Byte(node, "address"));
                        onc.SetMessageIndex(reader.Byte(node, "message"));
                        onc.SetLevel(reader.Unsigned32(node, "level"));
                        const uint8_t disabled = reader.Byte(node, "disabled");
                        const uint8_t sequence = reader.Byte(node, "sequenceindex");
                        onc.SetEnabled(disabled);
                        onc.SetSequenceIndex(sequence);
                        // An erased flags byte (0xFF) reads as enabled with sequence 15; it comes
                        // back erased, not as a byte the program would never write.
                        if (disabled == 0 && sequence == 0x0F) {
                          s.SetImageByte(static_cast<uint32_t>(j), kFlagsByte, 0xFF);
                        }
                      });
}

void AddPirLightSensorToReport(TControllerConfig& table, ReportPageList& lines) {
  PirLightSensorLayout s = table.PirLightSensor();
  const std::string rule(kRuleWidth, '-');
  lines.push_back(rule);
  lines.emplace_back();
  const bool enabledErased =
      ErasedByte(table.Image(kPirLightSensorImage).ImageByteAt(kPirLightSensorImage.EnableIndex()));
  lines.push_back(Field("Povolený:", Value(enabledErased, s.SensorEnabled() == 1 ? "Áno" : "Nie")));
  lines.emplace_back();
  lines.emplace_back("               Rozsvecovanie   1. stmievanie   2. stmievanie ");
  const bool second =
      PirLightSensorHasSecondSequence(table.FirmwareVersion(), table.FirmwareMinVersion());
  for (uint32_t q = 0; q < kSequences; ++q) {
    lines.push_back(Printf("Priebeh %u", q + 1));
    if (q == 1 && !second) {
      lines.emplace_back("Úroveň:                 ---             ---             ---");
      lines.emplace_back("Čakanie:                ---             ---");
      continue;
    }
    const PirLightSequence sequence = s.Sequences(q);
    lines.push_back(RowCaption("Úroveň:") +
                    SequenceLevel("         %3u", sequence.Commands(0).Level()) +
                    SequenceLevel("             %3u", sequence.Commands(1).Level()) +
                    SequenceLevel("             %3u", sequence.Commands(2).Level()));
    lines.push_back(RowCaption("Čakanie:") +
                    WaitColumn("    %2u:%02u:%02u", sequence.Commands(0).Timeout()) +
                    WaitColumn("        %2u:%02u:%02u", sequence.Commands(1).Timeout()));
  }
  lines.emplace_back();
  const auto wide = [](uint32_t value) {
    return Value(ErasedWide(value), Printf("%3u %%", value));
  };
  lines.push_back(Field("Úroveň zapnutia:", wide(s.OnLevel())));
  lines.push_back(Field("Úroveň vypnutia:", wide(s.OffLevel())));
  lines.push_back(Field("Čakanie pred vypnutím:", Duration(s.OffTimeout())));
  lines.emplace_back();
  AddLightOutputLines(s.MaxLevel(), s.MinLevel(), lines);
  lines.emplace_back();
  AddRegulationLines(s.Delta(), s.Scale(), "+%d %%", lines);
  lines.emplace_back();
  lines.push_back(Field("Ovládané zóny svietidiel:", LightsText(s.CmndAddress())));
  lines.emplace_back();
  lines.emplace_back("Odozvy na správy z okolia:");
  lines.push_back(std::string("Adresa           Správa           Úroveň  Zakázať  ") +
                  "Priebeh 1  Priebeh 2");
  for (uint32_t j = 0; j < kPirLightSensorImage.ResponseCount(); ++j) {
    lines.push_back(ResponseLine(s.Oncs(j)));
  }
  lines.push_back(rule);
}

KindSection PirLightSensorSection() {
  return {SavePirLightSensor, LoadPirLightSensor, AddPirLightSensorToReport};
}

}  // namespace lumetra
