// The message dialog.
#include "ui/ErrorDlg.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "ui/Widgets.h"

namespace lumetra {

TErrorDlg::TErrorDlg(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("ErrorDlg"));
  setModal(true);
  setFixedSize(kWidth, kHeight);
  Memo1 = Named<QPlainTextEdit>("Memo1", this);
  Memo1->setReadOnly(true);
  ButtonOk = Named<QPushButton>("ButtonOk", QStringLiteral("OK"), this);
  ButtonContinue = Named<QPushButton>("ButtonContinue", QStringLiteral("Pokračovať"), this);
  ButtonCancel = Named<QPushButton>("ButtonCancel", QStringLiteral("Zrušiť"), this);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ButtonOk);
  buttons->addWidget(ButtonContinue);
  buttons->addWidget(ButtonCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Memo1);
  layout->addLayout(buttons);

  connect(ButtonOk, &QPushButton::clicked, this, [this] { Finish(QDialog::Accepted); });
  connect(ButtonContinue, &QPushButton::clicked, this, [this] { Finish(QDialog::Accepted); });
  connect(ButtonCancel, &QPushButton::clicked, this, [this] { Finish(QDialog::Rejected); });
  SetErrorMode();
}

void TErrorDlg::SetErrorMode() {
  setWindowTitle(QStringLiteral("Chyba"));
  ButtonOk->show();
  ButtonContinue->hide();
  ButtonCancel->hide();
  ButtonOk->setDefault(true);
}

void TErrorDlg::SetQuestionMode() {
  setWindowTitle(QStringLiteral("Správa"));
  ButtonOk->hide();
  ButtonContinue->show();
  ButtonCancel->show();
  ButtonContinue->setDefault(true);
}

void TErrorDlg::AddMessageLine(const QString& text) { Memo1->appendPlainText(text); }

void TErrorDlg::SetColor(const QColor& color) {
  QPalette p = palette();
  p.setColor(QPalette::Window, color);
  setPalette(p);
  setAutoFillBackground(true);
}

void TErrorDlg::showEvent(QShowEvent* event) {
  // Centred on the main window each time it appears.
  if (QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr) {
    move(owner->geometry().center() - rect().center());
  }
  QDialog::showEvent(event);
}

void TErrorDlg::Finish(int result) {
  Memo1->clear();
  done(result);
}

}  // namespace lumetra
