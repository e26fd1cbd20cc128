// What the sensor editors share: the controlled lights' address byte, radio items side by side
// and the indicator test buttons. Their edits are the field editors of FieldEdits.h.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <vector>

#include "model/ErasedValues.h"

namespace lumetra {

class TErrorDlg;
class TRadioGroup;
struct MeasuredValue;

namespace sensor_frame {

// An 8-bit field and a 16-bit value as an edit shows them: "%d", or empty where never programmed.
QString ByteText(uint8_t value);
QString WideText(uint32_t value);

// The controlled lights' radio items ("všetky" where `offersAll`, "skupina", "jedno") and their
// number edit. The byte is read and formed by the core's DecodeLightsAddress and
// EncodeLightsAddress; these only show it and collect the choice.
struct LightsControls {
  TRadioGroup* kinds;
  QLineEdit* number;
  bool offersAll;
};
// Shows the byte: its item and number; all as "255" greyed; lights the items cannot show (never
// programmed, a group beyond 15, all where no item offers it) as no item and an empty grey edit.
void ShowLights(const LightsControls& lights, uint8_t b);
// After an item was clicked: the edit greyed for all, free otherwise, and emptied when its number
// does not fit the kind chosen (the 255 of all, address 40 as a group), so nothing is made up.
void ChooseLights(const LightsControls& lights);
// What the controls hold: the byte, or none for a group or a device without a number that fits.
std::optional<uint8_t> ChosenLights(const LightsControls& lights);
// The number edit reads what is typed strictly, within the chosen kind's range (a group above 15
// or an address above 63 is refused with its range in the status line, never cut to its low
// bits); an accepted text, or an emptied edit, runs `store`.
void WatchLights(const LightsControls& lights, std::function<void()> store);

// Lays the group's items out side by side, without a frame of its own.
void ItemsSideBySide(TRadioGroup* group);

// The sensor pages fit under the host's common fields: their edits and buttons are this tall.
inline constexpr int kControlHeight = 21;
inline constexpr int kButtonHeight = 24;
void Compact(std::initializer_list<QWidget*> controls);

// The six indicator test buttons after "Indikátor" in one line, in the state order of
// TestSensorIndicator.
inline constexpr int kIndicatorButtons = 6;
QWidget* BuildIndicatorArea(std::array<QPushButton*, kIndicatorButtons>& buttons,
                            const std::function<void(int state)>& clicked);

}  // namespace sensor_frame
}  // namespace lumetra

namespace lumetra::sensor_frame {

// The column headings over an embedded response editor: each heading stands over the control of
// the first row it names, wherever the editor's layout puts that control, so the headings stay
// over their columns in any font and width.
class THeadingStrip : public QWidget {
 public:
  explicit THeadingStrip(QWidget* parent = nullptr);
  // `label` is centred over `first` .. `last` (one control when they are the same).
  void Place(QLabel* label, QWidget* first, QWidget* last = nullptr);
  // A placed heading of numbers parted by spaces ("1      2      3"): its spaces are widened so
  // that number k stands over the centre of `columns[k]`.
  void SpreadOver(QLabel* label, std::vector<QWidget*> columns);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void Arrange();
  struct Heading {
    QLabel* label;
    QWidget* first;
    QWidget* last;
  };
  struct Spread {
    QLabel* label;
    std::vector<QWidget*> columns;
  };
  std::vector<Heading> headings_;
  std::vector<Spread> spreads_;
};

// The answer of "Čítať hodnotu" on the page: the value into `edit`; a refusal to the status line;
// a failed exchange or a query nobody answered in `dialog`, since a value that did not come is
// never left unsaid.
void ShowMeasuredValue(QWidget* page, TErrorDlg& dialog, QLineEdit* edit,
                       const MeasuredValue& measured);

}  // namespace lumetra::sensor_frame
