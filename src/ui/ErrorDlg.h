// The program's modal message dialog: an error with "OK", or a question with "Pokračovať"/"Zrušiť".
#pragma once

#include <QColor>
#include <QDialog>
#include <QPlainTextEdit>
#include <QPushButton>

namespace lumetra {

class TErrorDlg : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kWidth = 350;
  static constexpr int kHeight = 200;

  explicit TErrorDlg(QWidget* parent = nullptr);

  void SetErrorMode();
  void SetQuestionMode();
  void AddMessageLine(const QString& text);
  // The factory-reset question is shown red.
  void SetColor(const QColor& color);

  QPlainTextEdit* Memo1;
  QPushButton* ButtonOk;
  QPushButton* ButtonContinue;
  QPushButton* ButtonCancel;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // Every button empties the lines, so a dialog kept for reuse starts empty.
  void Finish(int result);
};

}  // namespace lumetra
