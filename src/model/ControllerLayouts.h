// Typed views of one control device record, one per kind. Each view is a handle (like std::span)
// onto the record of the table's current slot; every field it names goes through the kind's image
// description, so a field and its image bytes are always the same memory.
#pragma once

#include <cstdint>

#include "model/ImageOrigins.h"
#include "model/KindImage.h"

namespace lumetra {

// Byte and 32-bit access to one record's layout area through image indices. A cursor without an
// area stands for something that does not exist: out-of-range indices (reads all ones, the erased
// value) or fields the device's firmware lacks (reads 0). Writes through it do nothing.
// Every store marks the image bytes it changed as set in the record's origins, so that whatever
// stores a value (an editor, a document) makes it one to be written; a reading of the device
// stores through KindRecord::StoreRead instead.
class RecordCursor {
 public:
  RecordCursor(uint8_t* area, const KindImage* image, uint8_t version, uint8_t minVersion,
               ImageOrigins* origins = nullptr)
      : area_(area), image_(image), version_(version), minVersion_(minVersion), origins_(origins) {}

  const KindImage& Image() const { return *image_; }
  uint8_t Version() const { return version_; }
  uint8_t MinVersion() const { return minVersion_; }

  uint8_t U8(uint16_t index) const;
  void SetU8(uint16_t index, uint32_t value);
  uint32_t U32(uint16_t index) const;
  void SetU32(uint16_t index, uint32_t value);
  // One image byte: a whole 8-bit field, or the low / high byte of a 16-bit value. Setting the
  // low byte replaces the whole 32-bit value and the high byte is ORed in, so a value rebuilt from
  // the device holds 0..65535.
  uint8_t ImageByte(uint16_t index) const;
  void SetImageByte(uint16_t index, uint32_t value);

  // What is known of the record's image bytes; nullptr for a cursor without a record.
  ImageOrigins* Origins() const { return area_ ? origins_ : nullptr; }
  // Stores one image byte without marking it: the reading's and the write's own bookkeeping.
  void PutImageByte(uint16_t index, uint32_t value);

  // The same cursor if `inRange`, otherwise one that reads the erased value.
  RecordCursor Within(bool inRange) const { return inRange ? *this : Missing(0xFF); }
  // The cursor for the named field at `index`: one that reads 0 where the slot's firmware lacks
  // the byte. A cursor that already stands for something missing stays as it is.
  RecordCursor ForField(uint16_t index) const {
    return area_ && !image_->OnDevice(index, version_, minVersion_) ? Missing(0) : *this;
  }

 private:
  RecordCursor Missing(uint8_t value) const {
    RecordCursor c = *this;
    c.area_ = nullptr;
    c.missing_ = value;
    return c;
  }
  void Mark(uint16_t index) const {
    if (origins_) origins_->MarkSet(index);
  }
  // The high byte's index when `index` is the low byte of a 16-bit value, else `index`.
  uint16_t WideEnd(uint16_t index) const;
  uint8_t* area_ = nullptr;
  const KindImage* image_;
  uint8_t version_ = 0;
  uint8_t minVersion_ = 0;
  uint8_t missing_ = 0xFF;
  ImageOrigins* origins_ = nullptr;
};

// Where a named field sits: its block and field number in the kind's image description, and the
// bits of that image byte it holds (the whole byte unless told). A value stored is cut to those
// bits, so it never spills into a neighbouring field.
struct BitField {
  uint8_t block;
  uint8_t field;
  uint8_t mask = 0xFF;
};

// A 16-bit device value: two image bytes, held in 32 bits in the record.
struct WideField {
  uint8_t block;
  uint8_t field;
};

// One repetition of a kind's blocks (a step, a sequence, a response; the record's own fields are
// repetition 0). The named accessors of the views are each one Get or Set over a table of
// BitField and WideField rows.
class FieldGroup {
 protected:
  // `first`: the field number the group's fields count from (step k of a sequence: 5k).
  explicit FieldGroup(RecordCursor cursor, uint16_t rep = 0, uint8_t first = 0)
      : c_(cursor), rep_(rep), first_(first) {}
  uint8_t Get(BitField f) const;
  void Set(BitField f, uint32_t value);
  uint32_t Get(WideField f) const;
  void Set(WideField f, uint32_t value);

  RecordCursor c_;
  uint16_t rep_;
  uint8_t first_;

 private:
  uint16_t At(uint8_t block, uint8_t field) const;
};

// The flat image of a record: index 0..length-1 in image order, the enable byte last. This is what
// reads and writes a device byte by byte.
class KindRecord : protected FieldGroup {
 public:
  explicit KindRecord(RecordCursor cursor) : FieldGroup(cursor) {}
  const KindImage& Image() const { return c_.Image(); }
  uint8_t ImageByteAt(uint32_t index) const;
  void SetImageByteAt(uint32_t index, uint32_t value);
  // Location in bank 0xB0 for the slot's firmware; -1 when the device lacks the byte.
  int Location(uint32_t index) const;
  // Image bytes the slot's firmware holds.
  uint16_t DeviceLength() const { return c_.Image().DeviceLength(c_.Version(), c_.MinVersion()); }

