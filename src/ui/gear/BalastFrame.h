// The control gear editor: one ballast, one group or all control gear. Shows what the table holds,
// writes changes to the bus, sends direct commands, finds a lamp by blinking it, resets a device
// and changes its short address.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QTimer>
#include <array>
#include <chrono>
#include <cstdint>
#include <functional>

#include "buslink/BusSession.h"
#include "ui/EditGuard.h"
#include "documents/ReportPages.h"
#include "ui/NavigatedView.h"

class QShortcut;

namespace lumetra {

class TBalastConfig;
class TEditFocusFilter;
class TNavigation;
class TZorvikBalastFrame;

class TBalastFrame : public QFrame, public TNavigatedView, public TReportSource {
  Q_OBJECT
 public:
  static constexpr int kGroupCount = 16;
  static constexpr int kSceneCount = 16;
  static constexpr int kStatusCount = 7;
  // "Lokalizovať": RECALL MIN LEVEL and RECALL MAX LEVEL in turn, five times each.
  static constexpr int kLocalizeCommands = 10;
  static constexpr std::chrono::milliseconds kLocalizeStep{500};

  explicit TBalastFrame(QWidget* parent = nullptr);

  void AttachToWindow(BusSession& session, TBalastConfig& balastConfig, TNavigation& tabsFrame);

  // TNavigatedView
  QWidget* Widget() override { return this; }
  void RefreshView() override;
  TReportSource* ReportSource() override { return this; }
  // TReportSource: one page per device of the selection (GearReportPages).
  int GetReportPages(ReportPages& pages) override;

  void UpdatePercentLabels();
  // One direct command to the selection; the exchange's result.
  int SendCommand(const BusCommand& command);
  // 0 when the device now has the new address (255 removes it), -1 when refused, or the result of
  // the exchange that failed.
  int ChangeShortAddress(int newAddress);

  // Direct commands.
  void OnButtonOffClick() { SendCommand(gear::kOff); }
  void OnButtonUpClick() { SendCommand(gear::kUp); }
  void OnButtonDownClick() { SendCommand(gear::kDown); }
  void OnButtonStepUpClick() { SendCommand(gear::kStepUp); }
  void OnButtonStepDownClick() { SendCommand(gear::kStepDown); }
  void OnButtonRecallMaxLevelClick() { SendCommand(gear::kRecallMaxLevel); }
  void OnButtonRecallMinLevelClick() { SendCommand(gear::kRecallMinLevel); }
  void OnButtonStepDownAndOffClick() { SendCommand(gear::kStepDownAndOff); }
  void OnButtonOnAndStepUpClick() { SendCommand(gear::kOnAndStepUp); }
  void OnComboBoxSceneSelect(int index);

  // Writes.
  void OnButtonNewActLevelClick();
  void OnButtonNewSettingsClick();
  void OnButtonNewGroupsClick();
  void OnButtonNewSceneClick();
  void OnButtonNewAddressClick();

  // Device actions.
  void OnButtonLocalizeClick();
  void OnLocalizeTimer();
  bool Localizing() const { return LocalizeTimer->isActive(); }
  void OnButtonReadBalastClick();
  void OnButtonResetClick();

  // Typed values: kept on entry, checked on exit.
  void OnEditEnter(QLineEdit* edit);
  void OnEditShortAddrExit(QLineEdit* edit);
  void OnEditLevelExit(QLineEdit* edit);
  void OnEditFadeExit(QLineEdit* edit);
  void OnEditSceneExit(QLineEdit* edit);

  // Marking of values not yet written.
  void OnEditShortAddrChange();
  void OnEditActLevelChange();
  void OnEditSettingsChange();
  void OnEditSceneChange();
  void OnCheckBoxGroupClick(int g);
  void OnCheckBoxSceneClick(int s);

  // Ctrl+Shift+D: the maker's diagnostics, a service tool kept out of the menu.
  void ToggleDiagnostics();

