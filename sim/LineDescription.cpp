// Reading line-description files; every mistake in one is reported with the element and attribute
// it was found in, so that a hand-written file is easy to put right.
#include "sim/LineDescription.h"

#include <pugixml.hpp>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <sstream>

#include "model/Error.h"

namespace lumetra::sim {

extern const char* const kDemoLineXml;  // generated from demo-line.xml

namespace {

// Line and column of a byte offset into the text, both counted from 1, columns in bytes.
struct Position {
  size_t line = 1;
  size_t column = 1;
};

Position PositionOf(std::string_view text, ptrdiff_t offset) {
  Position p;
  const size_t end = std::min(static_cast<size_t>(std::max<ptrdiff_t>(offset, 0)), text.size());
  for (size_t i = 0; i < end; ++i) {
    if (text[i] == '\n') {
      ++p.line;
      p.column = 1;
    } else {
      ++p.column;
    }
  }
  return p;
}

// pugixml's own descriptions are English; the user gets ours, with pugixml's after it for whoever
// compares with other tools.
const char* SlovakParseError(pugi::xml_parse_status status) {
  switch (status) {
    case pugi::status_out_of_memory:
      return "nedostatok pamäte";
    case pugi::status_unrecognized_tag:
      return "nerozpoznaná značka";
    case pugi::status_bad_pi:
      return "chybná inštrukcia <?…?>";
    case pugi::status_bad_comment:
      return "chybný komentár";
    case pugi::status_bad_cdata:
      return "chybná sekcia CDATA";
    case pugi::status_bad_doctype:
      return "chybná deklarácia DOCTYPE";
    case pugi::status_bad_pcdata:
      return "chybný text";
    case pugi::status_bad_start_element:
      return "chybná začiatočná značka";
    case pugi::status_bad_attribute:
      return "chybný atribút";
    case pugi::status_bad_end_element:
      return "chybná koncová značka";
    case pugi::status_end_element_mismatch:
      return "koncová značka nepatrí k otvorenému prvku";
    case pugi::status_no_document_element:
      return "chýba koreňový prvok";
    default:
      return "chyba syntaxe";
  }
}

// A piece of text for a message: the start of it, on one line.
std::string Excerpt(std::string_view text) {
  std::string out;
  for (char c : text.substr(0, 40)) out += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
  if (text.size() > 40) out += "…";
  return out;
}

class Reader {
 public:
  Reader(const std::string& source, std::string_view xml, pugi::xml_node node, std::string what)
      : source_(source), xml_(xml), node_(node), what_(std::move(what)) {}

  // The line is counted only for a message: counting it for every unit would make reading a
  // large file quadratic.
  [[noreturn]] void Fail(const std::string& detail) const {
    throw Error("Popis linky " + source_ + ": " + what_ + " (riadok " +
                std::to_string(PositionOf(xml_, node_.offset_debug()).line) + "): " + detail);
  }

  // pugixml keeps every attribute it reads, a repeated one too; the format has each at most once,
  // and which of two values counts would be a guess.
  static void CheckAttributes(pugi::xml_node node, std::initializer_list<const char*> names,
                              const std::function<void(const std::string&)>& fail) {
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
      bool known = false;
      for (const char* n : names) known = known || std::strcmp(a.name(), n) == 0;
      if (!known) fail("neznámy atribút \"" + std::string(a.name()) + "\"");
      for (pugi::xml_attribute b = a.next_attribute(); b; b = b.next_attribute()) {
        if (std::strcmp(a.name(), b.name()) == 0) {
          fail("atribút \"" + std::string(a.name()) + "\" je dvakrát");
        }
      }
    }
  }

  void AllowOnly(std::initializer_list<const char*> names) const {
    CheckAttributes(node_, names, [this](const std::string& detail) { Fail(detail); });
  }

  // Text where the format has none would otherwise be ignored without a word.
  void NoText(pugi::xml_node node) const {
    if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) {
      Fail("text \"" + Excerpt(node.value()) + "\" sem nepatrí");
    }
  }

  bool Has(const char* name) const { return !node_.attribute(name).empty(); }
  std::string Text(const char* name) const { return node_.attribute(name).value(); }

