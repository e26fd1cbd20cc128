// The sensor pages' field editors: when a typed text is read, stored or given back.
#include "ui/devices/FieldEdits.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QRegularExpressionValidator>

#include "buslink/BusSession.h"
#include "model/Config.h"
#include "sequences/GearSequences.h"
#include "ui/Widgets.h"

namespace lumetra {

void MakeSignedDigits(QLineEdit* edit, int maxLength) {
  edit->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-?[0-9]*")), edit));
  edit->setMaxLength(maxLength);
  edit->setAlignment(Qt::AlignRight);
}

void ReportRefusal(QWidget* from, const std::string& refusal) {
  ReportSequence(from, {kSequenceRefused, {}, refusal});
}

TFieldEdit::TFieldEdit(QLineEdit* edit, Read read, Store store)
    : QObject(edit), edit_(edit), read_(std::move(read)), store_(std::move(store)) {
  auto* focus = new TEditFocusFilter(this);
  focus->Watch(
      edit, [this](QLineEdit* e) { entered_ = e->text(); }, [this](QLineEdit*) { Leave(); });
}

void TFieldEdit::Leave() {
  const QString typed = edit_->text();
  // Only what the user typed is read: a focus passing through converts nothing.
  if (typed == entered_) return;
  const FieldEntry entry = read_(typed.toStdString());
  if (entry.Refused()) {
    edit_->setText(entered_);
    ReportRefusal(edit_, entry.refusal);
    return;
  }
  edit_->setText(store_(entry.value));
  entered_ = edit_->text();
}

TFieldEdit* TFieldEdit::Number(QLineEdit* edit, FieldRange range, std::optional<int64_t> none,
                               std::function<void(int64_t)> store) {
  const bool signedText = range.low < 0;
  return new TFieldEdit(
      edit,
      [range, none, signedText](const std::string& text) {
        return ReadField(text, range, none, signedText);
      },
      [none, store = std::move(store)](int64_t value) {
        store(value);
        return value == none ? QString() : QString::number(value);
      });
}

TFieldEdit* TFieldEdit::Level(QLineEdit* edit, const TConfig& table,
                              std::function<void(uint32_t)> store) {
  return new TFieldEdit(
      edit, [&table](const std::string& text) { return ReadLevel(table, text); },
      [&table, store = std::move(store)](int64_t value) {
        store(static_cast<uint32_t>(value));
        // Shown as it now reads back, converted once from what was typed.
        return QString::fromStdString(LevelText(table, static_cast<uint32_t>(value)));
      });
}

TWaitEdit* TWaitEdit::Make(const QString& name, int width, QLineEdit*& hours, QLineEdit*& minutes,
                           QLineEdit*& seconds, Store store, QObject* parent) {
  Edits edits{};
  const char* const parts[] = {"H", "M", "S"};
  for (size_t i = 0; i < edits.size(); ++i) {
    QLineEdit* edit = edits[i] = new QLineEdit;
    edit->setObjectName(name + QLatin1String(parts[i]));
    MakeDigitsOnly(edit, 3);
    edit->setFixedWidth(width);
  }
  hours = edits[0];
  minutes = edits[1];
  seconds = edits[2];
  return new TWaitEdit(edits, std::move(store), parent);
}

TWaitEdit::TWaitEdit(const Edits& edits, Store store, QObject* parent)
    : QObject(parent), edits_(edits), store_(std::move(store)) {
  focus_ = new TEditFocusFilter(this);
  for (QLineEdit* edit : edits_) {
    focus_->Watch(
        edit, [this](QLineEdit* e) { entered_ = e->text(); }, [this](QLineEdit* e) { Leave(e); });
  }
}

void TWaitEdit::Show(uint32_t seconds) {
  const std::array<std::string, 3> texts = WaitTexts(seconds);
  for (size_t i = 0; i < edits_.size(); ++i) {
    edits_[i]->setText(QString::fromStdString(texts[i]));
  }
}

void TWaitEdit::SetEnabled(bool enabled) {
  for (QLineEdit* edit : edits_) edit->setEnabled(enabled);
}

QWidget* TWaitEdit::Row(const QString& after) {
  auto* row = new QWidget;
  auto* line = new QHBoxLayout(row);
  line->setContentsMargins(0, 0, 0, 0);
  line->setSpacing(2);
  for (QLineEdit* edit : edits_) {
    if (edit != edits_.front()) line->addWidget(new QLabel(QStringLiteral(":")));
    line->addWidget(edit);
  }
  if (!after.isEmpty()) line->addWidget(new QLabel(after));
  line->addStretch(1);
  return row;
}

void TWaitEdit::Leave(QLineEdit* edit) {
  if (edit->text() == entered_) return;
  const FieldEntry entry = ReadWait(Hours()->text().toStdString(), Minutes()->text().toStdString(),
                                    Seconds()->text().toStdString());
  if (entry.Refused()) {
    edit->setText(entered_);
    ReportRefusal(edit, entry.refusal);
    return;
  }
  const auto seconds = static_cast<uint32_t>(entry.value);
  store_(seconds);
  Show(seconds);
}

}  // namespace lumetra
