// The printed report of a full installation into PDF: the pages of 64 control gear and 64 control
// devices as text, laid out and written as two PDF files, against the report of one device.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QTemporaryDir>

#include "documents/DeviceReports.h"
#include "model/BalastConfig.h"
#include "model/ControllerConfig.h"
#include "ui/ReportPrinting.h"

namespace {

using namespace lumetra;

void Fill(TBalastConfig& gear, TControllerConfig& devices) {
  for (uint8_t a = 0; a < 64; ++a) {
    gear.SetCurrentSlot(a);
    gear.SetShortAddress(a);
    gear.SetDeviceType(6);
    gear.SetVersion(0x12);
    for (uint32_t g = 0; g < 16; ++g) gear.SetGroups(g, (a + g) % 2);
    gear.SetMinLevel(90);
    gear.SetMaxLevel(254);
    for (uint32_t s = 0; s < 16; ++s) gear.SetScenes(s, s * 10);
    devices.SetCurrentSlot(a);
    devices.SetShortAddress(a);
    devices.SetDeviceType(129);
    devices.SetVersion(1);
    devices.SetMinVersion(a);
    for (uint32_t g = 0; g < 16; ++g) devices.SetGroups(g, (a + g) % 3 == 0);
  }
  gear.SetCurrentGroup(TConfig::kAllDevices);
  gear.SetCurrentSlot(TConfig::kGroupSlot);
  devices.SetCurrentGroup(TConfig::kAllDevices);
  devices.SetCurrentSlot(TConfig::kGroupSlot);
}

void Report(TBalastConfig& gear, TControllerConfig& devices, const QTemporaryDir& dir) {
  ReportPages pages;
  ExportPdf(TPrintout::Report(pages, GearReportPages(gear, pages)),
            dir.filePath("svietidla.pdf").toStdString());
  ExportPdf(TPrintout::Report(pages, ControllerReportPages(devices, pages)),
            dir.filePath("ovladace.pdf").toStdString());
}

void BM_ReportPdf_OneDevice(benchmark::State& state) {
  TBalastConfig gear;
  TControllerConfig devices;
  Fill(gear, devices);
  gear.SetCurrentSlot(0);
  devices.SetCurrentSlot(0);
  QTemporaryDir dir;
  for (auto _ : state) Report(gear, devices, dir);
}
BENCHMARK(BM_ReportPdf_OneDevice)->Unit(benchmark::kMillisecond);

// Target: under 2 s for both files.
void BM_ReportPdf_64Gear64Devices(benchmark::State& state) {
  TBalastConfig gear;
  TControllerConfig devices;
  Fill(gear, devices);
  QTemporaryDir dir;
  for (auto _ : state) Report(gear, devices, dir);
  state.counters["sheets"] = 128;
}
BENCHMARK(BM_ReportPdf_64Gear64Devices)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
