// The light sensor editor: what its controls show of the record, what an entry stores there, and
// the writes, the reading and the tests it sends.
#include "ui/devices/LightSensorFrame.h"
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
#include "ui/devices/LightSensorOncFrame.h"

namespace lumetra {

using namespace sensor_frame;

namespace {

constexpr uint8_t kNoOffset = 127;

QLabel* Caption(const QString& text) { return new QLabel(text); }

// A layout in a widget of its own, for an area.
QWidget* Wrapped(QLayout* layout) {
  auto* w = new QWidget;
  layout->setContentsMargins(0, 0, 0, 0);
  w->setLayout(layout);
  return w;
}

QLineEdit* NumberEdit(const char* name, int maxLength, int width) {
  auto* edit = Named<QLineEdit>(name);
  MakeDigitsOnly(edit, maxLength);
  edit->setFixedWidth(width);
  return edit;
}

// A bevelled area of the editor, as the host's.
QFrame* Area(QWidget* content) {
  auto* area = new QFrame;
  area->setFrameShape(QFrame::StyledPanel);
  area->setFrameShadow(QFrame::Raised);
  auto* layout = new QVBoxLayout(area);
  layout->setContentsMargins(4, 2, 4, 2);
  layout->addWidget(content);
  return area;
}

}  // namespace

TLightSensorFrame::TLightSensorFrame(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("LightSensorFrame"));
  setFrameShape(QFrame::StyledPanel);
  setFrameShadow(QFrame::Raised);

  // Everything fits under the host's common fields: the settings and the zones side by side, the
  // measurement and the tests in one line, the responses in the rest.
  auto* settings = new QVBoxLayout;
  settings->setSpacing(2);
  settings->addWidget(BuildEnableArea());
  settings->addWidget(BuildRegulationArea());
  settings->addStretch(1);
  auto* top = new QHBoxLayout;
  top->setSpacing(4);
  top->addWidget(Area(Wrapped(settings)), 1);
  top->addWidget(Area(BuildZonesArea()), 0);
  auto* page = new QVBoxLayout(this);
  page->setContentsMargins(4, 4, 4, 4);
  page->setSpacing(3);
  page->addLayout(top);
  page->addWidget(Area(BuildMeasureArea()));
  page->addWidget(BuildResponsesArea(), 1);
  WatchFields();
}

QWidget* TLightSensorFrame::BuildEnableArea() {
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
          [this](bool) { OnButtonWriteSensorEnableClick(); });
  Guard.Watch(CheckBoxSensorEnabled);
  return area;
}

void TLightSensorFrame::WatchChanges(QLineEdit* edit) {
  connect(edit, &QLineEdit::textChanged, this, [this](const QString&) { OnCommandChange(); });
}

void TLightSensorFrame::WatchFields() {
  const auto layout = [this] { return Table->LightSensor(); };
  // The device holds 16 bits: a larger value would reach it as another one, and 65535 reads
  // back as never programmed.
  NumberInto(EditDefaultLevel, {0, kLargestWideSetting, "lx"}, layout,
             &LightSensorLayout::SetDefaultLevel);
  NumberInto(EditOnLevel, {0, kLargestWideSetting, {}}, layout, &LightSensorLayout::SetOnLevel);
  NumberInto(EditOffLevel, {0, kLargestWideSetting, {}}, layout, &LightSensorLayout::SetOffLevel);
  NumberInto(EditDelta, {0, 255, "%"}, layout, &LightSensorLayout::SetDelta);
  NumberInto(EditMinLevel, {1, 100, "%"}, layout, &LightSensorLayout::SetMinLevel);
  NumberInto(EditMaxLevel, {1, 100, "%"}, layout, &LightSensorLayout::SetMaxLevel);
  for (int z = 0; z < kZones; ++z) {
    const size_t i = static_cast<size_t>(z);
    WatchLights(ZoneLights(z), [this, z] { StoreCmndAddress(z); });
    // The first zone is the reference of the others: no offset or 0.
    const FieldRange offsets = z == 0 ? FieldRange{0, 0, "%"} : FieldRange{-100, 100, "%"};
    new TFieldEdit(
        EditOffset[i],
        [offsets](const std::string& text) {
          FieldEntry entry = ReadField(text, offsets, kNoOffset, true);
          // -1 is the byte of erased memory: the device could not tell it from no offset.
          if (!entry.Refused() && ErasedByte(static_cast<uint32_t>(entry.value) & 0xFF)) {
            entry.refusal = "Posun -1 % zariadenie nerozlíši od nenastaveného: zadajte iný";
          }
          return entry;
        },
        [this, z](int64_t offset) {
          Table->LightSensor()
              .Caos(static_cast<uint32_t>(z))
              .SetOffset(static_cast<uint32_t>(offset) & 0xFF);
          return offset == kNoOffset ? QString() : QString::number(offset);
        });
  }
}

