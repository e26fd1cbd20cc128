// The motion sensor page of the control device editor: the enable flag, the lighting sequence of
// three commands with its waits, the controlled lights, 32 responses shown 16 at a time, and the
// sensor's tests. Every accepted entry goes straight into the table; the "Zapísať" buttons put
// the record into the device's memory.
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

#include "buslink/BusSession.h"
#include "sequences/PirSensorSequences.h"
#include "ui/NavigatedView.h"
#include "ui/devices/SensorFrameParts.h"

namespace lumetra {

class TControllerConfig;
class TRadioGroup;
class TWaitEdit;

// Lives on the user-interface thread.
class TPIRSensorFrame : public QFrame, public TNavigatedView {
  Q_OBJECT
 public:
  static constexpr int kCommands = kPirCommands;
  static constexpr int kTimedCommands = kPirTimedCommands;
  static constexpr int kRows = 16;
  static constexpr int kOncs = 32;
  // Push-buttons and the motion sensors' alarm and quiet.
  static constexpr int kMessageItems = 9;

  explicit TPIRSensorFrame(QWidget* parent = nullptr);

  // Once, by the window: the session of the user-interface thread, the control device table and
  // the navigation, which runs the long write on the worker.
  void Attach(BusSession& session, TControllerConfig& table, TNavigation& navigation);

  // TNavigatedView: the control device editor refreshes the page whenever it shows it for the
  // selection, and passes the change between percent and ARC on.
  QWidget* Widget() override { return this; }
  void RefreshView() override { ShowDevice(); }
  void UpdatePercentLabels() override { ShowPercentLabels(); }

  // Fills every control from the selection's record and hides both red panels.
  void ShowDevice();
  // The three "%" labels, shown while levels are in percent.
  void ShowPercentLabels();

  void ShowResponses();
  // The response that row r shows on the current page of rows.
  int ResponseOfRow(int row) const;

  void OnCheckBoxSensorEnabledClick();
  void OnButtonWriteSensorsEnabledClick();
  void OnCommandChange();
  void OnRadioGroupCmndAddressTypeClick();
  void OnButtonWriteCmndSequencesClick();
  void OnRadioButtonOncGroupClick();
  void OnComboBoxOncStateSelect(int row);
  void OnCheckBoxOncDisabledClick(int row);
  void OnButtonAlarmClick() { Test(PirSensorTest::kAlarm); }
  void OnButtonQuietClick() { Test(PirSensorTest::kQuiet); }
  void OnButtonOffClick() { Test(PirSensorTest::kIndicatorOff); }
  void OnButtonOnClick() { Test(PirSensorTest::kIndicatorOn); }
  void OnButtonBlinkWholeClick() { Test(PirSensorTest::kBlinkWhole); }
  void OnButtonBlinkHalfClick() { Test(PirSensorTest::kBlinkHalf); }
  void OnButtonBlinkQuarterClick() { Test(PirSensorTest::kBlinkQuarter); }
  void OnButtonBlinkEighthClick() { Test(PirSensorTest::kBlinkEighth); }

  QCheckBox* CheckBoxSensorEnabled;
  QPushButton* ButtonWriteSensorsEnabled;
  QWidget* PanelWriteEnabled;
  QLineEdit* EditCmnd1Level;
  QLineEdit* EditCmnd2Level;
  QLineEdit* EditCmnd3Level;
  QLineEdit* EditCmnd1TimeoutH;
  QLineEdit* EditCmnd1TimeoutM;
  QLineEdit* EditCmnd1TimeoutS;
  QLineEdit* EditCmnd2TimeoutH;
  QLineEdit* EditCmnd2TimeoutM;
  QLineEdit* EditCmnd2TimeoutS;
  QLabel* LabelCmnd1Percent;
  QLabel* LabelCmnd2Percent;
  QLabel* LabelCmnd3Percent;
  TRadioGroup* RadioGroupCmndAddressType;
  QLineEdit* EditCmndAddress;
  QPushButton* ButtonWriteCmndSequences;
  QWidget* PanelWriteCommand;
  QLabel* LabelWritten;
  QRadioButton* RadioButton1To16;
  QRadioButton* RadioButton17To32;
  QPushButton* ButtonAlarm;
  QPushButton* ButtonQuiet;
  QPushButton* ButtonOff;
  QPushButton* ButtonOn;
  QPushButton* ButtonBlinkWhole;
  QPushButton* ButtonBlinkHalf;
  QPushButton* ButtonBlinkQuarter;
  QPushButton* ButtonBlinkEighth;

  // The control arrays: levels in command order, the waits of commands 0 and 1, the response rows.
  std::array<QLineEdit*, kCommands> EditCmndLevel{};
  std::array<QLabel*, kCommands> LabelCmndPercent{};
  std::array<QLineEdit*, kTimedCommands> EditCmndTimeoutH{};
  std::array<QLineEdit*, kTimedCommands> EditCmndTimeoutM{};
  std::array<QLineEdit*, kTimedCommands> EditCmndTimeoutS{};
  std::array<QLineEdit*, kRows> EditOncAddress{};
  std::array<QComboBox*, kRows> ComboBoxOncState{};
  std::array<QLineEdit*, kRows> EditOncLevel{};
  std::array<QCheckBox*, kRows> CheckBoxOncDisabled{};
  // The number of the response each row shows, 1..16 or 17..32.
  std::array<QLabel*, kRows> LabelOncNumber{};

  bool Updating = false;

 private:
  QWidget* BuildEnableArea();
  QWidget* BuildCommandsArea();
  QWidget* BuildLightsArea();
  QWidget* BuildTestsArea();
  QWidget* BuildResponsesArea();
  QWidget* BuildResponseBlock(int firstRow);
  void ConnectHandlers();
  // The field editors over the record's values, once the table is known.
  void WatchFields();

  sensor_frame::LightsControls Lights() const;
  // Encodes the radio group and the number edit into CmndAddress.
  void StoreCmndAddress();
  void ShowLevel(QLineEdit* edit, uint8_t level);
  void ShowPanelWriteCommand();
  void ShowPendingWrites();
  void Test(PirSensorTest test);

  // A refusal or a failed step goes to the status line; true when the sequence went through.
  bool Report(const SequenceResult& result);

  BusSession* Session = nullptr;
  TControllerConfig* Table = nullptr;
  TNavigation* Navigation = nullptr;
  std::array<TWaitEdit*, kTimedCommands> Waits{};
};

}  // namespace lumetra
