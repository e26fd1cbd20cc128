// Very long lines in the monitor view: only the part that fits the row is converted and drawn,
// and the picture is the same as if the whole line had been drawn.
#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QTextOption>

#include "monitor/MonitorView.h"

namespace lumetra {
namespace {

QTextOption Option(QList<qreal> stops) {
  QTextOption option;
  option.setTabArray(stops);
  option.setWrapMode(QTextOption::NoWrap);
  return option;
}

TEST(MonitorViewLongLines, OnlyWhatFitsTheRowIsTaken) {
  TMonitorView view;
  const QFontMetricsF metrics(view.font());
  const QTextOption option = Option({20, 200, 260});
  constexpr qreal kWidth = 700;
  const std::string huge(16 << 20, 'x');
  const std::string_view part = MonitorVisiblePart(huge, metrics, option, kWidth);
  EXPECT_LT(part.size(), 64u * 1024) << "bytes taken of a 16 MiB line";
  const QString taken = QString::fromUtf8(part.data(), static_cast<qsizetype>(part.size()));
  EXPECT_GT(metrics.horizontalAdvance(taken, option), kWidth) << "the part reaches the edge";

  // Short lines are taken whole; a cut never splits a character.
  for (const std::string& line :
       {std::string(), std::string("\t0B05\t\t\tA 05\tRECALL MAX LEVEL"), std::string(200, 'y')}) {
    EXPECT_EQ(MonitorVisiblePart(line, metrics, option, kWidth), line);
  }
  std::string letters;
  for (int i = 0; i < 100000; ++i) letters += "ľ";
  const std::string_view cut = MonitorVisiblePart(letters, metrics, option, kWidth);
  EXPECT_LT(cut.size(), letters.size());
  EXPECT_EQ(cut.size() % 2, 0u) << "whole two-byte letters only";
  // Tabs past the last stop still count: a line of tabs ends somewhere too.
  const std::string tabs(1 << 20, '\t');
  EXPECT_LT(MonitorVisiblePart(tabs, metrics, option, kWidth).size(), 64u * 1024);
}

TEST(MonitorViewLongLines, ALongLineLooksAsIfDrawnWhole) {
  const QList<qreal> stops = {10, 90, 120, 140, 230, 560};
  TMonitorView view;
  view.resize(600, 200);
  view.SetTabStops(stops);
  std::vector<std::string> lines;
  for (int i = 0; i < 5; ++i) {
    std::string line;
    for (int k = 0; k < 40; ++k) line += "\tA " + std::to_string(k) + "\tĽahko čítateľný záznam";
    lines.push_back(line + std::string(size_t{1} << (16 + i), static_cast<char>('a' + i)));
    view.AppendLine(lines.back());
  }
  const QImage actual = view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_FALSE(actual.isNull());

  // Every line drawn whole, as the view did before it cut them.
  QImage whole(actual.size(), QImage::Format_RGB32);
  QPainter painter(&whole);
  painter.fillRect(whole.rect(), view.palette().base());
  painter.setFont(view.font());
  painter.setPen(view.palette().text().color());
  for (size_t i = 0; i < lines.size(); ++i) {
    const QRectF row(0, static_cast<qreal>(i) * view.LineHeight(), view.viewport()->width(),
                     view.LineHeight());
    painter.drawText(row, QString::fromStdString(lines[i]), Option(stops));
  }
  painter.end();
  EXPECT_TRUE(whole == actual);
}

}  // namespace
}  // namespace lumetra
