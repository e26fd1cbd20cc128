// The general error report of the program.
#include "ui/LumetraApplication.h"

#include <QMessageBox>
#include <exception>

namespace lumetra {

namespace {

std::function<void(const QString&)>& ErrorReport() {
  static std::function<void(const QString&)> report;
  return report;
}

}  // namespace

TLumetraApplication::TLumetraApplication(int& argc, char** argv) : QApplication(argc, argv) {}

void TLumetraApplication::ReportError(const QString& message) {
  if (ErrorReport()) {
    ErrorReport()(message);
    return;
  }
  QMessageBox::critical(QApplication::activeWindow(), QStringLiteral("Chyba"), message);
}

void TLumetraApplication::SetErrorReport(std::function<void(const QString&)> report) {
  ErrorReport() = std::move(report);
}

void TLumetraApplication::Guard(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& e) {
    ReportError(QString::fromUtf8(e.what()));
  } catch (...) {
    ReportError(QStringLiteral("Neznáma chyba"));
  }
}

bool TLumetraApplication::notify(QObject* receiver, QEvent* event) {
  bool handled = false;
  Guard([&] { handled = QApplication::notify(receiver, event); });
  return handled;
}

}  // namespace lumetra
