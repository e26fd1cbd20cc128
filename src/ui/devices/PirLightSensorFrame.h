// The combined motion and light sensor editor (kind 142): the enable setting, the two sequences of
// three commands with their levels in lx and waits, the regulation values, the controlled lights,
// the 32 responses of its embedded response editor, their write into the device, the measured
// illuminance and the alarm, quiet and indicator tests.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <array>
#include <cstdint>

#include "buslink/BusSession.h"
#include "model/ControllerLayouts.h"
#include "ui/EditGuard.h"
#include "ui/NavigatedView.h"
#include "ui/devices/FieldEdits.h"
#include "ui/devices/OncFrame.h"
#include "ui/devices/SensorFrameParts.h"

namespace lumetra {

class TControllerConfig;
class TErrorDlg;
class TPIRLightSensorOncFrame;
class TRadioGroup;

// Lives on the user-interface thread, hosted and refreshed like the other kind editors. The write
// of the sequences, the values and the responses (up to 231 exchanges) runs on the worker through
// the navigation; the enable byte, the measured value and the tests go out from this thread.
class TPirLightSensorFrame : public QFrame, public TNavigatedView, public TOncHost {
  Q_OBJECT
 public:
  static constexpr int kSequences = 2;
  static constexpr int kCommands = 3;
  // Commands 0 and 1 of each sequence have a wait editor.
  static constexpr int kWaits = 2;

  explicit TPirLightSensorFrame(QWidget* parent = nullptr);

  void Attach(BusSession& session, TControllerConfig& table, TNavigation& navigation);

  QWidget* Widget() override { return this; }
  void RefreshView() override { ShowDevice(); }
  void ShowPanelWriteCommand() override;
  void ShowPendingWrites();

  void ShowDevice();

  void OnCommandChange();
  void OnComboBoxScaleSelect();
  void OnRadioGroupCmndAddressTypeClick();
  void OnCheckBoxSensorEnabledClick();
  void OnButtonWriteSensorEnabledClick();
  void OnButtonWriteCmndSequencesClick();
  void OnButtonReadMeasuredValueClick();
  void OnButtonAlarmClick();
  void OnButtonQuietClick();
  void OnIndicatorClick(int state);

  QCheckBox* CheckBoxSensorEnabled;
  QPushButton* ButtonWriteSensorsEnabled;
  QWidget* PanelWriteEnabled;
  // EditSeq<q+1>Cmnd<c+1>Level at 3q + c
  std::array<QLineEdit*, kSequences * kCommands> EditCmndLevel{};
  // EditSeq<q+1>Cmnd<c+1>TimeoutH/M/S at 2q + c
  std::array<QLineEdit*, kSequences * kWaits> EditCmndTimeoutH{};
  std::array<QLineEdit*, kSequences * kWaits> EditCmndTimeoutM{};
  std::array<QLineEdit*, kSequences * kWaits> EditCmndTimeoutS{};
  QLineEdit* EditOffLevel;
  QLineEdit* EditDelta;
  QLineEdit* EditOnLevel;
  QLineEdit* EditOffTimeoutH;
  QLineEdit* EditOffTimeoutM;
  QLineEdit* EditOffTimeoutS;
  QComboBox* ComboBoxScale;
  QLineEdit* EditMinLevel;
  QLineEdit* EditMaxLevel;
  TRadioGroup* RadioGroupCmndAddressType;
  QLineEdit* EditCmndAddress;
  QPushButton* ButtonWriteCmndSequences;
  QWidget* PanelWriteCommand;
  QLabel* LabelWritten;
  QLineEdit* EditMeasuredValue;
  QPushButton* ButtonReadMeasuredValue;
  QPushButton* ButtonAlarm;
  QPushButton* ButtonQuiet;
  std::array<QPushButton*, sensor_frame::kIndicatorButtons> IndicatorButtons{};
  QPushButton* ButtonOff;
  QPushButton* ButtonOn;
  QPushButton* ButtonBlinkWhole;
  QPushButton* ButtonBlinkHalf;
  QPushButton* ButtonBlinkQuarter;
  QPushButton* ButtonBlinkEighth;
  TPIRLightSensorOncFrame* PIRLightSensorOncFrame;
  TErrorDlg* ErrorDlg = nullptr;

  bool Updating = false;

 private:
  QWidget* BuildEnableArea();
  QWidget* BuildSequencesArea();
  QWidget* BuildValuesArea();
  QWidget* BuildLightsArea();
  QWidget* BuildMeasureArea();
  QWidget* BuildResponsesArea();
  // Every change of the edit's text shows the write panel.
  void WatchChanges(QLineEdit* edit);
  // The field editors of the values and the controlled lights.
  void WatchFields();
  sensor_frame::LightsControls Lights() const;
  void StoreCmndAddress();
  bool HasSecondSequence() const;
  bool Report(const SequenceResult& result);

  BusSession* Session = nullptr;
  TControllerConfig* Table = nullptr;
  TNavigation* Navigation = nullptr;
  // The waits of commands 0 and 1 of each sequence at 2q + c, then the wait before switching off.
  std::array<TWaitEdit*, kSequences * kWaits> CommandWaits{};
  TWaitEdit* OffTimeout = nullptr;
  TEditGuard Guard;
};

}  // namespace lumetra
