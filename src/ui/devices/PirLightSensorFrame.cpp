// The combined sensor editor: what its controls show of the record, what an entry stores there,
// and the writes, the reading and the tests it sends.
#include "ui/devices/PirLightSensorFrame.h"
#include "ui/devices/MemoryWrite.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <atomic>
#include <memory>

#include "model/ControllerConfig.h"
#include "model/KindImage.h"
#include "sequences/DeviceSequences.h"
#include "sequences/LightSensorSequences.h"
#include "ui/ErrorDlg.h"
#include "ui/Widgets.h"
#include "ui/devices/PIRLightSensorOncFrame.h"

namespace lumetra {

using namespace sensor_frame;

namespace {

constexpr uint32_t kLargestSequenceLevel = 65000;

QLabel* Caption(const QString& text) { return new QLabel(text); }

QLineEdit* NumberEdit(const QString& name, int maxLength, int width) {
  auto* edit = new QLineEdit;
  edit->setObjectName(name);
  MakeDigitsOnly(edit, maxLength);
  edit->setFixedWidth(width);
  edit->setFixedHeight(kControlHeight);
  return edit;
}

QFrame* Area(QWidget* content) {
  auto* area = new QFrame;
  area->setFrameShape(QFrame::StyledPanel);
  area->setFrameShadow(QFrame::Raised);
  auto* layout = new QVBoxLayout(area);
  layout->setContentsMargins(4, 2, 4, 2);
  layout->addWidget(content);
  return area;
}

// A sequence level above 65 000 shows empty, as one never programmed does.
QString SequenceLevelText(uint32_t value) {
  return value <= kLargestSequenceLevel ? WideText(value) : QString();
}

QHBoxLayout* WaitRow(const WaitEdits& edits) {
  auto* row = new QHBoxLayout;
  row->setSpacing(2);
  row->addWidget(edits.hours);
  row->addWidget(Caption(QStringLiteral(":")));
  row->addWidget(edits.minutes);
  row->addWidget(Caption(QStringLiteral(":")));
  row->addWidget(edits.seconds);
  row->addStretch(1);
  return row;
}

}  // namespace

TPirLightSensorFrame::TPirLightSensorFrame(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("PirLightSensorFrame"));
  setFrameShape(QFrame::StyledPanel);
  setFrameShadow(QFrame::Raised);
  EditFocus = new TEditFocusFilter(this);

  // Everything fits under the host's common fields: the sequences beside the values, the lights,
  // the measurement and the tests in two lines, the responses in the rest.
  auto* sequences = new QVBoxLayout;
  sequences->setSpacing(2);
  sequences->addWidget(BuildEnableArea());
  sequences->addWidget(BuildSequencesArea());
  sequences->addStretch(1);
  auto* sequencesArea = new QWidget;
  sequences->setContentsMargins(0, 0, 0, 0);
  sequencesArea->setLayout(sequences);
  auto* top = new QHBoxLayout;
  top->setSpacing(4);
  top->addWidget(Area(sequencesArea));
  top->addWidget(Area(BuildValuesArea()));
  auto* page = new QVBoxLayout(this);
  page->setContentsMargins(4, 4, 4, 4);
  page->setSpacing(3);
  page->addLayout(top);
  page->addWidget(Area(BuildLightsArea()));
  page->addWidget(Area(BuildMeasureArea()));
  page->addWidget(BuildResponsesArea(), 1);
}

void TPirLightSensorFrame::Watch(QLineEdit* edit, std::function<void(QLineEdit*)> onExit) {
  EditFocus->Watch(
      edit, [this](QLineEdit* e) { OnEditEnter(e); }, std::move(onExit));
  connect(edit, &QLineEdit::textChanged, this, [this](const QString&) { OnCommandChange(); });
}

