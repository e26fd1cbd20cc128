// The light sensor in the document and in the report.
#include "documents/LightSensorSection.h"

#include <string>

#include "documents/SensorReportText.h"
#include "model/ErasedValues.h"
#include "model/KindImage.h"
#include "model/LightsAddress.h"
#include "model/MessageNames.h"
#include "sequences/LightSensorSequences.h"

namespace lumetra {

namespace {

using namespace sensor_report;

constexpr uint32_t kZones = 4;
constexpr uint8_t kNoOffset = 127;
const char* const kZoneElements[kZones] = {"zone1enabled", "zone2enabled", "zone3enabled",
                                           "zone4enabled"};

const char* ZoneStateNames(uint8_t state) {
  switch (state) {
    case 1:
      return "Povoliť";
    case 2:
      return "Zakázať";
    default:
      return "   -   ";
  }
}

std::string ZoneLine(uint32_t zone, const LightCao& cao) {
  std::string line = Printf("  %u       ", zone + 1);
  const uint8_t b = cao.CmndAddress();
  const std::string lights = LightsText(b);
  if (lights.empty()) return line + "  ---";
  const bool all = DecodeLightsAddress(b).kind == LightsKind::All;
  line += all ? lights : Printf("%6s ", lights.c_str());
  const uint8_t offset = cao.Offset();
  if (offset != kNoOffset && !ErasedByte(offset)) {
    line += Printf("         %3d %%", static_cast<int>(static_cast<int8_t>(offset)));
  }
  return line;
}

std::string ResponseLine(const LightOnc& onc) {
  const uint32_t a = onc.Address();
  if (!IsResponseSource(a)) return "  ---";
  std::string line = Printf("  %3u   ", a);
  line += MessageNames(onc.MessageIndex());
  line += "   " + ResponseLevel(onc.Level());
  line += std::string("    ") + (onc.Enabled() ? "Áno" : "Nie");
  for (uint32_t z = 0; z < kZones; ++z) {
    line += z == 0 ? "     " : "   ";
    line += ZoneStateNames(onc.ZoneEnabled(z));
  }
  return line;
}

}  // namespace

void SaveLightSensor(pugi::xml_node entry, TControllerConfig& table) {
  const LightSensorLayout s = table.LightSensor();
  pugi::xml_node section = entry.append_child("lightsensor");
  AddNumber(section, "enabled", s.SensorEnabled());
  AddNumber(section, "closedloop", s.ClosedLoop());
  AddNumber(section, "defaultlevel", s.DefaultLevel());
  AddNumber(section, "onlevel", s.OnLevel());
  AddNumber(section, "offlevel", s.OffLevel());
  AddNumber(section, "offtimeout", s.OffTimeout());
  AddNumber(section, "maxlevel", s.MaxLevel());
  AddNumber(section, "minlevel", s.MinLevel());
  AddNumber(section, "delta", s.Delta());
  AddNumber(section, "scale", s.Scale());
  pugi::xml_node caos = section.append_child("caos");
  for (uint32_t z = 0; z < kZones; ++z) {
    const LightCao cao = s.Caos(z);
    pugi::xml_node node = caos.append_child("cao");
    node.append_attribute("index") = z;
    AddNumber(node, "cmndaddress", cao.CmndAddress());
    AddNumber(node, "offset", static_cast<int8_t>(cao.Offset()));
  }
  pugi::xml_node oncs = section.append_child("oncs");
  for (uint32_t j = 0; j < kLightSensorImage.ResponseCount(); ++j) {
    const LightOnc onc = s.Oncs(j);
    pugi::xml_node node = oncs.append_child("onc");
    node.append_attribute("index") = j;
    AddNumber(node, "address", onc.Address());
    AddNumber(node, "message", onc.MessageIndex());
    AddNumber(node, "level", onc.Level());
    AddNumber(node, "disabled", onc.Enabled());
    for (uint32_t z = 0; z < kZones; ++z) AddNumber(node, kZoneElements[z], onc.ZoneEnabled(z));
  }
}

void LoadLightSensor(const DocumentReader& reader, pugi::xml_node entry, TControllerConfig& table) {
  LightSensorLayout s = table.LightSensor();
  const pugi::xml_node section = reader.Child(entry, "lightsensor");
  // Bytes the slot's firmware lacks hold 0, as after a reading of the device.
  KindRecord image = table.Image(kLightSensorImage);
  for (uint16_t i = 0; i < kLightSensorImage.EnableIndex(); ++i) {
    if (image.Location(i) < 0) image.SetImageByteAt(i, 0);
  }
  s.SetSensorEnabled(reader.Byte(section, "enabled"));
  s.SetClosedLoop(reader.Byte(section, "closedloop"));
  s.SetDefaultLevel(reader.Unsigned32(section, "defaultlevel"));
  s.SetOnLevel(reader.Unsigned32(section, "onlevel"));
  s.SetOffLevel(reader.Unsigned32(section, "offlevel"));
  s.SetOffTimeout(reader.Unsigned32(section, "offtimeout"));
  s.SetMaxLevel(reader.Byte(section, "maxlevel"));
  s.SetMinLevel(reader.Byte(section, "minlevel"));
  s.SetDelta(reader.Byte(section, "delta"));
  s.SetScale(reader.Byte(section, "scale"));
  reader.ForEachChild(reader.Child(section, "caos"), kZones, [&](pugi::xml_node node, int z) {
    LightCao cao = s.Caos(static_cast<uint32_t>(z));
    cao.SetCmndAddress(reader.Byte(node, "cmndaddress"));
    // Written signed; the byte holds it as the device does.
    cao.SetOffset(static_cast<uint32_t>(reader.Number(node, "offset", -128, 127)) & 0xFF);
  });
  reader.ForEachChild(reader.Child(section, "oncs"), kLightSensorImage.ResponseCount(),
                      [&](pugi::xml_node node, int j) {
                        LightOnc onc = s.Oncs(static_cast<uint32_t>(j));
                        // In this order, so that the firmware's packing of address and enable bit
                        // applies.
                        onc.SetAddress(reader.Byte(node, "address"));
                        onc.SetMessageIndex(reader.Byte(node, "message"));
                        onc.SetLevel(reader.Unsigned32(node, "level"));
                        onc.SetEnabled(reader.Byte(node, "disabled"));
                        for (uint32_t z = 0; z < kZones; ++z) {
                          const pugi::xml_node zone = node.child(kZoneElements[z]);
                          if (zone) onc.SetZoneEnabled(z, reader.Byte(zone));
                        }
                      });
}

void AddLightSensorToReport(TControllerConfig& table, ReportPageList& lines) {
  const LightSensorLayout s = table.LightSensor();
  const std::string rule(kRuleWidth, '-');
  lines.push_back(rule);
  lines.emplace_back();
  const uint8_t enabled = s.SensorEnabled();
  lines.push_back(Field("Povolený:", Value(ErasedByte(enabled), enabled ? "Áno" : "Nie")));
  lines.emplace_back();
  const uint8_t loop = s.ClosedLoop();
  const bool closed = loop != 0 && !ErasedByte(loop);
  lines.push_back(Field("Typ slučky:", Value(ErasedByte(loop), closed ? "zatvorená" : "otvorená")));
  lines.emplace_back();
  const auto wide = [](uint32_t value, const char* unit) {
    return Value(ErasedWide(value), Printf("%u ", value) + unit);
  };
  if (closed) {
    lines.push_back(Field("Požadovaná úroveň:", wide(s.DefaultLevel(), "lx")));
    lines.push_back(Field("Úroveň zapnutia:", wide(s.OnLevel(), "%")));
  } else {
    lines.push_back(Field("Úroveň pre min. svietenie:", wide(s.DefaultLevel(), "lx")));
    lines.push_back(Field("Úroveň pre max. svietenie:", wide(s.OnLevel(), "lx")));
  }
  lines.push_back(Field("Úroveň vypnutia:", wide(s.OffLevel(), "%")));
  lines.push_back(Field("Čakanie pred vypnutím:", Duration(s.OffTimeout())));
  lines.emplace_back();
  AddLightOutputLines(s.MaxLevel(), s.MinLevel(), lines);
  lines.emplace_back();
  // Firmware without the two settings works with a tolerance of 5 % and a resolution of 1 lx, as
  // the editor shows them.
  const bool own = LightSensorHasDeltaScale(table.FirmwareVersion(), table.FirmwareMinVersion());
  AddRegulationLines(own ? s.Delta() : 5, own ? s.Scale() : 1, "+%3d %%", lines);
  lines.emplace_back();
  lines.emplace_back("Ovládané zóny svietidiel:");
  lines.emplace_back("Zóna      Adresa          Ofset");
  for (uint32_t z = 0; z < kZones; ++z) lines.push_back(ZoneLine(z, s.Caos(z)));
  lines.emplace_back();
  lines.emplace_back("Odozvy na správy z okolia:");
  lines.push_back(std::string("Adresa           Správa           Úroveň  Zakázať  ") +
                  "       Ovládanie zóny svietidiel");
  lines.emplace_back(
      "                                                       1         2         3         4");
  for (uint32_t j = 0; j < kLightSensorImage.ResponseCount(); ++j) {
    lines.push_back(ResponseLine(s.Oncs(j)));
  }
  lines.push_back(rule);
}

KindSection LightSensorSection() {
  return {SaveLightSensor, LoadLightSensor, AddLightSensorToReport};
}

}  // namespace lumetra
