// The sheets of a printed report and the place of the floor plan picture.
#include "documents/ReportSheets.h"

#include <algorithm>
#include <cstdio>

namespace lumetra {

std::vector<ReportSheet> LayOutReport(const ReportPages& pages, int count, int pageHeight,
                                      const std::function<int(const std::string&)>& lineHeight) {
  std::vector<ReportSheet> sheets;
  count = std::clamp(count, 0, static_cast<int>(pages.size()));
  for (int p = 0; p < count; ++p) {
    // The sheet is opened by the first line that is drawn on it.
    bool newSheet = true;
    int n = 0;
    for (const std::string& line : pages[p]) {
      if (line == kFormFeedLine) {
        newSheet = true;
        n = 0;
        continue;
      }
      const int h = lineHeight(line);
      if (n > 0 && h * n + kReportBottomMargin > pageHeight) {
        newSheet = true;
        n = 0;
      }
      if (newSheet) {
        sheets.emplace_back();
        newSheet = false;
      }
      sheets.back().push_back({kReportLeft, kReportTop + h * n, line});
      ++n;
    }
  }
  return sheets;
}

PlanSheet LayOutPlan(int width, int height, const LocalTime& now) {
  constexpr int kMargin = 200;
  const int right = width;
  const int bottom = height > width ? height / 2 : height;
  PlanSheet sheet;
  sheet.picture = {kMargin, kMargin, right - kMargin, bottom - kMargin};
  sheet.legendX = kMargin;
  sheet.firstLineY = sheet.picture.bottom + 10;
  sheet.secondLineY = sheet.picture.bottom + 90;
  sheet.textRight = width - kMargin;
  char text[64];
  std::snprintf(text, sizeof text, "%d.%d.%4d", now.day, now.month, now.year);
  sheet.date = text;
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", now.hour, now.minute, now.second);
  sheet.time = text;
  return sheet;
}

}  // namespace lumetra
