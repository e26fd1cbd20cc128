// What the response editors share: the scrolling area of rows, the wheel rule, the EnteredText
// focus rule, the painting of source addresses, and the sensors' address-message-level rows.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QScrollArea>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>

namespace lumetra {

class TControllerConfig;
class TEditFocusFilter;
class LightOnc;
class PirLightOnc;

// A response's source address is painted red where the table says no device can send from it (no
// device there, or not multimaster); no source (anything but 0..63) in the window colour. Every
// response editor paints its address edits so, the pages that hold their rows themselves included.
void PaintSourceAddress(QLineEdit* edit, const TControllerConfig& table, uint32_t address);

// The kind page that embeds a response editor; the responses are written with the page's own
// settings, so a change shows the page's PanelWriteCommand.
class TOncHost {
 public:
  virtual void ShowPanelWriteCommand() = 0;

 protected:
  ~TOncHost() = default;
};

// Lives on the user-interface thread.
class TOncFrame : public QScrollArea {
  Q_OBJECT
 public:
  // Stores the table; the rows exist from construction.
  void Attach(TControllerConfig& table) { Table = &table; }

  void OnEditEnter(QLineEdit* edit);
  void OnCommandChange();
  void OnClick();
  void OnMouseEnter() { ScrollHover = true; }
  void OnMouseLeave() { ScrollHover = false; }
  // True when the step was handled here; false sends it on to the enclosing window.
  bool OnMouseWheelDown() { return Wheel(+1); }
  bool OnMouseWheelUp() { return Wheel(-1); }

  int ScrollRange() const { return scrollRange_; }
  int ScrollStep() const { return scrollStep_; }

  bool Updating = false;
  QString EnteredText;
  bool ScrollHover = false;

 protected:
  TOncFrame(const char* name, TOncHost& host, int scrollRange, int scrollStep, QWidget* parent);

  // The widget the rows go into, as tall as the scroll range.
  QWidget* Rows() const { return rows_; }
  // An edit of a row: EnteredText on entry, `onExit` (if any) on leaving, OnCommandChange on
  // typing.
  void WatchEdit(QLineEdit* edit, std::function<void(QLineEdit*)> onExit);
  // A combo box of a row: the wheel scrolls the editor instead of changing the choice.
  void WatchCombo(QComboBox* combo);
  // An accepted selection: the host's write panel shows, unless the rows are being filled.
  void Changed();

  // A source address the table cannot send messages from is painted red; no source (anything but
  // 0..63) empties the edit.
  void ShowAddress(QLineEdit* edit, uint32_t address);
  void PaintAddress(QLineEdit* edit, uint32_t address);
  static void SelectItem(QComboBox* combo, uint32_t item);
  // Firmware Version.MinVersion of the selected device.
  bool FirmwareIs(uint8_t version, uint8_t minVersion) const;

  TControllerConfig* Table = nullptr;

  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool Wheel(int direction);
  void PassToWindow(const QWheelEvent& event);

  TOncHost& host_;
  int scrollRange_;
  int scrollStep_;
  QWidget* rows_;
  TEditFocusFilter* editFocus_;
};

// The light sensor's and the combined sensor's rows begin alike: source address, message, level
// in lx and the disable box, stored through the sensor's own response view `Onc`. Each editor
// adds its own columns from kOwnColumn on and keeps its firmware rules.
template <typename Onc>
class TSensorOncFrame : public TOncFrame {
 public:
  static constexpr int kRows = 32;

  void OnComboBoxOncStateSelect(int row);
  void OnCheckBoxOncDisabledClick(int row);

  std::array<QLineEdit*, kRows> EditOncAddress{};
  std::array<QComboBox*, kRows> ComboBoxOncState{};
  std::array<QLineEdit*, kRows> EditOncLevel{};
  std::array<QCheckBox*, kRows> CheckBoxOncDisabled{};

 protected:
  static constexpr int kOwnColumn = 5;

  // `messageItems`: how many entries of the message table the sensor reacts to.
  TSensorOncFrame(const char* name, TOncHost& host, int scrollRange, int scrollStep,
                  int messageItems, QWidget* parent);

  virtual Onc OncAt(uint32_t row) const = 0;

  // Builds the shared controls of the row and puts them into the grid. The editor adds its own
  // controls of the row right after, so that Tab still walks the rows one after another.
  void AddRow(int row);
  // A stored source that is no short address (0..63) shows empty.
  void ShowRow(int row, const Onc& onc);
  QGridLayout* Grid() const { return grid_; }

  // An object name of a row's control: prefix, row number from 1, suffix.
  template <typename W>
  static W* RowControl(const QString& prefix, int row, const QString& suffix) {
    auto* w = new W;
    w->setObjectName(prefix + QString::number(row + 1) + suffix);
    return w;
  }

 private:
  int messageItems_;
  QGridLayout* grid_;
};

extern template class TSensorOncFrame<LightOnc>;
extern template class TSensorOncFrame<PirLightOnc>;

}  // namespace lumetra