  // identity
  QLineEdit* EditType;
  QLineEdit* EditVersion;
  QLineEdit* EditPhysicalMin;
  // address
  QLabel* AddrLabel;
  QLineEdit* EditShortAddr;
  QPushButton* ButtonNewAddress;
  QWidget* PanelWriteAddress;
  // actual level
  QLineEdit* EditActLevel;
  QPushButton* ButtonNewActLevel;
  QWidget* PanelWriteActLevel;
  // settings
  QLineEdit* EditMinLevel;
  QLineEdit* EditMaxLevel;
  QLineEdit* EditPowerOnLevel;
  QLineEdit* EditFailureLevel;
  QLineEdit* EditFadeRate;
  QLineEdit* EditFadeTime;
  QPushButton* ButtonNewSettings;
  QWidget* PanelWriteSettings;
  // groups and scenes: CheckBoxG01..G16, CheckBoxS01..S16, EditScene01..16
  std::array<QCheckBox*, kGroupCount> CheckBoxG{};
  QPushButton* ButtonNewGroups;
  QWidget* PanelWriteGroups;
  std::array<QCheckBox*, kSceneCount> CheckBoxS{};
  std::array<QLineEdit*, kSceneCount> EditScene{};
  QPushButton* ButtonNewScene;
  QWidget* PanelWriteScenes;
  // direct commands
  QPushButton* ButtonRecallMaxLevel;
  QPushButton* ButtonRecallMinLevel;
  QPushButton* ButtonOff;
  QPushButton* ButtonUp;
  QPushButton* ButtonDown;
  QPushButton* ButtonOnAndStepUp;
  QPushButton* ButtonStepUp;
  QPushButton* ButtonStepDown;
  QPushButton* ButtonStepDownAndOff;
  QComboBox* ComboBoxSetScene;
  // status, in the order of the bits 1..7 of the status byte
  QCheckBox* CheckBoxLampFailure;
  QCheckBox* CheckBoxPowerOn;
  QCheckBox* CheckBoxLimitError;
  QCheckBox* CheckBoxFadeReady;
  QCheckBox* CheckBoxReset;
  QCheckBox* CheckBoxMissingShort;
  QCheckBox* CheckBoxPowerFailure;
  // "neprečítané": the status was never read.
  QLabel* LabelStatusUnknown;
  std::array<QCheckBox*, kStatusCount> CheckBoxStatus{};
  // device actions
  QPushButton* ButtonLocalize;
  QPushButton* ButtonReadBalast;
  QPushButton* ButtonReset;
  // units
  QLabel* LabelActLevelPercent;
  QLabel* LabelMinLevelPercent;
  QLabel* LabelMaxLevelPercent;
  QLabel* LabelPowerOnLevelPercent;
  QLabel* LabelFailureLevelPercent;
  QLabel* LabelPhysicalMinPercent;
  QLabel* LabelSceneLevelPercent;

  TZorvikBalastFrame* ZorvikBalastFrame;
  // Paces "Lokalizovať"; tests shorten its interval.
  QTimer* LocalizeTimer;
  QShortcut* DiagnosticsShortcut;

  bool Updating = false;
  QString EnteredText;

 protected:
  // A hidden editor leaves the bus alone: a commissioning job starts from the page "Adresovanie",
  // which hides it, and a blink or a diagnostics read between the job's requests could change what
  // the job programs.
  void hideEvent(QHideEvent* event) override;

 private:
  void BuildControls();
  // Shows each red panel while a control of its area shows something else than it was filled with.
  void UpdatePanels();
  std::array<QLineEdit*, 6> SettingEdits() const;
  // The areas of the editor, left column then right.
  QLayout* BuildIdentityArea();
  QLayout* BuildAddressArea();
  QLayout* BuildSettingsArea();
  QLayout* BuildStatusArea();
  QLayout* BuildGroupsArea();
  QLayout* BuildScenesArea();
  QLayout* BuildCommandsArea();
  QLayout* BuildActionsArea();
  void ConnectHandlers();
  bool IsDeviceSelected() const;
  uint32_t Number(const QLineEdit* edit, uint32_t empty) const;
  void Restore(QLineEdit* edit);

  BusSession* Session = nullptr;
  TBalastConfig* BalastConfig = nullptr;
  TNavigation* TabsFrame = nullptr;
  TEditFocusFilter* EditFocus;
  TEditGuard Guard;
  // The target "Lokalizovať" started with, and how many commands it has sent.
  BusTarget localizeTarget_ = BusTarget::All();
  int localizeSent_ = 0;
};

}  // namespace lumetra
