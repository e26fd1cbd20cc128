// The motion sensor page: what each control shows of the table, what an entry stores, and the
// writes and tests it sends.
#include "ui/devices/PIRSensorFrame.h"
#include "ui/devices/MemoryWrite.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QPointer>
#include <QVBoxLayout>
#include <atomic>
#include <memory>

#include "model/ControllerConfig.h"
#include "model/ErasedValues.h"
#include "model/LightsAddress.h"
#include "model/MessageCodeTable.h"
#include "sequences/DeviceSequences.h"
#include "ui/EditGuard.h"
#include "ui/LumetraApplication.h"
#include "ui/NavigatedView.h"
#include "ui/Widgets.h"
#include "ui/devices/OncFrame.h"
#include "ui/devices/SensorFrameParts.h"

namespace lumetra {

namespace {

constexpr uint32_t kNoLevel = kErasedByte;
constexpr int kWrittenBytes = 169;  // the counter's last value: 170 data bytes from 0

QLineEdit* NumberEdit(const char* name, int maxLength, int width) {
  auto* edit = Named<QLineEdit>(name);
  MakeDigitsOnly(edit, maxLength);
  edit->setFixedWidth(width);
  return edit;
}

QFrame* Area(QLayout* content) {
  auto* area = new QFrame;
  area->setFrameShape(QFrame::StyledPanel);
  area->setFrameShadow(QFrame::Raised);
  area->setLayout(content);
  return area;
}

QString TwoDigits(uint32_t n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); }

template <typename W>
W* RowControl(const char* prefix, int row, const char* suffix) {
  auto* w = new W;
  w->setObjectName(QString::fromLatin1(prefix) + QString::number(row + 1) +
                   QString::fromLatin1(suffix));
  return w;
}

}  // namespace

TPIRSensorFrame::TPIRSensorFrame(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("PIRSensorFrame"));
  EditFocus = new TEditFocusFilter(this);
  auto* top = new QHBoxLayout;
  auto* left = new QVBoxLayout;
  left->addWidget(BuildEnableArea());
  left->addWidget(BuildCommandsArea());
  top->addLayout(left, 1);
  top->addWidget(BuildLightsArea());
  top->addWidget(BuildTestsArea());
  auto* page = new QVBoxLayout(this);
  page->setContentsMargins(0, 0, 0, 0);
  page->addLayout(top);
  page->addWidget(BuildResponsesArea(), 1);
  ConnectHandlers();
}

QWidget* TPIRSensorFrame::BuildEnableArea() {
  CheckBoxSensorEnabled =
      Named<QCheckBox>("CheckBoxSensorEnabled", QStringLiteral("Senzor povolený"));
  auto* line = new QHBoxLayout;
  line->addWidget(CheckBoxSensorEnabled);
  line->addStretch(1);
  line->addWidget(MakeWriteButton("ButtonWriteSensorsEnabled", "PanelWriteEnabled",
                                  ButtonWriteSensorsEnabled, PanelWriteEnabled));
  return Area(line);
}

