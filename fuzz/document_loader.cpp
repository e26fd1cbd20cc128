// Fuzz target: the configuration document loader. A file that loads must save to a document that
// loads into the very same tables; a file that fails must leave the open tables as they were and
// fail only with the program's own error.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzFile.h"
#include "documents/ConfigDocument.h"
#include "model/Error.h"

using namespace lumetra;

namespace {

void Add(std::vector<uint8_t>& out, const void* p, size_t n) {
  const auto* b = static_cast<const uint8_t*>(p);
  out.insert(out.end(), b, b + n);
}

// Every byte of both tables: records, slots, positions, the selection and the mode.
std::vector<uint8_t> Bytes(const TBalastConfig& gear, const TControllerConfig& devices) {
  std::vector<uint8_t> out;
  for (const TConfig* t :
       {static_cast<const TConfig*>(&gear), static_cast<const TConfig*>(&devices)}) {
    for (uint32_t i = 0; i < TConfig::kSlotCount; ++i) {
      Add(out, t->SlotAt(i), sizeof(DeviceSlot));
      Add(out, t->PositionAt(i), sizeof(SlotPosition));
    }
    out.push_back(t->CurrentSlot());
    out.push_back(t->CurrentGroup());
    out.push_back(t->PercentMode());
  }
  for (uint32_t i = 0; i < TConfig::kSlotCount; ++i) {
    Add(out, gear.Record(i), sizeof(GearRecord));
    Add(out, devices.Record(i), sizeof(ControllerRecord));
  }
  return out;
}

// An installation already open when the file is loaded.
void FillOpen(TBalastConfig& gear, TControllerConfig& devices) {
  gear.SetCurrentSlot(7);
  gear.SetShortAddress(7);
  gear.SetMaxLevel(200);
  gear.SetTop(-40);
  devices.SetCurrentSlot(2);
  devices.SetShortAddress(2);
  devices.SetDeviceType(3);
  devices.SetLeft(90);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = fuzz::ScratchFile("document.dcf");
  static const DocumentStamp stamp{"2.1.0.25", {2024, 3, 5, 9, 7, 2}};
  fuzz::WriteFile(path, data, size);

  TBalastConfig gear;
  TControllerConfig devices;
  FillOpen(gear, devices);
  const std::vector<uint8_t> before = Bytes(gear, devices);
  try {
    LoadDocument(path, gear, devices);
  } catch (const Error& e) {
    if (Bytes(gear, devices) != before) std::abort();
    if (std::strlen(e.what()) == 0) std::abort();
    return 0;
  }

  const std::vector<uint8_t> loaded = Bytes(gear, devices);
  const std::string saved = DocumentText(gear, devices, stamp);
  fuzz::WriteFile(path, saved.data(), saved.size());
  TBalastConfig gearAgain;
  TControllerConfig devicesAgain;
  FillOpen(gearAgain, devicesAgain);
  try {
    LoadDocument(path, gearAgain, devicesAgain);
  } catch (const Error&) {
    std::abort();  // the program cannot open what it wrote
  }
  if (Bytes(gearAgain, devicesAgain) != loaded) std::abort();
  return 0;
}
