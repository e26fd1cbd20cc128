// The left-hand navigation frame: its pages, the three connections to the bus and their controls.
#pragma once

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QTabWidget>
#include <functional>
#include <optional>
#include <string>

#include "buslink/ConfigPacket.h"
#include "buslink/TcpClient.h"
#include "ui/Widgets.h"

class QAction;

namespace lumetra {

class TDaliCom;
class UiBridge;

// How "Otvoriť" starts the bus server. Tests point it at a server on free ports.
struct BusServerLaunch {
  QString program = QStringLiteral("LumetraDaliBusServer");
  QStringList arguments;
  uint16_t portBase = kBusServerPortBase;
  // How long a freshly started server may take before it listens.
  std::chrono::milliseconds patience{5000};
};

class TTabsFrame : public QFrame {
  Q_OBJECT
 public:
  // What the frame borrows from the main window.
  struct Shared {
    TDaliCom* daliCom = nullptr;
    UiBridge* bridge = nullptr;
    QAction* printItem = nullptr;
  };

  explicit TTabsFrame(QWidget* parent = nullptr);
  ~TTabsFrame() override;

  void Initialize(const Shared& shared, const std::optional<std::string>& controlUnitAddress,
                  const std::optional<std::string>& controlUnitPort);
  void Finalize();

  void SetBusServerLaunch(BusServerLaunch launch) { launch_ = std::move(launch); }
  const BusServerLaunch& BusServerLaunchSettings() const { return launch_; }
  // The process id of the last bus server this frame started, 0 when none.
  qint64 BusServerProcessId() const { return busServerPid_; }

  // Handlers of the page "Rozhranie" and of "Otvoriť"/"Zatvoriť".
  void OnRadioGroupInterfaceClick();
  void StartBusServer();
  void OnButtonOpenClick();
  void OnButtonCloseClick();
  void OnButtonStopMonitorClick();
  void OnDaliTCPClientConnected(TcpClient& sender);
  void OnDaliTCPClientDisconnected(TcpClient& sender);
  void OnInterfacePageShow();
  void OnAddressPageShow();

  // The three connections.
  TcpClient TCPClientConfig;
  TcpClient TCPClientGate;
  TcpClient TCPClientMonitor;

  QTabWidget* Pages;
  QWidget* InterfacePage;
  QWidget* AddressPage;
  QWidget* LightsPage;
  QWidget* ControllersPage;
  QWidget* DaliMonitorPage;

  // "Rozhranie"
  TRadioGroup* RadioGroupInterface;
  QComboBox* ComboBoxPort;
  QLineEdit* EditIPAddress;
  QLineEdit* EditPort;
  QLabel* LabelMessage;
  QLabel* LabelDaliConnection;
  QPushButton* ButtonCloseConnection;
  QLabel* LabelMonitorConnection;
  QPushButton* ButtonStopMonitor;

  // "Adresovanie"
  QPushButton* ButtonOpen;
  QPushButton* ButtonClose;

 private:
  void BuildInterfacePage();
  void BuildAddressPage();
  void OnPageChanged(int index);
  // Enables the controls that belong to an open or a closed gate, and to a running or stopped
  // monitor; later pages add their own controls to these two.
  void ShowGateOpen(bool open);
  void ShowMonitorRunning(bool running);
  void UnlockInterfaceChoice();
  void LaunchBusServer();
  void BindConnectionEvents(TcpClient& client);
  void OnUi(const std::function<void()>& call);
  std::string Text(const QLineEdit* edit) const { return edit->text().toStdString(); }

  Shared shared_;
  BusServerLaunch launch_;
  qint64 busServerPid_ = 0;
};

}  // namespace lumetra
