// The bus monitor's display: column captions over a read-only, fixed-pitch list of decoded lines
// that stays fast however long the recording grows.
#pragma once

#include <QFrame>
#include <QLabel>
#include <QList>
#include <string>
#include <string_view>

#include "monitor/MonitorDecoder.h"
#include "monitor/MonitorLines.h"
#include "monitor/MonitorView.h"
#include "ui/NavigatedView.h"

namespace lumetra {

// Threads: user-interface thread only. The monitor reader reaches AddRecord solely through its
// bridge's synchronous hand-over, so the filter, the skip flag and the lines need no lock; the
// filter columns change the filter on the same thread, between two records.
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
  const MonitorLines& Lines() const { return MemoMonitor->Lines(); }
  // The tab stops in pixels, converted from dialog units with the font's average character width.
  const QList<qreal>& TabStopPixels() const { return tabStops_; }
  // Whether the view shows the end of the lines, so that a new line keeps it there.
  bool ShowsEnd() const { return MemoMonitor->ShowsEnd(); }

  TMonitorView* MemoMonitor;
  QLabel* LabelHexa;
  QLabel* LabelAddress;
  QLabel* LabelCommand;
  QLabel* LabelData;
  QLabel* LabelTime;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void SetTabStops();
  void PlaceHeader();
  void UpdateVisibleLines();

  MonitorFilter filter_;
  bool skipNextAnswer_ = false;
  int visibleLines_ = 0;
  QList<qreal> tabStops_;
  std::string scratch_;
};

}  // namespace lumetra
