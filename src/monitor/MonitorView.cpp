// The monitor's line view. Rows have one height, so the row of a line is arithmetic on the scroll
// bar's value; nothing is laid out per line and nothing is kept per line beyond the store itself.
#include "monitor/MonitorView.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextOption>
#include <algorithm>
#include <climits>

namespace lumetra {

std::string_view MonitorVisiblePart(std::string_view line, const QFontMetricsF& metrics,
                                    const QTextOption& option, qreal width) {
  // A first guess of twice the characters of average width that fit, doubled until the text
  // measured reaches the edge: narrow letters, tabs and marks of no width make a guess alone
  // unsafe, and measuring costs as much as the drawing it saves only for the short part.
  const qreal average = std::max<qreal>(metrics.averageCharWidth(), 1);
  size_t take = static_cast<size_t>(std::max<qreal>(width, 0) / average) * 2 + 16;
  for (;;) {
    if (take >= line.size()) return line;
    size_t cut = std::min(take, kMaxDrawnBytes);
    while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
    const std::string_view part = line.substr(0, cut);
    if (cut >= kMaxDrawnBytes - 3 ||
        metrics.horizontalAdvance(
            QString::fromUtf8(part.data(), static_cast<qsizetype>(part.size())), option) > width) {
      return part;
    }
    take *= 2;
  }
}

TMonitorView::TMonitorView(QWidget* parent) : QAbstractScrollArea(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // Every paint fills what it is asked to, so a scroll can move the pixels already on screen and
  // paint only the row that comes in.
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  viewport()->setCursor(Qt::IBeamCursor);
  verticalScrollBar()->setSingleStep(1);
  lineHeight_ = std::max(QFontMetrics(font()).height(), 1);
  UpdateScrollRange();
}

int TMonitorView::VisibleLines() const { return viewport()->height() / lineHeight_; }

size_t TMonitorView::FirstVisibleLine() const {
  return static_cast<size_t>(verticalScrollBar()->value());
}

bool TMonitorView::ShowsEnd() const {
  const QScrollBar* bar = verticalScrollBar();
  return bar->value() >= bar->maximum();
}

void TMonitorView::ScrollToEnd() { verticalScrollBar()->setValue(verticalScrollBar()->maximum()); }

void TMonitorView::UpdateScrollRange() {
  const int visible = VisibleLines();
  const size_t count = lines_.Count();
  const size_t hidden = count > static_cast<size_t>(visible) ? count - visible : 0;
  QScrollBar* bar = verticalScrollBar();
  bar->setPageStep(std::max(visible, 1));
  bar->setRange(0, static_cast<int>(std::min<size_t>(hidden, INT_MAX)));
}

void TMonitorView::AppendLine(std::string_view line) {
  const bool atEnd = ShowsEnd();
  lines_.Append(line);
  UpdateScrollRange();
  // Moving on by one line scrolls the pixels on screen and paints the new row only.
  if (atEnd) ScrollToEnd();
  const size_t last = lines_.Count() - 1;
  UpdateLines(last, last);
}

void TMonitorView::ReplaceLines(MonitorLines lines) {
  lines_.Swap(lines);
  hasSelection_ = false;
  verticalScrollBar()->setValue(0);
  UpdateScrollRange();
  viewport()->update();
}

void TMonitorView::ClearLines() { ReplaceLines(MonitorLines()); }

void TMonitorView::SetTabStops(QList<qreal> stops) {
  tabStops_ = std::move(stops);
  viewport()->update();
}

void TMonitorView::UpdateLines(size_t from, size_t to) {
  const size_t first = FirstVisibleLine();
  // One row more than whole rows: the partly shown one at the bottom.
  const size_t end = first + static_cast<size_t>(VisibleLines()) + 1;
  from = std::max(from, first);
  to = std::min(to, end - 1);
  if (from > to) return;
  const int top = static_cast<int>(from - first) * lineHeight_;
  const int height = static_cast<int>(to - from + 1) * lineHeight_;
  viewport()->update(0, top, viewport()->width(), height);
}

size_t TMonitorView::LineAt(int y) const {
  const size_t first = FirstVisibleLine();
  size_t line = first;
  if (y > 0) line += static_cast<size_t>(y / lineHeight_);
  return std::min(line, lines_.Count() - 1);
}

bool TMonitorView::Selected(size_t line) const {
  return hasSelection_ && line >= std::min(anchor_, cursor_) && line <= std::max(anchor_, cursor_);
}

void TMonitorView::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  const QRect area = event->rect();
  painter.fillRect(area, palette().base());
  painter.setFont(font());
  QTextOption option;
  option.setTabArray(tabStops_);
  option.setWrapMode(QTextOption::NoWrap);
  const size_t first = FirstVisibleLine();
  const int width = viewport()->width();
  const QFontMetricsF metrics(font());
  for (int row = std::max(area.top(), 0) / lineHeight_; row <= area.bottom() / lineHeight_; ++row) {
    const size_t index = first + static_cast<size_t>(row);
    if (index >= lines_.Count()) break;
    const QRect rect(0, row * lineHeight_, width, lineHeight_);
    const bool selected = Selected(index);
    if (selected) painter.fillRect(rect, palette().highlight());
    painter.setPen(selected ? palette().highlightedText().color() : palette().text().color());
    const std::string_view line = MonitorVisiblePart(lines_.Line(index), metrics, option, width);
    painter.drawText(QRectF(rect),
                     QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())), option);
  }
}

