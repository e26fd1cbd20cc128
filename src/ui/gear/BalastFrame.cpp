// The control gear editor: its controls, the writes to the bus and the table updates that follow.
#include "ui/gear/BalastFrame.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QShortcut>
#include <QVBoxLayout>

#include "buslink/BusSession.h"
#include "documents/DeviceReports.h"
#include "model/BalastConfig.h"
#include "model/GearTypeNames.h"
#include "sequences/GearSequences.h"
#include "ui/EditGuard.h"
#include "ui/ErrorDlg.h"
#include "ui/LumetraApplication.h"
#include "ui/Widgets.h"
#include "ui/gear/ZorvikBalastFrame.h"

namespace lumetra {

namespace {

constexpr uint32_t kNoLevel = 255;

QString TypeName(int type) {
  const std::string_view name = DeviceTypeName(static_cast<uint32_t>(type));
  return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

QString TwoDigits(int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); }

QLabel* Caption(const QString& text) { return new QLabel(text); }

QLineEdit* ReadOnly(const char* name) {
  auto* edit = Named<QLineEdit>(name);
  edit->setReadOnly(true);
  return edit;
}

QLineEdit* Digits(const char* name, int width = 50) {
  auto* edit = Named<QLineEdit>(name);
  MakeDigitsOnly(edit);
  edit->setFixedWidth(width);
  return edit;
}

QLabel* Unit(const char* name, const QString& text = QStringLiteral("%")) {
  return Named<QLabel>(name, text);
}

// A bevelled area of the editor.
QFrame* Area(QLayout* content) {
  auto* area = new QFrame;
  area->setFrameShape(QFrame::StyledPanel);
  area->setFrameShadow(QFrame::Raised);
  area->setLayout(content);
  return area;
}

}  // namespace

TBalastFrame::TBalastFrame(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("BalastFrame"));
  EditFocus = new TEditFocusFilter(this);
  LocalizeTimer = new QTimer(this);
  LocalizeTimer->setObjectName(QStringLiteral("LocalizeTimer"));
  LocalizeTimer->setInterval(kLocalizeStep);
  connect(LocalizeTimer, &QTimer::timeout, this,
          [this] { TLumetraApplication::Guard([this] { OnLocalizeTimer(); }); });
  BuildControls();
  DiagnosticsShortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D), this);
  DiagnosticsShortcut->setContext(Qt::WidgetWithChildrenShortcut);
  connect(DiagnosticsShortcut, &QShortcut::activated, this, &TBalastFrame::ToggleDiagnostics);
}

void TBalastFrame::BuildControls() {
  QLayout* left[] = {BuildIdentityArea(), BuildAddressArea(), BuildSettingsArea(),
                     BuildStatusArea()};
  QLayout* right[] = {BuildGroupsArea(), BuildScenesArea(), BuildCommandsArea(),
                      BuildActionsArea()};
  ZorvikBalastFrame = new TZorvikBalastFrame;
  ZorvikBalastFrame->hide();

  auto* leftColumn = new QVBoxLayout;
  for (QLayout* area : left) leftColumn->addWidget(Area(area));
  leftColumn->addStretch(1);
  auto* rightColumn = new QVBoxLayout;
  for (QLayout* area : right) rightColumn->addWidget(Area(area));
  rightColumn->addStretch(1);
  auto* columns = new QHBoxLayout;
  // The left column takes what it needs; the direct commands have the longest captions.
  columns->addLayout(leftColumn, 0);
  columns->addLayout(rightColumn, 1);
  auto* frame = new QVBoxLayout(this);
  frame->setContentsMargins(6, 6, 6, 6);
  frame->addLayout(columns);
  frame->addWidget(ZorvikBalastFrame);
  frame->addStretch(1);
  ConnectHandlers();
}