QWidget* TPirLightSensorFrame::BuildEnableArea() {
  CheckBoxSensorEnabled =
      Named<QCheckBox>("CheckBoxSensorEnabled", QStringLiteral("Senzor povolený"));
  auto* area = new QWidget;
  auto* layout = new QHBoxLayout(area);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(CheckBoxSensorEnabled);
  layout->addSpacing(12);
  layout->addWidget(MakeWriteButton("ButtonWriteSensorsEnabled", "PanelWriteEnabled",
                                    ButtonWriteSensorsEnabled, PanelWriteEnabled));
  layout->addStretch(1);
  connect(CheckBoxSensorEnabled, &QCheckBox::clicked, this,
          [this](bool) { OnCheckBoxSensorEnabledClick(); });
  connect(ButtonWriteSensorsEnabled, &QPushButton::clicked, this,
          [this](bool) { OnButtonWriteSensorEnabledClick(); });
  Guard.Watch(CheckBoxSensorEnabled);
  return area;
}

QWidget* TPirLightSensorFrame::BuildSequencesArea() {
  auto* area = new QWidget;
  auto* grid = new QGridLayout(area);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setVerticalSpacing(1);
  grid->setHorizontalSpacing(6);
  grid->addWidget(Caption(QStringLiteral("Priebeh")), 0, 0);
  grid->addWidget(Caption(QStringLiteral("Rozsvecovanie")), 0, 2);
  grid->addWidget(Caption(QStringLiteral("1. stmievanie")), 0, 3);
  grid->addWidget(Caption(QStringLiteral("2. stmievanie")), 0, 4);
  grid->setColumnStretch(5, 1);
  for (int q = 0; q < kSequences; ++q) {
    const int line = 1 + 2 * q;
    grid->addWidget(Caption(QString::number(q + 1)), line, 0, Qt::AlignCenter);
    grid->addWidget(Caption(QStringLiteral("Úroveň (lx)")), line, 1);
    grid->addWidget(Caption(QStringLiteral("Čakať (h : m : s)")), line + 1, 1);
    const QString seq = QStringLiteral("EditSeq") + QString::number(q + 1) + QStringLiteral("Cmnd");
    for (int c = 0; c < kCommands; ++c) {
      const QString cmnd = seq + QString::number(c + 1);
      QLineEdit* level = EditCmndLevel[static_cast<size_t>(3 * q + c)] =
          NumberEdit(cmnd + QStringLiteral("Level"), 5, 52);
      Watch(level, [this](QLineEdit* e) { OnEditCmndLevelExit(e); });
      grid->addWidget(level, line, 2 + c);
      if (c >= kWaits) continue;
      const size_t w = static_cast<size_t>(kWaits * q + c);
      EditCmndTimeoutH[w] = NumberEdit(cmnd + QStringLiteral("TimeoutH"), 2, 24);
      EditCmndTimeoutM[w] = NumberEdit(cmnd + QStringLiteral("TimeoutM"), 2, 24);
      EditCmndTimeoutS[w] = NumberEdit(cmnd + QStringLiteral("TimeoutS"), 2, 24);
      for (QLineEdit* edit : {EditCmndTimeoutH[w], EditCmndTimeoutM[w], EditCmndTimeoutS[w]}) {
        Watch(edit, [this](QLineEdit* e) { OnEditCmndTimeoutExit(e); });
      }
      grid->addLayout(WaitRow(CommandWait(static_cast<int>(w))), line + 1, 2 + c);
    }
  }
  return area;
}

