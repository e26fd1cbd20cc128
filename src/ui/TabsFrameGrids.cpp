// The navigation frame's device pages: the grids of control gear and control devices, selection,
// group membership on the bus, and which right-hand view the pages show.
#include <QAction>
#include <QMouseEvent>

#include "buslink/BusSession.h"
#include "commissioning/AddressFrame.h"
#include "model/BalastConfig.h"
#include "model/ControllerConfig.h"
#include "sequences/GroupMembership.h"
#include "ui/LumetraApplication.h"
#include "ui/TabsFrame.h"
#include "ui/gear/BalastFrame.h"

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

constexpr GridNames kGearNames{"BalastButton",
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
constexpr GridNames kDeviceNames{"ControlButton",
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

void TTabsFrame::BuildGridPage(Grid& grid, QRadioButton*& parameters, QRadioButton*& positions) {
  const GridNames& names = grid.kind == kGearKind ? kGearNames : kDeviceNames;
  QWidget* page = grid.page;
  const bool gear = grid.kind == kGearKind;
  parameters = Named<QRadioButton>(gear ? "RadioButtonParameters" : "RadioButtonCtrlParameters",
                                   QStringLiteral("Parametre"), page);
  positions = Named<QRadioButton>(gear ? "RadioButtonPositions" : "RadioButtonCtrlPositions",
                                  QStringLiteral("Rozmiestnenie"), page);
  parameters->setGeometry(kDeviceLeft, 12, 100, 20);
  positions->setGeometry(kDeviceLeft + 110, 12, 120, 20);
  parameters->setChecked(true);
  grid.parameters = parameters;
  grid.positions = positions;

  auto tile = [&](TDeviceButton& record, const QString& name, const QString& selectName,
                  const QString& memberName, const QString& caption, int top, int left) {
    auto* button = new QPushButton(caption, page);
    button->setObjectName(name);
    button->resize(kButtonWidth, kButtonHeight);
    QWidget* select = MakePanel("", page, kPanelWidth, kPanelHeight);
    select->setObjectName(selectName);
    QWidget* member = MakePanel("", page, kPanelWidth, kPanelHeight);
    member->setObjectName(memberName);
    record.Bind(button, select, member, nullptr, grid.kind);
    record.MoveTo(top, left);
    for (QWidget* w : {static_cast<QWidget*>(button), select, member}) {
      w->setContextMenuPolicy(Qt::CustomContextMenu);
      if (w != button) w->installEventFilter(this);
    }
    return button;
  };

  for (int i = 0; i < kDeviceCount; ++i) {
    QPushButton* button = tile(
        grid.devices[static_cast<size_t>(i)], Numbered(names.device, i + 1, names.deviceDigits),
        Numbered(names.devicePanel, i + 1, 1), Numbered(names.memberPanel, i + 1, 1),
        Caption(names.deviceCaption, i), kRowTop + kRowPitch * (i / 4),
        kDeviceLeft + kColumnPitch * (i % 4));
    ConnectGuarded(button, &QPushButton::clicked, this, [this, &grid, i](bool) {
      grid.kind == kGearKind ? OnBalastButtonClick(i) : OnControlButtonClick(i);
    });
    const TDeviceButton& record = grid.devices[static_cast<size_t>(i)];
    for (QWidget* w :
         {static_cast<QWidget*>(record.Button), record.SelectPanel, record.GroupPanel}) {
      ConnectGuarded(w, &QWidget::customContextMenuRequested, this,
                     [this, &grid, i](const QPoint&) {
                       grid.kind == kGearKind ? OnBalastButtonRClick(i) : OnControlButtonRClick(i);
                     });
    }
  }
  for (int g = 0; g <= kGroupCount; ++g) {
    const bool all = g == kAllIndex;
    QPushButton* button =
        tile(grid.groups[static_cast<size_t>(g)],
             all ? QString::fromLatin1(names.all) : Numbered(names.group, g + 1, names.groupDigits),
             all ? QString::fromLatin1(names.allSelectPanel)
                 : Numbered(names.groupSelectPanel, g + 1, 1),
             all ? QString::fromLatin1(names.allMemberPanel)
                 : Numbered(names.groupMemberPanel, g + 1, 1),
             all ? QStringLiteral("Všetky") : Caption(names.groupCaption, g),
             all ? kAllTop : kRowTop + kRowPitch * g, kGroupLeft);
    ConnectGuarded(button, &QPushButton::clicked, this, [this, &grid, g](bool) {
      grid.kind == kGearKind ? OnBalastButtonGroupClick(g) : OnControlButtonGroupClick(g);
    });
  }

  ConnectGuarded(parameters, &QRadioButton::clicked, this, [this, &grid](bool) {
    grid.kind == kGearKind ? OnRadioButtonParametersClick() : OnRadioButtonCtrlParametersClick();
  });
  ConnectGuarded(positions, &QRadioButton::clicked, this, [this, &grid](bool) {
    grid.kind == kGearKind ? OnRadioButtonPositionsClick() : OnRadioButtonCtrlPositionsClick();
  });
}

bool TTabsFrame::eventFilter(QObject* watched, QEvent* event) {
  // A click on an indicator counts as a click on its button.
  if (event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    for (Grid* grid : {&gear_, &device_}) {
      for (TDeviceButton& record : grid->devices) {
        if (record.Owns(watched)) {
          record.Click();
          return true;
        }
      }
      for (TDeviceButton& record : grid->groups) {
        if (record.Owns(watched)) {
          record.Click();
          return true;
        }
      }
    }
  }
  return QFrame::eventFilter(watched, event);
}

void TTabsFrame::ShowButtons(Grid& grid) {
  TConfig& table = *grid.table;
  const uint8_t remembered = table.CurrentSlot();
  for (int i = 0; i < kDeviceCount; ++i) {
    TDeviceButton& record = grid.devices[static_cast<size_t>(i)];
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

void TTabsFrame::ShowGroups(Grid& grid) {
  const uint8_t group = grid.table->CurrentGroup();
  const int chosen = group == TConfig::kAllDevices ? kAllIndex : group;
  for (int g = 0; g <= kGroupCount; ++g) {
    TDeviceButton& record = grid.groups[static_cast<size_t>(g)];
    record.Deselect();
    g == chosen ? record.SetMember() : record.SetNotMember();
  }
}

void TTabsFrame::DeviceClick(Grid& grid, int i) {
  TConfig& table = *grid.table;
  for (TDeviceButton& record : grid.groups) record.Deselect();
  if (table.CurrentSlot() < kDeviceCount) grid.devices[table.CurrentSlot()].Deselect();
  table.SetCurrentSlot(static_cast<uint8_t>(i));
  TDeviceButton& record = grid.devices[static_cast<size_t>(i)];
  if (IsPageVisible(grid.page) && record.CanFocus()) record.SetFocus();
  record.Select();
  if (grid.autoRead->isChecked()) {
    grid.kind == kGearKind ? Gate.ReadGearParameters(0, i) : Gate.ReadDeviceParameters(i);
  }
  if (grid.editor) grid.editor->RefreshView();
  if (shared_.floorPlan) shared_.floorPlan->RefreshView();
}

void TTabsFrame::GroupClick(Grid& grid, int i) {
  TConfig& table = *grid.table;
  for (TDeviceButton& record : grid.groups) {
    record.Deselect();
    record.SetNotMember();
  }
  table.SetCurrentGroup(i == kAllIndex ? TConfig::kAllDevices : static_cast<uint8_t>(i));
  TDeviceButton& record = grid.groups[static_cast<size_t>(i)];
  if (IsPageVisible(grid.page) && record.CanFocus()) record.SetFocus();
  record.SetMember();
  record.Select();
  ShowButtons(grid);
  if (table.CurrentSlot() != TConfig::kGroupSlot) {
    if (table.CurrentSlot() < kDeviceCount) grid.devices[table.CurrentSlot()].Deselect();
    table.SetCurrentSlot(TConfig::kGroupSlot);
  }
  if (grid.editor) grid.editor->RefreshView();
  if (shared_.floorPlan) shared_.floorPlan->RefreshView();
}

void TTabsFrame::DeviceRClick(Grid& grid, int i) {
  const MembershipToggle toggle =
      ToggleGroupMembership(*shared_.session, *grid.table, grid.kind == kGearKind, i);
  if (!toggle.sent) return;
  TDeviceButton& record = grid.devices[static_cast<size_t>(i)];
  toggle.member ? record.SetMember() : record.SetNotMember();
  record.SetFocus();
  if (grid.editor) grid.editor->RefreshView();
  if (shared_.floorPlan) shared_.floorPlan->RefreshView();
}

void TTabsFrame::PageShow(Grid& grid) {
  repaint();
  ShowButtons(grid);
  TConfig& table = *grid.table;
  uint8_t a = table.CurrentSlot();
  // The group slot is a selection, not an empty device.
  if (a < kDeviceCount && table.IsSlotFree(a)) a = table.FirstUsedSlot();
  Grid& other = &grid == &gear_ ? device_ : gear_;
  HideViews({other.editor, shared_.progressView, shared_.monitorView});
  if (grid.parameters->isChecked()) {
    ShowView(grid.editor);
    if (a < kDeviceCount && grid.page->isEnabled()) DeviceClick(grid, a);
  } else {
    ShowPlan(grid);
  }
  if (shared_.printItem) shared_.printItem->setEnabled(true);
}

void TTabsFrame::ShowEditor(Grid& grid) {
  if (shared_.floorPlan) shared_.floorPlan->Widget()->hide();
  ShowView(grid.editor);
  if (grid.editor) grid.editor->RefreshView();
}

void TTabsFrame::ShowPlan(Grid& grid) {
  if (grid.editor) grid.editor->Widget()->hide();
  ShowView(shared_.floorPlan);
  if (shared_.floorPlan) shared_.floorPlan->RefreshView();
}

void TTabsFrame::HideViews(std::initializer_list<TNavigatedView*> views) {
  for (TNavigatedView* view : views) {
    if (view) view->Widget()->hide();
  }
}

void TTabsFrame::ShowView(TNavigatedView* view) {
  if (view == nullptr) return;
  view->Widget()->show();
  view->Widget()->repaint();
}

void TTabsFrame::OnLightPageShow() { PageShow(gear_); }
void TTabsFrame::OnControllersPageShow() { PageShow(device_); }
void TTabsFrame::OnBalastButtonClick(int i) { DeviceClick(gear_, i); }
void TTabsFrame::OnControlButtonClick(int i) { DeviceClick(device_, i); }
void TTabsFrame::OnBalastButtonGroupClick(int i) { GroupClick(gear_, i); }
void TTabsFrame::OnControlButtonGroupClick(int i) { GroupClick(device_, i); }
void TTabsFrame::OnBalastButtonRClick(int i) { DeviceRClick(gear_, i); }
void TTabsFrame::OnControlButtonRClick(int i) { DeviceRClick(device_, i); }
void TTabsFrame::ShowGearButtons() { ShowButtons(gear_); }
void TTabsFrame::ShowDeviceButtons() { ShowButtons(device_); }
void TTabsFrame::ShowGearGroups() { ShowGroups(gear_); }
void TTabsFrame::ShowDeviceGroups() { ShowGroups(device_); }
void TTabsFrame::OnRadioButtonParametersClick() { ShowEditor(gear_); }
void TTabsFrame::OnRadioButtonPositionsClick() { ShowPlan(gear_); }
void TTabsFrame::OnRadioButtonCtrlParametersClick() { ShowEditor(device_); }
void TTabsFrame::OnRadioButtonCtrlPositionsClick() { ShowPlan(device_); }

void TTabsFrame::ClickSelectedGear() {
  if (gear_.table->CurrentSlot() < kDeviceCount) DeviceClick(gear_, gear_.table->CurrentSlot());
}

void TTabsFrame::ClickSelectedDevice() {
  if (device_.table->CurrentSlot() < kDeviceCount)
    DeviceClick(device_, device_.table->CurrentSlot());
}

void TTabsFrame::OnRadioGroupPercentArcClick() {
  const uint8_t percent = RadioGroupPercentArc->ItemIndex() == 0 ? 1 : 0;
  shared_.balastConfig->SetPercentMode(percent);
  shared_.controllerConfig->SetPercentMode(percent);
  if (auto* balast = dynamic_cast<TBalastFrame*>(gear_.editor)) balast->UpdatePercentLabels();
}

void TTabsFrame::RefreshCurrentPage() {
  if (IsPageVisible(LightsPage)) {
    OnLightPageShow();
  } else if (IsPageVisible(ControllersPage)) {
    OnControllersPageShow();
  } else if (IsPageVisible(AddressPage)) {
    OnAddressPageShow();
  } else if (IsPageVisible(DaliMonitorPage)) {
    OnMonitorPageShow();
  }
}

bool TTabsFrame::ShowsParameters() const {
  return (IsPageVisible(LightsPage) && RadioButtonParameters->isChecked()) ||
         (IsPageVisible(ControllersPage) && RadioButtonCtrlParameters->isChecked());
}

int TTabsFrame::GetReportPages(ReportPages& pages) {
  if (!ShowsParameters()) return 0;
  TNavigatedView* editor = IsPageVisible(LightsPage) ? gear_.editor : device_.editor;
  auto* source = dynamic_cast<TReportSource*>(editor);
  return source ? source->GetReportPages(pages) : 0;
}

void TTabsFrame::DrawPlan(QImage& bitmap) {
  const bool planShown = (IsPageVisible(LightsPage) && RadioButtonPositions->isChecked()) ||
                         (IsPageVisible(ControllersPage) && RadioButtonCtrlPositions->isChecked());
  if (!planShown) return;
  if (auto* plan = dynamic_cast<TPlanPicture*>(shared_.floorPlan)) plan->DrawPlan(bitmap);
}

}  // namespace lumetra
