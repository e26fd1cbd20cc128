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

#include "ui/NavigatedView.h"

class QShortcut;

namespace lumetra {

class TBalastConfig;
class TDaliCom;
class TEditFocusFilter;
class TNavigation;
class TZorvikBalastFrame;

class TBalastFrame : public QFrame, public TNavigatedView {
  Q_OBJECT
 public:
  static constexpr int kGroupCount = 16;
  static constexpr int kSceneCount = 16;
  static constexpr int kStatusCount = 7;
  // "Lokalizovať": RECALL MIN LEVEL and RECALL MAX LEVEL in turn, five times each.
  static constexpr int kLocalizeCommands = 10;
  static constexpr std::chrono::milliseconds kLocalizeStep{500};

  explicit TBalastFrame(QWidget* parent = nullptr);

  void AttachToWindow(TDaliCom& daliCom, TBalastConfig& balastConfig, TNavigation& tabsFrame);

  // TNavigatedView
  QWidget* Widget() override { return this; }
  void RefreshView() override;

  void UpdatePercentLabels();
  uint8_t AddressByte() const;
  // One direct command to the selection; the exchange's result.
  int SendCommand(uint8_t opcode);
  // 0 when the device now has the new address (255 removes it), -1 when refused, or the result of
  // the exchange that failed.
  int ChangeShortAddress(int newAddress);

  // Direct commands.
  void OnButtonOffClick() { SendCommand(0x00); }
  void OnButtonUpClick() { SendCommand(0x01); }
  void OnButtonDownClick() { SendCommand(0x02); }
  void OnButtonStepUpClick() { SendCommand(0x03); }
  void OnButtonStepDownClick() { SendCommand(0x04); }
  void OnButtonRecallMaxLevelClick() { SendCommand(0x05); }
  void OnButtonRecallMinLevelClick() { SendCommand(0x06); }
  void OnButtonStepDownAndOffClick() { SendCommand(0x07); }
  void OnButtonOnAndStepUpClick() { SendCommand(0x08); }
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
  // One gate request of kind 3; the exchange's result.
  int Send(uint8_t addressByte, uint8_t data);
  // A configuration command: the second only when the first went through.
  int SendTwice(uint8_t addressByte, uint8_t data);
  int WriteSetting(QLineEdit* edit, uint8_t opcode);
  // Stores a written value into the selected slot or, for a group or all devices, into every slot
  // that may belong to it (membership not read counts).
  void StoreGroupWide(const std::function<void()>& store);
  bool IsDeviceSelected() const;
  uint32_t Number(const QLineEdit* edit, uint32_t empty) const;
  void Restore(QLineEdit* edit);

  TDaliCom* DaliCom = nullptr;
  TBalastConfig* BalastConfig = nullptr;
  TNavigation* TabsFrame = nullptr;
  TEditFocusFilter* EditFocus;
  uint8_t Request[5] = {};
  uint8_t Reply[5] = {};
  // The address byte "Lokalizovať" started with, and how many commands it has sent.
  uint8_t localizeAddress_ = 0;
  int localizeSent_ = 0;
};

}  // namespace lumetra