  // Decimal, or hexadecimal with 0x, within [low, high].
  static std::optional<uint64_t> ParseNumber(std::string_view text, uint64_t low, uint64_t high) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
      base = 16;
      text.remove_prefix(2);
    }
    uint64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (value < low || value > high) return std::nullopt;
    return value;
  }

  uint64_t Number(const char* name, uint64_t low, uint64_t high, uint64_t fallback) const {
    if (!Has(name)) return fallback;
    const auto value = ParseNumber(Text(name), low, high);
    if (!value) {
      Fail("atribút " + std::string(name) + "=\"" + Text(name) + "\" nie je číslo od " +
           std::to_string(low) + " do " + std::to_string(high));
    }
    return *value;
  }
  uint8_t Byte(const char* name, uint8_t fallback, uint8_t low = 0, uint8_t high = 255) const {
    return static_cast<uint8_t>(Number(name, low, high, fallback));
  }

  uint8_t ShortAddress() const {
    if (!Has("short") || Text("short") == "none") return kNoShortAddress;
    return Byte("short", kNoShortAddress, 0, 63);
  }
  std::optional<uint32_t> RandomAddress() const {
    if (!Has("random")) return std::nullopt;
    return static_cast<uint32_t>(Number("random", 0, 0xFFFFFF, 0));
  }
  bool Flag(const char* name) const { return Number(name, 0, 1, 0) != 0; }

  // Whitespace-separated numbers (decimal or 0x) or, with `hex`, bare hexadecimal bytes.
  std::vector<uint8_t> Bytes(std::string_view text, const std::string& label, bool hex) const {
    std::vector<uint8_t> out;
    std::istringstream in{std::string(text)};
    std::string word;
    while (in >> word) {
      std::optional<uint64_t> v;
      if (hex) {
        if (word.size() <= 2) v = ParseNumber("0x" + word, 0, 255);
      } else {
        v = ParseNumber(word, 0, 255);
      }
      if (!v) Fail(label + ": \"" + word + "\" nie je bajt");
      out.push_back(static_cast<uint8_t>(*v));
    }
    return out;
  }

  pugi::xml_node Node() const { return node_; }

 private:
  const std::string& source_;
  std::string_view xml_;
  pugi::xml_node node_;
  std::string what_;
};

GearDescription ReadGear(const Reader& r) {
  r.AllowOnly({"short", "random", "type", "version", "physmin", "status", "level", "max", "min",
               "poweron", "failure", "fadetime", "faderate", "groups", "scenes", "diagnostics"});
  for (pugi::xml_node child : r.Node().children()) {
    r.NoText(child);
    if (child.type() == pugi::node_element) {
      r.Fail("neznámy prvok <" + std::string(child.name()) + ">");
    }
  }
  GearDescription g;
  g.shortAddress = r.ShortAddress();
  g.randomAddress = r.RandomAddress();
  g.deviceType = r.Byte("type", g.deviceType);
  g.version = r.Byte("version", g.version);
  g.physicalMin = r.Byte("physmin", g.physicalMin, 1, 254);
  g.status = r.Byte("status", g.status);
  if (g.status & ~0x83) r.Fail("atribút status smie obsahovať len bity 0, 1 a 7");
  g.actualLevel = r.Byte("level", g.actualLevel, 0, 254);
  g.maxLevel = r.Byte("max", g.maxLevel, g.physicalMin, 254);
  if (r.Has("min")) g.minLevel = r.Byte("min", 0, g.physicalMin, g.maxLevel);
  g.powerOnLevel = r.Byte("poweron", g.powerOnLevel);
  g.failureLevel = r.Byte("failure", g.failureLevel);
  g.fadeTime = r.Byte("fadetime", g.fadeTime, 0, 15);
  g.fadeRate = r.Byte("faderate", g.fadeRate, 1, 15);
  g.groups = static_cast<uint16_t>(r.Number("groups", 0, 0xFFFF, 0));
  if (r.Has("scenes")) {
    const auto scenes = r.Bytes(r.Text("scenes"), "atribút scenes", false);
    if (scenes.size() != 16) r.Fail("atribút scenes musí mať 16 úrovní (255 = scéna nie je)");
    std::copy(scenes.begin(), scenes.end(), g.scenes.begin());
  }
  if (r.Has("diagnostics")) {
    const auto bytes = r.Bytes(r.Text("diagnostics"), "atribút diagnostics", false);
    if (bytes.size() != kDiagnosticBytes) r.Fail("atribút diagnostics musí mať 9 bajtov");
    g.diagnostics = true;
    std::copy(bytes.begin(), bytes.end(), g.diagnosticMemory.begin());
  }
  return g;
}

