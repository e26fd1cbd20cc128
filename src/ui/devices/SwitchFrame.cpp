// The push-button and switch editor: its controls, what each change stores into the record, the
// writes and the test commands.
#include "ui/devices/SwitchFrame.h"
#include "ui/devices/FieldEdits.h"
#include "ui/devices/MemoryWrite.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPointer>
#include <QTimer>
#include <QVBoxLayout>
#include <atomic>
#include <functional>
#include <memory>

#include "model/ControllerConfig.h"
#include "sequences/DeviceSequences.h"
#include "sequences/GearSequences.h"
#include "sequences/SwitchSequences.h"
#include "ui/NavigatedView.h"
#include "ui/Widgets.h"
#include "ui/devices/SwitchOncFrame.h"

namespace lumetra {

namespace {

const QStringList kTypeItems = {QStringLiteral("Tlačidlo"), QStringLiteral("Vypínač"),
                                QStringLiteral("Prepínač")};
const QStringList kLedItems = {QString(),
                               QStringLiteral("Vypnutý"),
                               QStringLiteral("Svieti"),
                               QStringLiteral("Blik 1 s"),
                               QStringLiteral("Blik 1/2s"),
                               QStringLiteral("Blik 1/4s"),
                               QStringLiteral("Blik 1/8s")};
const QStringList kRepeatItems = {QStringLiteral("Neopakovať"), QStringLiteral("1. príkazu"),
                                  QStringLiteral("2. príkazu"), QStringLiteral("3. príkazu"),
                                  QStringLiteral("4. príkazu")};
const QStringList kAfterResetItems = {QStringLiteral("Neštartovať"), QStringLiteral("Štartovať"),
                                      QStringLiteral("Podľa ovlad. prvku")};

QStringList CommandItems() {
  QStringList items = {QString(),
                       QStringLiteral("Úroveň"),
                       QStringLiteral("Vypnúť"),
                       QStringLiteral("Jasnejšie"),
                       QStringLiteral("Tmavšie"),
                       QStringLiteral("Krok jasnejšie"),
                       QStringLiteral("Krok tmavšie"),
                       QStringLiteral("Maximum"),
                       QStringLiteral("Minimum"),
                       QStringLiteral("Krok tmavšíe - vypnúť"),
                       QStringLiteral("Minimum - krok jasnejšie")};
  for (int n = 0; n < 16; ++n) items << QStringLiteral("Scéna %1").arg(n);
  return items;
}

// Command items: 0 the empty step, 1 a direct level, 2..10 opcodes 0..8, 11..26 the scenes.
constexpr int kEmptyItem = 0;
constexpr int kLevelItem = 1;
constexpr int kFirstSceneItem = 11;

// Address types of a step.
constexpr int kToAll = 0;
constexpr int kToGroup = 1;
constexpr int kToOne = 2;

// Captions by input type: the sequence radio buttons (event 0 / 1) and the test buttons.
struct TypeCaptions {
  const char* event0;
  const char* event1;
  const char* press;
  const char* hold;
};
constexpr TypeCaptions kTypeCaptions[] = {
    {"krátke stlačenie", "dlhé stlačenie", "Krátke", "Dlhé"},
    {"zapnutý", "vypnutý", "Zapnúť", "Vypnúť"},
    {"poloha 1", "poloha 2", "Poloha 1", "Poloha 2"},
};

// The leading decimal digits of a text, 0 when there are none.
uint32_t LeadingNumber(const QString& text) {
  uint32_t value = 0;
  for (const QChar c : text) {
    if (!c.isDigit()) break;
    value = value * 10 + static_cast<uint32_t>(c.digitValue());
    if (value > 0xFFFFFF) break;
  }
  return value;
}

void SelectItem(QComboBox* combo, uint32_t item) {
  combo->setCurrentIndex(item < static_cast<uint32_t>(combo->count()) ? static_cast<int>(item)
                                                                      : -1);
}

QComboBox* Combo(const QString& name, const QStringList& items) {
  auto* combo = new QComboBox;
  combo->setObjectName(name);
  combo->addItems(items);
  return combo;
}

QLineEdit* NumberEdit(const QString& name, int width, int maxLength) {
  auto* edit = new QLineEdit;
  edit->setObjectName(name);
  MakeDigitsOnly(edit, maxLength);
  edit->setFixedWidth(width);
  return edit;
}

// The design's radio groups lie in one row here: a step row has no room for a column.
TRadioGroup* RowRadioGroup(const QString& name, const QString& caption, const QStringList& items) {
  auto* group = new TRadioGroup(name, caption, items);
  delete group->layout();
  auto* row = new QHBoxLayout(group);
  row->setContentsMargins(caption.isEmpty() ? 0 : 4, 0, caption.isEmpty() ? 0 : 4, 0);
  row->setSpacing(caption.isEmpty() ? 2 : 4);
  for (int i = 0; i < group->Count(); ++i) row->addWidget(group->Item(i));
  return group;
}

QGroupBox* Bevel(QLayout* content) {
  auto* box = new QGroupBox;
  box->setLayout(content);
  return box;
}

QPushButton* Button(const char* name, const QString& text) {
  return Named<QPushButton>(name, text);
}

}  // namespace

TSwitchFrame::TSwitchFrame(TControllerFrame& host, QWidget* parent) : QFrame(parent), host_(host) {
  setObjectName(QStringLiteral("SwitchFrame"));
  EditFocus = new TEditFocusFilter(this);
  auto* top = new QHBoxLayout;
  top->addWidget(BuildInputs());
  top->addWidget(BuildSequenceChoice(), 1);
  auto* frame = new QVBoxLayout(this);
  frame->setContentsMargins(0, 0, 0, 0);
  frame->setSpacing(2);
  frame->addLayout(top);
  frame->addWidget(BuildSteps());
  frame->addWidget(BuildOptions());
  frame->addWidget(BuildResponses(), 1);
  frame->addWidget(BuildTests());
  UnframeStepTypes();
}

void TSwitchFrame::UnframeStepTypes() {
  // The row is the address types' frame. Styled only now that they have their place in the
  // window: a box styled before it has a parent keeps the application's font, not the window's.
  for (TRadioGroup* type : RadioGroupCmndAddressType) {
    type->setStyleSheet(QStringLiteral("QGroupBox { border: 0; margin: 0; padding: 0; }"));
  }
}

QWidget* TSwitchFrame::BuildInputs() {
  CheckBox1ButtonEnabled = Named<QCheckBox>("CheckBox1ButtonEnabled", QStringLiteral("1 povolený"));
  CheckBox2ButtonEnabled = Named<QCheckBox>("CheckBox2ButtonEnabled", QStringLiteral("2 povolený"));
  ComboBox1Type = Combo(QStringLiteral("ComboBox1Type"), kTypeItems);
  ComboBox2Type = Combo(QStringLiteral("ComboBox2Type"), kTypeItems);
  auto* grid = new QGridLayout;
  grid->setContentsMargins(6, 2, 6, 2);
  grid->setVerticalSpacing(1);
  grid->addWidget(new QLabel(QStringLiteral("Ovládací prvok:")), 0, 0);
  grid->addWidget(new QLabel(QStringLiteral("Stav:")), 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("Typ")), 0, 2);
  grid->addWidget(CheckBox1ButtonEnabled, 1, 1);
  grid->addWidget(ComboBox1Type, 1, 2);
  grid->addWidget(CheckBox2ButtonEnabled, 2, 1);
  grid->addWidget(ComboBox2Type, 2, 2);
  grid->addWidget(MakeWriteButton("ButtonWriteEnabledButtons", "PanelWriteEnabled",
                                  ButtonWriteEnabledButtons, PanelWriteEnabled),
                  1, 3, 2, 1);
  for (int i = 0; i < kInputs; ++i) {
    QCheckBox* box = i == 0 ? CheckBox1ButtonEnabled : CheckBox2ButtonEnabled;
    QComboBox* type = i == 0 ? ComboBox1Type : ComboBox2Type;
    connect(box, &QCheckBox::clicked, this, [this, i](bool) { OnCheckBoxButtonEnabledClick(i); });
    connect(type, &QComboBox::activated, this, [this, i](int) { OnComboBoxTypeSelect(i); });
  }
  connect(ButtonWriteEnabledButtons, &QPushButton::clicked, this,
          [this] { OnButtonWriteButtonsEnabledClick(); });
  return Bevel(grid);
}

