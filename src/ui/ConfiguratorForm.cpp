// The main window: menu, scrolling, the stacked frames and the status line.
#include "ui/ConfiguratorForm.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEnterEvent>
#include <QMenuBar>
#include <QScrollBar>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <QWheelEvent>

#include "commissioning/AddressFrame.h"
#include "documents/ConfigDocument.h"
#include "documents/FileFolder.h"
#include "documents/Settings.h"
#include "model/KindImage.h"
#include "monitor/MonitorFrame.h"
#include "ui/AboutBox.h"
#include "ui/LumetraApplication.h"
#include "ui/QtUiBridge.h"
#include "ui/ReportPrinting.h"
#include "ui/TabsFrame.h"
#include "ui/VersionInfo.h"
#include "ui/Widgets.h"
#include "ui/devices/ControllerFrame.h"
#include "ui/devices/LightSensorFrame.h"
#include "ui/devices/OptoRelayFrame.h"
#include "ui/devices/PIRSensorFrame.h"
#include "ui/devices/PirLightSensorFrame.h"
#include "ui/devices/SwitchFrame.h"
#include "ui/floorplan/MainPositionFrame.h"
#include "ui/gear/BalastFrame.h"

namespace lumetra {

TConfiguratorForm::TConfiguratorForm(const std::vector<std::string>& arguments, QWidget* parent)
    : QMainWindow(parent) {
  setObjectName(QStringLiteral("ConfiguratorForm"));
  setFont(WindowFont());
  resize(kWidth, kHeight);

  ScrollBox_ = new QScrollArea(this);
  ScrollBox_->setObjectName(QStringLiteral("ScrollBox"));
  Content = new QWidget;
  Content->setObjectName(QStringLiteral("Content"));
  Content->setFixedSize(kScrollWidth, kScrollHeight);
  ScrollBox_->setWidget(Content);
  ScrollBox_->horizontalScrollBar()->setTracking(true);
  ScrollBox_->verticalScrollBar()->setTracking(true);
  ScrollBox_->horizontalScrollBar()->setSingleStep(8);
  ScrollBox_->verticalScrollBar()->setSingleStep(8);
  ScrollBox_->viewport()->installEventFilter(this);
  setCentralWidget(ScrollBox_);
  statusBar()->setObjectName(QStringLiteral("StatusLine"));
  GateState = new QLabel(statusBar());
  GateState->setObjectName(QStringLiteral("LabelGateState"));
  statusBar()->addPermanentWidget(GateState);

  // The right-hand views are stacked in their fixed order as their frames arrive; the navigation
  // frame sits on the left.
  Tabs = new TTabsFrame(Content);
  Tabs->setGeometry(kNavigationLeft, 3, kNavigationWidth, kFrameHeight);
  BalastFrame = new TBalastFrame(Content);
  BalastFrame->setGeometry(kViewLeft, 3, kViewWidth, kFrameHeight);
  BalastFrame->hide();
  ControllerFrame = new TControllerFrame(Content);
  ControllerFrame->setGeometry(kViewLeft, 3, kViewWidth, kFrameHeight);
  ControllerFrame->hide();
  MainPositionFrame = new TMainPositionFrame(Content);
  MainPositionFrame->setGeometry(kViewLeft, 3, kViewWidth, kFrameHeight);
  MainPositionFrame->hide();
  AddressFrame = new TAddressFrame(Content);
  AddressFrame->setGeometry(kViewLeft, 3, kViewWidth, kFrameHeight);
  AddressFrame->hide();
  // The bus monitor view tops the right-hand stack.
  MonitorFrame = new TMonitorFrame(Content);
  MonitorFrame->setGeometry(kViewLeft, 3, kViewWidth, kFrameHeight);
  MonitorFrame->hide();
  MonitorFrame->raise();

  BuildMenu();
  OnCreate(arguments);
}

TConfiguratorForm::~TConfiguratorForm() { OnDestroy(); }

void TConfiguratorForm::BuildMenu() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("Súbor"));
  file->setObjectName(QStringLiteral("MenuFile"));
  ItemOpen = file->addAction(QStringLiteral("Otvoriť"));
  ItemOpen->setObjectName(QStringLiteral("ItemOpen"));
  ItemOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  ItemSaveAs = file->addAction(QStringLiteral("Uložiť ako"));
  ItemSaveAs->setObjectName(QStringLiteral("ItemSaveAs"));
  ItemPrint = file->addAction(QStringLiteral("Tlač"));
  ItemPrint->setObjectName(QStringLiteral("ItemPrint"));
  ItemPrint->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
  ItemPrintPreview = file->addAction(QStringLiteral("Náhľad tlače"));
  ItemPrintPreview->setObjectName(QStringLiteral("ItemPrintPreview"));
  ItemExportPdf = file->addAction(QStringLiteral("Exportovať do PDF"));
  ItemExportPdf->setObjectName(QStringLiteral("ItemExportPdf"));
  file->addSeparator();
  ItemExit = file->addAction(QStringLiteral("Koniec"));
  ItemExit->setObjectName(QStringLiteral("ItemExit"));
  connect(ItemExit, &QAction::triggered, this, &TConfiguratorForm::OnExitClick);

  QMenu* help = menuBar()->addMenu(QStringLiteral("Pomocník"));
  help->setObjectName(QStringLiteral("MenuHelp"));
  ItemAbout = help->addAction(QStringLiteral("O programe"));
  ItemAbout->setObjectName(QStringLiteral("ItemAbout"));

  connect(ItemAbout, &QAction::triggered, this, &TConfiguratorForm::OnAboutClick);
  connect(ItemOpen, &QAction::triggered, this,
          [this] { TLumetraApplication::Guard([this] { OnOpenClick(); }); });
  connect(ItemSaveAs, &QAction::triggered, this,
          [this] { TLumetraApplication::Guard([this] { OnSaveAsClick(); }); });
  connect(ItemPrint, &QAction::triggered, this,
          [this] { TLumetraApplication::Guard([this] { OnPrintClick(); }); });
  connect(ItemPrintPreview, &QAction::triggered, this,
          [this] { TLumetraApplication::Guard([this] { OnPrintPreviewClick(); }); });
  connect(ItemExportPdf, &QAction::triggered, this,
          [this] { TLumetraApplication::Guard([this] { OnExportPdfClick(); }); });
  // The preview and the export print the same pages, so they are offered where "Tlač" is.
  for (QAction* item : {ItemPrintPreview, ItemExportPdf}) {
    connect(ItemPrint, &QAction::enabledChanged, item, &QAction::setEnabled);
  }

  const QString filter = QStringLiteral("Lumetra konfigurácia zariadení (*.dcf)");
  OpenDialog = MakeFileDialog("OpenDialog", QFileDialog::AcceptOpen, filter, this);
  SaveDialog = MakeFileDialog("SaveDialog", QFileDialog::AcceptSave, filter, this);
  // The pages enable "Tlač" where there is something to print; the first page has nothing.
  ItemPrint->setEnabled(false);
  ItemPrintPreview->setEnabled(false);
  ItemExportPdf->setEnabled(false);
}