DeviceDescription ReadDevice(const Reader& r) {
  r.AllowOnly({"short", "random", "kind", "version", "status", "multimaster", "groups", "lux"});
  DeviceDescription d;
  d.shortAddress = r.ShortAddress();
  d.randomAddress = r.RandomAddress();
  d.kind = r.Byte("kind", d.kind);
  if (r.Has("version")) {
    // "major.minor" as the configurator shows it ("1.004").
    const std::string text = r.Text("version");
    const size_t dot = text.find('.');
    const auto major = Reader::ParseNumber(text.substr(0, dot), 0, 255);
    const auto minor =
        dot == std::string::npos ? std::nullopt : Reader::ParseNumber(text.substr(dot + 1), 0, 255);
    if (!major || !minor) r.Fail("atribút version=\"" + text + "\" nemá tvar 1.004");
    d.versionMajor = static_cast<uint8_t>(*major);
    d.versionMinor = static_cast<uint8_t>(*minor);
  }
  d.status = r.Byte("status", d.status);
  d.multimaster = r.Flag("multimaster");
  d.groups = static_cast<uint16_t>(r.Number("groups", 0, 0xFFFF, 0));
  d.illuminance = static_cast<uint16_t>(r.Number("lux", 0, 0xFFFF, d.illuminance));

  const size_t bankSize = ConfigBankSize(d.kind, d.versionMajor, d.versionMinor);
  for (pugi::xml_node child : r.Node().children()) {
    r.NoText(child);
    if (child.type() != pugi::node_element) continue;
    if (std::strcmp(child.name(), "memory") != 0) {
      r.Fail("neznámy prvok <" + std::string(child.name()) + ">");
    }
    Reader::CheckAttributes(child, {"offset"},
                            [&r](const std::string& detail) { r.Fail("<memory> má " + detail); });
    const auto offset = Reader::ParseNumber(child.attribute("offset").value(), 0, 255);
    if (!offset) r.Fail("<memory> potrebuje atribút offset od 0 do 255");
    // A comment splits the text into pieces; each piece holds whole bytes, so "0B<!-- -->05" is
    // two bytes, not the first piece alone.
    std::string bytes;
    for (pugi::xml_node piece : child.children()) {
      if (piece.type() == pugi::node_element) {
        r.Fail("<memory> obsahuje neznámy prvok <" + std::string(piece.name()) + ">");
      }
      if (piece.type() == pugi::node_pcdata || piece.type() == pugi::node_cdata) {
        bytes += piece.value();
        bytes += ' ';
      }
    }
    MemoryPreset preset;
    preset.offset = static_cast<uint8_t>(*offset);
    preset.bytes = r.Bytes(bytes, "<memory>", true);
    if (preset.offset + preset.bytes.size() > bankSize) {
      r.Fail("<memory> od " + std::to_string(preset.offset) + " s " +
             std::to_string(preset.bytes.size()) + " bajtmi presahuje pamäťovú banku 0xB0 (" +
             std::to_string(bankSize) + " bajtov pre tento druh a firmvér)");
    }
    d.memory.push_back(std::move(preset));
  }
  return d;
}

}  // namespace

