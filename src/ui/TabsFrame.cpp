// The navigation frame: interface choice, the bus server start and the gate and monitor
// connections.
#include "ui/TabsFrame.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QProcess>
#include <QThread>
#include <QVBoxLayout>
#include <thread>

#include "buslink/DaliCom.h"
#include "commissioning/AddressFrame.h"
#include "model/BalastConfig.h"
#include "model/ControllerConfig.h"
#include "model/Error.h"
#include "model/UiBridge.h"
#include "ui/LumetraApplication.h"
#include "ui/gear/BalastFrame.h"

namespace lumetra {

TTabsFrame::TTabsFrame(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("TabsFrame"));
  Pages = Named<QTabWidget>("Pages", this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(Pages);

  InterfacePage = Named<QWidget>("InterfacePage");
  AddressPage = Named<QWidget>("AddressPage");
  LightsPage = Named<QWidget>("LightsPage");
  ControllersPage = Named<QWidget>("ControllersPage");
  DaliMonitorPage = Named<QWidget>("DaliMonitorPage");
  Pages->addTab(InterfacePage, QStringLiteral("Rozhranie"));
  Pages->addTab(AddressPage, QStringLiteral("Adresovanie"));
  Pages->addTab(LightsPage, QStringLiteral("Svietidlá"));
  Pages->addTab(ControllersPage, QStringLiteral("Ovládače"));
  Pages->addTab(DaliMonitorPage, QStringLiteral("DALI Monitor"));

  BuildInterfacePage();
  BuildAddressPage();
  gear_.kind = kGearKind;
  gear_.page = LightsPage;
  gear_.autoRead = CheckBoxReadActualBalastData;
  device_.autoRead = CheckBoxReadActualControllerData;
  BuildGridPage(gear_, RadioButtonParameters, RadioButtonPositions);
  device_.kind = kDeviceKind;
  device_.page = ControllersPage;
  BuildGridPage(device_, RadioButtonCtrlParameters, RadioButtonCtrlPositions);
  BuildMonitorPage();
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
}

void TTabsFrame::BuildInterfacePage() {
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

  auto* settings = new QGroupBox(InterfacePage);
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

  auto* page = new QGridLayout(InterfacePage);
  page->addWidget(RadioGroupInterface, 0, 0);
  page->addWidget(settings, 0, 1);
  page->addLayout(conditions, 1, 0, 1, 2);
  page->setRowStretch(2, 1);

  ConnectGuarded(RadioGroupInterface, &TRadioGroup::Clicked, this,
                 [this](int) { OnRadioGroupInterfaceClick(); });
  ConnectGuarded(ButtonCloseConnection, &QPushButton::clicked, this,
                 [this](bool) { OnButtonCloseClick(); });
  ConnectGuarded(ButtonStopMonitor, &QPushButton::clicked, this,
                 [this](bool) { OnButtonStopMonitorClick(); });
}

void TTabsFrame::BuildAddressPage() {
  ButtonOpen = Named<QPushButton>("ButtonOpen", QStringLiteral("Otvoriť"));
  ButtonClose = Named<QPushButton>("ButtonClose", QStringLiteral("Zatvoriť"));
  auto* connection = new QGroupBox(QStringLiteral("Spojenie s DALI"), AddressPage);
  connection->setObjectName(QStringLiteral("GroupBoxConnection"));
  auto* row = new QHBoxLayout(connection);
  row->addWidget(ButtonOpen);
  row->addWidget(ButtonClose);

  const QStringList actions = {QStringLiteral("Nechať"), QStringLiteral("Čítať aktuálne adresy"),
                               QStringLiteral("Adresovať pridané"),
                               QStringLiteral("Preadresovať všetky")};
  RadioGroupBalasts =
      new TRadioGroup(QStringLiteral("RadioGroupBalasts"), QStringLiteral("Svietidlá"), actions);
  RadioGroupControllers =
      new TRadioGroup(QStringLiteral("RadioGroupControllers"), QStringLiteral("Ovládače"), actions);
  ButtonExecute = Named<QPushButton>("ButtonExecute", QStringLiteral("Vykonať"));
  ButtonCancelAddressing = Named<QPushButton>("ButtonCancelAddressing", QStringLiteral("Zrušiť"));
  auto* jobs = new QGridLayout;
  jobs->addWidget(RadioGroupBalasts, 0, 0);
  jobs->addWidget(RadioGroupControllers, 0, 1);
  jobs->addWidget(ButtonExecute, 1, 0);
  jobs->addWidget(ButtonCancelAddressing, 1, 1);
  RadioGroupPercentArc =
      new TRadioGroup(QStringLiteral("RadioGroupPercentArc"), QStringLiteral("Zobrazovať úroveň v"),
                      {QStringLiteral("percentách"), QStringLiteral("ARC")});
  CheckBoxReadActualBalastData = Named<QCheckBox>(
      "CheckBoxReadActualBalastData", QStringLiteral("Automatické čítanie parametrov svietidla"));
  CheckBoxReadActualControllerData =
      Named<QCheckBox>("CheckBoxReadActualControllerData",
                       QStringLiteral("Automatické čitanie parametrov ovládača"));

  auto* page = new QVBoxLayout(AddressPage);
  page->addWidget(connection);
  page->addLayout(jobs);
  page->addWidget(RadioGroupPercentArc);
  page->addWidget(CheckBoxReadActualBalastData);
  page->addWidget(CheckBoxReadActualControllerData);
  page->addStretch(1);

  ConnectGuarded(RadioGroupPercentArc, &TRadioGroup::Clicked, this,
                 [this](int) { OnRadioGroupPercentArcClick(); });

  ConnectGuarded(ButtonOpen, &QPushButton::clicked, this, [this](bool) { OnButtonOpenClick(); });
  ConnectGuarded(ButtonClose, &QPushButton::clicked, this, [this](bool) { OnButtonCloseClick(); });
  ConnectGuarded(ButtonExecute, &QPushButton::clicked, this,
                 [this](bool) { OnButtonExecuteClick(); });
  ConnectGuarded(ButtonCancelAddressing, &QPushButton::clicked, this,
                 [this](bool) { OnButtonCancelAddressingClick(); });
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
  Gate.SetViews(nullptr, shared.progressView);
  Gate.SetDaliCom(shared.daliCom);
  Gate.SetTabsFrame(this);
  Gate.SetBridge(shared.bridge);
  Gate.Start();
  // The monitor reader waits, suspended, for the first "Štart".
  CreateMonitorReader();
  gear_.table = shared.balastConfig;
  gear_.editor = shared.gearEditor;
  if (auto* balast = dynamic_cast<TBalastFrame*>(shared.gearEditor)) {
    balast->AttachToWindow(*shared.session, *shared.balastConfig, *this);
  }
  device_.table = shared.controllerConfig;
  device_.editor = shared.deviceEditor;
  for (Grid* grid : {&gear_, &device_}) {
    for (TDeviceButton& record : grid->groups) record.Deselect();
  }
  if (controlUnitAddress) {
    RadioGroupInterface->SetItemIndex(kInterfaceControlUnit);
    EditIPAddress->setText(QString::fromStdString(*controlUnitAddress));
    EditPort->setText(QString::fromStdString(controlUnitPort.value_or("50000")));
  }
  OnRadioGroupInterfaceClick();
  ButtonClose->setEnabled(false);
  ButtonExecute->setEnabled(false);
  ButtonCancelAddressing->setEnabled(false);
  OnRadioGroupPercentArcClick();
  if (IsPageVisible(InterfacePage)) OnInterfacePageShow();
}

void TTabsFrame::Finalize() {
  StopWorker();
  StopMonitorReader();
  if (TCPClientConfig.Connected()) TCPClientConfig.Disconnect();
}

void TTabsFrame::StopWorker() {
  // A running job runs to its end; its hand-overs still need this thread meanwhile.
  Gate.Terminate();
  while (!Gate.Finished() && Gate.Started()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  Gate.WaitFor();
}

void TTabsFrame::OnRadioGroupInterfaceClick() {
  const bool serial = RadioGroupInterface->ItemIndex() == kInterfaceUsb;
  ComboBoxPort->setEnabled(serial);
  EditIPAddress->setEnabled(!serial);
  EditPort->setEnabled(!serial);
}

void TTabsFrame::LaunchBusServer() {
  QString program = launch_.program;
  if (QFileInfo(program).isRelative()) {
    // By its bare name from the working directory, as on the installer's laptop; a build or
    // install folder started from elsewhere still finds the server beside the configurator.
    const QString inWorkingDir = QDir::current().absoluteFilePath(program);
    const QString besideProgram =
        QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(program);
    program = QFileInfo(inWorkingDir).isExecutable() ? inWorkingDir : besideProgram;
  }
  qint64 pid = 0;
  if (!QProcess::startDetached(program, launch_.arguments, QDir::currentPath(), &pid)) {
    throw Error("Nepodarilo sa spustiť program " + launch_.program.toStdString() +
                " (hľadaný v pracovnom priečinku a v priečinku konfigurátora)");
  }
  busServerPid_ = pid;
}

void TTabsFrame::StartBusServer() {
  const int interfaceIndex = RadioGroupInterface->ItemIndex();
  if (interfaceIndex != kInterfaceUsb && interfaceIndex != kInterfaceWifi) return;
  // Built first, so that a name that does not fit starts nothing and sends nothing.
  const ConfigPacket packet =
      BuildConfigPacket(interfaceIndex, ComboBoxPort->currentText().toStdString(),
                        Text(EditIPAddress), Text(EditPort));

  auto connect = [this] {
    LaunchBusServer();
    TCPClientConfig.SetHost(kBusServerHost);
    TCPClientConfig.SetPort(static_cast<uint16_t>(launch_.portBase + kConfigChannel));
    ConnectPatiently(TCPClientConfig, launch_.patience);
  };
  if (!TCPClientConfig.StillConnected()) connect();
  try {
    TCPClientConfig.Write(packet.data(), packet.size());
  } catch (const ConnectionLost&) {
    // The server went away since the last packet: start it once more rather than fail the click.
    connect();
    TCPClientConfig.Write(packet.data(), packet.size());
  }
}

void TTabsFrame::OnButtonOpenClick() {
  const int interfaceIndex = RadioGroupInterface->ItemIndex();
  StartBusServer();
  ConnectChannel(TCPClientGate, interfaceIndex, kGateChannel);
}

void TTabsFrame::ConnectChannel(TcpClient& client, int interfaceIndex, int channel) {
  const Endpoint endpoint = ChannelEndpoint(interfaceIndex, Text(EditIPAddress), Text(EditPort),
                                            channel, launch_.portBase);
  client.SetHost(endpoint.host);
  client.SetPort(endpoint.port);
  if (interfaceIndex == kInterfaceControlUnit) {
    client.Connect();
  } else {
    // A bus server that has just started opens its ports one after the other: the configuration
    // port answering does not yet mean that this one does.
    ConnectPatiently(client, launch_.patience);
  }
}

void TTabsFrame::OnButtonCloseClick() { TCPClientGate.Disconnect(); }

void TTabsFrame::OnButtonStopMonitorClick() { OnButtonMonitorStopClick(); }

void TTabsFrame::ShowGateOpen(bool open) {
  ButtonOpen->setEnabled(!open);
  ButtonClose->setEnabled(open);
  ButtonExecute->setEnabled(open && Gate.Idle());
  ButtonCancelAddressing->setEnabled(false);
  ButtonCloseConnection->setEnabled(open);
}

void TTabsFrame::ShowMonitorRunning(bool running) {
  ButtonStopMonitor->setEnabled(running);
  ButtonMonitorStart->setEnabled(!running);
  ButtonMonitorStop->setEnabled(running);
  // Files only while stopped: the view's lines do not change under a save or an open then.
  ButtonMonitorSave->setEnabled(!running);
  ButtonMonitorOpen->setEnabled(!running);
}

void TTabsFrame::UnlockInterfaceChoice() {
  RadioGroupInterface->setEnabled(true);
  OnRadioGroupInterfaceClick();
}

void TTabsFrame::OnDaliTCPClientConnected(TcpClient& sender) {
  RadioGroupInterface->setEnabled(false);
  ComboBoxPort->setEnabled(false);
  EditIPAddress->setEnabled(false);
  EditPort->setEnabled(false);
  if (&sender == &TCPClientGate) {
    shared_.daliCom->SetClient(&TCPClientGate);
    ShowGateOpen(true);
  } else if (&sender == &TCPClientMonitor) {
    ShowMonitorRunning(true);
    MonitorConnected();
  }
}

void TTabsFrame::OnDaliTCPClientDisconnected(TcpClient& sender) {
  sender.DiscardInput();
  if (&sender == &TCPClientGate) {
    shared_.daliCom->SetClient(nullptr);
    if (!TCPClientMonitor.Connected()) UnlockInterfaceChoice();
    ShowGateOpen(false);
  } else if (&sender == &TCPClientMonitor) {
    if (!TCPClientGate.Connected()) UnlockInterfaceChoice();
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
  HideViews({shared_.gearEditor, shared_.deviceEditor, shared_.monitorView, shared_.progressView});
  if (shared_.printItem) shared_.printItem->setEnabled(false);
}

void TTabsFrame::OnAddressPageShow() {
  HideViews({shared_.gearEditor, shared_.deviceEditor, shared_.monitorView});
  if (shared_.progressView) {
    // During a job the worker owns the tables and keeps the view and its message up to date.
    if (!jobRunning_) shared_.progressView->SetMessage("");
    ShowView(shared_.progressView);
    if (!jobRunning_) shared_.progressView->RefreshAll();
  }
  if (shared_.printItem) shared_.printItem->setEnabled(false);
}

void TTabsFrame::OnButtonExecuteClick() {
  const int job = RadioGroupControllers->ItemIndex() + 16 * RadioGroupBalasts->ItemIndex();
  // A cancelled job still winding down keeps the worker busy; a new code must not overwrite it.
  if (job == kJobIdle || !Gate.Idle()) return;
  if (shared_.progressView) {
    ShowView(shared_.progressView);
    shared_.progressView->PrepareJob((job >> 4) != 0, (job & 0x0F) != 0);
  }
  LockForAddressing();
  Gate.SetJob(job);
}

void TTabsFrame::LockForAddressing() {
  jobRunning_ = true;
  ButtonClose->setEnabled(false);
  ButtonExecute->setEnabled(false);
  SetDevicePagesEnabled(false);
  ButtonCancelAddressing->setEnabled(true);
  // The reading switches the tables' level mode for a moment and puts its own back afterwards.
  RadioGroupPercentArc->setEnabled(false);
  documentItemsEnabled_.clear();
  for (QAction* item : shared_.documentItems) {
    documentItemsEnabled_.push_back(item->isEnabled());
    item->setEnabled(false);
  }
}

void TTabsFrame::OnButtonCancelAddressingClick() {
  Gate.SetJob(kJobCancel);
  ButtonOpen->setEnabled(false);
  ButtonCancelAddressing->setEnabled(false);
  // The worker may still be writing the tables until it notices the cancel, so the device pages
  // and "Vykonať" wait for the end of the job; closing the gate ends it at once.
  ButtonClose->setEnabled(TCPClientGate.Connected());
}

void TTabsFrame::AddressingFinished() {
  const bool open = TCPClientGate.Connected();
  ButtonClose->setEnabled(open);
  ButtonExecute->setEnabled(open);
  ButtonOpen->setEnabled(!open);
  SetDevicePagesEnabled(true);
  ButtonCancelAddressing->setEnabled(false);
  RadioGroupPercentArc->setEnabled(true);
  for (size_t i = 0; i < documentItemsEnabled_.size() && i < shared_.documentItems.size(); ++i) {
    shared_.documentItems[i]->setEnabled(documentItemsEnabled_[i]);
  }
  documentItemsEnabled_.clear();
  jobRunning_ = false;
}

void TTabsFrame::SetDevicePagesEnabled(bool enabled) {
  Pages->setTabEnabled(Pages->indexOf(LightsPage), enabled);
  Pages->setTabEnabled(Pages->indexOf(ControllersPage), enabled);
}

int TTabsFrame::ReadBalastParameters(int quick, int a) { return Gate.ReadGearParameters(quick, a); }

int TTabsFrame::ReadControllerParameters(int a) { return Gate.ReadDeviceParameters(a); }

}  // namespace lumetra
