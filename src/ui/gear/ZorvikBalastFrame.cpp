// The maker's ballast diagnostics: reading, writing the four settings and the repeated reading.
#include "ui/gear/ZorvikBalastFrame.h"

#include <QGridLayout>
#include <QLabel>

#include "buslink/DaliCom.h"
#include "buslink/GearCommands.h"
#include "model/BalastConfig.h"
#include "ui/LumetraApplication.h"
#include "ui/Widgets.h"

namespace lumetra {

namespace {

using namespace gear;

}  // namespace

TZorvikBalastFrame::TZorvikBalastFrame(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("ZorvikBalastFrame"));
  setFrameShape(QFrame::StyledPanel);
  setFrameShadow(QFrame::Raised);

  const struct {
    const char* caption;
    const char* name;
    QLineEdit*& edit;
  } rows[] = {
      {"P", "EditP", EditP},    {"F set", "EditFset", EditFset}, {"R1", "EditR1", EditR1},
      {"R2", "EditR2", EditR2}, {"I bus", "EditIbus", EditIbus}, {"U lamp", "EditUlamp", EditUlamp},
      {"f", "Editf", Editf},    {"U bus", "EditUbus", EditUbus}, {"U zap", "EditUzap", EditUzap},
  };
  auto* layout = new QGridLayout(this);
  for (int i = 0; i < kLocations; ++i) {
    QLineEdit*& edit = rows[i].edit;
    edit = Named<QLineEdit>(rows[i].name);
    MakeDigitsOnly(edit);
    edit->setFixedWidth(50);
    edit->setReadOnly(i >= kWritable);
    Edits[static_cast<size_t>(i)] = edit;
    layout->addWidget(new QLabel(QString::fromLatin1(rows[i].caption)), 0, i);
    layout->addWidget(edit, 1, i);
  }
  ButtonRead = Named<QPushButton>("ButtonRead", QStringLiteral("Čítať"));
  ButtonRead->setFixedSize(75, 25);
  CheckBoxRepeatRead = Named<QCheckBox>("CheckBoxRepeatRead", QStringLiteral("Opakovať čítanie"));
  layout->addWidget(ButtonRead, 1, kLocations, Qt::AlignCenter);
  layout->addWidget(MakeWriteButton("ButtonWrite", "PanelWrite", ButtonWrite, PanelWrite), 1,
                    kLocations + 1);
  layout->addWidget(CheckBoxRepeatRead, 0, kLocations, 1, 2);
  layout->setColumnStretch(kLocations + 2, 1);

  RepeatReadTimer = new QTimer(this);
  RepeatReadTimer->setObjectName(QStringLiteral("RepeatReadTimer"));
  RepeatReadTimer->setInterval(kRepeatInterval);

  ConnectGuarded(ButtonRead, &QPushButton::clicked, this, [this](bool) { OnButtonReadClick(); });
  ConnectGuarded(ButtonWrite, &QPushButton::clicked, this, [this](bool) { OnButtonWriteClick(); });
  ConnectGuarded(CheckBoxRepeatRead, &QCheckBox::clicked, this,
                 [this](bool) { OnCheckBoxRepeatReadClick(); });
  connect(RepeatReadTimer, &QTimer::timeout, this,
          [this] { TLumetraApplication::Guard([this] { OnRepeatReadTimer(); }); });
  for (int i = 0; i < kWritable; ++i) {
    ConnectGuarded(Edits[static_cast<size_t>(i)], &QLineEdit::textChanged, this,
                   [this](const QString&) { OnEditChange(); });
  }
}

void TZorvikBalastFrame::Attach(TDaliCom& daliCom, TBalastConfig& balastConfig) {
  DaliCom = &daliCom;
  BalastConfig = &balastConfig;
  PanelWrite->hide();
}

bool TZorvikBalastFrame::DeviceSelected() const {
  return BalastConfig && BalastConfig->CurrentSlot() < TConfig::kGroupSlot;
}

uint8_t TZorvikBalastFrame::DeviceAddress() const {
  return static_cast<uint8_t>((2 * BalastConfig->CurrentSlot() + 1) % 256);
}

int TZorvikBalastFrame::Send(uint8_t addressByte, uint8_t data) {
  if (DaliCom == nullptr) return kExchangeNotConnected;
  return DaliCom->Exchange(Reply, Request, kGearFrame, 0, addressByte, data);
}

void TZorvikBalastFrame::OnButtonReadClick() {
  if (!DeviceSelected()) return;
  updating_ = true;
  int result = Send(kDtr, 0);
  // The device answers the byte at DTR and moves DTR on, so nine reads walk locations 0..8.
  for (QLineEdit* edit : Edits) {
    if (result == kExchangeReplied) result = Send(DeviceAddress(), kReadMemoryLocation);
    const bool answered =
        result == kExchangeReplied && Reply[0] != kReplyNoAnswer && Reply[0] != kReplySeveral;
    // After a failure the later locations were not read: no old values may pass for new ones.
    edit->setText(answered ? QString::number(Reply[3]) : QString());
  }
  updating_ = false;
  // A line that does not answer would block the window for the whole wait on every tick.
  if (result != kExchangeReplied) StopRepeating();
}

void TZorvikBalastFrame::OnButtonWriteClick() {
  if (!DeviceSelected()) return;
  if (Send(kDtr, 0) != kExchangeReplied) return;
  if (Send(DeviceAddress(), kEnableWriteMemory) != kExchangeReplied) return;
  for (int i = 0; i < kWritable; ++i) {
    const QString text = Edits[static_cast<size_t>(i)]->text();
    const uint32_t value = text.isEmpty() ? 0 : text.toUInt();
    if (Send(kWriteMemoryLocation, static_cast<uint8_t>(value & 0xFF)) != kExchangeReplied) return;
  }
  PanelWrite->hide();
}

void TZorvikBalastFrame::OnEditChange() {
  if (!updating_) PanelWrite->show();
}

void TZorvikBalastFrame::OnCheckBoxRepeatReadClick() {
  if (CheckBoxRepeatRead->isChecked()) {
    RepeatReadTimer->start();
  } else {
    RepeatReadTimer->stop();
  }
}

void TZorvikBalastFrame::StopRepeating() {
  RepeatReadTimer->stop();
  CheckBoxRepeatRead->setChecked(false);
}

}  // namespace lumetra
