// A device page: its tiles and names, selection, membership requests and the views it shows.
#include "ui/DevicePage.h"

#include <QMouseEvent>

#include "buslink/BusSession.h"
#include "commissioning/GateThread.h"
#include "model/Config.h"
#include "sequences/GroupMembership.h"
#include "ui/LumetraApplication.h"
#include "ui/NavigatedView.h"
#include "ui/Widgets.h"

namespace lumetra {

namespace {

// Grid geometry within a page.
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kPanelWidth = 16;
constexpr int kPanelHeight = 8;
constexpr int kDeviceLeft = 111;
constexpr int kColumnPitch = 84;
constexpr int kRowTop = 76;
constexpr int kRowPitch = 34;
constexpr int kGroupLeft = 14;
constexpr int kAllTop = 42;

// Names of the designed controls of one page.
struct GridNames {
  const char* page;
  const char* parameters;
  const char* positions;
  const char* device;       // "%1" = 1..64
  int deviceDigits;         // ControlButton01 has two digits
  const char* devicePanel;  // selection indicator
  const char* memberPanel;
  const char* deviceCaption;  // "A %1" / "C %1"
  const char* group;
  int groupDigits;
  const char* groupSelectPanel;
  const char* groupMemberPanel;
  const char* groupCaption;
  const char* all;
  const char* allSelectPanel;
  const char* allMemberPanel;
};

constexpr GridNames kGearNames{"LightsPage",
                               "RadioButtonParameters",
                               "RadioButtonPositions",
                               "BalastButton",
                               1,
                               "BalastPanel",
                               "BGPanel",
                               "A %1",
                               "ButtonGroup",
                               1,
                               "GSPanel",
                               "GroupPanel",
                               "GA %1",
                               "ButtonAll",
                               "GSPanelAll",
                               "GroupPanelAll"};
constexpr GridNames kDeviceNames{"ControllersPage",
                                 "RadioButtonCtrlParameters",
                                 "RadioButtonCtrlPositions",
                                 "ControlButton",
                                 2,
                                 "ControlPanel",
                                 "CGPanel",
                                 "C %1",
                                 "CtrlGroupButton",
                                 2,
                                 "CtrlGSPanel",
                                 "CtrlGroupPanel",
                                 "GC %1",
                                 "CtrlGroupButtonAll",
                                 "CtrlGSPanelAll",
                                 "CtrlGroupPanelAll"};

QString Numbered(const char* stem, int number, int digits) {
  return QString::fromLatin1(stem) + QStringLiteral("%1").arg(number, digits, 10, QLatin1Char('0'));
}

QString Caption(const char* pattern, int number) {
  return QString::fromLatin1(pattern).arg(number, 2, 10, QLatin1Char('0'));
}

}  // namespace

TDevicePage::TDevicePage(int kind, QCheckBox* autoRead, QWidget* parent)
    : QWidget(parent), kind_(kind), autoRead_(autoRead) {
  const GridNames& names = kind == kGearKind ? kGearNames : kDeviceNames;
  setObjectName(QString::fromLatin1(names.page));
  RadioButtonParameters = Named<QRadioButton>(names.parameters, QStringLiteral("Parametre"), this);
  RadioButtonPositions =
      Named<QRadioButton>(names.positions, QStringLiteral("Rozmiestnenie"), this);
  RadioButtonParameters->setGeometry(kDeviceLeft, 12, 100, 20);
  RadioButtonPositions->setGeometry(kDeviceLeft + 110, 12, 120, 20);
  RadioButtonParameters->setChecked(true);
  BuildTiles();
  ConnectGuarded(RadioButtonParameters, &QRadioButton::clicked, this,
                 [this](bool) { OnRadioButtonParametersClick(); });
  ConnectGuarded(RadioButtonPositions, &QRadioButton::clicked, this,
                 [this](bool) { OnRadioButtonPositionsClick(); });
}

void TDevicePage::BuildTiles() {
  const GridNames& names = kind_ == kGearKind ? kGearNames : kDeviceNames;
  auto tile = [&](TDeviceButton& record, const QString& name, const QString& selectName,
                  const QString& memberName, const QString& caption, int top, int left) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->resize(kButtonWidth, kButtonHeight);
    QWidget* select = MakePanel("", this, kPanelWidth, kPanelHeight);
    select->setObjectName(selectName);
    QWidget* member = MakePanel("", this, kPanelWidth, kPanelHeight);
    member->setObjectName(memberName);
    record.Bind(button, select, member, nullptr, kind_);
    record.MoveTo(top, left);
    for (QWidget* w : {static_cast<QWidget*>(button), select, member}) {
      w->setContextMenuPolicy(Qt::CustomContextMenu);
      if (w != button) w->installEventFilter(this);
    }
    return button;
  };

