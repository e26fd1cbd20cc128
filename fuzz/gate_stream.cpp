// Fuzz target: the gate request stream as the bus server executes it, five bytes a request, on
// the demo installation. Every reply is well formed and echoes the request's bytes 1 and 2, and
// every record is one the monitor channel knows.
#include <cstdint>
#include <cstdlib>

#include "sim/LineDescription.h"
#include "sim/SimulatedLine.h"

using namespace lumetra::sim;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const LineDescription demo = DemoLine();
  SimulatedLine line(demo, size);
  line.SetMonitor([](const Frame& record) {
    if (record[0] != 0x62 && record[0] != 0x63 && record[0] != 0x64 && record[0] != 0x67) {
      std::abort();
    }
  });
  for (size_t at = 0; at + 5 <= size; at += 5) {
    const Frame request{data[at], data[at + 1], data[at + 2], data[at + 3], data[at + 4]};
    const Frame reply = line.Exchange(request).reply;
    if (reply[4] != Checksum(reply)) std::abort();
    if (reply[0] != 0x60 && reply[0] != 0x62 && reply[0] != 0x67) std::abort();
    if (reply[1] != request[1] || reply[2] != request[2]) std::abort();
  }
  return 0;
}
