// The state of one simulated control gear and one simulated control device, as the command tables
// change it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "sim/LineDescription.h"

namespace lumetra::sim {

// Where a unit stands in the random-address procedure.
enum class Initialise : uint8_t { kDisabled, kEnabled, kWithdrawn };

// What the random-address procedure works on; gear and devices run the same procedure over it
// (sim/Addressing.h).
struct RandomAddressing {
  RandomAddressing(uint8_t shortAddress, std::optional<uint32_t> randomAddress)
      : shortAddress(shortAddress), randomAddress(randomAddress.value_or(kUnsetRandomAddress)) {}

  uint8_t shortAddress;
  uint32_t randomAddress;
  uint32_t searchAddress = kUnsetRandomAddress;
  Initialise initialise = Initialise::kDisabled;

  bool Selected() const {
    return initialise != Initialise::kDisabled && randomAddress == searchAddress;
  }
};

struct ControlGear : RandomAddressing {
  explicit ControlGear(const GearDescription& d);

  uint8_t deviceType;
  uint8_t version;
  uint8_t physicalMin;
  uint8_t actualLevel;
  uint8_t maxLevel;
  uint8_t minLevel;
  uint8_t powerOnLevel;
  uint8_t failureLevel;
  uint8_t fadeTime;
  uint8_t fadeRate;
  uint16_t groups;
  std::array<uint8_t, 16> scenes;
  uint8_t dtr = 0;
  uint8_t dtr1 = 0;
  uint8_t dtr2 = 0;
  bool gearFailure;
  bool lampFailure;
  bool powerFailure;
  bool limitError = false;
  bool writeEnabled = false;
  bool diagnostics;
  std::array<uint8_t, kDiagnosticBytes> memory;
  std::array<uint8_t, kDiagnosticBytes> nominal;  // what the live bytes 4..8 wander around

  bool InResetState() const;
  uint8_t Status() const;
  void Reset();
};

struct ControlDevice : RandomAddressing {
  explicit ControlDevice(const DeviceDescription& d);

  uint8_t kind;
  uint8_t versionMajor;
  uint8_t versionMinor;
  uint8_t status;
  std::vector<uint8_t> config;   // memory bank 0xB0
  std::vector<uint8_t> factory;  // bank 0xB0 as RESET brings it back
  uint8_t bank = 0x90;
  uint8_t dtr = 0;
  uint8_t dtr1 = 0;
  bool writeEnabled = false;
  bool identifying = false;
  uint16_t illuminance;
  uint8_t inputs = 0;   // switch: bit i = input i on
  uint8_t outputs = 0;  // opto-relay: bit i = output A + i on
  bool motion = false;
  std::array<uint8_t, 4> indicators{};

  bool Multimaster() const { return (config[6] & 0x80) != 0; }
  uint16_t Groups() const { return static_cast<uint16_t>(config[1] | (config[2] << 8)); }
  // The byte at `location` of the selected bank, or nothing where the bank has no memory.
  std::optional<uint8_t> Read(uint8_t location) const;
  // The light sensor of firmware up to 1.002 hands the low byte of its measurement over in DTR.
  bool LowByteInDtr() const {
    return kind == kKindLightSensor && versionMajor == 1 && versionMinor <= 2;
  }
  // An opto-relay hears `message` that device `source` put on the line and switches its outputs
  // as its responses in bank 0xB0 say; any other kind ignores it.
  void HearMessage(uint8_t source, uint8_t message);
  void Reset();
};

}  // namespace lumetra::sim
