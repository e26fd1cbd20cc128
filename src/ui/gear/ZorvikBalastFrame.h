// The maker's diagnostics for its own ballasts: nine bytes of the ballast's memory read with the
// standard memory commands, the first four writable, optionally read again every two seconds.
#pragma once

#include <QCheckBox>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <array>
#include <chrono>
#include <cstdint>

namespace lumetra {

class BusSession;
class TBalastConfig;

class TZorvikBalastFrame : public QFrame {
  Q_OBJECT
 public:
  static constexpr int kLocations = 9;
  static constexpr int kWritable = 4;
  static constexpr std::chrono::milliseconds kRepeatInterval{2000};

  explicit TZorvikBalastFrame(QWidget* parent = nullptr);

  void Attach(BusSession& session, TBalastConfig& balastConfig);

  void OnButtonReadClick();
  void OnButtonWriteClick();
  void OnEditChange();
  void OnCheckBoxRepeatReadClick();
  void OnRepeatReadTimer() { OnButtonReadClick(); }
  // Ends the repeated reading, as when the box is unchecked.
  void StopRepeating();

  QLineEdit* EditP;
  QLineEdit* EditFset;
  QLineEdit* EditR1;
  QLineEdit* EditR2;
  QLineEdit* EditIbus;
  QLineEdit* EditUlamp;
  QLineEdit* Editf;
  QLineEdit* EditUbus;
  QLineEdit* EditUzap;
  // The nine edits in memory order.
  std::array<QLineEdit*, kLocations> Edits{};
  QPushButton* ButtonRead;
  QPushButton* ButtonWrite;
  QWidget* PanelWrite;
  QCheckBox* CheckBoxRepeatRead;
  // Tests shorten its interval.
  QTimer* RepeatReadTimer;

 private:
  // The diagnostics belong to one ballast; a group or all devices have no memory to show.
  bool DeviceSelected() const;

  BusSession* Session = nullptr;
  TBalastConfig* BalastConfig = nullptr;
  bool updating_ = false;
};

}  // namespace lumetra