QWidget* TSwitchFrame::BuildSequenceChoice() {
  RadioButton1Short = Named<QRadioButton>("RadioButton1Short", QStringLiteral("krátke stlačenie"));
  RadioButton1Long = Named<QRadioButton>("RadioButton1Long", QStringLiteral("dlhé stlačenie"));
  RadioButton2Short = Named<QRadioButton>("RadioButton2Short", QStringLiteral("krátke stlačenie"));
  RadioButton2Long = Named<QRadioButton>("RadioButton2Long", QStringLiteral("dlhé stlačenie"));
  RadioButton1Short->setChecked(true);
  auto* group = new QButtonGroup(this);
  auto* grid = new QGridLayout;
  grid->setContentsMargins(6, 2, 6, 2);
  grid->setVerticalSpacing(1);
  grid->addWidget(new QLabel(QStringLiteral("Postupnosť pre ovládací prvok:")), 0, 0, 1, 3);
  QRadioButton* const buttons[4] = {RadioButton1Short, RadioButton1Long, RadioButton2Short,
                                    RadioButton2Long};
  for (int s = 0; s < 4; ++s) {
    QRadioButton* button = buttons[s];
    group->addButton(button, s);
    if (s % 2 == 0) grid->addWidget(new QLabel(QString::number(s / 2 + 1) + ":"), 1 + s / 2, 0);
    grid->addWidget(button, 1 + s / 2, 1 + s % 2);
    connect(button, &QRadioButton::clicked, this,
            [this, s](bool) { OnRadioButtonSequenceClick(s); });
  }
  grid->setColumnStretch(3, 1);
  return Bevel(grid);
}

