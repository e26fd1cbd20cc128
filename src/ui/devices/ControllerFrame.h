// The control device editor: one device, one group or all control devices. Shows what every kind
// has in common, writes the address, the groups and the multimaster setting, locates, resets and
// reads a device, and hosts the editor of the selection's kind.
#pragma once

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "buslink/BusSession.h"
#include "commissioning/GateThread.h"
#include "documents/ReportPages.h"
#include "ui/EditGuard.h"
#include "ui/NavigatedView.h"

namespace lumetra {

class TControllerConfig;
class TEditFocusFilter;
class TNavigation;

// Lives on the user-interface thread; the worker reaches SetReadProgress only through its
// hand-over.
class TControllerFrame : public QFrame,
                         public TNavigatedView,
                         public TReadProgressView,
                         public TReportSource {
  Q_OBJECT
 public:
  static constexpr int kGroupCount = 16;
  static constexpr int kStatusCount = 4;

  explicit TControllerFrame(QWidget* parent = nullptr);

  void AttachToWindow(BusSession& session, TControllerConfig& controllerConfig,
                      TNavigation& tabsFrame);

  // TNavigatedView
  QWidget* Widget() override { return this; }
  void RefreshView() override;
  // Passed on to the kind editors.
  void UpdatePercentLabels() override;
  TReportSource* ReportSource() override { return this; }
  // TReportSource: one page per device of the selection (ControllerReportPages).
  int GetReportPages(ReportPages& pages) override;

  // TReadProgressView: the byte counter of "Čítať parametre", painted at once.
  bool IsShown() const override { return isVisible(); }
  void SetReadProgress(const std::string& text) override;

  // The editor of `kind` goes into the host area; ShowKindFrame shows it for that kind.
  void SetKindFrame(uint8_t kind, QWidget* frame);
  // Shows the editor of `kind` and hides the others; none for a kind without an editor. An editor
  // that is a TNavigatedView is refreshed for the selection when shown.
  void ShowKindFrame(uint32_t kind);
  QWidget* ShownKindFrame() const;

  // 0 when the device now has the new address (255 removes it), -1 when refused, or the result of
  // the exchange that failed.
  int ChangeShortAddress(int newAddress);

  void OnButtonLocalizeClick();
  void OnButtonNewControlValueClick();
  void OnButtonNewGroupsClick();
  void OnButtonResetClick();
  void OnButtonReadControlClick();
  void OnButtonNewAddressClick();

  // A refusal or a failed step goes to the status line; true when the sequence went through. The
  // kind editors report through it too.
  bool Report(const SequenceResult& result);

  void OnEditEnter(QLineEdit* edit);
  void OnEditShortAddrExit(QLineEdit* edit);
  void OnAddressChange();
  void OnCheckBoxGroupClick(int g);
  void OnCheckBoxMultimasterClick();

  // identity
  QLineEdit* EditType;
  QLineEdit* EditVersion;
  // status, in the bit order 0..3 of the status byte
  QCheckBox* CheckBoxPowerFailure;
  QCheckBox* CheckBoxHWError;
  QCheckBox* CheckBoxComError;
  QCheckBox* CheckBoxOtherError;
  std::array<QCheckBox*, kStatusCount> CheckBoxStatus{};
  // address
  QLabel* AddrLabel;
  QLineEdit* EditShortAddr;
  QPushButton* ButtonNewAddress;
  QWidget* PanelWriteAddress;
  // multimaster
  QCheckBox* CheckBoxMultimaster;
  QPushButton* ButtonNewControlValue;
  QWidget* PanelWriteMultimaster;
  // groups: CheckBoxG01..G16
  std::array<QCheckBox*, kGroupCount> CheckBoxG{};
  QPushButton* ButtonNewGroups;
  QWidget* PanelWriteGroups;
  // device actions
  QPushButton* ButtonLocalize;
  QPushButton* ButtonReset;
  QPushButton* ButtonReadControl;
  QLabel* LabelRead;
  // where the kind editors sit, one visible at a time
  QWidget* KindFrameHost;

  bool Updating = false;
  QString EnteredText;

 private:
  QLayout* BuildIdentityArea();
  QLayout* BuildStatusArea();
  QLayout* BuildAddressArea();
  QLayout* BuildGroupsArea();
  QLayout* BuildActionsArea();
  void ConnectHandlers();
  void UpdatePanels();
  bool IsDeviceSelected() const;
  struct Identity {
    uint8_t kind;
    uint8_t version;
    uint8_t minVersion;
    bool operator==(const Identity&) const = default;
  };
  // The kind and version every member of the selected group shares; none when a member differs or
  // the group has no member.
  std::optional<Identity> CommonKind();
  void ShowStatusBits(uint8_t status);
  void ShowMultimaster(bool offered, uint32_t value);

  BusSession* Session = nullptr;
  TControllerConfig* ControllerConfig = nullptr;
  TNavigation* TabsFrame = nullptr;
  TEditFocusFilter* EditFocus;
  TEditGuard Guard;
  std::map<uint8_t, QWidget*> kindFrames_;
};

}  // namespace lumetra
