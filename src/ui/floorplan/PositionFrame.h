// The drawing area of the floor plan: a 1500 × 1100 scrollable area with one button per device
// slot of both tables, placed where the table says the device hangs, dragged and dropped there.
#pragma once

#include <QScrollArea>
#include <array>
#include <functional>
#include <unordered_map>

#include "ui/DeviceButton.h"

class QMouseEvent;
class QWheelEvent;

namespace lumetra {

class TBalastConfig;
class TConfig;
class TControllerConfig;
class TNavigation;

// Lives on the user interface thread; every handler runs there.
class TPositionFrame : public QScrollArea {
  Q_OBJECT
 public:
  static constexpr int kDeviceCount = 64;

  // What the plan borrows: the two tables, the navigation that shares the selection with the
  // grids and editors, and the side panel that shows the chosen device.
  struct Links {
    TBalastConfig* balastConfig = nullptr;
    TControllerConfig* controllerConfig = nullptr;
    TNavigation* navigation = nullptr;
    std::function<void(int index, TDeviceButton& button)> showDevice;
  };

  explicit TPositionFrame(QWidget* parent = nullptr);
  void Bind(Links links) { links_ = std::move(links); }

  // Once at start-up: every slot of both tables starts where its button was laid out (the default
  // grid), both tables select slot 0 and the plan selects nothing.
  void BindPlan();
  // Shows, places, marks and captions every button from the tables.
  void RefreshPlan();
  // Device i of the population `kind` was chosen elsewhere (a grid).
  void Select(int kind, int i);
  // The same, and the plan scrolls so that the device's button is in view.
  void SelectAndShow(int kind, int i);

  // Handlers.
  void OnDeviceButtonMouseDown(TDeviceButton& button, Qt::MouseButton pressed);
  void OnDeviceButtonMouseMove(Qt::MouseButtons held, QPoint at);
  void OnDeviceButtonMouseUp(Qt::MouseButton released);
  void OnPositionFrameMouseEnter() { MouseInside = 1; }
  void OnPositionFrameMouseLeave() { MouseInside = 0; }
  // True when the wheel notch was used here; otherwise it goes on to the enclosing window.
  bool OnPositionFrameMouseWheelDown(bool ctrl);
  bool OnPositionFrameMouseWheelUp(bool ctrl);

  TDeviceButton& GearButton(int i) { return gear_[static_cast<size_t>(i)]; }
  TDeviceButton& DeviceButton(int i) { return devices_[static_cast<size_t>(i)]; }
  // The selected button and its slot, or nullptr / −1 when nothing is selected.
  TDeviceButton* SelectedButton();
  int SelectedIndex() const;
  // The table of a button's population.
  TConfig& TableOf(const TDeviceButton& button) const;

  // Absolute coordinates (on the 1500 × 1100 area) of a button.
  int AbsoluteTop(const TDeviceButton& button) const { return button.Top(); }
  int AbsoluteLeft(const TDeviceButton& button) const { return button.Left(); }
  // Moves a button to an absolute place on the area.
  void Place(TDeviceButton& button, int top, int left);
  // Stores where a button lies into its slot of its table.
  void StorePosition(const TDeviceButton& button, int slot);

  // The area the buttons lie on, 1500 × 1100.
  QWidget* Canvas;

  int GearSelection = -1;
  int ControllerSelection = -1;
  int MouseInside = 0;
  int JustPressed = 0;
  int ShowStatus = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void BuildButtons();
  TDeviceButton* Find(const QObject* control);
  int IndexOf(const TDeviceButton& button) const;
  void RefreshTable(TConfig& table, int kind);

  Links links_;
  std::array<TDeviceButton, kDeviceCount> gear_;
  std::array<TDeviceButton, kDeviceCount> devices_;
  // The record of each push button, for the mouse events it receives.
  std::unordered_map<const QObject*, TDeviceButton*> recordOf_;
};

}  // namespace lumetra
