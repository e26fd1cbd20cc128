// The page "DALI Monitor": its controls, the reader's life and the record files.
#include "ui/MonitorPage.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <thread>

#include "buslink/TcpClient.h"
#include "model/UiBridge.h"
#include "monitor/MonitorFrame.h"
#include "monitor/MonitorLines.h"
#include "ui/ErrorDlg.h"
#include "ui/LumetraApplication.h"
#include "ui/NavigatedView.h"

namespace lumetra {

TMonitorPage::TMonitorPage(QWidget* parent)
    : QWidget(parent),
      GearFilter(TMonitorFilterColumn::kGear, this),
      DeviceFilter(TMonitorFilterColumn::kDevice, this) {
  setObjectName(QStringLiteral("DaliMonitorPage"));
  BuildControls();
  BuildLayout();
}

TMonitorPage::~TMonitorPage() = default;

void TMonitorPage::BuildControls() {
  ButtonMonitorStart = Named<QPushButton>("ButtonMonitorStart", QStringLiteral("Štart"));
  ButtonMonitorStop = Named<QPushButton>("ButtonMonitorStop", QStringLiteral("Stop"));
  ButtonMonitorClear = Named<QPushButton>("ButtonMonitorClear", QStringLiteral("Zmazať"));
  ButtonMonitorSave = Named<QPushButton>("ButtonMonitorSave", QStringLiteral("Uložiť"));
  ButtonMonitorOpen = Named<QPushButton>("ButtonMonitorOpen", QStringLiteral("Otvoriť"));
  ButtonMonitorStop->setEnabled(false);
  SaveMonitorDialog = MakeFileDialog("SaveMonitorDialog", QFileDialog::AcceptSave,
                                     QStringLiteral("Lumetra Monitor data (*.lmm)"), this);
  OpenMonitorDialog = MakeFileDialog("OpenMonitorDialog", QFileDialog::AcceptOpen,
                                     QStringLiteral("Lumetra Monitor data (*.lmm)"), this);

  auto onClick = [this](QAbstractButton* button, void (TMonitorPage::*handler)()) {
    ConnectGuarded(button, &QAbstractButton::clicked, this,
                   [this, handler](bool) { (this->*handler)(); });
  };
  onClick(ButtonMonitorStop, &TMonitorPage::OnButtonMonitorStopClick);
  onClick(ButtonMonitorClear, &TMonitorPage::OnButtonMonitorClearClick);
  onClick(ButtonMonitorSave, &TMonitorPage::OnButtonMonitorSaveClick);
  onClick(ButtonMonitorOpen, &TMonitorPage::OnButtonMonitorOpenClick);
}

void TMonitorPage::BuildLayout() {
  auto* monitor = new QGroupBox(QStringLiteral("Monitor"));
  auto* monitorRow = new QHBoxLayout(monitor);
  monitorRow->addWidget(ButtonMonitorStart);
  monitorRow->addWidget(ButtonMonitorStop);
  monitorRow->addWidget(ButtonMonitorClear);
  auto* data = new QGroupBox(QStringLiteral("Údaje"));
  auto* dataRow = new QHBoxLayout(data);
  dataRow->addWidget(ButtonMonitorSave);
  dataRow->addWidget(ButtonMonitorOpen);

  auto* filters = new QGroupBox(QStringLiteral("Filter"));
  auto* filterRow = new QHBoxLayout(filters);
  filterRow->addLayout(GearFilter.Layout());
  filterRow->addLayout(DeviceFilter.Layout());

  auto* page = new QGridLayout(this);
  page->addWidget(monitor, 0, 0);
  page->addWidget(data, 0, 1);
  page->addWidget(filters, 1, 0, 1, 2);
  page->setRowStretch(2, 1);
}

void TMonitorPage::Bind(Links links) {
  links_ = std::move(links);
  if (links_.monitor) links_.monitor->ResetMonitor();
  GearFilter.SetMonitor(links_.monitor);
  DeviceFilter.SetMonitor(links_.monitor);
  // Without a user interface thread to hand over to (a frame on its own), records go straight in.
  static InlineUiBridge inlineBridge;
  UiBridge& bridge = links_.bridge ? *links_.bridge : inlineBridge;
  reader_ = std::make_unique<TMonitoringThread>(bridge, [this](const MonitorRecord& r) {
    if (links_.monitor) links_.monitor->AddRecord(r);
  });
}

void TMonitorPage::StopReader() {
  if (!reader_) return;
  reader_->Terminate();
  // Closing the connection ends a read blocked on it.
  links_.client->Disconnect();
  // The reader may be handing a record over right now; that needs this thread's event loop.
  while (!reader_->Finished()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  reader_->WaitFor();
  reader_.reset();
}

void TMonitorPage::MonitorConnected() {
  if (!reader_) return;
  reader_->SetClient(links_.client);
  reader_->Resume();
}

void TMonitorPage::ShowMonitorRunning(bool running) {
  ButtonMonitorStart->setEnabled(!running);
  ButtonMonitorStop->setEnabled(running);
  // Files only while stopped: the view's lines do not change under a save or an open then.
  ButtonMonitorSave->setEnabled(!running);
  ButtonMonitorOpen->setEnabled(!running);
}

void TMonitorPage::OnMonitorPageShow() {
  for (TNavigatedView* view : links_.otherViews) HideViews({view});
  ShowView(links_.monitor);
  if (links_.monitor) links_.monitor->ScrollToEnd();
  if (links_.printItem) links_.printItem->setEnabled(false);
}

void TMonitorPage::OnButtonMonitorStopClick() {
  if (reader_) reader_->Suspend();
  if (links_.client) links_.client->Disconnect();
}

void TMonitorPage::OnButtonMonitorClearClick() {
  if (links_.monitor) links_.monitor->ClearLines();
}

std::optional<std::string> TMonitorPage::ChooseFile(QFileDialog* dialog) {
  if (!links_.monitor) return std::nullopt;
  const std::optional<std::string> chosen = ChosenFile(dialog);
  if (!chosen) return std::nullopt;
  return MonitorFileName(*chosen);
}

void TMonitorPage::OnButtonMonitorSaveClick() {
  const std::optional<std::string> name = ChooseFile(SaveMonitorDialog);
  if (!name || !ConfirmOverwrite(this, *name)) return;
  links_.monitor->SaveLines(*name);
}

void TMonitorPage::OnButtonMonitorOpenClick() {
  const std::optional<std::string> name = ChooseFile(OpenMonitorDialog);
  if (!name) return;
  links_.monitor->LoadLines(*name);
  links_.monitor->ScrollToEnd();
}

}  // namespace lumetra
