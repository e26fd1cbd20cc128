// The switch's responses to other devices' messages: 16 rows per input, one input shown at a time.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <array>
#include <cstdint>

#include "ui/devices/OncFrame.h"

namespace lumetra {

class TSwitchOncFrame : public TOncFrame {
  Q_OBJECT
 public:
  static constexpr int kRows = 16;
  static constexpr int kIndicators = 4;
  static constexpr int kScrollRange = 970;
  static constexpr int kScrollStep = 10;
  // The switch reacts to push-buttons and switches only.
  static constexpr int kMessageItems = 7;

  TSwitchOncFrame(TOncHost& host, QWidget* parent);

  // input 0 or 1: the table of responses the rows show from now on.
  void ShowResponses(uint32_t input);

  void OnEditOncAddressExit(QLineEdit* edit);
  void OnComboBoxOncStateSelect(int row);
  void OnCheckBoxOncDisabledClick(int row);
  void OnCheckBoxOncStopSequenceClick(int row);
  void OnComboBoxOncStartSequenceSelect(int row);
  // indicator 0..3 of the row: ComboBox<n>OncLed1..Led4
  void OnComboBoxOncLedSelect(int row, int indicator);

  std::array<QLineEdit*, kRows> EditOncAddress{};
  std::array<QComboBox*, kRows> ComboBoxOncState{};
  std::array<QCheckBox*, kRows> CheckBoxOncDisabled{};
  std::array<QCheckBox*, kRows> CheckBoxOncStopSequence{};
  std::array<QComboBox*, kRows> ComboBoxOncStartSequence{};
  std::array<std::array<QComboBox*, kRows>, kIndicators> ComboBoxOncLed{};

  uint32_t ShownInput = 0;

 private:
  void BuildRow(int row);
  int RowOf(const QLineEdit* edit) const;
};

}  // namespace lumetra