QWidget* TLightSensorFrame::BuildRegulationArea() {
  RadioGroupLoop = new TRadioGroup(QStringLiteral("RadioGroupLoop"), QString(),
                                   {QStringLiteral("otvorená"), QStringLiteral("uzavretá")});
  ItemsSideBySide(RadioGroupLoop);
  RadioGroupLoop->SetItemIndex(1);
  connect(RadioGroupLoop, &TRadioGroup::Clicked, this, [this](int) { OnRadioGroupLoopClick(); });

  LabelDefaultLevel = Named<QLabel>("LabelDefaultLevel", QStringLiteral("Úroveň"));
  EditDefaultLevel = NumberEdit("EditDefaultLevel", 5, 46);
  LabelOnLevel = Named<QLabel>("LabelOnLevel", QStringLiteral("Úroveň zapnutia"));
  EditOnLevel = NumberEdit("EditOnLevel", 5, 46);
  LabelOnLevelPercent = Named<QLabel>("LabelOnLevelPercent", QStringLiteral("%"));
  EditOffLevel = NumberEdit("EditOffLevel", 5, 46);
  OffTimeout = TWaitEdit::Make(
      QStringLiteral("EditOffTimeout"), 20, EditOffTimeoutH, EditOffTimeoutM, EditOffTimeoutS,
      [this](uint32_t seconds) { Table->LightSensor().SetOffTimeout(seconds); }, this);
  EditDelta = Named<QLineEdit>("EditDelta");
  MakeSignedDigits(EditDelta, 4);
  EditDelta->setFixedWidth(46);
  EditMaxLevel = NumberEdit("EditMaxLevel", 3, 34);
  EditMinLevel = NumberEdit("EditMinLevel", 3, 34);
  ComboBoxScale = Named<QComboBox>("ComboBoxScale");
  ComboBoxScale->addItems({QStringLiteral("1"), QStringLiteral("0.1"), QStringLiteral("0.01")});
  ComboBoxScale->setFixedWidth(52);
  connect(ComboBoxScale, &QComboBox::activated, this, [this](int) { OnComboBoxScaleSelect(); });
  Compact({EditDefaultLevel, EditOnLevel, EditOffLevel, EditOffTimeoutH, EditOffTimeoutM,
           EditOffTimeoutS, EditDelta, EditMaxLevel, EditMinLevel, ComboBoxScale});

  for (QLineEdit* edit : {EditDefaultLevel, EditOnLevel, EditOffLevel, EditDelta, EditMaxLevel,
                          EditMinLevel, EditOffTimeoutH, EditOffTimeoutM, EditOffTimeoutS}) {
    WatchChanges(edit);
  }

  // Two halves: the loop's values on the left, the wait, resolution and light output on the
  // right.
  auto* area = new QWidget;
  auto* grid = new QGridLayout(area);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setVerticalSpacing(1);
  grid->setHorizontalSpacing(2);
  auto* loop = new QHBoxLayout;
  loop->setSpacing(4);
  loop->addWidget(Caption(QStringLiteral("Slučka")));
  loop->addWidget(RadioGroupLoop);
  loop->addStretch(1);
  grid->addLayout(loop, 0, 0, 1, 4);
  grid->addWidget(LabelDefaultLevel, 1, 0);
  grid->addWidget(EditDefaultLevel, 1, 1);
  grid->addWidget(Caption(QStringLiteral("lx")), 1, 2);
  grid->addWidget(LabelOnLevel, 2, 0);
  grid->addWidget(EditOnLevel, 2, 1);
  grid->addWidget(LabelOnLevelPercent, 2, 2);
  grid->addWidget(Caption(QStringLiteral("Úroveň vypnutia")), 3, 0);
  grid->addWidget(EditOffLevel, 3, 1);
  grid->addWidget(Caption(QStringLiteral("%")), 3, 2);
  grid->addWidget(Caption(QStringLiteral("Odchýlka              +")), 4, 0);
  grid->addWidget(EditDelta, 4, 1);
  grid->addWidget(Caption(QStringLiteral("%")), 4, 2);
  grid->setColumnMinimumWidth(3, 8);

  grid->addWidget(Caption(QStringLiteral("Čakanie pred vypnutím")), 0, 4);
  grid->addWidget(OffTimeout->Row(QStringLiteral("h : m : s")), 0, 5, 1, 2);
  grid->addWidget(Caption(QStringLiteral("Presnosť merania")), 1, 4);
  grid->addWidget(ComboBoxScale, 1, 5);
  grid->addWidget(Caption(QStringLiteral("lx")), 1, 6);
  grid->addWidget(Caption(QStringLiteral("Úroveň svietidiel")), 2, 4, 1, 3);
  grid->addWidget(Caption(QStringLiteral("      Maximálna")), 3, 4);
  grid->addWidget(EditMaxLevel, 3, 5);
  grid->addWidget(Caption(QStringLiteral("%")), 3, 6);
  grid->addWidget(Caption(QStringLiteral("      Minimálna")), 4, 4);
  grid->addWidget(EditMinLevel, 4, 5);
  grid->addWidget(Caption(QStringLiteral("%")), 4, 6);
  grid->setColumnStretch(6, 1);
  return area;
}

