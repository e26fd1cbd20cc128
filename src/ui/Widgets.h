// Small control helpers shared by every frame: radio groups, digit-only edits, the focus watch
// behind EnteredText and the "Zapísať" buttons with their red panels.
#pragma once

#include <QButtonGroup>
#include <QFont>
#include <QFileDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "buslink/BusSession.h"

namespace lumetra {

// A captioned group of radio buttons with one chosen item, addressed by index; no item is chosen
// (ItemIndex -1) after SetItemIndex with an index outside the items, e.g. for a value never read.
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

// Tells a frame when one of its edits receives and loses the focus. Frames keep the text an edit
// had on entry (EnteredText) and put it back on exit when the typed value is invalid, so a bad
// value never reaches a write. Focus that only passes to a popup (the edit's context menu) is
// not a leave.
class TEditFocusFilter : public QObject {
 public:
  using Handler = std::function<void(QLineEdit* edit)>;

  explicit TEditFocusFilter(QObject* parent) : QObject(parent) {}
  void Watch(QLineEdit* edit, Handler onEnter, Handler onExit);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Watched {
    QLineEdit* edit;
    Handler onEnter;
    Handler onExit;
  };
  std::unordered_map<const QObject*, Watched> watched_;
};

// Disables every enabled control under `root` (buttons, boxes, edits, lists, spin boxes, sliders)
// but those in `keep`, while a long sequence runs, and gives them back the enabled state they had
// on Release() or destruction. A control disabled meanwhile by someone else is enabled again too;
// one that was disabled before stays so.
class TControlsLock {
 public:
  explicit TControlsLock(QWidget* root, const std::vector<QWidget*>& keep = {});
  ~TControlsLock() { Release(); }
  TControlsLock(const TControlsLock&) = delete;
  TControlsLock& operator=(const TControlsLock&) = delete;
  void Release();

 private:
  std::vector<QPointer<QWidget>> locked_;
};

// A file dialog of our own on every desktop, so that a file name rule of the program and its own
// overwrite question (ConfirmOverwrite) are the only ones the user meets.
QFileDialog* MakeFileDialog(const char* name, QFileDialog::AcceptMode mode, const QString& filter,
                            QWidget* parent);
// Runs `dialog`; the file chosen, none when cancelled.
std::optional<std::string> ChosenFile(QFileDialog* dialog);
// True when `name` does not exist yet or the user agrees to replace it.
bool ConfirmOverwrite(QWidget* parent, const std::string& name);

// The value an address or level edit holds: `empty` for no text, else its leading digits (0 when
// none). Anything this large is rejected by every edit; the count stops before it overflows.
uint32_t TypedValue(const QString& text, uint32_t empty);

// The main window's font, which every view inherits and the floor plan picture is drawn in:
// Tahoma where it is installed, its metric relatives otherwise, so the fixed layouts still fit.
QFont WindowFont();

// Shows `text` in the status line of the main window that holds `from`.
void ShowStatus(const QWidget* from, const QString& text);
// An editor's word on a sequence's result: a refusal goes to the status line at once, a failed step
// after the window's own word on the failed exchange (which it posts), since the step's name says
// more. True when the sequence went through.
bool ReportSequence(QWidget* from, const SequenceResult& result);

// A "Zapísať" button with a red panel behind it; the panel frames the button while typed values
// wait to be written and starts hidden. Returns the host that holds both, for a layout.
QWidget* MakeWriteButton(const char* buttonName, const char* panelName, QPushButton*& button,
                         QWidget*& panel);

}  // namespace lumetra