QLayout* TBalastFrame::BuildIdentityArea() {
  EditType = ReadOnly("EditType");
  EditVersion = ReadOnly("EditVersion");
  EditPhysicalMin = ReadOnly("EditPhysicalMin");
  EditPhysicalMin->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  EditPhysicalMin->setFixedWidth(50);
  EditVersion->setFixedWidth(50);
  LabelPhysicalMinPercent = Unit("LabelPhysicalMinPercent");
  auto* identity = new QGridLayout;
  identity->addWidget(Caption(QStringLiteral("Typ:")), 0, 0);
  identity->addWidget(EditType, 0, 1, 1, 2);
  identity->addWidget(Caption(QStringLiteral("Verzia:")), 1, 0);
  identity->addWidget(EditVersion, 1, 1);
  identity->addWidget(Caption(QStringLiteral("Minimálna fyzikálna úroveň:")), 2, 0);
  identity->addWidget(EditPhysicalMin, 2, 1);
  identity->addWidget(LabelPhysicalMinPercent, 2, 2);
  identity->setColumnStretch(2, 1);

  return identity;
}

QLayout* TBalastFrame::BuildAddressArea() {
  AddrLabel = Named<QLabel>("AddrLabel", QStringLiteral("Adresa svietidla:"));
  EditShortAddr = Digits("EditShortAddr");
  EditActLevel = Digits("EditActLevel");
  LabelActLevelPercent = Unit("LabelActLevelPercent");
  auto* address = new QGridLayout;
  address->addWidget(AddrLabel, 0, 0);
  address->addWidget(EditShortAddr, 0, 1);
  address->addWidget(
      MakeWriteButton("ButtonNewAddress", "PanelWriteAddress", ButtonNewAddress, PanelWriteAddress),
      0, 3);
  address->addWidget(Caption(QStringLiteral("Aktuálna úroveň:")), 1, 0);
  address->addWidget(EditActLevel, 1, 1);
  address->addWidget(LabelActLevelPercent, 1, 2);
  address->addWidget(MakeWriteButton("ButtonNewActLevel", "PanelWriteActLevel", ButtonNewActLevel,
                                     PanelWriteActLevel),
                     1, 3);
  address->setColumnStretch(2, 1);

  return address;
}

QLayout* TBalastFrame::BuildSettingsArea() {
  EditMinLevel = Digits("EditMinLevel");
  EditMaxLevel = Digits("EditMaxLevel");
  EditPowerOnLevel = Digits("EditPowerOnLevel");
  EditFailureLevel = Digits("EditFailureLevel");
  EditFadeRate = Digits("EditFadeRate");
  EditFadeTime = Digits("EditFadeTime");
  LabelMinLevelPercent = Unit("LabelMinLevelPercent");
  LabelMaxLevelPercent = Unit("LabelMaxLevelPercent");
  LabelPowerOnLevelPercent = Unit("LabelPowerOnLevelPercent");
  LabelFailureLevelPercent = Unit("LabelFailureLevelPercent");
  const struct {
    const char* caption;
    QLineEdit* edit;
    QLabel* unit;
  } settingRows[] = {
      {"Minimálna úroveň:", EditMinLevel, LabelMinLevelPercent},
      {"Maximálna úroveň:", EditMaxLevel, LabelMaxLevelPercent},
      {"Úroveň pri zapnutí:", EditPowerOnLevel, LabelPowerOnLevelPercent},
      {"Úroveň pri chybe:", EditFailureLevel, LabelFailureLevelPercent},
      {"Rýchlosť stmievania:", EditFadeRate, nullptr},
      {"Čas stmievania:", EditFadeTime, nullptr},
  };
  auto* settings = new QGridLayout;
  int row = 0;
  for (const auto& r : settingRows) {
    settings->addWidget(Caption(QString::fromUtf8(r.caption)), row, 0);
    settings->addWidget(r.edit, row, 1);
    if (r.unit) settings->addWidget(r.unit, row, 2);
    ++row;
  }
  settings->addWidget(MakeWriteButton("ButtonNewSettings", "PanelWriteSettings", ButtonNewSettings,
                                      PanelWriteSettings),
                      row - 1, 3);
  settings->setColumnStretch(2, 1);

  return settings;
}

