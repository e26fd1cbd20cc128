// The left-hand navigation frame: its pages, the three connections to the bus and their controls.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QTabWidget>
#include <array>
#include <functional>
#include <optional>
#include <string>

#include "buslink/ConfigPacket.h"
#include "buslink/TcpClient.h"
#include "commissioning/GateThread.h"
#include "documents/ReportPages.h"
#include "monitor/MonitoringThread.h"
#include "ui/DeviceButton.h"
#include "ui/NavigatedView.h"
#include "ui/Widgets.h"

class QAction;
class QFileDialog;

namespace lumetra {

class BusSession;
class TAddressFrame;
class TBalastConfig;
class TConfig;
class TControllerConfig;
class TDaliCom;
class TMonitorFrame;
class UiBridge;

// How "Otvoriť" starts the bus server. Tests point it at a server on free ports.
struct BusServerLaunch {
  QString program = QStringLiteral("LumetraDaliBusServer");
  QStringList arguments;
  uint16_t portBase = kBusServerPortBase;
  // How long a freshly started server may take before it listens.
  std::chrono::milliseconds patience{5000};
};

class TTabsFrame : public QFrame, public TJobOwner {
  Q_OBJECT
 public:
  // What the frame borrows from the main window.
  struct Shared {
    TDaliCom* daliCom = nullptr;
    // The user-interface thread's bus session, for every request sent from a page or an editor.
    BusSession* session = nullptr;
    TBalastConfig* balastConfig = nullptr;
    TControllerConfig* controllerConfig = nullptr;
    UiBridge* bridge = nullptr;
    QAction* printItem = nullptr;
    // The main menu's document commands ("Otvoriť", "Uložiť ako"): a document must not be opened
    // or saved from the tables while a job writes them.
    std::vector<QAction*> documentItems;
    // The right-hand views; those not built yet are absent and simply not called.
    TNavigatedView* gearEditor = nullptr;
    TNavigatedView* deviceEditor = nullptr;
    TAddressFrame* progressView = nullptr;
    TNavigatedView* monitorView = nullptr;
    TNavigatedView* floorPlan = nullptr;
  };

  static constexpr int kDeviceCount = 64;
  static constexpr int kGroupCount = 16;
  static constexpr int kAllIndex = 16;  // the "Všetky" button among the group buttons

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

  // Commissioning from the page "Adresovanie".
  void OnButtonExecuteClick();
  void OnButtonCancelAddressingClick();
  void LockForAddressing();
  void AddressingFinished() override;
  // One device read on the calling thread; 0 or the failed exchange's result.
  int ReadBalastParameters(int quick, int a);
  int ReadControllerParameters(int a);
  TGateThread& GateThread() { return Gate; }

  // The device pages.
  void OnLightPageShow();
  void OnControllersPageShow();
  void OnBalastButtonClick(int i);
  void OnControlButtonClick(int i);
  void OnBalastButtonGroupClick(int i);
  void OnControlButtonGroupClick(int i);
  void OnBalastButtonRClick(int i);
  void OnControlButtonRClick(int i);
  void OnRadioGroupPercentArcClick();
  void OnRadioButtonParametersClick();
  void OnRadioButtonPositionsClick();
  void OnRadioButtonCtrlParametersClick();
  void OnRadioButtonCtrlPositionsClick();
  void ShowGearButtons();
  void ShowDeviceButtons();
  void ShowGearGroups() override;
  void ShowDeviceGroups() override;
  void ClickSelectedGear();
  void ClickSelectedDevice();
  void RefreshCurrentPage();
  // Printing: whether an editor's parameters are shown, and its report pages (none without one).
  bool ShowsParameters() const;
  int GetReportPages(ReportPages& pages);
  // The floor plan picture, when a device page shows "Rozmiestnenie".
  void DrawPlan(QImage& bitmap);

  // The device tiles: 64 devices and 17 group buttons per page.
  TDeviceButton& GearButton(int i) { return gear_.devices[static_cast<size_t>(i)]; }
  TDeviceButton& DeviceButton(int i) { return device_.devices[static_cast<size_t>(i)]; }
  TDeviceButton& GearGroupButton(int i) { return gear_.groups[static_cast<size_t>(i)]; }
  TDeviceButton& DeviceGroupButton(int i) { return device_.groups[static_cast<size_t>(i)]; }

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
  TRadioGroup* RadioGroupBalasts;
  TRadioGroup* RadioGroupControllers;
  QPushButton* ButtonExecute;
  QPushButton* ButtonCancelAddressing;
  TRadioGroup* RadioGroupPercentArc;
  QCheckBox* CheckBoxReadActualBalastData;
  QCheckBox* CheckBoxReadActualControllerData;

  // "Svietidlá" and "Ovládače"
  QRadioButton* RadioButtonParameters;
  QRadioButton* RadioButtonPositions;
  QRadioButton* RadioButtonCtrlParameters;
  QRadioButton* RadioButtonCtrlPositions;

