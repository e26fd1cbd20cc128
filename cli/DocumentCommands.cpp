// lumetra-cli document show|check|diff: a configuration document read by the program's own loader
// (LoadDocument) and shown, checked or compared without the window.
#include <cstdio>
#include <functional>
#include <iostream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "documents/ConfigDocument.h"
#include "documents/DocumentXml.h"
#include "model/Error.h"
#include "model/KindNames.h"

namespace lumetra::cli {

namespace {

constexpr uint8_t kNotRead = 255;

struct Tables {
  TBalastConfig gear;
  TControllerConfig devices;
};

// The document's tables with levels as stored (ARC); throws Error as the window's "Otvoriť" does.
void Load(const std::string& path, Tables& t) {
  t.gear.SetPercentMode(0);
  t.devices.SetPercentMode(0);
  LoadDocument(path, t.gear, t.devices);
}

std::string Byte(uint8_t value) { return value == kNotRead ? "" : std::to_string(value); }
std::string JsonByte(uint8_t value) { return value == kNotRead ? "null" : std::to_string(value); }

// "0,3,12"; "-" for none, "?" where membership was never read.
std::string GroupList(const DeviceSlot& slot) {
  std::string list;
  bool unknown = false;
  for (int g = 0; g < 16; ++g) {
    if (slot.Groups[static_cast<size_t>(g)] == kNotRead) unknown = true;
    if (slot.Groups[static_cast<size_t>(g)] == 1) list += (list.empty() ? "" : ",") + std::to_string(g);
  }
  if (list.empty()) list = unknown ? "?" : "-";
  return list;
}

std::string JsonGroups(const DeviceSlot& slot) {
  std::string list;
  for (int g = 0; g < 16; ++g) {
    if (slot.Groups[static_cast<size_t>(g)] == 1) list += (list.empty() ? "" : ",") + std::to_string(g);
  }
  return "[" + list + "]";
}

std::string VersionText(uint8_t major, uint8_t minor) {
  if (major == kNotRead) return "";
  char text[16];
  std::snprintf(text, sizeof text, "%d.%03d", major, minor);
  return text;
}

std::string KindText(uint8_t type) {
  const std::string_view name = ControllerKindName(type);
  std::string text = name.empty() ? "neznámy druh" : std::string(name);
  if (!ProgramKindSections().Find(type)) text += " (bez nastavení druhu)";
  return text;
}

std::string Pad(const std::string& text, size_t width) {
  // Width in characters, not bytes: the texts are UTF-8.
  size_t chars = 0;
  for (const char c : text) chars += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return chars >= width ? text + " " : text + std::string(width - chars, ' ');
}

std::string Row(const std::vector<std::pair<std::string, size_t>>& cells) {
  std::string row;
  for (const auto& [text, width] : cells) row += Pad(text, width);
  while (!row.empty() && row.back() == ' ') row.pop_back();
  return row;
}

}  // namespace

int DocumentShow(TArguments& args) {
  const bool json = args.Flag("--json");
  const std::string path = args.Operands(1, 1, "SÚBOR.dcf")[0];
  Tables t;
  try {
    Load(path, t);
  } catch (const Error& e) {
    std::cerr << kToolName << ": " << e.what() << "\n";
    return kExitProblem;
  }
  std::ostringstream out;
  if (json) {
    out << "{\"file\":" << JsonString(path) << ",\"gear\":[";
    bool first = true;
    for (uint32_t a = 0; a < 64; ++a) {
      if (t.gear.IsSlotFree(a)) continue;
      const DeviceSlot& s = *t.gear.SlotAt(a);
      const GearRecord& r = *t.gear.Record(a);
      out << (first ? "" : ",") << "{\"address\":" << a << ",\"type\":" << JsonByte(s.DeviceType)
          << ",\"version\":" << JsonByte(s.Version) << ",\"groups\":" << JsonGroups(s)
          << ",\"physicalMinLevel\":" << JsonByte(r.PhysicalMinLevel)
          << ",\"minLevel\":" << JsonByte(r.MinLevel) << ",\"maxLevel\":" << JsonByte(r.MaxLevel)
          << ",\"powerOnLevel\":" << JsonByte(r.PowerOnLevel)
          << ",\"failureLevel\":" << JsonByte(r.FailureLevel)
          << ",\"fadeRate\":" << JsonByte(r.FadeRate) << ",\"fadeTime\":" << JsonByte(r.FadeTime)
          << ",\"scenes\":[";
      for (size_t k = 0; k < 16; ++k) out << (k ? "," : "") << JsonByte(r.Scenes[k]);
      out << "]}";
      first = false;
    }
    out << "],\"devices\":[";
    first = true;
    for (uint32_t a = 0; a < 64; ++a) {
      if (t.devices.IsSlotFree(a)) continue;
      const DeviceSlot& s = *t.devices.SlotAt(a);
      const std::string_view kind = ControllerKindName(s.DeviceType);
      out << (first ? "" : ",") << "{\"address\":" << a << ",\"type\":" << JsonByte(s.DeviceType)
          << ",\"kind\":" << (kind.empty() ? "null" : JsonString(std::string(kind)))
          << ",\"version\":" << JsonByte(s.Version) << ",\"minVersion\":" << JsonByte(s.MinVersion)
          << ",\"groups\":" << JsonGroups(s)
          << ",\"multimaster\":" << JsonByte(t.devices.Record(a)->Multimaster) << "}";
      first = false;
    }
    out << "]}\n";
    std::cout << out.str();
    return kExitOk;
  }

  out << "Svietidlá: " << int(t.gear.UsedSlotCount()) << "\n";
  if (t.gear.UsedSlotCount() > 0) {
    out << Row({{"Adresa", 8}, {"Typ", 5}, {"Verzia", 8}, {"Skupiny", 16}, {"Fyz.min", 9},
                {"Min", 5}, {"Max", 5}, {"Zapnutie", 10}, {"Porucha", 9}, {"Rýchlosť", 10},
                {"Čas", 5}, {"Scény", 0}})
        << "\n";
    for (uint32_t a = 0; a < 64; ++a) {
      if (t.gear.IsSlotFree(a)) continue;
      const DeviceSlot& s = *t.gear.SlotAt(a);
      const GearRecord& r = *t.gear.Record(a);
      std::string scenes;
      for (size_t k = 0; k < 16; ++k) {
        scenes += (k ? " " : "") + (r.Scenes[k] == kNotRead ? std::string("---")
                                                            : std::to_string(r.Scenes[k]));
      }
      out << Row({{AddressName('A', static_cast<int>(a)), 8}, {Byte(s.DeviceType), 5},
                  {Byte(s.Version), 8}, {GroupList(s), 16}, {Byte(r.PhysicalMinLevel), 9},
                  {Byte(r.MinLevel), 5}, {Byte(r.MaxLevel), 5}, {Byte(r.PowerOnLevel), 10},
                  {Byte(r.FailureLevel), 9}, {Byte(r.FadeRate), 10}, {Byte(r.FadeTime), 5},
                  {scenes, 0}})
          << "\n";
    }
  }
  out << "Ovládače: " << int(t.devices.UsedSlotCount()) << "\n";
  if (t.devices.UsedSlotCount() > 0) {
    out << Row({{"Adresa", 8}, {"Typ", 5}, {"Verzia", 8}, {"Skupiny", 16}, {"Multimaster", 13},
                {"Druh", 0}})
        << "\n";
    for (uint32_t a = 0; a < 64; ++a) {
      if (t.devices.IsSlotFree(a)) continue;
      const DeviceSlot& s = *t.devices.SlotAt(a);
      const uint8_t multimaster = t.devices.Record(a)->Multimaster;
      out << Row({{AddressName('C', static_cast<int>(a)), 8}, {Byte(s.DeviceType), 5},
                  {VersionText(s.Version, s.MinVersion), 8}, {GroupList(s), 16},
                  {multimaster == kNotRead ? "" : multimaster ? "Áno" : "Nie", 13},
                  {KindText(s.DeviceType), 0}})
          << "\n";
    }
  }
  std::cout << out.str();
  return kExitOk;
}

// ---- document check ----

namespace {

struct Problem {
  std::string element;  // empty when the message names none
  int line = 0;
  std::string message;
};

// The element and line a loader's message names ("prvok "minlevel" na riadku 12"), or the line
// where the XML parser stopped.
Problem ProblemOfError(const std::string& message) {
  Problem p;
  p.message = message;
  std::smatch m;
  if (std::regex_search(message, m, std::regex("prvok \"([^\"]*)\" na riadku ([0-9]+)"))) {
    p.element = m[1];
    p.line = std::stoi(m[2]);
  } else if (std::regex_search(message, m, std::regex("na riadku ([0-9]+)"))) {
    p.line = std::stoi(m[1]);
  }
  return p;
}

// A file the XML parser gave up on: the elements still open where the text stops, innermost
// first, each with the line it was opened on. A light scan of tags, enough for the documents the
// program writes.
std::vector<std::pair<std::string, int>> OpenElements(const std::string& text) {
  std::vector<std::pair<std::string, int>> open;
  int line = 1;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') ++line;
    if (text[i] != '<') continue;
    if (text.compare(i, 4, "<!--") == 0) {
      const size_t end = text.find("-->", i);
      if (end == std::string::npos) break;
      for (size_t k = i; k < end; ++k) line += text[k] == '\n';
      i = end + 2;
      continue;
    }
    if (i + 1 < text.size() && (text[i + 1] == '?' || text[i + 1] == '!')) continue;
    const bool closing = i + 1 < text.size() && text[i + 1] == '/';
    size_t nameStart = i + (closing ? 2 : 1), nameEnd = nameStart;
    while (nameEnd < text.size() && text[nameEnd] != '>' && text[nameEnd] != '/' &&
           text[nameEnd] != ' ' && text[nameEnd] != '\t' && text[nameEnd] != '\n' &&
           text[nameEnd] != '\r')
      ++nameEnd;
    const size_t end = text.find('>', nameEnd);
    const std::string name = text.substr(nameStart, nameEnd - nameStart);
    if (end == std::string::npos) {
      // A tag cut off in the middle.
      if (!closing && !name.empty()) open.emplace_back(name, line);
      break;
    }
    const bool empty = text[end - 1] == '/';
    if (closing) {
      if (!open.empty() && open.back().first == name) open.pop_back();
    } else if (!empty) {
      open.emplace_back(name, line);
    }
    for (size_t k = i; k < end; ++k) line += text[k] == '\n';
    i = end;
  }
  return {open.rbegin(), open.rend()};
}

std::string ReadWhole(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return {};
  std::string text;
  char buffer[1 << 16];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
  std::fclose(f);
  return text;
}

// What the loader forgives and a strict check does not: a root of another name (opened as an
// empty installation), a missing section, an address outside 0..63 (skipped), an address used
// twice (the later entry wins), groups and scenes not 16.
void StrictChecks(const XmlSource& source, std::vector<Problem>& problems) {
  const pugi::xml_node root = source.Document().document_element();
  const auto problem = [&](pugi::xml_node node, const std::string& text) {
    problems.push_back({node.name(), source.LineOf(node),
                        "prvok \"" + std::string(node.name()) + "\" na riadku " +
                            std::to_string(source.LineOf(node)) + ": " + text});
  };
  if (std::string(root.name()) != "lumetraconfigurator") {
    problem(root, "koreňový prvok nie je \"lumetraconfigurator\"; program súbor otvorí ako "
                  "prázdnu inštaláciu");
    return;
  }
  struct Section {
    const char* name;
    const char* entry;
    char population;
    const char* counted[2];
  };
  const Section sections[] = {{"balasts", "balast", 'A', {"groups", "scenes"}},
                              {"ctrldevices", "ctrldevice", 'C', {"groups", nullptr}}};
  for (const Section& section : sections) {
    const pugi::xml_node node = root.child(section.name);
    if (!node) {
      problems.push_back({section.name, source.LineOf(root),
                          "prvok \"lumetraconfigurator\" na riadku " +
                              std::to_string(source.LineOf(root)) + ": chýba prvok \"" +
                              section.name + "\""});
      continue;
    }
    std::map<int64_t, int> seen;  // address → line of its first entry
    for (pugi::xml_node entry : node.children(section.entry)) {
      const pugi::xml_node address = entry.child("deviceaddress");
      int64_t a = -1;
      if (address && ParseDecimal(address.text().get(), a) == DecimalText::kNumber) {
        if (a < 0 || a > 63) {
          problem(address, "adresa " + std::to_string(a) +
                               " nie je 0 až 63; program zariadenie vynechá");
        } else if (auto [it, fresh] = seen.emplace(a, source.LineOf(entry)); !fresh) {
          problem(address, "adresa " + AddressName(section.population, static_cast<int>(a)) +
                               " je už na riadku " + std::to_string(it->second) +
                               "; platí neskorší záznam");
        }
      }
      for (const char* counted : section.counted) {
        if (!counted) continue;
        const pugi::xml_node list = entry.child(counted);
        if (!list) continue;  // the loader names a missing element itself
        const std::string child = std::string(counted).substr(0, std::string(counted).size() - 1);
        size_t n = 0;
        for ([[maybe_unused]] pugi::xml_node c : list.children(child.c_str())) ++n;
        if (n != 16) {
          problem(list, std::to_string(n) + " prvkov \"" + child + "\" namiesto 16");
        }
      }
    }
  }
}

}  // namespace

