// The switch's response rows: what each row shows of the table and what a change stores there.
#include "ui/devices/SwitchOncFrame.h"

#include <QGridLayout>
#include <QLabel>

#include "model/ControllerConfig.h"
#include "model/MessageCodeTable.h"
#include "ui/Widgets.h"

namespace lumetra {

namespace {

QString RowName(const char* prefix, int row, const char* suffix) {
  return QString::fromLatin1(prefix) + QString::number(row + 1) + QString::fromLatin1(suffix);
}

template <typename W>
W* RowControl(const char* prefix, int row, const char* suffix) {
  auto* w = new W;
  w->setObjectName(RowName(prefix, row, suffix));
  return w;
}

const QStringList kStartItems = {QString(), QStringLiteral("1. postupnosť"),
                                 QStringLiteral("2. postupnosť")};
const QStringList kLedItems = {QString(),
                               QStringLiteral("Vypnutý"),
                               QStringLiteral("Svieti"),
                               QStringLiteral("Blik 1 s"),
                               QStringLiteral("Blik 1/2s"),
                               QStringLiteral("Blik 1/4s"),
                               QStringLiteral("Blik 1/8s")};

// Stored 3 ("no sequence") and 7 ("no indicator change") come first in their lists as the empty
// item, so the item is the stored value shifted by one, wrapped to the field's bits.
uint32_t StartItem(uint32_t stored) { return (stored + 1) & 3; }
uint32_t StartStored(int item) { return static_cast<uint32_t>(item - 1) & 3; }
uint32_t LedItem(uint32_t stored) { return (stored + 1) & 7; }
uint32_t LedStored(int item) { return static_cast<uint32_t>(item - 1) & 7; }

}  // namespace

TSwitchOncFrame::TSwitchOncFrame(TOncHost& host, QWidget* parent)
    : TOncFrame("SwitchOncFrame", host, kScrollRange, kScrollStep, parent) {
  auto* grid = new QGridLayout(Rows());
  grid->setContentsMargins(2, 2, 2, 2);
  grid->setVerticalSpacing(2);
  for (int row = 0; row < kRows; ++row) BuildRow(row);
  for (int row = 0; row < kRows; ++row) {
    const size_t r = static_cast<size_t>(row);
    const int line = 2 * row;
    grid->addWidget(new QLabel(QString::number(row + 1)), line, 0);
    grid->addWidget(EditOncAddress[r], line, 1);
    grid->addWidget(ComboBoxOncState[r], line, 2);
    grid->addWidget(CheckBoxOncDisabled[r], line, 3);
    grid->addWidget(CheckBoxOncStopSequence[r], line, 4);
    grid->addWidget(ComboBoxOncStartSequence[r], line, 5);
    // Indicators 1 and 2 on the row's first line, 3 and 4 on its second.
    for (int k = 0; k < kIndicators; ++k) {
      grid->addWidget(ComboBoxOncLed[static_cast<size_t>(k)][r], line + k / 2, 6 + k % 2);
    }
  }
  grid->setColumnStretch(2, 1);
}

void TSwitchOncFrame::BuildRow(int row) {
  const size_t r = static_cast<size_t>(row);
  QLineEdit* address = EditOncAddress[r] = RowControl<QLineEdit>("Edit", row, "OncAddress");
  address->setFixedWidth(40);
  WatchEdit(address, [this](QLineEdit* e) { OnEditOncAddressExit(e); });

  QComboBox* state = ComboBoxOncState[r] = RowControl<QComboBox>("ComboBox", row, "OncState");
  for (int i = 0; i < kMessageItems; ++i) {
    state->addItem(QString::fromUtf8(MessageCodeTable[static_cast<size_t>(i)].Text));
  }
  WatchCombo(state);
  connect(state, &QComboBox::activated, this, [this, row](int) { OnComboBoxOncStateSelect(row); });

  QCheckBox* disabled = CheckBoxOncDisabled[r] =
      RowControl<QCheckBox>("CheckBox", row, "OncDisabled");
  connect(disabled, &QCheckBox::clicked, this,
          [this, row](bool) { OnCheckBoxOncDisabledClick(row); });

  QCheckBox* stop = CheckBoxOncStopSequence[r] =
      RowControl<QCheckBox>("CheckBox", row, "OncStopSequence");
  connect(stop, &QCheckBox::clicked, this,
          [this, row](bool) { OnCheckBoxOncStopSequenceClick(row); });

  QComboBox* start = ComboBoxOncStartSequence[r] =
      RowControl<QComboBox>("ComboBox", row, "OncStartSequence");
  start->addItems(kStartItems);
  WatchCombo(start);
  connect(start, &QComboBox::activated, this,
          [this, row](int) { OnComboBoxOncStartSequenceSelect(row); });

  for (int k = 0; k < kIndicators; ++k) {
    const QString suffix = QStringLiteral("OncLed") + QString::number(k + 1);
    QComboBox* led = ComboBoxOncLed[static_cast<size_t>(k)][r] =
        RowControl<QComboBox>("ComboBox", row, suffix.toLatin1().constData());
    led->addItems(kLedItems);
    WatchCombo(led);
    connect(led, &QComboBox::activated, this,
            [this, row, k](int) { OnComboBoxOncLedSelect(row, k); });
  }
}

int TSwitchOncFrame::RowOf(const QLineEdit* edit) const {
  for (int row = 0; row < kRows; ++row) {
    if (EditOncAddress[static_cast<size_t>(row)] == edit) return row;
  }
  return -1;
}

void TSwitchOncFrame::ShowResponses(uint32_t input) {
  ShownInput = input;
  Updating = true;
  SwitchLayout layout = Table->Switch();
  for (int row = 0; row < kRows; ++row) {
    const size_t r = static_cast<size_t>(row);
    const SwitchOnc onc = layout.Oncs(ShownInput, static_cast<uint32_t>(row));
    ShowAddress(EditOncAddress[r], onc.Address());
    SelectItem(ComboBoxOncState[r], MessageIndexOf(onc.Message()));
    CheckBoxOncDisabled[r]->setChecked(onc.Enabled() != 0);
    CheckBoxOncStopSequence[r]->setChecked(onc.StopSequence() != 0);
    SelectItem(ComboBoxOncStartSequence[r], StartItem(onc.StartSequence()));
    const uint32_t leds[kIndicators] = {onc.Indicator1(), onc.Indicator2(), onc.Indicator3(),
                                        onc.Indicator4()};
    for (int k = 0; k < kIndicators; ++k) {
      SelectItem(ComboBoxOncLed[static_cast<size_t>(k)][r], LedItem(leds[k]));
    }
  }
  Updating = false;
}

void TSwitchOncFrame::OnEditOncAddressExit(QLineEdit* edit) {
  const int row = RowOf(edit);
  if (row < 0) return;
  const uint32_t v = TypedValue(edit->text(), 255);
  if (v >= 64 && v != 255) {
    edit->setText(EnteredText);
    return;
  }
  Table->Switch().Oncs(ShownInput, static_cast<uint32_t>(row)).SetAddress(v);
  if (v == 255) edit->clear();
  PaintAddress(edit, v);
}

void TSwitchOncFrame::OnComboBoxOncStateSelect(int row) {
  if (Updating) return;
  const int item = ComboBoxOncState[static_cast<size_t>(row)]->currentIndex();
  Table->Switch()
      .Oncs(ShownInput, static_cast<uint32_t>(row))
      .SetMessageIndex(static_cast<uint32_t>(item));
  Changed();
}

void TSwitchOncFrame::OnCheckBoxOncDisabledClick(int row) {
  if (Updating) return;
  Table->Switch()
      .Oncs(ShownInput, static_cast<uint32_t>(row))
      .SetEnabled(CheckBoxOncDisabled[static_cast<size_t>(row)]->isChecked() ? 1 : 0);
  Changed();
}

void TSwitchOncFrame::OnCheckBoxOncStopSequenceClick(int row) {
  if (Updating) return;
  Table->Switch()
      .Oncs(ShownInput, static_cast<uint32_t>(row))
      .SetStopSequence(CheckBoxOncStopSequence[static_cast<size_t>(row)]->isChecked() ? 1 : 0);
  Changed();
}

void TSwitchOncFrame::OnComboBoxOncStartSequenceSelect(int row) {
  if (Updating) return;
  const int item = ComboBoxOncStartSequence[static_cast<size_t>(row)]->currentIndex();
  Table->Switch().Oncs(ShownInput, static_cast<uint32_t>(row)).SetStartSequence(StartStored(item));
  Changed();
}

void TSwitchOncFrame::OnComboBoxOncLedSelect(int row, int indicator) {
  if (Updating) return;
  const int item =
      ComboBoxOncLed[static_cast<size_t>(indicator)][static_cast<size_t>(row)]->currentIndex();
  SwitchOnc onc = Table->Switch().Oncs(ShownInput, static_cast<uint32_t>(row));
  onc.SetIndicator(static_cast<uint32_t>(indicator), LedStored(item));
  Changed();
}

}  // namespace lumetra
