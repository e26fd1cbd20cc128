// The monitor display on its own: stamped lines, tab stops that fit the view, scrolling that leaves
// a user who scrolled back alone, and loading that replaces everything or nothing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <fstream>

#include "model/Error.h"
#include "monitor/MonitorFrame.h"
#include "ui/ConfiguratorForm.h"

namespace lumetra {
namespace {

class MonitorFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    frame.setGeometry(0, 0, TConfiguratorForm::kViewWidth, TConfiguratorForm::kFrameHeight);
    frame.show();
    frame.ResetMonitor();
  }
  QString Line(size_t i) const {
    const std::string_view line = frame.Lines().Line(i);
    return QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
  }
  void AddLines(int count) {
    for (int i = 0; i < count; ++i) frame.AddLine("\tFF\t\t\t\tAnswer\t255\t10:00:00");
  }

  TMonitorFrame frame;
};

TEST_F(MonitorFrameTest, RecordsBecomeStampedLinesThroughTheFilter) {
  frame.AddRecord({0x63, 0, 0x0B, 0x05, 0});
  ASSERT_EQ(frame.Lines().Count(), 1u);
  EXPECT_TRUE(QRegularExpression("^\t0B05\t\t\tA 05\tRECALL MAX LEVEL\t\t\t5\t\\d\\d:\\d\\d:\\d\\d$")
                  .match(Line(0))
                  .hasMatch())
      << Line(0).toStdString();

  // A hidden query and its answer add nothing; the frame keeps the skip flag between records.
  frame.Filter().BalastFilterOn = 1;
  frame.Filter().BalastAddressSelected[5] = 1;
  frame.AddRecord({0x63, 0, 0x0B, 0x90, 0});
  EXPECT_TRUE(frame.SkipNextAnswer());
  frame.AddRecord({0x62, 0, 0, 0x04, 0});
  frame.AddRecord({0x60, 0, 0, 0, 0});
  EXPECT_EQ(frame.Lines().Count(), 1u);
  frame.AddRecord({0x62, 0, 0, 0x04, 0});
  EXPECT_EQ(frame.Lines().Count(), 2u);

  frame.ResetMonitor();
  EXPECT_EQ(frame.Lines().Count(), 0u);
  EXPECT_EQ(frame.Filter().BalastFilterOn, 0);
  EXPECT_FALSE(frame.SkipNextAnswer());
}

TEST_F(MonitorFrameTest, TabStopsAreDistinctAndTheTimeColumnFits) {
  const QList<qreal>& stops = frame.TabStopPixels();
  ASSERT_EQ(stops.size(), 9);
  // The three stops of the data column are 4 dialog units apart: each must stay a column of its own.
  for (int i = 1; i < stops.size(); ++i) EXPECT_GT(stops[i], stops[i - 1]) << i;
  const int timeWidth = QFontMetrics(frame.MemoMonitor->font()).horizontalAdvance("00:00:00");
  EXPECT_LE(stops.back() + timeWidth, frame.MemoMonitor->viewport()->width());
  EXPECT_GT(frame.VisibleLines(), 20);
  EXPECT_TRUE(QFontInfo(frame.MemoMonitor->font()).fixedPitch());
}

TEST_F(MonitorFrameTest, NewLinesFollowTheEndUnlessTheUserScrolledBack) {
  QScrollBar* bar = frame.MemoMonitor->verticalScrollBar();
  AddLines(300);
  EXPECT_GT(bar->maximum(), 0);
  EXPECT_EQ(bar->value(), bar->maximum()) << "the view follows the end";

  bar->setValue(10);
  const int maximum = bar->maximum();
  AddLines(50);
  QApplication::processEvents();  // the view lays new rows out when it next gets the chance
  EXPECT_EQ(bar->value(), 10) << "a user who scrolled back keeps his place";
  EXPECT_GT(bar->maximum(), maximum);

  frame.ScrollToEnd();
  AddLines(1);
  EXPECT_EQ(bar->value(), bar->maximum());
  EXPECT_EQ(frame.Lines().Count(), 351u);
}

TEST_F(MonitorFrameTest, LoadingReplacesEveryLineOrNone) {
  QTemporaryDir dir;
  const std::string good = dir.filePath("good.lmm").toStdString();
  const std::string binary = dir.filePath("binary.lmm").toStdString();
  std::ofstream(good, std::ios::binary) << "\tfirst\r\n\tsecond\r\n";
  std::ofstream(binary, std::ios::binary) << std::string("\0\1\2", 3);

  AddLines(3);
  frame.LoadLines(good);
  ASSERT_EQ(frame.Lines().Count(), 2u);
  EXPECT_EQ(Line(1), "\tsecond");
  EXPECT_EQ(frame.MemoMonitor->model()->rowCount(), 2);

  EXPECT_THROW(frame.LoadLines(binary), Error);
  EXPECT_THROW(frame.LoadLines(dir.filePath("missing.lmm").toStdString()), Error);
  ASSERT_EQ(frame.Lines().Count(), 2u);
  EXPECT_EQ(Line(0), "\tfirst");

  frame.ClearLines();
  EXPECT_EQ(frame.MemoMonitor->model()->rowCount(), 0);
}

}  // namespace
}  // namespace lumetra
