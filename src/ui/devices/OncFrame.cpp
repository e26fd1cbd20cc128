// The response editors' shared rows area: scrolling, the focus rule, address painting and the
// sensors' common row controls.
#include "ui/devices/OncFrame.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QScrollBar>
#include <QWheelEvent>

#include "model/ControllerConfig.h"
#include "model/FieldEntry.h"
#include "model/LightsAddress.h"
#include "model/MessageCodeTable.h"
#include "ui/Widgets.h"
#include "ui/devices/FieldEdits.h"

namespace lumetra {

namespace {
const QColor kRejectedSource(255, 0, 0);
constexpr uint32_t kNoLevel = 65535;
constexpr uint32_t kMaxLevel = 65000;
}  // namespace

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

void PaintSourceAddress(QLineEdit* edit, const TControllerConfig& table, uint32_t address) {
  QPalette palette = edit->palette();
  const bool known = !IsResponseSource(address) || table.IsMultimasterAt(address);
  palette.setColor(QPalette::Base,
                   known ? QApplication::palette(edit).color(QPalette::Base) : kRejectedSource);
  edit->setPalette(palette);
}

void TOncFrame::PaintAddress(QLineEdit* edit, uint32_t address) {
  PaintSourceAddress(edit, *Table, address);
}

void TOncFrame::ShowAddress(QLineEdit* edit, uint32_t address) {
  edit->setText(IsResponseSource(address) ? QString::number(address) : QString());
  PaintAddress(edit, address);
}

void TOncFrame::SelectItem(QComboBox* combo, uint32_t item) {
  combo->setCurrentIndex(item < static_cast<uint32_t>(combo->count()) ? static_cast<int>(item)
                                                                      : -1);
}

bool TOncFrame::FirmwareIs(uint8_t version, uint8_t minVersion) const {
  return Table->FirmwareVersion() == version && Table->FirmwareMinVersion() == minVersion;
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

template <typename Onc>
TSensorOncFrame<Onc>::TSensorOncFrame(const char* name, TOncHost& host, int scrollRange,
                                      int scrollStep, int messageItems, QWidget* parent)
    : TOncFrame(name, host, scrollRange, scrollStep, parent), messageItems_(messageItems) {
  grid_ = new QGridLayout(Rows());
  grid_->setContentsMargins(2, 2, 2, 2);
  grid_->setVerticalSpacing(0);
  grid_->setColumnStretch(2, 1);
}

template <typename Onc>
void TSensorOncFrame<Onc>::AddRow(int row) {
  const size_t r = static_cast<size_t>(row);
  QLineEdit* address = EditOncAddress[r] =
      RowControl<QLineEdit>(QStringLiteral("Edit"), row, QStringLiteral("OncAddress"));
  MakeDigitsOnly(address, 3);
  address->setFixedWidth(40);
  WatchEdit(address, {});
  // A source 0..63, or none (emptied); a larger number is refused, not kept as no source.
  TFieldEdit::Number(address, {0, kLargestSource, {}}, kNoSource, [this, row](int64_t v) {
    const auto a = static_cast<uint32_t>(v);
    OncAt(static_cast<uint32_t>(row)).SetAddress(a);
    PaintAddress(EditOncAddress[static_cast<size_t>(row)], a);
  });

  QComboBox* state = ComboBoxOncState[r] =
      RowControl<QComboBox>(QStringLiteral("ComboBox"), row, QStringLiteral("OncState"));
  for (int i = 0; i < messageItems_; ++i) {
    state->addItem(QString::fromUtf8(MessageCodeTable[static_cast<size_t>(i)].Text));
  }
  WatchCombo(state);
  connect(state, &QComboBox::activated, this, [this, row](int) { OnComboBoxOncStateSelect(row); });

  QLineEdit* level = EditOncLevel[r] =
      RowControl<QLineEdit>(QStringLiteral("Edit"), row, QStringLiteral("OncLevel"));
  MakeDigitsOnly(level, 5);
  level->setFixedWidth(60);
  WatchEdit(level, {});
  TFieldEdit::Number(level, {0, kMaxLevel, "lx"}, kNoLevel, [this, row](int64_t v) {
    OncAt(static_cast<uint32_t>(row)).SetLevel(static_cast<uint32_t>(v));
  });

  QCheckBox* disabled = CheckBoxOncDisabled[r] =
      RowControl<QCheckBox>(QStringLiteral("CheckBox"), row, QStringLiteral("OncDisabled"));
  connect(disabled, &QCheckBox::clicked, this,
          [this, row](bool) { OnCheckBoxOncDisabledClick(row); });

  grid_->addWidget(new QLabel(QString::number(row + 1)), row, 0);
  grid_->addWidget(address, row, 1);
  grid_->addWidget(state, row, 2);
  grid_->addWidget(level, row, 3);
  grid_->addWidget(disabled, row, 4);
}

template <typename Onc>
void TSensorOncFrame<Onc>::ShowRow(int row, const Onc& onc) {
  const size_t r = static_cast<size_t>(row);
  ShowAddress(EditOncAddress[r], onc.Address());
  SelectItem(ComboBoxOncState[r], onc.MessageIndex());
  const uint32_t level = onc.Level();
  EditOncLevel[r]->setText(level <= kMaxLevel ? QString::number(level) : QString());
  CheckBoxOncDisabled[r]->setChecked(onc.Enabled() != 0);
}

template <typename Onc>
void TSensorOncFrame<Onc>::OnComboBoxOncStateSelect(int row) {
  if (Updating) return;
  const int item = ComboBoxOncState[static_cast<size_t>(row)]->currentIndex();
  OncAt(static_cast<uint32_t>(row)).SetMessageIndex(static_cast<uint32_t>(item));
  Changed();
}

template <typename Onc>
void TSensorOncFrame<Onc>::OnCheckBoxOncDisabledClick(int row) {
  if (Updating) return;
  OncAt(static_cast<uint32_t>(row))
      .SetEnabled(CheckBoxOncDisabled[static_cast<size_t>(row)]->isChecked() ? 1 : 0);
  Changed();
}

template class TSensorOncFrame<LightOnc>;
template class TSensorOncFrame<PirLightOnc>;

}  // namespace lumetra
