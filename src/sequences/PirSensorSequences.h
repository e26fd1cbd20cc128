// What the motion sensor editor sends: the enable flag, the lighting sequence with its lights and
// responses as one memory write, and the sensor's test commands. Each goes to the table's
// selection (one device, a group or all devices) and sends only values the table knows.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "buslink/BusSession.h"
#include "sequences/DeviceSequences.h"
#include "sequences/GearSequences.h"

namespace lumetra {

class TConfig;
class TControllerConfig;

// The longest wait of a command: 18:00:00.
inline constexpr uint32_t kPirMaxTimeout = 64800;
// Commands of the sequence and those whose wait is edited.
inline constexpr int kPirCommands = 3;
inline constexpr int kPirTimedCommands = 2;

// The parameters (image indices 0..9) and the 32 responses (10..169) of the selected record in
// image order: what "Zapísať" of the sequence puts into memory from location 7 on.
std::vector<uint8_t> PirSensorSettingsBytes(TControllerConfig& table);

// "Senzor povolený" into location 177 of the selection. Refused while the flag was never read or
// set.
SequenceResult WritePirSensorEnabled(BusSession& session, TControllerConfig& table);

// Of the commands, the controlled lights and the responses (170 bytes from location 7), what
// WriteImage sends. `written(n)` is told after each byte that went through, n counting from 0.
// Refused while a wait to be sent is above 18:00:00.
ImageWrite PlanPirSensorSettings(TControllerConfig& table);
SequenceResult WritePirSensorSettings(BusSession& session, TControllerConfig& table,
                                      const std::function<void(int n)>& written = {});

// The test buttons of the page.
enum class PirSensorTest : uint8_t {
  kAlarm,
  kQuiet,
  kIndicatorOff,
  kIndicatorOn,
  kBlinkWhole,
  kBlinkHalf,
  kBlinkQuarter,
  kBlinkEighth,
};
SequenceResult SendPirSensorTest(BusSession& session, const TConfig& table, PirSensorTest test);

}  // namespace lumetra
