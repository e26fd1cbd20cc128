// The combined sensor's response rows: what each row shows of the table and what a change stores.
#include "ui/devices/PIRLightSensorOncFrame.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

#include "model/ControllerConfig.h"
#include "model/MessageCodeTable.h"
#include "ui/Widgets.h"

namespace lumetra {

namespace {

constexpr uint32_t kNoLevel = 65535;
constexpr uint32_t kMaxLevel = 65000;

template <typename W>
W* RowControl(const QString& prefix, int row, const QString& suffix) {
  auto* w = new W;
  w->setObjectName(prefix + QString::number(row + 1) + suffix);
  return w;
}

}  // namespace

TPIRLightSensorOncFrame::TPIRLightSensorOncFrame(TOncHost& host, QWidget* parent)
    : TOncFrame("PIRLightSensorOncFrame", host, kScrollRange, kScrollStep, parent) {
  auto* grid = new QGridLayout(Rows());
  grid->setContentsMargins(2, 2, 2, 2);
  grid->setVerticalSpacing(0);
  for (int row = 0; row < kRows; ++row) {
    BuildRow(row);
    const size_t r = static_cast<size_t>(row);
    grid->addWidget(new QLabel(QString::number(row + 1)), row, 0);
    grid->addWidget(EditOncAddress[r], row, 1);
    grid->addWidget(ComboBoxOncState[r], row, 2);
    grid->addWidget(EditOncLevel[r], row, 3);
    grid->addWidget(CheckBoxOncDisabled[r], row, 4);
    grid->addWidget(Panel[r], row, 5);
  }
  grid->setColumnStretch(2, 1);
}

void TPIRLightSensorOncFrame::BuildRow(int row) {
  const size_t r = static_cast<size_t>(row);
  QLineEdit* address = EditOncAddress[r] =
      RowControl<QLineEdit>(QStringLiteral("Edit"), row, QStringLiteral("OncAddress"));
  MakeDigitsOnly(address, 3);
  address->setFixedWidth(40);
  WatchEdit(address, [this](QLineEdit* e) { OnEditOncAddressExit(e); });

  QComboBox* state = ComboBoxOncState[r] =
      RowControl<QComboBox>(QStringLiteral("ComboBox"), row, QStringLiteral("OncState"));
  for (int i = 0; i < kMessageItems; ++i) {
    state->addItem(QString::fromUtf8(MessageCodeTable[static_cast<size_t>(i)].Text));
  }
  WatchCombo(state);
  connect(state, &QComboBox::activated, this, [this, row](int) { OnComboBoxOncStateSelect(row); });

  QLineEdit* level = EditOncLevel[r] =
      RowControl<QLineEdit>(QStringLiteral("Edit"), row, QStringLiteral("OncLevel"));
  MakeDigitsOnly(level, 5);
  level->setFixedWidth(60);
  WatchEdit(level, [this](QLineEdit* e) { OnEditOncLevelExit(e); });

  QCheckBox* disabled = CheckBoxOncDisabled[r] =
      RowControl<QCheckBox>(QStringLiteral("CheckBox"), row, QStringLiteral("OncDisabled"));
  connect(disabled, &QCheckBox::clicked, this,
          [this, row](bool) { OnCheckBoxOncDisabledClick(row); });

  // The panel makes each row's pair of buttons a choice of its own.
  QWidget* panel = Panel[r] = RowControl<QWidget>(QStringLiteral("Panel"), row, QString());
  auto* line = new QHBoxLayout(panel);
  line->setContentsMargins(0, 0, 0, 0);
  QRadioButton* seq1 = RadioButtonOncSeq1[r] =
      RowControl<QRadioButton>(QStringLiteral("RadioButton"), row, QStringLiteral("OncSeq1"));
  QRadioButton* seq2 = RadioButtonOncSeq2[r] =
      RowControl<QRadioButton>(QStringLiteral("RadioButton"), row, QStringLiteral("OncSeq2"));
  seq1->setChecked(true);
  line->addWidget(seq1);
  line->addWidget(seq2);
  connect(seq1, &QRadioButton::clicked, this,
          [this, row](bool) { OnRadioButtonOncSeq1Click(row); });
  connect(seq2, &QRadioButton::clicked, this, [this, row](bool) { OnRadioButtonSeq2Click(row); });
}

int TPIRLightSensorOncFrame::RowOf(const std::array<QLineEdit*, kRows>& column,
                                   const QLineEdit* edit) {
  for (int row = 0; row < kRows; ++row) {
    if (column[static_cast<size_t>(row)] == edit) return row;
  }
  return -1;
}

void TPIRLightSensorOncFrame::ShowResponses() {
  Updating = true;
  PirLightSensorLayout layout = Table->PirLightSensor();
  // Firmware 1.000 has only the first sequence.
  const bool oneSequence = FirmwareIs(1, 0);
  for (int row = 0; row < kRows; ++row) {
    const size_t r = static_cast<size_t>(row);
    const PirLightOnc onc = layout.Oncs(static_cast<uint32_t>(row));
    ShowAddress(EditOncAddress[r], onc.Address());
    SelectItem(ComboBoxOncState[r], onc.MessageIndex());
    const uint32_t level = onc.Level();
    EditOncLevel[r]->setText(level <= kMaxLevel ? QString::number(level) : QString());
    CheckBoxOncDisabled[r]->setChecked(onc.Enabled() != 0);
    RadioButtonOncSeq1[r]->setEnabled(!oneSequence);
    RadioButtonOncSeq2[r]->setEnabled(!oneSequence);
    if (oneSequence || onc.SequenceIndex() == 0) {
      RadioButtonOncSeq1[r]->setChecked(true);
    } else if (onc.SequenceIndex() == 1) {
      RadioButtonOncSeq2[r]->setChecked(true);
    }
  }
  Updating = false;
}

void TPIRLightSensorOncFrame::OnEditOncAddressExit(QLineEdit* edit) {
  const int row = RowOf(EditOncAddress, edit);
  if (row < 0) return;
  const uint32_t v = TypedValue(edit->text(), 255);
  if (v > 255) {
    edit->setText(EnteredText);
    return;
  }
  Table->PirLightSensor().Oncs(static_cast<uint32_t>(row)).SetAddress(v);
  if (v == 255) edit->clear();
  PaintAddress(edit, v);
}

void TPIRLightSensorOncFrame::OnEditOncLevelExit(QLineEdit* edit) {
  const int row = RowOf(EditOncLevel, edit);
  if (row < 0) return;
  const uint32_t v = TypedValue(edit->text(), kNoLevel);
  if (v > kMaxLevel && v != kNoLevel) {
    edit->setText(EnteredText);
    return;
  }
  Table->PirLightSensor().Oncs(static_cast<uint32_t>(row)).SetLevel(v);
  if (v == kNoLevel) edit->clear();
}

void TPIRLightSensorOncFrame::OnComboBoxOncStateSelect(int row) {
  if (Updating) return;
  const int item = ComboBoxOncState[static_cast<size_t>(row)]->currentIndex();
  Table->PirLightSensor()
      .Oncs(static_cast<uint32_t>(row))
      .SetMessageIndex(static_cast<uint32_t>(item));
  Changed();
}

void TPIRLightSensorOncFrame::OnCheckBoxOncDisabledClick(int row) {
  if (Updating) return;
  Table->PirLightSensor()
      .Oncs(static_cast<uint32_t>(row))
      .SetEnabled(CheckBoxOncDisabled[static_cast<size_t>(row)]->isChecked() ? 1 : 0);
  Changed();
}

void TPIRLightSensorOncFrame::OnRadioButtonOncSeq1Click(int row) {
  if (Updating) return;
  Table->PirLightSensor().Oncs(static_cast<uint32_t>(row)).SetSequenceIndex(0);
  Changed();
}

void TPIRLightSensorOncFrame::OnRadioButtonSeq2Click(int row) {
  if (Updating) return;
  Table->PirLightSensor().Oncs(static_cast<uint32_t>(row)).SetSequenceIndex(1);
  Changed();
}

}  // namespace lumetra
