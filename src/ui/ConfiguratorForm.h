// The program's main window: owner of the gate exchange and the tables, host of every frame.
#pragma once

#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QMainWindow>
#include <QScrollArea>
#include <memory>
#include <string>
#include <vector>

#include "buslink/BusSession.h"
#include "buslink/DaliCom.h"
#include "documents/ReportPages.h"
#include "model/BalastConfig.h"
#include "model/ControllerConfig.h"
#include "ui/CommandLine.h"

namespace lumetra {

class TAddressFrame;
class TBalastFrame;
class TControllerFrame;
class TPIRSensorFrame;
class TMainPositionFrame;
class TMonitorFrame;
class TReportPrinting;
class TTabsFrame;
class QtUiBridge;

class TConfiguratorForm : public QMainWindow {
  Q_OBJECT
 public:
  static constexpr int kWidth = 1280;
  static constexpr int kHeight = 760;
  static constexpr int kScrollWidth = 1264;  // horizontal scroll range
  static constexpr int kScrollHeight = 701;  // vertical scroll range
  static constexpr int kFrameHeight = 690;
  static constexpr int kNavigationLeft = 3;
  static constexpr int kNavigationWidth = 480;
  static constexpr int kViewLeft = 483;
  static constexpr int kViewWidth = 772;

  // `arguments` without the program name.
  explicit TConfiguratorForm(const std::vector<std::string>& arguments, QWidget* parent = nullptr);
  ~TConfiguratorForm() override;

  TDaliCom& DaliCom() { return *DaliCom_; }
  BusSession& UiSession() { return *UiSession_; }
  TBalastConfig& BalastConfig() { return *BalastConfig_; }
  TControllerConfig& ControllerConfig() { return *ControllerConfig_; }
  ReportPages& ReportPageLists() { return *ReportPages_; }
  TTabsFrame* TabsFrame() const { return Tabs; }
  TMonitorFrame* MonitorView() const { return MonitorFrame; }
  TAddressFrame* ProgressView() const { return AddressFrame; }
  TBalastFrame* GearEditor() const { return BalastFrame; }
  TControllerFrame* DeviceEditor() const { return ControllerFrame; }
  TPIRSensorFrame* MotionSensorEditor() const { return PIRSensorFrame; }
  TMainPositionFrame* FloorPlan() const { return MainPositionFrame; }
  QScrollArea* ScrollBox() const { return ScrollBox_; }
  bool MouseOver() const { return MouseOver_; }

  void OnConfiguratorFormMouseEnter() { MouseOver_ = true; }
  void OnConfiguratorFormMouseLeave() { MouseOver_ = false; }
  void OnConfiguratorFormMouseWheelDown(bool ctrl) { Scroll(ctrl, +1); }
  void OnConfiguratorFormMouseWheelUp(bool ctrl) { Scroll(ctrl, -1); }
  void OnExitClick() { close(); }
  void OnAboutClick();
  // "Otvoriť" and "Uložiť ako": a file dialog, then the document. Errors reach the general error
  // report; a document that does not open leaves the installation as it was.
  void OnOpenClick();
  void OnSaveAsClick();
  void OpenDocument(const std::string& path);
  // "Tlač", "Náhľad tlače", "Exportovať do PDF": the shown editor's report pages or the floor plan.
  void OnPrintClick();
  void OnPrintPreviewClick();
  void OnExportPdfClick();
  TReportPrinting& Printing() { return *Printing_; }
  // Saves the installation as "LastDevicesConfig.dcf" in the program's files folder.
  void OnClose();
  // The folder of the program's own files: the program's folder when it is writable, else the
  // user's data folder; LUMETRA_FOLDER names another.
  static std::string FilesFolder();
  const std::string& FilesFolderInUse() const { return FilesFolder_; }

  QFileDialog* OpenDialog;
  QFileDialog* SaveDialog;

  // Main menu.
  QAction* ItemOpen;
  QAction* ItemSaveAs;
  QAction* ItemPrint;
  QAction* ItemPrintPreview;
  QAction* ItemExportPdf;
  QAction* ItemExit;
  QAction* ItemAbout;

 protected:
  // Closing during a job cancels it and keeps the window up, saying so, until the worker has
  // stopped; the window then closes by itself.
  void closeEvent(QCloseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnCreate(const std::vector<std::string>& arguments);
  void OnDestroy();
  void BuildMenu();
  void Scroll(bool horizontal, int direction);
  void ShowExchangeFailure(const QString& text);

  std::unique_ptr<TDaliCom> DaliCom_;
  // Every request the pages and editors send goes through this one session on this thread.
  std::unique_ptr<BusSession> UiSession_;
  std::unique_ptr<TBalastConfig> BalastConfig_;
  std::unique_ptr<TControllerConfig> ControllerConfig_;
  // The 64 lists a printed report is gathered in.
  std::unique_ptr<ReportPages> ReportPages_;
  std::unique_ptr<TReportPrinting> Printing_;
  std::unique_ptr<QtUiBridge> Bridge;
  QScrollArea* ScrollBox_;
  QLabel* GateState;
  QWidget* Content;
  TTabsFrame* Tabs;
  TMonitorFrame* MonitorFrame;
  TAddressFrame* AddressFrame;
  TBalastFrame* BalastFrame;
  TControllerFrame* ControllerFrame;
  TPIRSensorFrame* PIRSensorFrame = nullptr;
  TMainPositionFrame* MainPositionFrame = nullptr;
  bool MouseOver_ = false;
  std::string FilesFolder_;
  bool closeAfterJob_ = false;
};

}  // namespace lumetra
