// One device page, "Svietidlá" or "Ovládače": 64 device tiles and 17 group buttons over a table,
// the selection, group membership set on the bus, and which right-hand view the page shows.
#pragma once

#include <QAction>
#include <QCheckBox>
#include <QRadioButton>
#include <QTabWidget>
#include <QWidget>
#include <array>
#include <vector>

#include "ui/DeviceButton.h"

namespace lumetra {

class TConfig;
class BusSession;
class TGateThread;
class TNavigation;
class TNavigatedView;

// Lives on the user interface thread: every call and handler runs there, the worker's
// ShowGroups and ShowButtons too (it hands them over). A right-click's gate requests and an
// automatic read block this thread for their exchanges.
class TDevicePage : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kDeviceCount = 64;
  static constexpr int kGroupCount = 16;
  static constexpr int kAllIndex = 16;  // the "Všetky" button among the group buttons

  // What the page borrows from the navigation frame and the main window.
  struct Links {
    TConfig* table = nullptr;
    // The user-interface thread's bus session.
    BusSession* session = nullptr;
    TGateThread* gate = nullptr;
    // Reads a control device on the worker.
    TNavigation* navigation = nullptr;
    const QTabWidget* pages = nullptr;
    QAction* printItem = nullptr;
    TNavigatedView* editor = nullptr;
    TNavigatedView* floorPlan = nullptr;
    // The other right-hand views, hidden when this page shows its own.
    std::vector<TNavigatedView*> otherViews;
  };

  // `kind` is kGearKind or kDeviceKind; `autoRead` is the page's box on "Adresovanie".
  TDevicePage(int kind, QCheckBox* autoRead, QWidget* parent = nullptr);
  void Bind(Links links) { links_ = std::move(links); }

  void OnPageShow();
  void OnButtonClick(int i);
  void OnGroupButtonClick(int i);
  // Toggles the device's membership in the selected group, in the table and on the bus.
  void OnButtonRClick(int i);
  void OnRadioButtonParametersClick();
  void OnRadioButtonPositionsClick();
  void ShowButtons();
  void ShowGroups();
  void DeselectGroups();
  // Clicks the selected device again, when a device (not a group) is selected.
  void ClickSelected();

  bool Shown() const { return links_.pages && links_.pages->currentWidget() == this; }
  bool ShowsParameters() const { return Shown() && RadioButtonParameters->isChecked(); }
  bool ShowsPlan() const { return Shown() && RadioButtonPositions->isChecked(); }
  TNavigatedView* Editor() const { return links_.editor; }
  int Kind() const { return kind_; }

  TDeviceButton& Button(int i) { return devices_[static_cast<size_t>(i)]; }
  TDeviceButton& GroupButton(int i) { return groups_[static_cast<size_t>(i)]; }

  QRadioButton* RadioButtonParameters;
  QRadioButton* RadioButtonPositions;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildTiles();
  void RefreshViews();

  const int kind_;
  QCheckBox* const autoRead_;
  Links links_;
  std::array<TDeviceButton, kDeviceCount> devices_;
  std::array<TDeviceButton, kGroupCount + 1> groups_;
  // The page's own gate buffers, for the membership it sends on a right-click.
};

}  // namespace lumetra
