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
#include "model/FieldEntry.h"
#include "model/LightsAddress.h"
#include "model/MessageCodeTable.h"
#include "sequences/DeviceSequences.h"
#include "ui/EditGuard.h"
#include "ui/LumetraApplication.h"
#include "ui/NavigatedView.h"
#include "ui/Widgets.h"
#include "ui/devices/FieldEdits.h"
#include "ui/devices/OncFrame.h"
#include "ui/devices/SensorFrameParts.h"

namespace lumetra {

namespace {

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
  const auto timeout = [this](uint32_t command) {
    return [this, command](uint32_t seconds) {
      Table->PirSensor().Commands(command).SetTimeout(seconds);
    };
  };
  Waits[0] = TWaitEdit::Make(QStringLiteral("EditCmnd1Timeout"), 26, EditCmnd1TimeoutH,
                             EditCmnd1TimeoutM, EditCmnd1TimeoutS, timeout(0), this);
  Waits[1] = TWaitEdit::Make(QStringLiteral("EditCmnd2Timeout"), 26, EditCmnd2TimeoutH,
                             EditCmnd2TimeoutM, EditCmnd2TimeoutS, timeout(1), this);
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
    grid->addWidget(Waits[i]->Row(), 2, 1 + c, 2, 1, Qt::AlignTop);
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

void TPIRSensorFrame::WatchFields() {
  TControllerConfig& t = *Table;
  for (int c = 0; c < kCommands; ++c) {
    const uint32_t command = static_cast<uint32_t>(c);
    TFieldEdit::Level(EditCmndLevel[static_cast<size_t>(c)], t, [this, command](uint32_t level) {
      Table->PirSensor().Commands(command).SetLevel(level);
    });
  }
  // Group 0..15 or short address 0..63: anything above would reach other lights than it names.
  sensor_frame::WatchLights(Lights(), [this] { StoreCmndAddress(); });
  for (int row = 0; row < kRows; ++row) {
    const size_t r = static_cast<size_t>(row);
    // 0..63, or 255 (emptied) for no response; a larger number is refused, not cut to its low
    // bits, so the device answers the address the edit shows.
    TFieldEdit::Number(
        EditOncAddress[r], {0, kLargestSource, {}}, kNoSource, [this, row](int64_t address) {
          const auto a = static_cast<uint32_t>(address);
          Table->PirSensor().Oncs(static_cast<uint32_t>(ResponseOfRow(row))).SetAddress(a);
          PaintSourceAddress(EditOncAddress[static_cast<size_t>(row)], *Table, a);
        });
    TFieldEdit::Level(EditOncLevel[r], t, [this, row](uint32_t level) {
      Table->PirSensor().Oncs(static_cast<uint32_t>(ResponseOfRow(row))).SetLevel(level);
    });
  }
}

void TPIRSensorFrame::ConnectHandlers() {
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
  WatchFields();
  ShowPercentLabels();
}

bool TPIRSensorFrame::Report(const SequenceResult& result) { return ReportSequence(this, result); }

void TPIRSensorFrame::ShowPercentLabels() {
  const bool percent = Table != nullptr && Table->PercentMode() == 1;
  for (QLabel* label : LabelCmndPercent) label->setVisible(percent);
}

void TPIRSensorFrame::ShowLevel(QLineEdit* edit, uint8_t level) {
  // No level (255) shows nothing, as an emptied edit stores it.
  edit->setText(QString::fromStdString(LevelText(*Table, level)));
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
    // A wait never read or set shows nothing: it is not made up into 1193046 hours.
    if (c < kTimedCommands) Waits[static_cast<size_t>(c)]->Show(command.Timeout());
  }
  sensor_frame::ShowLights(Lights(), layout.CmndAddress());
  ShowResponses();
  ButtonAlarm->setEnabled(true);
  ButtonQuiet->setEnabled(true);
  LabelWritten->clear();
  ShowPendingWrites();
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

void TPIRSensorFrame::OnCommandChange() {
  if (!Updating) ShowPanelWriteCommand();
}

void TPIRSensorFrame::ShowPanelWriteCommand() { PanelWriteCommand->show(); }

void TPIRSensorFrame::ShowPendingWrites() {
  ShowPending(PanelWriteEnabled, PlanEnableWrite(*Table, kPirSensorImage));
  ShowPending(PanelWriteCommand, PlanPirSensorSettings(*Table));
}

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

void TPIRSensorFrame::OnCheckBoxSensorEnabledClick() {
  if (Updating) return;
  Table->PirSensor().SetSensorEnabled(CheckBoxSensorEnabled->isChecked() ? 1 : 0);
  PanelWriteEnabled->show();
}

void TPIRSensorFrame::OnButtonWriteSensorsEnabledClick() {
  if (Session == nullptr) return;
  Report(WritePirSensorEnabled(*Session, *Table));
  ShowPendingWrites();
}

void TPIRSensorFrame::OnButtonWriteCmndSequencesClick() {
  if (Navigation == nullptr) return;
  // 174 exchanges: the worker sends them while the window paints the counter. The navigation
  // locks the editor's controls and the tables until the end, so the record and the selection
  // the sequence reads stay as they are.
  TControllerConfig* table = Table;
  const QPointer<TPIRSensorFrame> self(this);
  RunMemoryWrite(
      *Navigation, LabelWritten, PlanPirSensorSettings(*Table),
      [table](BusSession& session) { return WritePirSensorSettings(session, *table); },
      [self](const SequenceResult& result) {
        if (!self) return;
        self->Report(result);
        self->ShowPendingWrites();
      });
}

void TPIRSensorFrame::OnRadioButtonOncGroupClick() {
  if (Updating) return;
  Updating = true;
  ShowResponses();
  Updating = false;
}

void TPIRSensorFrame::OnComboBoxOncStateSelect(int row) {
  if (Updating) return;
  const int item = ComboBoxOncState[static_cast<size_t>(row)]->currentIndex();
  Table->PirSensor()
      .Oncs(static_cast<uint32_t>(ResponseOfRow(row)))
      .SetMessageIndex(static_cast<uint32_t>(item));
  ShowPanelWriteCommand();
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
