// What the control gear editor and its diagnostics send, as functions over a bus session and the
// control gear table: each writes to the table's selection (one device, its group or all devices)
// and stores in the table only what reached the bus.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
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

// What the user set, as shown (percent or arc); a field without a value is not sent. Only what the
// user changed is given: values the view merely showed (the group slot's zeros, a value never read)
// never reach the devices.
using GearValue = std::optional<uint32_t>;
// Told of each item (a setting by its place in GearSettings, a group, a scene) once it went through
// and is stored, so that a view marks as written exactly what was.
using ItemWritten = std::function<void(int item)>;

// The six settings, in the order they are written.
struct GearSettings {
  GearValue minLevel;
  GearValue maxLevel;
  GearValue powerOnLevel;
  GearValue failureLevel;
  GearValue fadeRate;
  GearValue fadeTime;
};
// Each given one as DTR and its STORE DTR AS …, stored in the table once it went through; a
// failure leaves the later ones unwritten and unstored.
SequenceResult WriteGearSettings(BusSession& session, TBalastConfig& table,
                                 const GearSettings& settings, const ItemWritten& written = {});

// Group membership: true joins group g, false leaves it; none is not sent.
using GearGroups = std::array<std::optional<bool>, 16>;
SequenceResult WriteGearGroups(BusSession& session, TBalastConfig& table, const GearGroups& groups,
                               const ItemWritten& written = {});
// Scene levels as shown; a level that converts to no level (255) takes the device out of the scene.
using GearScenes = std::array<GearValue, 16>;
SequenceResult WriteGearScenes(BusSession& session, TBalastConfig& table, const GearScenes& scenes,
                               const ItemWritten& written = {});

// The selected device moves to `newAddress` (255 deletes its address); refused for a group, a free
// slot, an occupied or invalid address, with the reason in the result's text.
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