QWidget* TPIRSensorFrame::BuildCommandsArea() {
  EditCmnd1Level = NumberEdit("EditCmnd1Level", 3, 40);
  EditCmnd2Level = NumberEdit("EditCmnd2Level", 3, 40);
  EditCmnd3Level = NumberEdit("EditCmnd3Level", 3, 40);
  EditCmnd1TimeoutH = NumberEdit("EditCmnd1TimeoutH", 2, 26);
  EditCmnd1TimeoutM = NumberEdit("EditCmnd1TimeoutM", 2, 26);
  EditCmnd1TimeoutS = NumberEdit("EditCmnd1TimeoutS", 2, 26);
  EditCmnd2TimeoutH = NumberEdit("EditCmnd2TimeoutH", 2, 26);
  EditCmnd2TimeoutM = NumberEdit("EditCmnd2TimeoutM", 2, 26);
  EditCmnd2TimeoutS = NumberEdit("EditCmnd2TimeoutS", 2, 26);
  LabelCmnd1Percent = Named<QLabel>("LabelCmnd1Percent", QStringLiteral("%"));
  LabelCmnd2Percent = Named<QLabel>("LabelCmnd2Percent", QStringLiteral("%"));
  LabelCmnd3Percent = Named<QLabel>("LabelCmnd3Percent", QStringLiteral("%"));
  EditCmndLevel = {EditCmnd1Level, EditCmnd2Level, EditCmnd3Level};
  LabelCmndPercent = {LabelCmnd1Percent, LabelCmnd2Percent, LabelCmnd3Percent};
  EditCmndTimeoutH = {EditCmnd1TimeoutH, EditCmnd2TimeoutH};
  EditCmndTimeoutM = {EditCmnd1TimeoutM, EditCmnd2TimeoutM};
  EditCmndTimeoutS = {EditCmnd1TimeoutS, EditCmnd2TimeoutS};

  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(4);
  const QString titles[kCommands] = {QStringLiteral("Rozsvecovanie"),
                                     QStringLiteral("1. stmievanie"),
                                     QStringLiteral("2. stmievanie")};
  grid->addWidget(new QLabel(QStringLiteral("Úroveň")), 1, 0);
  grid->addWidget(new QLabel(QStringLiteral("Čakať")), 2, 0);
  grid->addWidget(new QLabel(QStringLiteral("h : m : s")), 3, 0);
  for (int c = 0; c < kCommands; ++c) {
    const size_t i = static_cast<size_t>(c);
    grid->addWidget(new QLabel(titles[c]), 0, 1 + c);
    auto* level = new QHBoxLayout;
    level->addWidget(EditCmndLevel[i]);
    level->addWidget(LabelCmndPercent[i]);
    level->addStretch(1);
    grid->addLayout(level, 1, 1 + c);
    if (c >= kTimedCommands) continue;
    auto* wait = new QHBoxLayout;
    wait->setSpacing(2);
    wait->addWidget(EditCmndTimeoutH[i]);
    wait->addWidget(new QLabel(QStringLiteral(":")));
    wait->addWidget(EditCmndTimeoutM[i]);
    wait->addWidget(new QLabel(QStringLiteral(":")));
    wait->addWidget(EditCmndTimeoutS[i]);
    wait->addStretch(1);
    grid->addLayout(wait, 2, 1 + c, 2, 1, Qt::AlignTop);
  }
  grid->setColumnStretch(kCommands, 1);
  return Area(grid);
}

QWidget* TPIRSensorFrame::BuildLightsArea() {
  RadioGroupCmndAddressType = new TRadioGroup(
      QStringLiteral("RadioGroupCmndAddressType"), QStringLiteral("Ovládané svietidlá"),
      {QStringLiteral("všetky"), QStringLiteral("skupina"), QStringLiteral("jedno")});
  EditCmndAddress = NumberEdit("EditCmndAddress", 3, 40);
  EditCmndAddress->setText(QStringLiteral("1"));
  LabelWritten = Named<QLabel>("LabelWritten", QStringLiteral("0"));
  LabelWritten->setAlignment(Qt::AlignCenter);
  LabelWritten->setMinimumWidth(83);
  auto* number = new QHBoxLayout;
  number->addWidget(new QLabel(QStringLiteral("číslo:")));
  number->addWidget(EditCmndAddress);
  number->addStretch(1);
  auto* column = new QVBoxLayout;
  column->addWidget(RadioGroupCmndAddressType);
  column->addLayout(number);
  column->addStretch(1);
  column->addWidget(MakeWriteButton("ButtonWriteCmndSequences", "PanelWriteCommand",
                                    ButtonWriteCmndSequences, PanelWriteCommand),
                    0, Qt::AlignHCenter);
  column->addWidget(LabelWritten);
  return Area(column);
}