std::string TConfiguratorForm::FilesFolder() {
  // Tests and a portable installation point the program at a folder of their own.
  if (const QByteArray folder = qgetenv("LUMETRA_FOLDER"); !folder.isEmpty()) {
    return folder.toStdString();
  }
  return ChooseFileFolder(
      QCoreApplication::applicationDirPath().toStdString(),
      QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString());
}

void TConfiguratorForm::OnOpenClick() {
  const std::optional<std::string> chosen = ChosenFile(OpenDialog);
  if (chosen) OpenDocument(*chosen);
}

void TConfiguratorForm::OpenDocument(const std::string& path) {
  LoadDocument(path, *BalastConfig_, *ControllerConfig_);
  Tabs->RefreshCurrentPage();
}

void TConfiguratorForm::OnSaveAsClick() {
  const std::optional<std::string> chosen = ChosenFile(SaveDialog);
  if (!chosen) return;
  const std::string name = DocumentFileName(*chosen);
  if (!ConfirmOverwrite(this, name)) return;
  SaveDocument(name, *BalastConfig_, *ControllerConfig_);
}

void TConfiguratorForm::OnPrintClick() { Printing_->OnPrintClick(); }

void TConfiguratorForm::OnPrintPreviewClick() { Printing_->OnPrintPreviewClick(); }

void TConfiguratorForm::OnExportPdfClick() { Printing_->OnExportPdfClick(); }

