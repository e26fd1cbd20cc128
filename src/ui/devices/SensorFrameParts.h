// What the light sensor's and the combined sensor's editors share: reading a typed number, the
// waits in hours, minutes and seconds, the controlled lights' address byte, radio items side by
// side and the indicator test buttons.
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

// The number an edit holds: `empty` for no text, else an optional leading minus sign (where
// `signedText`) and the leading decimal digits (0 when none). The count stops before it overflows.
int64_t TypedNumber(const QString& text, int64_t empty, bool signedText = false);

// An 8-bit field and a 16-bit value as an edit shows them: "%d", or empty where never programmed.
QString ByteText(uint8_t value);
QString WideText(uint32_t value);

// Accepts an optional minus sign and digits.
void MakeSignedDigits(QLineEdit* edit, int maxLength);

// A wait as three edits, hours, minutes and seconds.
struct WaitEdits {
  QLineEdit* hours;
  QLineEdit* minutes;
  QLineEdit* seconds;
};
// Shows `seconds` with `hoursFormat` ("%d" or "%2d") for the hours, "%02d" for the rest; a wait
// never programmed (above 18:00:00) shows empty.
void ShowWait(const WaitEdits& edits, uint32_t seconds, const char* hoursFormat);
// The wait after `left` (one of the three) was left: the total when every part is in its range and
// the total at most 18:00:00, with the left edit's text then "%2d" (hours) or "%02d"; none
// otherwise, with the left edit's text back to `entered`.
std::optional<uint32_t> LeaveWait(const WaitEdits& edits, QLineEdit* left, const QString& entered);

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
// After the number edit was left: true when its text (empty, or a number) fits the chosen kind;
// otherwise false with the text back to `entered` (a group above 15 or an address above 63 is
// refused rather than cut to its low bits).
bool LeaveLightsNumber(const LightsControls& lights, const QString& entered);

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
