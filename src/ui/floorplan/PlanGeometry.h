// The floor plan's rules without its widgets: the drawing area, where a dropped or typed position
// may lie, which look a lamp's status gives, the captions and the kind letters of the printed plan.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lumetra {

class TConfig;

namespace plan {

// The drawing area (its scroll ranges) and one device button.
inline constexpr int kWidth = 1500;
inline constexpr int kHeight = 1100;
inline constexpr int kButtonWidth = 75;
inline constexpr int kButtonHeight = 25;
// A dropped button lands on this grid and keeps this margin to the area's edges.
inline constexpr int kSnap = 5;
inline constexpr int kMargin = 5;
// One wheel notch scrolls this far.
inline constexpr int kScrollStep = 10;
// Typed coordinates: the largest X and Y a button may be given.
inline constexpr int kTypedMaxX = kWidth - 80;
inline constexpr int kTypedMaxY = kHeight - 30;

// One coordinate of a dropped button: down to the grid, at least the margin, and so far from the
// far edge that the whole button stays on the area with the margin (`range` − `size` − 5).
int SnapCoordinate(int value, int range, int size);

struct Position {
  int top;
  int left;
  bool operator==(const Position&) const = default;
};
// Both coordinates of a dropped button of the default size.
Position SnapDrop(Position absolute);

// Where a button is shown: the stored position, kept on the area so that a position from a
// document beyond it (or a huge number) leaves the device reachable.
Position ShownPosition(int top, int left);

// A typed X (Left) or Y (Top) that the side panel accepts.
bool TypedXValid(long long x);
bool TypedYValid(long long y);
// A typed short address the side panel accepts (255, deleting, is not offered there).
bool TypedAddressValid(long long address);

// The status square's look for a control gear status byte: 2 red (lamp failure, bit 1; also a
// status never read, 255), 1 orange (reset state, bit 5, or power failure, bit 7), 0 green.
int StatusLook(uint8_t status);

// Whether the table's current slot shows the group look: every device when all devices are
// selected, otherwise exactly the members (Groups byte 1) of the selected group.
bool InShownGroup(const TConfig& table);

// "A 05", "C 00": the population letter and the slot index.
std::string DeviceCaption(bool controlDevice, int slot);
// The caption of a lamp with the status display on: its actual level as shown ("%d%%" or "%d"),
// or "?" for a level not read (255 in both units), which is no level at all.
std::string LevelCaption(uint32_t level, bool percent);

// The printed plan's kind letter of a control device ("T", "P", "S", "O", "PS"); empty for others.
std::string_view KindLetter(uint32_t kind);
// The printed caption of a control device: "C 07 - T", or "C 07" for a kind without a letter.
std::string DeviceLabel(int slot, uint32_t kind);

// "6 - LED", "129 - Spínač": the device type with its name, as the side panel shows it.
std::string DeviceTypeText(bool controlDevice, uint32_t type);

}  // namespace plan
}  // namespace lumetra
