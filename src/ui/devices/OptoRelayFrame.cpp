// The opto-relay editor: what its rows show of the record, what a change stores there, and the
// writes and tests it sends.
#include "ui/devices/OptoRelayFrame.h"
#include "ui/devices/MemoryWrite.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <atomic>
#include <memory>

#include "model/ControllerConfig.h"
#include "model/MessageCodeTable.h"
#include "model/RelayOutputs.h"
#include "sequences/DeviceSequences.h"
#include "sequences/OptoRelaySequences.h"
#include "ui/Widgets.h"

namespace lumetra {

namespace {

const QColor kRejectedSource(255, 0, 0);
constexpr uint32_t kNoAddress = 255;
constexpr uint32_t kNoLevel = 0xFFFF;
constexpr uint32_t kMaxLevel = 65000;
constexpr int kRowHeight = 21;

const QStringList kOperatorItems = {QString(), QStringLiteral("<"), QStringLiteral("<="),
                                    QStringLiteral(">"), QStringLiteral(">=")};
const QStringList kActionItems = {QString(), QStringLiteral("vypnúť"), QStringLiteral("zapnúť")};

template <typename W>
W* RowControl(const char* prefix, int row, const QString& suffix) {
  auto* w = new W;
  w->setObjectName(QString::fromLatin1(prefix) + QString::number(row + 1) + suffix);
  return w;
}

// Item `item` of the box, or none when the stored value has no item.
void SelectItem(QComboBox* combo, uint32_t item) {
  combo->setCurrentIndex(item < static_cast<uint32_t>(combo->count()) ? static_cast<int>(item)
                                                                      : -1);
}

QLabel* Caption(const QString& text) { return new QLabel(text); }

// A bevelled area of the editor, as the host's.
QFrame* Area(QWidget* content) {
  auto* area = new QFrame;
  area->setFrameShape(QFrame::StyledPanel);
  area->setFrameShadow(QFrame::Raised);
  auto* layout = new QVBoxLayout(area);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->addWidget(content);
  return area;
}

}  // namespace

TOptoRelayFrame::TOptoRelayFrame(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("OptoRelayFrame"));
  setFrameShape(QFrame::StyledPanel);
  setFrameShadow(QFrame::Raised);
  EditFocus = new TEditFocusFilter(this);
  auto* right = new QVBoxLayout;
  right->addWidget(Area(BuildEnableArea()));
  right->addWidget(Area(BuildTestArea()));
  right->addStretch(1);
  auto* top = new QHBoxLayout(this);
  top->setContentsMargins(4, 4, 4, 4);
  top->addWidget(BuildResponsesArea(), 1);
  top->addLayout(right, 0);
}

QWidget* TOptoRelayFrame::BuildEnableArea() {
  CheckBoxEnabled = Named<QCheckBox>("CheckBoxEnabled", QStringLiteral("Optorelé povolené"));
  auto* area = new QWidget;
  auto* layout = new QVBoxLayout(area);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(CheckBoxEnabled);
  layout->addWidget(MakeWriteButton("ButtonWriteEnabled", "PanelWriteEnabled", ButtonWriteEnabled,
                                    PanelWriteEnabled),
                    0, Qt::AlignLeft);
  connect(CheckBoxEnabled, &QCheckBox::clicked, this, [this](bool) { OnCheckBoxEnabledClick(); });
  connect(ButtonWriteEnabled, &QPushButton::clicked, this,
          [this](bool) { OnButtonWriteEnabledClick(); });
  Guard.Watch(CheckBoxEnabled);
  return area;
}

