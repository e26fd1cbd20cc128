// The combined motion and light sensor's responses to other devices' messages: 32 rows, each with
// a level in lx and the sequence it runs.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <array>
#include <cstdint>

#include "ui/devices/OncFrame.h"

namespace lumetra {

class TPIRLightSensorOncFrame : public TOncFrame {
  Q_OBJECT
 public:
  static constexpr int kRows = 32;
  static constexpr int kScrollRange = 870;
  static constexpr int kScrollStep = 8;
  // Push-buttons and the motion sensors' alarm and quiet.
  static constexpr int kMessageItems = 9;

  TPIRLightSensorOncFrame(TOncHost& host, QWidget* parent);

  void ShowResponses();

  void OnEditOncAddressExit(QLineEdit* edit);
  void OnEditOncLevelExit(QLineEdit* edit);
  void OnComboBoxOncStateSelect(int row);
  void OnCheckBoxOncDisabledClick(int row);
  void OnRadioButtonOncSeq1Click(int row);
  void OnRadioButtonSeq2Click(int row);

  std::array<QLineEdit*, kRows> EditOncAddress{};
  std::array<QComboBox*, kRows> ComboBoxOncState{};
  std::array<QLineEdit*, kRows> EditOncLevel{};
  std::array<QCheckBox*, kRows> CheckBoxOncDisabled{};
  std::array<QWidget*, kRows> Panel{};
  std::array<QRadioButton*, kRows> RadioButtonOncSeq1{};
  std::array<QRadioButton*, kRows> RadioButtonOncSeq2{};

 private:
  void BuildRow(int row);
  static int RowOf(const std::array<QLineEdit*, kRows>& column, const QLineEdit* edit);
};

}  // namespace lumetra