QWidget* TPIRSensorFrame::BuildTestsArea() {
  ButtonAlarm = Named<QPushButton>("ButtonAlarm", QStringLiteral("Alarm"));
  ButtonQuiet = Named<QPushButton>("ButtonQuiet", QStringLiteral("Kľud"));
  ButtonOff = Named<QPushButton>("ButtonOff", QStringLiteral("Vypnúť"));
  ButtonOn = Named<QPushButton>("ButtonOn", QStringLiteral("Zasvietiť"));
  ButtonBlinkWhole = Named<QPushButton>("ButtonBlinkWhole", QStringLiteral("Blikať 1 s"));
  ButtonBlinkHalf = Named<QPushButton>("ButtonBlinkHalf", QStringLiteral("Blikať 1/2 s"));
  ButtonBlinkQuarter = Named<QPushButton>("ButtonBlinkQuarter", QStringLiteral("Blikať 1/4 s"));
  ButtonBlinkEighth = Named<QPushButton>("ButtonBlinkEighth", QStringLiteral("Blikať1/8 s"));
  auto* grid = new QGridLayout;
  grid->setVerticalSpacing(2);
  grid->addWidget(ButtonAlarm, 0, 0);
  grid->addWidget(ButtonQuiet, 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("Indikátor")), 1, 0, 1, 2);
  QPushButton* indicator[] = {ButtonOff,       ButtonOn,           ButtonBlinkWhole,
                              ButtonBlinkHalf, ButtonBlinkQuarter, ButtonBlinkEighth};
  for (int i = 0; i < 6; ++i) grid->addWidget(indicator[i], 2 + i / 2, i % 2);
  grid->setRowStretch(5, 1);
  return Area(grid);
}

QWidget* TPIRSensorFrame::BuildResponsesArea() {
  RadioButton1To16 = Named<QRadioButton>("RadioButton1To16", QStringLiteral("1 - 16"));
  RadioButton17To32 = Named<QRadioButton>("RadioButton17To32", QStringLiteral("17 - 32"));
  RadioButton1To16->setChecked(true);
  auto* heading = new QHBoxLayout;
  heading->addWidget(new QLabel(QStringLiteral("Odozvy na správy z okolia:")));
  heading->addSpacing(12);
  heading->addWidget(RadioButton1To16);
  heading->addWidget(RadioButton17To32);
  heading->addStretch(1);
  auto* blocks = new QHBoxLayout;
  blocks->addWidget(BuildResponseBlock(0));
  blocks->addWidget(BuildResponseBlock(kRows / 2));
  auto* area = new QVBoxLayout;
  area->addLayout(heading);
  area->addLayout(blocks);
  area->addStretch(1);
  return Area(area);
}

QWidget* TPIRSensorFrame::BuildResponseBlock(int firstRow) {
  auto* block = new QWidget;
  auto* grid = new QGridLayout(block);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setVerticalSpacing(1);
  const QString headings[] = {QStringLiteral("Adresa"), QStringLiteral("Správa"),
                              QStringLiteral("Úroveň"), QStringLiteral("Zakázať")};
  for (int column = 0; column < 4; ++column) {
    grid->addWidget(new QLabel(headings[column]), 0, 1 + column);
  }
  for (int row = firstRow; row < firstRow + kRows / 2; ++row) {
    const size_t r = static_cast<size_t>(row);
    QLineEdit* address = EditOncAddress[r] = RowControl<QLineEdit>("Edit", row, "OncAddress");
    MakeDigitsOnly(address, 3);
    address->setFixedWidth(36);
    QComboBox* state = ComboBoxOncState[r] = RowControl<QComboBox>("ComboBox", row, "OncState");
    for (int i = 0; i < kMessageItems; ++i) {
      state->addItem(QString::fromUtf8(MessageCodeTable[static_cast<size_t>(i)].Text));
    }
    QLineEdit* level = EditOncLevel[r] = RowControl<QLineEdit>("Edit", row, "OncLevel");
    MakeDigitsOnly(level, 3);
    level->setFixedWidth(36);
    QCheckBox* disabled = CheckBoxOncDisabled[r] =
        RowControl<QCheckBox>("CheckBox", row, "OncDisabled");
    const int line = 1 + row - firstRow;
    QLabel* number = LabelOncNumber[r] = new QLabel(QString::number(row + 1));
    number->setMinimumWidth(number->fontMetrics().horizontalAdvance(QStringLiteral("32")));
    grid->addWidget(number, line, 0);
    grid->addWidget(address, line, 1);
    grid->addWidget(state, line, 2);
    grid->addWidget(level, line, 3);
    grid->addWidget(disabled, line, 4, Qt::AlignHCenter);
  }
  grid->setColumnStretch(2, 1);
  return block;
}