QWidget* TLightSensorFrame::BuildZonesArea() {
  auto* area = new QWidget;
  auto* grid = new QGridLayout(area);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setVerticalSpacing(1);
  grid->setHorizontalSpacing(2);
  grid->addWidget(Caption(QStringLiteral("Ovládané zóny svietidiel")), 0, 0, 1, 2);
  grid->addWidget(Caption(QStringLiteral("číslo")), 0, 2);
  grid->addWidget(Caption(QStringLiteral("ofset ( % )")), 0, 3);
  for (int z = 0; z < kZones; ++z) {
    const size_t i = static_cast<size_t>(z);
    const QString n = QString::number(z + 1);
    const QStringList items = z == 0
                                  ? QStringList{QStringLiteral("všetky"), QStringLiteral("skupina"),
                                                QStringLiteral("jedno")}
                                  : QStringList{QStringLiteral("skupina"), QStringLiteral("jedno")};
    TRadioGroup* group = RadioGroupCmndAddressType[i] =
        new TRadioGroup(QStringLiteral("RadioGroupCmndAddressType") + n, QString(), items);
    ItemsSideBySide(group);
    QLineEdit* number = EditCmndAddress[i] =
        Named<QLineEdit>(("EditCmndAddress" + n.toStdString()).c_str());
    MakeDigitsOnly(number, 3);
    number->setFixedWidth(28);
    number->setText(QStringLiteral("1"));
    QLineEdit* offset = EditOffset[i] = Named<QLineEdit>(("EditOffset" + n.toStdString()).c_str());
    MakeSignedDigits(offset, 4);
    offset->setFixedWidth(36);
    Compact({number, offset});
    if (z == 0) offset->setText(QStringLiteral("0"));
    connect(group, &TRadioGroup::Clicked, this,
            [this, z](int) { OnRadioGroupCmndAddressTypeClick(z); });
    WatchChanges(number);
    WatchChanges(offset);
    grid->addWidget(Caption(n), 1 + z, 0);
    grid->addWidget(group, 1 + z, 1);
    grid->addWidget(number, 1 + z, 2);
    grid->addWidget(offset, 1 + z, 3);
  }
  grid->setRowStretch(1 + kZones, 1);
  return area;
}

QWidget* TLightSensorFrame::BuildWriteArea() {
  LabelWritten = MakeWriteCounter();
  auto* area = new QWidget;
  auto* layout = new QHBoxLayout(area);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(LabelWritten);
  layout->addWidget(MakeWriteButton("ButtonWriteCmndSequences", "PanelWriteCommand",
                                    ButtonWriteCmndSequences, PanelWriteCommand));
  connect(ButtonWriteCmndSequences, &QPushButton::clicked, this,
          [this](bool) { OnButtonWriteCmndSequencesClick(); });
  return area;
}