QWidget* TOptoRelayFrame::BuildResponsesArea() {
  auto* area = new QWidget;
  auto* grid = new QGridLayout(area);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setVerticalSpacing(0);
  grid->setHorizontalSpacing(4);
  RadioButton1To16 = Named<QRadioButton>("RadioButton1To16", QStringLiteral("1 - 16"));
  RadioButton17To32 = Named<QRadioButton>("RadioButton17To32", QStringLiteral("17 - 32"));
  RadioButton1To16->setChecked(true);
  for (QRadioButton* page : {RadioButton1To16, RadioButton17To32}) {
    connect(page, &QRadioButton::clicked, this, [this](bool) { OnRadioButtonOncGroupClick(); });
  }
  // The responses' write sits on their caption line: it writes what the rows below hold.
  auto* pages = new QHBoxLayout;
  pages->addWidget(Caption(QStringLiteral("Odozvy na správy z okolia:")));
  pages->addSpacing(12);
  pages->addWidget(RadioButton1To16);
  pages->addWidget(RadioButton17To32);
  pages->addStretch(1);
  pages->addWidget(BuildWriteArea());
  grid->addLayout(pages, 0, 0, 1, 7 + kOutputs);

  constexpr int kHeaderRow = 1;
  const QString headers[] = {QStringLiteral("Adresa"), QStringLiteral("Správa"),
                             QStringLiteral("Operátor"), QStringLiteral("Úroveň"),
                             QStringLiteral("Činnosť")};
  for (int c = 0; c < 5; ++c) grid->addWidget(Caption(headers[c]), kHeaderRow, 1 + c);
  grid->addWidget(Caption(QStringLiteral("Výstup")), kHeaderRow, 6, 1, kOutputs, Qt::AlignHCenter);
  // The output letters each over their own column, so that they stay above their boxes in any
  // font.
  for (int n = 0; n < kOutputs; ++n) {
    grid->addWidget(Caption(QString(QChar('A' + n))), kHeaderRow + 1, 6 + n, Qt::AlignHCenter);
  }
  for (int row = 0; row < kRows; ++row) {
    BuildRow(row);
    const size_t r = static_cast<size_t>(row);
    const int line = kHeaderRow + 2 + row;
    RowNumbers[r] = Caption(QString::number(row + 1));
    grid->addWidget(RowNumbers[r], line, 0, Qt::AlignRight);
    grid->addWidget(EditOncAddress[r], line, 1);
    grid->addWidget(ComboBoxOncState[r], line, 2);
    grid->addWidget(ComboBoxOncOperator[r], line, 3);
    grid->addWidget(EditOncLevel[r], line, 4);
    grid->addWidget(ComboBoxOncAction[r], line, 5);
    for (int n = 0; n < kOutputs; ++n) {
      grid->addWidget(CheckBoxOncOutput[static_cast<size_t>(n)][r], line, 6 + n, Qt::AlignHCenter);
    }
  }
  for (int n = 0; n < kOutputs; ++n) grid->setColumnMinimumWidth(6 + n, 26);
  grid->setRowStretch(kHeaderRow + 2 + kRows, 1);
  grid->setColumnStretch(2, 1);
  return area;
}