void TPIRSensorFrame::WatchEdit(QLineEdit* edit, void (TPIRSensorFrame::*onExit)(QLineEdit*)) {
  EditFocus->Watch(
      edit, [this](QLineEdit* e) { OnEditEnter(e); },
      [this, onExit](QLineEdit* e) { (this->*onExit)(e); });
}

void TPIRSensorFrame::ConnectHandlers() {
  for (QLineEdit* edit : EditCmndLevel) WatchEdit(edit, &TPIRSensorFrame::OnEditCmndLevelExit);
  for (QLineEdit* edit : EditCmndTimeoutH)
    WatchEdit(edit, &TPIRSensorFrame::OnEditCmndTimeoutHExit);
  for (QLineEdit* edit : EditCmndTimeoutM)
    WatchEdit(edit, &TPIRSensorFrame::OnEditCmndTimeoutMExit);
  for (QLineEdit* edit : EditCmndTimeoutS)
    WatchEdit(edit, &TPIRSensorFrame::OnEditCmndTimeoutSExit);
  WatchEdit(EditCmndAddress, &TPIRSensorFrame::OnEditCmndAddressExit);
  for (QLineEdit* edit : EditOncAddress) WatchEdit(edit, &TPIRSensorFrame::OnEditOncAddressExit);
  for (QLineEdit* edit : EditOncLevel) WatchEdit(edit, &TPIRSensorFrame::OnEditOncLevelExit);
  for (QLineEdit* edit : findChildren<QLineEdit*>()) {
    ConnectGuarded(edit, &QLineEdit::textChanged, this,
                   [this](const QString&) { OnCommandChange(); });
  }
  ConnectGuarded(CheckBoxSensorEnabled, &QCheckBox::clicked, this,
                 [this](bool) { OnCheckBoxSensorEnabledClick(); });
  ConnectGuarded(RadioGroupCmndAddressType, &TRadioGroup::Clicked, this,
                 [this](int) { OnRadioGroupCmndAddressTypeClick(); });
  for (QRadioButton* page : {RadioButton1To16, RadioButton17To32}) {
    ConnectGuarded(page, &QRadioButton::clicked, this,
                   [this](bool) { OnRadioButtonOncGroupClick(); });
  }
  for (int row = 0; row < kRows; ++row) {
    const size_t r = static_cast<size_t>(row);
    ConnectGuarded(ComboBoxOncState[r], &QComboBox::activated, this,
                   [this, row](int) { OnComboBoxOncStateSelect(row); });
    ConnectGuarded(CheckBoxOncDisabled[r], &QCheckBox::clicked, this,
                   [this, row](bool) { OnCheckBoxOncDisabledClick(row); });
  }
  ConnectClicks(this,
                {
                    {ButtonWriteSensorsEnabled, &TPIRSensorFrame::OnButtonWriteSensorsEnabledClick},
                    {ButtonWriteCmndSequences, &TPIRSensorFrame::OnButtonWriteCmndSequencesClick},
                    {ButtonAlarm, &TPIRSensorFrame::OnButtonAlarmClick},
                    {ButtonQuiet, &TPIRSensorFrame::OnButtonQuietClick},
                    {ButtonOff, &TPIRSensorFrame::OnButtonOffClick},
                    {ButtonOn, &TPIRSensorFrame::OnButtonOnClick},
                    {ButtonBlinkWhole, &TPIRSensorFrame::OnButtonBlinkWholeClick},
                    {ButtonBlinkHalf, &TPIRSensorFrame::OnButtonBlinkHalfClick},
                    {ButtonBlinkQuarter, &TPIRSensorFrame::OnButtonBlinkQuarterClick},
                    {ButtonBlinkEighth, &TPIRSensorFrame::OnButtonBlinkEighthClick},
                });
}

