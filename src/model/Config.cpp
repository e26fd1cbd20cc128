// Device table base: slot access under the selection, moves, positions and level conversion.
#include "model/Config.h"

#include <cstring>

namespace lumetra {

// Light output in tenths of a percent for arc levels 0..254: the DALI logarithmic dimming curve.
const std::array<uint16_t, 255> TConfig::ArcToPercentTable = {
    0,   1,   1,   1,   1,   1,   1,   1,   1,   1,   1,   1,   1,   1,   1,    2,    //
    2,   2,   2,   2,   2,   2,   2,   2,   2,   2,   2,   2,   2,   2,   2,    2,    //
    2,   2,   3,   3,   3,   3,   3,   3,   3,   3,   3,   3,   3,   3,   3,    4,    //
    4,   4,   4,   4,   4,   4,   4,   4,   5,   5,   5,   5,   5,   5,   5,    6,    //
    6,   6,   6,   6,   6,   7,   7,   7,   7,   7,   8,   8,   8,   8,   8,    9,    //
    9,   9,   9,   10,  10,  10,  10,  11,  11,  11,  12,  12,  12,  13,  13,   13,   //
    14,  14,  14,  15,  15,  16,  16,  17,  17,  18,  18,  19,  19,  20,  20,   21,   //
    21,  22,  22,  23,  24,  24,  25,  26,  26,  27,  28,  29,  29,  30,  31,   32,   //
    33,  34,  35,  36,  37,  38,  39,  40,  41,  42,  43,  44,  46,  47,  48,   49,   //
    51,  52,  54,  55,  57,  58,  60,  62,  63,  65,  67,  69,  71,  72,  74,   77,   //
    79,  81,  83,  85,  88,  90,  93,  95,  98,  101, 103, 106, 109, 112, 115,  118,  //
    122, 125, 129, 132, 136, 140, 143, 147, 151, 156, 160, 164, 169, 174, 178,  183,  //
    188, 194, 199, 205, 210, 216, 222, 228, 234, 241, 248, 254, 255, 262, 270,  277,  //
    284, 293, 301, 309, 318, 326, 336, 345, 354, 364, 374, 385, 395, 406, 417,  429,  //
    440, 453, 466, 478, 492, 505, 519, 534, 548, 564, 579, 595, 612, 629, 646,  663,  //
    682, 701, 720, 741, 761, 782, 804, 826, 849, 872, 897, 921, 947, 973, 1000,       //
};

// Arc level for 0..100 percent. Not the exact inverse of the curve above: a percentage may read
// back as its neighbour.
const std::array<uint8_t, 101> TConfig::PercentToArcTable = {
    0,   83,  109, 125, 135, 144, 150, 156, 161, 165, 169, 173, 176, 179, 181, 184,  //
    186, 189, 191, 193, 195, 196, 198, 200, 201, 203, 205, 206, 208, 209, 210, 212,  //
    213, 214, 215, 216, 217, 218, 219, 220, 221, 222, 223, 223, 224, 225, 226, 227,  //
    227, 228, 229, 230, 230, 231, 232, 232, 233, 234, 234, 235, 235, 236, 237, 237,  //
    238, 238, 239, 239, 240, 240, 241, 241, 242, 242, 243, 243, 244, 244, 245, 245,  //
    246, 246, 247, 247, 248, 248, 248, 249, 249, 250, 250, 250, 251, 251, 252, 252,  //
    252, 253, 253, 253, 254,                                                         //
};

TConfig::TConfig() { Reset(); }

void TConfig::ClearScratchSlot() { std::memset(&slots_[kGroupSlot], 0, sizeof(DeviceSlot)); }

void TConfig::Reset() {
  currentSlot_ = kGroupSlot;
  currentGroup_ = kAllDevices;
  for (uint8_t i = 0; i < kGroupSlot; ++i) std::memset(&slots_[i], 0xFF, sizeof(DeviceSlot));
}

void TConfig::SetCurrentGroup(uint8_t group) {
  if (group < 16 || group == kAllDevices) currentGroup_ = group;
}

bool TConfig::SelectedOccupied(uint8_t limit) const {
  return currentSlot_ <= limit && Selected().ShortAddress != kNone;
}

uint8_t TConfig::ShortAddress() const {
  return currentSlot_ < kGroupSlot ? Selected().ShortAddress : kNone;
}

void TConfig::SetShortAddress(uint32_t value) {
  if (currentSlot_ < kGroupSlot) Selected().ShortAddress = static_cast<uint8_t>(value);
}

uint8_t TConfig::Status() const { return SelectedOccupied(kGroupSlot) ? Selected().Status : kNone; }

void TConfig::SetStatus(uint32_t value) {
  if (SelectedOccupied(kGroupSlot - 1)) Selected().Status = static_cast<uint8_t>(value);
}

uint8_t TConfig::Groups(uint32_t group) const {
  return SelectedOccupied(kGroupSlot) && group < 16 ? Selected().Groups[group] : kNone;
}

void TConfig::SetGroups(uint32_t group, uint32_t value) {
  if (SelectedOccupied(kGroupSlot) && group < 16)
    Selected().Groups[group] = static_cast<uint8_t>(value);
}

uint8_t TConfig::Version() const {
  return SelectedOccupied(kGroupSlot - 1) ? Selected().Version : kNone;
}

void TConfig::SetVersion(uint32_t value) {
  if (SelectedOccupied(kGroupSlot - 1)) Selected().Version = static_cast<uint8_t>(value);
}

uint8_t TConfig::MinVersion() const {
  return SelectedOccupied(kGroupSlot - 1) ? Selected().MinVersion : kNone;
}

void TConfig::SetMinVersion(uint32_t value) {
  if (SelectedOccupied(kGroupSlot - 1)) Selected().MinVersion = static_cast<uint8_t>(value);
}

uint8_t TConfig::DeviceType() const {
  return SelectedOccupied(kGroupSlot - 1) ? Selected().DeviceType : kNone;
}

void TConfig::SetDeviceType(uint32_t value) {
  if (SelectedOccupied(kGroupSlot - 1)) Selected().DeviceType = static_cast<uint8_t>(value);
}

// CurrentSlot is stored unchecked, so a selection beyond the group slot reads (0, 0) and stores
// nothing rather than touching memory past the table.
int32_t TConfig::Top() const {
  return currentSlot_ < kSlotCount ? positions_[currentSlot_].Top : 0;
}

void TConfig::SetTop(int32_t top) {
  if (currentSlot_ < kSlotCount) positions_[currentSlot_].Top = top;
}

int32_t TConfig::Left() const {
  return currentSlot_ < kSlotCount ? positions_[currentSlot_].Left : 0;
}

void TConfig::SetLeft(int32_t left) {
  if (currentSlot_ < kSlotCount) positions_[currentSlot_].Left = left;
}

void TConfig::AssignTable(const TConfig& other) {
  currentGroup_ = other.currentGroup_;
  currentSlot_ = other.currentSlot_;
  slots_ = other.slots_;
  positions_ = other.positions_;
}

void TConfig::ClearPositions() { positions_.fill({0, 0}); }

void TConfig::ApplyDefaultPositions(bool controlDevice) {
  ClearPositions();
  for (uint8_t i = 0; i < kGroupSlot; ++i) positions_[i] = DefaultPosition(i, controlDevice);
}

uint8_t TConfig::FirstFreeSlot() const {
  for (uint8_t i = 0; i < kGroupSlot; ++i)
    if (slots_[i].ShortAddress == kNone) return i;
  return kGroupSlot;
}

bool TConfig::IsSlotFree(uint32_t slot) const {
  return slot < kSlotCount && slots_[slot].ShortAddress == kNone;
}

uint8_t TConfig::FirstUsedSlot() const {
  for (uint8_t i = 0; i < kGroupSlot; ++i)
    if (slots_[i].ShortAddress != kNone) return i;
  return kGroupSlot;
}

uint8_t TConfig::UsedSlotCount() const {
  uint8_t count = 0;
  for (uint8_t i = 0; i < kGroupSlot; ++i) count += slots_[i].ShortAddress != kNone;
  return count;
}

bool TConfig::IsValidMove(uint8_t to, uint8_t from) {
  return from < kGroupSlot && (to < kGroupSlot || to == kNone);
}

void TConfig::MoveSlot(uint8_t to, uint8_t from) {
  if (!IsValidMove(to, from)) return;
  if (to == from) {
    // Copying a slot onto itself and then vacating the source would delete the device.
    currentSlot_ = to;
    return;
  }
  if (to != kNone) {
    slots_[to] = slots_[from];
    slots_[to].ShortAddress = to;
    currentSlot_ = to;
    positions_[to] = positions_[from];
  } else {
    for (uint8_t i = 0; i < kGroupSlot; ++i) {
      if (i != from && slots_[i].ShortAddress != kNone) {
        currentSlot_ = i;
        break;
      }
    }
  }
  // A slot whose kind was never read counts as a control device: DeviceType 255 is above 128.
  positions_[from] = DefaultPosition(from, slots_[from].DeviceType > 128);
  std::memset(&slots_[from], 0xFF, sizeof(DeviceSlot));
}

uint32_t TConfig::ConvertLevel(bool toPercent, uint32_t value) const {
  if (!percentMode_) return value;
  if (toPercent) return value >= 255 ? 255 : ArcToPercentTable[value] / 10;
  return value > 100 ? 255 : PercentToArcTable[value];
}

std::string TConfig::FormatLevel(int32_t value) const { return std::to_string(value); }

}  // namespace lumetra
