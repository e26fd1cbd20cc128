// The command tables of the simulated line: each command is data (what it does to one unit, whether
// it counts only when sent twice, whether the gateway waits for an answer), looked up by its code.
// These tables are kept apart from the configurator's own on purpose: the line is an independent
// model of the devices, and a table shared with the sender would let one wrong flag (a missing
// send-twice, a query taken for a command) agree with itself and pass every test.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <random>
#include <vector>

#include "sim/Units.h"

namespace lumetra::sim {

// What one unit puts on the line in reply to a frame: a backward frame, or nothing. Yes/no queries
// answer yes with 0xFF and no by keeping quiet.
using Answer = std::optional<uint8_t>;
inline constexpr Answer kYes = 0xFF;
inline constexpr Answer kNo = std::nullopt;
inline Answer YesIf(bool condition) { return condition ? kYes : kNo; }

// What a command may use beyond the unit it acts on.
struct LineContext {
  std::mt19937_64& rng;
  // 24-bit frames the devices put on the line on their own: [address, opcode, data].
  std::vector<std::array<uint8_t, 3>>& ownFrames;
  // 16-bit frames the devices send to the control gear on their own (a switch running one of its
  // sequences): [address byte, opcode or level]. The gear hear them after the frame that caused
  // them.
  std::vector<std::array<uint8_t, 2>>& ownGearFrames;

  uint32_t Random24() { return static_cast<uint32_t>(rng() & 0xFFFFFF); }
  // 0..n-1 from the raw engine bits, so a seed gives the same line on every standard library.
  uint32_t Below(uint32_t n) { return static_cast<uint32_t>(rng() % n); }
};

template <typename Unit>
struct Command {
  using Handler = Answer (*)(Unit&, uint8_t data, LineContext&);
  Handler run = nullptr;
  bool twice = false;  // a configuration command: acts on the second of two identical frames
  bool query = false;  // the gateway waits for an answer
  // Leaves a gear's memory write enable standing (DTR loads and the memory commands themselves).
  bool keepsWriteEnable = false;
};

using GearCommand = Command<ControlGear>;
using DeviceCommand = Command<ControlDevice>;

// Commands to addressed gear, by opcode (address byte odd); the direct arc power command (address
// byte even); special commands by their address byte (odd 0xA1..0xDF), nullptr for any other byte.
const GearCommand& AddressedGearCommand(uint8_t opcode);
const GearCommand& ArcPowerCommand();
const GearCommand* SpecialGearCommand(uint8_t addressByte);

// Control device commands by opcode.
const DeviceCommand& ControlDeviceCommand(uint8_t opcode);

}  // namespace lumetra::sim