int DocumentCheck(TArguments& args) {
  const bool json = args.Flag("--json");
  const std::string path = args.Operands(1, 1, "SÚBOR.dcf")[0];
  std::vector<Problem> problems;
  Tables t;
  try {
    Load(path, t);
  } catch (const Error& e) {
    problems.push_back(ProblemOfError(e.what()));
  }
  try {
    const XmlSource source(path, "Konfiguráciu sa nepodarilo otvoriť zo súboru \"" + path + "\"");
    StrictChecks(source, problems);
  } catch (const Error&) {
    // Not XML: the loader said so; name what the text leaves open.
    for (const auto& [name, line] : OpenElements(ReadWhole(path))) {
      problems.push_back({name, line,
                          "prvok \"" + name + "\" z riadku " + std::to_string(line) +
                              " nie je ukončený (súbor je neúplný)"});
    }
  }

  if (json) {
    std::cout << "{\"file\":" << JsonString(path)
              << ",\"valid\":" << (problems.empty() ? "true" : "false") << ",\"problems\":[";
    for (size_t i = 0; i < problems.size(); ++i) {
      const Problem& p = problems[i];
      std::cout << (i ? "," : "") << "{\"element\":"
                << (p.element.empty() ? "null" : JsonString(p.element))
                << ",\"line\":" << (p.line ? std::to_string(p.line) : "null")
                << ",\"message\":" << JsonString(p.message) << "}";
    }
    std::cout << "]}\n";
  } else if (problems.empty()) {
    std::cout << path << ": v poriadku (svietidlá: " << int(t.gear.UsedSlotCount())
              << ", ovládače: " << int(t.devices.UsedSlotCount()) << ")\n";
  } else {
    for (const Problem& p : problems) std::cout << path << ": " << p.message << "\n";
  }
  return problems.empty() ? kExitOk : kExitProblem;
}

