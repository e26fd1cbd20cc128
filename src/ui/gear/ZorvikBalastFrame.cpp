// The maker's ballast diagnostics: reading, writing the four settings and the repeated reading.
#include "ui/gear/ZorvikBalastFrame.h"

#include <QGridLayout>
#include <QLabel>

#include "model/BalastConfig.h"
#include "sequences/GearSequences.h"
#include "ui/LumetraApplication.h"
#include "ui/Widgets.h"

namespace lumetra {

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

void TZorvikBalastFrame::Attach(BusSession& session, TBalastConfig& balastConfig) {
  Session = &session;
  BalastConfig = &balastConfig;
  PanelWrite->hide();
}

bool TZorvikBalastFrame::DeviceSelected() const {
  return BalastConfig && BalastConfig->CurrentSlot() < TConfig::kGroupSlot;
}

void TZorvikBalastFrame::OnButtonReadClick() {
  if (!DeviceSelected() || Session == nullptr) return;
  Diagnostics values;
  const SequenceResult result = ReadDiagnostics(*Session, BalastConfig->CurrentSlot(), values);
  updating_ = true;
  // After a failure the later locations were not read: no old values may pass for new ones.
  for (size_t i = 0; i < Edits.size(); ++i) {
    Edits[i]->setText(values[i] ? QString::number(*values[i]) : QString());
  }
  updating_ = false;
  // A line that does not answer would block the window for the whole wait on every tick.
  if (!result.Ok()) StopRepeating();
}

void TZorvikBalastFrame::OnButtonWriteClick() {
  if (!DeviceSelected() || Session == nullptr) return;
  std::array<uint8_t, kDiagnosticSettings> values{};
  for (int i = 0; i < kWritable; ++i) {
    const QString text = Edits[static_cast<size_t>(i)]->text();
    values[static_cast<size_t>(i)] =
        static_cast<uint8_t>((text.isEmpty() ? 0 : text.toUInt()) & 0xFF);
  }
  if (WriteDiagnostics(*Session, BalastConfig->CurrentSlot(), values).Ok()) PanelWrite->hide();
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
