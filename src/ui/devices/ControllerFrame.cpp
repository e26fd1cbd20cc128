// The control device editor: its controls, the writes to the bus and the table updates that follow.
#include "ui/devices/ControllerFrame.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "documents/DeviceReports.h"
#include "model/ControllerConfig.h"
#include "model/KindNames.h"
#include "sequences/DeviceSequences.h"
#include "ui/ErrorDlg.h"
#include "ui/LumetraApplication.h"
#include "ui/Widgets.h"

namespace lumetra {

namespace {

QString TwoDigits(int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); }

QLabel* Caption(const QString& text) { return new QLabel(text); }

QLineEdit* ReadOnly(const char* name) {
  auto* edit = Named<QLineEdit>(name);
  edit->setReadOnly(true);
  return edit;
}

// A bevelled area of the editor.
QFrame* Area(QLayout* content) {
  auto* area = new QFrame;
  area->setFrameShape(QFrame::StyledPanel);
  area->setFrameShadow(QFrame::Raised);
  area->setLayout(content);
  return area;
}

QString TypeText(uint32_t kind) {
  return QStringLiteral("%1 - %2").arg(kind).arg(QString::fromUtf8(
      ControllerKindName(kind).data(), static_cast<qsizetype>(ControllerKindName(kind).size())));
}

QString VersionText(uint32_t major, uint32_t minor) {
  return QStringLiteral("%1.%2").arg(major).arg(minor, 3, 10, QLatin1Char('0'));
}

// The leading decimal digits of the edit, 0 when there are none.
uint32_t LeadingNumber(const QString& text) {
  uint32_t value = 0;
  for (const QChar c : text) {
    if (!c.isDigit()) break;
    value = value * 10 + static_cast<uint32_t>(c.digitValue());
    if (value > 0xFFFF) break;
  }
  return value;
}

}  // namespace

TControllerFrame::TControllerFrame(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("ControllerFrame"));
  EditFocus = new TEditFocusFilter(this);
  auto* top = new QHBoxLayout;
  auto* left = new QVBoxLayout;
  // The two columns come out about as tall as each other, which leaves the kind editors below
  // the most room.
  for (QLayout* area : {BuildIdentityArea(), BuildAddressArea(), BuildActionsArea()}) {
    left->addWidget(Area(area));
  }
  auto* right = new QVBoxLayout;
  for (QLayout* area : {BuildGroupsArea(), BuildStatusArea()}) right->addWidget(Area(area));
  top->addLayout(left, 0);
  top->addLayout(right, 1);
  KindFrameHost = Named<QWidget>("KindFrameHost");
  auto* host = new QVBoxLayout(KindFrameHost);
  host->setContentsMargins(0, 0, 0, 0);
  auto* frame = new QVBoxLayout(this);
  frame->setContentsMargins(6, 6, 6, 6);
  frame->addLayout(top);
  frame->addWidget(KindFrameHost, 1);
  ConnectHandlers();
}

QLayout* TControllerFrame::BuildIdentityArea() {
  EditType = ReadOnly("EditType");
  EditVersion = ReadOnly("EditVersion");
  EditVersion->setFixedWidth(60);
  auto* identity = new QGridLayout;
  identity->addWidget(Caption(QStringLiteral("Typ:")), 0, 0);
  identity->addWidget(EditType, 0, 1, 1, 2);
  identity->addWidget(Caption(QStringLiteral("Verzia:")), 1, 0);
  identity->addWidget(EditVersion, 1, 1);
  identity->setColumnStretch(2, 1);
  return identity;
}

