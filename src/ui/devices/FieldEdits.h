// The field editors every sensor page builds its numeric edits from: a number, a level in percent
// or arc and a wait in hours, minutes and seconds. Each reads a text through the core
// (model/FieldEntry.h) only when the user changed it since the edit took the focus, so that a
// focus passing through never changes a value nor converts one; a refused text gives way to the
// text the edit showed on entry, and the main window's status line names the range.
#pragma once

#include <QLineEdit>
#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "model/FieldEntry.h"

namespace lumetra {

class TConfig;
class TEditFocusFilter;

// Accepts an optional minus sign and digits.
void MakeSignedDigits(QLineEdit* edit, int maxLength);

// A refused entry's word in the status line of `from`'s window, as the sequences' refusals go.
void ReportRefusal(QWidget* from, const std::string& refusal);

// One edit over one value of the record.
class TFieldEdit : public QObject {
 public:
  // Reads a changed text: the value to store, or why not.
  using Read = std::function<FieldEntry(const std::string& text)>;
  // Stores an accepted value and answers the text the edit shows for it.
  using Store = std::function<QString(int64_t value)>;

  TFieldEdit(QLineEdit* edit, Read read, Store store);

  // A whole number within `range`; `none` is what an empty edit stores (none: it is refused).
  static TFieldEdit* Number(QLineEdit* edit, FieldRange range, std::optional<int64_t> none,
                            std::function<void(int64_t)> store);
  // A level as `table` shows levels (percent or arc): the arc level goes to `store`.
  static TFieldEdit* Level(QLineEdit* edit, const TConfig& table,
                           std::function<void(uint32_t level)> store);

  QLineEdit* Edit() const { return edit_; }

 private:
  void Leave();

  QLineEdit* edit_;
  Read read_;
  Store store_;
  QString entered_;
};

// A number within `range` (no empty text) stored by `set` into the record view `layout()` gives.
template <typename LayoutOf, typename Layout>
TFieldEdit* NumberInto(QLineEdit* edit, FieldRange range, LayoutOf layout,
                       void (Layout::*set)(uint32_t)) {
  return TFieldEdit::Number(edit, range, std::nullopt, [layout, set](int64_t value) {
    Layout l = layout();
    (l.*set)(static_cast<uint32_t>(value));
  });
}

// A wait over three edits, hours, minutes and seconds.
class TWaitEdit : public QObject {
 public:
  using Edits = std::array<QLineEdit*, 3>;
  using Store = std::function<void(uint32_t seconds)>;

  // A wait over three edits made for it, named `name` + "H", "M", "S", `width` wide each, and
  // handed to `hours`, `minutes` and `seconds`. They keep a digit typed after the two shown ("00"
  // and 7 are 7 minutes) and leave the range to the reading.
  static TWaitEdit* Make(const QString& name, int width, QLineEdit*& hours, QLineEdit*& minutes,
                         QLineEdit*& seconds, Store store, QObject* parent);

  // Hours without padding, minutes and seconds in two digits; empty for a wait never set.
  void Show(uint32_t seconds);
  void SetEnabled(bool enabled);
  // The three edits parted by ":" in a row, `after` behind them, for a layout.
  QWidget* Row(const QString& after = QString());

  QLineEdit* Hours() const { return edits_[0]; }
  QLineEdit* Minutes() const { return edits_[1]; }
  QLineEdit* Seconds() const { return edits_[2]; }
  const Edits& Parts() const { return edits_; }

 private:
  TWaitEdit(const Edits& edits, Store store, QObject* parent);
  void Leave(QLineEdit* edit);

  Edits edits_{};
  Store store_;
  TEditFocusFilter* focus_;
  QString entered_;
};

}  // namespace lumetra
