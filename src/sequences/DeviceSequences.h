// What the control device editor sends, as functions over a bus session and the control device
// table: each goes to the table's selection (one device, a group or all devices) and stores in the
// table only what reached the bus.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "buslink/BusSession.h"
#include "sequences/GearSequences.h"

namespace lumetra {

class TConfig;
class TControllerConfig;
struct KindImage;

// The address byte of the selection on the control device bus: the slot for a device, 0x80 + g for
// group g, 0xFF for all devices. Every kind editor sends to the same byte.
uint8_t DeviceAddress(const TConfig& table);

// RESET takes this parameter.
inline constexpr uint8_t kDeviceResetParameter = 2;

// Group membership as the user set it: true joins group g, false leaves it, none was not touched.
// A device takes its groups eight at a time, so a half is sent when any of its groups was given,
// the others as the table holds them; a half with a membership never read is refused. For a group
// or all devices the table's group slot holds the rest, and every member takes the half it was
// sent, as the devices do.
using DeviceGroups = std::array<std::optional<bool>, 16>;
SequenceResult WriteDeviceGroups(BusSession& session, TControllerConfig& table,
                                 const DeviceGroups& groups, const ItemWritten& written = {});

// ENABLE or DISABLE MULTIMASTER to the selection; refused for an opto-relay, which has no such
// setting.
SequenceResult WriteMultimaster(BusSession& session, TControllerConfig& table, bool on);

// The selected device moves to `newAddress` (255 deletes its address) with its record; refused for
// a group, a free slot, the device's own address, an address in use or out of range, with the
// reason in the result's text.
SequenceResult ChangeDeviceShortAddress(BusSession& session, TControllerConfig& table,
                                        int newAddress);

// "Lokalizovať": IDENTIFY_DEVICE to the selection.
SequenceResult LocateDevice(BusSession& session, const TConfig& table);

// The factory reset of the selection; the table keeps what it holds.
SequenceResult ResetDevice(BusSession& session, const TConfig& table);

// The bank of a control device's configuration memory.
inline constexpr uint8_t kConfigBank = 0xB0;

// Writes `bytes` into the configuration memory of the selection from `offset` on, in the one
// pattern every kind editor uses: SET BANK 0xB0, SET DTR `offset`, ENABLE WRITE MEMORY, one WRITE
// MEMORY SINGLE BYTE per byte in order (the device moves its location on by one per byte), DISABLE
// WRITE MEMORY. The disable goes out whenever the enable went through, also after a failed byte
// (best effort: the result names the first failure). `written(n)` is told after each byte that
// went through, n counting from 1. Nothing is sent to a free slot.
SequenceResult WriteDeviceMemory(BusSession& session, const TConfig& table, uint8_t offset,
                                 const std::vector<uint8_t>& bytes,
                                 const std::function<void(int written)>& written = {});
// Exchanges of WriteDeviceMemory before its first byte (SET BANK, SET DTR, ENABLE WRITE MEMORY):
// a counter fed by the session's exchanges takes them off.
inline constexpr int kMemoryWriteLeadIn = 3;

// One memory write of consecutive locations: the image indices and the bytes they hold.
struct MemoryRun {
  uint8_t location = 0;
  std::vector<uint16_t> indices;
  std::vector<uint8_t> bytes;
};

// What a kind editor's "Zapísať" sends of a part of the selected record's image: exactly the
// bytes that were set (typed, or opened from a document) and differ from what the device is known
// to hold, never a byte nobody read or set. Consecutive locations go as one run of the memory
// pattern, so a fully set image is one write of the whole part and a one-field change a handful of
// exchanges.
struct ImageWrite {
  const KindImage* kind = nullptr;
  std::vector<MemoryRun> runs;

  int Bytes() const;
  // Data bytes that went through once `exchanges` exchanges of the write were sent (every run
  // adds its lead-in and DISABLE WRITE MEMORY).
  int BytesAfter(int exchanges) const;
};

// Image indices [first, last) of `kind`, for the selected record and its firmware.
ImageWrite PlanImageWrite(TControllerConfig& table, const KindImage& kind, uint16_t first,
                          uint16_t last);

// The kind's enable byte (the last of its image), as PlanImageWrite plans it.
ImageWrite PlanEnableWrite(TControllerConfig& table, const KindImage& kind);

// Sends the plan's runs with WriteDeviceMemory, in order, and stops at the first failure, naming
// how far it got ("WRITE MEMORY SINGLE BYTE C 09 (bajt 18 z 232)"). Every byte that went through
// counts as held by the device; for a group or all devices every member of the kind (membership
// never read included, as the device may have heard it) holds exactly the bytes that were sent,
// or, where its firmware lays the image out otherwise, no longer knows the locations that were
// written. `written(n)` is told after each byte that went through, n counting from 1. Refused,
// with nothing sent, when there is nothing to write.
SequenceResult WriteImage(BusSession& session, TControllerConfig& table, const ImageWrite& plan,
                          const std::function<void(int written)>& written = {});

// The kind's enable byte, cut to the bits of `mask`, through WriteImage. Refused with `unknown`
// while nobody read or set the byte: an erased byte is never written back as if it were a choice.
SequenceResult WriteEnableByte(BusSession& session, TControllerConfig& table, const KindImage& kind,
                               const std::string& unknown, uint8_t mask = 0xFF);

}  // namespace lumetra
