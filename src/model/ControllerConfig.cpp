// Control device table: record housekeeping and the kind views of the current slot.
#include "model/ControllerConfig.h"

namespace lumetra {

TControllerConfig::TControllerConfig() { ClearControllers(); }

void TControllerConfig::ClearScratchSlot() {
  TConfig::ClearScratchSlot();
  // A group view starts unknown: no membership or setting is taken as decided until the user
  // decides it, so an unticked box is a choice that can be sent.
  SlotData(kGroupSlot).Groups.fill(kNone);
  records_[kGroupSlot].Erase();
}

void TControllerConfig::ClearControllers() {
  Reset();
  for (uint8_t i = 0; i < kGroupSlot; ++i) records_[i].Erase();
}

void TControllerConfig::EraseRecord() {
  if (CurrentSlot() < kSlotCount) {
    records_[CurrentSlot()].Erase();
  }
}

void TControllerConfig::ResetPositions() { ApplyDefaultPositions(true); }

void TControllerConfig::MoveControlDevice(uint8_t to, uint8_t from) {
  MoveSlot(to, from);
  if (!IsValidMove(to, from) || to == from) return;
  if (to != kNone) records_[to] = records_[from];
  records_[from].Erase();
}

void TControllerConfig::ReplaceWith(const TControllerConfig& other) {
  AssignTable(other);
  records_ = other.records_;
}

uint8_t TControllerConfig::Multimaster() const {
  return CurrentSlot() < kSlotCount ? records_[CurrentSlot()].Multimaster : kNone;
}

void TControllerConfig::SetMultimaster(uint32_t value) {
  if (CurrentSlot() < kSlotCount) records_[CurrentSlot()].Multimaster = static_cast<uint8_t>(value);
}

bool TControllerConfig::IsMultimasterAt(uint32_t address) const {
  return address < kGroupSlot && Slot(static_cast<uint8_t>(address)).ShortAddress == address &&
         records_[address].Multimaster != 0;
}

uint8_t TControllerConfig::FirmwareVersion() const {
  return CurrentSlot() < kSlotCount ? Slot(CurrentSlot()).Version : kNone;
}

uint8_t TControllerConfig::FirmwareMinVersion() const {
  return CurrentSlot() < kSlotCount ? Slot(CurrentSlot()).MinVersion : kNone;
}

void TControllerConfig::SetGroupFirmware(uint8_t version, uint8_t minVersion) {
  SlotData(kGroupSlot).Version = version;
  SlotData(kGroupSlot).MinVersion = minVersion;
}

// The group slot has no firmware of its own; its version bytes are whatever was stored there
// (0.000 after ClearScratchSlot, i.e. the current layouts).
RecordCursor TControllerConfig::Cursor(const KindImage& kind) {
  const uint8_t slot = CurrentSlot();
  if (slot >= kSlotCount) return RecordCursor(nullptr, &kind, 0, 0);
  // The group slot's record is read with the firmware its members share.
  return RecordCursor(records_[slot].Layout.data(), &kind, FirmwareVersion(), FirmwareMinVersion(),
                      &records_[slot].Origins);
}

SwitchLayout TControllerConfig::Switch() { return SwitchLayout(Cursor(kSwitchImage)); }
PirSensorLayout TControllerConfig::PirSensor() { return PirSensorLayout(Cursor(kPirSensorImage)); }
LightSensorLayout TControllerConfig::LightSensor() {
  return LightSensorLayout(Cursor(kLightSensorImage));
}
PirLightSensorLayout TControllerConfig::PirLightSensor() {
  return PirLightSensorLayout(Cursor(kPirLightSensorImage));
}
OptoRelayLayout TControllerConfig::OptoRelay() { return OptoRelayLayout(Cursor(kOptoRelayImage)); }
KindRecord TControllerConfig::Image(const KindImage& kind) { return KindRecord(Cursor(kind)); }

const ControllerRecord* TControllerConfig::Record(uint32_t slot) const {
  return slot < kSlotCount ? &records_[slot] : nullptr;
}

}  // namespace lumetra
