// Fuzz target: the settings loader. It never fails, gives every control a value of its range, and
// what it gives is saved and read back unchanged.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzFile.h"
#include "documents/Settings.h"

using namespace lumetra;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = fuzz::ScratchFile("settings.lmc");
  static const std::string again = fuzz::ScratchFile("settings-again.lmc");
  fuzz::WriteFile(path, data, size);

  const Settings s = LoadSettings(path);
  if (s.Interface < 0 || s.Interface > 2) std::abort();
  if (s.Port < -1 || s.Port > 9) std::abort();
  if (s.PercentArc < 0 || s.PercentArc > 1) std::abort();

  SaveSettings(again, s, "2.1.0.25");
  if (!(LoadSettings(again) == s)) std::abort();
  return 0;
}
