// The help texts of lumetra-cli, one per command.
#include <map>

#include "cli/Cli.h"

namespace lumetra::cli {

std::string HelpText(const std::string& command) {
  static const std::map<std::string, std::string> texts = {
      {"",
       "Použitie: lumetra-cli PRÍKAZ [voľby]\n"
       "Príkazový riadok konfigurátora Lumetra: adresovanie linky DALI, kontrola dokumentov\n"
       "konfigurácie, tlačová zostava a záznamy monitora bez okna programu.\n"
       "\n"
       "Príkazy:\n"
       "  commission        adresuje a načíta zariadenia linky a uloží konfiguráciu\n"
       "  document show     vypíše zariadenia dokumentu .dcf\n"
       "  document check    prísne skontroluje dokument .dcf\n"
       "  document diff     porovná dva dokumenty .dcf po zariadeniach a poliach\n"
       "  report            tlačová zostava alebo rozmiestnenie dokumentu ako PDF\n"
       "  trace decode      riadky záznamu monitora .lmm s filtrami stránky monitora\n"
       "  trace stats       počty rámcov, chyby a najčastejšie adresy záznamu .lmm\n"
       "\n"
       "  --help            tento text; PRÍKAZ --help vypíše pomoc k príkazu\n"
       "  --version         verzia programu\n"
       "\n"
       "Návratový kód: 0 v poriadku, 1 zistený problém, 2 chybný príkazový riadok.\n"},
      {"commission",
       "Použitie: lumetra-cli commission --gear AKCIA --devices AKCIA [--server PROGRAM |\n"
       "          --unit ADRESA[:PORT]] [--port-base N] [--timing none|dali] [-o SÚBOR.dcf]\n"
       "Vykoná adresovanie ako stránka \"Adresovanie\" a uloží tabuľky ako dokument konfigurácie.\n"
       "\n"
       "  --gear AKCIA       svietidlá: find (čítať aktuálne adresy), add (adresovať pridané),\n"
       "                     readdress (preadresovať všetky), none (nechať)\n"
       "  --devices AKCIA    ovládače, tie isté akcie\n"
       "  --server PROGRAM   zbernicový server, ktorý sa spustí, ak ešte nebeží (predvolene\n"
       "                     LumetraDaliBusServer z pracovného priečinka, inak vedľa lumetra-cli)\n"
       "  --port-base N      základný port servera: konfigurácia N, brána N + 1 (predvolene 50000)\n"
       "  --timing none|dali spustený server odpovedá hneď, alebo v modelovanom čase zbernice\n"
       "  --unit ADRESA[:PORT]  namiesto servera riadiaca jednotka (brána na porte + 1,\n"
       "                     predvolený port 50000)\n"
       "  -o, --output SÚBOR dokument, do ktorého sa tabuľky uložia (predvolene installation.dcf;\n"
       "                     prípona .dcf sa doplní)\n"
       "\n"
       "Priebeh ide na štandardný chybový výstup (na termináli ako pruh), výsledok a kontrola po\n"
       "adresovaní na štandardný výstup. Ctrl+C adresovanie zruší; nájdené sa uloží.\n"
       "Návratový kód: 0 v poriadku, 1 adresovanie zlyhalo, bolo zrušené alebo kontrola našla\n"
       "chybné adresy, 2 chybný príkazový riadok.\n"},
      {"document",
       "Použitie: lumetra-cli document show|check|diff …\n"
       "  show SÚBOR.dcf [--json]         zariadenia dokumentu ako tabuľka\n"
       "  check SÚBOR.dcf [--json]        prísna kontrola s prvkom a riadkom každého problému\n"
       "  diff SÚBOR_A.dcf SÚBOR_B.dcf    rozdiely po zariadeniach a poliach\n"},
      {"document show",
       "Použitie: lumetra-cli document show SÚBOR.dcf [--json]\n"
       "Vypíše každé zariadenie dokumentu: adresu, typ, verziu, skupiny, úrovne (ARC) a druh\n"
       "ovládača. Nenačítaná hodnota ostane prázdna (v JSON null).\n"
       "  --json    výstup ako objekt JSON {\"file\", \"gear\": […], \"devices\": […]}\n"
       "Návratový kód: 0 v poriadku, 1 dokument sa nedá otvoriť, 2 chybný príkazový riadok.\n"},
      {"document check",
       "Použitie: lumetra-cli document check SÚBOR.dcf [--json]\n"
       "Otvorí dokument ako program a navyše hlási, čo program pri otvorení potichu prejde:\n"
       "iný koreňový prvok, chýbajúcu sekciu, adresu mimo 0 až 63, adresu použitú dvakrát,\n"
       "skupiny a scény, ktorých nie je 16. Každý problém s prvkom a riadkom.\n"
       "  --json    výstup ako {\"file\", \"valid\", \"problems\": [{\"element\", \"line\", \"message\"}]}\n"
       "Návratový kód: 0 v poriadku, 1 dokument má problém, 2 chybný príkazový riadok.\n"},
      {"document diff",
       "Použitie: lumetra-cli document diff SÚBOR_A.dcf SÚBOR_B.dcf\n"
       "Vypíše každé pole, v ktorom sa zariadenie dokumentov líši (\"A 05 maxlevel: 254 → 200\"),\n"
       "a zariadenia, ktoré sú len v jednom z nich. Polia sa volajú ako prvky dokumentu;\n"
       "nastavenia druhu ovládača sú bajty jeho obrazu (\"obraz 17\").\n"
       "Návratový kód: 0 dokumenty sa zhodujú, 1 líšia sa alebo sa nedajú otvoriť,\n"
       "2 chybný príkazový riadok.\n"},
      {"report",
       "Použitie: lumetra-cli report SÚBOR.dcf --pdf VÝSTUP.pdf [--plan] [--arc]\n"
       "Tlačová zostava dokumentu ako PDF vo formáte A4: strany všetkých svietidiel, potom\n"
       "všetkých ovládačov, tak ako ich tlačí okno. Zostavu kreslí zapisovač PDF knižnice Qt\n"
       "bez okna (platforma offscreen, program lumetra-report-pdf); displej netreba.\n"
       "  --pdf VÝSTUP  súbor PDF (prípona .pdf sa doplní); existujúci sa nahradí\n"
       "  --plan        namiesto zostavy rozmiestnenie, ako ho okno tlačí na \"Rozmiestnenie\":\n"
       "                jeden hárok s pôdorysom všetkých svietidiel (A XX) aj ovládačov (C XX) na\n"
       "                miestach podľa dokumentu, pod ním legenda, dátum a čas tlače; pôdorys je\n"
       "                spoločný pre stránky \"Svietidlá\" aj \"Ovládače\"\n"
       "  --arc         úrovne zostavy v hodnotách ARC namiesto percent\n"
       "Návratový kód: 0 v poriadku, 1 dokument sa nedá otvoriť, nemá čo tlačiť (neobsahuje\n"
       "žiadne zariadenie) alebo PDF sa nedá zapísať, 2 chybný príkazový riadok.\n"},
      {"trace",
       "Použitie: lumetra-cli trace decode|stats SÚBOR.lmm …\n"
       "  decode SÚBOR.lmm [filtre]   riadky záznamu s filtrami stránky monitora\n"
       "  stats SÚBOR.lmm [--json]    počty rámcov, chyby zbernice, najčastejšie adresy\n"},
      {"trace decode",
       "Použitie: lumetra-cli trace decode SÚBOR.lmm [--gear ZOZNAM] [--devices ZOZNAM]\n"
       "          [--groups ZOZNAM | --gear-groups ZOZNAM --device-groups ZOZNAM] [--hide]\n"
       "          [--broadcasts]\n"
       "Vypíše riadky záznamu monitora tak, ako by ich stránka \"DALI Monitor\" ukázala s filtrom.\n"
       "ZOZNAM sú čísla a rozsahy, napr. 0,5,10-12 (adresy 0 až 63, skupiny 0 až 15).\n"
       "  --gear ZOZNAM          filter svietidiel zapnutý, adresy A xx\n"
       "  --devices ZOZNAM       filter ovládačov zapnutý, adresy C xx\n"
       "  --gear-groups ZOZNAM   skupiny GA xx;  --device-groups ZOZNAM skupiny GC xx\n"
       "  --groups ZOZNAM        tie isté skupiny svietidiel aj ovládačov\n"
       "  --hide                 \"nezobrazovať\": uvedené sa skryjú, ostatné zobrazia\n"
       "  --broadcasts           pri \"zobrazovať\" ukázať aj príkazy všetkým (A ALL, C ALL)\n"
       "Skrytý rámec skryje aj odpoveď za ním, ako na stránke monitora.\n"
       "Návratový kód: 0 v poriadku, 1 súbor sa nedá čítať alebo obsahuje riadok, ktorý nie je\n"
       "riadkom monitora (vynechá sa), 2 chybný príkazový riadok.\n"},
      {"trace stats",
       "Použitie: lumetra-cli trace stats SÚBOR.lmm [--json]\n"
       "Spočíta rámce svietidiel a ovládačov, odpovede a chyby zbernice (podľa druhu) a vypíše\n"
       "desať najčastejších adries.\n"
       "  --json    výstup ako objekt JSON (lines, gearFrames, deviceFrames, answers, busErrors,\n"
       "            unreadableLines, first, last, errors, busiest)\n"
       "Návratový kód: 0 v poriadku, 1 súbor sa nedá čítať alebo má nečitateľné riadky,\n"
       "2 chybný príkazový riadok.\n"},
  };
  const auto it = texts.find(command);
  return it == texts.end() ? std::string() : it->second;
}

}  // namespace lumetra::cli