void TOptoRelayFrame::BuildRow(int row) {
  const size_t r = static_cast<size_t>(row);
  QLineEdit* address = EditOncAddress[r] =
      RowControl<QLineEdit>("Edit", row, QStringLiteral("OncAddress"));
  MakeDigitsOnly(address, 3);
  address->setFixedWidth(40);
  QComboBox* state = ComboBoxOncState[r] =
      RowControl<QComboBox>("ComboBox", row, QStringLiteral("OncState"));
  for (const MessageCode& m : MessageCodeTable) state->addItem(QString::fromUtf8(m.Text));
  QComboBox* op = ComboBoxOncOperator[r] =
      RowControl<QComboBox>("ComboBox", row, QStringLiteral("OncOperator"));
  op->addItems(kOperatorItems);
  op->setFixedWidth(52);
  QLineEdit* level = EditOncLevel[r] =
      RowControl<QLineEdit>("Edit", row, QStringLiteral("OncLevel"));
  MakeDigitsOnly(level, 5);
  level->setFixedWidth(55);
  QComboBox* action = ComboBoxOncAction[r] =
      RowControl<QComboBox>("ComboBox", row, QStringLiteral("OncAction"));
  action->addItems(kActionItems);
  action->setFixedWidth(72);
  for (int n = 0; n < kOutputs; ++n) {
    QCheckBox*& box = CheckBoxOncOutput[static_cast<size_t>(n)][r];
    box = RowControl<QCheckBox>("CheckBox", row,
                                QStringLiteral("OncOutput") + QString::number(n + 1));
    connect(box, &QCheckBox::clicked, this,
            [this, row, n](bool) { OnCheckBoxOncOutputClick(row, n); });
  }

  for (QLineEdit* edit : {address, level}) {
    connect(edit, &QLineEdit::textChanged, this, [this](const QString&) { OnCommandChange(); });
  }
  EditFocus->Watch(
      address, [this](QLineEdit* e) { OnEditEnter(e); },
      [this](QLineEdit* e) { OnEditOncAddressExit(e); });
  EditFocus->Watch(
      level, [this](QLineEdit* e) { OnEditEnter(e); },
      [this](QLineEdit* e) { OnEditOncLevelExit(e); });
  connect(state, &QComboBox::activated, this, [this, row](int) { OnComboBoxOncStateSelect(row); });
  connect(op, &QComboBox::activated, this, [this, row](int) { OnComboBoxOncOperatorSelect(row); });
  connect(action, &QComboBox::activated, this,
          [this, row](int) { OnComboBoxOncActionSelect(row); });
  for (QComboBox* combo : {state, op, action}) combo->installEventFilter(this);
  // Sixteen rows and their captions fit under the host's common fields.
  for (QWidget* w :
       {static_cast<QWidget*>(address), static_cast<QWidget*>(state), static_cast<QWidget*>(op),
        static_cast<QWidget*>(level), static_cast<QWidget*>(action)}) {
    w->setFixedHeight(kRowHeight);
  }
}

QWidget* TOptoRelayFrame::BuildWriteArea() {
  LabelWritten = MakeWriteCounter();
  auto* area = new QWidget;
  auto* layout = new QHBoxLayout(area);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(LabelWritten);
  layout->addWidget(MakeWriteButton("ButtonWriteNewValues", "PanelWriteNewValues",
                                    ButtonWriteNewValues, PanelWriteNewValues));
  connect(ButtonWriteNewValues, &QPushButton::clicked, this,
          [this](bool) { OnButtonWriteNewValuesClick(); });
  return area;
}

