// The monitor display on its own: stamped lines, tab stops that fit the view, scrolling that leaves
// a user who scrolled back alone, and loading that replaces everything or nothing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
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
  EXPECT_TRUE(
      QRegularExpression("^\t0B05\t\t\tA 05\tRECALL MAX LEVEL\t\t\t5\t\\d\\d:\\d\\d:\\d\\d$")
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

// The first column of a row of the view's image that is not the background, or -1.
int FirstInk(const QImage& image, int top, int height, QRgb background) {
  for (int x = 0; x < image.width(); ++x) {
    for (int y = top; y < top + height && y < image.height(); ++y) {
      if (image.pixel(x, y) != background) return x;
    }
  }
  return -1;
}

TEST_F(MonitorFrameTest, TabStopsAreDialogUnitsOfTheViewsFont) {
  // A horizontal dialog unit is a quarter of the average character width, which is taken from the
  // 52 Latin letters and rounded to whole pixels; dialog units become pixels rounded to the
  // nearest.
  const QFont font = frame.MemoMonitor->font();
  EXPECT_TRUE(QFontInfo(font).fixedPitch());
  const QFontMetrics metrics(font);
  const int letters =
      metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  const int average = (letters / 26 + 1) / 2;
  EXPECT_EQ(average, metrics.horizontalAdvance('0')) << "a fixed-pitch average is its cell";
  const int dialogUnits[] = {4, 48, 63, 68, 112, 284, 288, 292, 332};
  const QList<qreal>& stops = frame.TabStopPixels();
  ASSERT_EQ(stops.size(), 9);
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(stops[i], std::lround(dialogUnits[i] * average / 4.0)) << dialogUnits[i];
  }
  const int timeWidth = metrics.horizontalAdvance("00:00:00");
  EXPECT_LE(stops.back() + timeWidth, frame.MemoMonitor->viewport()->width());
  EXPECT_GT(frame.VisibleLines(), 20);

  // Scrolled to line 50, row r shows line 50 + r, whose mark after r + 1 tabs is painted at stop r.
  // The lines around them are empty and paint nothing.
  for (int i = 0; i < 50; ++i) frame.AddLine("");
  for (int i = 0; i < 9; ++i) frame.AddLine(std::string(static_cast<size_t>(i + 1), '\t') + "W");
  for (int i = 0; i < 100; ++i) frame.AddLine("");
  frame.MemoMonitor->verticalScrollBar()->setValue(50);
  const QImage image = frame.MemoMonitor->viewport()->grab().toImage();
  const QRgb background = image.pixel(image.width() - 1, 0);
  const int height = frame.MemoMonitor->LineHeight();
  EXPECT_EQ(FirstInk(image, 9 * height, image.height() - 9 * height, background), -1);
  for (int i = 0; i < 9; ++i) {
    const int x = FirstInk(image, i * height, height, background);
    EXPECT_GE(x, stops[i]) << "row " << i;
    EXPECT_LE(x, stops[i] + average / 2) << "row " << i;
  }
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

  QScrollBar* bar = frame.MemoMonitor->verticalScrollBar();
  AddLines(300);
  frame.LoadLines(good);
  ASSERT_EQ(frame.Lines().Count(), 2u);
  EXPECT_EQ(Line(1), "\tsecond");
  EXPECT_EQ(bar->maximum(), 0) << "the scroll range is that of the loaded lines";

  EXPECT_THROW(frame.LoadLines(binary), Error);
  EXPECT_THROW(frame.LoadLines(dir.filePath("missing.lmm").toStdString()), Error);
  ASSERT_EQ(frame.Lines().Count(), 2u);
  EXPECT_EQ(Line(0), "\tfirst");

  frame.ClearLines();
  EXPECT_EQ(frame.Lines().Count(), 0u);
  EXPECT_EQ(bar->maximum(), 0);
}

TEST_F(MonitorFrameTest, SelectedLinesAreCopiedAsInARecordFile) {
  for (int i = 0; i < 100; ++i) frame.AddLine("\tline " + std::to_string(i));
  TMonitorView* view = frame.MemoMonitor;
  view->verticalScrollBar()->setValue(40);
  const int height = view->LineHeight();
  // A click selects the line under it, a shift-click extends to another; the rows count from the
  // first line on screen.
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(20, 2 * height + 1));
  QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                    QPoint(20, 4 * height + 1));
  QApplication::clipboard()->clear();
  QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), "\tline 42\r\n\tline 43\r\n\tline 44\r\n");

  // Below the last line a click takes the last one.
  frame.ClearLines();
  AddLines(2);
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(20, 10 * height));
  EXPECT_EQ(view->SelectedText(), "\tFF\t\t\t\tAnswer\t255\t10:00:00\r\n");
  QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(view->SelectedText().count("\r\n"), 2);
}

}  // namespace
}  // namespace lumetra