// ---- document diff ----

namespace {

struct Field {
  std::string name;
  std::string value;
};

// Every field of one device as the document names it, in document order.
std::vector<Field> GearFields(const Tables& t, uint32_t a) {
  const DeviceSlot& s = *t.gear.SlotAt(a);
  const GearRecord& r = *t.gear.Record(a);
  const SlotPosition& p = *t.gear.PositionAt(a);
  std::vector<Field> f = {{"devicetype", Byte(s.DeviceType)}, {"version", Byte(s.Version)}};
  for (size_t g = 0; g < 16; ++g) f.push_back({"group " + std::to_string(g), Byte(s.Groups[g])});
  f.insert(f.end(), {{"minphysicallevel", Byte(r.PhysicalMinLevel)},
                     {"minlevel", Byte(r.MinLevel)},
                     {"maxlevel", Byte(r.MaxLevel)},
                     {"poweronlevel", Byte(r.PowerOnLevel)},
                     {"errorlevel", Byte(r.FailureLevel)},
                     {"faderate", Byte(r.FadeRate)},
                     {"fadetime", Byte(r.FadeTime)}});
  for (size_t k = 0; k < 16; ++k) f.push_back({"scene " + std::to_string(k), Byte(r.Scenes[k])});
  f.insert(f.end(), {{"top", std::to_string(p.Top)}, {"left", std::to_string(p.Left)}});
  return f;
}

std::vector<Field> DeviceFields(const Tables& t, uint32_t a) {
  const DeviceSlot& s = *t.devices.SlotAt(a);
  const ControllerRecord& r = *t.devices.Record(a);
  const SlotPosition& p = *t.devices.PositionAt(a);
  std::vector<Field> f = {{"devicetype", Byte(s.DeviceType)},
                          {"maxversion", Byte(s.Version)},
                          {"minversion", Byte(s.MinVersion)}};
  for (size_t g = 0; g < 16; ++g) f.push_back({"group " + std::to_string(g), Byte(s.Groups[g])});
  f.push_back({"multimaster", Byte(r.Multimaster)});
  // The kind's settings as the bytes of its image, in image order.
  for (size_t i = 0; i < r.Layout.size(); ++i) {
    f.push_back({"obraz " + std::to_string(i), Byte(r.Layout[i])});
  }
  f.insert(f.end(), {{"top", std::to_string(p.Top)}, {"left", std::to_string(p.Left)}});
  return f;
}

std::string Shown(const std::string& value) { return value.empty() ? "(neprečítané)" : value; }

}  // namespace