QWidget* TPirLightSensorFrame::BuildValuesArea() {
  EditOnLevel = NumberEdit(QStringLiteral("EditOnLevel"), 5, 52);
  EditOffLevel = NumberEdit(QStringLiteral("EditOffLevel"), 5, 52);
  EditOffTimeoutH = NumberEdit(QStringLiteral("EditOffTimeoutH"), 2, 24);
  EditOffTimeoutM = NumberEdit(QStringLiteral("EditOffTimeoutM"), 2, 24);
  EditOffTimeoutS = NumberEdit(QStringLiteral("EditOffTimeoutS"), 2, 24);
  EditDelta = Named<QLineEdit>("EditDelta");
  MakeSignedDigits(EditDelta, 4);
  EditDelta->setFixedWidth(52);
  // These two take any characters; what is not a level 1..100 is refused on leaving.
  EditMinLevel = Named<QLineEdit>("EditMinLevel");
  EditMinLevel->setFixedWidth(40);
  EditMinLevel->setAlignment(Qt::AlignRight);
  EditMaxLevel = Named<QLineEdit>("EditMaxLevel");
  EditMaxLevel->setFixedWidth(40);
  EditMaxLevel->setAlignment(Qt::AlignRight);
  ComboBoxScale = Named<QComboBox>("ComboBoxScale");
  ComboBoxScale->addItems({QStringLiteral("1"), QStringLiteral("0.1"), QStringLiteral("0.01")});
  ComboBoxScale->setFixedWidth(56);
  connect(ComboBoxScale, &QComboBox::activated, this, [this](int) { OnComboBoxScaleSelect(); });
  Watch(EditOnLevel, [this](QLineEdit*) { OnEditOnLevelExit(); });
  Watch(EditOffLevel, [this](QLineEdit*) { OnEditOffLevelExit(); });
  Watch(EditDelta, [this](QLineEdit*) { OnEditDeltaExit(); });
  Watch(EditMinLevel, [this](QLineEdit*) { OnEditMinLevelExit(); });
  Watch(EditMaxLevel, [this](QLineEdit*) { OnEditMaxLevelExit(); });
  for (QLineEdit* edit : {EditOffTimeoutH, EditOffTimeoutM, EditOffTimeoutS}) {
    Watch(edit, [this](QLineEdit* e) { OnEditOffTimeoutExit(e); });
  }

  Compact({EditDelta, EditMinLevel, EditMaxLevel, ComboBoxScale});
  auto* area = new QWidget;
  auto* grid = new QGridLayout(area);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setVerticalSpacing(1);
  grid->setHorizontalSpacing(4);
  int row = 0;
  auto add = [&](const QString& caption, QWidget* edit, const QString& unit) {
    grid->addWidget(Caption(caption), row, 0, 1, 2);
    grid->addWidget(edit, row, 2);
    grid->addWidget(Caption(unit), row, 3);
    ++row;
  };
  add(QStringLiteral("Úroveň zapnutia"), EditOnLevel, QStringLiteral("%"));
  add(QStringLiteral("Úroveň vypnutia"), EditOffLevel, QStringLiteral("%"));
  grid->addWidget(Caption(QStringLiteral("Čakanie pred vypnutím")), row, 0, 1, 2);
  QHBoxLayout* wait = WaitRow(OffTimeoutEdits());
  wait->insertWidget(5, Caption(QStringLiteral("h : m : s")));
  grid->addLayout(wait, row, 2, 1, 2);
  ++row;
  add(QStringLiteral("Odchýlka              +"), EditDelta, QStringLiteral("%"));
  add(QStringLiteral("Presnosť merania"), ComboBoxScale, QStringLiteral("lx"));
  grid->addWidget(Caption(QStringLiteral("Úroveň svietidiel")), row, 0);
  grid->addWidget(Caption(QStringLiteral("Minimálna")), row, 1);
  grid->addWidget(EditMinLevel, row, 2);
  grid->addWidget(Caption(QStringLiteral("%")), row++, 3);
  grid->addWidget(Caption(QStringLiteral("Maximálna")), row, 1);
  grid->addWidget(EditMaxLevel, row, 2);
  grid->addWidget(Caption(QStringLiteral("%")), row++, 3);
  grid->setColumnStretch(3, 1);
  return area;
}