QLayout* TBalastFrame::BuildStatusArea() {
  CheckBoxLampFailure = Named<QCheckBox>("CheckBoxLampFailure", QStringLiteral("Chyba svetla"));
  CheckBoxPowerOn = Named<QCheckBox>("CheckBoxPowerOn", QStringLiteral("Svetlo zapnuté"));
  CheckBoxLimitError = Named<QCheckBox>("CheckBoxLimitError", QStringLiteral("Chyba limitu"));
  CheckBoxFadeReady =
      Named<QCheckBox>("CheckBoxFadeReady", QStringLiteral("Pripravený na stmievanie"));
  CheckBoxReset = Named<QCheckBox>("CheckBoxReset", QStringLiteral("Po resete"));
  CheckBoxMissingShort = Named<QCheckBox>("CheckBoxMissingShort", QStringLiteral("Chýba adresa"));
  CheckBoxPowerFailure =
      Named<QCheckBox>("CheckBoxPowerFailure", QStringLiteral("Chyba napájania"));
  CheckBoxStatus = {CheckBoxLampFailure, CheckBoxPowerOn, CheckBoxLimitError,
                    CheckBoxFadeReady,   CheckBoxReset,   CheckBoxMissingShort,
                    CheckBoxPowerFailure};
  LabelStatusUnknown = Named<QLabel>("LabelStatusUnknown", QStringLiteral("neprečítané"));
  LabelStatusUnknown->hide();
  auto* status = new QGridLayout;
  status->addWidget(Caption(QStringLiteral("Status:")), 0, 0);
  status->addWidget(LabelStatusUnknown, 0, 1);
  for (int k = 0; k < kStatusCount; ++k) {
    CheckBoxStatus[static_cast<size_t>(k)]->setEnabled(false);
    status->addWidget(CheckBoxStatus[static_cast<size_t>(k)], 1 + k % 4, k / 4);
  }

  return status;
}

QLayout* TBalastFrame::BuildGroupsArea() {
  auto* groups = new QGridLayout;
  groups->addWidget(Caption(QStringLiteral("Skupiny:")), 0, 0, 1, 8);
  for (int g = 0; g < kGroupCount; ++g) {
    QCheckBox*& box = CheckBoxG[static_cast<size_t>(g)];
    box = new QCheckBox(TwoDigits(g));
    box->setObjectName(QStringLiteral("CheckBoxG") + TwoDigits(g + 1));
    groups->addWidget(box, 1 + g / 8, g % 8);
  }
  groups->addWidget(
      MakeWriteButton("ButtonNewGroups", "PanelWriteGroups", ButtonNewGroups, PanelWriteGroups), 3,
      6, 1, 2, Qt::AlignRight);

  return groups;
}

QLayout* TBalastFrame::BuildScenesArea() {
  LabelSceneLevelPercent = Unit("LabelSceneLevelPercent", QStringLiteral("( % )"));
  auto* scenes = new QGridLayout;
  auto* sceneCaption = new QHBoxLayout;
  sceneCaption->addWidget(Caption(QStringLiteral("Scény:")));
  sceneCaption->addWidget(LabelSceneLevelPercent);
  sceneCaption->addStretch(1);
  scenes->addLayout(sceneCaption, 0, 0, 1, 4);
  for (int s = 0; s < kSceneCount; ++s) {
    QCheckBox*& box = CheckBoxS[static_cast<size_t>(s)];
    box = new QCheckBox(TwoDigits(s));
    box->setObjectName(QStringLiteral("CheckBoxS") + TwoDigits(s + 1));
    QLineEdit*& edit = EditScene[static_cast<size_t>(s)];
    edit = new QLineEdit;
    edit->setObjectName(QStringLiteral("EditScene") + TwoDigits(s + 1));
    MakeDigitsOnly(edit);
    edit->setFixedWidth(50);
    const int column = 2 * (s / 8);
    scenes->addWidget(box, 1 + s % 8, column);
    scenes->addWidget(edit, 1 + s % 8, column + 1, Qt::AlignLeft);
  }
  scenes->addWidget(
      MakeWriteButton("ButtonNewScene", "PanelWriteScenes", ButtonNewScene, PanelWriteScenes), 9, 2,
      1, 2, Qt::AlignRight);
  scenes->setColumnStretch(1, 1);
  scenes->setColumnStretch(3, 1);

  return scenes;
}