void TConfiguratorForm::OnAboutClick() {
  TAboutBox box(this);
  box.exec();
}

void TConfiguratorForm::OnCreate(const std::vector<std::string>& arguments) {
  const CommandLine commandLine = ParseCommandLine(arguments);
  setWindowTitle(QString::fromStdString(WindowCaption(commandLine)));

  DaliCom_ = std::make_unique<TDaliCom>();
  DaliCom_->CreateLock();
  UiSession_ = std::make_unique<BusSession>(DaliCom_.get());
  BalastConfig_ = std::make_unique<TBalastConfig>();
  ControllerConfig_ = std::make_unique<TControllerConfig>();
  Bridge = std::make_unique<QtUiBridge>(this);
  // Exchanges fail on the worker too; the status line is updated without making it wait.
  // The text is taken here, while it still names this exchange's fault.
  DaliCom_->OnExchangeFailed = [this](int result) {
    const QString text = QString::fromUtf8(DaliCom_->FailureText(result));
    QMetaObject::invokeMethod(
        this, [this, text] { ShowExchangeFailure(text); }, Qt::QueuedConnection);
  };

  TTabsFrame::Shared shared;
  shared.daliCom = DaliCom_.get();
  shared.session = UiSession_.get();
  shared.balastConfig = BalastConfig_.get();
  shared.controllerConfig = ControllerConfig_.get();
  shared.bridge = Bridge.get();
  // "Tlač" is handed to the pages, which offer it where there is something to print.
  shared.printItem = ItemPrint;
  shared.statusLine = statusBar();
  shared.gateState = GateState;
  shared.documentItems = {ItemOpen, ItemSaveAs};
  shared.monitorView = MonitorFrame;
  shared.progressView = AddressFrame;
  shared.gearEditor = BalastFrame;
  shared.deviceEditor = ControllerFrame;
  shared.readProgressView = ControllerFrame;
  shared.floorPlan = MainPositionFrame;
  FilesFolder_ = FilesFolder();
  shared.settingsPath = PathInFolder(FilesFolder_, kSettingsFile);
  shared.version = TVersionInfo().FileVersion;
  // The editor reaches the navigation only through TNavigation; the window, which knows both,
  // introduces them.
  BalastFrame->AttachToWindow(*UiSession_, *BalastConfig_, *Tabs);
  ControllerFrame->AttachToWindow(*UiSession_, *ControllerConfig_, *Tabs);
  PIRSensorFrame = new TPIRSensorFrame;
  PIRSensorFrame->Attach(*UiSession_, *ControllerConfig_, *Tabs);
  ControllerFrame->SetKindFrame(kKindPirSensor, PIRSensorFrame);
  auto* optoRelayFrame = new TOptoRelayFrame;
  optoRelayFrame->Attach(*UiSession_, *ControllerConfig_, *Tabs);
  ControllerFrame->SetKindFrame(kKindOptoRelay, optoRelayFrame);
  // Made inside its host, so that it measures its texts in the window's font.
  auto* switchFrame = new TSwitchFrame(*ControllerFrame, ControllerFrame->KindFrameHost);
  switchFrame->Attach(*UiSession_, *ControllerConfig_, Tabs);
  ControllerFrame->SetKindFrame(kKindSwitch, switchFrame);
  MainPositionFrame->AttachToWindow({.balastConfig = BalastConfig_.get(),
                                     .controllerConfig = ControllerConfig_.get(),
                                     .navigation = Tabs,
                                     .gearEditor = BalastFrame,
                                     .deviceEditor = ControllerFrame});
  // Every slot starts at its place on the plan before anything fills the tables.
  MainPositionFrame->BindPlan();
  auto* lightSensorFrame = new TLightSensorFrame;
  lightSensorFrame->Attach(*UiSession_, *ControllerConfig_, *Tabs);
  ControllerFrame->SetKindFrame(kKindLightSensor, lightSensorFrame);
  auto* pirLightSensorFrame = new TPirLightSensorFrame;
  pirLightSensorFrame->Attach(*UiSession_, *ControllerConfig_, *Tabs);
  ControllerFrame->SetKindFrame(kKindPirLightSensor, pirLightSensorFrame);
  Tabs->Initialize(shared, commandLine.controlUnitAddress, commandLine.controlUnitPort);
  connect(Tabs, &TTabsFrame::JobEnded, this, [this] {
    // Not from inside the worker's hand-over, which is still under way.
    if (closeAfterJob_) QTimer::singleShot(0, this, &QWidget::close);
  });
  ReportPages_ = std::make_unique<ReportPages>();
  Printing_ = std::make_unique<TReportPrinting>(this, *Tabs, *ReportPages_);
}

