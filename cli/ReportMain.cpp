// lumetra-report-pdf DOCUMENT OUT.pdf [--plan] [--arc]: the printed report of a configuration
// document as an A4 PDF, drawn offscreen by the window's own printing code (TPrintout, ExportPdf).
// Started by "lumetra-cli report", which has checked the command line.
#include <QApplication>
#include <QImage>
#include <cstdio>
#include <string>
#include <vector>

#include "documents/ConfigDocument.h"
#include "documents/DeviceReports.h"
#include "model/Error.h"
#include "ui/ReportPrinting.h"

using namespace lumetra;

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
    if (plan) {
      // The plan picture is drawn by the floor plan view; a document alone has none.
      std::fputs("lumetra-report-pdf: Nie je čo tlačiť: rozmiestnenie nie je k dispozícii\n",
                 stderr);
      return 1;
    }
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
      std::fputs("lumetra-report-pdf: Nie je čo tlačiť: dokument neobsahuje žiadne zariadenie\n",
                 stderr);
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