QLayout* TControllerFrame::BuildStatusArea() {
  CheckBoxPowerFailure =
      Named<QCheckBox>("CheckBoxPowerFailure", QStringLiteral("Chyba napájania"));
  CheckBoxHWError = Named<QCheckBox>("CheckBoxHWError", QStringLiteral("Chyba HW"));
  CheckBoxComError = Named<QCheckBox>("CheckBoxComError", QStringLiteral("Chyba komunikácie"));
  CheckBoxOtherError = Named<QCheckBox>("CheckBoxOtherError", QStringLiteral("Iná chyba"));
  CheckBoxStatus = {CheckBoxPowerFailure, CheckBoxHWError, CheckBoxComError, CheckBoxOtherError};
  auto* status = new QGridLayout;
  status->addWidget(Caption(QStringLiteral("Status:")), 0, 0);
  for (int k = 0; k < kStatusCount; ++k) {
    QCheckBox* box = CheckBoxStatus[static_cast<size_t>(k)];
    // The device reports these; nothing here sets them.
    box->setEnabled(false);
    status->addWidget(box, 1 + k / 2, k % 2);
  }
  return status;
}

QLayout* TControllerFrame::BuildAddressArea() {
  AddrLabel = Named<QLabel>("AddrLabel", QStringLiteral("Adresa ovládača:"));
  EditShortAddr = Named<QLineEdit>("EditShortAddr");
  MakeDigitsOnly(EditShortAddr, 3);
  EditShortAddr->setFixedWidth(50);
  CheckBoxMultimaster = Named<QCheckBox>("CheckBoxMultimaster", QStringLiteral("Multimaster"));
  auto* address = new QGridLayout;
  address->addWidget(AddrLabel, 0, 0);
  address->addWidget(EditShortAddr, 0, 1);
  address->addWidget(
      MakeWriteButton("ButtonNewAddress", "PanelWriteAddress", ButtonNewAddress, PanelWriteAddress),
      0, 3);
  address->addWidget(CheckBoxMultimaster, 1, 0, 1, 2);
  address->addWidget(MakeWriteButton("ButtonNewControlValue", "PanelWriteMultimaster",
                                     ButtonNewControlValue, PanelWriteMultimaster),
                     1, 3);
  address->setColumnStretch(2, 1);
  return address;
}

QLayout* TControllerFrame::BuildGroupsArea() {
  auto* groups = new QGridLayout;
  groups->addWidget(Caption(QStringLiteral("Skupiny:")), 0, 0, 1, 8);
  for (int g = 0; g < kGroupCount; ++g) {
    QCheckBox*& box = CheckBoxG[static_cast<size_t>(g)];
    box = new QCheckBox(TwoDigits(g + 1));
    box->setObjectName(QStringLiteral("CheckBoxG") + TwoDigits(g + 1));
    groups->addWidget(box, 1 + g / 8, g % 8);
  }
  groups->addWidget(
      MakeWriteButton("ButtonNewGroups", "PanelWriteGroups", ButtonNewGroups, PanelWriteGroups), 3,
      6, 1, 2, Qt::AlignRight);
  return groups;
}

QLayout* TControllerFrame::BuildActionsArea() {
  ButtonLocalize = Named<QPushButton>("ButtonLocalize", QStringLiteral("Lokalizovať"));
  ButtonReset = Named<QPushButton>("ButtonReset", QStringLiteral("Reset ovládača"));
  ButtonReadControl = Named<QPushButton>("ButtonReadControl", QStringLiteral("Čítať parametre"));
  LabelRead = Named<QLabel>("LabelRead", QStringLiteral("0"));
  auto* actions = new QHBoxLayout;
  for (QWidget* w : {static_cast<QWidget*>(ButtonLocalize), static_cast<QWidget*>(ButtonReset),
                     static_cast<QWidget*>(ButtonReadControl), static_cast<QWidget*>(LabelRead)}) {
    actions->addWidget(w);
  }
  actions->addStretch(1);
  return actions;
}