void TConfiguratorForm::OnDestroy() {
  if (Tabs == nullptr) return;
  // Hidden editors leave the bus alone (a blinking lamp, repeated diagnostics): nothing may go out
  // while the shut-down below still serves the event loop.
  for (QWidget* editor : {static_cast<QWidget*>(BalastFrame), static_cast<QWidget*>(ControllerFrame),
                          static_cast<QWidget*>(MainPositionFrame)}) {
    if (editor != nullptr) editor->hide();
  }
  Tabs->Finalize();
  DaliCom_->OnExchangeFailed = nullptr;
  // The navigation frame and every right-hand view go before the objects they borrow (the tables
  // and TDaliCom are members, destroyed after this body; the frames would otherwise outlive them
  // as the window's children).
  delete ScrollBox_->takeWidget();
  Content = nullptr;
  Tabs = nullptr;
  AddressFrame = nullptr;
  MonitorFrame = nullptr;
  BalastFrame = nullptr;
  ControllerFrame = nullptr;
  PIRSensorFrame = nullptr;
  MainPositionFrame = nullptr;
}

void TConfiguratorForm::ShowExchangeFailure(const QString& text) { statusBar()->showMessage(text); }

void TConfiguratorForm::closeEvent(QCloseEvent* event) {
  if (Tabs != nullptr && Tabs->JobRunning()) {
    // A hidden window whose process goes on for minutes holding the gate would leave the next
    // start refused by the bus server without a word.
    if (!closeAfterJob_) {
      closeAfterJob_ = true;
      if (Tabs->TaskRunning()) {
        Tabs->CancelTask();
        statusBar()->showMessage(
            QStringLiteral("Prenos sa ruší, program sa zatvorí hneď, ako sa zastaví"));
      } else {
        if (Tabs->ButtonCancelAddressing->isEnabled()) Tabs->OnButtonCancelAddressingClick();
        statusBar()->showMessage(
            QStringLiteral("Adresovanie sa ruší, program sa zatvorí hneď, ako sa zastaví"));
      }
    }
    event->ignore();
    return;
  }
  OnClose();
  QMainWindow::closeEvent(event);
}

void TConfiguratorForm::OnClose() {
  // On every close, whatever the tables hold. A failed save is reported, and the window closes
  // all the same: keeping it open would leave the user no way out of a folder that cannot be
  // written.
  TLumetraApplication::Guard([this] {
    SaveDocument(PathInFolder(FilesFolder_, kLastDevicesDocument), *BalastConfig_,
                 *ControllerConfig_);
  });
}

void TConfiguratorForm::enterEvent(QEnterEvent* event) {
  OnConfiguratorFormMouseEnter();
  QMainWindow::enterEvent(event);
}

void TConfiguratorForm::leaveEvent(QEvent* event) {
  OnConfiguratorFormMouseLeave();
  QMainWindow::leaveEvent(event);
}

bool TConfiguratorForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ScrollBox_->viewport() && event->type() == QEvent::Wheel) {
    // Wheel turns that no control took scroll the window by one increment per notch.
    const auto* wheel = static_cast<QWheelEvent*>(event);
    const bool ctrl = wheel->modifiers() & Qt::ControlModifier;
    const int delta =
        wheel->angleDelta().y() != 0 ? wheel->angleDelta().y() : wheel->angleDelta().x();
    if (delta < 0) OnConfiguratorFormMouseWheelDown(ctrl);
    if (delta > 0) OnConfiguratorFormMouseWheelUp(ctrl);
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void TConfiguratorForm::Scroll(bool horizontal, int direction) {
  if (!MouseOver_) return;
  QScrollBar* bar =
      horizontal ? ScrollBox_->horizontalScrollBar() : ScrollBox_->verticalScrollBar();
  bar->setValue(bar->value() + direction * bar->singleStep());
}

}  // namespace lumetra
