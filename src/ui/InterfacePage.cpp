// The page "Rozhranie": its controls and which of them the chosen interface uses.
#include "ui/InterfacePage.h"

#include <QGridLayout>
#include <QGroupBox>

#include "buslink/ConfigPacket.h"
#include "ui/LumetraApplication.h"

namespace lumetra {

TInterfacePage::TInterfacePage(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("InterfacePage"));
  RadioGroupInterface =
      new TRadioGroup(QStringLiteral("RadioGroupInterface"), QStringLiteral("Rozhranie"),
                      {QStringLiteral("USB / DALI"), QStringLiteral("WiFi / DALI"),
                       QStringLiteral("Riadiaca jednotka")});
  ComboBoxPort = Named<QComboBox>("ComboBoxPort");
  ComboBoxPort->setEditable(true);
  for (int i = 1; i <= 10; ++i) ComboBoxPort->addItem(QStringLiteral("COM%1").arg(i));
  EditIPAddress = Named<QLineEdit>("EditIPAddress", QStringLiteral("192.168.0.150"));
  EditPort = Named<QLineEdit>("EditPort", QStringLiteral("50000"));
  MakeDigitsOnly(EditPort);

  LabelMessage = Named<QLabel>(
      "LabelMessage",
      QStringLiteral("Typ rozhrania je možné zmeniť len ak sú splnené nasledujúce podmienky:"));
  LabelMessage->setWordWrap(true);
  LabelDaliConnection =
      Named<QLabel>("LabelDaliConnection", QStringLiteral("Spojenie s DALI je zavreté"));
  ButtonCloseConnection =
      Named<QPushButton>("ButtonCloseConnection", QStringLiteral("Spojenie zavrieť"));
  LabelMonitorConnection =
      Named<QLabel>("LabelMonitorConnection", QStringLiteral("Monitor je zastavený"));
  ButtonStopMonitor = Named<QPushButton>("ButtonStopMonitor", QStringLiteral("Monitor stop"));
  ButtonCloseConnection->setEnabled(false);
  ButtonStopMonitor->setEnabled(false);

  auto* settings = new QGroupBox(this);
  auto* grid = new QGridLayout(settings);
  grid->addWidget(new QLabel(QStringLiteral("Port")), 0, 0);
  grid->addWidget(ComboBoxPort, 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("IP Adresa")), 1, 0);
  grid->addWidget(EditIPAddress, 1, 1);
  grid->addWidget(new QLabel(QStringLiteral("Port")), 2, 0);
  grid->addWidget(EditPort, 2, 1);

  auto* conditions = new QGridLayout;
  conditions->addWidget(LabelMessage, 0, 0, 1, 2);
  conditions->addWidget(LabelDaliConnection, 1, 0);
  conditions->addWidget(ButtonCloseConnection, 1, 1);
  conditions->addWidget(LabelMonitorConnection, 2, 0);
  conditions->addWidget(ButtonStopMonitor, 2, 1);

  auto* page = new QGridLayout(this);
  page->addWidget(RadioGroupInterface, 0, 0);
  page->addWidget(settings, 0, 1);
  page->addLayout(conditions, 1, 0, 1, 2);
  page->setRowStretch(2, 1);

  ConnectGuarded(RadioGroupInterface, &TRadioGroup::Clicked, this,
                 [this](int) { OnRadioGroupInterfaceClick(); });
}

void TInterfacePage::ChooseControlUnit(const std::string& address,
                                       const std::optional<std::string>& port) {
  RadioGroupInterface->SetItemIndex(kInterfaceControlUnit);
  EditIPAddress->setText(QString::fromStdString(address));
  EditPort->setText(QString::fromStdString(port.value_or("50000")));
}

void TInterfacePage::OnRadioGroupInterfaceClick() {
  const bool serial = RadioGroupInterface->ItemIndex() == kInterfaceUsb;
  ComboBoxPort->setEnabled(serial);
  EditIPAddress->setEnabled(!serial);
  EditPort->setEnabled(!serial);
}

void TInterfacePage::ShowGateOpen(bool open) {
  gateOpen_ = open;
  ShowCloseButtons();
}

void TInterfacePage::ShowMonitorRunning(bool running) {
  monitorRunning_ = running;
  ShowCloseButtons();
}

void TInterfacePage::LockConnections(bool locked) {
  locked_ = locked;
  ShowCloseButtons();
}

void TInterfacePage::ShowCloseButtons() {
  ButtonCloseConnection->setEnabled(gateOpen_ && !locked_);
  ButtonStopMonitor->setEnabled(monitorRunning_ && !locked_);
}

void TInterfacePage::LockChoice() {
  RadioGroupInterface->setEnabled(false);
  ComboBoxPort->setEnabled(false);
  EditIPAddress->setEnabled(false);
  EditPort->setEnabled(false);
}

void TInterfacePage::UnlockChoice() {
  RadioGroupInterface->setEnabled(true);
  OnRadioGroupInterfaceClick();
}

}  // namespace lumetra
