// What the user changed since a view was filled, control by control.
#include "ui/EditGuard.h"

#include "ui/Widgets.h"

namespace lumetra {

bool NothingToWrite(const QWidget* view, bool changed) {
  if (changed) return false;
  ShowStatus(view, QStringLiteral("Nie je zmenená žiadna hodnota na zápis"));
  return true;
}

void TEditGuard::ShowValue(QLineEdit* edit, uint32_t value, const QString& text) {
  edit->setText(value == kNotRead ? QString() : text);
}

void TEditGuard::ShowCheck(QCheckBox* box, uint32_t value) {
  const bool known = value == 0 || value == 1;
  box->setTristate(!known);
  box->setCheckState(!known ? Qt::PartiallyChecked : value != 0 ? Qt::Checked : Qt::Unchecked);
  // The unknown state is shown, never chosen: a click decides plainly. Connected once per box.
  if (!known && !box->property("lumetraDecidesOnClick").toBool()) {
    box->setProperty("lumetraDecidesOnClick", true);
    QObject::connect(box, &QCheckBox::clicked, box, [box] { box->setTristate(false); });
  }
}

bool TEditGuard::Filling::Differs() const {
  return edit != nullptr ? edit->text() != text : box->checkState() != state;
}

void TEditGuard::Filling::Take() {
  if (edit != nullptr) {
    text = edit->text();
  } else {
    state = box->checkState();
  }
}

void TEditGuard::ShowNothing(QWidget* view) {
  for (QLineEdit* edit : view->findChildren<QLineEdit*>()) edit->clear();
  for (QCheckBox* box : view->findChildren<QCheckBox*>()) {
    box->setTristate(false);
    box->setChecked(false);
  }
}

void TEditGuard::Watch(QLineEdit* edit) {
  Filling& f = filled_[edit];
  f.edit = edit;
  f.Take();
}

void TEditGuard::Watch(QCheckBox* box) {
  Filling& f = filled_[box];
  f.box = box;
  f.Take();
}

void TEditGuard::Filled() {
  for (auto& [control, filling] : filled_) filling.Take();
}

void TEditGuard::Written(const QWidget* control) {
  if (auto it = filled_.find(control); it != filled_.end()) it->second.Take();
}

bool TEditGuard::Changed(const QWidget* control) const {
  const auto it = filled_.find(control);
  return it != filled_.end() && it->second.Differs();
}

bool TEditGuard::AnyChanged(std::initializer_list<const QWidget*> controls) const {
  for (const QWidget* control : controls) {
    if (Changed(control)) return true;
  }
  return false;
}

std::optional<uint32_t> TEditGuard::Number(const QLineEdit* edit) const {
  if (!Changed(edit) || edit->text().isEmpty()) return std::nullopt;
  bool ok = false;
  const uint32_t value = edit->text().toUInt(&ok);
  if (!ok) return std::nullopt;
  return value;
}

std::optional<bool> TEditGuard::Check(const QCheckBox* box) const {
  if (!Changed(box) || box->checkState() == Qt::PartiallyChecked) return std::nullopt;
  return box->checkState() == Qt::Checked;
}

}  // namespace lumetra
