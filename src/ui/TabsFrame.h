// The left-hand navigation frame: its five pages, the three connections to the bus, the
// commissioning worker and which right-hand view is shown.
#pragma once

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QTabWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "buslink/BusServerLink.h"
#include "buslink/TcpClient.h"
#include "commissioning/GateThread.h"
#include "documents/ReportPages.h"
#include "documents/Settings.h"
#include "ui/AddressPage.h"
#include "ui/DevicePage.h"
#include "ui/InterfacePage.h"
#include "ui/MonitorPage.h"
#include "ui/NavigatedView.h"
#include "ui/Widgets.h"

class QAction;
class QFileDialog;
class QStatusBar;

namespace lumetra {

class BusSession;
class TAddressFrame;
class TBalastConfig;
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

// Threads: the frame, its pages and every handler live on the user interface thread. The worker
// (TGateThread) calls AddressingFinished, ShowGearGroups and ShowDeviceGroups through the
// hand-over, so they run there too. The connections' events are raised on whichever thread
// connects or notices the end (a worker inside a gate exchange, the monitor's reader);
// BindConnectionEvents brings OnDaliTCPClientConnected and OnDaliTCPClientDisconnected onto the
// user interface thread. The editors call back through TNavigation on that thread.
class TTabsFrame : public QFrame,
                   public TJobOwner,
                   public TNavigation,
                   public TInterfaceControls,
                   public TAddressControls,
                   public TMonitorControls {
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
    // The main window's status line: what became of the gate, and refusals of the page's buttons.
    QStatusBar* statusLine = nullptr;
    // Its lasting part on the right: whether the gate is open.
    QLabel* gateState = nullptr;
    // The main menu's document commands ("Otvoriť", "Uložiť ako"): a document must not be opened
    // or saved from the tables while a job writes them.
    std::vector<QAction*> documentItems;
    // The right-hand views; those not built yet are absent and simply not called.
    TNavigatedView* gearEditor = nullptr;
    TNavigatedView* deviceEditor = nullptr;
    // Where a device read on demand shows its byte counter: the control device editor.
    TReadProgressView* readProgressView = nullptr;
    TAddressFrame* progressView = nullptr;
    TMonitorFrame* monitorView = nullptr;
    TNavigatedView* floorPlan = nullptr;
    // Where the settings file lives (empty: no settings are read or written), and the program's
    // version it is stamped with.
    std::string settingsPath;
    std::string version;
  };

  static constexpr int kDeviceCount = TDevicePage::kDeviceCount;
  static constexpr int kGroupCount = TDevicePage::kGroupCount;
  static constexpr int kAllIndex = TDevicePage::kAllIndex;

  explicit TTabsFrame(QWidget* parent = nullptr);
  ~TTabsFrame() override;

  // The values of the controls the settings file mirrors, and their setting.
  Settings CurrentSettings() const;
  void ApplySettings(const Settings& settings);

  void Initialize(const Shared& shared, const std::optional<std::string>& controlUnitAddress,
                  const std::optional<std::string>& controlUnitPort);
  // Cancels a running job and waits for the worker, closes the configuration channel and ends
  // the bus servers this frame started: whatever holds a gateway's port lets go of it.
  void Finalize();

  void SetBusServerLaunch(BusServerLaunch launch);
  const BusServerLaunch& BusServerLaunchSettings() const { return launch_; }
  // The process id of the last bus server this frame started, 0 when none.
  qint64 BusServerProcessId() const { return link_.ServerProcessId(); }

  // Handlers of the page "Rozhranie" and of "Otvoriť"/"Zatvoriť".
  void OnRadioGroupInterfaceClick() { InterfacePage->OnRadioGroupInterfaceClick(); }
  void StartBusServer();
  void OnButtonOpenClick();
  void OnButtonCloseClick();
  void OnButtonStopMonitorClick();
  void OnDaliTCPClientConnected(TcpClient& sender);
  void OnDaliTCPClientDisconnected(TcpClient& sender);
  void OnInterfacePageShow();
  void OnAddressPageShow();