QWidget* TPirLightSensorFrame::BuildLightsArea() {
  RadioGroupCmndAddressType = new TRadioGroup(
      QStringLiteral("RadioGroupCmndAddressType"), QString(),
      {QStringLiteral("všetky"), QStringLiteral("skupina"), QStringLiteral("jedno")});
  ItemsSideBySide(RadioGroupCmndAddressType);
  connect(RadioGroupCmndAddressType, &TRadioGroup::Clicked, this,
          [this](int) { OnRadioGroupCmndAddressTypeClick(); });
  EditCmndAddress = NumberEdit(QStringLiteral("EditCmndAddress"), 3, 36);
  EditCmndAddress->setText(QStringLiteral("1"));
  Watch(EditCmndAddress, [this](QLineEdit*) { OnEditCmndAddressExit(); });
  EditMeasuredValue = Named<QLineEdit>("EditMeasuredValue");
  EditMeasuredValue->setReadOnly(true);
  EditMeasuredValue->setFocusPolicy(Qt::NoFocus);
  EditMeasuredValue->setAlignment(Qt::AlignRight);
  EditMeasuredValue->setFixedWidth(52);
  EditMeasuredValue->setFixedHeight(kControlHeight);
  ButtonReadMeasuredValue =
      Named<QPushButton>("ButtonReadMeasuredValue", QStringLiteral("Čítať hodnotu"));
  ButtonReadMeasuredValue->setFixedHeight(kButtonHeight);
  connect(ButtonReadMeasuredValue, &QPushButton::clicked, this,
          [this](bool) { OnButtonReadMeasuredValueClick(); });

  auto* area = new QWidget;
  auto* layout = new QHBoxLayout(area);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(3);
  layout->addWidget(Caption(QStringLiteral("Ovládané svietidlá")));
  layout->addWidget(RadioGroupCmndAddressType);
  layout->addWidget(Caption(QStringLiteral("číslo:")));
  layout->addWidget(EditCmndAddress);
  layout->addStretch(1);
  layout->addWidget(Caption(QStringLiteral("Nameraná hodnota")));
  layout->addWidget(EditMeasuredValue);
  layout->addWidget(Caption(QStringLiteral("lx")));
  layout->addWidget(ButtonReadMeasuredValue);
  return area;
}

QWidget* TPirLightSensorFrame::BuildMeasureArea() {
  ButtonAlarm = Named<QPushButton>("ButtonAlarm", QStringLiteral("Alarm"));
  ButtonQuiet = Named<QPushButton>("ButtonQuiet", QStringLiteral("Kľud"));
  for (QPushButton* b : {ButtonAlarm, ButtonQuiet}) b->setFixedHeight(kButtonHeight);
  connect(ButtonAlarm, &QPushButton::clicked, this, [this](bool) { OnButtonAlarmClick(); });
  connect(ButtonQuiet, &QPushButton::clicked, this, [this](bool) { OnButtonQuietClick(); });
  auto* area = new QWidget;
  auto* layout = new QHBoxLayout(area);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(3);
  layout->addWidget(ButtonAlarm);
  layout->addWidget(ButtonQuiet);
  layout->addStretch(1);
  layout->addWidget(BuildIndicatorArea(IndicatorButtons, [this](int s) { OnIndicatorClick(s); }));
  ButtonOff = IndicatorButtons[0];
  ButtonOn = IndicatorButtons[1];
  ButtonBlinkWhole = IndicatorButtons[2];
  ButtonBlinkHalf = IndicatorButtons[3];
  ButtonBlinkQuarter = IndicatorButtons[4];
  ButtonBlinkEighth = IndicatorButtons[5];
  return area;
}