QWidget* TLightSensorFrame::BuildMeasureArea() {
  EditMeasuredValue = Named<QLineEdit>("EditMeasuredValue");
  EditMeasuredValue->setReadOnly(true);
  EditMeasuredValue->setFocusPolicy(Qt::NoFocus);
  EditMeasuredValue->setAlignment(Qt::AlignRight);
  EditMeasuredValue->setFixedWidth(52);
  ButtonReadMeasuredValue =
      Named<QPushButton>("ButtonReadMeasuredValue", QStringLiteral("Čítať hodnotu"));
  Compact({EditMeasuredValue});
  ButtonReadMeasuredValue->setFixedHeight(kButtonHeight);
  connect(ButtonReadMeasuredValue, &QPushButton::clicked, this,
          [this](bool) { OnButtonReadMeasuredValueClick(); });
  auto* area = new QWidget;
  auto* layout = new QHBoxLayout(area);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(3);
  layout->addWidget(Caption(QStringLiteral("Nameraná hodnota")));
  layout->addWidget(EditMeasuredValue);
  layout->addWidget(Caption(QStringLiteral("lx")));
  layout->addWidget(ButtonReadMeasuredValue);
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

QWidget* TLightSensorFrame::BuildResponsesArea() {
  LightSensorOncFrame = new TLightSensorOncFrame(*this, nullptr);
  auto* area = new QWidget;
  auto* layout = new QVBoxLayout(area);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  // The write sits on the responses' caption line: it writes the settings above and the rows
  // below.
  auto* caption = new QHBoxLayout;
  caption->addWidget(Caption(QStringLiteral("Odozvy na správy z okolia:")));
  caption->addStretch(1);
  caption->addWidget(Caption(QStringLiteral("Ovládanie zóny svietidiel")));
  caption->addSpacing(8);
  caption->addWidget(Caption(QStringLiteral("( Nemeniť - Povoliť - Zakázať )")));
  caption->addSpacing(8);
  caption->addWidget(BuildWriteArea());
  layout->addLayout(caption);
  auto* headings = new THeadingStrip;
  TLightSensorOncFrame* rows = LightSensorOncFrame;
  headings->Place(Caption(QStringLiteral("Adresa")), rows->EditOncAddress[0]);
  headings->Place(Caption(QStringLiteral("Správa")), rows->ComboBoxOncState[0]);
  headings->Place(Caption(QStringLiteral("Úroveň (lx)")), rows->EditOncLevel[0]);
  headings->Place(Caption(QStringLiteral("Zakázať")), rows->CheckBoxOncDisabled[0]);
  // The zone numbers' spaces are widened to the pitch of the zone columns.
  QLabel* zones = Caption(QStringLiteral("1                2                3                4"));
  zones->setObjectName(QStringLiteral("LabelZoneNumbers"));
  headings->Place(zones, rows->RadioGroupOncEnabled[0][0], rows->RadioGroupOncEnabled[3][0]);
  headings->SpreadOver(zones, {rows->RadioGroupOncEnabled[0][0], rows->RadioGroupOncEnabled[1][0],
                               rows->RadioGroupOncEnabled[2][0], rows->RadioGroupOncEnabled[3][0]});
  layout->addWidget(headings);
  layout->addWidget(LightSensorOncFrame, 1);
  return area;
}

void TLightSensorFrame::Attach(BusSession& session, TControllerConfig& table,
                               TNavigation& navigation) {
  Session = &session;
  Table = &table;
  Navigation = &navigation;
  LightSensorOncFrame->Attach(table);
  ErrorDlg = new TErrorDlg(this);
  ErrorDlg->SetErrorMode();
}

bool TLightSensorFrame::FirmwareHasDeltaScale() const {
  return LightSensorHasDeltaScale(Table->FirmwareVersion(), Table->FirmwareMinVersion());
}

void TLightSensorFrame::ShowLoopCaptions() {
  const bool closed = RadioGroupLoop->ItemIndex() == 1;
  LabelDefaultLevel->setText(closed ? QStringLiteral("Úroveň")
                                    : QStringLiteral("Maximálna úroveň"));
  LabelOnLevel->setText(closed ? QStringLiteral("Úroveň zapnutia")
                               : QStringLiteral("Minimálna úroveň"));
  LabelOnLevelPercent->setText(closed ? QStringLiteral("%") : QStringLiteral("lx"));
}

void TLightSensorFrame::ShowDevice() {
  if (Table == nullptr) return;
  Updating = true;
  const LightSensorLayout s = Table->LightSensor();
  const uint8_t enabled = s.SensorEnabled();
  // An erased byte was never set: shown as unknown until the user decides.
  TEditGuard::ShowCheck(CheckBoxSensorEnabled, enabled == 0          ? 0
                                               : enabled == kNotRead ? kNotRead
                                                                     : 1);
  const uint8_t loop = s.ClosedLoop();
  RadioGroupLoop->SetItemIndex(ErasedByte(loop) ? -1 : loop != 0 ? 1 : 0);
  ShowLoopCaptions();
  EditDefaultLevel->setText(WideText(s.DefaultLevel()));
  EditOnLevel->setText(WideText(s.OnLevel()));
  EditOffLevel->setText(WideText(s.OffLevel()));
  EditMaxLevel->setText(ByteText(s.MaxLevel()));
  EditMinLevel->setText(ByteText(s.MinLevel()));
  const bool own = FirmwareHasDeltaScale();
  if (own) {
    EditDelta->setText(ByteText(s.Delta()));
    const uint8_t scale = s.Scale();
    ComboBoxScale->setCurrentIndex(scale == 1 ? 0 : scale == 10 ? 1 : scale == 100 ? 2 : -1);
  } else {
    // The firmware works with these two fixed.
    EditDelta->setText(QStringLiteral("5"));
    ComboBoxScale->setCurrentIndex(0);
  }
  EditDelta->setEnabled(own);
  ComboBoxScale->setEnabled(own);
  OffTimeout->Show(s.OffTimeout());
  for (int z = 0; z < kZones; ++z) {
    const size_t i = static_cast<size_t>(z);
    const LightCao cao = s.Caos(static_cast<uint32_t>(z));
    ShowLights(ZoneLights(z), cao.CmndAddress());
    const uint8_t offset = cao.Offset();
    EditOffset[i]->setText(offset == kNoOffset || ErasedByte(offset)
                               ? QString()
                               : QString::number(static_cast<int8_t>(offset)));
  }
  LightSensorOncFrame->ShowResponses();
  // A value measured on another device is not this one's.
  EditMeasuredValue->clear();
  LabelWritten->clear();
  Guard.Filled();
  ShowPendingWrites();
  Updating = false;
}

void TLightSensorFrame::ShowPendingWrites() {
  ShowPending(PanelWriteEnabled, PlanEnableWrite(*Table, kLightSensorImage));
  ShowPending(PanelWriteCommand, PlanSensorImage(*Table, kLightSensorImage));
}

void TLightSensorFrame::ShowPanelWriteCommand() {
  if (!Updating) PanelWriteCommand->show();
}

void TLightSensorFrame::OnCheckBoxSensorEnabledClick() {
  if (Updating) return;
  Table->LightSensor().SetSensorEnabled(CheckBoxSensorEnabled->isChecked() ? 1 : 0);
  PanelWriteEnabled->setVisible(Guard.Changed(CheckBoxSensorEnabled));
}

void TLightSensorFrame::OnCommandChange() { ShowPanelWriteCommand(); }

void TLightSensorFrame::OnRadioGroupLoopClick() {
  if (!Updating) {
    Table->LightSensor().SetClosedLoop(static_cast<uint32_t>(RadioGroupLoop->ItemIndex()));
    PanelWriteCommand->show();
  }
  ShowLoopCaptions();
}

void TLightSensorFrame::OnComboBoxScaleSelect() {
  if (Updating) return;
  static constexpr uint32_t kScales[] = {1, 10, 100};
  const int item = ComboBoxScale->currentIndex();
  Table->LightSensor().SetScale(item >= 0 && item < 3 ? kScales[item] : 0);
  PanelWriteCommand->show();
}

LightsControls TLightSensorFrame::ZoneLights(int zone) const {
  const size_t i = static_cast<size_t>(zone);
  // Zones 2..4 offer no "všetky".
  return {RadioGroupCmndAddressType[i], EditCmndAddress[i], zone == 0};
}

void TLightSensorFrame::StoreCmndAddress(int zone) {
  if (Updating) return;
  Table->LightSensor()
      .Caos(static_cast<uint32_t>(zone))
      .SetCmndAddress(ChosenLights(ZoneLights(zone)).value_or(kErasedByte));
}

void TLightSensorFrame::OnRadioGroupCmndAddressTypeClick(int zone) {
  ChooseLights(ZoneLights(zone));
  StoreCmndAddress(zone);
  if (!Updating) PanelWriteCommand->show();
}

bool TLightSensorFrame::Report(const SequenceResult& result) {
  return ReportSequence(this, result);
}

void TLightSensorFrame::OnButtonWriteSensorEnableClick() {
  if (Session == nullptr) return;
  if (Report(WriteLightSensorEnabled(*Session, *Table))) Guard.Written(CheckBoxSensorEnabled);
  ShowPendingWrites();
}

void TLightSensorFrame::OnButtonWriteCmndSequencesClick() {
  if (Navigation == nullptr) return;
  RunImageWrite(*Navigation, LabelWritten, *Table, PlanSensorImage(*Table, kLightSensorImage),
                [this](const SequenceResult& result) {
                  // A write that did not complete leaves the device partly old: the panel stays.
                  Report(result);
                  ShowPendingWrites();
                });
}

void TLightSensorFrame::OnButtonReadMeasuredValueClick() {
  if (Session == nullptr) return;
  sensor_frame::ShowMeasuredValue(this, *ErrorDlg, EditMeasuredValue,
                                  ReadMeasuredIlluminance(*Session, *Table));
}

void TLightSensorFrame::OnIndicatorClick(int state) {
  if (Session == nullptr) return;
  Report(TestSensorIndicator(*Session, *Table, state));
}

}  // namespace lumetra
