// Settings file reading (every failure gives the defaults) and writing.
#include "documents/Settings.h"

#include <cstring>

#include "documents/DocumentXml.h"
#include "documents/ReplacingFile.h"
#include "model/Error.h"

namespace lumetra {

namespace {

inline constexpr int kPortItems = 10;

// Thrown inside the reader for whatever makes the whole file count as absent.
struct Unusable {};

pugi::xml_node Need(pugi::xml_node parent, const char* name) {
  const pugi::xml_node child = parent.child(name);
  if (!child) throw Unusable{};
  return child;
}

// A decimal number of any size; a text that is none spoils the whole file.
DecimalText Number(pugi::xml_node parent, const char* name, int64_t& value) {
  const DecimalText parsed = ParseDecimal(Need(parent, name).child_value(), value);
  if (parsed == DecimalText::kNotANumber) throw Unusable{};
  return parsed;
}

int Item(pugi::xml_node parent, const char* name, int first, int last, int fallback) {
  int64_t value = 0;
  if (Number(parent, name, value) != DecimalText::kNumber || value < first || value > last)
    return fallback;
  return static_cast<int>(value);
}

bool Ticked(pugi::xml_node parent, const char* name) {
  int64_t value = 0;
  // Too large for 64 bits is still not 0.
  return Number(parent, name, value) == DecimalText::kTooLarge || value != 0;
}

}  // namespace

Settings DefaultSettings() { return Settings{}; }

int PortItemIndex(std::string_view text) {
  for (int i = 0; i < kPortItems; ++i)
    if (text == "COM" + std::to_string(i + 1)) return i;
  return -1;
}

Settings LoadSettings(const std::string& path) {
  const Settings defaults = DefaultSettings();
  try {
    const XmlSource source(path, "");
    const pugi::xml_node root = source.Document().document_element();
    if (std::strcmp(root.name(), "lumetraconfigurator") != 0) return defaults;
    Settings s;
    const pugi::xml_node communication = Need(root, "communication");
    s.Interface = Item(communication, "type", 0, 2, defaults.Interface);
    s.Port = Item(communication, "port", -1, kPortItems - 1, defaults.Port);
    s.IpAddress = Need(communication, "ipaddress").child_value();
    const pugi::xml_node ipPort = communication.child("ipport");
    s.IpPort = ipPort ? ipPort.child_value() : defaults.IpPort;
    const pugi::xml_node settings = Need(root, "settings");
    s.PercentArc = Item(settings, "percentarc", 0, 1, defaults.PercentArc);
    s.AutoRefreshBalast = Ticked(settings, "autorefreshbalast");
    s.AutoRefreshCtrl = Ticked(settings, "autorefreshctrl");
    return s;
  } catch (const Unusable&) {
    return defaults;
  } catch (const Error&) {
    // Missing, unreadable or not XML: the first run, or a file nobody can use.
    return defaults;
  }
}

void SaveSettings(const std::string& path, const Settings& s, const std::string& version) {
  pugi::xml_document doc;
  AddDeclaration(doc);
  pugi::xml_node root = doc.append_child("lumetraconfigurator");
  root.append_attribute("version") = version.c_str();
  pugi::xml_node communication = root.append_child("communication");
  AddNumber(communication, "type", s.Interface);
  AddNumber(communication, "port", s.Port);
  AddText(communication, "ipaddress", s.IpAddress.c_str());
  AddText(communication, "ipport", s.IpPort.c_str());
  pugi::xml_node settings = root.append_child("settings");
  AddNumber(settings, "percentarc", s.PercentArc);
  AddNumber(settings, "autorefreshbalast", s.AutoRefreshBalast ? 1 : 0);
  AddNumber(settings, "autorefreshctrl", s.AutoRefreshCtrl ? 1 : 0);
  ReplaceFileContent(path, XmlText(doc),
                     "Nastavenia sa nepodarilo uložiť do súboru \"" + path + "\"");
}

}  // namespace lumetra
