// Control gear table: record access under the base table's selection and occupancy rules.
#include "model/BalastConfig.h"

#include <cstring>

namespace lumetra {

TBalastConfig::TBalastConfig() { Clear(); }

void TBalastConfig::ClearScratchSlot() {
  TConfig::ClearScratchSlot();
  GearRecord& group = records_[kGroupSlot];
  std::memset(&group, 0, sizeof(GearRecord));
  group.Scenes.fill(kNone);
}

void TBalastConfig::Clear() {
  Reset();
  std::memset(records_.data(), 0xFF, sizeof(records_));
}

// The group slot counts as long as ClearScratchSlot made it occupied.
bool TBalastConfig::Accessible() const {
  return CurrentSlot() <= kGroupSlot && !IsSlotFree(CurrentSlot());
}

uint32_t TBalastConfig::Level(uint8_t GearRecord::*field) const {
  return Accessible() ? ConvertLevel(true, records_[CurrentSlot()].*field) : kNone;
}

void TBalastConfig::SetLevel(uint8_t GearRecord::*field, uint32_t value) {
  if (Accessible())
    records_[CurrentSlot()].*field = static_cast<uint8_t>(ConvertLevel(false, value));
}

uint32_t TBalastConfig::Scenes(uint32_t scene) const {
  return Accessible() && scene < 16 ? ConvertLevel(true, records_[CurrentSlot()].Scenes[scene])
                                    : kNone;
}

void TBalastConfig::SetScenes(uint32_t scene, uint32_t value) {
  if (Accessible() && scene < 16)
    records_[CurrentSlot()].Scenes[scene] = static_cast<uint8_t>(ConvertLevel(false, value));
}

uint8_t TBalastConfig::FadeRate() const {
  return Accessible() ? records_[CurrentSlot()].FadeRate : kNone;
}

void TBalastConfig::SetFadeRate(uint32_t value) {
  if (Accessible()) records_[CurrentSlot()].FadeRate = static_cast<uint8_t>(value);
}

uint8_t TBalastConfig::FadeTime() const {
  return Accessible() ? records_[CurrentSlot()].FadeTime : kNone;
}

void TBalastConfig::SetFadeTime(uint32_t value) {
  if (Accessible()) records_[CurrentSlot()].FadeTime = static_cast<uint8_t>(value);
}

void TBalastConfig::MoveGear(uint8_t to, uint8_t from) {
  MoveSlot(to, from);
  if (!IsValidMove(to, from) || to == from) return;
  if (to != kNone) records_[to] = records_[from];
  std::memset(&records_[from], 0xFF, sizeof(GearRecord));
}

void TBalastConfig::ReplaceWith(const TBalastConfig& other) {
  AssignTable(other);
  records_ = other.records_;
}

void TBalastConfig::ResetPositions() { ApplyDefaultPositions(false); }

}  // namespace lumetra
