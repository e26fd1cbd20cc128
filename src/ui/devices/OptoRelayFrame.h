// The opto-relay editor (kind 141): the enable setting, the 32 responses to other devices'
// messages in two pages of 16 rows, their write into the device's memory and the output tests.
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
#include "ui/EditGuard.h"
#include "ui/NavigatedView.h"

namespace lumetra {

class TControllerConfig;
class TEditFocusFilter;
class TRadioGroup;
class RelayOnc;

// Lives on the user-interface thread. The control device editor hosts it and refreshes it
// (RefreshView) whenever it shows it for the selection. The responses' write (228 exchanges) runs
// on the worker through the navigation, which locks the editors meanwhile; the enable byte and the
// tests are short and go out from this thread.
class TOptoRelayFrame : public QFrame, public TNavigatedView {
  Q_OBJECT
 public:
  static constexpr int kRows = 16;
  static constexpr int kOutputs = 4;

  explicit TOptoRelayFrame(QWidget* parent = nullptr);

  void Attach(BusSession& session, TControllerConfig& table, TNavigation& navigation);

  // TNavigatedView: the selection's record, with the red panels hidden.
  QWidget* Widget() override { return this; }
  void RefreshView() override { ShowDevice(true); }

  void ShowDevice(bool hidePanels);
  // The sixteen rows of the page chosen: responses 0..15 or 16..31.
  void ShowResponses();
  // 16 while "17 - 32" is chosen, else 0.
  int PageOffset() const;

  void OnCheckBoxEnabledClick();
  void OnButtonWriteEnabledClick();
  void OnRadioButtonOncGroupClick();
  void OnEditEnter(QLineEdit* edit);
  void OnCommandChange();
  void OnEditOncAddressExit(QLineEdit* edit);
  void OnComboBoxOncStateSelect(int row);
  void OnComboBoxOncOperatorSelect(int row);
  void OnEditOncLevelExit(QLineEdit* edit);
  void OnComboBoxOncActionSelect(int row);
  // output 0..3 of the row: CheckBox<n>OncOutput1..Output4
  void OnCheckBoxOncOutputClick(int row, int output);
  void OnButtonWriteNewValuesClick();
  void OnButtonOnClick();
  void OnButtonOffClick();

  // enable
  QCheckBox* CheckBoxEnabled;
  QPushButton* ButtonWriteEnabled;
  QWidget* PanelWriteEnabled;
  // responses
  QRadioButton* RadioButton1To16;
  QRadioButton* RadioButton17To32;
  std::array<QLabel*, kRows> RowNumbers{};
  std::array<QLineEdit*, kRows> EditOncAddress{};
  std::array<QComboBox*, kRows> ComboBoxOncState{};
  std::array<QComboBox*, kRows> ComboBoxOncOperator{};
  std::array<QLineEdit*, kRows> EditOncLevel{};
  std::array<QComboBox*, kRows> ComboBoxOncAction{};
  std::array<std::array<QCheckBox*, kRows>, kOutputs> CheckBoxOncOutput{};
  // writing
  QPushButton* ButtonWriteNewValues;
  QWidget* PanelWriteNewValues;
  QLabel* LabelWritten;
  // tests
  TRadioGroup* RadioGroupOutputs;
  QPushButton* ButtonOn;
  QPushButton* ButtonOff;

  bool Updating = false;
  QString EnteredText;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* BuildEnableArea();
  QWidget* BuildResponsesArea();
  QWidget* BuildWriteArea();
  QWidget* BuildTestArea();
  void BuildRow(int row);
  RelayOnc OncAt(int row) const;
  // Bits 0..3: the output boxes of the row that are checked.
  uint8_t CheckedOutputs(int row) const;
  int RowOf(const std::array<QLineEdit*, kRows>& column, const QLineEdit* edit) const;
  // A source address no device can send from is painted red; 255 shows as an empty edit.
  void PaintAddress(QLineEdit* edit, uint32_t address);
  void ShowChanged();
  void ShowPendingWrites();
  void SendTest(bool on);
  // A refusal or a failed step goes to the status line; true when the sequence went through.
  bool Report(const SequenceResult& result);

  BusSession* Session = nullptr;
  TControllerConfig* Table = nullptr;
  TNavigation* Navigation = nullptr;
  TEditFocusFilter* EditFocus;
  TEditGuard Guard;
};

}  // namespace lumetra
