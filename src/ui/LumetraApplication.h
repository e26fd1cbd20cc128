// The application object: the general error report that every user action ends in when it fails.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QString>
#include <QTranslator>
#include <functional>
#include <initializer_list>
#include <memory>

namespace lumetra {

class TLumetraApplication : public QApplication {
 public:
  // Qt's own dialogs (files, printing, message boxes) speak Slovak, as the rest of the program.
  TLumetraApplication(int& argc, char** argv);

  // Shows a failure to the user in a Slovak dialog ("Chyba"). Tests replace the dialog with a
  // recorder through SetErrorReport.
  static void ReportError(const QString& message);
  static void SetErrorReport(std::function<void(const QString&)> report);

  // Runs one user action; whatever it throws is reported instead of ending the program.
  static void Guard(const std::function<void()>& action);

  // Last line of defence for exceptions that escape an event handler.
  bool notify(QObject* receiver, QEvent* event) override;

 private:
  std::unique_ptr<QTranslator> qtTranslation_;
};

// Connects a signal to a handler that runs under the general error report.
template <typename Sender, typename Signal, typename Receiver, typename Handler>
void ConnectGuarded(Sender* sender, Signal signal, Receiver* receiver, Handler handler) {
  QObject::connect(sender, signal, receiver, [handler](auto&&... args) {
    TLumetraApplication::Guard([&] { handler(args...); });
  });
}

// A button of `owner` and the handler its click runs.
template <typename Owner>
struct ClickHandler {
  QAbstractButton* button;
  void (Owner::*handler)();
};

// Connects each button's click to its handler of `owner`, under the general error report.
template <typename Owner>
void ConnectClicks(Owner* owner, std::initializer_list<ClickHandler<Owner>> clicks) {
  for (const ClickHandler<Owner>& c : clicks) {
    ConnectGuarded(c.button, &QAbstractButton::clicked, owner,
                   [owner, handler = c.handler](bool) { (owner->*handler)(); });
  }
}

}  // namespace lumetra
