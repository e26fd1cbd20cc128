// Small control helpers shared by every frame: radio groups and digit-only edits.
#pragma once

#include <QButtonGroup>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QStringList>
#include <vector>

namespace lumetra {

// A captioned group of radio buttons with one chosen item, addressed by index.
class TRadioGroup : public QGroupBox {
  Q_OBJECT
 public:
  TRadioGroup(const QString& name, const QString& caption, const QStringList& items,
              QWidget* parent = nullptr);
  int ItemIndex() const;
  void SetItemIndex(int index);
  QRadioButton* Item(int index) const { return items_.at(static_cast<size_t>(index)); }
  int Count() const { return static_cast<int>(items_.size()); }

 signals:
  // A user click on an item (not SetItemIndex).
  void Clicked(int index);

 private:
  QButtonGroup group_;
  std::vector<QRadioButton*> items_;
};

// Accepts digits only and aligns them right.
void MakeDigitsOnly(QLineEdit* edit, int maxLength = 5);

// A widget with its objectName set, as every named control of the program has.
template <typename W, typename... Args>
W* Named(const char* name, Args&&... args) {
  auto* w = new W(std::forward<Args>(args)...);
  w->setObjectName(QString::fromLatin1(name));
  return w;
}

}  // namespace lumetra