int DocumentDiff(TArguments& args) {
  const std::vector<std::string> files = args.Operands(2, 2, "SÚBOR_A.dcf SÚBOR_B.dcf");
  Tables a, b;
  for (const auto& [path, tables] : {std::pair{files[0], &a}, std::pair{files[1], &b}}) {
    try {
      Load(path, *tables);
    } catch (const Error& e) {
      std::cerr << kToolName << ": " << e.what() << "\n";
      return kExitProblem;
    }
  }
  int differences = 0;
  const auto compare = [&](char population, const TConfig& ta, const TConfig& tb,
                           const std::function<std::vector<Field>(const Tables&, uint32_t)>& fields) {
    for (uint32_t s = 0; s < 64; ++s) {
      const bool inA = !ta.IsSlotFree(s), inB = !tb.IsSlotFree(s);
      const std::string name = AddressName(population, static_cast<int>(s));
      if (inA != inB) {
        std::cout << name << ": len v " << (inA ? files[0] : files[1]) << "\n";
        ++differences;
        continue;
      }
      if (!inA) continue;
      const std::vector<Field> fa = fields(a, s), fb = fields(b, s);
      for (size_t i = 0; i < fa.size(); ++i) {
        if (fa[i].value == fb[i].value) continue;
        std::cout << name << " " << fa[i].name << ": " << Shown(fa[i].value) << " → "
                  << Shown(fb[i].value) << "\n";
        ++differences;
      }
    }
  };
  compare('A', a.gear, b.gear, GearFields);
  compare('C', a.devices, b.devices, DeviceFields);
  if (differences == 0) {
    std::cout << "Dokumenty sa zhodujú\n";
    return kExitOk;
  }
  return kExitProblem;
}

}  // namespace lumetra::cli
