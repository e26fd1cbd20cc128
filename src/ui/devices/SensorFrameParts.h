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
#include <vector>

namespace lumetra {

class TErrorDlg;
class TRadioGroup;
struct MeasuredValue;

namespace sensor_frame {

// The controlled lights' address byte and the radio item that shows it: 0 all, 1 group, 2 one
// device. A byte of 254 or more is all.
int AddressKind(uint8_t b);
// The number shown for a group or a device: (b >> 1) AND 0x3F.
int AddressNumber(uint8_t b);
// The byte for an address kind and the typed number: 0xFE, 0x80 + 2·(n AND 0x0F), 2·(n AND 0x3F).
uint8_t AddressByte(int kind, uint32_t number);
// The number `edit` shows, for lights of another `kind` just chosen: one that kind cannot have
// (the 255 of "všetky", address 40 as a group) becomes 0, shown so, rather than its low bits.
uint32_t ShownLightsNumber(QLineEdit* edit, int kind);
// The edit of the controlled lights' number: within the range of the kind `kind()` answers, the
// number typed goes to `store`.
void WatchLightsNumber(QLineEdit* edit, std::function<int()> kind,
                       std::function<void(uint32_t number)> store);

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
