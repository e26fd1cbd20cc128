// The opto-relay in the document and in the report.
#include "documents/OptoRelaySection.h"

#include <cstdio>
#include <string>

#include "documents/SensorReportText.h"
#include "model/KindImage.h"
#include "model/LightsAddress.h"
#include "model/MessageNames.h"
#include "model/RelayOutputs.h"
#include "model/Utf.h"

namespace lumetra {

namespace {

constexpr size_t kRuleWidth = 102;
constexpr size_t kCaptionWidth = 30;

std::string OperatorText(uint8_t op) {
  switch (op) {
    case 0:
      return "< ";
    case 1:
      return "<=";
    case 2:
      return "> ";
    case 3:
      return ">=";
    default:
      return "  ";
  }
}

std::string ActionText(uint8_t action) {
  switch (action) {
    case 0:
      return "Vypnúť";
    case 1:
      return "Zapnúť";
    default:
      return "      ";
  }
}

std::string ResponseLine(const RelayOnc& onc) {
  if (!IsResponseSource(onc.Address())) return "  ---";
  char address[16];
  std::snprintf(address, sizeof address, "  %3d   ", onc.Address());
  std::string line = address;
  line += MessageNames(onc.MessageIndex());
  line += "    " + OperatorText(onc.Operator());
  line += "      " + sensor_report::ResponseLevel(onc.Level());
  line += "   " + ActionText(onc.Action());
  const uint8_t outputs = ShownOutputs(onc);
  for (int k = 0; k < 4; ++k) {
    line += k == 0 ? "      " : "         ";
    line += (outputs >> k) & 1 ? 'x' : ' ';
  }
  return line;
}

}  // namespace

void SaveOptoRelay(pugi::xml_node entry, TControllerConfig& table) {
  const OptoRelayLayout relay = table.OptoRelay();
  pugi::xml_node section = entry.append_child("optorelay");
  AddNumber(section, "enabled", relay.RelayEnabled());
  pugi::xml_node oncs = section.append_child("oncs");
  for (uint32_t j = 0; j < kOptoRelayImage.ResponseCount(); ++j) {
    const RelayOnc onc = relay.Oncs(j);
    pugi::xml_node node = oncs.append_child("onc");
    node.append_attribute("index") = j;
    AddNumber(node, "address", onc.Address());
    AddNumber(node, "message", onc.MessageIndex());
    AddNumber(node, "operator", onc.Operator());
    AddNumber(node, "level", onc.Level());
    AddNumber(node, "relayon", onc.RelayOn());
  }
}

void LoadOptoRelay(const DocumentReader& reader, pugi::xml_node entry, TControllerConfig& table) {
  OptoRelayLayout relay = table.OptoRelay();
  const pugi::xml_node section = reader.Child(entry, "optorelay");
  relay.SetRelayEnabled(reader.Byte(section, "enabled"));
  reader.ForEachChild(reader.Child(section, "oncs"), kOptoRelayImage.ResponseCount(),
                      [&](pugi::xml_node node, int j) {
                        RelayOnc onc = relay.Oncs(static_cast<uint32_t>(j));
                        onc.SetAddress(reader.Byte(node, "address"));
                        onc.SetMessageIndex(reader.Byte(node, "message"));
                        onc.SetOperator(reader.Byte(node, "operator"));
                        onc.SetLevel(reader.Unsigned32(node, "level"));
                        onc.SetRelayOn(reader.Byte(node, "relayon"));
                      });
}

void AddOptoRelayToReport(TControllerConfig& table, ReportPageList& lines) {
  const OptoRelayLayout relay = table.OptoRelay();
  const std::string rule(kRuleWidth, '-');
  lines.push_back(rule);
  lines.emplace_back();
  lines.push_back(PadRight("Povolený:", kCaptionWidth) + (relay.RelayEnabled() ? "Áno" : "Nie"));
  lines.emplace_back();
  lines.emplace_back("Odozvy na správy z okolia:");
  lines.emplace_back(
      "Adresa           Správa          Operátor  Úroveň  Činnosť  Výstup A  Výstup B  Výstup C  "
      "Výstup D");
  for (uint32_t j = 0; j < kOptoRelayImage.ResponseCount(); ++j) {
    lines.push_back(ResponseLine(relay.Oncs(j)));
  }
  lines.push_back(rule);
}

KindSection OptoRelaySection() { return {SaveOptoRelay, LoadOptoRelay, AddOptoRelayToReport}; }

}  // namespace lumetra