void TMonitorView::resizeEvent(QResizeEvent* event) {
  const bool atEnd = ShowsEnd();
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollRange();
  if (atEnd) ScrollToEnd();
}

void TMonitorView::scrollContentsBy(int /*dx*/, int dy) {
  if (std::abs(dy) < VisibleLines()) {
    viewport()->scroll(0, dy * lineHeight_);
  } else {
    viewport()->update();
  }
}

void TMonitorView::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) {
    lineHeight_ = std::max(QFontMetrics(font()).height(), 1);
    UpdateScrollRange();
    viewport()->update();
  }
  QAbstractScrollArea::changeEvent(event);
}

void TMonitorView::SelectLines(size_t from, size_t to) {
  if (lines_.Count() == 0) return;
  anchor_ = std::min(from, lines_.Count() - 1);
  cursor_ = std::min(to, lines_.Count() - 1);
  hasSelection_ = true;
  viewport()->update();
}

void TMonitorView::SelectAll() {
  if (lines_.Count() > 0) SelectLines(0, lines_.Count() - 1);
}

QString TMonitorView::SelectedText() const {
  QString text;
  if (!hasSelection_) return text;
  for (size_t i = std::min(anchor_, cursor_); i <= std::max(anchor_, cursor_); ++i) {
    const std::string_view line = lines_.Line(i);
    text += QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
    text += QStringLiteral("\r\n");
  }
  return text;
}

void TMonitorView::CopySelection() const {
  if (hasSelection_) QApplication::clipboard()->setText(SelectedText());
}

void TMonitorView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || lines_.Count() == 0) {
    QAbstractScrollArea::mousePressEvent(event);
    return;
  }
  const size_t line = LineAt(static_cast<int>(event->position().y()));
  if (event->modifiers() & Qt::ShiftModifier && hasSelection_) {
    SelectLines(anchor_, line);
  } else {
    SelectLines(line, line);
  }
}

void TMonitorView::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton) || !hasSelection_ || lines_.Count() == 0) return;
  // Dragging past an edge scrolls, so that a selection can reach beyond the screen.
  const int y = static_cast<int>(event->position().y());
  if (y < 0) verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
  if (y >= viewport()->height()) {
    verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  }
  SelectLines(anchor_, LineAt(std::min(y, viewport()->height() - 1)));
}

void TMonitorView::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    CopySelection();
  } else if (event->matches(QKeySequence::SelectAll)) {
    SelectAll();
  } else if (event->matches(QKeySequence::MoveToStartOfDocument)) {
    verticalScrollBar()->setValue(0);
  } else if (event->matches(QKeySequence::MoveToEndOfDocument)) {
    ScrollToEnd();
  } else {
    QAbstractScrollArea::keyPressEvent(event);
  }
}

}  // namespace lumetra