QWidget* TOptoRelayFrame::BuildTestArea() {
  RadioGroupOutputs = new TRadioGroup(
      QStringLiteral("RadioGroupOutputs"), QStringLiteral("Výstup"),
      {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")});
  ButtonOn = Named<QPushButton>("ButtonOn", QStringLiteral("Zapnúť"));
  ButtonOff = Named<QPushButton>("ButtonOff", QStringLiteral("Vypnúť"));
  auto* area = new QWidget;
  auto* layout = new QVBoxLayout(area);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(RadioGroupOutputs);
  layout->addWidget(ButtonOn);
  layout->addWidget(ButtonOff);
  connect(ButtonOn, &QPushButton::clicked, this, [this](bool) { OnButtonOnClick(); });
  connect(ButtonOff, &QPushButton::clicked, this, [this](bool) { OnButtonOffClick(); });
  return area;
}

void TOptoRelayFrame::Attach(BusSession& session, TControllerConfig& table,
                             TNavigation& navigation) {
  Session = &session;
  Table = &table;
  Navigation = &navigation;
}

int TOptoRelayFrame::PageOffset() const { return RadioButton17To32->isChecked() ? kRows : 0; }

RelayOnc TOptoRelayFrame::OncAt(int row) const {
  return Table->OptoRelay().Oncs(static_cast<uint32_t>(row + PageOffset()));
}

int TOptoRelayFrame::RowOf(const std::array<QLineEdit*, kRows>& column,
                           const QLineEdit* edit) const {
  for (int row = 0; row < kRows; ++row) {
    if (column[static_cast<size_t>(row)] == edit) return row;
  }
  return -1;
}

void TOptoRelayFrame::PaintAddress(QLineEdit* edit, uint32_t address) {
  QPalette palette = edit->palette();
  const bool known = address == kNoAddress || Table->IsMultimasterAt(address);
  palette.setColor(QPalette::Base,
                   known ? QApplication::palette(edit).color(QPalette::Base) : kRejectedSource);
  edit->setPalette(palette);
}

void TOptoRelayFrame::ShowDevice(bool hidePanels) {
  if (Table == nullptr) return;
  Updating = true;
  const uint8_t enabled = Table->OptoRelay().RelayEnabled();
  // An erased byte was never set: shown as unknown until the user decides.
  TEditGuard::ShowCheck(CheckBoxEnabled, enabled == 0 ? 0 : enabled == kNotRead ? kNotRead : 1);
  ShowResponses();
  LabelWritten->clear();
  if (hidePanels) ShowPendingWrites();
  Guard.Filled();
  Updating = false;
}

void TOptoRelayFrame::ShowResponses() {
  const bool updating = Updating;
  Updating = true;
  for (int row = 0; row < kRows; ++row) {
    const size_t r = static_cast<size_t>(row);
    // The rows are numbered as the responses of the page: 1..16 or 17..32.
    RowNumbers[r]->setText(QString::number(row + 1 + PageOffset()));
    const RelayOnc onc = OncAt(row);
    const uint32_t address = onc.Address();
    EditOncAddress[r]->setText(address == kNoAddress ? QString() : QString::number(address));
    PaintAddress(EditOncAddress[r], address);
    SelectItem(ComboBoxOncState[r], onc.MessageIndex());
    SelectItem(ComboBoxOncOperator[r], (onc.Operator() + 1u) & 0xFF);
    const uint32_t level = onc.Level();
    EditOncLevel[r]->setText(level <= kMaxLevel ? QString::number(level) : QString());
    SelectItem(ComboBoxOncAction[r], (onc.Action() + 1u) & 0xFF);
    const uint8_t outputs = ShownOutputs(onc);
    for (int n = 0; n < kOutputs; ++n) {
      CheckBoxOncOutput[static_cast<size_t>(n)][r]->setChecked(((outputs >> n) & 1) != 0);
    }
  }
  Updating = updating;
}

void TOptoRelayFrame::ShowPendingWrites() {
  ShowPending(PanelWriteEnabled, PlanEnableWrite(*Table, kOptoRelayImage));
  ShowPending(PanelWriteNewValues, PlanRelayResponses(*Table));
}

void TOptoRelayFrame::ShowChanged() {
  if (!Updating) PanelWriteNewValues->show();
}

void TOptoRelayFrame::OnCheckBoxEnabledClick() {
  if (Updating) return;
  Table->OptoRelay().SetRelayEnabled(CheckBoxEnabled->isChecked() ? 1 : 0);
  PanelWriteEnabled->setVisible(Guard.Changed(CheckBoxEnabled));
}

void TOptoRelayFrame::OnRadioButtonOncGroupClick() {
  if (Updating) return;
  // Another page of the same record: nothing changes in the table.
  Updating = true;
  ShowResponses();
  Updating = false;
}

void TOptoRelayFrame::OnEditEnter(QLineEdit* edit) { EnteredText = edit->text(); }

void TOptoRelayFrame::OnCommandChange() { ShowChanged(); }

void TOptoRelayFrame::OnEditOncAddressExit(QLineEdit* edit) {
  const int row = RowOf(EditOncAddress, edit);
  if (row < 0 || Updating) return;
  const uint32_t v = TypedValue(edit->text(), kNoAddress);
  if (v > 255) {
    edit->setText(EnteredText);
    return;
  }
  OncAt(row).SetAddress(v);
  if (v == kNoAddress) edit->clear();
  PaintAddress(edit, v);
}

void TOptoRelayFrame::OnEditOncLevelExit(QLineEdit* edit) {
  const int row = RowOf(EditOncLevel, edit);
  if (row < 0 || Updating) return;
  const uint32_t v = TypedValue(edit->text(), kNoLevel);
  if (v > kMaxLevel && v != kNoLevel) {
    edit->setText(EnteredText);
    return;
  }
  OncAt(row).SetLevel(v);
  if (v == kNoLevel) edit->clear();
}

void TOptoRelayFrame::OnComboBoxOncStateSelect(int row) {
  if (Updating) return;
  OncAt(row).SetMessageIndex(
      static_cast<uint32_t>(ComboBoxOncState[static_cast<size_t>(row)]->currentIndex()));
  ShowChanged();
}

void TOptoRelayFrame::OnComboBoxOncOperatorSelect(int row) {
  if (Updating) return;
  const int item = ComboBoxOncOperator[static_cast<size_t>(row)]->currentIndex();
  OncAt(row).SetOperator(static_cast<uint32_t>(item - 1) & 0xFF);
  ShowChanged();
}

uint8_t TOptoRelayFrame::CheckedOutputs(int row) const {
  uint8_t outputs = 0;
  for (int n = 0; n < kOutputs; ++n) {
    if (CheckBoxOncOutput[static_cast<size_t>(n)][static_cast<size_t>(row)]->isChecked()) {
      outputs |= static_cast<uint8_t>(1u << n);
    }
  }
  return outputs;
}

void TOptoRelayFrame::OnComboBoxOncActionSelect(int row) {
  if (Updating) return;
  const int item = ComboBoxOncAction[static_cast<size_t>(row)]->currentIndex();
  RelayOnc onc = OncAt(row);
  // The empty item leaves all four action bits set: no action. The outputs are the ones the row
  // shows, also where the byte was erased and its output bits were never chosen.
  onc.SetRelayOn(CheckedOutputs(row));
  onc.SetAction(static_cast<uint32_t>(item - 1));
  ShowChanged();
}

void TOptoRelayFrame::OnCheckBoxOncOutputClick(int row, int output) {
  if (Updating) return;
  // Output `output` as clicked, the other three as the row shows them (an erased byte shows none).
  static_cast<void>(output);
  RelayOnc onc = OncAt(row);
  onc.SetRelayOn(static_cast<uint32_t>(onc.RelayOn() & 0xF0) | CheckedOutputs(row));
  ShowChanged();
}

bool TOptoRelayFrame::Report(const SequenceResult& result) { return ReportSequence(this, result); }

void TOptoRelayFrame::OnButtonWriteEnabledClick() {
  if (Session == nullptr) return;
  if (Report(WriteRelayEnabled(*Session, *Table))) Guard.Written(CheckBoxEnabled);
  ShowPendingWrites();
}

void TOptoRelayFrame::OnButtonWriteNewValuesClick() {
  if (Navigation == nullptr) return;
  RunImageWrite(*Navigation, LabelWritten, *Table, PlanRelayResponses(*Table),
                [this](const SequenceResult& result) {
                  // A write that did not complete leaves the device partly old: the panel stays.
                  Report(result);
                  ShowPendingWrites();
                });
}

void TOptoRelayFrame::SendTest(bool on) {
  if (Session == nullptr) return;
  Report(TestRelayOutput(*Session, *Table, RadioGroupOutputs->ItemIndex(), on));
}

void TOptoRelayFrame::OnButtonOnClick() { SendTest(true); }

void TOptoRelayFrame::OnButtonOffClick() { SendTest(false); }

bool TOptoRelayFrame::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::Wheel || !qobject_cast<QComboBox*>(watched)) {
    return QFrame::eventFilter(watched, event);
  }
  // A combo box would change its choice, and the record with it, under a scrolling wheel: the step
  // scrolls the window instead.
  const auto* wheel = static_cast<QWheelEvent*>(event);
  for (QWidget* w = parentWidget(); w != nullptr; w = w->parentWidget()) {
    if (auto* area = qobject_cast<QAbstractScrollArea*>(w)) {
      QWheelEvent step(area->viewport()->mapFromGlobal(wheel->globalPosition()),
                       wheel->globalPosition(), wheel->pixelDelta(), wheel->angleDelta(),
                       wheel->buttons(), wheel->modifiers(), wheel->phase(), wheel->inverted());
      QApplication::sendEvent(area->viewport(), &step);
      break;
    }
  }
  return true;
}

}  // namespace lumetra