QWidget* TSwitchFrame::BuildSteps() {
  const QStringList commands = CommandItems();
  auto* grid = new QGridLayout;
  grid->setContentsMargins(4, 1, 4, 2);
  grid->setHorizontalSpacing(3);
  grid->setVerticalSpacing(0);
  for (int k = 0; k < kSteps; ++k) {
    const QString d = QString::number(k + 1);
    const size_t r = static_cast<size_t>(k);
    TRadioGroup* type = RadioGroupCmndAddressType[r] = RowRadioGroup(
        QStringLiteral("RadioGroupCmnd%1AddressType").arg(d), QString(),
        {QStringLiteral("všetkým"), QStringLiteral("skupine"), QStringLiteral("jednému")});
    // Captioned in the line rather than above it: a frame's caption would double the row. It
    // loses its frame once it sits in the window (UnframeStepTypes).
    EditCmndAddress[r] = NumberEdit(QStringLiteral("EditCmnd%1Address").arg(d), 28, 3);
    EditCmndAddress[r]->setText(QStringLiteral("1"));
    QComboBox* command = ComboBoxCmndCmnd[r] =
        Combo(QStringLiteral("ComboBoxCmnd%1Cmnd").arg(d), commands);
    command->setMaxVisibleItems(27);
    command->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    EditCmndData[r] = NumberEdit(QStringLiteral("EditCmnd%1Data").arg(d), 30, 3);
    Waits[r] = TWaitEdit::Make(
        QStringLiteral("EditCmnd%1Timeout").arg(d), 22, EditCmndTimeoutH[r], EditCmndTimeoutM[r],
        EditCmndTimeoutS[r],
        [this, k](uint32_t seconds) {
          Table->Switch()
              .Sequences(static_cast<uint32_t>(SelectedSequence))
              .Steps(static_cast<uint32_t>(k))
              .SetTimeout(seconds);
        },
        this);
    for (QLineEdit* edit : Waits[r]->Parts()) {
      connect(edit, &QLineEdit::textEdited, this, [this](const QString&) { OnCommandChange(); });
    }
    // Line one: to whom and what; line two, under it: the wait and the indicators.
    const int line = 2 * k;
    auto* sent = new QHBoxLayout;
    sent->setSpacing(3);
    sent->addWidget(new QLabel(QStringLiteral("Poslať")));
    sent->addWidget(type);
    sent->addSpacing(6);
    sent->addWidget(new QLabel(QStringLiteral("číslo:")));
    sent->addWidget(EditCmndAddress[r]);
    sent->addSpacing(6);
    sent->addWidget(command);
    sent->addSpacing(6);
    sent->addWidget(new QLabel(QStringLiteral("hodnota:")));
    sent->addWidget(EditCmndData[r]);
    sent->addStretch(1);
    auto* after = new QHBoxLayout;
    after->setSpacing(3);
    after->addWidget(new QLabel(QStringLiteral("Čakať po príkaze: h : m : s")));
    after->addWidget(EditCmndTimeoutH[r]);
    after->addWidget(EditCmndTimeoutM[r]);
    after->addWidget(EditCmndTimeoutS[r]);
    after->addSpacing(12);
    after->addWidget(new QLabel(QStringLiteral("Indikátory:")));
    grid->addWidget(new QLabel(QStringLiteral("%1. príkaz:").arg(d)), line, 0);
    grid->addLayout(sent, line, 1);
    grid->addLayout(after, line + 1, 1);
    for (int j = 0; j < kIndicators; ++j) {
      QComboBox*& led = ComboBoxCmndLed[r][static_cast<size_t>(j)];
      led = Combo(QStringLiteral("ComboBoxCmnd%1Led%2").arg(d).arg(j + 1), kLedItems);
      led->setSizeAdjustPolicy(QComboBox::AdjustToContents);
      after->addWidget(new QLabel(QStringLiteral("%1.").arg(j + 1)));
      after->addWidget(led);
      connect(led, &QComboBox::activated, this,
              [this, k, j](int) { OnComboBoxCmndLedSelect(k, j); });
    }
    after->addStretch(1);
    connect(type, &TRadioGroup::Clicked, this,
            [this, k](int) { OnRadioGroupCmndAddressTypeClick(k); });
    connect(command, &QComboBox::activated, this, [this, k](int) { OnComboBoxCmndSelect(k); });
    const struct {
      QLineEdit* edit;
      void (TSwitchFrame::*exit)(int);
    } edits[] = {{EditCmndAddress[r], &TSwitchFrame::OnEditCmndAddressExit},
                 {EditCmndData[r], &TSwitchFrame::OnEditCmndDataExit}};
    for (const auto& e : edits) {
      EditFocus->Watch(
          e.edit, [this](QLineEdit* edit) { OnEditEnter(edit); },
          [this, k, exit = e.exit](QLineEdit*) { (this->*exit)(k); });
      connect(e.edit, &QLineEdit::textEdited, this, [this](const QString&) { OnCommandChange(); });
    }
  }
  grid->setColumnStretch(1, 1);
  return Bevel(grid);
}

