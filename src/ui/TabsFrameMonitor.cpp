// The navigation frame's page "DALI Monitor": starting and stopping the monitor connection and its
// reader, the record files and the address filters of the monitor display.
#include <QAction>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <thread>

#include "commissioning/AddressFrame.h"
#include "model/UiBridge.h"
#include "monitor/MonitorFrame.h"
#include "monitor/MonitorLines.h"
#include "ui/ErrorDlg.h"
#include "ui/LumetraApplication.h"
#include "ui/TabsFrame.h"

namespace lumetra {

namespace {

QString Numbered(const char* stem, int number) {
  return QString::fromLatin1(stem) + QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0'));
}

// Boxes in rows of eight, each row captioned with its first number ("00", "08", …).
template <size_t N>
QGroupBox* BoxGrid(const QString& caption, const char* stem, std::array<QCheckBox*, N>& boxes) {
  auto* group = new QGroupBox(caption);
  auto* grid = new QGridLayout(group);
  grid->setHorizontalSpacing(2);
  grid->setVerticalSpacing(0);
  grid->setContentsMargins(4, 2, 4, 2);
  for (int i = 0; i < static_cast<int>(N); ++i) {
    if (i % 8 == 0) {
      grid->addWidget(new QLabel(QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0'))), i / 8, 0);
    }
    QCheckBox* box = Named<QCheckBox>(Numbered(stem, i).toLatin1().constData());
    box->setToolTip(QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0')));
    boxes[static_cast<size_t>(i)] = box;
    grid->addWidget(box, i / 8, 1 + i % 8);
  }
  return group;
}

QFileDialog* MonitorFileDialog(const char* name, QFileDialog::AcceptMode mode, QWidget* parent) {
  auto* dialog = new QFileDialog(parent);
  dialog->setObjectName(QString::fromLatin1(name));
  // Our own dialog on every desktop, so that the ".lmm" rule and the overwrite question below are
  // the only ones the user meets.
  dialog->setOption(QFileDialog::DontUseNativeDialog, true);
  dialog->setOption(QFileDialog::DontConfirmOverwrite, true);
  dialog->setAcceptMode(mode);
  dialog->setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                                                      : QFileDialog::ExistingFile);
  dialog->setNameFilter(QStringLiteral("Lumetra Monitor data (*.lmm)"));
  return dialog;
}

}  // namespace

void TTabsFrame::BuildMonitorPage() {
  ButtonMonitorStart = Named<QPushButton>("ButtonMonitorStart", QStringLiteral("Štart"));
  ButtonMonitorStop = Named<QPushButton>("ButtonMonitorStop", QStringLiteral("Stop"));
  ButtonMonitorClear = Named<QPushButton>("ButtonMonitorClear", QStringLiteral("Zmazať"));
  ButtonMonitorSave = Named<QPushButton>("ButtonMonitorSave", QStringLiteral("Uložiť"));
  ButtonMonitorOpen = Named<QPushButton>("ButtonMonitorOpen", QStringLiteral("Otvoriť"));
  ButtonMonitorStop->setEnabled(false);
  SaveMonitorDialog = MonitorFileDialog("SaveMonitorDialog", QFileDialog::AcceptSave, this);
  OpenMonitorDialog = MonitorFileDialog("OpenMonitorDialog", QFileDialog::AcceptOpen, this);

  auto* monitor = new QGroupBox(QStringLiteral("Monitor"));
  auto* monitorRow = new QHBoxLayout(monitor);
  monitorRow->addWidget(ButtonMonitorStart);
  monitorRow->addWidget(ButtonMonitorStop);
  monitorRow->addWidget(ButtonMonitorClear);
  auto* data = new QGroupBox(QStringLiteral("Údaje"));
  auto* dataRow = new QHBoxLayout(data);
  dataRow->addWidget(ButtonMonitorSave);
  dataRow->addWidget(ButtonMonitorOpen);

  const QStringList shownItems = {QStringLiteral("nezobrazovať"), QStringLiteral("zobrazovať")};
  CheckBoxBalastFilter =
      Named<QCheckBox>("CheckBoxBalastFilter", QStringLiteral("Filtrovať svietidlá"));
  RadioGroupBalast =
      new TRadioGroup(QStringLiteral("RadioGroupBalast"), QStringLiteral("Vybrané"), shownItems);
  CheckBoxBalastCheckAll =
      Named<QCheckBox>("CheckBoxBalastCheckAll", QStringLiteral("Vybrať / zrušiť všetky"));
  CheckBoxBalastGroupCheckAll =
      Named<QCheckBox>("CheckBoxBalastGroupCheckAll", QStringLiteral("Vybrať / zrušiť všetky"));
  CheckBoxBalastAll =
      Named<QCheckBox>("CheckBoxBalastAll", QStringLiteral("Všetky svietidlá ( A ALL )"));
  CheckBoxControllerFilter =
      Named<QCheckBox>("CheckBoxControllerFilter", QStringLiteral("Filtrovať ovládače"));
  RadioGroupController = new TRadioGroup(QStringLiteral("RadioGroupController"),
                                         QStringLiteral("Vybrané"), shownItems);
  CheckBoxControllerCheckAll =
      Named<QCheckBox>("CheckBoxControllerCheckAll", QStringLiteral("Vybrať / zrušiť všetky"));
  CheckBoxControllerGroupCheckAll =
      Named<QCheckBox>("CheckBoxControllerGroupCheckAll", QStringLiteral("Vybrať / zrušiť všetky"));
  CheckBoxControllerAll =
      Named<QCheckBox>("CheckBoxControllerAll", QStringLiteral("Všetky ovládače ( C ALL )"));

  auto column = [](QCheckBox* filter, TRadioGroup* shown, QGroupBox* addresses, QCheckBox* checkAll,
                   QGroupBox* groups, QCheckBox* groupCheckAll, QCheckBox* all) {
    auto* layout = new QVBoxLayout;
    layout->setSpacing(2);
    for (QWidget* w : std::initializer_list<QWidget*>{filter, shown, addresses, checkAll, groups,
                                                      groupCheckAll, all}) {
      layout->addWidget(w);
    }
    layout->addStretch(1);
    return layout;
  };
  auto* filters = new QGroupBox(QStringLiteral("Filter"));
  auto* filterRow = new QHBoxLayout(filters);
  filterRow->addLayout(column(
      CheckBoxBalastFilter, RadioGroupBalast,
      BoxGrid(QStringLiteral("Svietidlá ( A xx )"), "CheckBoxA", CheckBoxA), CheckBoxBalastCheckAll,
      BoxGrid(QStringLiteral("Skupiny svietidiel ( GA xx )"), "CheckBoxG", CheckBoxG),
      CheckBoxBalastGroupCheckAll, CheckBoxBalastAll));
  filterRow->addLayout(
      column(CheckBoxControllerFilter, RadioGroupController,
             BoxGrid(QStringLiteral("Ovládače ( C xx )"), "CheckBoxC", CheckBoxC),
             CheckBoxControllerCheckAll,
             BoxGrid(QStringLiteral("Skupiny ovládačov ( GC xx )"), "CheckBoxGC", CheckBoxGC),
             CheckBoxControllerGroupCheckAll, CheckBoxControllerAll));

  auto* page = new QGridLayout(DaliMonitorPage);
  page->addWidget(monitor, 0, 0);
  page->addWidget(data, 0, 1);
  page->addWidget(filters, 1, 0, 1, 2);
  page->setRowStretch(2, 1);

  BalastFilterControls = {RadioGroupBalast, CheckBoxBalastCheckAll, CheckBoxBalastGroupCheckAll,
                          CheckBoxBalastAll};
  ControllerFilterControls = {RadioGroupController, CheckBoxControllerCheckAll,
                              CheckBoxControllerGroupCheckAll, CheckBoxControllerAll};
  for (QWidget* w : BalastFilterControls) w->setEnabled(false);
  for (QWidget* w : ControllerFilterControls) w->setEnabled(false);
  for (auto* boxes : {&CheckBoxA, &CheckBoxC}) {
    for (QCheckBox* box : *boxes) box->setEnabled(false);
  }
  for (auto* boxes : {&CheckBoxG, &CheckBoxGC}) {
    for (QCheckBox* box : *boxes) box->setEnabled(false);
  }

  auto onClick = [this](QAbstractButton* button, auto handler) {
    ConnectGuarded(button, &QAbstractButton::clicked, this, [handler](bool) { handler(); });
  };
  onClick(ButtonMonitorStart, [this] { OnButtonMonitorStartClick(); });
  onClick(ButtonMonitorStop, [this] { OnButtonMonitorStopClick(); });
  onClick(ButtonMonitorClear, [this] { OnButtonMonitorClearClick(); });
  onClick(ButtonMonitorSave, [this] { OnButtonMonitorSaveClick(); });
  onClick(ButtonMonitorOpen, [this] { OnButtonMonitorOpenClick(); });
  onClick(CheckBoxBalastFilter, [this] { OnCheckBoxBalastFilterClick(); });
  onClick(CheckBoxControllerFilter, [this] { OnCheckBoxControllerFilterClick(); });
  onClick(CheckBoxBalastCheckAll, [this] { OnCheckBoxBalastCheckAllClick(); });
  onClick(CheckBoxBalastGroupCheckAll, [this] { OnCheckBoxBalastGroupCheckAllClick(); });
  onClick(CheckBoxControllerCheckAll, [this] { OnCheckBoxControllerCheckAllClick(); });
  onClick(CheckBoxControllerGroupCheckAll, [this] { OnCheckBoxControllerGroupCheckAllClick(); });
  onClick(CheckBoxBalastAll, [this] { OnCheckBoxBalastAllClick(); });
  onClick(CheckBoxControllerAll, [this] { OnCheckBoxControllerAllClick(); });
  ConnectGuarded(RadioGroupBalast, &TRadioGroup::Clicked, this,
                 [this](int) { OnRadioGroupBalastClick(); });
  ConnectGuarded(RadioGroupController, &TRadioGroup::Clicked, this,
                 [this](int) { OnRadioGroupControllerClick(); });
  for (int i = 0; i < kDeviceCount; ++i) {
    onClick(CheckBoxA[static_cast<size_t>(i)], [this, i] { OnCheckBoxBalastClick(i); });
    onClick(CheckBoxC[static_cast<size_t>(i)], [this, i] { OnCheckBoxControllerClick(i); });
  }
  for (int i = 0; i < kGroupCount; ++i) {
    onClick(CheckBoxG[static_cast<size_t>(i)], [this, i] { OnCheckBoxBalastGroupClick(i); });
    onClick(CheckBoxGC[static_cast<size_t>(i)], [this, i] { OnCheckBoxControllerGroupClick(i); });
  }
}

void TTabsFrame::CreateMonitorReader() {
  monitor_ = dynamic_cast<TMonitorFrame*>(shared_.monitorView);
  if (monitor_) monitor_->ResetMonitor();
  // Without a user interface thread to hand over to (a frame on its own), records go straight in.
  static InlineUiBridge inlineBridge;
  UiBridge& bridge = shared_.bridge ? *shared_.bridge : inlineBridge;
  monitorThread_ = std::make_unique<TMonitoringThread>(bridge, [this](const MonitorRecord& r) {
    if (monitor_) monitor_->AddRecord(r);
  });
}

void TTabsFrame::StopMonitorReader() {
  if (!monitorThread_) return;
  monitorThread_->Terminate();
  // Closing the connection ends a read blocked on it.
  TCPClientMonitor.Disconnect();
  // The reader may be handing a record over right now; that needs this thread's event loop.
  while (!monitorThread_->Finished()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  monitorThread_->WaitFor();
  monitorThread_.reset();
}

void TTabsFrame::MonitorConnected() {
  if (!monitorThread_) return;
  monitorThread_->SetClient(&TCPClientMonitor);
  monitorThread_->Resume();
}

void TTabsFrame::OnMonitorPageShow() {
  repaint();
  HideViews({shared_.gearEditor, shared_.deviceEditor, shared_.progressView});
  ShowView(shared_.monitorView);
  if (monitor_) monitor_->ScrollToEnd();
  if (shared_.printItem) shared_.printItem->setEnabled(false);
}

void TTabsFrame::OnButtonMonitorStartClick() {
  const int interfaceIndex = RadioGroupInterface->ItemIndex();
  StartBusServer();
  // The rest happens in OnDaliTCPClientConnected.
  ConnectChannel(TCPClientMonitor, interfaceIndex, kMonitorChannel);
}

void TTabsFrame::OnButtonMonitorStopClick() {
  if (monitorThread_) monitorThread_->Suspend();
  TCPClientMonitor.Disconnect();
}

void TTabsFrame::OnButtonMonitorClearClick() {
  if (monitor_) monitor_->ClearLines();
}

void TTabsFrame::OnButtonMonitorSaveClick() {
  if (!monitor_) return;
  SaveMonitorDialog->selectFile(QString());
  if (SaveMonitorDialog->exec() != QDialog::Accepted) return;
  const QStringList chosen = SaveMonitorDialog->selectedFiles();
  if (chosen.isEmpty()) return;
  const std::string name = MonitorFileName(chosen.front().toStdString());
  if (QFileInfo::exists(QString::fromStdString(name))) {
    TErrorDlg question(this);
    question.SetQuestionMode();
    question.AddMessageLine(
        QStringLiteral("Súbor %1 už existuje. Prepísať ho?").arg(QString::fromStdString(name)));
    if (question.exec() != QDialog::Accepted) return;
  }
  monitor_->SaveLines(name);
}

void TTabsFrame::OnButtonMonitorOpenClick() {
  if (!monitor_) return;
  OpenMonitorDialog->selectFile(QString());
  if (OpenMonitorDialog->exec() != QDialog::Accepted) return;
  const QStringList chosen = OpenMonitorDialog->selectedFiles();
  if (chosen.isEmpty()) return;
  monitor_->LoadLines(MonitorFileName(chosen.front().toStdString()));
  monitor_->ScrollToEnd();
}

void TTabsFrame::EditFilter(const std::function<void(MonitorFilter&)>& change) {
  if (monitor_) change(monitor_->Filter());
}

void TTabsFrame::EnableFilterControls(const std::vector<QWidget*>& controls,
                                      std::array<QCheckBox*, kDeviceCount>& addresses,
                                      std::array<QCheckBox*, kGroupCount>& groups, bool enabled) {
  // Only enabled or disabled: the states stay, so turning the filter on again filters as before.
  for (QWidget* w : controls) w->setEnabled(enabled);
  for (QCheckBox* box : addresses) box->setEnabled(enabled);
  for (QCheckBox* box : groups) box->setEnabled(enabled);
}

void TTabsFrame::OnCheckBoxBalastFilterClick() {
  const bool on = CheckBoxBalastFilter->isChecked();
  EditFilter([on](MonitorFilter& f) { f.BalastFilterOn = on; });
  EnableFilterControls(BalastFilterControls, CheckBoxA, CheckBoxG, on);
}

void TTabsFrame::OnCheckBoxControllerFilterClick() {
  const bool on = CheckBoxControllerFilter->isChecked();
  EditFilter([on](MonitorFilter& f) { f.ControllerFilterOn = on; });
  EnableFilterControls(ControllerFilterControls, CheckBoxC, CheckBoxGC, on);
}

void TTabsFrame::OnRadioGroupBalastClick() {
  const bool shown = RadioGroupBalast->ItemIndex() == 1;
  EditFilter([shown](MonitorFilter& f) { f.BalastShowSelected = shown; });
}

void TTabsFrame::OnRadioGroupControllerClick() {
  const bool shown = RadioGroupController->ItemIndex() == 1;
  EditFilter([shown](MonitorFilter& f) { f.ControllerShowSelected = shown; });
}

void TTabsFrame::OnCheckBoxBalastClick(int nn) {
  const bool on = CheckBoxA[static_cast<size_t>(nn)]->isChecked();
  EditFilter([nn, on](MonitorFilter& f) { f.BalastAddressSelected[static_cast<size_t>(nn)] = on; });
}

void TTabsFrame::OnCheckBoxControllerClick(int nn) {
  const bool on = CheckBoxC[static_cast<size_t>(nn)]->isChecked();
  EditFilter(
      [nn, on](MonitorFilter& f) { f.ControllerAddressSelected[static_cast<size_t>(nn)] = on; });
}

void TTabsFrame::OnCheckBoxBalastGroupClick(int nn) {
  const bool on = CheckBoxG[static_cast<size_t>(nn)]->isChecked();
  EditFilter([nn, on](MonitorFilter& f) { f.BalastGroupSelected[static_cast<size_t>(nn)] = on; });
}

void TTabsFrame::OnCheckBoxControllerGroupClick(int nn) {
  const bool on = CheckBoxGC[static_cast<size_t>(nn)]->isChecked();
  EditFilter(
      [nn, on](MonitorFilter& f) { f.ControllerGroupSelected[static_cast<size_t>(nn)] = on; });
}

// Each box set by a "Vybrať / zrušiť všetky" box updates the filter as a click on it would.
template <size_t N>
void TTabsFrame::CheckAll(std::array<QCheckBox*, N>& boxes, const QCheckBox* master,
                          void (TTabsFrame::*click)(int)) {
  for (int i = 0; i < static_cast<int>(N); ++i) {
    boxes[static_cast<size_t>(i)]->setChecked(master->isChecked());
    (this->*click)(i);
  }
}

void TTabsFrame::OnCheckBoxBalastCheckAllClick() {
  CheckAll(CheckBoxA, CheckBoxBalastCheckAll, &TTabsFrame::OnCheckBoxBalastClick);
}

void TTabsFrame::OnCheckBoxBalastGroupCheckAllClick() {
  CheckAll(CheckBoxG, CheckBoxBalastGroupCheckAll, &TTabsFrame::OnCheckBoxBalastGroupClick);
}

void TTabsFrame::OnCheckBoxControllerCheckAllClick() {
  CheckAll(CheckBoxC, CheckBoxControllerCheckAll, &TTabsFrame::OnCheckBoxControllerClick);
}

void TTabsFrame::OnCheckBoxControllerGroupCheckAllClick() {
  CheckAll(CheckBoxGC, CheckBoxControllerGroupCheckAll,
           &TTabsFrame::OnCheckBoxControllerGroupClick);
}

void TTabsFrame::OnCheckBoxBalastAllClick() {
  const bool on = CheckBoxBalastAll->isChecked();
  EditFilter([on](MonitorFilter& f) { f.BalastShowAll = on; });
}

void TTabsFrame::OnCheckBoxControllerAllClick() {
  const bool on = CheckBoxControllerAll->isChecked();
  EditFilter([on](MonitorFilter& f) { f.ControllerShowAll = on; });
}

}  // namespace lumetra