void TControllerFrame::ConnectHandlers() {
  ConnectClicks(this, {
                          {ButtonNewAddress, &TControllerFrame::OnButtonNewAddressClick},
                          {ButtonNewControlValue, &TControllerFrame::OnButtonNewControlValueClick},
                          {ButtonNewGroups, &TControllerFrame::OnButtonNewGroupsClick},
                          {ButtonLocalize, &TControllerFrame::OnButtonLocalizeClick},
                          {ButtonReset, &TControllerFrame::OnButtonResetClick},
                          {ButtonReadControl, &TControllerFrame::OnButtonReadControlClick},
                      });
  for (int g = 0; g < kGroupCount; ++g) {
    ConnectGuarded(CheckBoxG[static_cast<size_t>(g)], &QCheckBox::clicked, this,
                   [this, g](bool) { OnCheckBoxGroupClick(g); });
  }
  ConnectGuarded(CheckBoxMultimaster, &QCheckBox::clicked, this,
                 [this](bool) { OnCheckBoxMultimasterClick(); });
  EditFocus->Watch(
      EditShortAddr, [this](QLineEdit* e) { OnEditEnter(e); },
      [this](QLineEdit* e) { OnEditShortAddrExit(e); });
  ConnectGuarded(EditShortAddr, &QLineEdit::textChanged, this,
                 [this](const QString&) { OnAddressChange(); });
  Guard.Watch(EditShortAddr);
  Guard.Watch(CheckBoxMultimaster);
  for (QCheckBox* box : CheckBoxG) Guard.Watch(box);
}

void TControllerFrame::AttachToWindow(BusSession& session, TControllerConfig& controllerConfig,
                                      TNavigation& tabsFrame) {
  Session = &session;
  ControllerConfig = &controllerConfig;
  TabsFrame = &tabsFrame;
  ShowKindFrame(TConfig::kNone);
}

void TControllerFrame::SetKindFrame(uint8_t kind, QWidget* frame) {
  kindFrames_[kind] = frame;
  KindFrameHost->layout()->addWidget(frame);
  frame->hide();
}

void TControllerFrame::ShowKindFrame(uint32_t kind) {
  for (auto& [k, frame] : kindFrames_) frame->setVisible(k == kind);
  // The shown editor fills itself from the selection, its red panels hidden.
  if (auto* view = dynamic_cast<TNavigatedView*>(ShownKindFrame())) view->RefreshView();
}

void TControllerFrame::UpdatePercentLabels() {
  for (auto& [k, frame] : kindFrames_) {
    if (auto* view = dynamic_cast<TNavigatedView*>(frame)) view->UpdatePercentLabels();
  }
}

QWidget* TControllerFrame::ShownKindFrame() const {
  for (const auto& [k, frame] : kindFrames_) {
    if (!frame->isHidden()) return frame;
  }
  return nullptr;
}

void TControllerFrame::SetReadProgress(const std::string& text) {
  LabelRead->setText(QString::fromStdString(text));
  LabelRead->repaint();
}

bool TControllerFrame::IsDeviceSelected() const {
  return ControllerConfig->CurrentSlot() < TConfig::kGroupSlot;
}

bool TControllerFrame::Report(const SequenceResult& result) { return ReportSequence(this, result); }

void TControllerFrame::UpdatePanels() {
  if (Updating) return;
  bool groups = false;
  for (const QCheckBox* box : CheckBoxG) groups = groups || Guard.Changed(box);
  PanelWriteAddress->setVisible(Guard.Changed(EditShortAddr));
  PanelWriteMultimaster->setVisible(Guard.Changed(CheckBoxMultimaster));
  PanelWriteGroups->setVisible(groups);
}

int TControllerFrame::ChangeShortAddress(int newAddress) {
  if (Session == nullptr) return kExchangeNotConnected;
  const SequenceResult result = ChangeDeviceShortAddress(*Session, *ControllerConfig, newAddress);
  Report(result);
  if (result.result == kSequenceRefused) return -1;
  if (!result.Ok()) return result.result;
  // The table selected the moved device (or, for 255, the lowest other one): the tiles and this
  // editor show that selection.
  if (TabsFrame) TabsFrame->ShowDeviceButtons();
  RefreshView();
  return 0;
}