LineDescription ParseLineDescription(std::string_view xml, const std::string& sourceName) {
  pugi::xml_document doc;
  const pugi::xml_parse_result parsed = doc.load_buffer(xml.data(), xml.size());
  if (!parsed) {
    std::string where;
    std::string what = SlovakParseError(parsed.status);
    // pugixml reports an element left open as a mismatch at the very end of the text.
    if (parsed.status == pugi::status_end_element_mismatch &&
        xml.find_first_not_of(" \t\r\n", static_cast<size_t>(parsed.offset)) == std::string::npos) {
      what = "text skončil pred koncovou značkou";
    }
    if (parsed.status != pugi::status_no_document_element) {
      const Position p = PositionOf(xml, parsed.offset);
      where = "riadok " + std::to_string(p.line) + ", stĺpec " + std::to_string(p.column) + ": ";
    }
    throw Error("Popis linky " + sourceName + " nie je platné XML: " + where + what + " (" +
                parsed.description() + ")");
  }
  // pugixml reads a fragment of several roots without complaint; a second <daliline> would be
  // dropped silently.
  pugi::xml_node root;
  for (pugi::xml_node node : doc.children()) {
    if (node.type() != pugi::node_element) continue;
    if (root) {
      throw Error("Popis linky " + sourceName + " nie je platné XML: riadok " +
                  std::to_string(PositionOf(xml, node.offset_debug()).line) +
                  ": druhý koreňový prvok <" + node.name() + ">");
    }
    root = node;
  }
  if (std::strcmp(root.name(), "daliline") != 0) {
    throw Error("Popis linky " + sourceName + ": koreňový prvok musí byť <daliline>");
  }
  const Reader top(sourceName, xml, root, "<daliline>");
  top.AllowOnly({"name"});
  LineDescription line;
  line.name = root.attribute("name").value();
  for (pugi::xml_node node : root.children()) {
    top.NoText(node);
    if (node.type() != pugi::node_element) continue;
    const std::string name = node.name();
    if (name == "gear") {
      const Reader r(sourceName, xml, node, "svietidlo č. " + std::to_string(line.gear.size() + 1));
      line.gear.push_back(ReadGear(r));
    } else if (name == "device") {
      const Reader r(sourceName, xml, node,
                     "ovládač č. " + std::to_string(line.devices.size() + 1));
      line.devices.push_back(ReadDevice(r));
    } else {
      top.Fail("neznámy prvok <" + name + ">");
    }
  }
  if (line.gear.size() > kMaxUnitsPerPopulation || line.devices.size() > kMaxUnitsPerPopulation) {
    throw Error("Popis linky " + sourceName +
                ": na linke môže byť najviac 64 svietidiel a 64 ovládačov");
  }
  return line;
}

LineDescription LoadLineDescription(const std::string& path) {
  // Without O_NONBLOCK, opening a FIFO waits for a writer that may never come.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0)
    throw Error("Popis linky " + path + " sa nedá otvoriť (" + SystemErrorText(errno) + ")");
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    throw Error("Popis linky " + path + " sa nedá otvoriť (" + SystemErrorText(errno) + ")");
  }
  // A device (/dev/zero) or a pipe never ends or never starts; only a file has a size to check.
  if (S_ISDIR(st.st_mode)) throw Error("Popis linky " + path + " je priečinok, nie súbor");
  if (!S_ISREG(st.st_mode)) throw Error("Popis linky " + path + " nie je obyčajný súbor");
  const auto tooLarge = [&path] {
    return Error("Popis linky " + path + " je väčší ako " +
                 std::to_string(kMaxLineDescriptionBytes >> 20) + " MiB");
  };
  if (static_cast<uint64_t>(st.st_size) > kMaxLineDescriptionBytes) throw tooLarge();
  std::string text;
  text.reserve(static_cast<size_t>(st.st_size));
  char buffer[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      throw Error("Popis linky " + path + " sa nedá čítať (" + SystemErrorText(errno) + ")");
    }
    if (n == 0) break;
    // The file may grow while it is read.
    if (text.size() + static_cast<size_t>(n) > kMaxLineDescriptionBytes) throw tooLarge();
    text.append(buffer, static_cast<size_t>(n));
  }
  return ParseLineDescription(text, path);
}

std::string_view DemoLineXml() { return kDemoLineXml; }

LineDescription DemoLine() { return ParseLineDescription(DemoLineXml(), "demo-line.xml"); }

size_t KindImageSize(uint8_t kind, uint8_t major, uint8_t minor) {
  switch (kind) {
    case kKindSwitch:
      return 234;
    case kKindPirSensor:
      return 170;
    case kKindLightSensor:
      return major == 1 && minor < 2 ? 211 : 213;  // no Delta and Scale before 1.002
    case kKindOptoRelay:
      return 224;
    case kKindPirLightSensor:
      return major == 1 && minor == 0 ? 215 : 227;  // 1.000 has no second sequence
    default:
      return 0;
  }
}

size_t ConfigBankSize(uint8_t kind, uint8_t major, uint8_t minor) {
  const size_t image = KindImageSize(kind, major, minor);
  return image == 0 ? 7 : 7 + image + 1;
}

}  // namespace lumetra::sim