QWidget* TPirLightSensorFrame::BuildResponsesArea() {
  PIRLightSensorOncFrame = new TPIRLightSensorOncFrame(*this, nullptr);
  auto* area = new QWidget;
  auto* layout = new QVBoxLayout(area);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  LabelWritten = MakeWriteCounter();
  auto* caption = new QHBoxLayout;
  caption->addWidget(Caption(QStringLiteral("Odozvy na správy z okolia:")));
  caption->addStretch(1);
  caption->addWidget(LabelWritten);
  caption->addWidget(MakeWriteButton("ButtonWriteCmndSequences", "PanelWriteCommand",
                                     ButtonWriteCmndSequences, PanelWriteCommand));
  connect(ButtonWriteCmndSequences, &QPushButton::clicked, this,
          [this](bool) { OnButtonWriteCmndSequencesClick(); });
  layout->addLayout(caption);
  auto* headings = new THeadingStrip;
  TPIRLightSensorOncFrame* rows = PIRLightSensorOncFrame;
  headings->Place(Caption(QStringLiteral("Adresa")), rows->EditOncAddress[0]);
  headings->Place(Caption(QStringLiteral("Správa")), rows->ComboBoxOncState[0]);
  headings->Place(Caption(QStringLiteral("Úroveň (lx)")), rows->EditOncLevel[0]);
  headings->Place(Caption(QStringLiteral("Zakázať")), rows->CheckBoxOncDisabled[0]);
  headings->Place(Caption(QStringLiteral("Priebeh 1")), rows->RadioButtonOncSeq1[0]);
  headings->Place(Caption(QStringLiteral("Priebeh 2")), rows->RadioButtonOncSeq2[0]);
  layout->addWidget(headings);
  layout->addWidget(PIRLightSensorOncFrame, 1);
  return area;
}

void TPirLightSensorFrame::Attach(BusSession& session, TControllerConfig& table,
                                  TNavigation& navigation) {
  Session = &session;
  Table = &table;
  Navigation = &navigation;
  PIRLightSensorOncFrame->Attach(table);
  ErrorDlg = new TErrorDlg(this);
  ErrorDlg->SetErrorMode();
}

bool TPirLightSensorFrame::HasSecondSequence() const {
  return PirLightSensorHasSecondSequence(Table->FirmwareVersion(), Table->FirmwareMinVersion());
}

WaitEdits TPirLightSensorFrame::CommandWait(int index) const {
  const size_t i = static_cast<size_t>(index);
  return {EditCmndTimeoutH[i], EditCmndTimeoutM[i], EditCmndTimeoutS[i]};
}

WaitEdits TPirLightSensorFrame::OffTimeoutEdits() const {
  return {EditOffTimeoutH, EditOffTimeoutM, EditOffTimeoutS};
}

void TPirLightSensorFrame::ShowDevice() {
  if (Table == nullptr) return;
  Updating = true;
  const PirLightSensorLayout s = Table->PirLightSensor();
  const uint8_t enabledByte =
      Table->Image(kPirLightSensorImage).ImageByteAt(kPirLightSensorImage.EnableIndex());
  TEditGuard::ShowCheck(CheckBoxSensorEnabled,
                        enabledByte == kNotRead ? kNotRead : s.SensorEnabled());
  const bool second = HasSecondSequence();
  for (int q = 0; q < kSequences; ++q) {
    const bool present = q == 0 || second;
    for (int c = 0; c < kCommands; ++c) {
      const PirLightCommand command =
          s.Sequences(static_cast<uint32_t>(q)).Commands(static_cast<uint32_t>(c));
      QLineEdit* level = EditCmndLevel[static_cast<size_t>(3 * q + c)];
      level->setText(present ? SequenceLevelText(command.Level()) : QString());
      level->setEnabled(present);
      if (c >= kWaits) continue;
      const WaitEdits wait = CommandWait(kWaits * q + c);
      ShowWait(wait, present ? command.Timeout() : 0x10000u, "%2d");
      for (QLineEdit* edit : {wait.hours, wait.minutes, wait.seconds}) edit->setEnabled(present);
    }
  }
  EditMinLevel->setText(ByteText(s.MinLevel()));
  EditMaxLevel->setText(ByteText(s.MaxLevel()));
  EditOnLevel->setText(WideText(s.OnLevel()));
  EditDelta->setText(ByteText(s.Delta()));
  EditOffLevel->setText(WideText(s.OffLevel()));
  ShowWait(OffTimeoutEdits(), s.OffTimeout(), "%2d");
  ShowLights(Lights(), s.CmndAddress());
  const uint8_t scale = s.Scale();
  ComboBoxScale->setCurrentIndex(scale == 1 ? 0 : scale == 10 ? 1 : scale == 100 ? 2 : -1);
  PIRLightSensorOncFrame->ShowResponses();
  // A value measured on another device is not this one's.
  EditMeasuredValue->clear();
  LabelWritten->clear();
  PanelWriteEnabled->hide();
  PanelWriteCommand->hide();
  Guard.Filled();
  Updating = false;
}