QLayout* TBalastFrame::BuildCommandsArea() {
  ButtonRecallMaxLevel = Named<QPushButton>("ButtonRecallMaxLevel", QStringLiteral("Maximum"));
  ButtonRecallMinLevel = Named<QPushButton>("ButtonRecallMinLevel", QStringLiteral("Minimum"));
  ButtonOff = Named<QPushButton>("ButtonOff", QStringLiteral("Vypnúť"));
  ButtonUp = Named<QPushButton>("ButtonUp", QStringLiteral("Jasnejšie"));
  ButtonDown = Named<QPushButton>("ButtonDown", QStringLiteral("Tmavšie"));
  ButtonOnAndStepUp =
      Named<QPushButton>("ButtonOnAndStepUp", QStringLiteral("Minimum - krok jasnejšie"));
  ButtonStepUp = Named<QPushButton>("ButtonStepUp", QStringLiteral("Krok jasnejšie"));
  ButtonStepDown = Named<QPushButton>("ButtonStepDown", QStringLiteral("Krok tmavšie"));
  ButtonStepDownAndOff =
      Named<QPushButton>("ButtonStepDownAndOff", QStringLiteral("Krok tmavšie - vypnúť"));
  ComboBoxSetScene = Named<QComboBox>("ComboBoxSetScene");
  for (int s = 0; s < kSceneCount; ++s)
    ComboBoxSetScene->addItem(QStringLiteral("Scéna ") + TwoDigits(s));
  auto* commands = new QGridLayout;
  const QPushButton* order[] = {
      ButtonRecallMaxLevel, ButtonRecallMinLevel, ButtonOff,    ButtonUp,
      ButtonDown,           ButtonOnAndStepUp,    ButtonStepUp, ButtonStepDown,
      ButtonStepDownAndOff};
  for (int i = 0; i < 9; ++i) commands->addWidget(const_cast<QPushButton*>(order[i]), i / 3, i % 3);
  commands->addWidget(Caption(QStringLiteral("Vybrať scénu:")), 3, 0, Qt::AlignRight);
  commands->addWidget(ComboBoxSetScene, 3, 1);

  return commands;
}

QLayout* TBalastFrame::BuildActionsArea() {
  ButtonLocalize = Named<QPushButton>("ButtonLocalize", QStringLiteral("Lokalizovať"));
  ButtonReadBalast = Named<QPushButton>("ButtonReadBalast", QStringLiteral("Čítať parametre"));
  ButtonReset = Named<QPushButton>("ButtonReset", QStringLiteral("Reset svietidla"));
  auto* actions = new QHBoxLayout;
  for (QPushButton* b : {ButtonLocalize, ButtonReadBalast, ButtonReset}) actions->addWidget(b);

  return actions;
}