  for (int i = 0; i < kDeviceCount; ++i) {
    TDeviceButton& record = devices_[static_cast<size_t>(i)];
    QPushButton* button =
        tile(record, Numbered(names.device, i + 1, names.deviceDigits),
             Numbered(names.devicePanel, i + 1, 1), Numbered(names.memberPanel, i + 1, 1),
             Caption(names.deviceCaption, i), kRowTop + kRowPitch * (i / 4),
             kDeviceLeft + kColumnPitch * (i % 4));
    ConnectGuarded(button, &QPushButton::clicked, this, [this, i](bool) { OnButtonClick(i); });
    for (QWidget* w :
         {static_cast<QWidget*>(record.Button), record.SelectPanel, record.GroupPanel}) {
      ConnectGuarded(w, &QWidget::customContextMenuRequested, this,
                     [this, i](const QPoint&) { OnButtonRClick(i); });
    }
  }
  for (int g = 0; g <= kGroupCount; ++g) {
    const bool all = g == kAllIndex;
    QPushButton* button =
        tile(groups_[static_cast<size_t>(g)],
             all ? QString::fromLatin1(names.all) : Numbered(names.group, g + 1, names.groupDigits),
             all ? QString::fromLatin1(names.allSelectPanel)
                 : Numbered(names.groupSelectPanel, g + 1, 1),
             all ? QString::fromLatin1(names.allMemberPanel)
                 : Numbered(names.groupMemberPanel, g + 1, 1),
             all ? QStringLiteral("Všetky") : Caption(names.groupCaption, g),
             all ? kAllTop : kRowTop + kRowPitch * g, kGroupLeft);
    ConnectGuarded(button, &QPushButton::clicked, this, [this, g](bool) { OnGroupButtonClick(g); });
  }
}