void TPirLightSensorFrame::ShowPanelWriteCommand() {
  if (!Updating) PanelWriteCommand->show();
}

void TPirLightSensorFrame::OnEditEnter(QLineEdit* edit) { EnteredText = edit->text(); }

void TPirLightSensorFrame::OnCommandChange() { ShowPanelWriteCommand(); }

void TPirLightSensorFrame::OnEditCmndLevelExit(QLineEdit* edit) {
  for (int i = 0; i < kSequences * kCommands; ++i) {
    if (EditCmndLevel[static_cast<size_t>(i)] != edit) continue;
    const int64_t v = TypedNumber(edit->text(), 0);
    if (v > kLargestSequenceLevel) {
      edit->setText(EnteredText);
      return;
    }
    Table->PirLightSensor()
        .Sequences(static_cast<uint32_t>(i / kCommands))
        .Commands(static_cast<uint32_t>(i % kCommands))
        .SetLevel(static_cast<uint32_t>(v));
    return;
  }
}

void TPirLightSensorFrame::OnEditCmndTimeoutExit(QLineEdit* edit) {
  for (int i = 0; i < kSequences * kWaits; ++i) {
    const WaitEdits wait = CommandWait(i);
    if (edit != wait.hours && edit != wait.minutes && edit != wait.seconds) continue;
    if (const auto total = LeaveWait(wait, edit, EnteredText)) {
      Table->PirLightSensor()
          .Sequences(static_cast<uint32_t>(i / kWaits))
          .Commands(static_cast<uint32_t>(i % kWaits))
          .SetTimeout(*total);
    }
    return;
  }
}

bool TPirLightSensorFrame::TakeWide(QLineEdit* edit, uint32_t largest,
                                    void (PirLightSensorLayout::*set)(uint32_t)) {
  const int64_t v = TypedNumber(edit->text(), 0);
  // 65535 is what erased memory reads: it would show as never set.
  if (v < 0 || v > largest || ErasedWide(static_cast<uint32_t>(v))) {
    edit->setText(EnteredText);
    return false;
  }
  PirLightSensorLayout s = Table->PirLightSensor();
  (s.*set)(static_cast<uint32_t>(v));
  return true;
}

bool TPirLightSensorFrame::TakeLevel(QLineEdit* edit, void (PirLightSensorLayout::*set)(uint32_t)) {
  const int64_t v = TypedNumber(edit->text(), 0);
  if (v < 1 || v > 100) {
    edit->setText(EnteredText);
    return false;
  }
  PirLightSensorLayout s = Table->PirLightSensor();
  (s.*set)(static_cast<uint32_t>(v));
  return true;
}

void TPirLightSensorFrame::OnEditOnLevelExit() {
  // The device holds 16 bits: a larger value would reach it as another one.
  TakeWide(EditOnLevel, kLargestDeviceValue, &PirLightSensorLayout::SetOnLevel);
}

void TPirLightSensorFrame::OnEditOffLevelExit() {
  TakeWide(EditOffLevel, kLargestDeviceValue, &PirLightSensorLayout::SetOffLevel);
}

void TPirLightSensorFrame::OnEditOffTimeoutExit(QLineEdit* edit) {
  if (const auto total = LeaveWait(OffTimeoutEdits(), edit, EnteredText)) {
    Table->PirLightSensor().SetOffTimeout(*total);
  }
}

void TPirLightSensorFrame::OnEditMinLevelExit() {
  TakeLevel(EditMinLevel, &PirLightSensorLayout::SetMinLevel);
}