void TBalastFrame::ConnectHandlers() {
  for (QLineEdit* e : {EditShortAddr, EditActLevel}) Guard.Watch(e);
  for (QLineEdit* e : SettingEdits()) Guard.Watch(e);
  for (QLineEdit* e : EditScene) Guard.Watch(e);
  for (QCheckBox* b : CheckBoxG) Guard.Watch(b);
  for (QCheckBox* b : CheckBoxS) Guard.Watch(b);
  ConnectClicks(this, {
                          {ButtonOff, &TBalastFrame::OnButtonOffClick},
                          {ButtonUp, &TBalastFrame::OnButtonUpClick},
                          {ButtonDown, &TBalastFrame::OnButtonDownClick},
                          {ButtonStepUp, &TBalastFrame::OnButtonStepUpClick},
                          {ButtonStepDown, &TBalastFrame::OnButtonStepDownClick},
                          {ButtonRecallMaxLevel, &TBalastFrame::OnButtonRecallMaxLevelClick},
                          {ButtonRecallMinLevel, &TBalastFrame::OnButtonRecallMinLevelClick},
                          {ButtonStepDownAndOff, &TBalastFrame::OnButtonStepDownAndOffClick},
                          {ButtonOnAndStepUp, &TBalastFrame::OnButtonOnAndStepUpClick},
                          {ButtonNewActLevel, &TBalastFrame::OnButtonNewActLevelClick},
                          {ButtonNewSettings, &TBalastFrame::OnButtonNewSettingsClick},
                          {ButtonNewGroups, &TBalastFrame::OnButtonNewGroupsClick},
                          {ButtonNewScene, &TBalastFrame::OnButtonNewSceneClick},
                          {ButtonNewAddress, &TBalastFrame::OnButtonNewAddressClick},
                          {ButtonLocalize, &TBalastFrame::OnButtonLocalizeClick},
                          {ButtonReadBalast, &TBalastFrame::OnButtonReadBalastClick},
                          {ButtonReset, &TBalastFrame::OnButtonResetClick},
                      });
  ConnectGuarded(ComboBoxSetScene, &QComboBox::activated, this,
                 [this](int index) { OnComboBoxSceneSelect(index); });
  for (int i = 0; i < kGroupCount; ++i) {
    ConnectGuarded(CheckBoxG[static_cast<size_t>(i)], &QCheckBox::clicked, this,
                   [this, i](bool) { OnCheckBoxGroupClick(i); });
    ConnectGuarded(CheckBoxS[static_cast<size_t>(i)], &QCheckBox::clicked, this,
                   [this, i](bool) { OnCheckBoxSceneClick(i); });
  }

  auto enter = [this](QLineEdit* e) { OnEditEnter(e); };
  EditFocus->Watch(EditShortAddr, enter, [this](QLineEdit* e) { OnEditShortAddrExit(e); });
  ConnectGuarded(EditShortAddr, &QLineEdit::textChanged, this,
                 [this](const QString&) { OnEditShortAddrChange(); });
  for (QLineEdit* e :
       {EditActLevel, EditMinLevel, EditMaxLevel, EditPowerOnLevel, EditFailureLevel}) {
    EditFocus->Watch(e, enter, [this](QLineEdit* edit) { OnEditLevelExit(edit); });
  }
  for (QLineEdit* e : {EditFadeRate, EditFadeTime}) {
    EditFocus->Watch(e, enter, [this](QLineEdit* edit) { OnEditFadeExit(edit); });
  }
  ConnectGuarded(EditActLevel, &QLineEdit::textChanged, this,
                 [this](const QString&) { OnEditActLevelChange(); });
  for (QLineEdit* e : {EditMinLevel, EditMaxLevel, EditPowerOnLevel, EditFailureLevel, EditFadeRate,
                       EditFadeTime}) {
    ConnectGuarded(e, &QLineEdit::textChanged, this,
                   [this](const QString&) { OnEditSettingsChange(); });
  }
  for (QLineEdit* e : EditScene) {
    EditFocus->Watch(e, enter, [this](QLineEdit* edit) { OnEditSceneExit(edit); });
    ConnectGuarded(e, &QLineEdit::textChanged, this,
                   [this](const QString&) { OnEditSceneChange(); });
  }
}

void TBalastFrame::AttachToWindow(BusSession& session, TBalastConfig& balastConfig,
                                  TNavigation& tabsFrame) {
  Session = &session;
  BalastConfig = &balastConfig;
  TabsFrame = &tabsFrame;
  UpdatePercentLabels();
  ZorvikBalastFrame->Attach(session, balastConfig);
}

void TBalastFrame::UpdatePercentLabels() {
  const bool percent = BalastConfig && BalastConfig->PercentMode() != 0;
  for (QLabel* label :
       {LabelActLevelPercent, LabelMinLevelPercent, LabelMaxLevelPercent, LabelPowerOnLevelPercent,
        LabelFailureLevelPercent, LabelPhysicalMinPercent, LabelSceneLevelPercent}) {
    label->setVisible(percent);
  }
}

bool TBalastFrame::IsDeviceSelected() const {
  return BalastConfig->CurrentSlot() < TConfig::kGroupSlot;
}

int TBalastFrame::SendCommand(const BusCommand& command) {
  if (Session == nullptr) return kExchangeNotConnected;
  return SendGearCommand(*Session, *BalastConfig, command).result;
}

void TBalastFrame::OnComboBoxSceneSelect(int index) {
  if (index >= 0 && index < kSceneCount) SendCommand(gear::kGoToScene.At(index));
}

uint32_t TBalastFrame::Number(const QLineEdit* edit, uint32_t empty) const {
  const QString text = edit->text();
  if (text.isEmpty()) return empty;
  bool ok = false;
  const uint32_t value = text.toUInt(&ok);
  // Digit-only edits hold at most five digits; anything else is out of every range.
  return ok ? value : 0xFFFFFFFFu;
}

void TBalastFrame::UpdatePanels() {
  if (Updating) return;
  auto any = [this](const auto& controls) {
    for (const QWidget* w : controls) {
      if (Guard.Changed(w)) return true;
    }
    return false;
  };
  PanelWriteAddress->setVisible(Guard.Changed(EditShortAddr));
  PanelWriteActLevel->setVisible(Guard.Changed(EditActLevel));
  PanelWriteSettings->setVisible(any(SettingEdits()));
  PanelWriteGroups->setVisible(any(CheckBoxG));
  PanelWriteScenes->setVisible(any(CheckBoxS) || any(EditScene));
}