void TControllerFrame::OnButtonNewAddressClick() {
  const uint32_t wanted = LeadingNumber(EditShortAddr->text());
  if (ChangeShortAddress(wanted > 255 ? -1 : static_cast<int>(wanted)) != 0) return;
  PanelWriteAddress->hide();
}

void TControllerFrame::OnButtonNewControlValueClick() {
  if (Session == nullptr) return;
  const std::optional<bool> on = Guard.Check(CheckBoxMultimaster);
  if (NothingToWrite(this, on.has_value())) return;
  if (Report(WriteMultimaster(*Session, *ControllerConfig, *on))) {
    Guard.Written(CheckBoxMultimaster);
  }
  UpdatePanels();
}

void TControllerFrame::OnButtonNewGroupsClick() {
  if (Session == nullptr) return;
  const DeviceGroups groups = Guard.Checks(CheckBoxG);
  if (NothingToWrite(this, AnyGiven(groups))) return;
  Report(WriteDeviceGroups(*Session, *ControllerConfig, groups, [this](int g) {
    QCheckBox* box = CheckBoxG[static_cast<size_t>(g)];
    // A box of the half that went out shows what the device now holds.
    if (box->checkState() == Qt::PartiallyChecked) return;
    Guard.Written(box);
  }));
  UpdatePanels();
  if (TabsFrame) TabsFrame->ShowDeviceButtons();
}

void TControllerFrame::OnButtonLocalizeClick() {
  if (Session == nullptr) return;
  Report(LocateDevice(*Session, *ControllerConfig));
}

void TControllerFrame::OnButtonResetClick() {
  TErrorDlg question(this);
  question.SetQuestionMode();
  question.SetColor(QColor(255, 0, 0));
  question.AddMessageLine(
      QStringLiteral("Všetky naprogramované údaje budú prepísané údajmi od výrobcu."));
  if (question.exec() != QDialog::Accepted || Session == nullptr) return;
  Report(ResetDevice(*Session, *ControllerConfig));
}

void TControllerFrame::OnButtonReadControlClick() {
  if (!IsDeviceSelected() || TabsFrame == nullptr) return;
  // The worker reads; this editor's controls wait, locked, with the counter going, and show the
  // device once the reading is over (what it did not reach shows as not read).
  TabsFrame->ReadControllerParameters(ControllerConfig->CurrentSlot(),
                                      [this](const SequenceResult&) {
                                        RefreshView();
                                        if (TabsFrame) TabsFrame->ShowDeviceButtons();
                                      });
}

void TControllerFrame::OnEditEnter(QLineEdit* edit) { EnteredText = edit->text(); }

void TControllerFrame::OnEditShortAddrExit(QLineEdit* edit) {
  const uint32_t v = edit->text().isEmpty() ? 64 : LeadingNumber(edit->text());
  if (v > 63 && v != 255) edit->setText(EnteredText);
}

void TControllerFrame::OnAddressChange() { UpdatePanels(); }

void TControllerFrame::OnCheckBoxGroupClick(int) { UpdatePanels(); }

void TControllerFrame::OnCheckBoxMultimasterClick() { UpdatePanels(); }

std::optional<TControllerFrame::Identity> TControllerFrame::CommonKind() {
  TControllerConfig& t = *ControllerConfig;
  const uint8_t group = t.CurrentGroup();
  std::optional<Identity> first;
  for (uint8_t i = 0; i < TConfig::kGroupSlot; ++i) {
    if (t.IsSlotFree(i)) continue;
    t.SetCurrentSlot(i);
    if (group != TConfig::kAllDevices && t.Groups(group) == 0) continue;
    const Identity identity{t.DeviceType(), t.Version(), t.MinVersion()};
    if (!first) {
      first = identity;
    } else if (identity != *first) {
      first.reset();
      break;
    }
  }
  t.SetCurrentSlot(TConfig::kGroupSlot);
  return first;
}

