// Construction, reset values and status of the simulated gear and devices.
#include "sim/Units.h"

#include <algorithm>

namespace lumetra::sim {

namespace {
constexpr std::array<uint8_t, 16> kNoScenes = {255, 255, 255, 255, 255, 255, 255, 255,
                                               255, 255, 255, 255, 255, 255, 255, 255};
}

ControlGear::ControlGear(const GearDescription& d)
    : RandomAddressing(d.shortAddress, d.randomAddress),
      deviceType(d.deviceType),
      version(d.version),
      physicalMin(d.physicalMin),
      actualLevel(d.actualLevel),
      maxLevel(d.maxLevel),
      minLevel(d.minLevel.value_or(d.physicalMin)),
      powerOnLevel(d.powerOnLevel),
      failureLevel(d.failureLevel),
      fadeTime(d.fadeTime),
      fadeRate(d.fadeRate),
      groups(d.groups),
      scenes(d.scenes),
      gearFailure((d.status & 0x01) != 0),
      lampFailure((d.status & 0x02) != 0),
      powerFailure((d.status & 0x80) != 0),
      diagnostics(d.diagnostics),
      memory(d.diagnosticMemory),
      nominal(d.diagnosticMemory) {}

bool ControlGear::InResetState() const {
  return maxLevel == 254 && minLevel == physicalMin && powerOnLevel == 254 && failureLevel == 254 &&
         fadeTime == 0 && fadeRate == 7 && groups == 0 && scenes == kNoScenes &&
         randomAddress == kUnsetRandomAddress;
}

uint8_t ControlGear::Status() const {
  uint8_t s = 0;
  if (gearFailure) s |= 0x01;
  if (lampFailure) s |= 0x02;
  if (actualLevel > 0) s |= 0x04;
  if (limitError) s |= 0x08;
  if (InResetState()) s |= 0x20;
  if (shortAddress == kNoShortAddress) s |= 0x40;
  if (powerFailure) s |= 0x80;
  return s;
}

void ControlGear::Reset() {
  actualLevel = 254;
  maxLevel = 254;
  minLevel = physicalMin;
  powerOnLevel = 254;
  failureLevel = 254;
  fadeTime = 0;
  fadeRate = 7;
  groups = 0;
  scenes = kNoScenes;
  randomAddress = kUnsetRandomAddress;
  searchAddress = kUnsetRandomAddress;
  limitError = false;
  powerFailure = false;
}

ControlDevice::ControlDevice(const DeviceDescription& d)
    : RandomAddressing(d.shortAddress, d.randomAddress),
      kind(d.kind),
      versionMajor(d.versionMajor),
      versionMinor(d.versionMinor),
      status(d.status),
      config(ConfigBankSize(d.kind, d.versionMajor, d.versionMinor), 0xFF),
      illuminance(d.illuminance) {
  config[1] = static_cast<uint8_t>(d.groups & 0xFF);
  config[2] = static_cast<uint8_t>(d.groups >> 8);
  config[6] = d.multimaster ? 0xFF : 0x7F;
  // The file parser rejects presets beyond the bank; one built in code is cut to fit.
  for (const MemoryPreset& p : d.memory) {
    for (size_t i = 0; i < p.bytes.size() && p.offset + i < config.size(); ++i) {
      config[p.offset + i] = p.bytes[i];
    }
  }
  factory = config;
  factory[1] = 0;
  factory[2] = 0;
}

std::optional<uint8_t> ControlDevice::Read(uint8_t location) const {
  switch (bank) {
    case 0x90: {
      const std::array<uint8_t, 3> identity = {versionMajor, versionMinor, kind};
      if (location < identity.size()) return identity[location];
      return std::nullopt;
    }
    case 0xA0:
      if (location == 0) return status;
      return std::nullopt;
    case 0xB0:
      if (location < config.size()) return config[location];
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

void ControlDevice::Reset() {
  // The multimaster setting survives: it is how the device is wired into the installation.
  const uint8_t multimaster = config[6] & 0x80;
  config = factory;
  config[6] = static_cast<uint8_t>((config[6] & 0x7F) | multimaster);
  dtr = 0;
  dtr1 = 0;
  writeEnabled = false;
  identifying = false;
  inputs = 0;
  outputs = 0;
  motion = false;
  indicators = {};
}

}  // namespace lumetra::sim
