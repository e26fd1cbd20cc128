// The random-address procedure (initialise, randomise, compare, withdraw, search, program and
// query short address) as control gear and control devices both run it, written once.
#pragma once

#include <cstdint>
#include <optional>

#include "sim/Commands.h"
#include "sim/Units.h"

namespace lumetra::sim::addressing {

// How a data byte names a short address. Gear read 2a+1 (bit 0 set, bit 7 clear), the shape of
// an address byte; devices the plain number 0..63. 0xFF is "no short address" for both.
struct GearAddressByte {
  static std::optional<uint8_t> Address(uint8_t data) {
    if ((data & 0x81) == 0x01) return static_cast<uint8_t>(data >> 1);
    return std::nullopt;
  }
  static uint8_t Byte(uint8_t shortAddress) { return static_cast<uint8_t>(2 * shortAddress + 1); }
};
struct DeviceAddressByte {
  static std::optional<uint8_t> Address(uint8_t data) {
    if (data < 64) return data;
    return std::nullopt;
  }
  static uint8_t Byte(uint8_t shortAddress) { return shortAddress; }
};

// The short address `data` stands for, kNoShortAddress for 0xFF; nothing when it names none.
template <typename Code>
std::optional<uint8_t> Named(uint8_t data) {
  if (data == 0xFF) return kNoShortAddress;
  return Code::Address(data);
}

// Takes the address `data` names; a byte that names none leaves the unit as it was.
template <typename Code>
void SetShortAddress(RandomAddressing& u, uint8_t data) {
  if (const std::optional<uint8_t> a = Named<Code>(data)) u.shortAddress = *a;
}

// The command handlers. Which frame carries each command, and what INITIALISE selects, stay with
// each population's table.
template <typename Unit>
Answer Terminate(Unit& u, uint8_t, LineContext&) {
  u.initialise = Initialise::kDisabled;
  return kNo;
}
template <typename Unit>
Answer Randomize(Unit& u, uint8_t, LineContext& ctx) {
  if (u.initialise != Initialise::kDisabled) u.randomAddress = ctx.Random24();
  return kNo;
}
template <typename Unit>
Answer Compare(Unit& u, uint8_t, LineContext&) {
  return YesIf(u.initialise == Initialise::kEnabled && u.randomAddress <= u.searchAddress);
}
template <typename Unit>
Answer Withdraw(Unit& u, uint8_t, LineContext&) {
  if (u.Selected()) u.initialise = Initialise::kWithdrawn;
  return kNo;
}
// SEARCHADDRH, M and L: one byte of the search address each.
template <int Shift, typename Unit>
Answer SearchAddress(Unit& u, uint8_t data, LineContext&) {
  if (u.initialise != Initialise::kDisabled) {
    u.searchAddress = (u.searchAddress & ~(0xFFu << Shift)) | (uint32_t{data} << Shift);
  }
  return kNo;
}
// Only the selected unit answers, with its address as the population writes it (0xFF: none).
template <typename Code, typename Unit>
Answer QueryShortAddress(Unit& u, uint8_t, LineContext&) {
  if (!u.Selected()) return kNo;
  return u.shortAddress == kNoShortAddress ? uint8_t{0xFF} : Code::Byte(u.shortAddress);
}

}  // namespace lumetra::sim::addressing