std::array<QLineEdit*, 6> TBalastFrame::SettingEdits() const {
  // In the order of GearSettings.
  return {EditMinLevel,     EditMaxLevel, EditPowerOnLevel,
          EditFailureLevel, EditFadeRate, EditFadeTime};
}

void TBalastFrame::OnButtonNewActLevelClick() {
  if (Session == nullptr) return;
  const std::optional<uint32_t> level = Guard.Number(EditActLevel);
  if (NothingToWrite(this, level.has_value())) return;
  const SequenceResult result = WriteActualLevel(*Session, *BalastConfig, *level);
  if (result.Ok()) Guard.Written(EditActLevel);
  if (!result.refusal.empty()) ShowStatus(this, QString::fromStdString(result.refusal));
  UpdatePanels();
}

void TBalastFrame::OnButtonNewSettingsClick() {
  if (Session == nullptr) return;
  const auto edits = SettingEdits();
  const GearSettings settings{Guard.Number(edits[0]), Guard.Number(edits[1]),
                              Guard.Number(edits[2]), Guard.Number(edits[3]),
                              Guard.Number(edits[4]), Guard.Number(edits[5])};
  const GearValue given[] = {settings.minLevel,     settings.maxLevel, settings.powerOnLevel,
                             settings.failureLevel, settings.fadeRate, settings.fadeTime};
  if (NothingToWrite(this, AnyGiven(given))) return;
  // What is not written stays marked.
  WriteGearSettings(*Session, *BalastConfig, settings,
                    [this, &edits](int item) { Guard.Written(edits[static_cast<size_t>(item)]); });
  UpdatePanels();
}

void TBalastFrame::OnButtonNewGroupsClick() {
  if (Session == nullptr) return;
  const GearGroups groups = Guard.Checks(CheckBoxG);
  if (NothingToWrite(this, AnyGiven(groups))) return;
  WriteGearGroups(*Session, *BalastConfig, groups,
                  [this](int g) { Guard.Written(CheckBoxG[static_cast<size_t>(g)]); });
  UpdatePanels();
  if (TabsFrame) TabsFrame->ShowGearButtons();
}

void TBalastFrame::OnButtonNewSceneClick() {
  if (Session == nullptr) return;
  GearScenes scenes{};
  bool changed = false;
  for (size_t s = 0; s < scenes.size(); ++s) {
    const QCheckBox* box = CheckBoxS[s];
    const QLineEdit* edit = EditScene[s];
    if (!Guard.Changed(box) && !Guard.Changed(edit)) continue;
    if (!box->isChecked()) {
      scenes[s] = kNoLevel;
    } else if (!edit->text().isEmpty()) {
      scenes[s] = Number(edit, kNoLevel);
    }
    changed = changed || scenes[s].has_value();
  }
  if (NothingToWrite(this, changed)) return;
  WriteGearScenes(*Session, *BalastConfig, scenes, [this](int s) {
    Guard.Written(CheckBoxS[static_cast<size_t>(s)]);
    Guard.Written(EditScene[static_cast<size_t>(s)]);
  });
  UpdatePanels();
}

int TBalastFrame::ChangeShortAddress(int newAddress) {
  if (Session == nullptr) return kExchangeNotConnected;
  const SequenceResult result = ChangeGearShortAddress(*Session, *BalastConfig, newAddress);
  if (result.result == kSequenceRefused) {
    ShowStatus(this, QString::fromStdString(result.refusal));
    return -1;
  }
  if (!result.Ok()) return result.result;
  if (TabsFrame) TabsFrame->ShowGearButtons();
  return 0;
}

void TBalastFrame::OnButtonNewAddressClick() {
  const uint32_t wanted = Number(EditShortAddr, 0);
  const int result = ChangeShortAddress(wanted > 255 ? -1 : static_cast<int>(wanted));
  if (result != 0) return;
  // A deleted device is gone from the table: show what the table selected instead (another
  // device, or the free slot when it was the last one) rather than the deleted device's values.
  if (wanted == 255) RefreshView();
  Guard.Written(EditShortAddr);
  UpdatePanels();
}