  // Where image byte `index` came from; unknown for a record that does not exist.
  ByteOrigin Origin(uint32_t index) const;
  // Whether the byte is set here and differs from what the device holds: it is to be written.
  bool Pending(uint32_t index) const;
  // A byte the device gave: stored, and known as what the device holds.
  void StoreRead(uint32_t index, uint8_t value);
  // The record's byte is to be written as it is, as though it had been typed.
  void MarkSet(uint32_t index);
  // The device now holds the record's byte (a write of it went through).
  void MarkHeld(uint32_t index);
  // False for a byte of a 16-bit value held above 65 535 (erased, all ones, aside): the device
  // would take its low bits only.
  bool Fits(uint32_t index) const;
  // The byte is no longer known (a write that may have changed it went elsewhere).
  void Forget(uint32_t index);
  // Bytes that hold the erased value (0xFF; 0xFFFFFFFF for both bytes of a 16-bit value) become
  // unknown: how a document that kept a value nobody read or set gives it back.
  void ForgetErased();
};

// A response entry: repetition `entry` of the kind's response block.
class OncView : protected FieldGroup {
 public:
  OncView(RecordCursor cursor, uint16_t entry, uint8_t messageField)
      : FieldGroup(cursor, entry), messageField_(messageField) {}
  // The code the device receives.
  uint8_t Message() const { return Get(MessageField()); }

 protected:
  BitField MessageField() const { return {c_.Image().responseBlock, messageField_}; }
  // Sensors and the relay keep the index as well as its code, so their index always survives.
  void StoreIndexAndCode(BitField indexField, uint32_t index);
  // The devices keep an "enabled" flag where the editors show "disabled": these read 1 for a
  // flag of 0 and store 0 for any non-zero `disabled`.
  uint8_t Disabled(BitField flag) const { return Get(flag) ? 0 : 1; }
  void SetDisabled(BitField flag, uint32_t disabled) { Set(flag, disabled ? 0 : 1); }

  uint8_t messageField_;
};

// ---- kind 129, push-button / switch inputs ----

class SwitchStep : private FieldGroup {
 public:
  SwitchStep(RecordCursor cursor, uint8_t sequence, uint8_t step)
      : FieldGroup(cursor, sequence, static_cast<uint8_t>(step * switch_image::kStepFields)) {}
  uint8_t Address() const;
  void SetAddress(uint32_t value);
  uint8_t Command() const;
  void SetCommand(uint32_t value);
  uint8_t Indicator1() const;
  void SetIndicator1(uint32_t value);
  uint8_t Indicator2() const;
  void SetIndicator2(uint32_t value);
  uint8_t Indicator3() const;
  void SetIndicator3(uint32_t value);
  uint8_t Indicator4() const;
  void SetIndicator4(uint32_t value);
  // Indicator n + 1 (n 0..3).
  uint8_t Indicator(uint32_t n) const;
  void SetIndicator(uint32_t n, uint32_t value);
  uint32_t Timeout() const;
  void SetTimeout(uint32_t seconds);
};

class SwitchSequence : private FieldGroup {
 public:
  SwitchSequence(RecordCursor cursor, uint8_t sequence) : FieldGroup(cursor, sequence) {}
  SwitchStep Steps(uint32_t step) const;
  uint8_t Repeat() const;
  void SetRepeat(uint32_t value);
  uint8_t ResetFlags() const;
  void SetResetFlags(uint32_t value);
};

class SwitchOnc : public OncView {
 public:
  using OncView::OncView;
  uint8_t Address() const;
  void SetAddress(uint32_t value);
  // The switch keeps only the code; its index is the first one with that code.
  uint8_t MessageIndex() const;
  void SetMessageIndex(uint32_t index);
  // 1 when the response is disabled.
  uint8_t Enabled() const;
  void SetEnabled(uint32_t disabled);
  uint8_t StopSequence() const;
  void SetStopSequence(uint32_t value);
  uint8_t StartSequence() const;
  void SetStartSequence(uint32_t value);
  uint8_t Indicator1() const;
  void SetIndicator1(uint32_t value);
  uint8_t Indicator2() const;
  void SetIndicator2(uint32_t value);
  uint8_t Indicator3() const;
  void SetIndicator3(uint32_t value);
  uint8_t Indicator4() const;
  void SetIndicator4(uint32_t value);
  // Indicator n + 1 (n 0..3).
  uint8_t Indicator(uint32_t n) const;
  void SetIndicator(uint32_t n, uint32_t value);
};

class SwitchLayout : public KindRecord {
 public:
  using KindRecord::KindRecord;
  SwitchSequence Sequences(uint32_t sequence) const;
  // Responses of input i (0..1), entry j (0..15).
  SwitchOnc Oncs(uint32_t input, uint32_t entry) const;
  uint8_t Type0() const;
  void SetType0(uint32_t value);
  uint8_t Type1() const;
  void SetType1(uint32_t value);
  uint8_t ButtonsEnabled() const;
  void SetButtonsEnabled(uint32_t value);
  bool ButtonEnabled(uint32_t input) const;
  void SetButtonEnabled(uint32_t input, bool enabled);

