// Where the printed report and the floor plan picture go on paper, in the printer's device units
// (pixels of the printable area, origin at its top left). Drawing them is the view's business.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "documents/ConfigDocument.h"
#include "documents/ReportPages.h"

namespace lumetra {

inline constexpr int kReportLeft = 400;
inline constexpr int kReportTop = 300;
// A line starts a new sheet when the lines above it and this margin no longer fit the page.
inline constexpr int kReportBottomMargin = 500;

// One line on a sheet; (x, y) is the top left of its text.
struct PlacedLine {
  int x = 0;
  int y = 0;
  std::string text;
  bool operator==(const PlacedLine&) const = default;
};
using ReportSheet = std::vector<PlacedLine>;

// Lays the first `count` lists out on sheets of `pageHeight` units: each list starts a sheet, a
// form-feed line starts one within its list and is not printed, a line whose place would pass the
// bottom margin goes to the top of the next sheet. No sheet is left empty: a form feed at the end
// of a list or two in a row start nothing, and no lists give no sheets. `lineHeight` gives the
// height of a line's text on the page.
std::vector<ReportSheet> LayOutReport(const ReportPages& pages, int count, int pageHeight,
                                      const std::function<int(const std::string&)>& lineHeight);

struct PlanRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const PlanRect&) const = default;
};

inline constexpr const char* kPlanLegend1 =
    "A XX - svietidlá, S - snímač svetla, T - tlačidlo, vypínač, prepínač, O - optorelé,";
inline constexpr const char* kPlanLegend2 =
    "C XX - ovládače,  P - snímač pohybu, PS - snímač pohybu a svetla.";

// The floor plan sheet: the picture stretched into `picture`, the two legend lines at the left
// below it, the date and the time right-aligned to `textRight` on the same two lines.
struct PlanSheet {
  PlanRect picture;
  int legendX = 0;
  int firstLineY = 0;
  int secondLineY = 0;
  int textRight = 0;
  std::string date;
  std::string time;
};

// For a printable area of `width` × `height` units: on portrait paper (taller than wide) the plan
// takes the upper half of the sheet, on landscape paper the whole height; 200 units of margin.
PlanSheet LayOutPlan(int width, int height, const LocalTime& now);

}  // namespace lumetra
