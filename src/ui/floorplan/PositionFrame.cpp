// The floor plan's drawing area: its buttons, their refresh from the tables, dragging, dropping
// and the wheel.
#include "ui/floorplan/PositionFrame.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QWheelEvent>

#include "model/BalastConfig.h"
#include "model/ControllerConfig.h"
#include "ui/LumetraApplication.h"
#include "ui/NavigatedView.h"
#include "ui/floorplan/PlanGeometry.h"

namespace lumetra {

namespace {

constexpr int kPanelWidth = 16;
constexpr int kPanelHeight = 8;
constexpr int kStatusSize = 17;

QString Numbered(const char* stem, int i) {
  return QString::fromLatin1(stem) + QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0'));
}

// The indicators only show: a press on one is a press on the button beneath it, so that a button
// can be taken anywhere to be dragged.
QWidget* Indicator(const QString& name, QWidget* parent, int width, int height) {
  QWidget* panel = MakePanel("", parent, width, height);
  panel->setObjectName(name);
  panel->setAttribute(Qt::WA_TransparentForMouseEvents);
  return panel;
}

}  // namespace

TPositionFrame::TPositionFrame(QWidget* parent) : QScrollArea(parent) {
  setObjectName(QStringLiteral("PositionFrame"));
  Canvas = new QWidget;
  Canvas->setObjectName(QStringLiteral("PositionCanvas"));
  Canvas->setFixedSize(plan::kWidth, plan::kHeight);
  setWidget(Canvas);
  setWidgetResizable(false);
  for (QScrollBar* bar : {horizontalScrollBar(), verticalScrollBar()}) {
    bar->setSingleStep(plan::kScrollStep);
    bar->setTracking(true);
  }
  BuildButtons();
}

void TPositionFrame::BuildButtons() {
  struct Population {
    std::array<TDeviceButton, kDeviceCount>* buttons;
    int kind;
    const char* button;
    const char* select;
    const char* group;
    const char* status;
  };
  const Population populations[] = {
      {&gear_, kGearKind, "PositionBalastButton", "PositionBalastSelect", "PositionBalastGroup",
       "PositionBalastStatus"},
      {&devices_, kDeviceKind, "PositionControlButton", "PositionControlSelect",
       "PositionControlGroup", nullptr},
  };
  for (const Population& p : populations) {
    for (int i = 0; i < kDeviceCount; ++i) {
      auto* button = new QPushButton(QString::fromStdString(
                                         plan::DeviceCaption(p.kind == kDeviceKind, i)),
                                     Canvas);
      button->setObjectName(Numbered(p.button, i));
      button->resize(plan::kButtonWidth, plan::kButtonHeight);
      button->installEventFilter(this);
      QWidget* select = Indicator(Numbered(p.select, i), Canvas, kPanelWidth, kPanelHeight);
      QWidget* group = Indicator(Numbered(p.group, i), Canvas, kPanelWidth, kPanelHeight);
      QWidget* status =
          p.status ? Indicator(Numbered(p.status, i), Canvas, kStatusSize, kStatusSize) : nullptr;
      TDeviceButton& record = (*p.buttons)[static_cast<size_t>(i)];
      record.Bind(button, select, group, status, p.kind);
      const SlotPosition start = TConfig::DefaultPosition(static_cast<uint8_t>(i),
                                                          p.kind == kDeviceKind);
      record.MoveTo(start.Top, start.Left);
      record.HideStatus();
      recordOf_[button] = &record;
    }
  }
}

void TPositionFrame::BindPlan() {
  for (int kind : {kGearKind, kDeviceKind}) {
    auto& buttons = kind == kGearKind ? gear_ : devices_;
    TConfig& table = kind == kGearKind ? static_cast<TConfig&>(*links_.balastConfig)
                                       : static_cast<TConfig&>(*links_.controllerConfig);
    for (int i = 0; i < kDeviceCount; ++i) {
      TDeviceButton& button = buttons[static_cast<size_t>(i)];
      table.SetCurrentSlot(static_cast<uint8_t>(i));
      table.SetTop(button.Top());
      table.SetLeft(button.Left());
    }
    table.SetCurrentSlot(0);
  }
  GearSelection = -1;
  ControllerSelection = -1;
}

TDeviceButton* TPositionFrame::Find(const QObject* control) {
  const auto found = recordOf_.find(control);
  return found == recordOf_.end() ? nullptr : found->second;
}

int TPositionFrame::IndexOf(const TDeviceButton& button) const {
  const auto& buttons = button.Kind() == kGearKind ? gear_ : devices_;
  return static_cast<int>(&button - buttons.data());
}

TConfig& TPositionFrame::TableOf(const TDeviceButton& button) const {
  if (button.Kind() == kGearKind) return *links_.balastConfig;
  return *links_.controllerConfig;
}

TDeviceButton* TPositionFrame::SelectedButton() {
  if (GearSelection >= 0) return &GearButton(GearSelection);
  if (ControllerSelection >= 0) return &DeviceButton(ControllerSelection);
  return nullptr;
}

int TPositionFrame::SelectedIndex() const {
  return GearSelection >= 0 ? GearSelection : ControllerSelection;
}

void TPositionFrame::Place(TDeviceButton& button, int top, int left) { button.MoveTo(top, left); }

void TPositionFrame::StorePosition(const TDeviceButton& button, int slot) {
  TConfig& table = TableOf(button);
  const uint8_t remembered = table.CurrentSlot();
  table.SetCurrentSlot(static_cast<uint8_t>(slot));
  table.SetTop(button.Top());
  table.SetLeft(button.Left());
  table.SetCurrentSlot(remembered);
}

void TPositionFrame::RefreshPlan() {
  if (links_.balastConfig == nullptr || links_.controllerConfig == nullptr) return;
  RefreshTable(*links_.balastConfig, kGearKind);
  RefreshTable(*links_.controllerConfig, kDeviceKind);
}

void TPositionFrame::RefreshTable(TConfig& table, int kind) {
  const bool gear = kind == kGearKind;
  auto& buttons = gear ? gear_ : devices_;
  const int selection = gear ? GearSelection : ControllerSelection;
  const bool percent = table.PercentMode() != 0;
  const uint8_t remembered = table.CurrentSlot();
  for (int i = 0; i < kDeviceCount; ++i) {
    TDeviceButton& button = buttons[static_cast<size_t>(i)];
    table.SetCurrentSlot(static_cast<uint8_t>(i));
    if (table.IsSlotFree(static_cast<uint32_t>(i))) {
      button.Hide();
      continue;
    }
    button.Show();
    if (i == remembered && selection != -1) {
      button.Select();
      if (isVisible() && button.CanFocus()) button.SetFocus();
      if (links_.showDevice) links_.showDevice(i, button);
    } else {
      button.Deselect();
    }
    plan::InShownGroup(table) ? button.SetMember() : button.SetNotMember();
    const plan::Position shown = plan::ShownPosition(table.Top(), table.Left());
    button.MoveTo(shown.top, shown.left);
    if (!gear) {
      button.SetCaption(QString::fromStdString(plan::DeviceCaption(true, i)));
    } else if (ShowStatus) {
      auto& balast = static_cast<TBalastConfig&>(table);
      button.SetStatus(plan::StatusLook(balast.Status()));
      button.SetCaption(QString::fromStdString(plan::LevelCaption(balast.ActualLevel(), percent)));
    } else {
      button.HideStatus();
      button.SetCaption(QString::fromStdString(plan::DeviceCaption(false, i)));
    }
  }
  table.SetCurrentSlot(remembered);
}

void TPositionFrame::Select(int kind, int i) {
  if (i < 0 || i >= kDeviceCount) return;
  if (kind == kGearKind) {
    GearSelection = i;
    ControllerSelection = -1;
    GearButton(i).BringToFront();
  } else {
    ControllerSelection = i;
    GearSelection = -1;
    DeviceButton(i).BringToFront();
  }
}

void TPositionFrame::SelectAndShow(int kind, int i) {
  Select(kind, i);
  if (SelectedButton() == nullptr || links_.balastConfig == nullptr ||
      links_.controllerConfig == nullptr) {
    return;
  }
  // Where the table places it: the refresh that follows moves the button there.
  TConfig& table = kind == kGearKind ? static_cast<TConfig&>(*links_.balastConfig)
                                     : static_cast<TConfig&>(*links_.controllerConfig);
  const SlotPosition* stored = table.PositionAt(static_cast<uint32_t>(i));
  const plan::Position at = plan::ShownPosition(stored->Top, stored->Left);
  ensureVisible(at.left + plan::kButtonWidth / 2, at.top + plan::kButtonHeight / 2,
                plan::kButtonWidth, plan::kButtonHeight);
}

void TPositionFrame::OnDeviceButtonMouseDown(TDeviceButton& button, Qt::MouseButton pressed) {
  if (pressed != Qt::LeftButton) return;
  const int i = IndexOf(button);
  Select(button.Kind(), i);
  TableOf(button).SetCurrentSlot(static_cast<uint8_t>(i));
  // The grid and the editor follow the choice, as a click on the device's tile would.
  if (links_.navigation) {
    button.Kind() == kGearKind ? links_.navigation->ChooseGear(i)
                               : links_.navigation->ChooseDevice(i);
  }
  JustPressed = 1;
  button.SetFocus();
  if (links_.showDevice) links_.showDevice(i, button);
}

void TPositionFrame::OnDeviceButtonMouseMove(Qt::MouseButtons held, QPoint at) {
  TDeviceButton* button = SelectedButton();
  if (!(held & Qt::LeftButton) || JustPressed != 0 || button == nullptr) {
    // The first move after a press only arms the drag: a click never shifts a button.
    JustPressed = 0;
    return;
  }
  const QPoint inside = button->Button->mapFromGlobal(at);
  button->MoveTo(button->Top() + inside.y() - button->Height() / 2,
                 button->Left() + inside.x() - button->Width() / 2);
  if (links_.showDevice) links_.showDevice(SelectedIndex(), *button);
}

void TPositionFrame::OnDeviceButtonMouseUp(Qt::MouseButton released) {
  TDeviceButton* button = SelectedButton();
  if (button == nullptr) return;
  if (released == Qt::LeftButton) {
    const plan::Position snapped = plan::SnapDrop({AbsoluteTop(*button), AbsoluteLeft(*button)});
    Place(*button, snapped.top, snapped.left);
  }
  if (links_.showDevice) links_.showDevice(SelectedIndex(), *button);
  StorePosition(*button, SelectedIndex());
}

bool TPositionFrame::OnPositionFrameMouseWheelDown(bool ctrl) {
  QScrollBar* bar = ctrl ? horizontalScrollBar() : verticalScrollBar();
  // Used while there is still room to go; at the end the window scrolls instead.
  const bool handled = bar->value() < bar->maximum();
  bar->setValue(bar->value() + plan::kScrollStep);
  return handled;
}

bool TPositionFrame::OnPositionFrameMouseWheelUp(bool ctrl) {
  QScrollBar* bar = ctrl ? horizontalScrollBar() : verticalScrollBar();
  const bool handled = bar->value() > 0;
  bar->setValue(bar->value() - plan::kScrollStep);
  return handled;
}

bool TPositionFrame::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease: {
      TDeviceButton* button = Find(watched);
      if (button == nullptr) break;
      const auto* mouse = static_cast<QMouseEvent*>(event);
      TLumetraApplication::Guard([&] {
        if (event->type() == QEvent::MouseMove) {
          OnDeviceButtonMouseMove(mouse->buttons(), mouse->globalPosition().toPoint());
        } else if (event->type() == QEvent::MouseButtonRelease) {
          OnDeviceButtonMouseUp(mouse->button());
        } else {
          OnDeviceButtonMouseDown(*button, mouse->button());
        }
      });
      break;
    }
    default:
      break;
  }
  // The button still sees the press and shows itself pressed.
  return QScrollArea::eventFilter(watched, event);
}

void TPositionFrame::enterEvent(QEnterEvent* event) {
  OnPositionFrameMouseEnter();
  QScrollArea::enterEvent(event);
}

void TPositionFrame::leaveEvent(QEvent* event) {
  OnPositionFrameMouseLeave();
  QScrollArea::leaveEvent(event);
}

void TPositionFrame::wheelEvent(QWheelEvent* event) {
  bool handled = false;
  if (MouseInside) {
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const int delta =
        event->angleDelta().y() != 0 ? event->angleDelta().y() : event->angleDelta().x();
    if (delta < 0) handled = OnPositionFrameMouseWheelDown(ctrl);
    if (delta > 0) handled = OnPositionFrameMouseWheelUp(ctrl);
  }
  // An unused notch goes on to the enclosing window.
  event->setAccepted(handled);
}

}  // namespace lumetra
