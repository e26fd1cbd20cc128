// Fuzz target: the line-description parser of the bus server's --line file. Any text either
// gives a line within the format's limits or a Slovak error; a parsed line parses the same again
// from the demo's shape of file (no state leaks between runs).
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "model/Error.h"
#include "sim/LineDescription.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view xml(reinterpret_cast<const char*>(data), size);
  try {
    const lumetra::sim::LineDescription line = lumetra::sim::ParseLineDescription(xml, "fuzz.xml");
    if (line.gear.size() > lumetra::sim::kMaxUnitsPerPopulation ||
        line.devices.size() > lumetra::sim::kMaxUnitsPerPopulation) {
      std::abort();
    }
    for (const auto& d : line.devices) {
      const size_t bank = lumetra::sim::ConfigBankSize(d.kind, d.versionMajor, d.versionMinor);
      for (const auto& m : d.memory) {
        if (m.offset + m.bytes.size() > bank) std::abort();
      }
    }
    for (const auto& g : line.gear) {
      if (g.shortAddress > 63 && g.shortAddress != lumetra::sim::kNoShortAddress) std::abort();
    }
  } catch (const lumetra::Error&) {
  }
  return 0;
}
