// The page "Rozhranie": which interface the bus is reached through, and what keeps the choice
// locked while a connection is open.
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>
#include <optional>
#include <string>

#include "ui/Widgets.h"

namespace lumetra {

// The page's controls by their designed names; the navigation frame offers the same names.
struct TInterfaceControls {
  TRadioGroup* RadioGroupInterface;
  QComboBox* ComboBoxPort;
  QLineEdit* EditIPAddress;
  QLineEdit* EditPort;
  QLabel* LabelMessage;
  QLabel* LabelDaliConnection;
  QPushButton* ButtonCloseConnection;
  QLabel* LabelMonitorConnection;
  QPushButton* ButtonStopMonitor;
};

// Lives on the user interface thread: every call and handler runs there. "Spojenie zavrieť" and
// "Monitor stop" act on connections the navigation frame owns; it connects them.
class TInterfacePage : public QWidget, public TInterfaceControls {
  Q_OBJECT
 public:
  explicit TInterfacePage(QWidget* parent = nullptr);

  // A control unit named on the command line is chosen before the user sees the page.
  void ChooseControlUnit(const std::string& address, const std::optional<std::string>& port);
  void OnRadioGroupInterfaceClick();
  // While the gate or the monitor is open the interface may not change under it.
  void LockChoice();
  void UnlockChoice();
  void ShowGateOpen(bool open);
  void ShowMonitorRunning(bool running);
  // While a job runs neither connection is closed from here, as "Zatvoriť" may not close the
  // gate then: either would cut the job off in the middle of an exchange.
  void LockConnections(bool locked);

  int InterfaceIndex() const { return RadioGroupInterface->ItemIndex(); }
  std::string SerialPort() const { return ComboBoxPort->currentText().toStdString(); }
  std::string IpText() const { return EditIPAddress->text().toStdString(); }
  std::string PortText() const { return EditPort->text().toStdString(); }

 private:
  void ShowCloseButtons();

  bool gateOpen_ = false;
  bool monitorRunning_ = false;
  bool locked_ = false;
};

}  // namespace lumetra