  // "DALI Monitor"
  QPushButton* ButtonMonitorStart;
  QPushButton* ButtonMonitorStop;
  QPushButton* ButtonMonitorClear;
  QPushButton* ButtonMonitorSave;
  QPushButton* ButtonMonitorOpen;
  QFileDialog* SaveMonitorDialog;
  QFileDialog* OpenMonitorDialog;
  QCheckBox* CheckBoxBalastFilter;
  TRadioGroup* RadioGroupBalast;
  std::array<QCheckBox*, kDeviceCount> CheckBoxA;  // CheckBoxA00..CheckBoxA63
  QCheckBox* CheckBoxBalastCheckAll;
  std::array<QCheckBox*, kGroupCount> CheckBoxG;  // CheckBoxG00..CheckBoxG15
  QCheckBox* CheckBoxBalastGroupCheckAll;
  QCheckBox* CheckBoxBalastAll;
  QCheckBox* CheckBoxControllerFilter;
  TRadioGroup* RadioGroupController;
  std::array<QCheckBox*, kDeviceCount> CheckBoxC;  // CheckBoxC00..CheckBoxC63
  QCheckBox* CheckBoxControllerCheckAll;
  std::array<QCheckBox*, kGroupCount> CheckBoxGC;  // CheckBoxGC00..CheckBoxGC15
  QCheckBox* CheckBoxControllerGroupCheckAll;
  QCheckBox* CheckBoxControllerAll;

  void OnMonitorPageShow();
  void OnButtonMonitorStartClick();
  void OnButtonMonitorStopClick();
  void OnButtonMonitorClearClick();
  // Both ask for a file name; errors reach the general error report.
  void OnButtonMonitorSaveClick();
  void OnButtonMonitorOpenClick();
  void OnCheckBoxBalastFilterClick();
  void OnCheckBoxControllerFilterClick();
  void OnRadioGroupBalastClick();
  void OnRadioGroupControllerClick();
  void OnCheckBoxBalastClick(int nn);
  void OnCheckBoxControllerClick(int nn);
  void OnCheckBoxBalastGroupClick(int nn);
  void OnCheckBoxControllerGroupClick(int nn);
  void OnCheckBoxBalastCheckAllClick();
  void OnCheckBoxBalastGroupCheckAllClick();
  void OnCheckBoxControllerCheckAllClick();
  void OnCheckBoxControllerGroupCheckAllClick();
  void OnCheckBoxBalastAllClick();
  void OnCheckBoxControllerAllClick();
  TMonitorFrame* MonitorView() const { return monitor_; }
  TMonitoringThread* MonitoringThread() const { return monitorThread_.get(); }

 private:
  void BuildMonitorPage();
  void CreateMonitorReader();
  // Ends the reader, serving its hand-overs meanwhile.
  void StopMonitorReader();
  void MonitorConnected();
  void EditFilter(const std::function<void(MonitorFilter&)>& change);
  template <size_t N>
  void CheckAll(std::array<QCheckBox*, N>& boxes, const QCheckBox* master,
                void (TTabsFrame::*click)(int));
  void EnableFilterControls(const std::vector<QWidget*>& controls,
                            std::array<QCheckBox*, kDeviceCount>& addresses,
                            std::array<QCheckBox*, kGroupCount>& groups, bool enabled);
  // What each "Filtrovať" box enables besides the address and group boxes.
  std::vector<QWidget*> BalastFilterControls;
  std::vector<QWidget*> ControllerFilterControls;
  TMonitorFrame* monitor_ = nullptr;
  std::unique_ptr<TMonitoringThread> monitorThread_;
  // End of "DALI Monitor"

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // One device page: its table, tiles and views. Both pages share one implementation.
  struct Grid {
    int kind = kGearKind;
    QWidget* page = nullptr;
    TConfig* table = nullptr;
    std::array<TDeviceButton, kDeviceCount> devices;
    std::array<TDeviceButton, kGroupCount + 1> groups;
    QCheckBox* autoRead = nullptr;
    QRadioButton* parameters = nullptr;
    QRadioButton* positions = nullptr;
    TNavigatedView* editor = nullptr;
  };

  void BuildGridPage(Grid& grid, QRadioButton*& parameters, QRadioButton*& positions);
  void ShowButtons(Grid& grid);
  void ShowGroups(Grid& grid);
  void DeviceClick(Grid& grid, int i);
  void GroupClick(Grid& grid, int i);
  void DeviceRClick(Grid& grid, int i);
  void PageShow(Grid& grid);
  void ShowEditor(Grid& grid);
  void ShowPlan(Grid& grid);
  void HideViews(std::initializer_list<TNavigatedView*> views);
  static void ShowView(TNavigatedView* view);
  bool IsPageVisible(const QWidget* page) const { return Pages->currentWidget() == page; }

  void BuildInterfacePage();
  void BuildAddressPage();
  void OnPageChanged(int index);
  // Enables the controls that belong to an open or a closed gate, and to a running or stopped
  // monitor; later pages add their own controls to these two.
  void ShowGateOpen(bool open);
  void ShowMonitorRunning(bool running);
  void UnlockInterfaceChoice();
  void LaunchBusServer();
  // Connects one channel of the chosen interface: the control unit's at once, a bus server's with
  // the patience of a server that may still be opening its ports.
  void ConnectChannel(TcpClient& client, int interfaceIndex, int channel);
  void BindConnectionEvents(TcpClient& client);
  void StopWorker();
  void SetDevicePagesEnabled(bool enabled);
  // True from "Vykonať" until the worker reports the end of the job.
  bool jobRunning_ = false;
  // The document commands' enabled states from before the job, put back after it.
  std::vector<bool> documentItemsEnabled_;
  void OnUi(const std::function<void()>& call);
  std::string Text(const QLineEdit* edit) const { return edit->text().toStdString(); }

  Shared shared_;
  TGateThread Gate;
  Grid gear_;
  Grid device_;
  BusServerLaunch launch_;
  qint64 busServerPid_ = 0;
};

}  // namespace lumetra
