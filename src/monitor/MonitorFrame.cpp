// The monitor display: decoding each record with the page's filters, stamping it and keeping the
// view at the end unless the user scrolled back.
#include "monitor/MonitorFrame.h"

#include <QFontMetrics>
#include <ctime>

namespace lumetra {

namespace {

constexpr int kHeaderHeight = 20;
// The font was designed as 15 pixels of character cell (ascent plus descent), not of em size.
constexpr int kCellHeight = 15;

QFont MonitorFont() {
  QFont font(QStringLiteral("Liberation Mono"));
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  for (int pixels = kCellHeight; pixels > 6; --pixels) {
    font.setPixelSize(pixels);
    if (QFontMetrics(font).height() <= kCellHeight) break;
  }
  return font;
}

// The average character width by which dialog units become pixels: the width of the 52 Latin
// letters, rounded as the dialog base unit is.
int AverageCharWidth(const QFont& font) {
  const int width = QFontMetrics(font).horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return (width / 26 + 1) / 2;
}

ArrivalTime Now() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_hour, local.tm_min, local.tm_sec};
}

}  // namespace

TMonitorFrame::TMonitorFrame(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("MonitorFrame"));
  auto label = [this](const char* name, const char* caption) {
    auto* l = new QLabel(QString::fromUtf8(caption), this);
    l->setObjectName(QString::fromLatin1(name));
    return l;
  };
  LabelHexa = label("LabelHexa", "Hexa");
  LabelAddress = label("LabelAddress", "Adresa");
  LabelCommand = label("LabelCommand", "Príkaz / odpoveď");
  LabelData = label("LabelData", "Údaje");
  LabelTime = label("LabelTime", "Čas");

  MemoMonitor = new TMonitorView(this);
  MemoMonitor->setObjectName(QStringLiteral("MemoMonitor"));
  MemoMonitor->setFont(MonitorFont());
  SetTabStops();
}

void TMonitorFrame::SetTabStops() {
  const int average = AverageCharWidth(MemoMonitor->font());
  tabStops_.clear();
  // Four dialog units to the average character, rounded to the nearest pixel as a dialog's
  // coordinates are.
  for (int dialogUnits : kTabStops) tabStops_.push_back((dialogUnits * average + 2) / 4);
  MemoMonitor->SetTabStops(tabStops_);
  PlaceHeader();
}

void TMonitorFrame::PlaceHeader() {
  // Each caption over the first character of its column.
  const int left = MemoMonitor->frameWidth();
  const std::pair<QLabel*, int> captions[] = {
      {LabelHexa, 0}, {LabelAddress, 3}, {LabelCommand, 4}, {LabelData, 5}, {LabelTime, 8}};
  for (size_t i = 0; i < std::size(captions); ++i) {
    const int x = left + static_cast<int>(tabStops_[captions[i].second]);
    const int next = i + 1 < std::size(captions)
                         ? left + static_cast<int>(tabStops_[captions[i + 1].second])
                         : width();
    captions[i].first->setGeometry(x, 0, std::max(next - x, 1), kHeaderHeight);
  }
  MemoMonitor->setGeometry(0, kHeaderHeight, width(), std::max(height() - kHeaderHeight, 0));
}

void TMonitorFrame::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  PlaceHeader();
  UpdateVisibleLines();
}

void TMonitorFrame::UpdateVisibleLines() { visibleLines_ = MemoMonitor->VisibleLines(); }

void TMonitorFrame::ResetMonitor() {
  filter_ = MonitorFilter();
  skipNextAnswer_ = false;
  SetTabStops();
  ClearLines();
  UpdateVisibleLines();
}

void TMonitorFrame::AddRecord(const MonitorRecord& record) {
  if (DecodeRecordInto(scratch_, record, filter_, skipNextAnswer_, Now())) AddLine(scratch_);
}

// A user who scrolled back keeps what is on the screen; otherwise the new line is shown.
void TMonitorFrame::AddLine(std::string_view line) { MemoMonitor->AppendLine(line); }

void TMonitorFrame::ClearLines() { MemoMonitor->ClearLines(); }

void TMonitorFrame::SaveLines(const std::string& fileName) const {
  SaveMonitorLines(fileName, MemoMonitor->Lines());
}

void TMonitorFrame::LoadLines(const std::string& fileName) {
  // Read completely before the view is touched, so a failure leaves it as it was.
  MonitorLines lines = LoadMonitorLines(fileName);
  MemoMonitor->ReplaceLines(std::move(lines));
}

void TMonitorFrame::ScrollToEnd() { MemoMonitor->ScrollToEnd(); }

}  // namespace lumetra
