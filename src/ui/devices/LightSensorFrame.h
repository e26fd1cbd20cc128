// The light sensor editor (kind 133): the enable setting, the regulation ("Slučka", levels, wait,
// tolerance, resolution), the four zones of lights it drives, the 32 responses of its embedded
// response editor, their write into the device, the measured illuminance and the indicator test.
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
class TLightSensorOncFrame;
class TRadioGroup;

// Lives on the user-interface thread. The control device editor hosts it and refreshes it
// (RefreshView) whenever it shows it for the selection. The write of the regulation and the
// responses (up to 217 exchanges) runs on the worker through the navigation, which locks the
// editors meanwhile; the enable byte, the measured value and the tests go out from this thread.
class TLightSensorFrame : public QFrame, public TNavigatedView, public TOncHost {
  Q_OBJECT
 public:
  static constexpr int kZones = 4;

  explicit TLightSensorFrame(QWidget* parent = nullptr);

  void Attach(BusSession& session, TControllerConfig& table, TNavigation& navigation);

  // TNavigatedView: the selection's record, with the red panels hidden.
  QWidget* Widget() override { return this; }
  void RefreshView() override { ShowDevice(); }
  // TOncHost
  void ShowPanelWriteCommand() override;
  void ShowPendingWrites();

  void ShowDevice();
  // The captions of the two values whose meaning follows "Slučka".
  void ShowLoopCaptions();

  void OnCheckBoxSensorEnabledClick();
  void OnButtonWriteSensorEnableClick();
  void OnCommandChange();
  void OnRadioGroupLoopClick();
  void OnComboBoxScaleSelect();
  void OnRadioGroupCmndAddressTypeClick(int zone);
  void OnButtonWriteCmndSequencesClick();
  void OnButtonReadMeasuredValueClick();
  // state 0..5: "Vypnúť" .. "Blikať1/8 s"
  void OnIndicatorClick(int state);

  // enable
  QCheckBox* CheckBoxSensorEnabled;
  QPushButton* ButtonWriteSensorsEnabled;
  QWidget* PanelWriteEnabled;
  // regulation
  TRadioGroup* RadioGroupLoop;
  QLabel* LabelDefaultLevel;
  QLineEdit* EditDefaultLevel;
  QLabel* LabelOnLevel;
  QLineEdit* EditOnLevel;
  QLabel* LabelOnLevelPercent;
  QLineEdit* EditOffLevel;
  QLineEdit* EditOffTimeoutH;
  QLineEdit* EditOffTimeoutM;
  QLineEdit* EditOffTimeoutS;
  QLineEdit* EditDelta;
  QLineEdit* EditMaxLevel;
  QLineEdit* EditMinLevel;
  QComboBox* ComboBoxScale;
  // zones: RadioGroupCmndAddressType1..4, EditCmndAddress1..4, EditOffset1..4
  std::array<TRadioGroup*, kZones> RadioGroupCmndAddressType{};
  std::array<QLineEdit*, kZones> EditCmndAddress{};
  std::array<QLineEdit*, kZones> EditOffset{};
  // writing
  QPushButton* ButtonWriteCmndSequences;
  QWidget* PanelWriteCommand;
  QLabel* LabelWritten;
  // measuring and tests
  QLineEdit* EditMeasuredValue;
  QPushButton* ButtonReadMeasuredValue;
  std::array<QPushButton*, sensor_frame::kIndicatorButtons> IndicatorButtons{};
  QPushButton* ButtonOff;
  QPushButton* ButtonOn;
  QPushButton* ButtonBlinkWhole;
  QPushButton* ButtonBlinkHalf;
  QPushButton* ButtonBlinkQuarter;
  QPushButton* ButtonBlinkEighth;
  // responses
  TLightSensorOncFrame* LightSensorOncFrame;
  // the measured value's failure, set up once as an error with "OK"
  TErrorDlg* ErrorDlg = nullptr;

  bool Updating = false;

 private:
  QWidget* BuildEnableArea();
  QWidget* BuildRegulationArea();
  QWidget* BuildZonesArea();
  QWidget* BuildWriteArea();
  QWidget* BuildMeasureArea();
  QWidget* BuildResponsesArea();
  // Every change of the edit's text shows the write panel.
  void WatchChanges(QLineEdit* edit);
  // The field editors of the settings and the zones.
  void WatchFields();
  // Zone z's radio item as an address kind: 0 all, 1 group, 2 one device.
  sensor_frame::LightsControls ZoneLights(int zone) const;
  void StoreCmndAddress(int zone);
  bool FirmwareHasDeltaScale() const;
  // A refusal or a failed step goes to the status line; true when the sequence went through.
  bool Report(const SequenceResult& result);

  BusSession* Session = nullptr;
  TControllerConfig* Table = nullptr;
  TNavigation* Navigation = nullptr;
  TWaitEdit* OffTimeout = nullptr;
  TEditGuard Guard;
};

}  // namespace lumetra
