// The page "Adresovanie": its controls, starting and cancelling a job, and what stays locked
// while one runs.
#include "ui/AddressPage.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "buslink/TcpClient.h"
#include "commissioning/AddressFrame.h"
#include "commissioning/GateThread.h"
#include "model/BalastConfig.h"
#include "model/ControllerConfig.h"
#include "ui/LumetraApplication.h"
#include "ui/NavigatedView.h"

namespace lumetra {

TAddressPage::TAddressPage(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("AddressPage"));
  ButtonOpen = Named<QPushButton>("ButtonOpen", QStringLiteral("Otvoriť"));
  ButtonClose = Named<QPushButton>("ButtonClose", QStringLiteral("Zatvoriť"));
  auto* connection = new QGroupBox(QStringLiteral("Spojenie s DALI"), this);
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

  auto* page = new QVBoxLayout(this);
  page->addWidget(connection);
  page->addLayout(jobs);
  page->addWidget(RadioGroupPercentArc);
  page->addWidget(CheckBoxReadActualBalastData);
  page->addWidget(CheckBoxReadActualControllerData);
  page->addStretch(1);

  ConnectGuarded(RadioGroupPercentArc, &TRadioGroup::Clicked, this,
                 [this](int) { OnRadioGroupPercentArcClick(); });
  ConnectGuarded(ButtonExecute, &QPushButton::clicked, this,
                 [this](bool) { OnButtonExecuteClick(); });
  ConnectGuarded(ButtonCancelAddressing, &QPushButton::clicked, this,
                 [this](bool) { OnButtonCancelAddressingClick(); });
}

void TAddressPage::ShowIdle() {
  ButtonClose->setEnabled(false);
  ButtonExecute->setEnabled(false);
  ButtonCancelAddressing->setEnabled(false);
}

void TAddressPage::ShowGateOpen(bool open) {
  ButtonOpen->setEnabled(!open);
  ButtonClose->setEnabled(open);
  ButtonExecute->setEnabled(open && links_.gate->Idle());
  ButtonCancelAddressing->setEnabled(false);
}

void TAddressPage::OnButtonExecuteClick() {
  const int job = RadioGroupControllers->ItemIndex() + 16 * RadioGroupBalasts->ItemIndex();
  if (job == kJobIdle) {
    if (links_.showStatus) links_.showStatus(QStringLiteral("Nie je vybraná žiadna úloha"));
    return;
  }
  // A cancelled job still winding down keeps the worker busy; a new code must not overwrite it.
  if (!links_.gate->Idle()) return;
  abortReason_.clear();
  if (links_.progressView) {
    ShowView(links_.progressView);
    links_.progressView->PrepareJob((job >> 4) != 0, (job & 0x0F) != 0);
  }
  LockForAddressing();
  links_.gate->SetJob(job);
}

void TAddressPage::LockForAddressing() {
  jobRunning_ = true;
  ButtonClose->setEnabled(false);
  ButtonExecute->setEnabled(false);
  SetDevicePagesEnabled(false);
  LockConnections(true);
  ButtonCancelAddressing->setEnabled(true);
  // The reading switches the tables' level mode for a moment and puts its own back afterwards.
  RadioGroupPercentArc->setEnabled(false);
  documentItemsEnabled_.clear();
  for (QAction* item : links_.documentItems) {
    documentItemsEnabled_.push_back(item->isEnabled());
    item->setEnabled(false);
  }
}

void TAddressPage::OnButtonCancelAddressingClick() {
  links_.gate->SetJob(kJobCancel);
  ButtonOpen->setEnabled(false);
  ButtonCancelAddressing->setEnabled(false);
  // The worker may still be writing the tables until it notices the cancel, so the device pages
  // and "Vykonať" wait for the end of the job; closing the gate ends it at once.
  ButtonClose->setEnabled(links_.gateClient->Connected());
  LockConnections(false);
}

void TAddressPage::AddressingFinished() {
  abortReason_ = links_.gate->FailureMessage();
  // A job cut off in the middle leaves the grids as far as it got (a device read into the table
  // but not yet marked): they are drawn again from the tables.
  if (!abortReason_.empty() && links_.progressView) links_.progressView->RefreshAll();
  const bool open = links_.gateClient->Connected();
  ButtonClose->setEnabled(open);
  ButtonExecute->setEnabled(open);
  ButtonOpen->setEnabled(!open);
  SetDevicePagesEnabled(true);
  ButtonCancelAddressing->setEnabled(false);
  LockConnections(false);
  RadioGroupPercentArc->setEnabled(true);
  for (size_t i = 0; i < documentItemsEnabled_.size() && i < links_.documentItems.size(); ++i) {
    links_.documentItems[i]->setEnabled(documentItemsEnabled_[i]);
  }
  documentItemsEnabled_.clear();
  jobRunning_ = false;
}

void TAddressPage::SetDevicePagesEnabled(bool enabled) {
  if (links_.setDevicePagesEnabled) links_.setDevicePagesEnabled(enabled);
}

void TAddressPage::LockConnections(bool locked) {
  if (links_.lockConnections) links_.lockConnections(locked);
}

void TAddressPage::OnRadioGroupPercentArcClick() {
  const uint8_t percent = RadioGroupPercentArc->ItemIndex() == 0 ? 1 : 0;
  links_.balastConfig->SetPercentMode(percent);
  links_.controllerConfig->SetPercentMode(percent);
  for (TNavigatedView* editor : links_.editors) {
    if (editor) editor->UpdatePercentLabels();
  }
}

}  // namespace lumetra
