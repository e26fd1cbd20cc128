// The installation on a simulated DALI line: what each control gear and control device is, read
// from a line-description file (XML) or taken from the built-in demo installation.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumetra::sim {

inline constexpr uint8_t kNoShortAddress = 255;
// The random address of gear and devices that were never randomised.
inline constexpr uint32_t kUnsetRandomAddress = 0xFFFFFF;
inline constexpr size_t kDiagnosticBytes = 9;
inline constexpr size_t kMaxUnitsPerPopulation = 64;

// Control device kinds (bank 0x90, location 2), as the configurator names them; the line keeps
// its own copy so that it stays a model of the devices independent of the configurator.
inline constexpr uint8_t kKindSwitch = 129;
inline constexpr uint8_t kKindPirSensor = 131;
inline constexpr uint8_t kKindLightSensor = 133;
inline constexpr uint8_t kKindOptoRelay = 141;
inline constexpr uint8_t kKindPirLightSensor = 142;

struct GearDescription {
  uint8_t shortAddress = kNoShortAddress;
  std::optional<uint32_t> randomAddress;
  uint8_t deviceType = 6;
  uint8_t version = 1;
  uint8_t physicalMin = 1;
  // Fault bits of QUERY STATUS the gear starts with: 0 gear failure, 1 lamp failure, 7 power
  // failure.
  uint8_t status = 0;
  uint8_t actualLevel = 0;
  uint8_t maxLevel = 254;
  std::optional<uint8_t> minLevel;  // the physical minimum when absent
  uint8_t powerOnLevel = 254;
  uint8_t failureLevel = 254;
  uint8_t fadeTime = 0;
  uint8_t fadeRate = 7;
  uint16_t groups = 0;
  std::array<uint8_t, 16> scenes = {255, 255, 255, 255, 255, 255, 255, 255,
                                    255, 255, 255, 255, 255, 255, 255, 255};
  // The maker's ballast: nine diagnostic bytes behind READ MEMORY LOCATION; bytes 4..8 are the
  // nominal values the live measurements wander around.
  bool diagnostics = false;
  std::array<uint8_t, kDiagnosticBytes> diagnosticMemory{};

  bool operator==(const GearDescription&) const = default;
};

// Bytes preset in memory bank 0xB0 of a control device, from `offset` on.
struct MemoryPreset {
  uint8_t offset = 0;
  std::vector<uint8_t> bytes;
  bool operator==(const MemoryPreset&) const = default;
};

struct DeviceDescription {
  uint8_t shortAddress = kNoShortAddress;
  std::optional<uint32_t> randomAddress;
  uint8_t kind = kKindSwitch;
  uint8_t versionMajor = 1;
  uint8_t versionMinor = 0;
  uint8_t status = 0;  // bank 0xA0, location 0
  bool multimaster = false;
  uint16_t groups = 0;
  uint16_t illuminance = 300;  // nominal measured value of light and combined sensors
  std::vector<MemoryPreset> memory;

  bool operator==(const DeviceDescription&) const = default;
};

struct LineDescription {
  std::string name;
  std::vector<GearDescription> gear;
  std::vector<DeviceDescription> devices;
  bool operator==(const LineDescription&) const = default;
};

// The largest line-description file read: 64 gear and 64 devices with every memory byte written
// out take well under 1 MiB.
inline constexpr uint64_t kMaxLineDescriptionBytes = 16 << 20;

// Throws lumetra::Error with a Slovak message naming `sourceName`, the element, its line and the
// attribute when the text is not a valid line description.
LineDescription ParseLineDescription(std::string_view xml, const std::string& sourceName);
// Reads only a regular file of at most kMaxLineDescriptionBytes.
LineDescription LoadLineDescription(const std::string& path);

// The demo installation; its text is the shipped file sim/demo-line.xml, built into the library.
std::string_view DemoLineXml();
LineDescription DemoLine();

// Bytes of a device's kind image in bank 0xB0 from location 7 before the enable byte, by kind and
// firmware; 0 for a kind without an image.
size_t KindImageSize(uint8_t kind, uint8_t major, uint8_t minor);
// Size of bank 0xB0: locations 0..6, the kind image and the enable byte (7 for other kinds).
size_t ConfigBankSize(uint8_t kind, uint8_t major, uint8_t minor);

}  // namespace lumetra::sim
