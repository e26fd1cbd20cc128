// Shared control helpers.
#include "ui/Widgets.h"

#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace lumetra {

TRadioGroup::TRadioGroup(const QString& name, const QString& caption, const QStringList& items,
                         QWidget* parent)
    : QGroupBox(caption, parent) {
  setObjectName(name);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 4, 8, 4);
  layout->setSpacing(2);
  for (int i = 0; i < items.size(); ++i) {
    auto* button = new QRadioButton(items[i], this);
    button->setObjectName(name + QString::number(i));
    group_.addButton(button, i);
    layout->addWidget(button);
    items_.push_back(button);
  }
  if (!items_.empty()) items_.front()->setChecked(true);
  connect(&group_, &QButtonGroup::idClicked, this, &TRadioGroup::Clicked);
}

int TRadioGroup::ItemIndex() const { return group_.checkedId(); }

void TRadioGroup::SetItemIndex(int index) {
  if (index >= 0 && index < Count()) items_[static_cast<size_t>(index)]->setChecked(true);
}

void MakeDigitsOnly(QLineEdit* edit, int maxLength) {
  edit->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
  edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  edit->setMaxLength(maxLength);
}

}  // namespace lumetra
