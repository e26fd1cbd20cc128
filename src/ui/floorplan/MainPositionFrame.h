// The floor plan view ("Rozmiestnenie"): a side panel with the chosen device's coordinates,
// address, type and commands beside the drawing area with every device of both tables.
#pragma once

#include <QCheckBox>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>

#include "buslink/BusSession.h"
#include "ui/DeviceButton.h"
#include "ui/NavigatedView.h"
#include "ui/floorplan/PositionFrame.h"

namespace lumetra {

class TBalastConfig;
class TBalastFrame;
class TControllerConfig;
class TControllerFrame;
class TEditFocusFilter;

// Lives on the user interface thread; every handler runs there. "Čítať stav svietidiel" reads the
// lamps on the worker (TNavigation::RunOnWorker), so the window keeps painting and its counter
// goes; the other commands are short and use the user-interface session through the editors.
class TMainPositionFrame : public QFrame, public TNavigatedView, public TPlanPicture {
  Q_OBJECT
 public:
  // What the view borrows from the main window.
  struct Links {
    TBalastConfig* balastConfig = nullptr;
    TControllerConfig* controllerConfig = nullptr;
    TNavigation* navigation = nullptr;
    // The editors whose address change and direct commands the side panel uses.
    TBalastFrame* gearEditor = nullptr;
    TControllerFrame* deviceEditor = nullptr;
  };

  explicit TMainPositionFrame(QWidget* parent = nullptr);

  void AttachToWindow(const Links& links);
  // Once at start-up, after AttachToWindow: every device slot of both tables gets its start
  // position, and nothing is selected.
  void BindPlan();

  // TNavigatedView
  QWidget* Widget() override { return this; }
  void RefreshView() override { PositionFrame->RefreshPlan(); }
  void UpdatePercentLabels() override { PositionFrame->RefreshPlan(); }
  TPlanPicture* PlanPicture() override { return this; }
  // A device chosen in a grid is marked and scrolled into view.
  void SelectDevice(int kind, int i) override { PositionFrame->SelectAndShow(kind, i); }
  // TPlanPicture: the printed plan; none (a null image) while neither table holds a device, so
  // that printing says there is nothing to print instead of sending an empty frame.
  void DrawPlan(QImage& bitmap) override;

  // The whole area (1500 × 1100): a frame around it, an ellipse "A nn" for every control gear and
  // a rectangle "C nn - kind letter" for every control device, where they are placed.
  void RenderPlan(QImage& bitmap);

  // The side panel shows device `index` of the button's population.
  void ShowDevice(int index, TDeviceButton& button);

  // Handlers of the side panel.
  void OnEditEnter(QLineEdit* edit);
  void OnEditNewXExit(QLineEdit* edit);
  void OnEditNewYExit(QLineEdit* edit);
  void OnEditNewXYChange();
  void OnButtonChangeCoordinatesClick();
  void OnEditNewAddressChange();
  void OnEditNewAddressExit(QLineEdit* edit);
  void OnButtonChangeAddressClick();
  void OnCheckBoxBalastStatusClick();
  void OnButtonReadBalastStatusClick();
  void OnButtonMaximumClick();
  void OnButtonOffClick();

  int SelectedDevice() const { return selected_; }

  TPositionFrame* PositionFrame;
  QLineEdit* EditNewX;
  QLineEdit* EditNewY;
  QPushButton* ButtonChangeCoordinates;
  QWidget* PanelChangeCoordinates;
  QLabel* LabelDeviceTypeValue;
  QLabel* LabelAddressValue;
  QLineEdit* EditNewAddress;
  QPushButton* ButtonChangeAddress;
  QWidget* PanelChangeAddress;
  QCheckBox* CheckBoxBalastStatus;
  QPushButton* ButtonReadBalastStatus;
  QLabel* LabelBalastIdx;
  QPushButton* ButtonMaximum;
  QPushButton* ButtonOff;

  bool Updating = false;
  QString EnteredText;

 private:
  void BuildControls();
  void ConnectHandlers();
  void ClearDevice();
  // "Čítať stav svietidiel": the lamp being read, and the end of the reading.
  void ShowReadingLamp(int a);
  void OnBalastStatusRead(const SequenceResult& result);
  // A typed number, or −1 for an empty edit.
  static long long Typed(const QLineEdit* edit);

  Links links_;
  TEditFocusFilter* EditFocus;
  // The device the side panel shows (−1: none), and a copy of its button record.
  int selected_ = -1;
  TDeviceButton selectedButton_;
};

}  // namespace lumetra
