// The monitor's line view: a read-only, fixed-pitch view that paints only the rows on screen
// straight from the line store, so that appending and scrolling cost the same however long the
// recording is.
#pragma once

#include <QAbstractScrollArea>
#include <QFontMetricsF>
#include <QList>
#include <QString>
#include <QTextOption>
#include <string_view>

#include "monitor/MonitorLines.h"

namespace lumetra {

// The start of `line` that reaches at least `width` pixels when drawn with `option`, or the whole
// line when it is shorter; never more than kMaxDrawnBytes and never part of a character. A row is
// about a hundred characters wide, and converting and laying out a line of megabytes on every
// paint would freeze the window.
inline constexpr size_t kMaxDrawnBytes = 16 * 1024;
std::string_view MonitorVisiblePart(std::string_view line, const QFontMetricsF& metrics,
                                    const QTextOption& option, qreal width);

// Threads: user-interface thread only; records from the reader arrive through TMonitorFrame.
class TMonitorView : public QAbstractScrollArea {
  Q_OBJECT
 public:
  explicit TMonitorView(QWidget* parent = nullptr);

  const MonitorLines& Lines() const { return lines_; }
  // A new last line; a view that showed the end moves on to show it, any other keeps its place.
  void AppendLine(std::string_view line);
  // All lines at once, shown from the top.
  void ReplaceLines(MonitorLines lines);
  void ClearLines();

  // Tab stops in pixels from the left edge of the text.
  void SetTabStops(QList<qreal> stops);
  int LineHeight() const { return lineHeight_; }
  // Whole rows the view has room for.
  int VisibleLines() const;
  // The scroll bar counts lines: its value is the first line on screen.
  size_t FirstVisibleLine() const;
  bool ShowsEnd() const;
  void ScrollToEnd();

  // The selected lines, each followed by CR LF as in a record file; empty without a selection.
  QString SelectedText() const;
  void SelectLines(size_t from, size_t to);
  void SelectAll();
  void CopySelection() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void UpdateScrollRange();
  // The line under a point of the viewport, clamped to the lines there are.
  size_t LineAt(int y) const;
  void UpdateLines(size_t from, size_t to);
  bool Selected(size_t line) const;

  MonitorLines lines_;
  QList<qreal> tabStops_;
  int lineHeight_ = 15;
  bool hasSelection_ = false;
  size_t anchor_ = 0;  // where the selection was started
  size_t cursor_ = 0;  // where it ends now
};

}  // namespace lumetra
