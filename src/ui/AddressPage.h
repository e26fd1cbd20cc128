// The page "Adresovanie": opening and closing the gate, the commissioning jobs and their controls,
// the level unit and the automatic reading of a clicked device.
#pragma once

#include <QAction>
#include <QCheckBox>
#include <QPushButton>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "ui/Widgets.h"

namespace lumetra {

class TAddressFrame;
class TBalastConfig;
class TControllerConfig;
class TGateThread;
class TNavigatedView;
class TcpClient;

// The page's controls by their designed names; the navigation frame offers the same names.
struct TAddressControls {
  QPushButton* ButtonOpen;
  QPushButton* ButtonClose;
  TRadioGroup* RadioGroupBalasts;
  TRadioGroup* RadioGroupControllers;
  QPushButton* ButtonExecute;
  QPushButton* ButtonCancelAddressing;
  TRadioGroup* RadioGroupPercentArc;
  QCheckBox* CheckBoxReadActualBalastData;
  QCheckBox* CheckBoxReadActualControllerData;
};

// Lives on the user interface thread: every call and handler runs there, AddressingFinished too
// (the worker hands it over). "Otvoriť" and "Zatvoriť" act on connections the navigation frame
// owns; it connects them.
class TAddressPage : public QWidget, public TAddressControls {
  Q_OBJECT
 public:
  // What the page borrows from the navigation frame and the main window.
  struct Links {
    TGateThread* gate = nullptr;
    const TcpClient* gateClient = nullptr;
    TBalastConfig* balastConfig = nullptr;
    TControllerConfig* controllerConfig = nullptr;
    TAddressFrame* progressView = nullptr;
    std::vector<TNavigatedView*> editors;
    std::vector<QAction*> documentItems;
    // The device pages may not be entered while a job writes their tables.
    std::function<void(bool)> setDevicePagesEnabled;
    // The connections may not be closed from another page while a job runs.
    std::function<void(bool)> lockConnections;
    // The main window's status line.
    std::function<void(const QString&)> showStatus;
  };

  explicit TAddressPage(QWidget* parent = nullptr);
  void Bind(Links links) { links_ = std::move(links); }

  void OnButtonExecuteClick();
  void OnButtonCancelAddressingClick();
  void LockForAddressing();
  void AddressingFinished();
  void OnRadioGroupPercentArcClick();
  // The controls of an open or closed gate, and those of the page at the start.
  void ShowGateOpen(bool open);
  void ShowIdle();
  // True from "Vykonať" until the worker reports the end of the job.
  bool JobRunning() const { return jobRunning_; }
  // Why the last job stopped when an exchange failed; empty when it ended normally or was
  // cancelled. Kept until the next job starts, so the page shows it again when it comes back.
  const std::string& AbortReason() const { return abortReason_; }

 private:
  void SetDevicePagesEnabled(bool enabled);
  void LockConnections(bool locked);

  Links links_;
  bool jobRunning_ = false;
  std::string abortReason_;
  // The document commands' enabled states from before the job, put back after it.
  std::vector<bool> documentItemsEnabled_;
};

}  // namespace lumetra
