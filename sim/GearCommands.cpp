// The control gear command set (IEC 62386-102 as the configurator uses it) as constexpr tables.
#include <algorithm>

#include "sim/Addressing.h"
#include "sim/Commands.h"

namespace lumetra::sim {

namespace {

using addressing::GearAddressByte;

// Dimming steps UP and DOWN make in their 200 ms at fade rate 1..15 (steps/s = 506 / sqrt(2)^rate).
constexpr std::array<uint8_t, 16> kStepsPer200ms = {0, 72, 51, 36, 25, 18, 13, 9,
                                                    6, 4,  3,  2,  2,  1,  1,  1};

void SetArcPower(ControlGear& g, uint8_t level) {
  g.powerFailure = false;
  if (level == 0) {
    g.actualLevel = 0;
    g.limitError = false;
    return;
  }
  const uint8_t clamped = std::clamp(level, g.minLevel, g.maxLevel);
  g.limitError = clamped != level;
  g.actualLevel = clamped;
}

// --- direct arc power and direct commands ---
Answer ArcPower(ControlGear& g, uint8_t level, LineContext&) {
  if (level != 0xFF) SetArcPower(g, level);  // 0xFF is MASK: stop fading, keep the level
  return kNo;
}
Answer Off(ControlGear& g, uint8_t, LineContext&) {
  SetArcPower(g, 0);
  return kNo;
}
Answer Up(ControlGear& g, uint8_t, LineContext&) {
  if (g.actualLevel > 0) {
    SetArcPower(g, static_cast<uint8_t>(
                       std::min<int>(g.maxLevel, g.actualLevel + kStepsPer200ms[g.fadeRate])));
  }
  return kNo;
}
Answer Down(ControlGear& g, uint8_t, LineContext&) {
  if (g.actualLevel > 0) {
    SetArcPower(g, static_cast<uint8_t>(
                       std::max<int>(g.minLevel, g.actualLevel - kStepsPer200ms[g.fadeRate])));
  }
  return kNo;
}
Answer StepUp(ControlGear& g, uint8_t, LineContext&) {
  if (g.actualLevel > 0 && g.actualLevel < g.maxLevel) SetArcPower(g, g.actualLevel + 1);
  return kNo;
}
Answer StepDown(ControlGear& g, uint8_t, LineContext&) {
  if (g.actualLevel > g.minLevel) SetArcPower(g, g.actualLevel - 1);
  return kNo;
}
Answer RecallMax(ControlGear& g, uint8_t, LineContext&) {
  SetArcPower(g, g.maxLevel);
  return kNo;
}
Answer RecallMin(ControlGear& g, uint8_t, LineContext&) {
  SetArcPower(g, g.minLevel);
  return kNo;
}
Answer StepDownAndOff(ControlGear& g, uint8_t, LineContext&) {
  if (g.actualLevel == 0) return kNo;
  SetArcPower(g, g.actualLevel <= g.minLevel ? 0 : g.actualLevel - 1);
  return kNo;
}
Answer OnAndStepUp(ControlGear& g, uint8_t, LineContext&) {
  if (g.actualLevel == 0) {
    SetArcPower(g, g.minLevel);
  } else if (g.actualLevel < g.maxLevel) {
    SetArcPower(g, g.actualLevel + 1);
  }
  return kNo;
}
Answer GoToScene(ControlGear& g, uint8_t opcode, LineContext&) {
  const uint8_t level = g.scenes[opcode & 0x0F];
  if (level != 0xFF) SetArcPower(g, level);
  return kNo;
}

// --- configuration commands (sent twice) ---
Answer Reset(ControlGear& g, uint8_t, LineContext&) {
  g.Reset();
  return kNo;
}
Answer ActualLevelToDtr(ControlGear& g, uint8_t, LineContext&) {
  g.dtr = g.actualLevel;
  return kNo;
}
Answer StoreMax(ControlGear& g, uint8_t, LineContext&) {
  g.maxLevel = std::clamp<uint8_t>(g.dtr, g.minLevel, 254);
  if (g.actualLevel > g.maxLevel) g.actualLevel = g.maxLevel;
  return kNo;
}
Answer StoreMin(ControlGear& g, uint8_t, LineContext&) {
  g.minLevel = std::clamp<uint8_t>(g.dtr, g.physicalMin, g.maxLevel);
  if (g.actualLevel > 0 && g.actualLevel < g.minLevel) g.actualLevel = g.minLevel;
  return kNo;
}
Answer StoreFailure(ControlGear& g, uint8_t, LineContext&) {
  g.failureLevel = g.dtr;
  return kNo;
}
Answer StorePowerOn(ControlGear& g, uint8_t, LineContext&) {
  g.powerOnLevel = g.dtr;
  return kNo;
}
Answer StoreFadeTime(ControlGear& g, uint8_t, LineContext&) {
  g.fadeTime = std::min<uint8_t>(g.dtr, 15);
  return kNo;
}
Answer StoreFadeRate(ControlGear& g, uint8_t, LineContext&) {
  g.fadeRate = std::clamp<uint8_t>(g.dtr, 1, 15);
  return kNo;
}
Answer StoreScene(ControlGear& g, uint8_t opcode, LineContext&) {
  g.scenes[opcode & 0x0F] = g.dtr;
  return kNo;
}
Answer RemoveFromScene(ControlGear& g, uint8_t opcode, LineContext&) {
  g.scenes[opcode & 0x0F] = 0xFF;
  return kNo;
}
Answer AddToGroup(ControlGear& g, uint8_t opcode, LineContext&) {
  g.groups |= static_cast<uint16_t>(1u << (opcode & 0x0F));
  return kNo;
}
Answer RemoveFromGroup(ControlGear& g, uint8_t opcode, LineContext&) {
  g.groups &= static_cast<uint16_t>(~(1u << (opcode & 0x0F)));
  return kNo;
}
Answer StoreShortAddress(ControlGear& g, uint8_t, LineContext&) {
  addressing::SetShortAddress<GearAddressByte>(g, g.dtr);
  return kNo;
}
Answer EnableWriteMemory(ControlGear& g, uint8_t, LineContext&) {
  g.writeEnabled = g.diagnostics;
  return kNo;
}

// --- queries ---
Answer QueryStatus(ControlGear& g, uint8_t, LineContext&) { return g.Status(); }
Answer QueryBalast(ControlGear&, uint8_t, LineContext&) { return kYes; }
Answer QueryLampFailure(ControlGear& g, uint8_t, LineContext&) { return YesIf(g.lampFailure); }
Answer QueryLampPowerOn(ControlGear& g, uint8_t, LineContext&) { return YesIf(g.actualLevel > 0); }
Answer QueryLimitError(ControlGear& g, uint8_t, LineContext&) { return YesIf(g.limitError); }
Answer QueryResetState(ControlGear& g, uint8_t, LineContext&) { return YesIf(g.InResetState()); }
Answer QueryMissingShort(ControlGear& g, uint8_t, LineContext&) {
  return YesIf(g.shortAddress == kNoShortAddress);
}
Answer QueryVersion(ControlGear& g, uint8_t, LineContext&) { return g.version; }
Answer QueryDtr(ControlGear& g, uint8_t, LineContext&) { return g.dtr; }
Answer QueryDeviceType(ControlGear& g, uint8_t, LineContext&) { return g.deviceType; }
Answer QueryPhysicalMin(ControlGear& g, uint8_t, LineContext&) { return g.physicalMin; }
Answer QueryPowerFailure(ControlGear& g, uint8_t, LineContext&) { return YesIf(g.powerFailure); }
Answer QueryActualLevel(ControlGear& g, uint8_t, LineContext&) { return g.actualLevel; }
Answer QueryMaxLevel(ControlGear& g, uint8_t, LineContext&) { return g.maxLevel; }
Answer QueryMinLevel(ControlGear& g, uint8_t, LineContext&) { return g.minLevel; }
Answer QueryPowerOnLevel(ControlGear& g, uint8_t, LineContext&) { return g.powerOnLevel; }
Answer QueryFailureLevel(ControlGear& g, uint8_t, LineContext&) { return g.failureLevel; }
Answer QueryFadeTimeRate(ControlGear& g, uint8_t, LineContext&) {
  return static_cast<uint8_t>((g.fadeTime << 4) | g.fadeRate);
}
Answer QuerySceneLevel(ControlGear& g, uint8_t opcode, LineContext&) {
  return g.scenes[opcode & 0x0F];
}
Answer QueryGroupsLow(ControlGear& g, uint8_t, LineContext&) {
  return static_cast<uint8_t>(g.groups & 0xFF);
}
Answer QueryGroupsHigh(ControlGear& g, uint8_t, LineContext&) {
  return static_cast<uint8_t>(g.groups >> 8);
}
Answer QueryRandomH(ControlGear& g, uint8_t, LineContext&) {
  return static_cast<uint8_t>(g.randomAddress >> 16);
}
Answer QueryRandomM(ControlGear& g, uint8_t, LineContext&) {
  return static_cast<uint8_t>(g.randomAddress >> 8);
}
Answer QueryRandomL(ControlGear& g, uint8_t, LineContext&) {
  return static_cast<uint8_t>(g.randomAddress);
}

// The maker's diagnostic memory: 0..3 settings, 4..8 live measurements that move on every read
// (the lamp voltage follows the lamp).
uint8_t LiveValue(ControlGear& g, uint8_t location, LineContext& ctx) {
  const int nominal = g.nominal[location];
  int value = location == 5 ? nominal * g.actualLevel / 254 : nominal;
  if (value > 0) value += static_cast<int>(ctx.Below(5)) - 2;
  g.memory[location] = static_cast<uint8_t>(std::clamp(value, 0, 255));
  return g.memory[location];
}
void AdvanceDtr(ControlGear& g) {
  if (g.dtr < 0xFF) ++g.dtr;
}
Answer ReadMemoryLocation(ControlGear& g, uint8_t, LineContext& ctx) {
  if (!g.diagnostics) return kNo;
  const uint8_t location = g.dtr;
  AdvanceDtr(g);
  if (location >= kDiagnosticBytes) return kNo;
  return location < 4 ? g.memory[location] : LiveValue(g, location, ctx);
}

// --- special commands: every gear hears them ---
Answer Dtr(ControlGear& g, uint8_t data, LineContext&) {
  g.dtr = data;
  return kNo;
}
Answer Dtr1(ControlGear& g, uint8_t data, LineContext&) {
  g.dtr1 = data;
  return kNo;
}
Answer Dtr2(ControlGear& g, uint8_t data, LineContext&) {
  g.dtr2 = data;
  return kNo;
}
// 0 selects every gear, 0xFF those without a short address, 2a+1 the gear at a.
Answer Initialize(ControlGear& g, uint8_t data, LineContext&) {
  if (data == 0x00 || addressing::Named<GearAddressByte>(data) == g.shortAddress) {
    g.initialise = Initialise::kEnabled;
  }
  return kNo;
}
Answer ProgramShortAddress(ControlGear& g, uint8_t data, LineContext&) {
  if (g.Selected()) addressing::SetShortAddress<GearAddressByte>(g, data);
  return kNo;
}
// 0xFF verifies no gear, not even one without an address.
Answer VerifyShortAddress(ControlGear& g, uint8_t data, LineContext&) {
  return YesIf(g.initialise != Initialise::kDisabled &&
               GearAddressByte::Address(data) == g.shortAddress);
}
template <bool Reply>
Answer WriteMemoryLocation(ControlGear& g, uint8_t data, LineContext&) {
  if (!g.writeEnabled) return kNo;
  const uint8_t location = g.dtr;
  AdvanceDtr(g);
  if (location >= 4) return kNo;  // 4..8 are measurements, not settings
  g.memory[location] = data;
  g.nominal[location] = data;
  return Reply ? Answer(data) : kNo;
}

constexpr GearCommand Plain(GearCommand::Handler h) { return {h, false, false, false}; }
constexpr GearCommand Twice(GearCommand::Handler h) { return {h, true, false, false}; }
constexpr GearCommand Query(GearCommand::Handler h) { return {h, false, true, false}; }

constexpr std::array<GearCommand, 256> kAddressed = [] {
  std::array<GearCommand, 256> t{};
  t[0x00] = Plain(Off);
  t[0x01] = Plain(Up);
  t[0x02] = Plain(Down);
  t[0x03] = Plain(StepUp);
  t[0x04] = Plain(StepDown);
  t[0x05] = Plain(RecallMax);
  t[0x06] = Plain(RecallMin);
  t[0x07] = Plain(StepDownAndOff);
  t[0x08] = Plain(OnAndStepUp);
  for (int s = 0; s < 16; ++s) {
    t[0x10 + s] = Plain(GoToScene);
    t[0x40 + s] = Twice(StoreScene);
    t[0x50 + s] = Twice(RemoveFromScene);
    t[0x60 + s] = Twice(AddToGroup);
    t[0x70 + s] = Twice(RemoveFromGroup);
    t[0xB0 + s] = Query(QuerySceneLevel);
  }
  t[0x20] = Twice(Reset);
  t[0x21] = Twice(ActualLevelToDtr);
  t[0x2A] = Twice(StoreMax);
  t[0x2B] = Twice(StoreMin);
  t[0x2C] = Twice(StoreFailure);
  t[0x2D] = Twice(StorePowerOn);
  t[0x2E] = Twice(StoreFadeTime);
  t[0x2F] = Twice(StoreFadeRate);
  t[0x80] = Twice(StoreShortAddress);
  // The configurator's diagnostics page sends it once, as the maker's ballasts accept it.
  t[0x81] = {EnableWriteMemory, false, false, true};
  t[0x90] = Query(QueryStatus);
  t[0x91] = Query(QueryBalast);
  t[0x92] = Query(QueryLampFailure);
  t[0x93] = Query(QueryLampPowerOn);
  t[0x94] = Query(QueryLimitError);
  t[0x95] = Query(QueryResetState);
  t[0x96] = Query(QueryMissingShort);
  t[0x97] = Query(QueryVersion);
  t[0x98] = {QueryDtr, false, true, true};
  t[0x99] = Query(QueryDeviceType);
  t[0x9A] = Query(QueryPhysicalMin);
  t[0x9B] = Query(QueryPowerFailure);
  t[0xA0] = Query(QueryActualLevel);
  t[0xA1] = Query(QueryMaxLevel);
  t[0xA2] = Query(QueryMinLevel);
  t[0xA3] = Query(QueryPowerOnLevel);
  t[0xA4] = Query(QueryFailureLevel);
  t[0xA5] = Query(QueryFadeTimeRate);
  t[0xC0] = Query(QueryGroupsLow);
  t[0xC1] = Query(QueryGroupsHigh);
  t[0xC2] = Query(QueryRandomH);
  t[0xC3] = Query(QueryRandomM);
  t[0xC4] = Query(QueryRandomL);
  t[0xC5] = {ReadMemoryLocation, false, true, true};
  return t;
}();

// Special commands by (address byte - 0xA1) / 2.
constexpr std::array<GearCommand, 32> kSpecial = [] {
  std::array<GearCommand, 32> t{};
  auto at = [&t](uint8_t code) -> GearCommand& { return t[(code - 0xA1) / 2]; };
  at(0xA1) = Plain(addressing::Terminate);
  at(0xA3) = {Dtr, false, false, true};
  at(0xA5) = Twice(Initialize);
  at(0xA7) = Twice(addressing::Randomize);
  at(0xA9) = Query(addressing::Compare);
  at(0xAB) = Plain(addressing::Withdraw);
  at(0xB1) = Plain(addressing::SearchAddress<16>);
  at(0xB3) = Plain(addressing::SearchAddress<8>);
  at(0xB5) = Plain(addressing::SearchAddress<0>);
  at(0xB7) = Plain(ProgramShortAddress);
  at(0xB9) = Query(VerifyShortAddress);
  at(0xBB) = Query(addressing::QueryShortAddress<GearAddressByte>);
  at(0xC3) = {Dtr1, false, false, true};
  at(0xC5) = {Dtr2, false, false, true};
  at(0xC7) = {WriteMemoryLocation<true>, false, true, true};
  at(0xC9) = {WriteMemoryLocation<false>, false, false, true};
  return t;
}();

constexpr GearCommand kArcPower = Plain(ArcPower);

}  // namespace

const GearCommand& AddressedGearCommand(uint8_t opcode) { return kAddressed[opcode]; }
const GearCommand& ArcPowerCommand() { return kArcPower; }
const GearCommand* SpecialGearCommand(uint8_t addressByte) {
  if (addressByte < 0xA1 || addressByte > 0xDF || (addressByte & 1) == 0) return nullptr;
  return &kSpecial[(addressByte - 0xA1) / 2];
}

}  // namespace lumetra::sim