void TPIRSensorFrame::Attach(BusSession& session, TControllerConfig& table,
                             TNavigation& navigation) {
  Session = &session;
  Table = &table;
  Navigation = &navigation;
  ShowPercentLabels();
}

bool TPIRSensorFrame::Report(const SequenceResult& result) { return ReportSequence(this, result); }

void TPIRSensorFrame::ShowPercentLabels() {
  const bool percent = Table != nullptr && Table->PercentMode() == 1;
  for (QLabel* label : LabelCmndPercent) label->setVisible(percent);
}

void TPIRSensorFrame::ShowLevel(QLineEdit* edit, uint8_t level) {
  // No level (255) shows nothing, as an emptied edit stores it.
  const TControllerConfig& t = *Table;
  edit->setText(ErasedByte(level) ? QString()
                                  : QString::fromStdString(t.FormatLevel(
                                        static_cast<int32_t>(t.ConvertLevel(true, level)))));
}

void TPIRSensorFrame::ShowTimeout(int command, uint32_t seconds) {
  const size_t c = static_cast<size_t>(command);
  // A wait never read or set shows nothing: it is not made up into 1193046 hours.
  if (ErasedWait(seconds)) {
    for (QLineEdit* edit : {EditCmndTimeoutH[c], EditCmndTimeoutM[c], EditCmndTimeoutS[c]}) {
      edit->clear();
    }
    return;
  }
  EditCmndTimeoutH[c]->setText(QString::number(seconds / 3600));
  EditCmndTimeoutM[c]->setText(TwoDigits(seconds % 3600 / 60));
  EditCmndTimeoutS[c]->setText(TwoDigits(seconds % 60));
}

void TPIRSensorFrame::ShowDevice() {
  if (Table == nullptr) return;
  TControllerConfig& t = *Table;
  Updating = true;
  const PirSensorLayout layout = t.PirSensor();
  const uint8_t enabled = layout.SensorEnabled();
  // 255 is erased memory or never read: shown as unknown, and not written until decided.
  TEditGuard::ShowCheck(CheckBoxSensorEnabled,
                        enabled == TConfig::kNone ? kNotRead : (enabled != 0 ? 1 : 0));
  for (int c = 0; c < kCommands; ++c) {
    const PirCommand command = layout.Commands(static_cast<uint32_t>(c));
    ShowLevel(EditCmndLevel[static_cast<size_t>(c)], command.Level());
    if (c < kTimedCommands) ShowTimeout(c, command.Timeout());
  }
  sensor_frame::ShowLights(Lights(), layout.CmndAddress());
  ShowResponses();
  ButtonAlarm->setEnabled(true);
  ButtonQuiet->setEnabled(true);
  LabelWritten->clear();
  PanelWriteEnabled->hide();
  PanelWriteCommand->hide();
  Updating = false;
}

int TPIRSensorFrame::ResponseOfRow(int row) const {
  return RadioButton17To32->isChecked() ? row + kRows : row;
}

void TPIRSensorFrame::ShowResponses() {
  const bool updating = Updating;
  Updating = true;
  const TControllerConfig& t = *Table;
  const PirSensorLayout layout = Table->PirSensor();
  for (int row = 0; row < kRows; ++row) {
    const size_t r = static_cast<size_t>(row);
    const PirOnc onc = layout.Oncs(static_cast<uint32_t>(ResponseOfRow(row)));
    LabelOncNumber[r]->setText(QString::number(ResponseOfRow(row) + 1));
    const uint8_t address = onc.Address();
    EditOncAddress[r]->setText(IsResponseSource(address) ? QString::number(address) : QString());
    PaintSourceAddress(EditOncAddress[r], t, address);
    const uint8_t item = onc.MessageIndex();
    ComboBoxOncState[r]->setCurrentIndex(item < kMessageItems ? item : -1);
    ShowLevel(EditOncLevel[r], onc.Level());
    CheckBoxOncDisabled[r]->setChecked(onc.Enabled() != 0);
  }
  Updating = updating;
}

void TPIRSensorFrame::OnEditEnter(QLineEdit* edit) { EnteredText = edit->text(); }