QWidget* TSwitchFrame::BuildOptions() {
  auto* row = new QHBoxLayout;
  row->setContentsMargins(6, 2, 6, 2);
  row->setSpacing(4);
  row->addWidget(new QLabel(QStringLiteral("Poslať aktuálny stav pred príkazom:")));
  for (int k = 0; k < kSteps; ++k) {
    QCheckBox*& box = CheckBoxCmndSendState[static_cast<size_t>(k)];
    box = new QCheckBox(QString::number(k + 1));
    box->setObjectName(QStringLiteral("CheckBoxCmnd%1SendState").arg(k + 1));
    row->addWidget(box);
    connect(box, &QCheckBox::clicked, this, [this, k](bool) { OnCheckBoxCmndSendStateClick(k); });
  }
  row->addSpacing(8);
  row->addWidget(new QLabel(QStringLiteral("Opakovať od:")));
  ComboBoxRepeat = Combo(QStringLiteral("ComboBoxRepeat"), kRepeatItems);
  row->addWidget(ComboBoxRepeat);
  row->addSpacing(8);
  row->addWidget(new QLabel(QStringLiteral("Ukončiť postupnosť pre ovládací prvok ")));
  CheckBoxResetBtn = Named<QCheckBox>("CheckBoxResetBtn", QStringLiteral("2"));
  row->addWidget(CheckBoxResetBtn);
  row->addStretch(1);

  auto* second = new QHBoxLayout;
  second->setContentsMargins(6, 0, 6, 2);
  second->addWidget(new QLabel(QStringLiteral("Po zapnutí:")));
  ComboBoxAfterReset = Combo(QStringLiteral("ComboBoxAfterReset"), kAfterResetItems);
  second->addWidget(ComboBoxAfterReset);
  second->addStretch(1);
  LabelWritten = MakeWriteCounter(70);
  second->addWidget(LabelWritten);
  second->addWidget(MakeWriteButton("ButtonWriteCmndSequences", "PanelWriteCommand",
                                    ButtonWriteCmndSequences, PanelWriteCommand));
  connect(ComboBoxRepeat, &QComboBox::activated, this, [this](int) { OnComboBoxRepeatSelect(); });
  connect(CheckBoxResetBtn, &QCheckBox::clicked, this, [this](bool) { OnCheckBoxResetBtnClick(); });
  connect(ComboBoxAfterReset, &QComboBox::activated, this,
          [this](int) { OnComboBoxAfterResetSelect(); });
  connect(ButtonWriteCmndSequences, &QPushButton::clicked, this,
          [this] { OnButtonWriteCmndSequencesClick(); });
  auto* both = new QVBoxLayout;
  both->setContentsMargins(0, 0, 0, 0);
  both->setSpacing(0);
  both->addLayout(row);
  both->addLayout(second);
  return Bevel(both);
}

QWidget* TSwitchFrame::BuildResponses() {
  LabelResponse = Named<QLabel>("LabelResponse", QStringLiteral("Odozvy na správy z okolia:"));
  SwitchOncFrame = new TSwitchOncFrame(*this, nullptr);
  // The column headings stand over the rows' controls; AlignResponseHeaders puts them there once
  // the rows are laid out.
  OncHeader = new QWidget;
  OncHeader->setFixedHeight(2 * fontMetrics().height() + 2);
  const struct {
    const char* text;
    int line;
    std::function<QWidget*()> over;
  } headings[] = {
      {"Adresa", 1, [this] { return SwitchOncFrame->EditOncAddress[0]; }},
      {"Správa", 1, [this] { return SwitchOncFrame->ComboBoxOncState[0]; }},
      {"Zakázať", 1, [this] { return SwitchOncFrame->CheckBoxOncDisabled[0]; }},
      {"Postupnosť", 0, [this] { return SwitchOncFrame->CheckBoxOncStopSequence[0]; }},
      {"Stop", 1, [this] { return SwitchOncFrame->CheckBoxOncStopSequence[0]; }},
      {"Štart", 1, [this] { return SwitchOncFrame->ComboBoxOncStartSequence[0]; }},
      {"Indikátor", 0, [this] { return SwitchOncFrame->ComboBoxOncLed[0][0]; }},
      {"1. / 3.", 1, [this] { return SwitchOncFrame->ComboBoxOncLed[0][0]; }},
      {"2. / 4.", 1, [this] { return SwitchOncFrame->ComboBoxOncLed[1][0]; }},
  };
  // The rows' boxes are as wide as the headings over them.
  for (int row = 0; row < TSwitchOncFrame::kRows; ++row) {
    const size_t r = static_cast<size_t>(row);
    SwitchOncFrame->CheckBoxOncDisabled[r]->setMinimumWidth(
        fontMetrics().horizontalAdvance(QStringLiteral("Zakázať")) + 6);
    SwitchOncFrame->CheckBoxOncStopSequence[r]->setMinimumWidth(
        fontMetrics().horizontalAdvance(QStringLiteral("Stop")) + 8);
  }
  for (const auto& h : headings) {
    auto* label = new QLabel(QString::fromUtf8(h.text), OncHeader);
    label->adjustSize();
    headerAnchors_.push_back({label, h.line, h.over});
  }
  auto* column = new QVBoxLayout;
  column->setContentsMargins(4, 2, 4, 2);
  column->setSpacing(0);
  column->addWidget(LabelResponse);
  column->addWidget(OncHeader);
  column->addWidget(SwitchOncFrame, 1);
  return Bevel(column);
}

void TSwitchFrame::AlignResponseHeaders() {
  const int origin = OncHeader->mapTo(this, QPoint(0, 0)).x();
  const int lineHeight = fontMetrics().height();
  for (const HeaderAnchor& h : headerAnchors_) {
    const int x = h.over()->mapTo(this, QPoint(0, 0)).x() - origin;
    h.label->move(std::max(0, x), h.line * lineHeight);
  }
}

void TSwitchFrame::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  AlignResponseHeaders();
}

