// The sensor editors' shared parts.
#include "ui/devices/SensorFrameParts.h"

#include <QEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>

#include "model/ErasedValues.h"
#include "model/FieldEntry.h"
#include "model/LightsAddress.h"
#include "sequences/GearSequences.h"
#include "sequences/LightSensorSequences.h"
#include "ui/ErrorDlg.h"
#include "ui/Widgets.h"
#include "ui/devices/FieldEdits.h"

namespace lumetra::sensor_frame {

QString ByteText(uint8_t value) { return ErasedByte(value) ? QString() : QString::number(value); }

QString WideText(uint32_t value) { return ErasedWide(value) ? QString() : QString::number(value); }

namespace {

// The items are "všetky" (where offered), "skupina", "jedno".
int ItemOf(const LightsControls& lights, LightsKind kind) {
  const int first = lights.offersAll ? 1 : 0;
  switch (kind) {
    case LightsKind::All:
      return lights.offersAll ? 0 : -1;
    case LightsKind::Group:
      return first;
    case LightsKind::Device:
      return first + 1;
    default:
      return -1;
  }
}

LightsKind KindOf(const LightsControls& lights) {
  const int item = lights.kinds->ItemIndex();
  if (item < 0) return LightsKind::Unknown;
  static constexpr LightsKind kKinds[] = {LightsKind::All, LightsKind::Group, LightsKind::Device};
  return kKinds[std::min(item + (lights.offersAll ? 0 : 1), 2)];
}

// The number the edit holds; none for no text or a text that is no number.
std::optional<uint32_t> TypedLightsNumber(const LightsControls& lights) {
  const std::optional<int64_t> n = StrictNumber(lights.number->text().toStdString());
  if (!n) return std::nullopt;
  return static_cast<uint32_t>(std::min<int64_t>(*n, 0xFFFFFFFF));
}

bool LightsNumberFits(const LightsControls& lights) {
  const std::optional<uint32_t> number = TypedLightsNumber(lights);
  return !number || *number <= LargestLightsNumber(KindOf(lights));
}

}  // namespace

void ShowLights(const LightsControls& lights, uint8_t b) {
  const LightsAddress shown = DecodeLightsAddress(b);
  const int item = ItemOf(lights, shown.kind);
  lights.kinds->SetItemIndex(item);
  const bool numbered = item >= 0 && shown.kind != LightsKind::All;
  lights.number->setEnabled(numbered);
  lights.number->setText(numbered    ? QString::number(shown.number)
                         : item >= 0 ? QStringLiteral("255")
                                     : QString());
}

void ChooseLights(const LightsControls& lights) {
  const LightsKind kind = KindOf(lights);
  if (kind == LightsKind::All) {
    lights.number->setText(QStringLiteral("255"));
    lights.number->setEnabled(false);
    return;
  }
  lights.number->setEnabled(kind != LightsKind::Unknown);
  if (!LightsNumberFits(lights)) lights.number->clear();
}

std::optional<uint8_t> ChosenLights(const LightsControls& lights) {
  return EncodeLightsAddress(KindOf(lights), TypedLightsNumber(lights));
}

void WatchLights(const LightsControls& lights, std::function<void()> store) {
  new TFieldEdit(
      lights.number,
      [lights](const std::string& text) {
        // No number is no lights chosen yet; a number beyond the kind's range is refused.
        return ReadField(text, LightsNumberRange(KindOf(lights) == LightsKind::Group), -1);
      },
      [lights, store = std::move(store)](int64_t number) {
        store();
        return number < 0 ? QString() : QString::number(number);
      });
}

void ItemsSideBySide(TRadioGroup* group) {
  delete group->layout();
  auto* line = new QHBoxLayout(group);
  line->setContentsMargins(0, 0, 0, 0);
  line->setSpacing(2);
  for (int i = 0; i < group->Count(); ++i) line->addWidget(group->Item(i));
  group->setFlat(true);
  group->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
}

void Compact(std::initializer_list<QWidget*> controls) {
  for (QWidget* w : controls) w->setFixedHeight(kControlHeight);
}

QWidget* BuildIndicatorArea(std::array<QPushButton*, kIndicatorButtons>& buttons,
                            const std::function<void(int state)>& clicked) {
  static const char* const kNames[kIndicatorButtons] = {"ButtonOff",          "ButtonOn",
                                                        "ButtonBlinkWhole",   "ButtonBlinkHalf",
                                                        "ButtonBlinkQuarter", "ButtonBlinkEighth"};
  static const char* const kCaptions[kIndicatorButtons] = {
      "Vypnúť", "Zasvietiť", "Blikať 1 s", "Blikať 1/2 s", "Blikať 1/4 s", "Blikať1/8 s"};
  auto* area = new QWidget;
  auto* line = new QHBoxLayout(area);
  line->setContentsMargins(0, 0, 0, 0);
  line->setSpacing(3);
  line->addWidget(new QLabel(QStringLiteral("Indikátor")));
  for (int i = 0; i < kIndicatorButtons; ++i) {
    QPushButton* button = buttons[static_cast<size_t>(i)] =
        Named<QPushButton>(kNames[i], QString::fromUtf8(kCaptions[i]));
    button->setFixedHeight(kButtonHeight);
    line->addWidget(button);
    QObject::connect(button, &QPushButton::clicked, area, [clicked, i](bool) { clicked(i); });
  }
  return area;
}

}  // namespace lumetra::sensor_frame

