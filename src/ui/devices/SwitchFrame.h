// The editor of push-button and switch devices (kind 129): the input types and enable bits, the
// four command sequences of four steps, the responses of the chosen input, the two writes and the
// test buttons. The control device editor hosts it below the fields every device has.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "buslink/BusSession.h"
#include "ui/NavigatedView.h"
#include "ui/devices/ControllerFrame.h"
#include "ui/devices/OncFrame.h"

namespace lumetra {

class TControllerConfig;
class TEditFocusFilter;
class TNavigation;
class TRadioGroup;
class TSwitchOncFrame;
class TWaitEdit;

// Lives on the user-interface thread.
class TSwitchFrame : public QFrame, public TOncHost, public TNavigatedView {
  Q_OBJECT
 public:
  static constexpr int kSteps = 4;
  static constexpr int kIndicators = 4;
  static constexpr int kInputs = 2;

  explicit TSwitchFrame(TControllerFrame& host, QWidget* parent = nullptr);

  // Once, by the window that owns the session and the table.
  void Attach(BusSession& session, TControllerConfig& table, TNavigation* navigation);

  // TNavigatedView: the host refreshes it for every selection it shows it for, a group's included
  // (then the group slot's record, written to the group address).
  QWidget* Widget() override { return this; }
  void RefreshView() override { ShowDevice(true); }

  // Fills every control from the selected record; `hidePanels` also hides both red panels (the
  // host's refresh; the sequence radio buttons keep them).
  void ShowDevice(bool hidePanels);
  void ShowPendingWrites();
  // TOncHost: a response changed, and it is written with the sequences.
  void ShowPanelWriteCommand() override { PanelWriteCommand->show(); }

  void StoreStepAddress(int k);
  void StoreStepLevel(int k);

  void OnCheckBoxButtonEnabledClick(int input);
  void OnComboBoxTypeSelect(int input);
  void OnButtonWriteButtonsEnabledClick();
  void OnRadioButtonSequenceClick(int sequence);
  void OnRadioGroupCmndAddressTypeClick(int k);
  void OnComboBoxCmndSelect(int k);
  void OnEditEnter(QLineEdit* edit);
  void OnCommandChange();
  void OnEditCmndAddressExit(int k);
  void OnEditCmndDataExit(int k);
  void OnComboBoxCmndLedSelect(int k, int j);
  void OnCheckBoxCmndSendStateClick(int k);
  void OnComboBoxRepeatSelect();
  void OnCheckBoxResetBtnClick();
  void OnComboBoxAfterResetSelect();
  void OnButtonWriteCmndSequencesClick();
  void OnRadioGroupBtnClick();
  void OnButtonPressClick();
  void OnButtonHoldClick();
  // code 0 off, 1 on, 2..5 blinking: ButtonOff, ButtonOn, ButtonBlinkWhole .. ButtonBlinkEighth
  void OnButtonIndicatorClick(int code);

  // inputs
  QCheckBox* CheckBox1ButtonEnabled;
  QCheckBox* CheckBox2ButtonEnabled;
  QComboBox* ComboBox1Type;
  QComboBox* ComboBox2Type;
  QPushButton* ButtonWriteEnabledButtons;
  QWidget* PanelWriteEnabled;
  // sequence choice: sequence s = 2 * input + event
  QRadioButton* RadioButton1Short;
  QRadioButton* RadioButton1Long;
  QRadioButton* RadioButton2Short;
  QRadioButton* RadioButton2Long;
  // the four step rows
  std::array<TRadioGroup*, kSteps> RadioGroupCmndAddressType{};
  std::array<QLineEdit*, kSteps> EditCmndAddress{};
  std::array<QComboBox*, kSteps> ComboBoxCmndCmnd{};
  std::array<QLineEdit*, kSteps> EditCmndData{};
  std::array<QLineEdit*, kSteps> EditCmndTimeoutH{};
  std::array<QLineEdit*, kSteps> EditCmndTimeoutM{};
  std::array<QLineEdit*, kSteps> EditCmndTimeoutS{};
  // the three edits of each step's wait
  std::array<TWaitEdit*, kSteps> Waits{};
  // [step][indicator]
  std::array<std::array<QComboBox*, kIndicators>, kSteps> ComboBoxCmndLed{};
  // sequence options
  std::array<QCheckBox*, kSteps> CheckBoxCmndSendState{};
  QComboBox* ComboBoxRepeat;
  QCheckBox* CheckBoxResetBtn;
  QComboBox* ComboBoxAfterReset;
  // writing
  QPushButton* ButtonWriteCmndSequences;
  QWidget* PanelWriteCommand;
  QLabel* LabelWritten;
  // responses
  QLabel* LabelResponse;
  TSwitchOncFrame* SwitchOncFrame;
  // tests
  TRadioGroup* RadioGroupBtn;
  QPushButton* ButtonPress;
  QPushButton* ButtonHold;
  TRadioGroup* RadioGroupIndicator;
  QPushButton* ButtonOff;
  QPushButton* ButtonOn;
  QPushButton* ButtonBlinkWhole;
  QPushButton* ButtonBlinkHalf;
  QPushButton* ButtonBlinkQuarter;
  QPushButton* ButtonBlinkEighth;

  int SelectedSequence = 0;
  bool Updating = false;
  QString EnteredText;

 private:
  QWidget* BuildInputs();
  QWidget* BuildSequenceChoice();
  QWidget* BuildSteps();
  QWidget* BuildOptions();
  QWidget* BuildResponses();
  QWidget* BuildTests();
  void UnframeStepTypes();
  void ShowStep(int k);
  void ShowTypeCaptions();
  // The firmware the send-state boxes depend on: the device's, or the group members' common one.
  bool SendStateOffered();
  // The typed time of row k in seconds, or none when a part is out of its range.
  void AlignResponseHeaders();
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void WriteSequencesDone(const SequenceResult& result);

  struct HeaderAnchor {
    QLabel* label;
    int line;
    std::function<QWidget*()> over;
  };
  QWidget* OncHeader = nullptr;
  std::vector<HeaderAnchor> headerAnchors_;

  TControllerFrame& host_;
  BusSession* Session = nullptr;
  TControllerConfig* Table = nullptr;
  TNavigation* Navigation = nullptr;
  TEditFocusFilter* EditFocus;
};

}  // namespace lumetra
