// The motion sensor section: document elements and report lines.
#include "documents/PirSensorSection.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include "documents/SensorReportText.h"
#include "model/ErasedValues.h"
#include "model/LightsAddress.h"
#include "model/MessageNames.h"
#include "model/Utf.h"
#include "sequences/PirSensorSequences.h"

namespace lumetra {

namespace {

constexpr int kOncCount = 32;
constexpr size_t kRuleWidth = 102;

[[gnu::format(printf, 1, 2)]] std::string Format(const char* format, ...) {
  char text[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return text;
}

int Level(const TControllerConfig& t, uint8_t raw) {
  return static_cast<int>(t.ConvertLevel(true, raw));
}

// An enable byte never written (erased memory, 255) is kept as 255 in "disabled", beside the 1 of a
// disabled and the 0 of an enabled response, so that the record comes back byte for byte; it only
// occurs in empty entries of a device read as it left the factory.
constexpr uint8_t kErasedFlag = 255;
constexpr uint32_t kOncEnabledByte = 4;

uint8_t DisabledText(const PirSensorLayout& layout, uint32_t j) {
  return layout.ImageByte(j, kOncEnabledByte) == kErasedFlag ? kErasedFlag
                                                             : layout.Oncs(j).Enabled();
}

}  // namespace

void SavePirSensorSection(pugi::xml_node entry, TControllerConfig& table) {
  const PirSensorLayout layout = table.PirSensor();
  pugi::xml_node section = entry.append_child("pirsensor");
  AddNumber(section, "enabled", layout.SensorEnabled());
  AddNumber(section, "cmndaddress", layout.CmndAddress());
  pugi::xml_node commands = section.append_child("commands");
  for (uint32_t c = 0; c < kPirCommands; ++c) {
    pugi::xml_node command = commands.append_child("command");
    command.append_attribute("index") = c;
    AddNumber(command, "level", layout.Commands(c).Level());
    AddNumber(command, "timeout", layout.Commands(c).Timeout());
  }
  pugi::xml_node oncs = section.append_child("oncs");
  for (uint32_t j = 0; j < kOncCount; ++j) {
    const PirOnc onc = layout.Oncs(j);
    pugi::xml_node element = oncs.append_child("onc");
    element.append_attribute("index") = j;
    AddNumber(element, "address", onc.Address());
    AddNumber(element, "message", onc.MessageIndex());
    AddNumber(element, "level", onc.Level());
    AddNumber(element, "disabled", DisabledText(layout, j));
  }
}

void LoadPirSensorSection(const DocumentReader& reader, pugi::xml_node entry,
                          TControllerConfig& table) {
  PirSensorLayout layout = table.PirSensor();
  const pugi::xml_node section = reader.Child(entry, "pirsensor");
  layout.SetSensorEnabled(reader.Byte(section, "enabled"));
  layout.SetCmndAddress(reader.Byte(section, "cmndaddress"));
  reader.ForEachChild(reader.Child(section, "commands"), kPirCommands,
                      [&](pugi::xml_node command, int c) {
                        PirCommand cmd = layout.Commands(static_cast<uint32_t>(c));
                        cmd.SetLevel(reader.Byte(command, "level"));
                        cmd.SetTimeout(reader.Unsigned32(command, "timeout"));
                      });
  reader.ForEachChild(reader.Child(section, "oncs"), kOncCount, [&](pugi::xml_node element, int j) {
    PirOnc onc = layout.Oncs(static_cast<uint32_t>(j));
    onc.SetAddress(reader.Byte(element, "address"));
    onc.SetMessageIndex(reader.Byte(element, "message"));
    onc.SetLevel(reader.Byte(element, "level"));
    const uint8_t disabled = reader.Byte(element, "disabled");
    if (disabled == kErasedFlag) {
      layout.SetImageByte(static_cast<uint32_t>(j), kOncEnabledByte, kErasedFlag);
    } else {
      onc.SetEnabled(disabled);
    }
  });
}

void AddPirSensorToReport(TControllerConfig& table, ReportPageList& lines) {
  const PirSensorLayout layout = table.PirSensor();
  const bool percent = table.PercentMode() != 0;
  const std::string rule(kRuleWidth, '-');
  lines.push_back(rule);
  lines.push_back("");
  const uint8_t enabled = layout.SensorEnabled();
  lines.push_back(PadRight("Povolený:", 30) +
                  sensor_report::Value(ErasedByte(enabled), enabled == 1 ? "Áno" : "Nie"));
  lines.push_back("");
  lines.push_back("               Rozsvecovanie   1. stmievanie   2. stmievanie ");
  std::string levels = PadRight("Úroveň:", 15);
  for (uint32_t c = 0; c < kPirCommands; ++c) {
    const uint8_t raw = layout.Commands(c).Level();
    // No level (255) leaves its column blank, as the editor leaves its edit empty.
    if (ErasedByte(raw)) {
      levels += std::string(percent ? (c == 0 ? 8 : 12) + 4 : (c == 0 ? 9 : 13) + 3, ' ');
    } else if (percent) {
      levels += Format(c == 0 ? "        %3d%%" : "            %3d%%", Level(table, raw));
    } else {
      levels += Format(c == 0 ? "         %3d" : "             %3d", raw);
    }
  }
  lines.push_back(levels);
  lines.push_back(PadRight("Čakanie:", 15) +
                  sensor_report::WaitColumn("    %2u:%02u:%02u", layout.Commands(0).Timeout()) +
                  sensor_report::WaitColumn("        %2u:%02u:%02u", layout.Commands(1).Timeout()));
  lines.push_back("");
  lines.push_back(PadRight("Ovládané zóny svietidiel:", 30) +
                  sensor_report::LightsText(layout.CmndAddress()));
  lines.push_back("");
  lines.push_back("Odozvy na správy z okolia:");
  lines.push_back("Adresa           Správa           Úroveň  Zakázať  ");
  for (uint32_t j = 0; j < kOncCount; ++j) {
    const PirOnc onc = layout.Oncs(j);
    if (!IsResponseSource(onc.Address())) {
      lines.push_back("  ---");
      continue;
    }
    const std::string level = ErasedByte(onc.Level()) ? std::string(6, ' ')
                              : percent               ? Format("%5d%%", Level(table, onc.Level()))
                                                      : Format(" %5d", onc.Level());
    lines.push_back(Format("  %3d   ", onc.Address()) +
                    std::string(MessageNames(onc.MessageIndex())) + " " + level + "     " +
                    (onc.Enabled() ? "Áno" : "Nie"));
  }
  lines.push_back(rule);
}

}  // namespace lumetra
