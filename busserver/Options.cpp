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
