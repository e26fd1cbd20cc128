// The page "DALI Monitor": the monitor's reader and its controls, the record files and the two
// address filter columns of the display.
#pragma once

#include <QAction>
#include <QFileDialog>
#include <QPushButton>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "monitor/MonitoringThread.h"
#include "ui/MonitorFilterColumn.h"

namespace lumetra {

class TMonitorFrame;
class TNavigatedView;
class TcpClient;
class UiBridge;

// The page's controls by their designed names; the navigation frame offers the same names.
struct TMonitorControls {
  QPushButton* ButtonMonitorStart;
  QPushButton* ButtonMonitorStop;
  QPushButton* ButtonMonitorClear;
  QPushButton* ButtonMonitorSave;
  QPushButton* ButtonMonitorOpen;
  QFileDialog* SaveMonitorDialog;
  QFileDialog* OpenMonitorDialog;
};

// The page, its controls and its handlers live on the user interface thread. The reader is a
// thread of its own: it reads the monitor connection and hands each record to this thread, where
// the display decodes it. StopReader serves those hand-overs while it waits for the reader.
// "Štart" connects through the navigation frame, which owns the connections; it wires it.
class TMonitorPage : public QWidget, public TMonitorControls {
  Q_OBJECT
 public:
  struct Links {
    TcpClient* client = nullptr;  // the monitor connection
    UiBridge* bridge = nullptr;   // none: records go straight to the display
    TMonitorFrame* monitor = nullptr;
    QAction* printItem = nullptr;
    // The other right-hand views, hidden when this page shows the monitor.
    std::vector<TNavigatedView*> otherViews;
  };

  explicit TMonitorPage(QWidget* parent = nullptr);
  ~TMonitorPage() override;

  // Binds the page and creates the reader, which waits, suspended, for the first "Štart".
  void Bind(Links links);
  // Ends the reader, serving its hand-overs meanwhile.
  void StopReader();
  // Ends the reader without serving hand-overs: for a window that is going, whose connection the
  // reader must not outlive.
  void ReleaseReader() { reader_.reset(); }
  // The monitor connection is up: the reader starts reading it.
  void MonitorConnected();
  void ShowMonitorRunning(bool running);

  void OnMonitorPageShow();
  void OnButtonMonitorStopClick();
  void OnButtonMonitorClearClick();
  // Both ask for a file name; errors reach the general error report.
  void OnButtonMonitorSaveClick();
  void OnButtonMonitorOpenClick();

  TMonitorFrame* MonitorView() const { return links_.monitor; }
  TMonitoringThread* MonitoringThread() const { return reader_.get(); }

  TMonitorFilterColumn GearFilter;
  TMonitorFilterColumn DeviceFilter;

 private:
  void BuildControls();
  void BuildLayout();
  // The record file the user chose in `dialog`, with its ".lmm"; none when cancelled or when
  // there is no display to save or fill.
  std::optional<std::string> ChooseFile(QFileDialog* dialog);

  Links links_;
  std::unique_ptr<TMonitoringThread> reader_;
};

}  // namespace lumetra
