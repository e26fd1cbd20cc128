// Field and image-byte access of the five control device kinds over their image descriptions.
#include "model/ControllerLayouts.h"

#include <bit>

#include "model/MessageCodeTable.h"

namespace lumetra {

// ---- RecordCursor ----

uint8_t RecordCursor::U8(uint16_t index) const {
  if (!area_ || index >= image_->length) return missing_;
  return area_[image_->cells[index].offset];
}

void RecordCursor::SetU8(uint16_t index, uint32_t value) {
  if (!area_ || index >= image_->length) return;
  area_[image_->cells[index].offset] = static_cast<uint8_t>(value);
  Mark(index);
}

uint32_t RecordCursor::U32(uint16_t index) const {
  if (!area_ || index >= image_->length) return missing_ ? 0xFFFFFFFFu : 0u;
  const uint8_t* p = area_ + image_->cells[index].offset;
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

namespace {
void Put32(uint8_t* p, uint32_t value) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}
}  // namespace

uint16_t RecordCursor::WideEnd(uint16_t index) const {
  return image_->cells[index].part == ImagePart::Low && index + 1 < image_->length
             ? static_cast<uint16_t>(index + 1)
             : index;
}

void RecordCursor::SetU32(uint16_t index, uint32_t value) {
  if (!area_ || index >= image_->length) return;
  Put32(area_ + image_->cells[index].offset, value);
  Mark(index);
  Mark(WideEnd(index));
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

void RecordCursor::PutImageByte(uint16_t index, uint32_t value) {
  if (!area_ || index >= image_->length) return;
  const uint32_t byte = value & 0xFF;
  uint8_t* p = area_ + image_->cells[index].offset;
  switch (image_->cells[index].part) {
    case ImagePart::Low:
      Put32(p, byte);
      break;
    case ImagePart::High:
      Put32(p, U32(index) | (byte << 8));
      break;
    default:
      *p = static_cast<uint8_t>(byte);
      break;
  }
}

void RecordCursor::SetImageByte(uint16_t index, uint32_t value) {
  if (!area_ || index >= image_->length) return;
  PutImageByte(index, value);
  // The low byte replaces the whole value, so its high byte changed as well.
  Mark(index);
  Mark(WideEnd(index));
}

// ---- FieldGroup ----

uint16_t FieldGroup::At(uint8_t block, uint8_t field) const {
  return c_.Image().Index(block, rep_, static_cast<uint8_t>(first_ + field));
}

uint8_t FieldGroup::Get(BitField f) const {
  const uint16_t at = At(f.block, f.field);
  return static_cast<uint8_t>((c_.ForField(at).U8(at) & f.mask) >> std::countr_zero(f.mask));
}

void FieldGroup::Set(BitField f, uint32_t value) {
  const uint16_t at = At(f.block, f.field);
  RecordCursor c = c_.ForField(at);
  const uint32_t bits = (value << std::countr_zero(f.mask)) & f.mask;
  c.SetU8(at, (c.U8(at) & ~f.mask) | bits);
}

uint32_t FieldGroup::Get(WideField f) const {
  const uint16_t at = At(f.block, f.field);
  return c_.ForField(at).U32(at);
}

void FieldGroup::Set(WideField f, uint32_t value) {
  const uint16_t at = At(f.block, f.field);
  c_.ForField(at).SetU32(at, value);
}

// ---- KindRecord ----

uint8_t KindRecord::ImageByteAt(uint32_t index) const {
  return index < Image().length ? c_.ImageByte(static_cast<uint16_t>(index)) : 0;
}

void KindRecord::SetImageByteAt(uint32_t index, uint32_t value) {
  if (index < Image().length) c_.SetImageByte(static_cast<uint16_t>(index), value);
}

ByteOrigin KindRecord::Origin(uint32_t index) const {
  const ImageOrigins* origins = c_.Origins();
  return origins && index < Image().length ? origins->Origin(static_cast<uint16_t>(index))
                                           : ByteOrigin::kUnknown;
}

bool KindRecord::Pending(uint32_t index) const {
  const ImageOrigins* origins = c_.Origins();
  return origins && index < Image().length &&
         origins->Pending(static_cast<uint16_t>(index), ImageByteAt(index));
}

void KindRecord::StoreRead(uint32_t index, uint8_t value) {
  ImageOrigins* origins = c_.Origins();
  if (!origins || index >= Image().length) return;
  c_.PutImageByte(static_cast<uint16_t>(index), value);
  origins->MarkHeld(static_cast<uint16_t>(index), value);
}

void KindRecord::MarkSet(uint32_t index) {
  if (ImageOrigins* origins = c_.Origins(); origins && index < Image().length) {
    origins->MarkSet(static_cast<uint16_t>(index));
  }
}

void KindRecord::MarkHeld(uint32_t index) {
  if (ImageOrigins* origins = c_.Origins(); origins && index < Image().length) {
    origins->MarkHeld(static_cast<uint16_t>(index), ImageByteAt(index));
  }
}

bool KindRecord::Fits(uint32_t index) const {
  if (index >= Image().length || Image().cells[index].part == ImagePart::Byte) return true;
  const uint16_t low = Image().cells[index].part == ImagePart::Low ? index : index - 1;
  // All ones is the erased value, which the device holds as FF FF.
  const uint32_t value = c_.U32(low);
  return value <= 0xFFFF || value == 0xFFFFFFFFu;
}

void KindRecord::Forget(uint32_t index) {
  if (ImageOrigins* origins = c_.Origins()) origins->Forget(static_cast<uint16_t>(index));
}

void KindRecord::ForgetErased() {
  ImageOrigins* origins = c_.Origins();
  if (!origins) return;
  const KindImage& image = Image();
  for (uint16_t i = 0; i < image.length; ++i) {
    const bool erased =
        image.cells[i].part == ImagePart::Byte ? c_.U8(i) == 0xFF : c_.U32(i) == 0xFFFFFFFFu;
    if (erased) origins->Forget(i);
  }
}

int KindRecord::Location(uint32_t index) const {
  return index < Image().length
             ? Image().Location(static_cast<uint16_t>(index), c_.Version(), c_.MinVersion())
             : -1;
}

void OncView::StoreIndexAndCode(BitField indexField, uint32_t index) {
  Set(indexField, StoredMessageIndex(index));
  Set(MessageField(), MessageCodeOf(index));
}

// ---- kind 129 ----

namespace sw = switch_image;

// Step fields count from the step's first field. The editors pass indicators of 0..15; a wider
// value is cut to four bits so that it cannot spill into the neighbouring indicator.
constexpr BitField kStepAddress{sw::kSequences, sw::kAddress};
constexpr BitField kStepCommand{sw::kSequences, sw::kCommand};
constexpr BitField kStepIndicator1{sw::kSequences, sw::kIndicator12, 0x0F};
constexpr BitField kStepIndicator2{sw::kSequences, sw::kIndicator12, 0xF0};
constexpr BitField kStepIndicator3{sw::kSequences, sw::kIndicator34, 0x0F};
constexpr BitField kStepIndicator4{sw::kSequences, sw::kIndicator34, 0xF0};
constexpr WideField kStepTimeout{sw::kSequences, sw::kTimeout};
constexpr BitField kSequenceRepeat{sw::kSequences, sw::kRepeat};
constexpr BitField kSequenceResetFlags{sw::kSequences, sw::kResetFlags};
// Flags A: bit 0 enabled, bit 1 stop sequence, bits 2-4 indicator 2, bits 5-7 indicator 1.
// Flags B: bits 0-1 start sequence, bits 2-4 indicator 4, bits 5-7 indicator 3.
constexpr BitField kSwitchOncAddress{sw::kOncs, sw::kOncAddress};
constexpr BitField kSwitchOncEnabled{sw::kOncs, sw::kFlagsA, 0x01};
constexpr BitField kSwitchOncStopSequence{sw::kOncs, sw::kFlagsA, 0x02};
constexpr BitField kSwitchOncIndicator2{sw::kOncs, sw::kFlagsA, 0x1C};
constexpr BitField kSwitchOncIndicator1{sw::kOncs, sw::kFlagsA, 0xE0};
constexpr BitField kSwitchOncStartSequence{sw::kOncs, sw::kFlagsB, 0x03};
constexpr BitField kSwitchOncIndicator4{sw::kOncs, sw::kFlagsB, 0x1C};
constexpr BitField kSwitchOncIndicator3{sw::kOncs, sw::kFlagsB, 0xE0};
constexpr BitField kSwitchType0{sw::kDevice, sw::kType0};
constexpr BitField kSwitchType1{sw::kDevice, sw::kType1};
constexpr BitField kSwitchButtonsEnabled{sw::kDevice, sw::kButtonsEnabled};
constexpr BitField ButtonEnabledBit(uint32_t input) {
  return {sw::kDevice, sw::kButtonsEnabled, static_cast<uint8_t>(1u << input)};
}

uint8_t SwitchStep::Address() const { return Get(kStepAddress); }
void SwitchStep::SetAddress(uint32_t value) { Set(kStepAddress, value); }
uint8_t SwitchStep::Command() const { return Get(kStepCommand); }
void SwitchStep::SetCommand(uint32_t value) { Set(kStepCommand, value); }
uint8_t SwitchStep::Indicator1() const { return Get(kStepIndicator1); }
void SwitchStep::SetIndicator1(uint32_t value) { Set(kStepIndicator1, value); }
uint8_t SwitchStep::Indicator2() const { return Get(kStepIndicator2); }
void SwitchStep::SetIndicator2(uint32_t value) { Set(kStepIndicator2, value); }
uint8_t SwitchStep::Indicator3() const { return Get(kStepIndicator3); }
void SwitchStep::SetIndicator3(uint32_t value) { Set(kStepIndicator3, value); }
uint8_t SwitchStep::Indicator4() const { return Get(kStepIndicator4); }
void SwitchStep::SetIndicator4(uint32_t value) { Set(kStepIndicator4, value); }
constexpr BitField kStepIndicators[] = {kStepIndicator1, kStepIndicator2, kStepIndicator3,
                                        kStepIndicator4};
uint8_t SwitchStep::Indicator(uint32_t n) const { return Get(kStepIndicators[n & 3]); }
void SwitchStep::SetIndicator(uint32_t n, uint32_t value) { Set(kStepIndicators[n & 3], value); }
uint32_t SwitchStep::Timeout() const { return Get(kStepTimeout); }
void SwitchStep::SetTimeout(uint32_t seconds) { Set(kStepTimeout, seconds); }

SwitchStep SwitchSequence::Steps(uint32_t step) const {
  const uint8_t k = step < 4 ? static_cast<uint8_t>(step) : 0;
  return SwitchStep(c_.Within(step < 4), static_cast<uint8_t>(rep_), k);
}
uint8_t SwitchSequence::Repeat() const { return Get(kSequenceRepeat); }
void SwitchSequence::SetRepeat(uint32_t value) { Set(kSequenceRepeat, value); }
uint8_t SwitchSequence::ResetFlags() const { return Get(kSequenceResetFlags); }
void SwitchSequence::SetResetFlags(uint32_t value) { Set(kSequenceResetFlags, value); }

uint8_t SwitchOnc::Address() const { return Get(kSwitchOncAddress); }
void SwitchOnc::SetAddress(uint32_t value) { Set(kSwitchOncAddress, value); }
uint8_t SwitchOnc::MessageIndex() const { return MessageIndexOf(Message()); }
void SwitchOnc::SetMessageIndex(uint32_t index) { Set(MessageField(), MessageCodeOf(index)); }
uint8_t SwitchOnc::Enabled() const { return Disabled(kSwitchOncEnabled); }
void SwitchOnc::SetEnabled(uint32_t disabled) { SetDisabled(kSwitchOncEnabled, disabled); }
uint8_t SwitchOnc::StopSequence() const { return Get(kSwitchOncStopSequence); }
void SwitchOnc::SetStopSequence(uint32_t value) { Set(kSwitchOncStopSequence, value); }
uint8_t SwitchOnc::StartSequence() const { return Get(kSwitchOncStartSequence); }
void SwitchOnc::SetStartSequence(uint32_t value) { Set(kSwitchOncStartSequence, value); }
uint8_t SwitchOnc::Indicator1() const { return Get(kSwitchOncIndicator1); }
void SwitchOnc::SetIndicator1(uint32_t value) { Set(kSwitchOncIndicator1, value); }
uint8_t SwitchOnc::Indicator2() const { return Get(kSwitchOncIndicator2); }
void SwitchOnc::SetIndicator2(uint32_t value) { Set(kSwitchOncIndicator2, value); }
uint8_t SwitchOnc::Indicator3() const { return Get(kSwitchOncIndicator3); }
void SwitchOnc::SetIndicator3(uint32_t value) { Set(kSwitchOncIndicator3, value); }
uint8_t SwitchOnc::Indicator4() const { return Get(kSwitchOncIndicator4); }
void SwitchOnc::SetIndicator4(uint32_t value) { Set(kSwitchOncIndicator4, value); }
constexpr BitField kSwitchOncIndicators[] = {kSwitchOncIndicator1, kSwitchOncIndicator2,
                                             kSwitchOncIndicator3, kSwitchOncIndicator4};
uint8_t SwitchOnc::Indicator(uint32_t n) const { return Get(kSwitchOncIndicators[n & 3]); }
void SwitchOnc::SetIndicator(uint32_t n, uint32_t value) {
  Set(kSwitchOncIndicators[n & 3], value);
}

SwitchSequence SwitchLayout::Sequences(uint32_t sequence) const {
  return SwitchSequence(c_.Within(sequence < 4), sequence < 4 ? static_cast<uint8_t>(sequence) : 0);
}

SwitchOnc SwitchLayout::Oncs(uint32_t input, uint32_t entry) const {
  const bool inRange = input < 2 && entry < 16;
  const uint16_t rep = inRange ? static_cast<uint16_t>(16 * input + entry) : 0;
  return SwitchOnc(c_.Within(inRange), rep, sw::kOncMessage);
}

uint8_t SwitchLayout::Type0() const { return Get(kSwitchType0); }
void SwitchLayout::SetType0(uint32_t value) { Set(kSwitchType0, value); }
uint8_t SwitchLayout::Type1() const { return Get(kSwitchType1); }
void SwitchLayout::SetType1(uint32_t value) { Set(kSwitchType1, value); }
uint8_t SwitchLayout::ButtonsEnabled() const { return Get(kSwitchButtonsEnabled); }
void SwitchLayout::SetButtonsEnabled(uint32_t value) { Set(kSwitchButtonsEnabled, value); }
bool SwitchLayout::ButtonEnabled(uint32_t input) const {
  return input < 2 && Get(ButtonEnabledBit(input));
}
void SwitchLayout::SetButtonEnabled(uint32_t input, bool enabled) {
  if (input < 2) Set(ButtonEnabledBit(input), enabled);
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

constexpr BitField kPirCommandLevel{pir::kCommands, pir::kLevel};
constexpr WideField kPirCommandTimeout{pir::kCommands, pir::kTimeout};
constexpr BitField kPirCmndAddress{pir::kDevice, 0};
constexpr BitField kPirOncAddress{pir::kOncs, pir::kOncAddress};
constexpr BitField kPirOncMessageIndex{pir::kOncs, pir::kOncMessageIndex};
constexpr BitField kPirOncLevel{pir::kOncs, pir::kOncLevel};
// The whole byte is the flag: 0 disabled, anything else enabled.
constexpr BitField kPirOncEnabled{pir::kOncs, pir::kOncEnabled};
constexpr BitField kPirSensorEnabled{pir::kEnable, 0};

uint8_t PirCommand::Level() const { return Get(kPirCommandLevel); }
void PirCommand::SetLevel(uint32_t value) { Set(kPirCommandLevel, value); }
uint32_t PirCommand::Timeout() const { return Get(kPirCommandTimeout); }
void PirCommand::SetTimeout(uint32_t seconds) { Set(kPirCommandTimeout, seconds); }

uint8_t PirOnc::Address() const { return Get(kPirOncAddress); }
void PirOnc::SetAddress(uint32_t value) { Set(kPirOncAddress, value); }
uint8_t PirOnc::MessageIndex() const { return Get(kPirOncMessageIndex); }
void PirOnc::SetMessageIndex(uint32_t index) { StoreIndexAndCode(kPirOncMessageIndex, index); }
uint8_t PirOnc::Level() const { return Get(kPirOncLevel); }
void PirOnc::SetLevel(uint32_t value) { Set(kPirOncLevel, value); }
uint8_t PirOnc::Enabled() const { return Disabled(kPirOncEnabled); }
void PirOnc::SetEnabled(uint32_t disabled) { SetDisabled(kPirOncEnabled, disabled); }

PirCommand PirSensorLayout::Commands(uint32_t command) const {
  return PirCommand(c_.Within(command < 3), command < 3 ? static_cast<uint8_t>(command) : 0);
}
uint8_t PirSensorLayout::CmndAddress() const { return Get(kPirCmndAddress); }
void PirSensorLayout::SetCmndAddress(uint32_t value) { Set(kPirCmndAddress, value); }
PirOnc PirSensorLayout::Oncs(uint32_t entry) const {
  const bool inRange = entry < Image().ResponseCount();
  return PirOnc(c_.Within(inRange), inRange ? static_cast<uint16_t>(entry) : 0, pir::kOncMessage);
}
uint8_t PirSensorLayout::SensorEnabled() const { return Get(kPirSensorEnabled); }
void PirSensorLayout::SetSensorEnabled(uint32_t value) { Set(kPirSensorEnabled, value); }

// ---- kind 133 ----

namespace light = light_image;

constexpr BitField kLightClosedLoop{light::kDevice, light::kClosedLoop};
constexpr WideField kLightDefaultLevel{light::kDevice, light::kDefaultLevel};
constexpr WideField kLightOnLevel{light::kDevice, light::kOnLevel};
constexpr WideField kLightOffLevel{light::kDevice, light::kOffLevel};
constexpr WideField kLightOffTimeout{light::kDevice, light::kOffTimeout};
constexpr BitField kLightMaxLevel{light::kDevice, light::kMaxLevel};
constexpr BitField kLightMinLevel{light::kDevice, light::kMinLevel};
// Not on firmware 1.000 and 1.001: the image's firmware gap makes them read 0 there.
constexpr BitField kLightDelta{light::kDevice, light::kDelta};
constexpr BitField kLightScale{light::kDevice, light::kScale};
constexpr BitField kLightCaoCmndAddress{light::kCaos, light::kCmndAddress};
constexpr BitField kLightCaoOffset{light::kCaos, light::kOffset};
constexpr BitField kLightOncMessageIndex{light::kOncs, light::kOncMessageIndex};
constexpr WideField kLightOncLevel{light::kOncs, light::kOncLevel};
// Firmware 1.000..1.004, then later firmware.
constexpr BitField kLightOncOldAddress{light::kOncs, light::kOncAddressByte};
constexpr BitField kLightOncOldEnabled{light::kOncs, light::kOncZoneByte, 0x01};
constexpr BitField kLightOncAddress{light::kOncs, light::kOncAddressByte, 0x7F};
constexpr BitField kLightOncEnabled{light::kOncs, light::kOncAddressByte, 0x80};
constexpr BitField LightOncZone(uint32_t zone) {
  return {light::kOncs, light::kOncZoneByte, static_cast<uint8_t>(0x03 << (2 * zone))};
}
constexpr BitField kLightSensorEnabled{light::kEnable, 0};

uint8_t LightCao::CmndAddress() const { return Get(kLightCaoCmndAddress); }
void LightCao::SetCmndAddress(uint32_t value) { Set(kLightCaoCmndAddress, value); }
uint8_t LightCao::Offset() const { return Get(kLightCaoOffset); }
void LightCao::SetOffset(uint32_t value) { Set(kLightCaoOffset, value); }

bool LightOnc::OldLayout() const { return light::OldResponseLayout(c_.Version(), c_.MinVersion()); }
uint8_t LightOnc::Address() const {
  return Get(OldLayout() ? kLightOncOldAddress : kLightOncAddress);
}
void LightOnc::SetAddress(uint32_t value) {
  Set(OldLayout() ? kLightOncOldAddress : kLightOncAddress, value);
}
uint8_t LightOnc::MessageIndex() const { return Get(kLightOncMessageIndex); }
void LightOnc::SetMessageIndex(uint32_t index) { StoreIndexAndCode(kLightOncMessageIndex, index); }
uint32_t LightOnc::Level() const { return Get(kLightOncLevel); }
void LightOnc::SetLevel(uint32_t value) { Set(kLightOncLevel, value); }
uint8_t LightOnc::Enabled() const {
  return Disabled(OldLayout() ? kLightOncOldEnabled : kLightOncEnabled);
}
void LightOnc::SetEnabled(uint32_t disabled) {
  SetDisabled(OldLayout() ? kLightOncOldEnabled : kLightOncEnabled, disabled);
}
uint8_t LightOnc::ZoneEnabled(uint32_t zone) const {
  return OldLayout() || zone >= 4 ? 0 : Get(LightOncZone(zone));
}
void LightOnc::SetZoneEnabled(uint32_t zone, uint32_t value) {
  if (!OldLayout() && zone < 4) Set(LightOncZone(zone), value);
}

uint8_t LightSensorLayout::ClosedLoop() const { return Get(kLightClosedLoop); }
void LightSensorLayout::SetClosedLoop(uint32_t value) { Set(kLightClosedLoop, value); }
uint32_t LightSensorLayout::DefaultLevel() const { return Get(kLightDefaultLevel); }
void LightSensorLayout::SetDefaultLevel(uint32_t value) { Set(kLightDefaultLevel, value); }
uint32_t LightSensorLayout::OnLevel() const { return Get(kLightOnLevel); }
void LightSensorLayout::SetOnLevel(uint32_t value) { Set(kLightOnLevel, value); }
uint32_t LightSensorLayout::OffLevel() const { return Get(kLightOffLevel); }
void LightSensorLayout::SetOffLevel(uint32_t value) { Set(kLightOffLevel, value); }
uint32_t LightSensorLayout::OffTimeout() const { return Get(kLightOffTimeout); }
void LightSensorLayout::SetOffTimeout(uint32_t seconds) { Set(kLightOffTimeout, seconds); }
uint8_t LightSensorLayout::MaxLevel() const { return Get(kLightMaxLevel); }
void LightSensorLayout::SetMaxLevel(uint32_t value) { Set(kLightMaxLevel, value); }
uint8_t LightSensorLayout::MinLevel() const { return Get(kLightMinLevel); }
void LightSensorLayout::SetMinLevel(uint32_t value) { Set(kLightMinLevel, value); }
uint8_t LightSensorLayout::Delta() const { return Get(kLightDelta); }
void LightSensorLayout::SetDelta(uint32_t value) { Set(kLightDelta, value); }
uint8_t LightSensorLayout::Scale() const { return Get(kLightScale); }
void LightSensorLayout::SetScale(uint32_t value) { Set(kLightScale, value); }

LightCao LightSensorLayout::Caos(uint32_t zone) const {
  return LightCao(c_.Within(zone < 4), zone < 4 ? static_cast<uint8_t>(zone) : 0);
}
LightOnc LightSensorLayout::Oncs(uint32_t entry) const {
  const bool inRange = entry < Image().ResponseCount();
  return LightOnc(c_.Within(inRange), inRange ? static_cast<uint16_t>(entry) : 0,
                  light::kOncMessage);
}
uint8_t LightSensorLayout::SensorEnabled() const { return Get(kLightSensorEnabled); }
void LightSensorLayout::SetSensorEnabled(uint32_t value) { Set(kLightSensorEnabled, value); }

// ---- kind 142 ----

namespace pl = pir_light_image;

constexpr WideField kPirLightCommandLevel{pl::kCommands, pl::kLevel};
constexpr WideField kPirLightCommandTimeout{pl::kCommands, pl::kTimeout};
constexpr WideField kPirLightOnLevel{pl::kDevice, pl::kOnLevel};
constexpr WideField kPirLightOffLevel{pl::kDevice, pl::kOffLevel};
constexpr WideField kPirLightOffTimeout{pl::kDevice, pl::kOffTimeout};
constexpr BitField kPirLightMaxLevel{pl::kDevice, pl::kMaxLevel};
constexpr BitField kPirLightMinLevel{pl::kDevice, pl::kMinLevel};
constexpr BitField kPirLightCmndAddress{pl::kDevice, pl::kCmndAddress};
constexpr BitField kPirLightDelta{pl::kDevice, pl::kDelta};
constexpr BitField kPirLightScale{pl::kDevice, pl::kScale};
constexpr BitField kPirLightOncAddress{pl::kOncs, pl::kOncAddress};
constexpr BitField kPirLightOncMessageIndex{pl::kOncs, pl::kOncMessageIndex};
constexpr WideField kPirLightOncLevel{pl::kOncs, pl::kOncLevel};
constexpr BitField kPirLightOncSequenceIndex{pl::kOncs, pl::kOncFlags, 0xF0};
// Both flags are bit 0, but the device reads the low nibble: the setters write all of it, so a
// response's bits 1-3 are cleared with its flag, and the enable byte keeps bits 4-7, which
// belong to the device.
constexpr BitField kPirLightOncEnabled{pl::kOncs, pl::kOncFlags, 0x01};
constexpr BitField kPirLightOncEnabledNibble{pl::kOncs, pl::kOncFlags, 0x0F};
constexpr BitField kPirLightSensorEnabled{pl::kEnable, 0, 0x01};
constexpr BitField kPirLightSensorEnabledNibble{pl::kEnable, 0, 0x0F};

uint32_t PirLightCommand::Level() const { return Get(kPirLightCommandLevel); }
void PirLightCommand::SetLevel(uint32_t value) { Set(kPirLightCommandLevel, value); }
uint32_t PirLightCommand::Timeout() const { return Get(kPirLightCommandTimeout); }
void PirLightCommand::SetTimeout(uint32_t seconds) { Set(kPirLightCommandTimeout, seconds); }

PirLightCommand PirLightSequence::Commands(uint32_t command) const {
  return PirLightCommand(c_.Within(command < 3),
                         static_cast<uint8_t>(3 * q_ + (command < 3 ? command : 0)));
}

uint8_t PirLightOnc::Address() const { return Get(kPirLightOncAddress); }
void PirLightOnc::SetAddress(uint32_t value) { Set(kPirLightOncAddress, value); }
uint8_t PirLightOnc::MessageIndex() const { return Get(kPirLightOncMessageIndex); }
void PirLightOnc::SetMessageIndex(uint32_t index) {
  StoreIndexAndCode(kPirLightOncMessageIndex, index);
}
uint32_t PirLightOnc::Level() const { return Get(kPirLightOncLevel); }
void PirLightOnc::SetLevel(uint32_t value) { Set(kPirLightOncLevel, value); }
uint8_t PirLightOnc::Enabled() const { return Disabled(kPirLightOncEnabled); }
void PirLightOnc::SetEnabled(uint32_t disabled) {
  SetDisabled(kPirLightOncEnabledNibble, disabled);
}
uint8_t PirLightOnc::SequenceIndex() const { return Get(kPirLightOncSequenceIndex); }
void PirLightOnc::SetSequenceIndex(uint32_t value) { Set(kPirLightOncSequenceIndex, value); }

// Sequence 1 of firmware 1.000 lies in the image's firmware gap, so its fields read 0.
PirLightSequence PirLightSensorLayout::Sequences(uint32_t sequence) const {
  return PirLightSequence(c_.Within(sequence < 2),
                          sequence < 2 ? static_cast<uint8_t>(sequence) : 0);
}
uint32_t PirLightSensorLayout::OnLevel() const { return Get(kPirLightOnLevel); }
void PirLightSensorLayout::SetOnLevel(uint32_t value) { Set(kPirLightOnLevel, value); }
uint32_t PirLightSensorLayout::OffLevel() const { return Get(kPirLightOffLevel); }
void PirLightSensorLayout::SetOffLevel(uint32_t value) { Set(kPirLightOffLevel, value); }
uint32_t PirLightSensorLayout::OffTimeout() const { return Get(kPirLightOffTimeout); }
void PirLightSensorLayout::SetOffTimeout(uint32_t seconds) { Set(kPirLightOffTimeout, seconds); }
uint8_t PirLightSensorLayout::MaxLevel() const { return Get(kPirLightMaxLevel); }
void PirLightSensorLayout::SetMaxLevel(uint32_t value) { Set(kPirLightMaxLevel, value); }
uint8_t PirLightSensorLayout::MinLevel() const { return Get(kPirLightMinLevel); }
void PirLightSensorLayout::SetMinLevel(uint32_t value) { Set(kPirLightMinLevel, value); }
uint8_t PirLightSensorLayout::CmndAddress() const { return Get(kPirLightCmndAddress); }
void PirLightSensorLayout::SetCmndAddress(uint32_t value) { Set(kPirLightCmndAddress, value); }
uint8_t PirLightSensorLayout::Delta() const { return Get(kPirLightDelta); }
void PirLightSensorLayout::SetDelta(uint32_t value) { Set(kPirLightDelta, value); }
uint8_t PirLightSensorLayout::Scale() const { return Get(kPirLightScale); }
void PirLightSensorLayout::SetScale(uint32_t value) { Set(kPirLightScale, value); }
PirLightOnc PirLightSensorLayout::Oncs(uint32_t entry) const {
  const bool inRange = entry < Image().ResponseCount();
  return PirLightOnc(c_.Within(inRange), inRange ? static_cast<uint16_t>(entry) : 0,
                     pl::kOncMessage);
}
uint8_t PirLightSensorLayout::SensorEnabled() const { return Get(kPirLightSensorEnabled); }
void PirLightSensorLayout::SetSensorEnabled(uint32_t value) {
  Set(kPirLightSensorEnabledNibble, value);
}

// ---- kind 141 ----

namespace relay = relay_image;

constexpr BitField kRelayOncAddress{relay::kOncs, relay::kOncAddress};
constexpr BitField kRelayOncMessageIndex{relay::kOncs, relay::kOncMessageIndex};
constexpr BitField kRelayOncOperator{relay::kOncs, relay::kOncOperator};
constexpr WideField kRelayOncLevel{relay::kOncs, relay::kOncLevel};
// Bits 4-7 the action, bits 0-3 outputs A..D.
constexpr BitField kRelayOncRelayOn{relay::kOncs, relay::kOncRelayOn};
constexpr BitField kRelayOncAction{relay::kOncs, relay::kOncRelayOn, 0xF0};
constexpr BitField RelayOutputBit(uint8_t bit) {
  return {relay::kOncs, relay::kOncRelayOn, static_cast<uint8_t>(1u << bit)};
}
constexpr BitField kRelayEnabled{relay::kEnable, 0};

uint8_t RelayOnc::Address() const { return Get(kRelayOncAddress); }
void RelayOnc::SetAddress(uint32_t value) { Set(kRelayOncAddress, value); }
uint8_t RelayOnc::MessageIndex() const { return Get(kRelayOncMessageIndex); }
void RelayOnc::SetMessageIndex(uint32_t index) { StoreIndexAndCode(kRelayOncMessageIndex, index); }
uint8_t RelayOnc::Operator() const { return Get(kRelayOncOperator); }
void RelayOnc::SetOperator(uint32_t value) { Set(kRelayOncOperator, value); }
uint32_t RelayOnc::Level() const { return Get(kRelayOncLevel); }
void RelayOnc::SetLevel(uint32_t value) { Set(kRelayOncLevel, value); }
uint8_t RelayOnc::RelayOn() const { return Get(kRelayOncRelayOn); }
void RelayOnc::SetRelayOn(uint32_t value) { Set(kRelayOncRelayOn, value); }
uint8_t RelayOnc::Action() const { return RelayOn() >= 0xF0 ? 0xFF : Get(kRelayOncAction); }
void RelayOnc::SetAction(uint32_t value) { Set(kRelayOncAction, value); }
uint8_t RelayOnc::Output(uint8_t bit) const { return Get(RelayOutputBit(bit)); }
void RelayOnc::SetOutput(uint8_t bit, uint32_t on) { Set(RelayOutputBit(bit), on ? 1 : 0); }

RelayOnc OptoRelayLayout::Oncs(uint32_t entry) const {
  const bool inRange = entry < Image().ResponseCount();
  return RelayOnc(c_.Within(inRange), inRange ? static_cast<uint16_t>(entry) : 0,
                  relay::kOncMessage);
}
uint8_t OptoRelayLayout::RelayEnabled() const { return Get(kRelayEnabled); }
void OptoRelayLayout::SetRelayEnabled(uint32_t value) { Set(kRelayEnabled, value); }

}  // namespace lumetra
