// The one rule of every editor's writes: a write sends only what the user changed since the view
// was filled, and a value never read (255) is shown as unknown — an empty edit, a partially checked
// box — and never sent.
#pragma once

#include <QCheckBox>
#include <QLineEdit>
#include <QString>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <unordered_map>

namespace lumetra {

// A byte of a table that was never read from the device.
inline constexpr uint32_t kNotRead = 255;

// Whether any of `values` is given, i.e. a write would send anything.
template <typename Values>
bool AnyGiven(const Values& values) {
  for (const auto& v : values) {
    if (v.has_value()) return true;
  }
  return false;
}

// Tells the user, in the status line of `view`'s window, when a "Zapísať" finds nothing changed;
// true then, and the write is left out.
bool NothingToWrite(const QWidget* view, bool changed);

class TEditGuard {
 public:
  // Shows `value` with `text`, or nothing when it was never read.
  static void ShowValue(QLineEdit* edit, uint32_t value, const QString& text);
  // Shows 0 / 1 as the box's state, anything else (never read) as partially checked. A click on
  // such a box makes it plainly checked or unchecked.
  static void ShowCheck(QCheckBox* box, uint32_t value);
  // Empties every edit and unticks every box of `view`: a free slot shows nothing.
  static void ShowNothing(QWidget* view);

  void Watch(QLineEdit* edit);
  void Watch(QCheckBox* box);
  // The view has filled its controls: what they show now is what the table holds.
  void Filled();
  // `control` reached the device: what it shows now counts as filled.
  void Written(const QWidget* control);

  // Whether the control shows something else than it was filled with.
  bool Changed(const QWidget* control) const;
  bool AnyChanged(std::initializer_list<const QWidget*> controls) const;
  // The number typed into a changed edit; none when unchanged, empty or not a number.
  std::optional<uint32_t> Number(const QLineEdit* edit) const;
  // The state of a changed box; none when unchanged or still partially checked.
  std::optional<bool> Check(const QCheckBox* box) const;
  // The same for a row of boxes.
  template <size_t N>
  std::array<std::optional<bool>, N> Checks(const std::array<QCheckBox*, N>& boxes) const {
    std::array<std::optional<bool>, N> states{};
    for (size_t i = 0; i < N; ++i) states[i] = Check(boxes[i]);
    return states;
  }

 private:
  // What each watched control showed when the view was filled.
  struct Filling {
    const QLineEdit* edit = nullptr;
    const QCheckBox* box = nullptr;
    QString text;
    Qt::CheckState state = Qt::Unchecked;
    bool Differs() const;
    void Take();
  };
  std::unordered_map<const QObject*, Filling> filled_;
};

}  // namespace lumetra
