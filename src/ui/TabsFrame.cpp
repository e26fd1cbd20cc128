// The navigation frame: its pages, the connections to the bus server or a control unit, the
// worker's life and which right-hand view each page shows.
#include "ui/TabsFrame.h"

#include <QAction>
#include <QCoreApplication>
#include <QStatusBar>
#include <QTabBar>
#include <QThread>
#include <QVBoxLayout>
#include <thread>

#include "buslink/DaliCom.h"
#include "commissioning/AddressFrame.h"
#include "model/BalastConfig.h"
#include "model/ControllerConfig.h"
#include "model/UiBridge.h"
#include "monitor/MonitorFrame.h"
#include "ui/LumetraApplication.h"

namespace lumetra {

TTabsFrame::TTabsFrame(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("TabsFrame"));
  Pages = Named<QTabWidget>("Pages", this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(Pages);
  BuildPages();
  NameControls();
  link_.SetProgramFolder(QCoreApplication::applicationDirPath().toStdString());
  SetBusServerLaunch(launch_);
  BindConnectionEvents(TCPClientGate);
  BindConnectionEvents(TCPClientMonitor);
  connect(Pages, &QTabWidget::currentChanged, this, &TTabsFrame::OnPageChanged);
}

TTabsFrame::~TTabsFrame() {
  StopWorker();
  // The window's controls are about to go: close the connections without their events.
  for (TcpClient* client : {&TCPClientGate, &TCPClientMonitor, &TCPClientConfig}) {
    client->OnConnected = nullptr;
    client->OnDisconnected = nullptr;
    client->Disconnect();
  }
  if (shared_.daliCom != nullptr) shared_.daliCom->SetClient(nullptr);
  // The pages outlive the connections (they go with the widget base): the reader must not.
  DaliMonitorPage->ReleaseReader();
}

void TTabsFrame::BuildPages() {
  InterfacePage = new TInterfacePage;
  AddressPage = new TAddressPage;
  LightsPage = new TDevicePage(kGearKind, AddressPage->CheckBoxReadActualBalastData);
  ControllersPage = new TDevicePage(kDeviceKind, AddressPage->CheckBoxReadActualControllerData);
  DaliMonitorPage = new TMonitorPage;
  Pages->addTab(InterfacePage, QStringLiteral("Rozhranie"));
  Pages->addTab(AddressPage, QStringLiteral("Adresovanie"));
  Pages->addTab(LightsPage, QStringLiteral("Svietidlá"));
  Pages->addTab(ControllersPage, QStringLiteral("Ovládače"));
  Pages->addTab(DaliMonitorPage, QStringLiteral("DALI Monitor"));

  // The buttons that act on the frame's connections.
  ConnectGuarded(InterfacePage->ButtonCloseConnection, &QPushButton::clicked, this,
                 [this](bool) { OnButtonCloseClick(); });
  ConnectGuarded(InterfacePage->ButtonStopMonitor, &QPushButton::clicked, this,
                 [this](bool) { OnButtonStopMonitorClick(); });
  ConnectGuarded(AddressPage->ButtonOpen, &QPushButton::clicked, this,
                 [this](bool) { OnButtonOpenClick(); });
  ConnectGuarded(AddressPage->ButtonClose, &QPushButton::clicked, this,
                 [this](bool) { OnButtonCloseClick(); });
  ConnectGuarded(DaliMonitorPage->ButtonMonitorStart, &QPushButton::clicked, this,
                 [this](bool) { OnButtonMonitorStartClick(); });
}

void TTabsFrame::NameControls() {
  static_cast<TInterfaceControls&>(*this) = *InterfacePage;
  static_cast<TAddressControls&>(*this) = *AddressPage;
  static_cast<TMonitorControls&>(*this) = *DaliMonitorPage;
  RadioButtonParameters = LightsPage->RadioButtonParameters;
  RadioButtonPositions = LightsPage->RadioButtonPositions;
  RadioButtonCtrlParameters = ControllersPage->RadioButtonParameters;
  RadioButtonCtrlPositions = ControllersPage->RadioButtonPositions;

  const TMonitorPage& m = *DaliMonitorPage;
  // Each column's boxes under the names of its population.
  struct Column {
    const TMonitorFilterColumn& from;
    QCheckBox*& filter;
    TRadioGroup*& shown;
    std::array<QCheckBox*, kDeviceCount>& addresses;
    QCheckBox*& checkAll;
    std::array<QCheckBox*, kGroupCount>& groups;
    QCheckBox*& groupCheckAll;
    QCheckBox*& all;
  };
  for (const Column& c :
       {Column{m.GearFilter, CheckBoxBalastFilter, RadioGroupBalast, CheckBoxA,
               CheckBoxBalastCheckAll, CheckBoxG, CheckBoxBalastGroupCheckAll, CheckBoxBalastAll},
        Column{m.DeviceFilter, CheckBoxControllerFilter, RadioGroupController, CheckBoxC,
               CheckBoxControllerCheckAll, CheckBoxGC, CheckBoxControllerGroupCheckAll,
               CheckBoxControllerAll}}) {
    c.filter = c.from.Filter;
    c.shown = c.from.Shown;
    c.addresses = c.from.Addresses;
    c.checkAll = c.from.CheckAll;
    c.groups = c.from.Groups;
    c.groupCheckAll = c.from.GroupCheckAll;
    c.all = c.from.All;
  }
}

void TTabsFrame::BindConnectionEvents(TcpClient& client) {
  // A connection may end on a worker thread (a failed exchange or read); its controls are the user
  // interface's, so the handlers always run there.
  client.OnConnected = [this](TcpClient& c) { OnUi([this, &c] { OnDaliTCPClientConnected(c); }); };
  // The end of a connection is often noticed by a worker inside a gate exchange, holding the
  // exchange lock, while the user interface may be waiting for that very lock; waiting for the
  // user interface there would deadlock both. So the handler is posted, and skipped when the
  // connection is up again by the time it runs.
  client.OnDisconnected = [this](TcpClient& c) {
    if (QThread::currentThread() == thread()) {
      OnDaliTCPClientDisconnected(c);
      return;
    }
    QMetaObject::invokeMethod(
        this,
        [this, &c] {
          if (!c.Connected()) OnDaliTCPClientDisconnected(c);
        },
        Qt::QueuedConnection);
  };
}

void TTabsFrame::OnUi(const std::function<void()>& call) {
  if (shared_.bridge != nullptr) {
    shared_.bridge->RunOnUi(call);
  } else {
    call();
  }
}

void TTabsFrame::Initialize(const Shared& shared,
                            const std::optional<std::string>& controlUnitAddress,
                            const std::optional<std::string>& controlUnitPort) {
  shared_ = shared;
  // The worker idles from the start; it meets the views and tables before its first job.
  if (shared.progressView) shared.progressView->Bind(shared.balastConfig, shared.controllerConfig);
  Gate.SetConfigs(shared.balastConfig, shared.controllerConfig);
  Gate.SetViews(shared.readProgressView, shared.progressView);
  Gate.SetDaliCom(shared.daliCom);
  Gate.SetTabsFrame(this);
  Gate.SetBridge(shared.bridge);
  Gate.Start();
  BindPages();
  // The remembered choices first; a control unit named on the command line overrides them.
  if (!shared.settingsPath.empty()) ApplySettings(LoadSettings(shared.settingsPath));
  if (controlUnitAddress) InterfacePage->ChooseControlUnit(*controlUnitAddress, controlUnitPort);
  OnRadioGroupInterfaceClick();
  AddressPage->ShowIdle();
  OnRadioGroupPercentArcClick();
  if (IsPageVisible(InterfacePage)) OnInterfacePageShow();
}

void TTabsFrame::BindPages() {
  const Shared& s = shared_;
  // The monitor reader waits, suspended, for the first "Štart".
  DaliMonitorPage->Bind({.client = &TCPClientMonitor,
                         .bridge = s.bridge,
                         .monitor = s.monitorView,
                         .printItem = s.printItem,
                         .otherViews = {s.gearEditor, s.deviceEditor, s.progressView,
                                        s.floorPlan}});
  auto devicePage = [&](TConfig* table, TNavigatedView* editor, TNavigatedView* otherEditor) {
    return TDevicePage::Links{.table = table,
                              .session = s.session,
                              .gate = &Gate,
                              .navigation = this,
                              .pages = Pages,
                              .printItem = s.printItem,
                              .editor = editor,
                              .floorPlan = s.floorPlan,
                              .otherViews = {otherEditor, s.progressView, s.monitorView}};
  };
  LightsPage->Bind(devicePage(s.balastConfig, s.gearEditor, s.deviceEditor));
  ControllersPage->Bind(devicePage(s.controllerConfig, s.deviceEditor, s.gearEditor));
  for (TDevicePage* page : {LightsPage, ControllersPage}) page->DeselectGroups();
  AddressPage->Bind({.gate = &Gate,
                     .gateClient = &TCPClientGate,
                     .balastConfig = s.balastConfig,
                     .controllerConfig = s.controllerConfig,
                     .progressView = s.progressView,
                     .editors = {s.gearEditor, s.deviceEditor},
                     .documentItems = s.documentItems,
                     .setDevicePagesEnabled = [this](bool on) { SetDevicePagesEnabled(on); },
                     .lockConnections = [this](bool on) { InterfacePage->LockConnections(on); },
                     .showStatus = [this](const QString& text) { ShowStatus(text); }});
}

Settings TTabsFrame::CurrentSettings() const {
  Settings s;
  s.Interface = RadioGroupInterface->ItemIndex();
  s.Port = PortItemIndex(ComboBoxPort->currentText().toStdString());
  s.IpAddress = EditIPAddress->text().toStdString();
  s.IpPort = EditPort->text().toStdString();
  s.PercentArc = RadioGroupPercentArc->ItemIndex();
  s.AutoRefreshBalast = CheckBoxReadActualBalastData->isChecked();
  s.AutoRefreshCtrl = CheckBoxReadActualControllerData->isChecked();
  return s;
}

void TTabsFrame::ApplySettings(const Settings& s) {
  RadioGroupInterface->SetItemIndex(s.Interface);
  // -1, a name once typed that is not in the list, comes back as no selection.
  ComboBoxPort->setCurrentIndex(s.Port);
  if (s.Port < 0) ComboBoxPort->setEditText(QString());
  EditIPAddress->setText(QString::fromStdString(s.IpAddress));
  EditPort->setText(QString::fromStdString(s.IpPort));
  RadioGroupPercentArc->SetItemIndex(s.PercentArc);
  CheckBoxReadActualBalastData->setChecked(s.AutoRefreshBalast);
  CheckBoxReadActualControllerData->setChecked(s.AutoRefreshCtrl);
}

void TTabsFrame::Finalize() {
  // A settings file that cannot be written is reported; the rest of the shut-down goes on.
  if (!shared_.settingsPath.empty()) {
    TLumetraApplication::Guard(
        [this] { SaveSettings(shared_.settingsPath, CurrentSettings(), shared_.version); });
  }
  StopWorker();
  DaliMonitorPage->StopReader();
  if (TCPClientConfig.Connected()) TCPClientConfig.Disconnect();
  link_.StopStartedServers();
}

void TTabsFrame::StopWorker() {
  // A running job is cancelled: it stops between two exchanges, so the wait is at most one reply
  // time-out. Its hand-overs still need this thread meanwhile.
  if (!Gate.CancelTask() && !Gate.Idle()) Gate.SetJob(kJobCancel);
  Gate.Terminate();
  while (!Gate.Finished() && Gate.Started()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  Gate.WaitFor();
}

void TTabsFrame::SetBusServerLaunch(BusServerLaunch launch) {
  launch_ = std::move(launch);
  BusServerProgram program;
  program.program = launch_.program.toStdString();
  for (const QString& argument : launch_.arguments) {
    program.arguments.push_back(argument.toStdString());
  }
  program.portBase = launch_.portBase;
  program.patience = launch_.patience;
  link_.SetProgram(std::move(program));
}

void TTabsFrame::StartBusServer() {
  const TInterfacePage& page = *InterfacePage;
  link_.Configure(page.InterfaceIndex(), page.SerialPort(), page.IpText(), page.PortText());
}

void TTabsFrame::OpenChannel(TcpClient& client, uint16_t channel) {
  const int interfaceIndex = InterfacePage->InterfaceIndex();
  StartBusServer();
  link_.ConnectChannel(client, interfaceIndex, InterfacePage->IpText(), InterfacePage->PortText(),
                       channel);
}

void TTabsFrame::OnButtonOpenClick() { OpenChannel(TCPClientGate, kGateChannel); }

// The rest happens in OnDaliTCPClientConnected.
void TTabsFrame::OnButtonMonitorStartClick() { OpenChannel(TCPClientMonitor, kMonitorChannel); }

void TTabsFrame::OnButtonCloseClick() {
  TCPClientGate.Disconnect();
  ShowGateState(QStringLiteral("Spojenie s DALI zatvorené"));
}

void TTabsFrame::ShowGateState(const QString& text) {
  if (shared_.gateState) shared_.gateState->setText(text);
  if (shared_.statusLine) shared_.statusLine->clearMessage();
}

void TTabsFrame::ShowStatus(const QString& text) {
  if (shared_.statusLine) shared_.statusLine->showMessage(text);
}

void TTabsFrame::AddressingFinished() {
  AddressPage->AddressingFinished();
  // A job that went through shows that the line works again: an earlier failure is over.
  if (AddressPage->AbortReason().empty() && shared_.statusLine) {
    const QString shown = shared_.statusLine->currentMessage();
    for (int result :
         {kExchangeNoReply, kExchangeLost, kExchangeNotConnected, kSequenceCancelled}) {
      if (shown == QString::fromUtf8(ExchangeResultText(result)))
        shared_.statusLine->clearMessage();
    }
    for (ReplyFault fault : {ReplyFault::kChecksum, ReplyFault::kEcho}) {
      if (shown == QString::fromUtf8(ReplyFaultText(fault))) shared_.statusLine->clearMessage();
    }
  }
  emit JobEnded();
}

void TTabsFrame::OnButtonStopMonitorClick() { OnButtonMonitorStopClick(); }

void TTabsFrame::ShowGateOpen(bool open) {
  AddressPage->ShowGateOpen(open);
  InterfacePage->ShowGateOpen(open);
}

void TTabsFrame::ShowMonitorRunning(bool running) {
  InterfacePage->ShowMonitorRunning(running);
  DaliMonitorPage->ShowMonitorRunning(running);
}

void TTabsFrame::OnDaliTCPClientConnected(TcpClient& sender) {
  InterfacePage->LockChoice();
  if (&sender == &TCPClientGate) {
    shared_.daliCom->SetStrictReplies(InterfacePage->InterfaceIndex() != kInterfaceControlUnit);
    shared_.daliCom->SetClient(&TCPClientGate);
    ShowGateOpen(true);
    ShowGateState(QStringLiteral("Spojenie s DALI otvorené"));
  } else if (&sender == &TCPClientMonitor) {
    ShowMonitorRunning(true);
    DaliMonitorPage->MonitorConnected();
  }
}

void TTabsFrame::OnDaliTCPClientDisconnected(TcpClient& sender) {
  sender.DiscardInput();
  if (&sender == &TCPClientGate) {
    shared_.daliCom->SetClient(nullptr);
    if (!TCPClientMonitor.Connected()) InterfacePage->UnlockChoice();
    ShowGateOpen(false);
    // A lost gate keeps the failure's message; only the lasting state changes.
    if (shared_.gateState) shared_.gateState->setText(QStringLiteral("Spojenie s DALI zatvorené"));
  } else if (&sender == &TCPClientMonitor) {
    if (!TCPClientGate.Connected()) InterfacePage->UnlockChoice();
    ShowMonitorRunning(false);
  }
}

void TTabsFrame::OnPageChanged(int index) {
  QWidget* page = Pages->widget(index);
  if (page == InterfacePage) OnInterfacePageShow();
  if (page == AddressPage) OnAddressPageShow();
  if (page == LightsPage) OnLightPageShow();
  if (page == ControllersPage) OnControllersPageShow();
  if (page == DaliMonitorPage) OnMonitorPageShow();
}

void TTabsFrame::OnInterfacePageShow() {
  HideViews({shared_.gearEditor, shared_.deviceEditor, shared_.monitorView, shared_.progressView,
             shared_.floorPlan});
  if (shared_.printItem) shared_.printItem->setEnabled(false);
}

void TTabsFrame::OnAddressPageShow() {
  HideViews({shared_.gearEditor, shared_.deviceEditor, shared_.monitorView, shared_.floorPlan});
  if (shared_.progressView) {
    // During a job the worker owns the tables and keeps the view and its message up to date.
    const bool jobRunning = AddressPage->JobRunning();
    // The reason of a job that a failure stopped stays until the next job.
    if (!jobRunning) shared_.progressView->SetMessage(AddressPage->AbortReason());
    ShowView(shared_.progressView);
    if (!jobRunning) shared_.progressView->RefreshAll();
  }
  if (shared_.printItem) shared_.printItem->setEnabled(false);
}

// Each page show paints the frame first, so that the tab change is seen before the page's work.
void TTabsFrame::OnLightPageShow() {
  repaint();
  LightsPage->OnPageShow();
}

void TTabsFrame::OnControllersPageShow() {
  repaint();
  ControllersPage->OnPageShow();
}

void TTabsFrame::OnMonitorPageShow() {
  repaint();
  DaliMonitorPage->OnMonitorPageShow();
}

void TTabsFrame::SetDevicePagesEnabled(bool enabled) {
  Pages->setTabEnabled(Pages->indexOf(LightsPage), enabled);
  Pages->setTabEnabled(Pages->indexOf(ControllersPage), enabled);
}

int TTabsFrame::ReadBalastParameters(int quick, int a) { return Gate.ReadGearParameters(quick, a); }

bool TTabsFrame::RunOnWorker(std::function<SequenceResult(BusSession&)> sequence,
                             std::function<void(int exchanges)> progress,
                             std::function<void(const SequenceResult&)> done) {
  if (taskRunning_ || AddressPage->JobRunning() || !Gate.Idle()) {
    ShowStatus(
        QStringLiteral("Zbernica je zaneprázdnená: počkajte, kým sa skončí prebiehajúca úloha"));
    return false;
  }
  LockForTask();
  WorkerTask task;
  task.sequence = std::move(sequence);
  task.progress = std::move(progress);
  task.done = [this, done = std::move(done)](const SequenceResult& result) {
    // Handed on, so that the worker is free at once: `done` may ask the user something.
    QMetaObject::invokeMethod(
        this,
        [this, done, result] {
          UnlockAfterTask();
          taskRunning_ = false;
          if (done) done(result);
          emit JobEnded();
        },
        Qt::QueuedConnection);
  };
  taskRunning_ = true;
  if (!Gate.StartTask(std::move(task))) {
    taskRunning_ = false;
    UnlockAfterTask();
    ShowStatus(
        QStringLiteral("Zbernica je zaneprázdnená: počkajte, kým sa skončí prebiehajúca úloha"));
    return false;
  }
  return true;
}

bool TTabsFrame::ReadControllerParameters(int a, std::function<void(const SequenceResult&)> done) {
  return RunOnWorker(
      Gate.DeviceReading(a), {}, [this, a, done = std::move(done)](const SequenceResult& result) {
        if (!result.Ok()) {
          const std::string why =
              result.step.empty() ? std::string(ExchangeResultText(result.result)) : result.Text();
          ShowStatus(QStringLiteral("Čítanie ovládača C %1 sa nedokončilo: %2")
                         .arg(a, 2, 10, QLatin1Char('0'))
                         .arg(QString::fromStdString(why)));
        }
        if (done) done(result);
      });
}

void TTabsFrame::CancelTask() { Gate.CancelTask(); }

void TTabsFrame::LockForTask() {
  TaskLock& lock = taskLock_;
  auto disable = [&](QWidget* w) {
    if (w == nullptr || !w->isEnabled()) return;
    w->setEnabled(false);
    lock.widgets.emplace_back(w);
  };
  // Another page, and with it the gate's and the monitor's buttons, is out of reach; so are the
  // tiles of the page shown.
  disable(Pages->tabBar());
  disable(Pages->currentWidget());
  for (TNavigatedView* view : {shared_.gearEditor, shared_.deviceEditor, shared_.floorPlan}) {
    if (view) lock.controls.push_back(std::make_unique<TControlsLock>(view->Widget()));
  }
  std::vector<QAction*> items = shared_.documentItems;
  items.push_back(shared_.printItem);
  for (QAction* item : items) {
    if (item == nullptr || !item->isEnabled()) continue;
    item->setEnabled(false);
    lock.items.emplace_back(item);
  }
}

void TTabsFrame::UnlockAfterTask() {
  TaskLock& lock = taskLock_;
  lock.controls.clear();
  for (const QPointer<QWidget>& w : lock.widgets) {
    if (w) w->setEnabled(true);
  }
  for (const QPointer<QAction>& item : lock.items) {
    if (item) item->setEnabled(true);
  }
  lock = {};
}

void TTabsFrame::RefreshCurrentPage() {
  if (IsPageVisible(LightsPage)) {
    OnLightPageShow();
  } else if (IsPageVisible(ControllersPage)) {
    OnControllersPageShow();
  } else if (IsPageVisible(AddressPage)) {
    OnAddressPageShow();
  } else if (IsPageVisible(DaliMonitorPage)) {
    OnMonitorPageShow();
  }
}

bool TTabsFrame::ShowsParameters() const {
  return LightsPage->ShowsParameters() || ControllersPage->ShowsParameters();
}

int TTabsFrame::GetReportPages(ReportPages& pages) {
  if (!ShowsParameters()) return 0;
  TNavigatedView* editor = LightsPage->Shown() ? LightsPage->Editor() : ControllersPage->Editor();
  TReportSource* source = editor ? editor->ReportSource() : nullptr;
  return source ? source->GetReportPages(pages) : 0;
}

void TTabsFrame::DrawPlan(QImage& bitmap) {
  if (!LightsPage->ShowsPlan() && !ControllersPage->ShowsPlan()) return;
  if (TPlanPicture* plan = shared_.floorPlan ? shared_.floorPlan->PlanPicture() : nullptr) {
    plan->DrawPlan(bitmap);
  }
}

}  // namespace lumetra