void TPirLightSensorFrame::OnEditMaxLevelExit() {
  TakeLevel(EditMaxLevel, &PirLightSensorLayout::SetMaxLevel);
}

void TPirLightSensorFrame::OnEditDeltaExit() {
  const int64_t v = TypedNumber(EditDelta->text(), 0, true);
  if (v < 0) {
    EditDelta->setText(EnteredText);
    return;
  }
  Table->PirLightSensor().SetDelta(static_cast<uint32_t>(v % 256));
}

void TPirLightSensorFrame::OnComboBoxScaleSelect() {
  if (Updating) return;
  static constexpr uint32_t kScales[] = {1, 10, 100};
  const int item = ComboBoxScale->currentIndex();
  Table->PirLightSensor().SetScale(item >= 0 && item < 3 ? kScales[item] : 0);
  PanelWriteCommand->show();
}

LightsControls TPirLightSensorFrame::Lights() const {
  return {RadioGroupCmndAddressType, EditCmndAddress, true};
}

void TPirLightSensorFrame::StoreCmndAddress() {
  if (Updating) return;
  Table->PirLightSensor().SetCmndAddress(ChosenLights(Lights()).value_or(kErasedByte));
}

void TPirLightSensorFrame::OnRadioGroupCmndAddressTypeClick() {
  ChooseLights(Lights());
  StoreCmndAddress();
  if (!Updating) PanelWriteCommand->show();
}

void TPirLightSensorFrame::OnEditCmndAddressExit() {
  if (LeaveLightsNumber(Lights(), EnteredText)) StoreCmndAddress();
}

void TPirLightSensorFrame::OnCheckBoxSensorEnabledClick() {
  if (Updating) return;
  // The byte becomes the bit, as the device receives it.
  Table->Image(kPirLightSensorImage)
      .SetImageByteAt(kPirLightSensorImage.EnableIndex(),
                      CheckBoxSensorEnabled->isChecked() ? 1 : 0);
  PanelWriteEnabled->setVisible(Guard.Changed(CheckBoxSensorEnabled));
}

bool TPirLightSensorFrame::Report(const SequenceResult& result) {
  return ReportSequence(this, result);
}

void TPirLightSensorFrame::OnButtonWriteSensorEnabledClick() {
  if (Session == nullptr) return;
  if (!Report(WritePirLightSensorEnabled(*Session, *Table))) return;
  Guard.Written(CheckBoxSensorEnabled);
  PanelWriteEnabled->hide();
}

void TPirLightSensorFrame::OnButtonWriteCmndSequencesClick() {
  if (Navigation == nullptr) return;
  const int bytes = static_cast<int>(SensorImageBytes(*Table, kPirLightSensorImage).size());
  TControllerConfig* table = Table;
  RunMemoryWrite(
      *Navigation, LabelWritten, bytes, SensorImageCountShown(kPirLightSensorImage),
      [table](BusSession& session) { return WritePirLightSensorImage(session, *table); },
      [this](const SequenceResult& result) {
        if (Report(result)) PanelWriteCommand->hide();
      });
}

void TPirLightSensorFrame::OnButtonReadMeasuredValueClick() {
  if (Session == nullptr) return;
  sensor_frame::ShowMeasuredValue(this, *ErrorDlg, EditMeasuredValue,
                                  ReadMeasuredIlluminance(*Session, *Table));
}

void TPirLightSensorFrame::OnButtonAlarmClick() {
  if (Session == nullptr) return;
  Report(TestSensorMotion(*Session, *Table, true));
}

void TPirLightSensorFrame::OnButtonQuietClick() {
  if (Session == nullptr) return;
  Report(TestSensorMotion(*Session, *Table, false));
}

void TPirLightSensorFrame::OnIndicatorClick(int state) {
  if (Session == nullptr) return;
  Report(TestSensorIndicator(*Session, *Table, state));
}

}  // namespace lumetra
