// The floor plan's rules.
#include "ui/floorplan/PlanGeometry.h"

#include <algorithm>
#include <cstdio>

#include "model/Config.h"
#include "model/GearTypeNames.h"
#include "model/KindImage.h"
#include "model/KindNames.h"

namespace lumetra::plan {

int SnapCoordinate(int value, int range, int size) {
  const int snapped = (value / kSnap) * kSnap;
  if (snapped <= 0) return kMargin;
  return std::min(snapped, range - size - kMargin);
}

Position SnapDrop(Position absolute) {
  return {SnapCoordinate(absolute.top, kHeight, kButtonHeight),
          SnapCoordinate(absolute.left, kWidth, kButtonWidth)};
}

Position ShownPosition(int top, int left) {
  return {std::clamp(top, 0, kHeight - kButtonHeight), std::clamp(left, 0, kWidth - kButtonWidth)};
}

bool TypedXValid(long long x) { return x >= kMargin && x <= kTypedMaxX; }

bool TypedYValid(long long y) { return y >= kMargin && y <= kTypedMaxY; }

bool TypedAddressValid(long long address) { return address >= 0 && address <= 63; }

int StatusLook(uint8_t status) {
  if (status & 0x02) return 2;
  if (status & (0x20 | 0x80)) return 1;
  return 0;
}

bool InShownGroup(const TConfig& table) {
  const uint8_t group = table.CurrentGroup();
  if (group == TConfig::kAllDevices) return true;
  return group < 16 && table.Groups(group) == 1;
}

std::string DeviceCaption(bool controlDevice, int slot) {
  char text[16];
  std::snprintf(text, sizeof text, "%c %02d", controlDevice ? 'C' : 'A', slot);
  return text;
}

std::string LevelCaption(uint32_t level, bool percent) {
  if (level == TConfig::kNone) return "?";
  return std::to_string(level) + (percent ? "%" : "");
}

std::string_view KindLetter(uint32_t kind) {
  switch (kind) {
    case kKindSwitch:
      return "T";
    case kKindPirSensor:
      return "P";
    case kKindLightSensor:
      return "S";
    case kKindOptoRelay:
      return "O";
    case kKindPirLightSensor:
      return "PS";
    default:
      return {};
  }
}

std::string DeviceLabel(int slot, uint32_t kind) {
  std::string label = DeviceCaption(true, slot);
  const std::string_view letter = KindLetter(kind);
  if (!letter.empty()) label += " - " + std::string(letter);
  return label;
}

std::string DeviceTypeText(bool controlDevice, uint32_t type) {
  const std::string_view name = controlDevice ? ControllerKindName(type) : DeviceTypeName(type);
  return std::to_string(type) + " - " + std::string(name);
}

}  // namespace lumetra::plan
