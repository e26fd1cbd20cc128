// The light sensor's responses to other devices' messages: 32 rows, each with a level in lx and
// what it does to the control of each of the four zones.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <array>
#include <cstdint>

#include "ui/Widgets.h"
#include "ui/devices/OncFrame.h"

namespace lumetra {

class TLightSensorOncFrame : public TOncFrame {
  Q_OBJECT
 public:
  static constexpr int kRows = 32;
  static constexpr int kZones = 4;
  static constexpr int kScrollRange = 930;
  static constexpr int kScrollStep = 8;
  // Every message, the motion sensors' dimming steps included.
  static constexpr int kMessageItems = 11;

  TLightSensorOncFrame(TOncHost& host, QWidget* parent);

  void ShowResponses();

  void OnEditOncAddressExit(QLineEdit* edit);
  void OnEditOncLevelExit(QLineEdit* edit);
  void OnComboBoxOncStateSelect(int row);
  void OnCheckBoxOncDisabledClick(int row);
  // zone 0..3: RadioGroup<n>OncG1Enabled..G4Enabled
  void OnRadioGroupOncEnabledClick(int row, int zone);

  std::array<QLineEdit*, kRows> EditOncAddress{};
  std::array<QComboBox*, kRows> ComboBoxOncState{};
  std::array<QLineEdit*, kRows> EditOncLevel{};
  std::array<QCheckBox*, kRows> CheckBoxOncDisabled{};
  std::array<std::array<TRadioGroup*, kRows>, kZones> RadioGroupOncEnabled{};

 private:
  void BuildRow(int row);
  static int RowOf(const std::array<QLineEdit*, kRows>& column, const QLineEdit* edit);
};

}  // namespace lumetra
