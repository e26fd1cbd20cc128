// The motion sensor section: document elements and report lines.
#include "documents/PirSensorSection.h"

#include <cstdarg>
#include <cstdio>
#include <string>

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

// "%2d:%02d:%02d" of a wait; one never set (or beyond 18:00:00) prints as dashes, never as a
// made-up time.
std::string Wait(uint32_t seconds) {
  if (seconds > kPirMaxTimeout) return " -:--:--";
  return Format("%2d:%02d:%02d", static_cast<int>(seconds / 3600),
                static_cast<int>(seconds % 3600 / 60), static_cast<int>(seconds % 60));
}

std::string Lights(uint8_t b) {
  if (b >= 0xFE) return "Všetky";
  if ((b & 0xE0) == 0x80) return Format("GA %02d", (b >> 1) & 0x0F);
  return Format("A %02d", (b >> 1) & 0x3F);
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
  lines.push_back(PadRight("Povolený:", 30) + (layout.SensorEnabled() == 1 ? "Áno" : "Nie"));
  lines.push_back("");
  lines.push_back("               Rozsvecovanie   1. stmievanie   2. stmievanie ");
  std::string levels = PadRight("Úroveň:", 15);
  for (uint32_t c = 0; c < kPirCommands; ++c) {
    const uint8_t raw = layout.Commands(c).Level();
    // No level (255) leaves its column blank, as the editor leaves its edit empty.
    if (raw == 255) {
      levels += std::string(percent ? (c == 0 ? 8 : 12) + 4 : (c == 0 ? 9 : 13) + 3, ' ');
    } else if (percent) {
      levels += Format(c == 0 ? "        %3d%%" : "            %3d%%", Level(table, raw));
    } else {
      levels += Format(c == 0 ? "         %3d" : "             %3d", raw);
    }
  }
  lines.push_back(levels);
  lines.push_back(PadRight("Čakanie:", 15) + "    " + Wait(layout.Commands(0).Timeout()) +
                  "        " + Wait(layout.Commands(1).Timeout()));
  lines.push_back("");
  lines.push_back(PadRight("Ovládané zóny svietidiel:", 30) + Lights(layout.CmndAddress()));
  lines.push_back("");
  lines.push_back("Odozvy na správy z okolia:");
  lines.push_back("Adresa           Správa           Úroveň  Zakázať  ");
  for (uint32_t j = 0; j < kOncCount; ++j) {
    const PirOnc onc = layout.Oncs(j);
    if (onc.Address() == 255) {
      lines.push_back("  ---");
      continue;
    }
    const std::string level = onc.Level() == 255 ? std::string(6, ' ')
                              : percent          ? Format("%5d%%", Level(table, onc.Level()))
                                                 : Format(" %5d", onc.Level());
    lines.push_back(Format("  %3d   ", onc.Address()) + std::string(MessageNames(onc.MessageIndex())) +
                    " " + level + "     " + (onc.Enabled() ? "Áno" : "Nie"));
  }
  lines.push_back(rule);
}

}  // namespace lumetra