namespace lumetra::sensor_frame {

THeadingStrip::THeadingStrip(QWidget* parent) : QWidget(parent) {
  setFixedHeight(16);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void THeadingStrip::Place(QLabel* label, QWidget* first, QWidget* last) {
  label->setParent(this);
  label->adjustSize();
  headings_.push_back({label, first, last ? last : first});
  for (QWidget* w : {first, last ? last : first}) w->installEventFilter(this);
}

bool THeadingStrip::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Move || event->type() == QEvent::Resize ||
      event->type() == QEvent::Show) {
    Arrange();
  }
  return QWidget::eventFilter(watched, event);
}

void THeadingStrip::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Arrange();
}

void THeadingStrip::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Arrange();
}

void THeadingStrip::SpreadOver(QLabel* label, std::vector<QWidget*> columns) {
  spreads_.push_back({label, std::move(columns)});
}

void THeadingStrip::Arrange() {
  QWidget* top = window();
  const int origin = mapTo(top, QPoint(0, 0)).x();
  for (const Spread& s : spreads_) {
    if (s.columns.size() < 2) continue;
    const int first = s.columns.front()->mapTo(top, QPoint(0, 0)).x();
    const int last = s.columns.back()->mapTo(top, QPoint(0, 0)).x();
    const int pitch = (last - first) / static_cast<int>(s.columns.size() - 1);
    const QString text = s.label->text();
    const int spaces =
        static_cast<int>(text.count(QLatin1Char(' '))) / static_cast<int>(s.columns.size() - 1);
    QFont font = s.label->font();
    font.setWordSpacing(0);
    const QFontMetrics plain(font);
    const int gap = plain.horizontalAdvance(text.section(QLatin1Char(' '), 0, 0) +
                                            QString(spaces, QLatin1Char(' ')));
    if (spaces > 0) font.setWordSpacing(pitch - gap);
    s.label->setFont(font);
    s.label->adjustSize();
  }
  std::vector<std::pair<int, QLabel*>> placed;
  for (const Heading& h : headings_) {
    const int left = h.first->mapTo(top, QPoint(0, 0)).x() - origin;
    const int right = h.last->mapTo(top, QPoint(h.last->width(), 0)).x() - origin;
    // A heading wider than its column is centred over it; a wide column has it at its start.
    const bool wide = h.first == h.last && right - left >= h.label->width() + 20;
    placed.emplace_back(wide ? left + 2 : (left + right - h.label->width()) / 2, h.label);
  }
  std::sort(placed.begin(), placed.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  // Headings wider than their columns would run into each other: from the right edge leftwards,
  // each moves left of the one after it.
  int limit = width();
  for (auto it = placed.rbegin(); it != placed.rend(); ++it) {
    const int x = std::max(0, std::min(it->first, limit - it->second->width()));
    it->second->move(x, 0);
    limit = x - 6;
  }
}

void ShowMeasuredValue(QWidget* page, TErrorDlg& dialog, QLineEdit* edit,
                       const MeasuredValue& measured) {
  if (measured.value) {
    edit->setText(QString::number(*measured.value));
    return;
  }
  if (measured.result.result == kSequenceRefused) {
    ReportSequence(page, measured.result);
    return;
  }
  if (!measured.result.Ok()) {
    dialog.AddMessageLine(QString::asprintf("Chyba pri komunikácii:  %d.", measured.result.result));
    dialog.AddMessageLine(QString::fromStdString(measured.result.Text()));
  } else {
    dialog.AddMessageLine(QStringLiteral("Senzor na otázku nameranej hodnoty neodpovedal."));
  }
  dialog.exec();
}

}  // namespace lumetra::sensor_frame