void TControllerFrame::ShowMultimaster(bool offered, uint32_t value) {
  // An opto-relay has no multimaster setting: nothing to show and nothing to write.
  CheckBoxMultimaster->setEnabled(offered);
  ButtonNewControlValue->setEnabled(offered);
  if (offered) {
    TEditGuard::ShowCheck(CheckBoxMultimaster, value);
  } else {
    TEditGuard::ShowCheck(CheckBoxMultimaster, 0);
  }
}

void TControllerFrame::ShowStatusBits(uint8_t status) {
  // A status never read shows every box as unknown; the boxes are the device's to set, never
  // clicked.
  const bool known = status != kNotRead;
  for (int k = 0; k < kStatusCount; ++k) {
    QCheckBox* box = CheckBoxStatus[static_cast<size_t>(k)];
    box->setTristate(!known);
    box->setCheckState(!known              ? Qt::PartiallyChecked
                       : (status >> k) & 1 ? Qt::Checked
                                           : Qt::Unchecked);
  }
}

void TControllerFrame::RefreshView() {
  if (ControllerConfig == nullptr) return;
  TControllerConfig& t = *ControllerConfig;
  Updating = true;
  const bool device = IsDeviceSelected();
  // A free slot has no device to show or to command (nothing found yet, or the last device's
  // address was deleted).
  const bool freeSlot = device && t.IsSlotFree(t.CurrentSlot());
  setEnabled(!freeSlot);
  if (freeSlot) {
    TEditGuard::ShowNothing(this);
    ShowKindFrame(TConfig::kNone);
  } else if (device) {
    AddrLabel->setText(QStringLiteral("Adresa ovládača:"));
    EditShortAddr->setText(QString::number(t.ShortAddress()));
    for (uint32_t g = 0; g < kGroupCount; ++g) TEditGuard::ShowCheck(CheckBoxG[g], t.Groups(g));
    ShowStatusBits(t.Status());
    const bool versionRead = t.Version() != kNotRead && t.MinVersion() != kNotRead;
    EditVersion->setText(versionRead ? VersionText(t.Version(), t.MinVersion()) : QString());
    TEditGuard::ShowValue(EditType, t.DeviceType(), TypeText(t.DeviceType()));
    ShowMultimaster(t.DeviceType() != kKindOptoRelay, t.Multimaster());
    ShowKindFrame(t.DeviceType());
  } else {
    t.ClearScratchSlot();
    AddrLabel->setText(QStringLiteral("Adresa skupiny:"));
    EditShortAddr->setText(QString::number(t.CurrentGroup()));
    for (QCheckBox* box : CheckBoxG) TEditGuard::ShowCheck(box, kNotRead);
    ShowStatusBits(0);
    const std::optional<Identity> kind = CommonKind();
    if (kind) {
      // The members' kind and version, as the kind editor will work on them.
      TEditGuard::ShowValue(EditType, kind->kind, TypeText(kind->kind));
      const bool versionRead = kind->version != kNotRead && kind->minVersion != kNotRead;
      EditVersion->setText(versionRead ? VersionText(kind->version, kind->minVersion) : QString());
      // The kind editor applies the members' firmware rules to the group slot's record.
      t.SetGroupFirmware(kind->version, kind->minVersion);
      ShowKindFrame(kind->kind);
    } else {
      EditType->clear();
      EditVersion->clear();
      ShowKindFrame(TConfig::kNone);
    }
    ShowMultimaster(!kind || kind->kind != kKindOptoRelay, kNotRead);
  }
  for (QWidget* w : {static_cast<QWidget*>(EditShortAddr), static_cast<QWidget*>(ButtonNewAddress),
                     static_cast<QWidget*>(ButtonReadControl)}) {
    w->setEnabled(device);
  }
  LabelRead->clear();
  for (QWidget* panel : {PanelWriteAddress, PanelWriteMultimaster, PanelWriteGroups}) {
    panel->hide();
  }
  Guard.Filled();
  Updating = false;
}

int TControllerFrame::GetReportPages(ReportPages& pages) {
  return ControllerConfig ? ControllerReportPages(*ControllerConfig, pages) : 0;
}

}  // namespace lumetra