void TBalastFrame::OnButtonLocalizeClick() {
  if (LocalizeTimer->isActive() || Session == nullptr) return;
  // The selection may change while the lamp blinks; the blinking stays with the lamp it began on.
  localizeTarget_ = SelectedTarget(*BalastConfig);
  localizeSent_ = 0;
  OnLocalizeTimer();
  if (localizeSent_ > 0 && localizeSent_ < kLocalizeCommands) LocalizeTimer->start();
}

void TBalastFrame::hideEvent(QHideEvent* event) {
  LocalizeTimer->stop();
  localizeSent_ = 0;
  ZorvikBalastFrame->StopRepeating();
  QFrame::hideEvent(event);
}

void TBalastFrame::OnLocalizeTimer() {
  if (!SendLocateStep(*Session, localizeTarget_, localizeSent_).Ok()) {
    LocalizeTimer->stop();
    localizeSent_ = 0;
    return;
  }
  if (++localizeSent_ >= kLocalizeCommands) LocalizeTimer->stop();
}

void TBalastFrame::OnButtonReadBalastClick() {
  if (!IsDeviceSelected() || TabsFrame == nullptr) return;
  TabsFrame->ReadBalastParameters(0, BalastConfig->CurrentSlot());
  RefreshView();
}

void TBalastFrame::OnButtonResetClick() {
  TErrorDlg question(this);
  question.SetQuestionMode();
  question.SetColor(QColor(255, 0, 0));
  question.AddMessageLine(
      QStringLiteral("Všetky naprogramované údaje budú prepísané údajmi od výrobcu."));
  if (question.exec() != QDialog::Accepted || Session == nullptr) return;
  ResetGear(*Session, *BalastConfig);
}

void TBalastFrame::OnEditEnter(QLineEdit* edit) { EnteredText = edit->text(); }

void TBalastFrame::Restore(QLineEdit* edit) { edit->setText(EnteredText); }

void TBalastFrame::OnEditShortAddrExit(QLineEdit* edit) {
  const uint32_t v = Number(edit, 64);
  if (v > 63 && v != 255) Restore(edit);
}

void TBalastFrame::OnEditLevelExit(QLineEdit* edit) {
  const uint32_t v = Number(edit, kNoLevel);
  if (v >= kNoLevel || BalastConfig->ConvertLevel(false, v) > 254) Restore(edit);
}

void TBalastFrame::OnEditFadeExit(QLineEdit* edit) {
  if (Number(edit, kNoLevel) > 15) Restore(edit);
}

void TBalastFrame::OnEditSceneExit(QLineEdit* edit) {
  int s = 0;
  while (s < kSceneCount && EditScene[static_cast<size_t>(s)] != edit) ++s;
  if (s == kSceneCount) return;
  const bool empty = edit->text().isEmpty();
  const uint32_t level = BalastConfig->ConvertLevel(false, Number(edit, 0));
  if (level > 255) {
    Restore(edit);
    return;
  }
  if (empty || level == kNoLevel) {
    // Out of the scene: the box and the edit say so as a click on the box would.
    CheckBoxS[static_cast<size_t>(s)]->setChecked(false);
    edit->setEnabled(false);
    edit->clear();
    UpdatePanels();
  }
}

void TBalastFrame::OnEditShortAddrChange() { UpdatePanels(); }

void TBalastFrame::OnEditActLevelChange() { UpdatePanels(); }

void TBalastFrame::OnEditSettingsChange() { UpdatePanels(); }

void TBalastFrame::OnEditSceneChange() { UpdatePanels(); }

void TBalastFrame::OnCheckBoxGroupClick(int) { UpdatePanels(); }

void TBalastFrame::OnCheckBoxSceneClick(int s) {
  if (Updating) return;
  QLineEdit* edit = EditScene[static_cast<size_t>(s)];
  if (CheckBoxS[static_cast<size_t>(s)]->isChecked()) {
    edit->setEnabled(true);
  } else {
    edit->setEnabled(false);
    edit->clear();
  }
  UpdatePanels();
}

