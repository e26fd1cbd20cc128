// lumetra-cli report: checks its command line and hands the work to lumetra-report-pdf, the one
// part of the tool that links Qt (the report's drawing is the window's own, in ReportPrinting),
// so that lumetra-cli itself starts and runs without any Qt library.
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "cli/Cli.h"
#include "model/Error.h"

namespace lumetra::cli {

namespace {

inline constexpr const char* kReportHelper = "lumetra-report-pdf";

// Beside the tool in a build folder, in the installation's libexec folder otherwise.
std::string HelperPath(const std::string& toolFolder) {
  namespace fs = std::filesystem;
  for (const fs::path& candidate :
       {fs::path(toolFolder) / kReportHelper,
        fs::path(toolFolder) / ".." / "libexec" / "lumetra-configurator" / kReportHelper}) {
    if (::access(candidate.c_str(), X_OK) == 0) return candidate.lexically_normal().string();
  }
  return {};
}

}  // namespace

int Report(TArguments& args, const std::string& toolFolder) {
  const std::optional<std::string> pdf = args.Value("--pdf");
  const bool plan = args.Flag("--plan");
  const bool arc = args.Flag("--arc");
  const std::string document = args.Operands(1, 1, "SÚBOR.dcf")[0];
  if (!pdf) args.Fail("chýba voľba --pdf VÝSTUP.pdf");
  if (pdf->empty()) args.Fail("voľba --pdf: prázdny názov súboru");

  const std::string helper = HelperPath(toolFolder);
  if (helper.empty()) {
    std::cerr << kToolName << ": program " << kReportHelper
              << ", ktorý zostavuje PDF, sa nenašiel vedľa " << kToolName << " ani v libexec\n";
    return kExitProblem;
  }
  std::vector<std::string> argv = {helper, document, *pdf};
  if (plan) argv.push_back("--plan");
  if (arc) argv.push_back("--arc");
  std::vector<char*> raw;
  for (std::string& a : argv) raw.push_back(a.data());
  raw.push_back(nullptr);
  // The PDF writer needs no display.
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  ::execv(helper.c_str(), raw.data());
  std::cerr << kToolName << ": " << kReportHelper << " sa nedá spustiť ("
            << SystemErrorText(errno) << ")\n";
  return kExitProblem;
}

}  // namespace lumetra::cli
