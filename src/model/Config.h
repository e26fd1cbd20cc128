// The device table shared by both populations: 64 device slots plus the group slot, the selection,
// floor-plan positions and the arc/percent level conversion.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace lumetra {

// Identity of one device as read from it; every byte 255 while the slot is empty or not read.
struct DeviceSlot {
  uint8_t ShortAddress;
  uint8_t Status;
  std::array<uint8_t, 16> Groups;
  uint8_t Version;
  uint8_t MinVersion;
  uint8_t DeviceType;
};

struct SlotPosition {
  int32_t Top;
  int32_t Left;
};

// Threads: the tables carry no lock. The user-interface thread uses them, except while a
// commissioning job runs: then the worker fills them and the navigation keeps the device pages, the
// level choice and the document commands disabled until the job has ended.
class TConfig {
 public:
  static constexpr uint8_t kSlotCount = 65;
  static constexpr uint8_t kGroupSlot = 64;
  static constexpr uint8_t kAllDevices = 255;
  static constexpr uint8_t kNone = 255;

  TConfig();
  virtual ~TConfig() = default;
  TConfig(const TConfig&) = delete;
  TConfig& operator=(const TConfig&) = delete;

  // Prepares the group slot for an editor: occupied, every byte 0.
  virtual void ClearScratchSlot();

  void Reset();

  uint8_t CurrentGroup() const { return currentGroup_; }
  void SetCurrentGroup(uint8_t group);
  uint8_t CurrentSlot() const { return currentSlot_; }
  void SetCurrentSlot(uint8_t slot) { currentSlot_ = slot; }
  uint8_t PercentMode() const { return percentMode_; }
  void SetPercentMode(uint8_t on) { percentMode_ = on; }

  uint8_t ShortAddress() const;
  void SetShortAddress(uint32_t value);
  uint8_t Status() const;
  void SetStatus(uint32_t value);
  uint8_t Groups(uint32_t group) const;
  void SetGroups(uint32_t group, uint32_t value);
  uint8_t Version() const;
  void SetVersion(uint32_t value);
  uint8_t MinVersion() const;
  void SetMinVersion(uint32_t value);
  uint8_t DeviceType() const;
  void SetDeviceType(uint32_t value);

  int32_t Top() const;
  void SetTop(int32_t top);
  int32_t Left() const;
  void SetLeft(int32_t left);
  void ClearPositions();

  uint8_t FirstFreeSlot() const;
  bool IsSlotFree(uint32_t slot) const;
  uint8_t FirstUsedSlot() const;
  uint8_t UsedSlotCount() const;

  void MoveSlot(uint8_t to, uint8_t from);

  // Raw identity and position of a slot, whatever the selection; nullptr beyond the group slot.
  const DeviceSlot* SlotAt(uint32_t slot) const {
    return slot < kSlotCount ? &slots_[slot] : nullptr;
  }
  const SlotPosition* PositionAt(uint32_t slot) const {
    return slot < kSlotCount ? &positions_[slot] : nullptr;
  }

  uint32_t ConvertLevel(bool toPercent, uint32_t value) const;
  std::string FormatLevel(int32_t value) const;

  // Where a device's button starts on the floor plan: four to a row, gear on the left, control
  // devices in a second column block.
  static constexpr SlotPosition DefaultPosition(uint8_t slot, bool controlDevice) {
    return {(slot / 4) * 30 + 60, (slot % 4) * 80 + (controlDevice ? 400 : 30)};
  }

  static const std::array<uint16_t, 255> ArcToPercentTable;
  static const std::array<uint8_t, 101> PercentToArcTable;

 protected:
  // Raw slot access for the derived tables and their record views; `slot` must be below 65.
  const DeviceSlot& Slot(uint8_t slot) const { return slots_[slot]; }
  DeviceSlot& SlotData(uint8_t slot) { return slots_[slot]; }
  // True when `to`/`from` describe a move that MoveSlot carries out (and the records must follow).
  static bool IsValidMove(uint8_t to, uint8_t from);
  void ApplyDefaultPositions(bool controlDevice);
  // Slots, positions and selection of `other`; PercentMode stays, it is how the user views levels,
  // not part of an installation.
  void AssignTable(const TConfig& other);

 private:
  bool SelectedOccupied(uint8_t limit) const;
  DeviceSlot& Selected() { return slots_[currentSlot_]; }
  const DeviceSlot& Selected() const { return slots_[currentSlot_]; }

  uint8_t currentGroup_ = 0;
  uint8_t currentSlot_ = 0;
  uint8_t percentMode_ = 0;
  std::array<DeviceSlot, kSlotCount> slots_{};
  std::array<SlotPosition, kSlotCount> positions_{};
};

}  // namespace lumetra
