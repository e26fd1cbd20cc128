// Command-line parsing of the bus server: every value is range-checked, so a typo is reported
// instead of starting a server that behaves differently from what was asked for.
#include "busserver/Options.h"

#include <arpa/inet.h>

#include <charconv>
#include <cstdlib>

namespace lumetra::busserver {

namespace {

uint64_t Integer(const std::string& option, const std::string& text, uint64_t low, uint64_t high) {
  uint64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value < low ||
      value > high) {
    throw UsageError("Voľba " + option + " očakáva celé číslo od " + std::to_string(low) + " do " +
                     std::to_string(high) + ", nie \"" + text + "\"");
  }
  return value;
}

double Rate(const std::string& option, const std::string& text) {
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (text.empty() || end != text.c_str() + text.size() || !(value >= 0.0 && value <= 1.0)) {
    throw UsageError("Voľba " + option + " očakáva číslo od 0 do 1, nie \"" + text + "\"");
  }
  return value;
}

}  // namespace

Options ParseOptions(const std::vector<std::string>& args) {
  Options o;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    std::string value;
    bool hasValue = false;
    if (const size_t eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
      value = name.substr(eq + 1);
      name = name.substr(0, eq);
      hasValue = true;
    }
    auto next = [&]() -> const std::string& {
      if (!hasValue) {
        if (i + 1 >= args.size()) throw UsageError("Voľbe " + name + " chýba hodnota");
        value = args[++i];
        hasValue = true;
      }
      return value;
    };
    auto noValue = [&] {
      if (hasValue) throw UsageError("Voľba " + name + " nemá hodnotu");
    };

    if (name == "--help" || name == "-h") {
      noValue();
      o.help = true;
    } else if (name == "--version") {
      noValue();
      o.version = true;
    } else if (name == "--log") {
      noValue();
      o.log = true;
    } else if (name == "--port-base") {
      // The monitor channel is base + 2, so the base leaves room for it.
      o.portBase = static_cast<uint16_t>(Integer(name, next(), 1, 65533));
    } else if (name == "--host") {
      in_addr addr{};
      if (inet_pton(AF_INET, next().c_str(), &addr) != 1) {
        throw UsageError("Voľba --host očakáva adresu IPv4, nie \"" + value + "\"");
      }
      o.host = value;
    } else if (name == "--line") {
      o.lineFile = next();
      if (o.lineFile.empty()) throw UsageError("Voľba --line očakáva názov súboru");
    } else if (name == "--seed") {
      o.seed = Integer(name, next(), 0, UINT64_MAX);
    } else if (name == "--timing") {
      const std::string& t = next();
      if (t == "none") {
        o.timing = Timing::kNone;
      } else if (t == "dali") {
        o.timing = Timing::kDali;
      } else {
        throw UsageError("Voľba --timing očakáva none alebo dali, nie \"" + t + "\"");
      }
    } else if (name == "--drop-reply-rate") {
      o.faults.dropReplyRate = Rate(name, next());
    } else if (name == "--delay-reply-ms") {
      o.faults.delayReplyMs = static_cast<int>(Integer(name, next(), 0, 600000));
    } else if (name == "--close-after") {
      o.faults.closeAfter = static_cast<int>(Integer(name, next(), 0, 1000000000));
    } else if (name == "--frame-timeout-ms") {
      o.frameTimeoutMs = static_cast<int>(Integer(name, next(), 1, 600000));
    } else if (name == "--monitor-backlog") {
      o.monitorBacklog = Integer(name, next(), 5, 64 * 1024 * 1024);
    } else {
      throw UsageError("Neznáma voľba \"" + args[i] + "\" (pozri --help)");
    }
  }
  return o;
}

std::string PrintableText(std::string_view text) {
  std::string out;
  const auto escape = [&out](unsigned char byte) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 15];
  };
  const auto continuation = [&text](size_t i) {
    return i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80;
  };
  for (size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '\\') {
      out += "\\\\";
      ++i;
    } else if (c == '\n') {
      out += "\\n";
      ++i;
    } else if (c == '\r') {
      out += "\\r";
      ++i;
    } else if (c == '\t') {
      out += "\\t";
      ++i;
    } else if (c < 0x20 || c == 0x7F) {
      escape(c);
      ++i;
    } else if (c < 0x80) {
      out += static_cast<char>(c);
      ++i;
    } else {
      // A whole, shortest-form UTF-8 sequence of a character that is not a C1 control (U+0080..
      // U+009F, which some terminals obey as escape sequences) is kept; any other byte is escaped.
      size_t length = 0;
      uint32_t code = 0;
      if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
        code = c & 0x1F;
      } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        code = c & 0x0F;
      } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        code = c & 0x07;
      }
      bool whole = length > 0;
      for (size_t k = 1; whole && k < length; ++k) {
        whole = continuation(i + k);
        if (whole) code = code << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3F);
      }
      const uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
      whole = whole && code >= least[length] && code <= 0x10FFFF &&
              !(code >= 0xD800 && code <= 0xDFFF) && !(code >= 0x80 && code <= 0x9F);
      if (whole) {
        out.append(text.substr(i, length));
        i += length;
      } else {
        escape(c);
        ++i;
      }
    }
  }
  return out;
}

std::string VersionText() { return "LumetraDaliBusServer " LUMETRA_VERSION; }

std::string HelpText() {
  return "Použitie: LumetraDaliBusServer [voľby]\n"
         "Zbernicový server so simulovanou linkou DALI pre LumetraConfigurator. Počúva na troch\n"
         "portoch TCP: konfigurácia (základ), brána (základ + 1), monitor (základ + 2).\n"
         "\n"
         "  --host ADRESA            adresa IPv4, na ktorej počúva (predvolene 127.0.0.1)\n"
         "  --port-base N            základný port (predvolene 50000)\n"
         "  --line SÚBOR             popis linky v XML (predvolene ukážková inštalácia)\n"
         "  --seed N                 semienko náhodných čísel (predvolene 1)\n"
         "  --timing none|dali       none: odpovedá hneď; dali: každá výmena trvá modelovaný\n"
         "                           čas zbernice (predvolene none)\n"
         "  --drop-reply-rate R      podiel požiadaviek bez odpovede, 0 až 1\n"
         "  --delay-reply-ms N       každú odpoveď pošle o N ms neskôr\n"
         "  --close-after N          N-tú požiadavku spojenia brány nevykoná a spojenie zavrie\n"
         "  --frame-timeout-ms N     neúplnú požiadavku zahodí po N ms (predvolene 1000)\n"
         "  --monitor-backlog B      klienta monitora, ktorý nečíta, odpojí po B bajtoch\n"
         "                           v rade (predvolene 65536)\n"
         "  --log                    jeden riadok na každú udalosť\n"
         "  --help, --version\n"
         "\n"
         "SIGUSR1 vypíše modelovaný čas zbernice; SIGINT a SIGTERM server ukončia.\n"
         "Návratové kódy: 0 v poriadku, 1 chyba popisu linky alebo siete, 2 chybná voľba,\n"
         "3 port je obsadený.\n";
}

}  // namespace lumetra::busserver