  // Commissioning from the page "Adresovanie".
  void OnButtonExecuteClick() { AddressPage->OnButtonExecuteClick(); }
  void OnButtonCancelAddressingClick() { AddressPage->OnButtonCancelAddressingClick(); }
  void LockForAddressing() { AddressPage->LockForAddressing(); }
  void AddressingFinished() override;
  // An addressing job, or an editor's sequence on the worker.
  bool JobRunning() const { return AddressPage->JobRunning() || taskRunning_; }
  void OnRadioGroupPercentArcClick() { AddressPage->OnRadioGroupPercentArcClick(); }
  // TNavigation: one control gear read on the calling thread; 0 or the failed exchange's result.
  int ReadBalastParameters(int quick, int a) override;
  // TNavigation: an editor's sequence on the worker, and a control device read there.
  bool RunOnWorker(std::function<SequenceResult(BusSession&)> sequence,
                   std::function<void(int exchanges)> progress,
                   std::function<void(const SequenceResult&)> done) override;
  bool ReadControllerParameters(int a, std::function<void(const SequenceResult&)> done) override;
  // From RunOnWorker until its `done` has run.
  bool TaskRunning() const { return taskRunning_; }
  // Stops the sequence before its next exchange; its `done` still comes (kSequenceCancelled).
  void CancelTask();
  TGateThread& GateThread() { return Gate; }

  // The device pages.
  void OnLightPageShow();
  void OnControllersPageShow();
  void OnBalastButtonClick(int i) { LightsPage->OnButtonClick(i); }
  void OnControlButtonClick(int i) { ControllersPage->OnButtonClick(i); }
  void OnBalastButtonGroupClick(int i) { LightsPage->OnGroupButtonClick(i); }
  void OnControlButtonGroupClick(int i) { ControllersPage->OnGroupButtonClick(i); }
  void OnBalastButtonRClick(int i) { LightsPage->OnButtonRClick(i); }
  void OnControlButtonRClick(int i) { ControllersPage->OnButtonRClick(i); }
  void OnRadioButtonParametersClick() { LightsPage->OnRadioButtonParametersClick(); }
  void OnRadioButtonPositionsClick() { LightsPage->OnRadioButtonPositionsClick(); }
  void OnRadioButtonCtrlParametersClick() { ControllersPage->OnRadioButtonParametersClick(); }
  void OnRadioButtonCtrlPositionsClick() { ControllersPage->OnRadioButtonPositionsClick(); }
  void ShowGearButtons() override { LightsPage->ShowButtons(); }
  void ShowDeviceButtons() override { ControllersPage->ShowButtons(); }
  void ChooseGear(int i) override { LightsPage->OnButtonClick(i); }
  void ChooseDevice(int i) override { ControllersPage->OnButtonClick(i); }
  void ShowGearGroups() override { LightsPage->ShowGroups(); }
  void ShowDeviceGroups() override { ControllersPage->ShowGroups(); }
  void ClickSelectedGear() { LightsPage->ClickSelected(); }
  void ClickSelectedDevice() { ControllersPage->ClickSelected(); }
  void RefreshCurrentPage();
  // Printing: whether an editor's parameters are shown, and its report pages (none without one).
  bool ShowsParameters() const;
  int GetReportPages(ReportPages& pages);
  // The floor plan picture, when a device page shows "Rozmiestnenie".
  void DrawPlan(QImage& bitmap);

  // The device tiles: 64 devices and 17 group buttons per page.
  TDeviceButton& GearButton(int i) { return LightsPage->Button(i); }
  TDeviceButton& DeviceButton(int i) { return ControllersPage->Button(i); }
  TDeviceButton& GearGroupButton(int i) { return LightsPage->GroupButton(i); }
  TDeviceButton& DeviceGroupButton(int i) { return ControllersPage->GroupButton(i); }

