// The bus monitor's display: column captions over a read-only, fixed-pitch list of decoded lines
// that stays fast however long the recording grows.
#pragma once

#include <QAbstractListModel>
#include <QFrame>
#include <QLabel>
#include <QList>
#include <QListView>
#include <QStyledItemDelegate>
#include <string>
#include <string_view>

#include "monitor/MonitorDecoder.h"
#include "monitor/MonitorLines.h"
#include "ui/NavigatedView.h"

namespace lumetra {

// The lines as a list model: only the rows on screen are ever turned into QStrings.
class TMonitorLinesModel : public QAbstractListModel {
  Q_OBJECT
 public:
  explicit TMonitorLinesModel(QObject* parent = nullptr) : QAbstractListModel(parent) {}
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  const MonitorLines& Lines() const { return lines_; }
  void Append(std::string_view line);
  void Replace(MonitorLines lines);
  void Clear();

 private:
  MonitorLines lines_;
};

// Draws a line with the view's tab stops.
class TTabbedLineDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void SetTabStops(QList<qreal> stops) { stops_ = std::move(stops); }
  void SetLineHeight(int height) { lineHeight_ = height; }
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  QList<qreal> stops_;
  int lineHeight_ = 15;
};

class TMonitorFrame : public QFrame, public TNavigatedView {
  Q_OBJECT
 public:
  // Where the columns begin, in dialog units of the view's font.
  static constexpr int kTabStops[] = {4, 48, 63, 68, 112, 284, 288, 292, 332};

  explicit TMonitorFrame(QWidget* parent = nullptr);

  QWidget* Widget() override { return this; }
  void RefreshView() override { MemoMonitor->viewport()->update(); }

  // Filters and the skip flag to their start, tab stops set, the view emptied.
  void ResetMonitor();
  // One record from the reader, on the user-interface thread.
  void AddRecord(const MonitorRecord& record);
  void AddLine(std::string_view line);
  // "Zmazať".
  void ClearLines();
  // Throws Error with a Slovak message; a failed load leaves the view as it was.
  void SaveLines(const std::string& fileName) const;
  void LoadLines(const std::string& fileName);
  void ScrollToEnd();

  MonitorFilter& Filter() { return filter_; }
  bool SkipNextAnswer() const { return skipNextAnswer_; }
  int VisibleLines() const { return visibleLines_; }
  const MonitorLines& Lines() const { return model_->Lines(); }
  // The tab stops in pixels, converted from dialog units with the font's average character width.
  const QList<qreal>& TabStopPixels() const { return tabStops_; }
  // Whether the view shows the end of the lines, so that a new line keeps it there.
  bool ShowsEnd() const;

  QListView* MemoMonitor;
  QLabel* LabelHexa;
  QLabel* LabelAddress;
  QLabel* LabelCommand;
  QLabel* LabelData;
  QLabel* LabelTime;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void SetTabStops();
  void PlaceHeader();
  void UpdateVisibleLines();
  void CopySelection();

  TMonitorLinesModel* model_;
  TTabbedLineDelegate* delegate_;
  MonitorFilter filter_;
  bool skipNextAnswer_ = false;
  int visibleLines_ = 0;
  int lineHeight_ = 15;
  QList<qreal> tabStops_;
  std::string scratch_;
};

}  // namespace lumetra
