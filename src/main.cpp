// Entry of the configurator: the application object with its error report, then the main window.
#include <signal.h>
#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "documents/FileFolder.h"
#include "ui/ConfiguratorForm.h"
#include "ui/LumetraApplication.h"
#include "ui/VersionInfo.h"

namespace {

// SIGTERM and SIGINT (a session that logs out, a service manager, Ctrl+C in a terminal) close the
// window as its close button does, so that the last configuration and the settings are saved and
// the bus server started by the program is stopped. The handler only writes a byte into a pipe;
// the user-interface thread reads it.
int closePipe[2] = {-1, -1};

void OnCloseSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = ::write(closePipe[1], &byte, 1);
}

void CloseOnSignals() {
  if (::pipe2(closePipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  auto* notifier = new QSocketNotifier(closePipe[0], QSocketNotifier::Read, qApp);
  QObject::connect(notifier, &QSocketNotifier::activated, qApp, [] {
    char bytes[16];
    while (::read(closePipe[0], bytes, sizeof bytes) > 0) {
    }
    QApplication::closeAllWindows();
  });
  struct sigaction action {};
  action.sa_handler = &OnCloseSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

constexpr const char* kHelp =
    "Použitie: LumetraConfigurator [označenie [adresa-riadiacej-jednotky [port]]]\n"
    "Konfigurátor osvetlenia DALI: adresovanie, nastavenie a monitorovanie linky.\n"
    "\n"
    "  označenie                pripojí sa k titulku okna za \" - \"\n"
    "  adresa-riadiacej-jednotky  zvolí rozhranie \"Riadiaca jednotka\" s touto adresou IP\n"
    "  port                     port riadiacej jednotky (predvolene 50000)\n"
    "  --help                   vypíše tento text\n"
    "  --version                vypíše verziu programu\n";

}  // namespace

int main(int argc, char** argv) {
  // Answered before any window exists, so they work without a display.
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::fputs(lumetra::VersionText().c_str(), stdout);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::fputs(kHelp, stdout);
    return 0;
  }
  lumetra::TLumetraApplication app(argc, argv);
  // The desktop entry the window belongs to, so that the desktop shows its icon for it.
  QGuiApplication::setDesktopFileName(QString::fromLatin1(lumetra::kApplicationId));
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
  CloseOnSignals();
  int result = 1;
  lumetra::TLumetraApplication::Guard([&] {
    lumetra::TConfiguratorForm form(arguments);
    form.show();
    result = app.exec();
  });
  return result;
}