void TPIRSensorFrame::OnCommandChange() {
  if (!Updating) ShowPanelWriteCommand();
}

void TPIRSensorFrame::ShowPanelWriteCommand() { PanelWriteCommand->show(); }

int TPIRSensorFrame::IndexIn(const QLineEdit* edit, const QLineEdit* const* edits, int count) {
  for (int i = 0; i < count; ++i) {
    if (edits[i] == edit) return i;
  }
  return -1;
}

void TPIRSensorFrame::OnEditCmndLevelExit(QLineEdit* edit) {
  const int c = IndexIn(edit, EditCmndLevel.data(), kCommands);
  if (c < 0) return;
  TControllerConfig& t = *Table;
  // An emptied edit means no level, as it shows one.
  const uint32_t level = t.ConvertLevel(false, TypedValue(edit->text(), kNoLevel));
  if (level > kNoLevel) {
    edit->setText(EnteredText);
    return;
  }
  t.PirSensor().Commands(static_cast<uint32_t>(c)).SetLevel(level);
  if (level == kNoLevel) edit->clear();
}

void TPIRSensorFrame::StoreTimeout(QLineEdit* edit, uint32_t limit, const char* format) {
  int c = IndexIn(edit, EditCmndTimeoutH.data(), kTimedCommands);
  if (c < 0) c = IndexIn(edit, EditCmndTimeoutM.data(), kTimedCommands);
  if (c < 0) c = IndexIn(edit, EditCmndTimeoutS.data(), kTimedCommands);
  if (c < 0) return;
  const size_t i = static_cast<size_t>(c);
  const uint32_t hours = TypedValue(EditCmndTimeoutH[i]->text(), 0);
  const uint32_t minutes = TypedValue(EditCmndTimeoutM[i]->text(), 0);
  const uint32_t seconds = TypedValue(EditCmndTimeoutS[i]->text(), 0);
  const uint32_t own = TypedValue(edit->text(), 0);
  const uint32_t total = hours * 3600 + minutes * 60 + seconds;
  if (own > limit || total > kPirMaxTimeout) {
    edit->setText(EnteredText);
    return;
  }
  Table->PirSensor().Commands(static_cast<uint32_t>(c)).SetTimeout(total);
  // The text is read back as its leading digits, so it carries no padding blank; edits left empty
  // show the zero they counted as.
  edit->setText(QString::asprintf(format, own));
  if (EditCmndTimeoutH[i]->text().isEmpty()) EditCmndTimeoutH[i]->setText(QStringLiteral("0"));
  for (QLineEdit* other : {EditCmndTimeoutM[i], EditCmndTimeoutS[i]}) {
    if (other->text().isEmpty()) other->setText(QStringLiteral("00"));
  }
}

void TPIRSensorFrame::OnEditCmndTimeoutHExit(QLineEdit* edit) {
  StoreTimeout(edit, kPirMaxTimeout / 3600, "%d");
}
void TPIRSensorFrame::OnEditCmndTimeoutMExit(QLineEdit* edit) { StoreTimeout(edit, 59, "%02d"); }
void TPIRSensorFrame::OnEditCmndTimeoutSExit(QLineEdit* edit) { StoreTimeout(edit, 59, "%02d"); }

sensor_frame::LightsControls TPIRSensorFrame::Lights() const {
  return {RadioGroupCmndAddressType, EditCmndAddress, true};
}

void TPIRSensorFrame::StoreCmndAddress() {
  if (Updating) return;
  Table->PirSensor().SetCmndAddress(sensor_frame::ChosenLights(Lights()).value_or(kErasedByte));
}

void TPIRSensorFrame::OnRadioGroupCmndAddressTypeClick() {
  // A number the new kind of lights cannot have (the 255 of "všetky", address 40 as a group) is
  // emptied rather than cut to its low bits, and the edit waits for the right one.
  sensor_frame::ChooseLights(Lights());
  StoreCmndAddress();
  if (!Updating) ShowPanelWriteCommand();
  if (EditCmndAddress->isEnabled()) {
    EditCmndAddress->setFocus(Qt::OtherFocusReason);
    EditCmndAddress->selectAll();
  }
}