bool TDevicePage::eventFilter(QObject* watched, QEvent* event) {
  // A click on an indicator counts as a click on its button.
  if (event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    for (TDeviceButton& record : devices_) {
      if (record.Owns(watched)) {
        record.Click();
        return true;
      }
    }
    for (TDeviceButton& record : groups_) {
      if (record.Owns(watched)) {
        record.Click();
        return true;
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TDevicePage::RefreshViews() {
  if (links_.editor) links_.editor->RefreshView();
  if (links_.floorPlan) links_.floorPlan->RefreshView();
}

void TDevicePage::ShowButtons() {
  TConfig& table = *links_.table;
  const uint8_t remembered = table.CurrentSlot();
  for (int i = 0; i < kDeviceCount; ++i) {
    TDeviceButton& record = devices_[static_cast<size_t>(i)];
    table.SetCurrentSlot(static_cast<uint8_t>(i));
    if (table.IsSlotFree(static_cast<uint32_t>(i))) {
      record.Disable();
      continue;
    }
    record.Enable();
    i == remembered ? record.Select() : record.Deselect();
    const uint8_t group = table.CurrentGroup();
    if (group == TConfig::kAllDevices || table.Groups(group) != 0) {
      record.SetMember();
    } else {
      record.SetNotMember();
    }
  }
  table.SetCurrentSlot(remembered);
}

void TDevicePage::ShowGroups() {
  const uint8_t group = links_.table->CurrentGroup();
  const int chosen = group == TConfig::kAllDevices ? kAllIndex : group;
  for (int g = 0; g <= kGroupCount; ++g) {
    TDeviceButton& record = groups_[static_cast<size_t>(g)];
    record.Deselect();
    g == chosen ? record.SetMember() : record.SetNotMember();
  }
}

void TDevicePage::DeselectGroups() {
  for (TDeviceButton& record : groups_) record.Deselect();
}

void TDevicePage::OnButtonClick(int i) {
  TConfig& table = *links_.table;
  DeselectGroups();
  if (table.CurrentSlot() < kDeviceCount) devices_[table.CurrentSlot()].Deselect();
  table.SetCurrentSlot(static_cast<uint8_t>(i));
  TDeviceButton& record = devices_[static_cast<size_t>(i)];
  if (Shown() && record.CanFocus()) record.SetFocus();
  record.Select();
  if (autoRead_->isChecked() && kind_ == kGearKind) links_.gate->ReadGearParameters(0, i);
  if (links_.floorPlan) links_.floorPlan->SelectDevice(kind_, i);
  RefreshViews();
  // A control device's reading is long: the editor shows the device now and again once the worker
  // has read it.
  if (autoRead_->isChecked() && kind_ != kGearKind && links_.navigation) {
    links_.navigation->ReadControllerParameters(i, [this](const SequenceResult&) {
      ShowButtons();
      RefreshViews();
    });
  }
}

void TDevicePage::OnGroupButtonClick(int i) {
  TConfig& table = *links_.table;
  for (TDeviceButton& record : groups_) {
    record.Deselect();
    record.SetNotMember();
  }
  table.SetCurrentGroup(i == kAllIndex ? TConfig::kAllDevices : static_cast<uint8_t>(i));
  TDeviceButton& record = groups_[static_cast<size_t>(i)];
  if (Shown() && record.CanFocus()) record.SetFocus();
  record.SetMember();
  record.Select();
  ShowButtons();
  if (table.CurrentSlot() != TConfig::kGroupSlot) {
    if (table.CurrentSlot() < kDeviceCount) devices_[table.CurrentSlot()].Deselect();
    table.SetCurrentSlot(TConfig::kGroupSlot);
  }
  RefreshViews();
}

void TDevicePage::OnButtonRClick(int i) {
  const MembershipToggle toggle =
      ToggleGroupMembership(*links_.session, *links_.table, kind_ == kGearKind, i);
  if (!toggle.sent) return;
  TDeviceButton& record = devices_[static_cast<size_t>(i)];
  toggle.member ? record.SetMember() : record.SetNotMember();
  record.SetFocus();
  RefreshViews();
}

void TDevicePage::OnPageShow() {
  ShowButtons();
  TConfig& table = *links_.table;
  uint8_t a = table.CurrentSlot();
  // The group slot is a selection, not an empty device.
  if (a < kDeviceCount && table.IsSlotFree(a)) a = table.FirstUsedSlot();
  for (TNavigatedView* view : links_.otherViews) HideViews({view});
  if (RadioButtonParameters->isChecked()) {
    // The other page may have left the plan shown.
    HideViews({links_.floorPlan});
    ShowView(links_.editor);
    if (a < kDeviceCount && isEnabled()) OnButtonClick(a);
  } else {
    OnRadioButtonPositionsClick();
  }
  if (links_.printItem) links_.printItem->setEnabled(true);
}

void TDevicePage::OnRadioButtonParametersClick() {
  if (links_.floorPlan) links_.floorPlan->Widget()->hide();
  ShowView(links_.editor);
  if (links_.editor) links_.editor->RefreshView();
}

void TDevicePage::OnRadioButtonPositionsClick() {
  if (links_.editor) links_.editor->Widget()->hide();
  ShowView(links_.floorPlan);
  if (links_.floorPlan) links_.floorPlan->RefreshView();
}

void TDevicePage::ClickSelected() {
  if (links_.table->CurrentSlot() < kDeviceCount) OnButtonClick(links_.table->CurrentSlot());
}

}  // namespace lumetra