  // Image index n (0..25) of sequence s; any other n reads 0 and stores nothing.
  uint8_t ImageByte(uint32_t sequence, uint32_t n) const;
  void SetImageByte(uint32_t sequence, uint32_t n, uint32_t value);
  // Byte n (0..3) of response j of input i.
  uint8_t ImageByte(uint32_t input, uint32_t entry, uint32_t n) const;
  void SetImageByte(uint32_t input, uint32_t entry, uint32_t n, uint32_t value);

 private:
  int SequenceIndex(uint32_t sequence, uint32_t n) const;
  int OncIndex(uint32_t input, uint32_t entry, uint32_t n) const;
};

// ---- parameter and response by-index pairs shared by the sensors and the relay ----

class ResponseImage : public KindRecord {
 public:
  using KindRecord::KindRecord;
  // Parameter image index n (before the responses); outside it reads 0 and stores nothing.
  uint8_t ImageByte(uint32_t n) const;
  void SetImageByte(uint32_t n, uint32_t value);
  // Byte n of response j.
  uint8_t ImageByte(uint32_t entry, uint32_t n) const;
  void SetImageByte(uint32_t entry, uint32_t n, uint32_t value);

 private:
  int ParameterIndex(uint32_t n) const;
  int OncIndex(uint32_t entry, uint32_t n) const;
};

// ---- kind 131, motion sensor ----

class PirCommand : private FieldGroup {
 public:
  PirCommand(RecordCursor cursor, uint8_t command) : FieldGroup(cursor, command) {}
  uint8_t Level() const;
  void SetLevel(uint32_t value);
  uint32_t Timeout() const;
  void SetTimeout(uint32_t seconds);
};

class PirOnc : public OncView {
 public:
  using OncView::OncView;
  uint8_t Address() const;
  void SetAddress(uint32_t value);
  uint8_t MessageIndex() const;
  void SetMessageIndex(uint32_t index);
  uint8_t Level() const;
  void SetLevel(uint32_t value);
  uint8_t Enabled() const;
  void SetEnabled(uint32_t disabled);
};

class PirSensorLayout : public ResponseImage {
 public:
  using ResponseImage::ResponseImage;
  PirCommand Commands(uint32_t command) const;
  uint8_t CmndAddress() const;
  void SetCmndAddress(uint32_t value);
  PirOnc Oncs(uint32_t entry) const;
  uint8_t SensorEnabled() const;
  void SetSensorEnabled(uint32_t value);
};

// ---- kind 133, light sensor ----

class LightCao : private FieldGroup {
 public:
  LightCao(RecordCursor cursor, uint8_t zone) : FieldGroup(cursor, zone) {}
  uint8_t CmndAddress() const;
  void SetCmndAddress(uint32_t value);
  uint8_t Offset() const;
  void SetOffset(uint32_t value);
};

// Firmware 1.000..1.004: the address byte is the whole address and the enable bit is bit 0 of the
// zone byte; later: bits 0-6 are the address, bit 7 the enable bit, the zone byte four 2-bit
// zone states.
class LightOnc : public OncView {
 public:
  using OncView::OncView;
  uint8_t Address() const;
  void SetAddress(uint32_t value);
  uint8_t MessageIndex() const;
  void SetMessageIndex(uint32_t index);
  uint32_t Level() const;
  void SetLevel(uint32_t value);
  uint8_t Enabled() const;
  void SetEnabled(uint32_t disabled);
  // Zone z (0..3): 0 leave unchanged, 1 enable, 2 disable.
  uint8_t ZoneEnabled(uint32_t zone) const;
  void SetZoneEnabled(uint32_t zone, uint32_t value);

