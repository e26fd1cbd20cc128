// Every text a label showed when it was painted: how a test sees that a counter was on the screen
// at each step, not only at the end.
#pragma once

#include <QEvent>
#include <QLabel>
#include <QObject>
#include <QString>
#include <vector>

namespace lumetra::test {

class PaintedTexts : public QObject {
 public:
  explicit PaintedTexts(QLabel* label) : QObject(label), label_(label) {
    label->installEventFilter(this);
  }
  std::vector<QString> texts;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == label_ && event->type() == QEvent::Paint) texts.push_back(label_->text());
    return false;
  }

 private:
  QLabel* label_;
};

}  // namespace lumetra::test
