// What the three response editors share: the scrolling area of rows, the wheel rule, the
// EnteredText focus rule and the painting of source addresses.
#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QScrollArea>
#include <QString>
#include <cstdint>
#include <functional>

namespace lumetra {

class TControllerConfig;
class TEditFocusFilter;

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
  // An edit of a row: EnteredText on entry, `onExit` on leaving, OnCommandChange on typing.
  void WatchEdit(QLineEdit* edit, std::function<void(QLineEdit*)> onExit);
  // A combo box of a row: the wheel scrolls the editor instead of changing the choice.
  void WatchCombo(QComboBox* combo);
  // An accepted selection: the host's write panel shows, unless the rows are being filled.
  void Changed();

  // A source address the table cannot send messages from is painted red; 255 empties the edit.
  void ShowAddress(QLineEdit* edit, uint32_t address);
  void PaintAddress(QLineEdit* edit, uint32_t address);
  // The value an address or level edit holds: `empty` for no text, else its leading digits.
  static uint32_t TypedValue(const QString& text, uint32_t empty);
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

}  // namespace lumetra
