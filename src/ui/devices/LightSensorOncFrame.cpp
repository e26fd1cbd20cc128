// The light sensor's response rows: what each row shows of the table and what a change stores.
#include "ui/devices/LightSensorOncFrame.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

#include "model/ControllerConfig.h"
#include "model/KindImage.h"
#include "model/MessageCodeTable.h"

namespace lumetra {

namespace {

constexpr uint32_t kNoLevel = 65535;
constexpr uint32_t kMaxLevel = 65000;
// Source addresses of 64 and above (the field keeps 7 bits) stand for an unused entry.
constexpr uint32_t kFirstUnusedAddress = 64;

template <typename W>
W* RowControl(const QString& prefix, int row, const QString& suffix) {
  auto* w = new W;
  w->setObjectName(prefix + QString::number(row + 1) + suffix);
  return w;
}

}  // namespace

TLightSensorOncFrame::TLightSensorOncFrame(TOncHost& host, QWidget* parent)
    : TOncFrame("LightSensorOncFrame", host, kScrollRange, kScrollStep, parent) {
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
    for (int z = 0; z < kZones; ++z) {
      grid->addWidget(RadioGroupOncEnabled[static_cast<size_t>(z)][r], row, 5 + z);
    }
  }
  grid->setColumnStretch(2, 1);
}

void TLightSensorOncFrame::BuildRow(int row) {
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

  for (int z = 0; z < kZones; ++z) {
    const QString name = QStringLiteral("RadioGroup") + QString::number(row + 1) +
                         QStringLiteral("OncG") + QString::number(z + 1) +
                         QStringLiteral("Enabled");
    auto* group = new TRadioGroup(name, QString(), {QString(), QString(), QString()});
    // The three positions sit side by side under the heading's "Nemeniť - Povoliť - Zakázať".
    delete group->layout();
    auto* line = new QHBoxLayout(group);
    line->setContentsMargins(4, 0, 4, 0);
    for (int i = 0; i < group->Count(); ++i) line->addWidget(group->Item(i));
    RadioGroupOncEnabled[static_cast<size_t>(z)][r] = group;
    connect(group, &TRadioGroup::Clicked, this,
            [this, row, z](int) { OnRadioGroupOncEnabledClick(row, z); });
  }
}

int TLightSensorOncFrame::RowOf(const std::array<QLineEdit*, kRows>& column,
                                const QLineEdit* edit) {
  for (int row = 0; row < kRows; ++row) {
    if (column[static_cast<size_t>(row)] == edit) return row;
  }
  return -1;
}

void TLightSensorOncFrame::ShowResponses() {
  Updating = true;
  LightSensorLayout layout = Table->LightSensor();
  // These firmware versions keep no zone control in a response.
  const bool zonesAbsent = light_image::OldResponseLayout(Table->Version(), Table->MinVersion());
  for (int row = 0; row < kRows; ++row) {
    const size_t r = static_cast<size_t>(row);
    const LightOnc onc = layout.Oncs(static_cast<uint32_t>(row));
    const uint32_t address = onc.Address();
    ShowAddress(EditOncAddress[r], address < kFirstUnusedAddress ? address : 255);
    SelectItem(ComboBoxOncState[r], onc.MessageIndex());
    const uint32_t level = onc.Level();
    EditOncLevel[r]->setText(level <= kMaxLevel ? QString::number(level) : QString());
    CheckBoxOncDisabled[r]->setChecked(onc.Enabled() != 0);
    for (int z = 0; z < kZones; ++z) {
      TRadioGroup* group = RadioGroupOncEnabled[static_cast<size_t>(z)][r];
      group->SetItemIndex(onc.ZoneEnabled(static_cast<uint32_t>(z)));
      group->setEnabled(!zonesAbsent);
    }
  }
  Updating = false;
}

void TLightSensorOncFrame::OnEditOncAddressExit(QLineEdit* edit) {
  const int row = RowOf(EditOncAddress, edit);
  if (row < 0) return;
  const uint32_t v = TypedValue(edit->text(), 255);
  if (v > 255) {
    edit->setText(EnteredText);
    return;
  }
  Table->LightSensor().Oncs(static_cast<uint32_t>(row)).SetAddress(v);
  if (v == 255) edit->clear();
  PaintAddress(edit, v);
}

void TLightSensorOncFrame::OnEditOncLevelExit(QLineEdit* edit) {
  const int row = RowOf(EditOncLevel, edit);
  if (row < 0) return;
  const uint32_t v = TypedValue(edit->text(), kNoLevel);
  if (v > kMaxLevel && v != kNoLevel) {
    edit->setText(EnteredText);
    return;
  }
  Table->LightSensor().Oncs(static_cast<uint32_t>(row)).SetLevel(v);
  if (v == kNoLevel) edit->clear();
}

void TLightSensorOncFrame::OnComboBoxOncStateSelect(int row) {
  if (Updating) return;
  const int item = ComboBoxOncState[static_cast<size_t>(row)]->currentIndex();
  Table->LightSensor()
      .Oncs(static_cast<uint32_t>(row))
      .SetMessageIndex(static_cast<uint32_t>(item));
  Changed();
}

void TLightSensorOncFrame::OnCheckBoxOncDisabledClick(int row) {
  if (Updating) return;
  Table->LightSensor()
      .Oncs(static_cast<uint32_t>(row))
      .SetEnabled(CheckBoxOncDisabled[static_cast<size_t>(row)]->isChecked() ? 1 : 0);
  Changed();
}

void TLightSensorOncFrame::OnRadioGroupOncEnabledClick(int row, int zone) {
  if (Updating) return;
  const int item =
      RadioGroupOncEnabled[static_cast<size_t>(zone)][static_cast<size_t>(row)]->ItemIndex();
  Table->LightSensor()
      .Oncs(static_cast<uint32_t>(row))
      .SetZoneEnabled(static_cast<uint32_t>(zone), static_cast<uint32_t>(item));
  Changed();
}

}  // namespace lumetra
