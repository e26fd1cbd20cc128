// The response editors' shared rows area: scrolling, the focus rule and address painting.
#include "ui/devices/OncFrame.h"

#include <QApplication>
#include <QEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include "model/ControllerConfig.h"
#include "ui/Widgets.h"

namespace lumetra {

namespace {
const QColor kRejectedSource(255, 0, 0);
}

TOncFrame::TOncFrame(const char* name, TOncHost& host, int scrollRange, int scrollStep,
                     QWidget* parent)
    : QScrollArea(parent), host_(host), scrollRange_(scrollRange), scrollStep_(scrollStep) {
  setObjectName(QString::fromLatin1(name));
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setFrameShape(QFrame::NoFrame);
  editFocus_ = new TEditFocusFilter(this);
  rows_ = new QWidget;
  rows_->setFixedHeight(scrollRange);
  rows_->installEventFilter(this);
  setWidget(rows_);
  setWidgetResizable(true);
  verticalScrollBar()->setSingleStep(scrollStep);
}

void TOncFrame::OnEditEnter(QLineEdit* edit) { EnteredText = edit->text(); }

void TOncFrame::OnCommandChange() {
  if (!Updating) host_.ShowPanelWriteCommand();
}

void TOncFrame::Changed() { OnCommandChange(); }

void TOncFrame::OnClick() { setFocus(Qt::MouseFocusReason); }

void TOncFrame::WatchEdit(QLineEdit* edit, std::function<void(QLineEdit*)> onExit) {
  editFocus_->Watch(
      edit, [this](QLineEdit* e) { OnEditEnter(e); }, std::move(onExit));
  connect(edit, &QLineEdit::textChanged, this, [this](const QString&) { OnCommandChange(); });
}

void TOncFrame::WatchCombo(QComboBox* combo) { combo->installEventFilter(this); }

void TOncFrame::PaintAddress(QLineEdit* edit, uint32_t address) {
  QPalette palette = edit->palette();
  const bool known = address == 255 || Table->IsMultimasterAt(address);
  palette.setColor(QPalette::Base,
                   known ? QApplication::palette(edit).color(QPalette::Base) : kRejectedSource);
  edit->setPalette(palette);
}

void TOncFrame::ShowAddress(QLineEdit* edit, uint32_t address) {
  edit->setText(address == 255 ? QString() : QString::number(address));
  PaintAddress(edit, address);
}

uint32_t TOncFrame::TypedValue(const QString& text, uint32_t empty) {
  if (text.isEmpty()) return empty;
  uint32_t value = 0;
  for (const QChar c : text) {
    if (!c.isDigit()) break;
    value = value * 10 + static_cast<uint32_t>(c.digitValue());
    // Anything this large is rejected by every edit; stop before it overflows.
    if (value > 0xFFFFFF) break;
  }
  return value;
}

void TOncFrame::SelectItem(QComboBox* combo, uint32_t item) {
  combo->setCurrentIndex(item < static_cast<uint32_t>(combo->count()) ? static_cast<int>(item)
                                                                      : -1);
}

bool TOncFrame::FirmwareIs(uint8_t version, uint8_t minVersion) const {
  return Table->Version() == version && Table->MinVersion() == minVersion;
}

bool TOncFrame::Wheel(int direction) {
  QScrollBar* bar = verticalScrollBar();
  bar->setValue(bar->value() + direction * scrollStep_);
  return bar->value() != (direction > 0 ? bar->maximum() : 0);
}

void TOncFrame::enterEvent(QEnterEvent* event) {
  OnMouseEnter();
  QScrollArea::enterEvent(event);
}

void TOncFrame::leaveEvent(QEvent* event) {
  OnMouseLeave();
  QScrollArea::leaveEvent(event);
}

void TOncFrame::wheelEvent(QWheelEvent* event) {
  const int delta = event->angleDelta().y();
  bool handled = false;
  if (ScrollHover && delta < 0) handled = OnMouseWheelDown();
  if (ScrollHover && delta > 0) handled = OnMouseWheelUp();
  event->accept();
  if (!handled) PassToWindow(*event);
}

void TOncFrame::PassToWindow(const QWheelEvent& event) {
  // Qt does not pass on a wheel event it did not get from the system, and the editor may be
  // scrolled by one a combo box handed over; so the step goes to the window explicitly.
  for (QWidget* w = parentWidget(); w != nullptr; w = w->parentWidget()) {
    if (auto* area = qobject_cast<QAbstractScrollArea*>(w)) {
      QWheelEvent step(area->viewport()->mapFromGlobal(event.globalPosition()),
                       event.globalPosition(), event.pixelDelta(), event.angleDelta(),
                       event.buttons(), event.modifiers(), event.phase(), event.inverted());
      QApplication::sendEvent(area->viewport(), &step);
      return;
    }
  }
}

bool TOncFrame::eventFilter(QObject* watched, QEvent* event) {
  if (watched == rows_ && event->type() == QEvent::MouseButtonPress) {
    OnClick();
    return false;
  }
  if (event->type() == QEvent::Wheel && watched != rows_) {
    // A combo box would change its choice, and the table with it, under a scrolling wheel.
    wheelEvent(static_cast<QWheelEvent*>(event));
    return true;
  }
  return QScrollArea::eventFilter(watched, event);
}

}  // namespace lumetra
