// The addressing progress view: both populations' address grids, the counts of assigned addresses,
// the address the worker is on and its message.
#pragma once

#include <QFrame>
#include <QLabel>
#include <array>

#include "commissioning/GateThread.h"
#include "ui/DeviceButton.h"
#include "ui/NavigatedView.h"

namespace lumetra {

class TBalastConfig;
class TConfig;
class TControllerConfig;

// Threads: user-interface thread only; the worker reaches its TProgressView calls through the
// UiBridge, which runs them here while the worker waits.
class TAddressFrame : public QFrame, public TNavigatedView, public TProgressView {
  Q_OBJECT
 public:
  static constexpr int kWidth = 772;
  static constexpr int kHeight = 690;

  explicit TAddressFrame(QWidget* parent = nullptr);

  // Takes the two tables; the button records are built with the frame.
  void Bind(TBalastConfig* balastConfig, TControllerConfig* controllerConfig);
  void RefreshAll();
  void PrepareJob(bool gear, bool devices);

  // TProgressView
  bool IsShown() const override { return isVisible(); }
  void SetMessage(const std::string& text) override;
  std::string GetMessage() const override;
  void ShowCounts() override;
  void MarkGearAddress(int a) override { Mark(gear_, a); }
  void MarkGearFound() override { Found(gear_); }
  void MarkDeviceAddress(int a) override { Mark(device_, a); }
  void MarkDeviceFound() override { Found(device_); }

  // TNavigatedView
  QWidget* Widget() override { return this; }
  void RefreshView() override { RefreshAll(); }

  TDeviceButton& GearButton(int i) { return gear_.buttons[static_cast<size_t>(i)]; }
  TDeviceButton& DeviceButton(int i) { return device_.buttons[static_cast<size_t>(i)]; }

  QLabel* LabelUsedBalastAddressCount;
  QLabel* LabelUsedCtrlAddressCount;
  QLabel* LabelProgress;

 private:
  struct Half {
    TConfig* table = nullptr;
    QLabel* count = nullptr;
    std::array<TDeviceButton, 64> buttons;
    int marked = 0;
  };
  void BuildHalf(Half& half, int kind, int left);
  void Mark(Half& half, int a);
  void Found(Half& half);
  static void ShowFree(TDeviceButton& button);
  static void ShowInUse(TDeviceButton& button);

  Half gear_;
  Half device_;
};

}  // namespace lumetra