void TSwitchFrame::showEvent(QShowEvent* event) {
  QFrame::showEvent(event);
  // The rows are laid out once the event loop has run.
  QTimer::singleShot(0, this, [this] { AlignResponseHeaders(); });
}

QWidget* TSwitchFrame::BuildTests() {
  RadioGroupBtn = RowRadioGroup(QStringLiteral("RadioGroupBtn"), QStringLiteral("Ovládací prvok"),
                                {QStringLiteral("1"), QStringLiteral("2")});
  ButtonPress = Button("ButtonPress", QStringLiteral("Krátke"));
  ButtonHold = Button("ButtonHold", QStringLiteral("Dlhé"));
  RadioGroupIndicator = RowRadioGroup(
      QStringLiteral("RadioGroupIndicator"), QStringLiteral("Indikátor"),
      {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")});
  ButtonOff = Button("ButtonOff", QStringLiteral("Vypnúť"));
  ButtonOn = Button("ButtonOn", QStringLiteral("Zasvietiť"));
  ButtonBlinkWhole = Button("ButtonBlinkWhole", QStringLiteral("Blikať 1 s"));
  ButtonBlinkHalf = Button("ButtonBlinkHalf", QStringLiteral("Blikať 1/2 s"));
  ButtonBlinkQuarter = Button("ButtonBlinkQuarter", QStringLiteral("Blikať 1/4 s"));
  ButtonBlinkEighth = Button("ButtonBlinkEighth", QStringLiteral("Blikať1/8 s"));
  auto* row = new QHBoxLayout;
  row->setContentsMargins(4, 0, 4, 2);
  row->setSpacing(3);
  row->addWidget(RadioGroupBtn);
  row->addWidget(ButtonPress);
  row->addWidget(ButtonHold);
  row->addSpacing(6);
  row->addWidget(RadioGroupIndicator);
  QPushButton* const indicators[] = {ButtonOff,       ButtonOn,           ButtonBlinkWhole,
                                     ButtonBlinkHalf, ButtonBlinkQuarter, ButtonBlinkEighth};
  for (int code = 0; code < 6; ++code) {
    row->addWidget(indicators[code]);
    connect(indicators[code], &QPushButton::clicked, this,
            [this, code] { OnButtonIndicatorClick(code); });
  }
  row->addStretch(1);
  // As wide as their texts, so that the whole row fits; the input buttons as wide as their longest
  // caption of any input type.
  const QFontMetrics metrics(font());
  for (QPushButton* b : indicators) b->setFixedWidth(metrics.horizontalAdvance(b->text()) + 10);
  int widest = 0;
  for (const TypeCaptions& c : kTypeCaptions) {
    for (const char* text : {c.press, c.hold}) {
      widest = std::max(widest, metrics.horizontalAdvance(QString::fromUtf8(text)));
    }
  }
  for (QPushButton* b : {ButtonPress, ButtonHold}) b->setFixedWidth(widest + 10);
  for (TRadioGroup* group : {RadioGroupBtn, RadioGroupIndicator}) {
    group->setMinimumWidth(group->sizeHint().width());
  }
  connect(RadioGroupBtn, &TRadioGroup::Clicked, this, [this](int) { OnRadioGroupBtnClick(); });
  connect(ButtonPress, &QPushButton::clicked, this, [this] { OnButtonPressClick(); });
  connect(ButtonHold, &QPushButton::clicked, this, [this] { OnButtonHoldClick(); });
  return Bevel(row);
}

void TSwitchFrame::Attach(BusSession& session, TControllerConfig& table, TNavigation* navigation) {
  Session = &session;
  Table = &table;
  Navigation = navigation;
  SwitchOncFrame->Attach(table);
}

// ---- showing ----

void TSwitchFrame::ShowTypeCaptions() {
  SwitchLayout layout = Table->Switch();
  const uint8_t types[kInputs] = {layout.Type0(), layout.Type1()};
  QRadioButton* const radios[kInputs][2] = {{RadioButton1Short, RadioButton1Long},
                                            {RadioButton2Short, RadioButton2Long}};
  for (int i = 0; i < kInputs; ++i) {
    // A type never read or chosen (erased memory) reads as the push-button the device then is:
    // keeping the captions as they were would show those of the device shown before.
    const TypeCaptions& c = kTypeCaptions[types[i] < std::size(kTypeCaptions) ? types[i] : 0];
    radios[i][0]->setText(QString::fromUtf8(c.event0));
    radios[i][1]->setText(QString::fromUtf8(c.event1));
  }
  OnRadioGroupBtnClick();
}

bool TSwitchFrame::SendStateOffered() {
  TControllerConfig& t = *Table;
  const uint8_t slot = t.CurrentSlot();
  uint8_t version = t.Version();
  uint8_t minVersion = t.MinVersion();
  if (slot >= TConfig::kGroupSlot) {
    // The group slot holds no firmware; the host offers this editor only when every member has
    // the same one, so the first member's stands for all.
    version = minVersion = 0;
    const uint8_t group = t.CurrentGroup();
    for (uint8_t i = 0; i < TConfig::kGroupSlot; ++i) {
      if (t.IsSlotFree(i)) continue;
      t.SetCurrentSlot(i);
      if (group != TConfig::kAllDevices && t.Groups(group) == 0) continue;
      version = t.Version();
      minVersion = t.MinVersion();
      break;
    }
    t.SetCurrentSlot(slot);
  }
  return version == 1 && minVersion >= 1 && minVersion != kNotRead;
}

void TSwitchFrame::ShowStep(int k) {
  const size_t r = static_cast<size_t>(k);
  const SwitchStep step = Table->Switch()
                              .Sequences(static_cast<uint32_t>(SelectedSequence))
                              .Steps(static_cast<uint32_t>(k));
  const uint8_t a = step.Address();
  const uint8_t c = step.Command();
  TRadioGroup* type = RadioGroupCmndAddressType[r];
  QLineEdit* address = EditCmndAddress[r];
  if (a >= 0xFE) {
    type->SetItemIndex(kToAll);
    address->setEnabled(false);
    address->setText(QStringLiteral("255"));
  } else {
    type->SetItemIndex((a & 0x80) ? kToGroup : kToOne);
    address->setEnabled(true);
    address->setText(QString::number((a >> 1) & 0x3F));
  }
  QComboBox* command = ComboBoxCmndCmnd[r];
  if (a & 1) {
    if (c == 0xFF) {
      command->setCurrentIndex(kEmptyItem);
      type->setEnabled(false);
    } else {
      type->setEnabled(true);
      // Opcodes 9..15 are nothing a step sends: no item rather than a wrong scene.
      const bool named = c <= 8 || (c >= 16 && c < 32);
      command->setCurrentIndex(!named ? -1 : c < 16 ? c + 2 : c - 5);
    }
    EditCmndData[r]->setEnabled(false);
    EditCmndData[r]->setText(QStringLiteral("0"));
  } else {
    command->setCurrentIndex(kLevelItem);
    EditCmndData[r]->setEnabled(true);
    EditCmndData[r]->setText(QString::fromStdString(
        Table->FormatLevel(static_cast<int32_t>(Table->ConvertLevel(true, c)))));
    type->setEnabled(true);
  }
  // Erased memory (65 535) or a step never set: no wait the device would count, shown as none
  // rather than as a time nobody could type.
  Waits[r]->Show(step.Timeout());
  const uint8_t leds[kIndicators] = {step.Indicator1(), step.Indicator2(), step.Indicator3(),
                                     step.Indicator4()};
  for (int j = 0; j < kIndicators; ++j) {
    SelectItem(ComboBoxCmndLed[r][static_cast<size_t>(j)], (leds[j] + 1u) & 0x0F);
  }
}

void TSwitchFrame::ShowDevice(bool hidePanels) {
  if (Table == nullptr) return;
  Updating = true;
  SwitchLayout layout = Table->Switch();
  const uint8_t enabled = layout.ButtonsEnabled();
  // Bits never read show as unknown, so that no guess goes out with the inputs' write.
  TEditGuard::ShowCheck(CheckBox1ButtonEnabled, enabled == 0xFF ? kNotRead : enabled & 1);
  TEditGuard::ShowCheck(CheckBox2ButtonEnabled, enabled == 0xFF ? kNotRead : (enabled >> 1) & 1);
  SelectItem(ComboBox1Type, layout.Type0());
  SelectItem(ComboBox2Type, layout.Type1());
  ShowTypeCaptions();
  QRadioButton* const radios[4] = {RadioButton1Short, RadioButton1Long, RadioButton2Short,
                                   RadioButton2Long};
  radios[SelectedSequence]->setChecked(true);
  for (int k = 0; k < kSteps; ++k) ShowStep(k);

  const int s = SelectedSequence;
  const SwitchSequence sequence = layout.Sequences(static_cast<uint32_t>(s));
  LabelResponse->setText(
      QStringLiteral("Odozvy na správy z okolia pre ovládací prvok %1:").arg(s / 2 + 1));
  CheckBoxResetBtn->setText(s > 1 ? QStringLiteral("1") : QStringLiteral("2"));
  CheckBoxResetBtn->setChecked(sequence.ResetFlags() & 1);
  SelectItem(ComboBoxAfterReset, sequence.ResetFlags() >> 4);
  SelectItem(ComboBoxRepeat, (sequence.Repeat() + 1u) & 0x0F);
  const bool sendState = SendStateOffered();
  for (int k = 0; k < kSteps; ++k) {
    QCheckBox* box = CheckBoxCmndSendState[static_cast<size_t>(k)];
    box->setEnabled(sendState);
    box->setChecked(sendState && ((sequence.Repeat() >> (4 + k)) & 1));
  }
  SwitchOncFrame->ShowResponses(static_cast<uint32_t>(s / 2));
  for (QWidget* w : {static_cast<QWidget*>(RadioGroupBtn), static_cast<QWidget*>(ButtonPress),
                     static_cast<QWidget*>(ButtonHold)}) {
    w->setEnabled(true);
  }
  LabelWritten->clear();
  if (hidePanels) ShowPendingWrites();
  Updating = false;
}

void TSwitchFrame::ShowPendingWrites() {
  ShowPending(PanelWriteEnabled, PlanSwitchInputs(*Table));
  ShowPending(PanelWriteCommand, PlanSwitchSequences(*Table));
}

// ---- storing the steps ----

void TSwitchFrame::StoreStepAddress(int k) {
  if (Updating) return;
  const size_t r = static_cast<size_t>(k);
  const uint32_t n = LeadingNumber(EditCmndAddress[r]->text());
  uint32_t value = 0xFF;
  switch (RadioGroupCmndAddressType[r]->ItemIndex()) {
    case kToGroup:
      value = 0x81 + 2 * (n & 0x0F);
      break;
    case kToOne:
      value = 2 * (n & 0x3F) + 1;
      break;
    default:
      EditCmndAddress[r]->setText(QStringLiteral("255"));
      break;
  }
  // A direct level goes with the selector bit clear: 0xFE, 0x80 + 2g, 2a.
  if (ComboBoxCmndCmnd[r]->currentIndex() == kLevelItem) value &= ~1u;
  Table->Switch()
      .Sequences(static_cast<uint32_t>(SelectedSequence))
      .Steps(static_cast<uint32_t>(k))
      .SetAddress(value);
}

void TSwitchFrame::StoreStepLevel(int k) {
  const size_t r = static_cast<size_t>(k);
  if (ComboBoxCmndCmnd[r]->currentIndex() != kLevelItem) return;
  const uint32_t v = Table->ConvertLevel(false, LeadingNumber(EditCmndData[r]->text()));
  Table->Switch()
      .Sequences(static_cast<uint32_t>(SelectedSequence))
      .Steps(static_cast<uint32_t>(k))
      .SetCommand(v & 0xFF);
}

void TSwitchFrame::OnRadioGroupCmndAddressTypeClick(int k) {
  if (Updating) return;
  const size_t r = static_cast<size_t>(k);
  EditCmndAddress[r]->setEnabled(RadioGroupCmndAddressType[r]->ItemIndex() != kToAll);
  StoreStepAddress(k);
  PanelWriteCommand->show();
}

void TSwitchFrame::OnComboBoxCmndSelect(int k) {
  if (Updating) return;
  const size_t r = static_cast<size_t>(k);
  const int x = ComboBoxCmndCmnd[r]->currentIndex();
  SwitchStep step = Table->Switch()
                        .Sequences(static_cast<uint32_t>(SelectedSequence))
                        .Steps(static_cast<uint32_t>(k));
  RadioGroupCmndAddressType[r]->setEnabled(x != kEmptyItem);
  if (x == kLevelItem) {
    EditCmndData[r]->setEnabled(true);
    StoreStepLevel(k);
    StoreStepAddress(k);
  } else {
    EditCmndData[r]->setEnabled(false);
    if (x == kEmptyItem) {
      RadioGroupCmndAddressType[r]->SetItemIndex(kToAll);
      EditCmndAddress[r]->setEnabled(false);
      EditCmndAddress[r]->setText(QStringLiteral("255"));
      step.SetAddress(0xFF);
      step.SetCommand(0xFF);
    } else {
      StoreStepAddress(k);
      step.SetCommand(x < kFirstSceneItem ? static_cast<uint32_t>(x - 2)
                                          : static_cast<uint32_t>(x + 5));
    }
  }
  PanelWriteCommand->show();
}

void TSwitchFrame::OnComboBoxCmndLedSelect(int k, int j) {
  if (Updating) return;
  const int x = ComboBoxCmndLed[static_cast<size_t>(k)][static_cast<size_t>(j)]->currentIndex();
  SwitchStep step = Table->Switch()
                        .Sequences(static_cast<uint32_t>(SelectedSequence))
                        .Steps(static_cast<uint32_t>(k));
  step.SetIndicator(static_cast<uint32_t>(j), static_cast<uint32_t>(x - 1) & 0x0F);
  PanelWriteCommand->show();
}

void TSwitchFrame::OnCheckBoxCmndSendStateClick(int k) {
  if (Updating) return;
  SwitchSequence sequence = Table->Switch().Sequences(static_cast<uint32_t>(SelectedSequence));
  const uint32_t bit = 1u << (4 + k);
  const uint32_t repeat = sequence.Repeat();
  sequence.SetRepeat(CheckBoxCmndSendState[static_cast<size_t>(k)]->isChecked() ? repeat | bit
                                                                                : repeat & ~bit);
  PanelWriteCommand->show();
}

void TSwitchFrame::OnComboBoxRepeatSelect() {
  if (Updating) return;
  SwitchSequence sequence = Table->Switch().Sequences(static_cast<uint32_t>(SelectedSequence));
  const uint32_t from = static_cast<uint32_t>(ComboBoxRepeat->currentIndex() - 1) & 0x0F;
  sequence.SetRepeat((sequence.Repeat() & 0xF0) | from);
  PanelWriteCommand->show();
}

void TSwitchFrame::OnCheckBoxResetBtnClick() {
  if (Updating) return;
  SwitchSequence sequence = Table->Switch().Sequences(static_cast<uint32_t>(SelectedSequence));
  const uint32_t flags = sequence.ResetFlags();
  sequence.SetResetFlags(CheckBoxResetBtn->isChecked() ? flags | 1 : flags & ~1u);
  PanelWriteCommand->show();
}

void TSwitchFrame::OnComboBoxAfterResetSelect() {
  if (Updating) return;
  SwitchSequence sequence = Table->Switch().Sequences(static_cast<uint32_t>(SelectedSequence));
  sequence.SetResetFlags((sequence.ResetFlags() & 0x0F) +
                         16u * static_cast<uint32_t>(ComboBoxAfterReset->currentIndex()));
  PanelWriteCommand->show();
}

void TSwitchFrame::OnRadioButtonSequenceClick(int sequence) {
  SelectedSequence = sequence;
  ShowDevice(false);
}

// ---- typed values ----

void TSwitchFrame::OnEditEnter(QLineEdit* edit) { EnteredText = edit->text(); }

void TSwitchFrame::OnCommandChange() {
  if (Updating) return;
  PanelWriteCommand->show();
}

void TSwitchFrame::OnEditCmndAddressExit(int k) {
  QLineEdit* edit = EditCmndAddress[static_cast<size_t>(k)];
  if (LeadingNumber(edit->text()) > 255) {
    edit->setText(EnteredText);
    return;
  }
  StoreStepAddress(k);
}

void TSwitchFrame::OnEditCmndDataExit(int k) {
  QLineEdit* edit = EditCmndData[static_cast<size_t>(k)];
  const uint32_t n = LeadingNumber(edit->text());
  // A direct level is 0..254 (100 % at most): 255 is no level at all, and a step would send it
  // as one.
  const bool inRange = Table->PercentMode() ? n <= 100 : n <= 254;
  if (!inRange) {
    edit->setText(EnteredText);
    return;
  }
  StoreStepLevel(k);
}

// ---- inputs ----

void TSwitchFrame::OnCheckBoxButtonEnabledClick(int input) {
  if (Updating) return;
  QCheckBox* box = input == 0 ? CheckBox1ButtonEnabled : CheckBox2ButtonEnabled;
  SwitchLayout layout = Table->Switch();
  // The first box decided on a byte never read leaves the unused bits clear, so that 0xFF keeps
  // meaning "never read" alone; the other box stays unknown until it is decided too.
  uint32_t enabled = layout.ButtonsEnabled();
  if (enabled == 0xFF) enabled = 0x03;
  const uint32_t bit = 1u << input;
  layout.SetButtonsEnabled(box->isChecked() ? enabled | bit : enabled & ~bit);
  PanelWriteEnabled->show();
}

void TSwitchFrame::OnComboBoxTypeSelect(int input) {
  if (Updating) return;
  SwitchLayout layout = Table->Switch();
  const int item = (input == 0 ? ComboBox1Type : ComboBox2Type)->currentIndex();
  if (input == 0) {
    layout.SetType0(static_cast<uint32_t>(item));
  } else {
    layout.SetType1(static_cast<uint32_t>(item));
  }
  ShowTypeCaptions();
  PanelWriteEnabled->show();
}

void TSwitchFrame::OnButtonWriteButtonsEnabledClick() {
  if (Session == nullptr) return;
  // A box still unknown would go out as a guess.
  for (const QCheckBox* box : {CheckBox1ButtonEnabled, CheckBox2ButtonEnabled}) {
    if (box->checkState() == Qt::PartiallyChecked) {
      host_.Report({kSequenceRefused,
                    {},
                    "Povolenie ovládacieho prvku " +
                        std::string(box == CheckBox1ButtonEnabled ? "1" : "2") +
                        " nie je prečítané ani zvolené"});
      return;
    }
  }
  // Nothing was written unless all of it went through: the panel stays then.
  host_.Report(WriteSwitchInputs(*Session, *Table));
  ShowPendingWrites();
}

// ---- the long write ----

void TSwitchFrame::WriteSequencesDone(const SequenceResult& result) {
  LabelWritten->clear();
  LabelWritten->repaint();
  host_.Report(result);
  ShowPendingWrites();
}

void TSwitchFrame::OnButtonWriteCmndSequencesClick() {
  if (Session == nullptr || Navigation == nullptr) return;
  // On the worker: the navigation locks the tables and every other bus action until `done`; the
  // sequence touches no widget.
  TControllerConfig* table = Table;
  QPointer<TSwitchFrame> self(this);
  RunMemoryWrite(
      *Navigation, LabelWritten, PlanSwitchSequences(*Table),
      [table](BusSession& session) { return WriteSwitchSequences(session, *table); },
      [self](const SequenceResult& result) {
        if (self) self->WriteSequencesDone(result);
      });
}

// ---- tests ----

void TSwitchFrame::OnRadioGroupBtnClick() {
  SwitchLayout layout = Table->Switch();
  const uint8_t type = RadioGroupBtn->ItemIndex() == 1 ? layout.Type1() : layout.Type0();
  const TypeCaptions& c = kTypeCaptions[type < std::size(kTypeCaptions) ? type : 0];
  ButtonPress->setText(QString::fromUtf8(c.press));
  ButtonHold->setText(QString::fromUtf8(c.hold));
}

void TSwitchFrame::OnButtonPressClick() {
  if (Session == nullptr) return;
  host_.Report(PressSwitchInput(*Session, *Table, RadioGroupBtn->ItemIndex()));
}

void TSwitchFrame::OnButtonHoldClick() {
  if (Session == nullptr) return;
  host_.Report(HoldSwitchInput(*Session, *Table, RadioGroupBtn->ItemIndex()));
}

void TSwitchFrame::OnButtonIndicatorClick(int code) {
  if (Session == nullptr) return;
  host_.Report(SetSwitchIndicator(*Session, *Table, RadioGroupIndicator->ItemIndex(), code));
}

}  // namespace lumetra
