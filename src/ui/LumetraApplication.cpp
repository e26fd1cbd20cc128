// The general error report of the program.
#include "ui/LumetraApplication.h"

#include <QLibraryInfo>
#include <QMessageBox>
#include <exception>

namespace lumetra {

namespace {

std::function<void(const QString&)>& ErrorReport() {
  static std::function<void(const QString&)> report;
  return report;
}

// Qt's Slovak translation. Qt 6 looks the standard buttons' texts ("Cancel", "Save") up under
// QPlatformTheme, where the Slovak file has none yet; it still has them under QDialogButtonBox.
class QtSlovak : public QTranslator {
 public:
  QString translate(const char* context, const char* source, const char* disambiguation,
                    int n) const override {
    QString text = QTranslator::translate(context, source, disambiguation, n);
    if (text.isEmpty() && qstrcmp(context, "QPlatformTheme") == 0) {
      text = QTranslator::translate("QDialogButtonBox", source, disambiguation, n);
    }
    return text;
  }
};

}  // namespace

TLumetraApplication::TLumetraApplication(int& argc, char** argv)
    : QApplication(argc, argv), qtTranslation_(std::make_unique<QtSlovak>()) {
  // Without the translation (a machine without Qt's translations) the dialogs stay in English;
  // nothing else depends on it.
  if (qtTranslation_->load(QStringLiteral("qtbase_sk"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    installTranslator(qtTranslation_.get());
  }
}

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