 private:
  bool OldLayout() const;
};

class LightSensorLayout : public ResponseImage {
 public:
  using ResponseImage::ResponseImage;
  uint8_t ClosedLoop() const;
  void SetClosedLoop(uint32_t value);
  uint32_t DefaultLevel() const;
  void SetDefaultLevel(uint32_t value);
  uint32_t OnLevel() const;
  void SetOnLevel(uint32_t value);
  uint32_t OffLevel() const;
  void SetOffLevel(uint32_t value);
  uint32_t OffTimeout() const;
  void SetOffTimeout(uint32_t seconds);
  uint8_t MaxLevel() const;
  void SetMaxLevel(uint32_t value);
  uint8_t MinLevel() const;
  void SetMinLevel(uint32_t value);
  // Read 0 and store nothing on firmware without them (1.000, 1.001).
  uint8_t Delta() const;
  void SetDelta(uint32_t value);
  uint8_t Scale() const;
  void SetScale(uint32_t value);
  LightCao Caos(uint32_t zone) const;
  LightOnc Oncs(uint32_t entry) const;
  uint8_t SensorEnabled() const;
  void SetSensorEnabled(uint32_t value);
};

// ---- kind 142, combined motion and light sensor ----

class PirLightCommand : private FieldGroup {
 public:
  PirLightCommand(RecordCursor cursor, uint8_t rep) : FieldGroup(cursor, rep) {}
  uint32_t Level() const;
  void SetLevel(uint32_t value);
  uint32_t Timeout() const;
  void SetTimeout(uint32_t seconds);
};

class PirLightSequence {
 public:
  PirLightSequence(RecordCursor cursor, uint8_t sequence) : c_(cursor), q_(sequence) {}
  PirLightCommand Commands(uint32_t command) const;

 private:
  RecordCursor c_;
  uint8_t q_;
};

class PirLightOnc : public OncView {
 public:
  using OncView::OncView;
  uint8_t Address() const;
  void SetAddress(uint32_t value);
  uint8_t MessageIndex() const;
  void SetMessageIndex(uint32_t index);
  uint32_t Level() const;
  void SetLevel(uint32_t value);
  uint8_t Enabled() const;
  void SetEnabled(uint32_t disabled);
  uint8_t SequenceIndex() const;
  void SetSequenceIndex(uint32_t value);
};

class PirLightSensorLayout : public ResponseImage {
 public:
  using ResponseImage::ResponseImage;
  // Sequence 1 reads 0 and stores nothing on firmware 1.000, which lacks it.
  PirLightSequence Sequences(uint32_t sequence) const;
  uint32_t OnLevel() const;
  void SetOnLevel(uint32_t value);
  uint32_t OffLevel() const;
  void SetOffLevel(uint32_t value);
  uint32_t OffTimeout() const;
  void SetOffTimeout(uint32_t seconds);
  uint8_t MaxLevel() const;
  void SetMaxLevel(uint32_t value);
  uint8_t MinLevel() const;
  void SetMinLevel(uint32_t value);
  uint8_t CmndAddress() const;
  void SetCmndAddress(uint32_t value);
  uint8_t Delta() const;
  void SetDelta(uint32_t value);
  uint8_t Scale() const;
  void SetScale(uint32_t value);
  PirLightOnc Oncs(uint32_t entry) const;
  // Bit 0 of the enable byte; the setter keeps bits 4-7.
  uint8_t SensorEnabled() const;
  void SetSensorEnabled(uint32_t value);
};

// ---- kind 141, opto-relay ----

class RelayOnc : public OncView {
 public:
  using OncView::OncView;
  uint8_t Address() const;
  void SetAddress(uint32_t value);
  uint8_t MessageIndex() const;
  void SetMessageIndex(uint32_t index);
  uint8_t Operator() const;
  void SetOperator(uint32_t value);
  uint32_t Level() const;
  void SetLevel(uint32_t value);
  uint8_t RelayOn() const;
  void SetRelayOn(uint32_t value);
  // 0 switch off, 1 switch on; 255 for a byte of 0xF0 or more (no action).
  uint8_t Action() const;
  void SetAction(uint32_t value);
  // Outputs A..D: bits 0..3 of RelayOn.
  uint8_t Output1() const { return Output(0); }
  void SetOutput1(uint32_t on) { SetOutput(0, on); }
  uint8_t Output2() const { return Output(1); }
  void SetOutput2(uint32_t on) { SetOutput(1, on); }
  uint8_t Output3() const { return Output(2); }
  void SetOutput3(uint32_t on) { SetOutput(2, on); }
  uint8_t Output4() const { return Output(3); }
  void SetOutput4(uint32_t on) { SetOutput(3, on); }

 private:
  uint8_t Output(uint8_t bit) const;
  void SetOutput(uint8_t bit, uint32_t on);
};

class OptoRelayLayout : public ResponseImage {
 public:
  using ResponseImage::ResponseImage;
  RelayOnc Oncs(uint32_t entry) const;
  uint8_t RelayEnabled() const;
  void SetRelayEnabled(uint32_t value);
};

}  // namespace lumetra
