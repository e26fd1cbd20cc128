// lumetra-report-pdf DOCUMENT OUT.pdf [--plan] [--arc]: the printed report of a configuration
// document, or its floor plan, as an A4 PDF, drawn offscreen by the window's own printing code
// (TPrintout, ExportPdf) and, for the plan, by the window's own floor plan view in the window's
// font. Started by "lumetra-cli report", which has checked the command line.
#include <QApplication>
#include <QImage>
#include <cstdio>
#include <string>
#include <vector>

#include "documents/ConfigDocument.h"
#include "documents/DeviceReports.h"
#include "model/Error.h"
#include "ui/ReportPrinting.h"
#include "ui/Widgets.h"
#include "ui/floorplan/MainPositionFrame.h"

using namespace lumetra;

namespace {

inline constexpr const char* kNothingToPrint =
    "lumetra-report-pdf: Nie je čo tlačiť: dokument neobsahuje žiadne zariadenie\n";

// What "Tlač" gives on "Rozmiestnenie" for the opened document: one sheet with the plan of every
// control gear and every control device where the document places them (the plan is one view
// shared by the lights page and the control devices page), its legend, date and time.
int ExportPlan(TBalastConfig& gear, TControllerConfig& devices, const std::string& out) {
  TMainPositionFrame view;
  view.setFont(WindowFont());
  view.AttachToWindow({.balastConfig = &gear, .controllerConfig = &devices});
  QImage picture;
  view.DrawPlan(picture);
  if (picture.isNull()) {
    std::fputs(kNothingToPrint, stderr);
    return 1;
  }
  ExportPdf(TPrintout::Plan(std::move(picture), CurrentLocalTime()), out);
  std::printf("PDF bolo uložené: %s\n", out.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  bool plan = false, arc = false;
  std::vector<std::string> files;
  for (const std::string& a : args) {
    if (a == "--plan") {
      plan = true;
    } else if (a == "--arc") {
      arc = true;
    } else {
      files.push_back(a);
    }
  }
  if (files.size() != 2) {
    std::fputs("lumetra-report-pdf: použitie: lumetra-report-pdf SÚBOR.dcf VÝSTUP.pdf [--plan] "
               "[--arc]\n",
               stderr);
    return 2;
  }
  QApplication app(argc, argv);
  try {
    TBalastConfig gear;
    TControllerConfig devices;
    gear.SetPercentMode(arc ? 0 : 1);
    devices.SetPercentMode(arc ? 0 : 1);
    LoadDocument(files[0], gear, devices);
    const std::string out = PdfFileName(files[1]);
    if (plan) return ExportPlan(gear, devices, out);
    // The control gear editor's report of all control gear, then the control device editor's of
    // all control devices: what "Tlač" gives on each page with every device selected.
    for (TConfig* table : {static_cast<TConfig*>(&gear), static_cast<TConfig*>(&devices)}) {
      table->SetCurrentSlot(TConfig::kGroupSlot);
      table->SetCurrentGroup(TConfig::kAllDevices);
    }
    ReportPages gearPages, devicePages;
    const int gearCount = GearReportPages(gear, gearPages);
    const int deviceCount = ControllerReportPages(devices, devicePages);
    if (gearCount + deviceCount == 0) {
      std::fputs(kNothingToPrint, stderr);
      return 1;
    }
    const TPrintout gearReport = TPrintout::Report(gearPages, gearCount);
    const TPrintout deviceReport = TPrintout::Report(devicePages, deviceCount);
    ExportPdf({&gearReport, &deviceReport}, out);
    std::printf("PDF bolo uložené: %s\n", out.c_str());
    return 0;
  } catch (const Error& e) {
    std::fprintf(stderr, "lumetra-report-pdf: %s\n", e.what());
    return 1;
  }
}
