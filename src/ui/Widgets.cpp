// Shared control helpers.
#include "ui/Widgets.h"

#include <algorithm>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFocusEvent>
#include <QMainWindow>
#include <QRegularExpressionValidator>
#include <QStatusBar>
#include <QVBoxLayout>

#include "sequences/GearSequences.h"
#include "ui/ErrorDlg.h"
#include "ui/LumetraApplication.h"

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
  if (index >= 0 && index < Count()) {
    items_[static_cast<size_t>(index)]->setChecked(true);
    return;
  }
  // An exclusive group keeps one item checked: unchecking needs it non-exclusive for a moment.
  group_.setExclusive(false);
  for (QRadioButton* item : items_) item->setChecked(false);
  group_.setExclusive(true);
}

void MakeDigitsOnly(QLineEdit* edit, int maxLength) {
  edit->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
  edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  edit->setMaxLength(maxLength);
}

void TEditFocusFilter::Watch(QLineEdit* edit, Handler onEnter, Handler onExit) {
  watched_[edit] = {edit, std::move(onEnter), std::move(onExit)};
  edit->installEventFilter(this);
  connect(edit, &QObject::destroyed, this, [this](QObject* gone) { watched_.erase(gone); });
}

bool TEditFocusFilter::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == QEvent::FocusIn || type == QEvent::FocusOut) {
    const auto found = watched_.find(watched);
    if (found != watched_.end() &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
      const Watched& w = found->second;
      const Handler& handler = type == QEvent::FocusIn ? w.onEnter : w.onExit;
      if (handler) TLumetraApplication::Guard([&] { handler(w.edit); });
    }
  }
  return QObject::eventFilter(watched, event);
}

QFileDialog* MakeFileDialog(const char* name, QFileDialog::AcceptMode mode, const QString& filter,
                            QWidget* parent) {
  auto* dialog = new QFileDialog(parent);
  dialog->setObjectName(QString::fromLatin1(name));
  dialog->setOption(QFileDialog::DontUseNativeDialog, true);
  dialog->setOption(QFileDialog::DontConfirmOverwrite, true);
  dialog->setAcceptMode(mode);
  dialog->setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                                                      : QFileDialog::ExistingFile);
  dialog->setNameFilter(filter);
  return dialog;
}

std::optional<std::string> ChosenFile(QFileDialog* dialog) {
  dialog->selectFile(QString());
  if (dialog->exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog->selectedFiles();
  if (chosen.isEmpty()) return std::nullopt;
  return chosen.front().toStdString();
}

bool ConfirmOverwrite(QWidget* parent, const std::string& name) {
  if (!QFileInfo::exists(QString::fromStdString(name))) return true;
  TErrorDlg question(parent);
  question.SetQuestionMode();
  question.AddMessageLine(
      QStringLiteral("Súbor %1 už existuje. Prepísať ho?").arg(QString::fromStdString(name)));
  return question.exec() == QDialog::Accepted;
}

QFont WindowFont() {
  QFont font;
  font.setFamilies(
      {QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
  font.setPointSize(8);
  return font;
}

void ShowStatus(const QWidget* from, const QString& text) {
  if (auto* window = qobject_cast<QMainWindow*>(from->window())) {
    window->statusBar()->showMessage(text);
  }
}

uint32_t TypedValue(const QString& text, uint32_t empty) {
  if (text.isEmpty()) return empty;
  uint32_t value = 0;
  for (const QChar c : text) {
    if (!c.isDigit()) break;
    value = value * 10 + static_cast<uint32_t>(c.digitValue());
    if (value > 0xFFFFFF) break;
  }
  return value;
}

bool ReportSequence(QWidget* from, const SequenceResult& result) {
  if (result.Ok()) return true;
  const QString text = QString::fromStdString(result.Text());
  if (result.result == kSequenceRefused) {
    ShowStatus(from, text);
  } else {
    QMetaObject::invokeMethod(
        from, [from, text] { ShowStatus(from, text); }, Qt::QueuedConnection);
  }
  return false;
}

QWidget* MakeWriteButton(const char* buttonName, const char* panelName, QPushButton*& button,
                         QWidget*& panel) {
  constexpr int kButtonWidth = 75, kButtonHeight = 25, kRim = 4;
  auto* host = new QWidget;
  host->setFixedSize(kButtonWidth + 2 * kRim, kButtonHeight + 2 * kRim);
  panel = new QWidget(host);
  panel->setObjectName(QString::fromLatin1(panelName));
  panel->setAutoFillBackground(true);
  QPalette palette = panel->palette();
  palette.setColor(QPalette::Window, QColor(255, 0, 0));
  panel->setPalette(palette);
  panel->setGeometry(0, 0, host->width(), host->height());
  panel->hide();
  button = new QPushButton(QStringLiteral("Zapísať"), host);
  button->setObjectName(QString::fromLatin1(buttonName));
  button->setGeometry(kRim, kRim, kButtonWidth, kButtonHeight);
  button->raise();
  return host;
}

TControlsLock::TControlsLock(QWidget* root, const std::vector<QWidget*>& keep) {
  if (root == nullptr) return;
  for (QWidget* w : root->findChildren<QWidget*>()) {
    const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
                         qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractSpinBox*>(w) ||
                         qobject_cast<QAbstractSlider*>(w) || qobject_cast<QAbstractItemView*>(w);
    if (!control || !w->isEnabled()) continue;
    if (std::find(keep.begin(), keep.end(), w) != keep.end()) continue;
    locked_.emplace_back(w);
  }
  for (const QPointer<QWidget>& w : locked_) w->setEnabled(false);
}

void TControlsLock::Release() {
  for (const QPointer<QWidget>& w : locked_) {
    if (w) w->setEnabled(true);
  }
  locked_.clear();
}

}  // namespace lumetra
