// The pages of a printed report: the main window's 64 text lists, filled by the shown editor from
// the first one on. A line holding only U+000C starts a new sheet within its list.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace lumetra {

inline constexpr size_t kReportListCount = 64;
inline constexpr const char* kFormFeedLine = "\f";

using ReportPageList = std::vector<std::string>;
using ReportPages = std::array<ReportPageList, kReportListCount>;

// An editor that can print what it shows: fills `pages` and returns how many lists it filled.
class TReportSource {
 public:
  virtual ~TReportSource() = default;
  virtual int GetReportPages(ReportPages& pages) = 0;
};

}  // namespace lumetra
