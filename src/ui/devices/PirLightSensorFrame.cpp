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
#include "model/ErasedValues.h"
#include "model/FieldEntry.h"
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

}  // namespace

TPirLightSensorFrame::TPirLightSensorFrame(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("PirLightSensorFrame"));
  setFrameShape(QFrame::StyledPanel);
  setFrameShadow(QFrame::Raised);

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
  WatchFields();
}

void TPirLightSensorFrame::WatchChanges(QLineEdit* edit) {
  connect(edit, &QLineEdit::textChanged, this, [this](const QString&) { OnCommandChange(); });
}

void TPirLightSensorFrame::WatchFields() {
  for (int i = 0; i < kSequences * kCommands; ++i) {
    const auto q = static_cast<uint32_t>(i / kCommands), c = static_cast<uint32_t>(i % kCommands);
    // An emptied level is 0 lx.
    new TFieldEdit(
        EditCmndLevel[static_cast<size_t>(i)],
        [](const std::string& text) {
          return ReadField(text, {0, kLargestSequenceLevel, "lx"}, 0);
        },
        [this, q, c](int64_t level) {
          Table->PirLightSensor().Sequences(q).Commands(c).SetLevel(static_cast<uint32_t>(level));
          return QString::number(level);
        });
  }
  const auto layout = [this] { return Table->PirLightSensor(); };
  // The device holds 16 bits: a larger value would reach it as another one, and 65535 reads
  // back as never programmed.
  NumberInto(EditOnLevel, {0, kLargestWideSetting, {}}, layout, &PirLightSensorLayout::SetOnLevel);
  NumberInto(EditOffLevel, {0, kLargestWideSetting, {}}, layout,
             &PirLightSensorLayout::SetOffLevel);
  NumberInto(EditDelta, {0, 255, "%"}, layout, &PirLightSensorLayout::SetDelta);
  NumberInto(EditMinLevel, {1, 100, "%"}, layout, &PirLightSensorLayout::SetMinLevel);
  NumberInto(EditMaxLevel, {1, 100, "%"}, layout, &PirLightSensorLayout::SetMaxLevel);
  WatchLights(Lights(), [this] { StoreCmndAddress(); });
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
      WatchChanges(level);
      grid->addWidget(level, line, 2 + c);
      if (c >= kWaits) continue;
      const size_t w = static_cast<size_t>(kWaits * q + c);
      const auto sequence = static_cast<uint32_t>(q), command = static_cast<uint32_t>(c);
      CommandWaits[w] = TWaitEdit::Make(
          cmnd + QStringLiteral("Timeout"), 24, EditCmndTimeoutH[w], EditCmndTimeoutM[w],
          EditCmndTimeoutS[w],
          [this, sequence, command](uint32_t seconds) {
            Table->PirLightSensor().Sequences(sequence).Commands(command).SetTimeout(seconds);
          },
          this);
      for (QLineEdit* edit : CommandWaits[w]->Parts()) {
        edit->setFixedHeight(kControlHeight);
        WatchChanges(edit);
      }
      grid->addWidget(CommandWaits[w]->Row(), line + 1, 2 + c);
    }
  }
  return area;
}

QWidget* TPirLightSensorFrame::BuildValuesArea() {
  EditOnLevel = NumberEdit(QStringLiteral("EditOnLevel"), 5, 52);
  EditOffLevel = NumberEdit(QStringLiteral("EditOffLevel"), 5, 52);
  OffTimeout = TWaitEdit::Make(
      QStringLiteral("EditOffTimeout"), 24, EditOffTimeoutH, EditOffTimeoutM, EditOffTimeoutS,
      [this](uint32_t seconds) { Table->PirLightSensor().SetOffTimeout(seconds); }, this);
  EditDelta = Named<QLineEdit>("EditDelta");
  MakeSignedDigits(EditDelta, 4);
  EditDelta->setFixedWidth(52);
  // These two take any characters; what is not a whole number 1..100 is refused on leaving.
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
  for (QLineEdit* edit : {EditOnLevel, EditOffLevel, EditDelta, EditMinLevel, EditMaxLevel,
                          EditOffTimeoutH, EditOffTimeoutM, EditOffTimeoutS}) {
    WatchChanges(edit);
  }

  Compact({EditDelta, EditMinLevel, EditMaxLevel, ComboBoxScale, EditOffTimeoutH, EditOffTimeoutM,
           EditOffTimeoutS});
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
  grid->addWidget(OffTimeout->Row(QStringLiteral("h : m : s")), row, 2, 1, 2);
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
  WatchChanges(EditCmndAddress);
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
      TWaitEdit* wait = CommandWaits[static_cast<size_t>(kWaits * q + c)];
      wait->Show(present ? command.Timeout() : kLongestWait + 1);
      wait->SetEnabled(present);
    }
  }
  EditMinLevel->setText(ByteText(s.MinLevel()));
  EditMaxLevel->setText(ByteText(s.MaxLevel()));
  EditOnLevel->setText(WideText(s.OnLevel()));
  EditDelta->setText(ByteText(s.Delta()));
  EditOffLevel->setText(WideText(s.OffLevel()));
  OffTimeout->Show(s.OffTimeout());
  ShowLights(Lights(), s.CmndAddress());
  const uint8_t scale = s.Scale();
  ComboBoxScale->setCurrentIndex(scale == 1 ? 0 : scale == 10 ? 1 : scale == 100 ? 2 : -1);
  PIRLightSensorOncFrame->ShowResponses();
  // A value measured on another device is not this one's.
  EditMeasuredValue->clear();
  LabelWritten->clear();
  Guard.Filled();
  ShowPendingWrites();
  Updating = false;
}

void TPirLightSensorFrame::ShowPendingWrites() {
  ShowPending(PanelWriteEnabled, PlanEnableWrite(*Table, kPirLightSensorImage));
  ShowPending(PanelWriteCommand, PlanSensorImage(*Table, kPirLightSensorImage));
}

void TPirLightSensorFrame::ShowPanelWriteCommand() {
  if (!Updating) PanelWriteCommand->show();
}

void TPirLightSensorFrame::OnCommandChange() { ShowPanelWriteCommand(); }

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
  if (Report(WritePirLightSensorEnabled(*Session, *Table))) Guard.Written(CheckBoxSensorEnabled);
  ShowPendingWrites();
}

void TPirLightSensorFrame::OnButtonWriteCmndSequencesClick() {
  if (Navigation == nullptr) return;
  RunImageWrite(*Navigation, LabelWritten, *Table, PlanSensorImage(*Table, kPirLightSensorImage),
                [this](const SequenceResult& result) {
                  // A write that did not complete leaves the device partly old: the panel stays.
                  Report(result);
                  ShowPendingWrites();
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