void TBalastFrame::RefreshView() {
  if (BalastConfig == nullptr) return;
  TBalastConfig& t = *BalastConfig;
  Updating = true;
  const bool device = IsDeviceSelected();
  // A free slot has no device to command or to write (the last device's address was deleted, or
  // nothing has been found yet): nothing is shown and nothing can be sent.
  const bool freeSlot = device && t.IsSlotFree(t.CurrentSlot());
  setEnabled(!freeSlot);
  if (freeSlot) {
    TEditGuard::ShowNothing(this);
    LabelStatusUnknown->hide();
    Guard.Filled();
    Updating = false;
    return;
  }
  auto level = [&t](uint32_t value) {
    return QString::fromStdString(t.FormatLevel(static_cast<int32_t>(value)));
  };
  if (!device) {
    t.ClearScratchSlot();
    EditType->clear();
    EditVersion->clear();
    EditPhysicalMin->clear();
    AddrLabel->setText(QStringLiteral("Adresa skupiny:"));
    EditShortAddr->setText(QString::number(t.CurrentGroup()));
  } else {
    TEditGuard::ShowValue(
        EditType, t.DeviceType(),
        QStringLiteral("%1 - %2").arg(t.DeviceType()).arg(TypeName(t.DeviceType())));
    TEditGuard::ShowValue(EditVersion, t.Version(),
                          QStringLiteral("%1.%2")
                              .arg(t.Version() >> 4)
                              .arg(t.Version() & 0x0F, 2, 10, QLatin1Char('0')));
    TEditGuard::ShowValue(EditPhysicalMin, t.PhysicalMinLevel(), level(t.PhysicalMinLevel()));
    AddrLabel->setText(QStringLiteral("Adresa svietidla:"));
    EditShortAddr->setText(QString::number(t.ShortAddress()));
  }
  for (QWidget* w : {static_cast<QWidget*>(EditShortAddr), static_cast<QWidget*>(ButtonNewAddress),
                     static_cast<QWidget*>(ButtonReadBalast)}) {
    w->setEnabled(device);
  }
  // The diagnostics read one ballast's memory; a group or all devices have none to show.
  ZorvikBalastFrame->setEnabled(device);

  // Values never read show as unknown and are never written back.
  auto show = [](QLineEdit* edit, uint32_t value) {
    TEditGuard::ShowValue(edit, value, QString::number(value));
  };
  show(EditActLevel, t.ActualLevel());
  show(EditMinLevel, t.MinLevel());
  show(EditMaxLevel, t.MaxLevel());
  show(EditPowerOnLevel, t.PowerOnLevel());
  show(EditFailureLevel, t.FailureLevel());
  show(EditFadeRate, t.FadeRate());
  show(EditFadeTime, t.FadeTime());

  for (uint32_t g = 0; g < kGroupCount; ++g) TEditGuard::ShowCheck(CheckBoxG[g], t.Groups(g));

  const bool percent = t.PercentMode() != 0;
  for (uint32_t s = 0; s < kSceneCount; ++s) {
    const uint32_t value = t.Scenes(s);
    const bool unset = percent ? value > 100 : value == kNoLevel;
    CheckBoxS[s]->setChecked(!unset);
    EditScene[s]->setEnabled(!unset);
    EditScene[s]->setText(unset ? QString() : level(value));
  }

  // A status never read is no status at all: the boxes stay unticked and the area says so.
  const uint8_t statusByte = t.Status();
  const bool statusKnown = statusByte != kNotRead;
  for (int k = 1; k <= kStatusCount; ++k) {
    CheckBoxStatus[static_cast<size_t>(k - 1)]->setChecked(statusKnown && ((statusByte >> k) & 1));
  }
  LabelStatusUnknown->setVisible(!statusKnown);

  for (QWidget* panel : {PanelWriteAddress, PanelWriteActLevel, PanelWriteSettings,
                         PanelWriteGroups, PanelWriteScenes}) {
    panel->hide();
  }
  Guard.Filled();
  Updating = false;
}

void TBalastFrame::ToggleDiagnostics() {
  const bool show = ZorvikBalastFrame->isHidden();
  if (!show) ZorvikBalastFrame->StopRepeating();
  ZorvikBalastFrame->setVisible(show);
}

int TBalastFrame::GetReportPages(ReportPages& pages) {
  return BalastConfig ? GearReportPages(*BalastConfig, pages) : 0;
}

}  // namespace lumetra
