// Field and image-byte access of the five control device kinds over their image descriptions.
#include "model/ControllerLayouts.h"

#include "model/MessageCodeTable.h"

namespace lumetra {

namespace {

// Replaces the bits of `mask` (already shifted) with `value` shifted by `shift`.
uint8_t WithBits(uint8_t byte, uint8_t mask, uint8_t shift, uint32_t value) {
  return static_cast<uint8_t>((byte & ~mask) | ((value << shift) & mask));
}

uint8_t Bits(uint8_t byte, uint8_t mask, uint8_t shift) {
  return static_cast<uint8_t>((byte & mask) >> shift);
}

}  // namespace

// ---- RecordCursor ----

uint8_t RecordCursor::U8(uint16_t index) const {
  if (!area_ || index >= image_->length) return missing_;
  return area_[image_->cells[index].offset];
}

void RecordCursor::SetU8(uint16_t index, uint32_t value) {
  if (area_ && index < image_->length)
    area_[image_->cells[index].offset] = static_cast<uint8_t>(value);
}

uint32_t RecordCursor::U32(uint16_t index) const {
  if (!area_ || index >= image_->length) return missing_ ? 0xFFFFFFFFu : 0u;
  const uint8_t* p = area_ + image_->cells[index].offset;
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void RecordCursor::SetU32(uint16_t index, uint32_t value) {
  if (!area_ || index >= image_->length) return;
  uint8_t* p = area_ + image_->cells[index].offset;
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint8_t RecordCursor::ImageByte(uint16_t index) const {
  if (!area_ || index >= image_->length) return 0;
  switch (image_->cells[index].part) {
    case ImagePart::Low:
      return static_cast<uint8_t>(U32(index));
    case ImagePart::High:
      return static_cast<uint8_t>(U32(index) >> 8);
    default:
      return U8(index);
  }
}

void RecordCursor::SetImageByte(uint16_t index, uint32_t value) {
  if (!area_ || index >= image_->length) return;
  const uint32_t byte = value & 0xFF;
  switch (image_->cells[index].part) {
    case ImagePart::Low:
      SetU32(index, byte);
      break;
    case ImagePart::High:
      SetU32(index, U32(index) | (byte << 8));
      break;
    default:
      SetU8(index, byte);
      break;
  }
}

// ---- KindRecord ----

uint8_t KindRecord::ImageByteAt(uint32_t index) const {
  return index < Image().length ? c_.ImageByte(static_cast<uint16_t>(index)) : 0;
}

void KindRecord::SetImageByteAt(uint32_t index, uint32_t value) {
  if (index < Image().length) c_.SetImageByte(static_cast<uint16_t>(index), value);
}

int KindRecord::Location(uint32_t index) const {
  return index < Image().length
             ? Image().Location(static_cast<uint16_t>(index), c_.Version(), c_.MinVersion())
             : -1;
}

void OncView::StoreIndexAndCode(uint8_t indexField, uint32_t index) {
  c_.SetU8(At(indexField), StoredMessageIndex(index));
  c_.SetU8(At(messageField_), MessageCodeOf(index));
}

// ---- kind 129 ----

namespace sw = switch_image;

uint16_t SwitchStep::At(uint8_t field) const {
  return c_.Image().Index(sw::kSequences, s_, k_ * sw::kStepFields + field);
}

uint8_t SwitchStep::Address() const { return c_.U8(At(sw::kAddress)); }
void SwitchStep::SetAddress(uint32_t value) { c_.SetU8(At(sw::kAddress), value); }
uint8_t SwitchStep::Command() const { return c_.U8(At(sw::kCommand)); }
void SwitchStep::SetCommand(uint32_t value) { c_.SetU8(At(sw::kCommand), value); }

// The editors pass 0..15; anything wider is cut to four bits so that it cannot spill into the
// neighbouring indicator.
uint8_t SwitchStep::Indicator1() const { return Bits(c_.U8(At(sw::kIndicator12)), 0x0F, 0); }
void SwitchStep::SetIndicator1(uint32_t value) {
  const uint16_t at = At(sw::kIndicator12);
  c_.SetU8(at, WithBits(c_.U8(at), 0x0F, 0, value));
}
uint8_t SwitchStep::Indicator2() const { return Bits(c_.U8(At(sw::kIndicator12)), 0xF0, 4); }
void SwitchStep::SetIndicator2(uint32_t value) {
  const uint16_t at = At(sw::kIndicator12);
  c_.SetU8(at, WithBits(c_.U8(at), 0xF0, 4, value));
}
uint8_t SwitchStep::Indicator3() const { return Bits(c_.U8(At(sw::kIndicator34)), 0x0F, 0); }
void SwitchStep::SetIndicator3(uint32_t value) {
  const uint16_t at = At(sw::kIndicator34);
  c_.SetU8(at, WithBits(c_.U8(at), 0x0F, 0, value));
}
uint8_t SwitchStep::Indicator4() const { return Bits(c_.U8(At(sw::kIndicator34)), 0xF0, 4); }
void SwitchStep::SetIndicator4(uint32_t value) {
  const uint16_t at = At(sw::kIndicator34);
  c_.SetU8(at, WithBits(c_.U8(at), 0xF0, 4, value));
}
uint32_t SwitchStep::Timeout() const { return c_.U32(At(sw::kTimeout)); }
void SwitchStep::SetTimeout(uint32_t seconds) { c_.SetU32(At(sw::kTimeout), seconds); }

SwitchStep SwitchSequence::Steps(uint32_t step) const {
  const uint8_t k = step < 4 ? static_cast<uint8_t>(step) : 0;
  return SwitchStep(c_.Within(step < 4), s_, k);
}
uint8_t SwitchSequence::Repeat() const {
  return c_.U8(c_.Image().Index(sw::kSequences, s_, sw::kRepeat));
}
void SwitchSequence::SetRepeat(uint32_t value) {
  c_.SetU8(c_.Image().Index(sw::kSequences, s_, sw::kRepeat), value);
}
uint8_t SwitchSequence::ResetFlags() const {
  return c_.U8(c_.Image().Index(sw::kSequences, s_, sw::kResetFlags));
}
void SwitchSequence::SetResetFlags(uint32_t value) {
  c_.SetU8(c_.Image().Index(sw::kSequences, s_, sw::kResetFlags), value);
}

// Flags A: bit 0 enabled, bit 1 stop sequence, bits 2-4 indicator 2, bits 5-7 indicator 1.
// Flags B: bits 0-1 start sequence, bits 2-4 indicator 4, bits 5-7 indicator 3.
uint8_t SwitchOnc::Address() const { return c_.U8(At(sw::kOncAddress)); }
void SwitchOnc::SetAddress(uint32_t value) { c_.SetU8(At(sw::kOncAddress), value); }
uint8_t SwitchOnc::MessageIndex() const { return MessageIndexOf(Message()); }
void SwitchOnc::SetMessageIndex(uint32_t index) {
  c_.SetU8(At(messageField_), MessageCodeOf(index));
}
uint8_t SwitchOnc::Enabled() const { return (c_.U8(At(sw::kFlagsA)) & 0x01) ? 0 : 1; }
void SwitchOnc::SetEnabled(uint32_t disabled) {
  const uint16_t at = At(sw::kFlagsA);
  c_.SetU8(at, WithBits(c_.U8(at), 0x01, 0, disabled ? 0 : 1));
}
uint8_t SwitchOnc::StopSequence() const { return Bits(c_.U8(At(sw::kFlagsA)), 0x02, 1); }
void SwitchOnc::SetStopSequence(uint32_t value) {
  const uint16_t at = At(sw::kFlagsA);
  c_.SetU8(at, WithBits(c_.U8(at), 0x02, 1, value));
}
uint8_t SwitchOnc::StartSequence() const { return Bits(c_.U8(At(sw::kFlagsB)), 0x03, 0); }
void SwitchOnc::SetStartSequence(uint32_t value) {
  const uint16_t at = At(sw::kFlagsB);
  c_.SetU8(at, WithBits(c_.U8(at), 0x03, 0, value));
}
uint8_t SwitchOnc::Indicator1() const { return Bits(c_.U8(At(sw::kFlagsA)), 0xE0, 5); }
void SwitchOnc::SetIndicator1(uint32_t value) {
  const uint16_t at = At(sw::kFlagsA);
  c_.SetU8(at, WithBits(c_.U8(at), 0xE0, 5, value));
}
uint8_t SwitchOnc::Indicator2() const { return Bits(c_.U8(At(sw::kFlagsA)), 0x1C, 2); }
void SwitchOnc::SetIndicator2(uint32_t value) {
  const uint16_t at = At(sw::kFlagsA);
  c_.SetU8(at, WithBits(c_.U8(at), 0x1C, 2, value));
}
uint8_t SwitchOnc::Indicator3() const { return Bits(c_.U8(At(sw::kFlagsB)), 0xE0, 5); }
void SwitchOnc::SetIndicator3(uint32_t value) {
  const uint16_t at = At(sw::kFlagsB);
  c_.SetU8(at, WithBits(c_.U8(at), 0xE0, 5, value));
}
uint8_t SwitchOnc::Indicator4() const { return Bits(c_.U8(At(sw::kFlagsB)), 0x1C, 2); }
void SwitchOnc::SetIndicator4(uint32_t value) {
  const uint16_t at = At(sw::kFlagsB);
  c_.SetU8(at, WithBits(c_.U8(at), 0x1C, 2, value));
}

SwitchSequence SwitchLayout::Sequences(uint32_t sequence) const {
  return SwitchSequence(c_.Within(sequence < 4), sequence < 4 ? static_cast<uint8_t>(sequence) : 0);
}

SwitchOnc SwitchLayout::Oncs(uint32_t input, uint32_t entry) const {
  const bool inRange = input < 2 && entry < 16;
  const uint16_t rep = inRange ? static_cast<uint16_t>(16 * input + entry) : 0;
  return SwitchOnc(c_.Within(inRange), rep, sw::kOncMessage);
}

uint8_t SwitchLayout::Type0() const { return c_.U8(Image().Index(sw::kDevice, 0, sw::kType0)); }
void SwitchLayout::SetType0(uint32_t value) {
  c_.SetU8(Image().Index(sw::kDevice, 0, sw::kType0), value);
}
uint8_t SwitchLayout::Type1() const { return c_.U8(Image().Index(sw::kDevice, 0, sw::kType1)); }
void SwitchLayout::SetType1(uint32_t value) {
  c_.SetU8(Image().Index(sw::kDevice, 0, sw::kType1), value);
}
uint8_t SwitchLayout::ButtonsEnabled() const {
  return c_.U8(Image().Index(sw::kDevice, 0, sw::kButtonsEnabled));
}
void SwitchLayout::SetButtonsEnabled(uint32_t value) {
  c_.SetU8(Image().Index(sw::kDevice, 0, sw::kButtonsEnabled), value);
}
bool SwitchLayout::ButtonEnabled(uint32_t input) const {
  return input < 2 && (ButtonsEnabled() >> input) & 1;
}
void SwitchLayout::SetButtonEnabled(uint32_t input, bool enabled) {
  if (input >= 2) return;
  const uint8_t bit = static_cast<uint8_t>(1u << input);
  SetButtonsEnabled(enabled ? ButtonsEnabled() | bit : ButtonsEnabled() & ~bit);
}

int SwitchLayout::SequenceIndex(uint32_t sequence, uint32_t n) const {
  const ImageBlock& b = Image().blocks[sw::kSequences];
  if (sequence >= b.repeat || n >= b.indexStride) return -1;
  return b.firstIndex + sequence * b.indexStride + n;
}

int SwitchLayout::OncIndex(uint32_t input, uint32_t entry, uint32_t n) const {
  const ImageBlock& b = Image().blocks[sw::kOncs];
  if (input >= 2 || entry >= 16 || n >= b.indexStride) return -1;
  return b.firstIndex + (16 * input + entry) * b.indexStride + n;
}

uint8_t SwitchLayout::ImageByte(uint32_t sequence, uint32_t n) const {
  const int at = SequenceIndex(sequence, n);
  return at < 0 ? 0 : c_.ImageByte(static_cast<uint16_t>(at));
}
void SwitchLayout::SetImageByte(uint32_t sequence, uint32_t n, uint32_t value) {
  const int at = SequenceIndex(sequence, n);
  if (at >= 0) c_.SetImageByte(static_cast<uint16_t>(at), value);
}
uint8_t SwitchLayout::ImageByte(uint32_t input, uint32_t entry, uint32_t n) const {
  const int at = OncIndex(input, entry, n);
  return at < 0 ? 0 : c_.ImageByte(static_cast<uint16_t>(at));
}
void SwitchLayout::SetImageByte(uint32_t input, uint32_t entry, uint32_t n, uint32_t value) {
  const int at = OncIndex(input, entry, n);
  if (at >= 0) c_.SetImageByte(static_cast<uint16_t>(at), value);
}

// ---- by-index pairs of the sensors and the relay ----

int ResponseImage::ParameterIndex(uint32_t n) const {
  return n < Image().ParameterCount() ? static_cast<int>(n) : -1;
}

int ResponseImage::OncIndex(uint32_t entry, uint32_t n) const {
  if (entry >= Image().ResponseCount() || n >= Image().ResponseBytes()) return -1;
  return Image().ParameterCount() + entry * Image().ResponseBytes() + n;
}

uint8_t ResponseImage::ImageByte(uint32_t n) const {
  const int at = ParameterIndex(n);
  return at < 0 ? 0 : c_.ImageByte(static_cast<uint16_t>(at));
}
void ResponseImage::SetImageByte(uint32_t n, uint32_t value) {
  const int at = ParameterIndex(n);
  if (at >= 0) c_.SetImageByte(static_cast<uint16_t>(at), value);
}
uint8_t ResponseImage::ImageByte(uint32_t entry, uint32_t n) const {
  const int at = OncIndex(entry, n);
  return at < 0 ? 0 : c_.ImageByte(static_cast<uint16_t>(at));
}
void ResponseImage::SetImageByte(uint32_t entry, uint32_t n, uint32_t value) {
  const int at = OncIndex(entry, n);
  if (at >= 0) c_.SetImageByte(static_cast<uint16_t>(at), value);
}

// ---- kind 131 ----

namespace pir = pir_image;

uint8_t PirCommand::Level() const {
  return c_.U8(c_.Image().Index(pir::kCommands, k_, pir::kLevel));
}
void PirCommand::SetLevel(uint32_t value) {
  c_.SetU8(c_.Image().Index(pir::kCommands, k_, pir::kLevel), value);
}
uint32_t PirCommand::Timeout() const {
  return c_.U32(c_.Image().Index(pir::kCommands, k_, pir::kTimeout));
}
void PirCommand::SetTimeout(uint32_t seconds) {
  c_.SetU32(c_.Image().Index(pir::kCommands, k_, pir::kTimeout), seconds);
}

uint8_t PirOnc::Address() const { return c_.U8(At(pir::kOncAddress)); }
void PirOnc::SetAddress(uint32_t value) { c_.SetU8(At(pir::kOncAddress), value); }
uint8_t PirOnc::MessageIndex() const { return c_.U8(At(pir::kOncMessageIndex)); }
void PirOnc::SetMessageIndex(uint32_t index) { StoreIndexAndCode(pir::kOncMessageIndex, index); }
uint8_t PirOnc::Level() const { return c_.U8(At(pir::kOncLevel)); }
void PirOnc::SetLevel(uint32_t value) { c_.SetU8(At(pir::kOncLevel), value); }
// The whole byte is the flag: 0 disabled, anything else enabled.
uint8_t PirOnc::Enabled() const { return c_.U8(At(pir::kOncEnabled)) == 0 ? 1 : 0; }
void PirOnc::SetEnabled(uint32_t disabled) { c_.SetU8(At(pir::kOncEnabled), disabled ? 0 : 1); }

PirCommand PirSensorLayout::Commands(uint32_t command) const {
  return PirCommand(c_.Within(command < 3), command < 3 ? static_cast<uint8_t>(command) : 0);
}
uint8_t PirSensorLayout::CmndAddress() const { return c_.U8(Image().Index(pir::kDevice, 0, 0)); }
void PirSensorLayout::SetCmndAddress(uint32_t value) {
  c_.SetU8(Image().Index(pir::kDevice, 0, 0), value);
}
PirOnc PirSensorLayout::Oncs(uint32_t entry) const {
  const bool inRange = entry < Image().ResponseCount();
  return PirOnc(c_.Within(inRange), inRange ? static_cast<uint16_t>(entry) : 0, pir::kOncMessage);
}
uint8_t PirSensorLayout::SensorEnabled() const { return c_.U8(Image().EnableIndex()); }
void PirSensorLayout::SetSensorEnabled(uint32_t value) { c_.SetU8(Image().EnableIndex(), value); }

// ---- kind 133 ----

namespace light = light_image;

uint8_t LightCao::CmndAddress() const {
  return c_.U8(c_.Image().Index(light::kCaos, z_, light::kCmndAddress));
}
void LightCao::SetCmndAddress(uint32_t value) {
  c_.SetU8(c_.Image().Index(light::kCaos, z_, light::kCmndAddress), value);
}
uint8_t LightCao::Offset() const {
  return c_.U8(c_.Image().Index(light::kCaos, z_, light::kOffset));
}
void LightCao::SetOffset(uint32_t value) {
  c_.SetU8(c_.Image().Index(light::kCaos, z_, light::kOffset), value);
}

bool LightOnc::OldLayout() const { return light::OldResponseLayout(c_.Version(), c_.MinVersion()); }
uint8_t LightOnc::Address() const {
  const uint8_t byte = c_.U8(At(light::kOncAddressByte));
  return OldLayout() ? byte : Bits(byte, 0x7F, 0);
}
void LightOnc::SetAddress(uint32_t value) {
  const uint16_t at = At(light::kOncAddressByte);
  c_.SetU8(at, OldLayout() ? value : WithBits(c_.U8(at), 0x7F, 0, value));
}
uint8_t LightOnc::MessageIndex() const { return c_.U8(At(light::kOncMessageIndex)); }
void LightOnc::SetMessageIndex(uint32_t index) {
  StoreIndexAndCode(light::kOncMessageIndex, index);
}
uint32_t LightOnc::Level() const { return c_.U32(At(light::kOncLevel)); }
void LightOnc::SetLevel(uint32_t value) { c_.SetU32(At(light::kOncLevel), value); }
uint8_t LightOnc::Enabled() const {
  const uint8_t bit = OldLayout() ? Bits(c_.U8(At(light::kOncZoneByte)), 0x01, 0)
                                  : Bits(c_.U8(At(light::kOncAddressByte)), 0x80, 7);
  return bit ? 0 : 1;
}
void LightOnc::SetEnabled(uint32_t disabled) {
  const uint32_t enabled = disabled ? 0 : 1;
  if (OldLayout()) {
    const uint16_t at = At(light::kOncZoneByte);
    c_.SetU8(at, WithBits(c_.U8(at), 0x01, 0, enabled));
  } else {
    const uint16_t at = At(light::kOncAddressByte);
    c_.SetU8(at, WithBits(c_.U8(at), 0x80, 7, enabled));
  }
}
uint8_t LightOnc::ZoneEnabled(uint32_t zone) const {
  if (OldLayout() || zone >= 4) return 0;
  return Bits(c_.U8(At(light::kOncZoneByte)), static_cast<uint8_t>(0x03 << (2 * zone)),
              static_cast<uint8_t>(2 * zone));
}
void LightOnc::SetZoneEnabled(uint32_t zone, uint32_t value) {
  if (OldLayout() || zone >= 4) return;
  const uint16_t at = At(light::kOncZoneByte);
  c_.SetU8(at, WithBits(c_.U8(at), static_cast<uint8_t>(0x03 << (2 * zone)),
                        static_cast<uint8_t>(2 * zone), value));
}

RecordCursor LightSensorLayout::DeviceField(uint8_t field) const {
  // Firmware without Delta and Scale: both read 0.
  if (field == light::kDelta || field == light::kScale)
    return c_.Present(
        Image().OnDevice(Image().Index(light::kDevice, 0, field), c_.Version(), c_.MinVersion()));
  return c_;
}
uint32_t LightSensorLayout::Device32(uint8_t field) const {
  return c_.U32(Image().Index(light::kDevice, 0, field));
}
void LightSensorLayout::SetDevice32(uint8_t field, uint32_t value) {
  c_.SetU32(Image().Index(light::kDevice, 0, field), value);
}

uint8_t LightSensorLayout::Device8(uint8_t field) const {
  return DeviceField(field).U8(Image().Index(light::kDevice, 0, field));
}
void LightSensorLayout::SetDevice8(uint8_t field, uint32_t value) {
  DeviceField(field).SetU8(Image().Index(light::kDevice, 0, field), value);
}

uint8_t LightSensorLayout::ClosedLoop() const { return Device8(light::kClosedLoop); }
void LightSensorLayout::SetClosedLoop(uint32_t value) { SetDevice8(light::kClosedLoop, value); }
uint8_t LightSensorLayout::MaxLevel() const { return Device8(light::kMaxLevel); }
void LightSensorLayout::SetMaxLevel(uint32_t value) { SetDevice8(light::kMaxLevel, value); }
uint8_t LightSensorLayout::MinLevel() const { return Device8(light::kMinLevel); }
void LightSensorLayout::SetMinLevel(uint32_t value) { SetDevice8(light::kMinLevel, value); }
uint8_t LightSensorLayout::Delta() const { return Device8(light::kDelta); }
void LightSensorLayout::SetDelta(uint32_t value) { SetDevice8(light::kDelta, value); }
uint8_t LightSensorLayout::Scale() const { return Device8(light::kScale); }
void LightSensorLayout::SetScale(uint32_t value) { SetDevice8(light::kScale, value); }

uint32_t LightSensorLayout::DefaultLevel() const { return Device32(light::kDefaultLevel); }
void LightSensorLayout::SetDefaultLevel(uint32_t value) {
  SetDevice32(light::kDefaultLevel, value);
}
uint32_t LightSensorLayout::OnLevel() const { return Device32(light::kOnLevel); }
void LightSensorLayout::SetOnLevel(uint32_t value) { SetDevice32(light::kOnLevel, value); }
uint32_t LightSensorLayout::OffLevel() const { return Device32(light::kOffLevel); }
void LightSensorLayout::SetOffLevel(uint32_t value) { SetDevice32(light::kOffLevel, value); }
uint32_t LightSensorLayout::OffTimeout() const { return Device32(light::kOffTimeout); }
void LightSensorLayout::SetOffTimeout(uint32_t seconds) {
  SetDevice32(light::kOffTimeout, seconds);
}

LightCao LightSensorLayout::Caos(uint32_t zone) const {
  return LightCao(c_.Within(zone < 4), zone < 4 ? static_cast<uint8_t>(zone) : 0);
}
LightOnc LightSensorLayout::Oncs(uint32_t entry) const {
  const bool inRange = entry < Image().ResponseCount();
  return LightOnc(c_.Within(inRange), inRange ? static_cast<uint16_t>(entry) : 0,
                  light::kOncMessage);
}
uint8_t LightSensorLayout::SensorEnabled() const { return c_.U8(Image().EnableIndex()); }
void LightSensorLayout::SetSensorEnabled(uint32_t value) { c_.SetU8(Image().EnableIndex(), value); }

// ---- kind 142 ----

namespace pl = pir_light_image;

uint32_t PirLightCommand::Level() const {
  return c_.U32(c_.Image().Index(pl::kCommands, rep_, pl::kLevel));
}
void PirLightCommand::SetLevel(uint32_t value) {
  c_.SetU32(c_.Image().Index(pl::kCommands, rep_, pl::kLevel), value);
}
uint32_t PirLightCommand::Timeout() const {
  return c_.U32(c_.Image().Index(pl::kCommands, rep_, pl::kTimeout));
}
void PirLightCommand::SetTimeout(uint32_t seconds) {
  c_.SetU32(c_.Image().Index(pl::kCommands, rep_, pl::kTimeout), seconds);
}

PirLightCommand PirLightSequence::Commands(uint32_t command) const {
  return PirLightCommand(c_.Within(command < 3),
                         static_cast<uint8_t>(3 * q_ + (command < 3 ? command : 0)));
}

uint8_t PirLightOnc::Address() const { return c_.U8(At(pl::kOncAddress)); }
void PirLightOnc::SetAddress(uint32_t value) { c_.SetU8(At(pl::kOncAddress), value); }
uint8_t PirLightOnc::MessageIndex() const { return c_.U8(At(pl::kOncMessageIndex)); }
void PirLightOnc::SetMessageIndex(uint32_t index) {
  StoreIndexAndCode(pl::kOncMessageIndex, index);
}
uint32_t PirLightOnc::Level() const { return c_.U32(At(pl::kOncLevel)); }
void PirLightOnc::SetLevel(uint32_t value) { c_.SetU32(At(pl::kOncLevel), value); }
uint8_t PirLightOnc::Enabled() const { return Bits(c_.U8(At(pl::kOncFlags)), 0x01, 0) ? 0 : 1; }
void PirLightOnc::SetEnabled(uint32_t disabled) {
  // The device reads the low nibble as the flag, so bits 1-3 are cleared with it.
  const uint16_t at = At(pl::kOncFlags);
  c_.SetU8(at, WithBits(c_.U8(at), 0x0F, 0, disabled ? 0 : 1));
}
uint8_t PirLightOnc::SequenceIndex() const { return Bits(c_.U8(At(pl::kOncFlags)), 0xF0, 4); }
void PirLightOnc::SetSequenceIndex(uint32_t value) {
  const uint16_t at = At(pl::kOncFlags);
  c_.SetU8(at, WithBits(c_.U8(at), 0xF0, 4, value));
}

PirLightSequence PirLightSensorLayout::Sequences(uint32_t sequence) const {
  if (sequence >= 2) return PirLightSequence(c_.Within(false), 0);
  const bool onDevice = Image().OnDevice(Image().Index(pl::kCommands, 3 * sequence, 0),
                                         c_.Version(), c_.MinVersion());
  return PirLightSequence(c_.Present(onDevice), static_cast<uint8_t>(sequence));
}
uint16_t PirLightSensorLayout::DeviceIndex(uint8_t field) const {
  return Image().Index(pl::kDevice, 0, field);
}
uint32_t PirLightSensorLayout::OnLevel() const { return c_.U32(DeviceIndex(pl::kOnLevel)); }
void PirLightSensorLayout::SetOnLevel(uint32_t value) {
  c_.SetU32(DeviceIndex(pl::kOnLevel), value);
}
uint32_t PirLightSensorLayout::OffLevel() const { return c_.U32(DeviceIndex(pl::kOffLevel)); }
void PirLightSensorLayout::SetOffLevel(uint32_t value) {
  c_.SetU32(DeviceIndex(pl::kOffLevel), value);
}
uint32_t PirLightSensorLayout::OffTimeout() const { return c_.U32(DeviceIndex(pl::kOffTimeout)); }
void PirLightSensorLayout::SetOffTimeout(uint32_t seconds) {
  c_.SetU32(DeviceIndex(pl::kOffTimeout), seconds);
}
uint8_t PirLightSensorLayout::MaxLevel() const { return c_.U8(DeviceIndex(pl::kMaxLevel)); }
void PirLightSensorLayout::SetMaxLevel(uint32_t value) {
  c_.SetU8(DeviceIndex(pl::kMaxLevel), value);
}
uint8_t PirLightSensorLayout::MinLevel() const { return c_.U8(DeviceIndex(pl::kMinLevel)); }
void PirLightSensorLayout::SetMinLevel(uint32_t value) {
  c_.SetU8(DeviceIndex(pl::kMinLevel), value);
}
uint8_t PirLightSensorLayout::CmndAddress() const { return c_.U8(DeviceIndex(pl::kCmndAddress)); }
void PirLightSensorLayout::SetCmndAddress(uint32_t value) {
  c_.SetU8(DeviceIndex(pl::kCmndAddress), value);
}
uint8_t PirLightSensorLayout::Delta() const { return c_.U8(DeviceIndex(pl::kDelta)); }
void PirLightSensorLayout::SetDelta(uint32_t value) { c_.SetU8(DeviceIndex(pl::kDelta), value); }
uint8_t PirLightSensorLayout::Scale() const { return c_.U8(DeviceIndex(pl::kScale)); }
void PirLightSensorLayout::SetScale(uint32_t value) { c_.SetU8(DeviceIndex(pl::kScale), value); }
PirLightOnc PirLightSensorLayout::Oncs(uint32_t entry) const {
  const bool inRange = entry < Image().ResponseCount();
  return PirLightOnc(c_.Within(inRange), inRange ? static_cast<uint16_t>(entry) : 0,
                     pl::kOncMessage);
}
uint8_t PirLightSensorLayout::SensorEnabled() const {
  return Bits(c_.U8(Image().EnableIndex()), 0x01, 0);
}
void PirLightSensorLayout::SetSensorEnabled(uint32_t value) {
  // Bits 4-7 belong to the device and are kept.
  const uint16_t at = Image().EnableIndex();
  c_.SetU8(at, WithBits(c_.U8(at), 0x0F, 0, value));
}

// ---- kind 141 ----

namespace relay = relay_image;

uint8_t RelayOnc::Address() const { return c_.U8(At(relay::kOncAddress)); }
void RelayOnc::SetAddress(uint32_t value) { c_.SetU8(At(relay::kOncAddress), value); }
uint8_t RelayOnc::MessageIndex() const { return c_.U8(At(relay::kOncMessageIndex)); }
void RelayOnc::SetMessageIndex(uint32_t index) {
  StoreIndexAndCode(relay::kOncMessageIndex, index);
}
uint8_t RelayOnc::Operator() const { return c_.U8(At(relay::kOncOperator)); }
void RelayOnc::SetOperator(uint32_t value) { c_.SetU8(At(relay::kOncOperator), value); }
uint32_t RelayOnc::Level() const { return c_.U32(At(relay::kOncLevel)); }
void RelayOnc::SetLevel(uint32_t value) { c_.SetU32(At(relay::kOncLevel), value); }
uint8_t RelayOnc::RelayOn() const { return c_.U8(At(relay::kOncRelayOn)); }
void RelayOnc::SetRelayOn(uint32_t value) { c_.SetU8(At(relay::kOncRelayOn), value); }
uint8_t RelayOnc::Action() const {
  const uint8_t byte = RelayOn();
  return byte >= 0xF0 ? 0xFF : Bits(byte, 0xF0, 4);
}
void RelayOnc::SetAction(uint32_t value) { SetRelayOn(WithBits(RelayOn(), 0xF0, 4, value)); }
uint8_t RelayOnc::Output(uint8_t bit) const { return (RelayOn() >> bit) & 1; }
void RelayOnc::SetOutput(uint8_t bit, uint32_t on) {
  SetRelayOn(WithBits(RelayOn(), static_cast<uint8_t>(1 << bit), bit, on ? 1 : 0));
}

RelayOnc OptoRelayLayout::Oncs(uint32_t entry) const {
  const bool inRange = entry < Image().ResponseCount();
  return RelayOnc(c_.Within(inRange), inRange ? static_cast<uint16_t>(entry) : 0,
                  relay::kOncMessage);
}
uint8_t OptoRelayLayout::RelayEnabled() const { return c_.U8(Image().EnableIndex()); }
void OptoRelayLayout::SetRelayEnabled(uint32_t value) { c_.SetU8(Image().EnableIndex(), value); }

}  // namespace lumetra
