// The sensor editors' shared parts.
#include "ui/devices/SensorFrameParts.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "ui/Widgets.h"

namespace lumetra::sensor_frame {

int64_t TypedNumber(const QString& text, int64_t empty, bool signedText) {
  if (text.isEmpty()) return empty;
  int i = 0;
  const bool negative = signedText && text.startsWith(QLatin1Char('-'));
  if (negative) i = 1;
  int64_t value = 0;
  for (; i < text.size() && text[i].isDigit(); ++i) {
    value = value * 10 + text[i].digitValue();
    if (value > 0xFFFFFFFFLL) break;
  }
  return negative ? -value : value;
}

void MakeSignedDigits(QLineEdit* edit, int maxLength) {
  edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-?[0-9]*")),
                                                     edit));
  edit->setMaxLength(maxLength);
  edit->setAlignment(Qt::AlignRight);
}

void ShowWait(const WaitEdits& edits, uint32_t seconds, const char* hoursFormat) {
  if (seconds > 0xFFFF) {
    edits.hours->clear();
    edits.minutes->clear();
    edits.seconds->clear();
    return;
  }
  edits.hours->setText(QString::asprintf(hoursFormat, seconds / 3600));
  edits.minutes->setText(QString::asprintf("%02u", seconds % 3600 / 60));
  edits.seconds->setText(QString::asprintf("%02u", seconds % 60));
}

std::optional<uint32_t> LeaveWait(const WaitEdits& edits, QLineEdit* left,
                                  const QString& entered) {
  const int64_t h = TypedNumber(edits.hours->text(), 0);
  const int64_t m = TypedNumber(edits.minutes->text(), 0);
  const int64_t s = TypedNumber(edits.seconds->text(), 0);
  const int64_t total = h * 3600 + m * 60 + s;
  const int64_t part = left == edits.hours ? h : left == edits.minutes ? m : s;
  const int64_t limit = left == edits.hours ? 18 : 59;
  if (total > kLongestWait || part > limit) {
    left->setText(entered);
    return std::nullopt;
  }
  left->setText(QString::asprintf(left == edits.hours ? "%2d" : "%02d", static_cast<int>(part)));
  return static_cast<uint32_t>(total);
}

int AddressKind(uint8_t b) {
  if (b >= 0xFE) return 0;
  return (b & 0x80) != 0 ? 1 : 2;
}

int AddressNumber(uint8_t b) { return (b >> 1) & 0x3F; }

uint8_t AddressByte(int kind, uint32_t number) {
  switch (kind) {
    case 1:
      return static_cast<uint8_t>(0x80 + 2 * (number & 0x0F));
    case 2:
      return static_cast<uint8_t>(2 * (number & 0x3F));
    default:
      return 0xFE;
  }
}

void ItemsSideBySide(TRadioGroup* group) {
  delete group->layout();
  auto* line = new QHBoxLayout(group);
  line->setContentsMargins(8, 2, 8, 2);
  for (int i = 0; i < group->Count(); ++i) line->addWidget(group->Item(i));
  line->addStretch(1);
}

QWidget* BuildIndicatorArea(std::array<QPushButton*, kIndicatorButtons>& buttons,
                            const std::function<void(int state)>& clicked) {
  static const char* const kNames[kIndicatorButtons] = {
      "ButtonOff",          "ButtonOn",           "ButtonBlinkWhole",
      "ButtonBlinkHalf",    "ButtonBlinkQuarter", "ButtonBlinkEighth"};
  static const char* const kCaptions[kIndicatorButtons] = {
      "Vypnúť", "Zasvietiť", "Blikať 1 s", "Blikať 1/2 s", "Blikať 1/4 s", "Blikať1/8 s"};
  auto* area = new QWidget;
  auto* grid = new QGridLayout(area);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setSpacing(3);
  grid->addWidget(new QLabel(QStringLiteral("Indikátor")), 0, 0, 1, 2);
  for (int i = 0; i < kIndicatorButtons; ++i) {
    QPushButton* button = buttons[static_cast<size_t>(i)] =
        Named<QPushButton>(kNames[i], QString::fromUtf8(kCaptions[i]));
    grid->addWidget(button, 1 + i / 2, i % 2);
    QObject::connect(button, &QPushButton::clicked, area, [clicked, i](bool) { clicked(i); });
  }
  return area;
}

}  // namespace lumetra::sensor_frame