void TPIRSensorFrame::OnEditCmndAddressExit(QLineEdit* /*edit*/) {
  // Group 0..15 or short address 0..63: anything above would reach other lights than it names.
  if (sensor_frame::LeaveLightsNumber(Lights(), EnteredText)) StoreCmndAddress();
}

void TPIRSensorFrame::OnCheckBoxSensorEnabledClick() {
  if (Updating) return;
  Table->PirSensor().SetSensorEnabled(CheckBoxSensorEnabled->isChecked() ? 1 : 0);
  PanelWriteEnabled->show();
}

void TPIRSensorFrame::OnButtonWriteSensorsEnabledClick() {
  if (Session == nullptr) return;
  if (Report(WritePirSensorEnabled(*Session, *Table))) PanelWriteEnabled->hide();
}

void TPIRSensorFrame::OnButtonWriteCmndSequencesClick() {
  if (Navigation == nullptr) return;
  // 174 exchanges: the worker sends them while the window paints the counter. The navigation
  // locks the editor's controls and the tables until the end, so the record and the selection
  // the sequence reads stay as they are.
  TControllerConfig* table = Table;
  const QPointer<TPIRSensorFrame> self(this);
  RunMemoryWrite(
      *Navigation, LabelWritten, kWrittenBytes + 1, kWrittenBytes,
      [table](BusSession& session) { return WritePirSensorSettings(session, *table); },
      [self](const SequenceResult& result) {
        if (self && self->Report(result)) self->PanelWriteCommand->hide();
      });
}

void TPIRSensorFrame::OnRadioButtonOncGroupClick() {
  if (Updating) return;
  Updating = true;
  ShowResponses();
  Updating = false;
}

void TPIRSensorFrame::OnEditOncAddressExit(QLineEdit* edit) {
  const int row = IndexIn(edit, EditOncAddress.data(), kRows);
  if (row < 0) return;
  // 0..63, or 255 (emptied) for no response; a larger number is refused, not cut to its low bits,
  // so the device answers the address the edit shows.
  const uint32_t address = TypedValue(edit->text(), kNoSource);
  if (!IsResponseSource(address) && address != kNoSource) {
    edit->setText(EnteredText);
    return;
  }
  Table->PirSensor().Oncs(static_cast<uint32_t>(ResponseOfRow(row))).SetAddress(address);
  if (address == kNoSource) edit->clear();
  PaintSourceAddress(edit, *Table, address);
}

void TPIRSensorFrame::OnComboBoxOncStateSelect(int row) {
  if (Updating) return;
  const int item = ComboBoxOncState[static_cast<size_t>(row)]->currentIndex();
  Table->PirSensor()
      .Oncs(static_cast<uint32_t>(ResponseOfRow(row)))
      .SetMessageIndex(static_cast<uint32_t>(item));
  ShowPanelWriteCommand();
}

void TPIRSensorFrame::OnEditOncLevelExit(QLineEdit* edit) {
  const int row = IndexIn(edit, EditOncLevel.data(), kRows);
  if (row < 0) return;
  TControllerConfig& t = *Table;
  const uint32_t level = t.ConvertLevel(false, TypedValue(edit->text(), kNoLevel));
  if (level > kNoLevel) {
    edit->setText(EnteredText);
    return;
  }
  t.PirSensor().Oncs(static_cast<uint32_t>(ResponseOfRow(row))).SetLevel(level);
  if (level == kNoLevel) edit->clear();
}

void TPIRSensorFrame::OnCheckBoxOncDisabledClick(int row) {
  if (Updating) return;
  Table->PirSensor()
      .Oncs(static_cast<uint32_t>(ResponseOfRow(row)))
      .SetEnabled(CheckBoxOncDisabled[static_cast<size_t>(row)]->isChecked() ? 1 : 0);
  ShowPanelWriteCommand();
}

void TPIRSensorFrame::Test(PirSensorTest test) {
  if (Session == nullptr) return;
  Report(SendPirSensorTest(*Session, *Table, test));
}

}  // namespace lumetra
