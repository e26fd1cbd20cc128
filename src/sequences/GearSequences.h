// What the control gear editor and its diagnostics send, as functions over a bus session and the
// control gear table: each writes to the table's selection (one device, its group or all devices)
// and stores in the table only what reached the bus.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "buslink/BusSession.h"

namespace lumetra {

class TBalastConfig;
class TConfig;

// Nothing was sent: the values or the selection do not allow the write.
inline constexpr int kSequenceRefused = 5;

// The table's selection as a target: its device, its group or all devices.
BusTarget SelectedTarget(const TConfig& table);

// One direct command (OFF, RECALL MAX LEVEL, GO TO SCENE n, …) to the selection.
SequenceResult SendGearCommand(BusSession& session, const TBalastConfig& table,
                               const BusCommand& command);

// The actual level as shown (percent or arc): refused where it converts to no level.
SequenceResult WriteActualLevel(BusSession& session, TBalastConfig& table, uint32_t shown);

// The six settings as shown, in the order they are written.
struct GearSettings {
  uint32_t minLevel = 0;
  uint32_t maxLevel = 0;
  uint32_t powerOnLevel = 0;
  uint32_t failureLevel = 0;
  uint32_t fadeRate = 0;
  uint32_t fadeTime = 0;
};
// Each as DTR and its STORE DTR AS …; a failure leaves the later ones unwritten and unstored.
SequenceResult WriteGearSettings(BusSession& session, TBalastConfig& table,
                                 const GearSettings& settings);

// The group membership and the scenes the selected slot holds.
SequenceResult WriteGearGroups(BusSession& session, TBalastConfig& table);
SequenceResult WriteGearScenes(BusSession& session, TBalastConfig& table);

// The selected device moves to `newAddress` (255 deletes its address); refused for a group, a free
// slot, an occupied or invalid address.
SequenceResult ChangeGearShortAddress(BusSession& session, TBalastConfig& table, int newAddress);

// Step `step` of "Lokalizovať": RECALL MIN LEVEL and RECALL MAX LEVEL in turn.
SequenceResult SendLocateStep(BusSession& session, const BusTarget& target, int step);

// The factory reset of the selection.
SequenceResult ResetGear(BusSession& session, const TBalastConfig& table);

// The maker's diagnostics of gear `a`: nine memory locations from 0 on, none where no answer came
// (a failure leaves the rest unread); the first four written from `values`.
inline constexpr int kDiagnosticLocations = 9;
inline constexpr int kDiagnosticSettings = 4;
using Diagnostics = std::array<std::optional<uint8_t>, kDiagnosticLocations>;
SequenceResult ReadDiagnostics(BusSession& session, int a, Diagnostics& values);
SequenceResult WriteDiagnostics(BusSession& session, int a,
                                const std::array<uint8_t, kDiagnosticSettings>& values);

}  // namespace lumetra
