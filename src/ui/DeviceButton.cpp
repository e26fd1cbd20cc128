// The device tile record.
#include "ui/DeviceButton.h"

#include <QApplication>
#include <QPalette>

namespace lumetra {

QWidget* MakePanel(const char* name, QWidget* parent, int width, int height) {
  auto* panel = new QWidget(parent);
  panel->setObjectName(QString::fromLatin1(name));
  panel->setAutoFillBackground(true);
  panel->resize(width, height);
  return panel;
}

void SetPanelColor(QWidget* panel, const QColor& color) {
  // A refresh of many tiles mostly finds them as they are: a palette change costs a lookup of the
  // style's palette and a repaint.
  const QPalette& shown = panel->palette();
  if (shown.color(QPalette::Active, QPalette::Window) == color &&
      shown.color(QPalette::Inactive, QPalette::Window) == color &&
      shown.color(QPalette::Disabled, QPalette::Window) == color) {
    return;
  }
  QPalette palette = panel->palette();
  palette.setColor(QPalette::Window, color);
  // A disabled panel keeps the colour it was given, as the indicators are read, not used.
  palette.setColor(QPalette::Disabled, QPalette::Window, color);
  panel->setPalette(palette);
}

QColor PanelColor(const QWidget* panel) { return panel->palette().color(QPalette::Window); }

template <typename F>
void TDeviceButton::ForEachPart(F f) const {
  f(static_cast<QWidget*>(Button));
  for (QWidget* panel : {SelectPanel, GroupPanel, StatusPanel}) {
    if (panel != nullptr) f(panel);
  }
}

void TDeviceButton::Bind(QPushButton* button, QWidget* selectPanel, QWidget* groupPanel,
                         QWidget* statusPanel, int kind) {
  Button = button;
  SelectPanel = selectPanel;
  GroupPanel = groupPanel;
  StatusPanel = statusPanel;
  Kind_ = kind;
}

void TDeviceButton::Show() {
  ForEachPart([](QWidget* w) { w->show(); });
}

void TDeviceButton::Hide() {
  ForEachPart([](QWidget* w) { w->hide(); });
}

void TDeviceButton::Enable() {
  ForEachPart([](QWidget* w) { w->setEnabled(true); });
}

void TDeviceButton::Disable() {
  const QColor face = QApplication::palette().color(QPalette::Button);
  ForEachPart([&](QWidget* w) {
    w->setEnabled(false);
    if (w != Button) SetPanelColor(w, face);
  });
}

void TDeviceButton::MoveTo(int top, int left) {
  Button->move(left, top);
  if (SelectPanel) SelectPanel->move(left + kPanelLeft, top + kSelectTop);
  if (GroupPanel) GroupPanel->move(left + kPanelLeft, top + kGroupTop);
  if (StatusPanel) StatusPanel->move(left + kStatusOffset, top + kStatusOffset);
}

void TDeviceButton::BringToFront() {
  ForEachPart([](QWidget* w) { w->raise(); });
}

void TDeviceButton::SetCaption(const QString& text) { Button->setText(text); }

void TDeviceButton::Select() {
  if (SelectPanel) SetPanelColor(SelectPanel, kSelectedColor);
}

void TDeviceButton::Deselect() {
  if (SelectPanel) SetPanelColor(SelectPanel, QApplication::palette().color(QPalette::Light));
}

void TDeviceButton::SetMember() {
  if (GroupPanel) {
    SetPanelColor(GroupPanel, Kind_ == kDeviceKind ? kDeviceMemberColor : kGearMemberColor);
  }
}

void TDeviceButton::SetNotMember() {
  if (GroupPanel) SetPanelColor(GroupPanel, kNotMemberColor);
}

void TDeviceButton::SetStatus(int status) {
  if (StatusPanel == nullptr) return;
  StatusPanel->show();
  if (status >= 0 && status <= 2) SetPanelColor(StatusPanel, kStatusColors[status]);
}

void TDeviceButton::HideStatus() {
  if (StatusPanel) StatusPanel->hide();
}

void TDeviceButton::Repaint() {
  ForEachPart([](QWidget* w) { w->repaint(); });
}

void TDeviceButton::Click() { Button->click(); }

bool TDeviceButton::CanFocus() const {
  return Button->isEnabled() && Button->isVisible() && Button->focusPolicy() != Qt::NoFocus;
}

void TDeviceButton::SetFocus() { Button->setFocus(); }

bool TDeviceButton::Owns(const QObject* control) const {
  bool owns = false;
  ForEachPart([&](QWidget* w) { owns = owns || w == control; });
  return owns;
}

}  // namespace lumetra
