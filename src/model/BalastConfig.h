// The control gear table: one record of levels, fades and scenes per slot, the group slot included.
#pragma once

#include <array>
#include <cstdint>

#include "model/Config.h"

namespace lumetra {

// Raw arc levels as last read, loaded or written; 255 everywhere until filled.
struct GearRecord {
  uint8_t ActualLevel;
  uint8_t MinLevel;
  uint8_t MaxLevel;
  uint8_t PowerOnLevel;
  uint8_t FailureLevel;
  uint8_t FadeRate;
  uint8_t FadeTime;
  std::array<uint8_t, 16> Scenes;
  uint8_t PhysicalMinLevel;
};

class TBalastConfig : public TConfig {
 public:
  TBalastConfig();

  void ClearScratchSlot() override;
  void Clear();

  // Levels are converted by PercentMode on the way in and out; fades never are.
  uint32_t ActualLevel() const { return Level(&GearRecord::ActualLevel); }
  void SetActualLevel(uint32_t value) { SetLevel(&GearRecord::ActualLevel, value); }
  uint32_t MinLevel() const { return Level(&GearRecord::MinLevel); }
  void SetMinLevel(uint32_t value) { SetLevel(&GearRecord::MinLevel, value); }
  uint32_t MaxLevel() const { return Level(&GearRecord::MaxLevel); }
  void SetMaxLevel(uint32_t value) { SetLevel(&GearRecord::MaxLevel, value); }
  uint32_t PowerOnLevel() const { return Level(&GearRecord::PowerOnLevel); }
  void SetPowerOnLevel(uint32_t value) { SetLevel(&GearRecord::PowerOnLevel, value); }
  uint32_t FailureLevel() const { return Level(&GearRecord::FailureLevel); }
  void SetFailureLevel(uint32_t value) { SetLevel(&GearRecord::FailureLevel, value); }
  uint32_t PhysicalMinLevel() const { return Level(&GearRecord::PhysicalMinLevel); }
  void SetPhysicalMinLevel(uint32_t value) { SetLevel(&GearRecord::PhysicalMinLevel, value); }
  uint32_t Scenes(uint32_t scene) const;
  void SetScenes(uint32_t scene, uint32_t value);

  uint8_t FadeRate() const;
  void SetFadeRate(uint32_t value);
  uint8_t FadeTime() const;
  void SetFadeTime(uint32_t value);

  void MoveGear(uint8_t to, uint8_t from);
  void ResetPositions();
  // Takes over everything of `other` but PercentMode: how an opened document replaces the table.
  void ReplaceWith(const TBalastConfig& other);

  // The raw record of a slot; nullptr beyond the group slot.
  const GearRecord* Record(uint32_t slot) const {
    return slot < kSlotCount ? &records_[slot] : nullptr;
  }

 private:
  bool Accessible() const;
  uint32_t Level(uint8_t GearRecord::*field) const;
  void SetLevel(uint8_t GearRecord::*field, uint32_t value);

  std::array<GearRecord, kSlotCount> records_{};
};

}  // namespace lumetra