  // "DALI Monitor"
  void OnMonitorPageShow();
  void OnButtonMonitorStartClick();
  void OnButtonMonitorStopClick() { DaliMonitorPage->OnButtonMonitorStopClick(); }
  void OnButtonMonitorClearClick() { DaliMonitorPage->OnButtonMonitorClearClick(); }
  void OnButtonMonitorSaveClick() { DaliMonitorPage->OnButtonMonitorSaveClick(); }
  void OnButtonMonitorOpenClick() { DaliMonitorPage->OnButtonMonitorOpenClick(); }
  // The address filter: one column class serves both populations.
  void OnCheckBoxBalastFilterClick() { GearFilter().OnFilterClick(); }
  void OnCheckBoxControllerFilterClick() { DeviceFilter().OnFilterClick(); }
  void OnRadioGroupBalastClick() { GearFilter().OnShownClick(); }
  void OnRadioGroupControllerClick() { DeviceFilter().OnShownClick(); }
  void OnCheckBoxBalastClick(int nn) { GearFilter().OnAddressClick(nn); }
  void OnCheckBoxControllerClick(int nn) { DeviceFilter().OnAddressClick(nn); }
  void OnCheckBoxBalastGroupClick(int nn) { GearFilter().OnGroupClick(nn); }
  void OnCheckBoxControllerGroupClick(int nn) { DeviceFilter().OnGroupClick(nn); }
  void OnCheckBoxBalastCheckAllClick() { GearFilter().OnCheckAllClick(); }
  void OnCheckBoxBalastGroupCheckAllClick() { GearFilter().OnGroupCheckAllClick(); }
  void OnCheckBoxControllerCheckAllClick() { DeviceFilter().OnCheckAllClick(); }
  void OnCheckBoxControllerGroupCheckAllClick() { DeviceFilter().OnGroupCheckAllClick(); }
  void OnCheckBoxBalastAllClick() { GearFilter().OnAllClick(); }
  void OnCheckBoxControllerAllClick() { DeviceFilter().OnAllClick(); }
  TMonitorFilterColumn& GearFilter() { return DaliMonitorPage->GearFilter; }
  TMonitorFilterColumn& DeviceFilter() { return DaliMonitorPage->DeviceFilter; }
  TMonitorFrame* MonitorView() const { return DaliMonitorPage->MonitorView(); }
  TMonitoringThread* MonitoringThread() const { return DaliMonitorPage->MonitoringThread(); }

 signals:
  // The worker has reported the end of a job (normal, cancelled or stopped by a failure).
  void JobEnded();

 public:
  // The three connections.
  TcpClient TCPClientConfig;
  TcpClient TCPClientGate;
  TcpClient TCPClientMonitor;

  QTabWidget* Pages;
  TInterfacePage* InterfacePage;
  TAddressPage* AddressPage;
  TDevicePage* LightsPage;
  TDevicePage* ControllersPage;
  TMonitorPage* DaliMonitorPage;

  // The pages' controls by the names the rest of the program and its tests know them by, set once
  // when the pages are built: those of "Rozhranie", "Adresovanie" and the monitor's buttons come
  // with the control structures above, the device pages' and the filter columns' are here.
  // "Svietidlá" and "Ovládače"
  QRadioButton* RadioButtonParameters;
  QRadioButton* RadioButtonPositions;
  QRadioButton* RadioButtonCtrlParameters;
  QRadioButton* RadioButtonCtrlPositions;
  // The monitor's filter columns: A, G for control gear, C, GC for control devices.
  QCheckBox *CheckBoxBalastFilter, *CheckBoxControllerFilter;
  TRadioGroup *RadioGroupBalast, *RadioGroupController;
  std::array<QCheckBox*, kDeviceCount> CheckBoxA, CheckBoxC;  // CheckBoxA00..A63, C00..C63
  QCheckBox *CheckBoxBalastCheckAll, *CheckBoxControllerCheckAll;
  std::array<QCheckBox*, kGroupCount> CheckBoxG, CheckBoxGC;  // CheckBoxG00..G15, GC00..GC15
  QCheckBox *CheckBoxBalastGroupCheckAll, *CheckBoxControllerGroupCheckAll;
  QCheckBox *CheckBoxBalastAll, *CheckBoxControllerAll;

 private:
  void BuildPages();
  void NameControls();
  void BindPages();
  void OnPageChanged(int index);
  // Starts the bus server if the interface needs one, then connects one channel of it.
  void OpenChannel(TcpClient& client, uint16_t channel);
  // Enables the controls that belong to an open or a closed gate, and to a running or stopped
  // monitor, on every page that has some.
  void ShowGateOpen(bool open);
  void ShowMonitorRunning(bool running);
  void BindConnectionEvents(TcpClient& client);
  void StopWorker();
  void SetDevicePagesEnabled(bool enabled);
  // What a sequence on the worker locks, and its unlocking once the result is in.
  void LockForTask();
  void UnlockAfterTask();
  void ShowStatus(const QString& text);
  // The gate's state in the status line; a failure shown there before is over.
  void ShowGateState(const QString& text);
  bool IsPageVisible(const QWidget* page) const { return Pages->currentWidget() == page; }
  void OnUi(const std::function<void()>& call);

  Shared shared_;
  TGateThread Gate;
  bool taskRunning_ = false;
  struct TaskLock {
    std::vector<std::unique_ptr<TControlsLock>> controls;
    std::vector<QPointer<QWidget>> widgets;
    std::vector<QPointer<QAction>> items;
  } taskLock_;
  BusServerLaunch launch_;
  BusServerLink link_{TCPClientConfig};
};

}  // namespace lumetra
