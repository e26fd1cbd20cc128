// The control device table: per slot one configuration image, read through the layout of the
// slot's kind, plus the multimaster flag.
#pragma once

#include <array>
#include <cstdint>

#include "model/Config.h"
#include "model/ControllerLayouts.h"
#include "model/ImageOrigins.h"
#include "model/KindImage.h"

namespace lumetra {

// The kinds' layouts overlay one area; 0xFF (erased device memory, no value) until stored. Beside
// it, what is known of each byte of the slot's kind image (ImageOrigins): nothing until a reading,
// a document or an editor gives it.
struct ControllerRecord {
  std::array<uint8_t, kControllerLayoutBytes> Layout;
  uint8_t Multimaster;
  ImageOrigins Origins;

  // Erased and unknown, as before a first reading.
  void Erase() {
    Layout.fill(0xFF);
    Multimaster = 0xFF;
    Origins.Forget();
  }
};

class TControllerConfig : public TConfig {
 public:
  TControllerConfig();

  // The group slot: occupied with zero identity bytes, its groups, multimaster and record unknown.
  void ClearScratchSlot() override;
  void ClearControllers();
  void ResetPositions();
  void MoveControlDevice(uint8_t to, uint8_t from);
  // CurrentSlot's record and multimaster flag hold no value again (0xFF), as before a first read.
  void EraseRecord();
  // Takes over everything of `other` but PercentMode: how an opened document replaces the table.
  void ReplaceWith(const TControllerConfig& other);

  // Record accessors work on CurrentSlot's record whether or not the slot is occupied, so the
  // group slot's record is reached like any device's. A selection beyond the group slot reads the
  // erased value and stores nothing.
  uint8_t Multimaster() const;
  void SetMultimaster(uint32_t value);
  // Whether short address a holds a device that may send messages to others.
  bool IsMultimasterAt(uint32_t address) const;

  // Views of CurrentSlot's record as one kind, with that slot's firmware version. They are
  // handles: they stay bound to the slot that was current when they were made.
  SwitchLayout Switch();
  PirSensorLayout PirSensor();
  LightSensorLayout LightSensor();
  PirLightSensorLayout PirLightSensor();
  OptoRelayLayout OptoRelay();
  // The flat image of CurrentSlot's record as `kind`, for byte-by-byte transfers.
  KindRecord Image(const KindImage& kind);

  // The firmware the current slot's record views work with: the device's Version and MinVersion,
  // or for the group slot the firmware its members share (SetGroupFirmware), so that a kind
  // editor applies the members' image rules to the group's record. Beyond the group slot 255.
  uint8_t FirmwareVersion() const;
  uint8_t FirmwareMinVersion() const;
  void SetGroupFirmware(uint8_t version, uint8_t minVersion);

  // The raw record of a slot; nullptr beyond the group slot.
  const ControllerRecord* Record(uint32_t slot) const;

 private:
  RecordCursor Cursor(const KindImage& kind);

  std::array<ControllerRecord, kSlotCount> records_{};
};

}  // namespace lumetra
