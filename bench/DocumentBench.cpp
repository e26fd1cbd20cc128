// The configuration document of a full installation (64 control gear, 64 control devices with
// every image byte set): building its text, saving it to disk, opening it, and its size.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>

#include "documents/ConfigDocument.h"

namespace {

using namespace lumetra;
namespace fs = std::filesystem;

const DocumentStamp kStamp{"2.1.0.25", {2024, 3, 5, 9, 7, 2}};
constexpr uint8_t kKinds[] = {kKindSwitch, kKindPirSensor, kKindLightSensor, kKindOptoRelay,
                              kKindPirLightSensor};

struct Installation {
  TBalastConfig gear;
  TControllerConfig devices;

  Installation() {
    gear.ResetPositions();
    devices.ResetPositions();
    for (uint8_t i = 0; i < 64; ++i) {
      gear.SetCurrentSlot(i);
      gear.SetShortAddress(i);
      gear.SetDeviceType(6);
      gear.SetVersion(0x21);
      for (int g = 0; g < 16; ++g) gear.SetGroups(g, (i + g) % 3 == 0);
      gear.SetPhysicalMinLevel(85);
      gear.SetMinLevel(90 + i);
      gear.SetMaxLevel(254);
      gear.SetPowerOnLevel(200);
      gear.SetFailureLevel(254);
      gear.SetFadeRate(7);
      gear.SetFadeTime(3);
      for (int s = 0; s < 16; ++s) gear.SetScenes(s, s * 15 + i % 15);
      gear.SetTop(-i * 30);
      gear.SetLeft(i * 80);

      const uint8_t kind = kKinds[i % std::size(kKinds)];
      devices.SetCurrentSlot(i);
      devices.SetShortAddress(i);
      devices.SetDeviceType(kind);
      devices.SetVersion(1);
      devices.SetMinVersion(9);
      for (int g = 0; g < 16; ++g) devices.SetGroups(g, (i + g) % 2);
      devices.SetMultimaster(i % 2);
      KindRecord image = devices.Image(*KindImageFor(kind));
      for (uint32_t b = 0; b < image.Image().length; ++b)
        image.SetImageByteAt(b, (b * 7 + i) & 0xFF);
    }
  }
};

// Until the kinds' own sections are registered, every image byte written as one element: about
// the size and the work those sections will add, so that the targets are checked with them.
KindSections ImageStandIn() {
  KindSections kinds;
  for (uint8_t kind : kKinds) {
    kinds.Add(kind,
              {[](pugi::xml_node entry, TControllerConfig& table) {
                 pugi::xml_node section = entry.append_child("image");
                 KindRecord image = table.Image(*KindImageFor(table.DeviceType()));
                 for (uint32_t b = 0; b < image.Image().length; ++b)
                   AddNumber(section, "byte", image.ImageByteAt(b)).append_attribute("index") = b;
               },
               [](const DocumentReader& reader, pugi::xml_node entry, TControllerConfig& table) {
                 KindRecord image = table.Image(*KindImageFor(table.DeviceType()));
                 reader.ForEachChild(reader.Child(entry, "image"), image.Image().length,
                                     [&](pugi::xml_node byte, int b) {
                                       image.SetImageByteAt(b, reader.Byte(byte));
                                     });
               }});
  }
  return kinds;
}

const KindSections& Sections(const benchmark::State& state) {
  static const KindSections standIn = ImageStandIn();
  return state.range(0) ? standIn : ProgramKindSections();
}

std::string BenchPath(const char* name) {
  return (fs::temp_directory_path() /
          (std::string("lumetra-bench-") + name + "-" + std::to_string(::getpid()) + ".dcf"))
      .string();
}

void BM_DocumentText(benchmark::State& state) {
  Installation installation;
  const KindSections& kinds = Sections(state);
  size_t bytes = 0;
  for (auto _ : state) {
    const std::string text = DocumentText(installation.gear, installation.devices, kStamp, kinds);
    bytes = text.size();
    benchmark::DoNotOptimize(text.data());
  }
  state.counters["document_bytes"] = static_cast<double>(bytes);
}

// The whole save as the user waits for it: text, temporary file, fsync, rename.
void BM_SaveDocument(benchmark::State& state) {
  Installation installation;
  const KindSections& kinds = Sections(state);
  const std::string path = BenchPath("save");
  for (auto _ : state) SaveDocument(path, installation.gear, installation.devices, kStamp, kinds);
  state.counters["document_bytes"] = static_cast<double>(fs::file_size(path));
  fs::remove(path);
}

void BM_LoadDocument(benchmark::State& state) {
  Installation installation;
  const KindSections& kinds = Sections(state);
  const std::string path = BenchPath("load");
  SaveDocument(path, installation.gear, installation.devices, kStamp, kinds);
  TBalastConfig gear;
  TControllerConfig devices;
  for (auto _ : state) {
    LoadDocument(path, gear, devices, kinds);
    benchmark::DoNotOptimize(gear.Record(0));
  }
  if (gear.UsedSlotCount() != 64 || devices.UsedSlotCount() != 64)
    state.SkipWithError("the document did not open completely");
  state.counters["document_bytes"] = static_cast<double>(fs::file_size(path));
  fs::remove(path);
}

// Argument 0: the program's kind sections; 1: with the image stand-in for the kinds.
BENCHMARK(BM_DocumentText)->ArgName("kinds")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveDocument)->ArgName("kinds")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadDocument)->ArgName("kinds")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
