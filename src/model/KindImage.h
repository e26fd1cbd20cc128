// How each control device kind lays out its configuration image: the fields in image order (the
// order of memory bank 0xB0 from location 7), their widths, where each sits in the record and which
// firmware leaves bytes out. Reading, writing and every by-index accessor go through these tables.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>

namespace lumetra {

inline constexpr uint8_t kKindSwitch = 129;
inline constexpr uint8_t kKindPirSensor = 131;
inline constexpr uint8_t kKindLightSensor = 133;
inline constexpr uint8_t kKindOptoRelay = 141;
inline constexpr uint8_t kKindPirLightSensor = 142;

// First location of the kind image in memory bank 0xB0.
inline constexpr uint8_t kImageFirstLocation = 7;

// Image bytes per field: an 8-bit field is one byte; a 16-bit device value takes two (low byte
// first) and is held in 32 bits in the record.
inline constexpr uint8_t kField8 = 1;
inline constexpr uint8_t kField16 = 2;

inline constexpr int kMaxBlockFields = 24;
inline constexpr int kMaxBlocks = 4;
inline constexpr int kMaxImageLength = 256;

// Which part of a record field one image byte is.
enum class ImagePart : uint8_t { Byte, Low, High };

struct ImageCell {
  uint16_t offset = 0;  // byte offset of the field in the record's layout area
  ImagePart part = ImagePart::Byte;
};

// A run of `repeat` identical groups of fields, e.g. the 32 responses.
struct ImageBlock {
  uint8_t repeat = 0;
  uint8_t fieldCount = 0;
  std::array<uint8_t, kMaxBlockFields> widths{};
  // Derived by MakeKindImage.
  uint16_t firstIndex = 0;
  uint16_t indexStride = 0;
  uint16_t firstOffset = 0;
  uint16_t offsetStride = 0;
  std::array<uint8_t, kMaxBlockFields> fieldIndex{};
  std::array<uint16_t, kMaxBlockFields> fieldOffset{};
};

// Older firmware lacks `count` image bytes from `first` on when Version is `major` and MinVersion
// is below `minorBelow`; the later bytes sit that many locations lower on the device.
struct FirmwareGap {
  uint16_t first = 0;
  uint16_t count = 0;
  uint8_t major = 0;
  uint8_t minorBelow = 0;

  constexpr bool AppliesTo(uint8_t version, uint8_t minVersion) const {
    return count != 0 && version == major && minVersion < minorBelow;
  }
  constexpr bool Covers(uint16_t index) const { return index >= first && index < first + count; }
};

struct KindImage {
  uint8_t deviceType = 0;
  uint8_t blockCount = 0;
  uint8_t responseBlock = 0;  // the block of responses to other devices' messages
  uint16_t length = 0;        // image indices, the kind's enable byte (the last one) included
  uint16_t recordBytes = 0;   // bytes of record layout area the kind uses
  std::array<ImageBlock, kMaxBlocks> blocks{};
  std::array<ImageCell, kMaxImageLength> cells{};
  FirmwareGap gap{};

  // Image index of field `field` in repetition `rep` of block `block`.
  constexpr uint16_t Index(uint8_t block, uint16_t rep, uint8_t field) const {
    const ImageBlock& b = blocks[block];
    return b.firstIndex + rep * b.indexStride + b.fieldIndex[field];
  }
  // Indices before the responses: the range of the parameter ImageByte pair.
  constexpr uint16_t ParameterCount() const { return blocks[responseBlock].firstIndex; }
  constexpr uint8_t ResponseBytes() const {
    return static_cast<uint8_t>(blocks[responseBlock].indexStride);
  }
  constexpr uint16_t ResponseCount() const { return blocks[responseBlock].repeat; }
  constexpr uint16_t EnableIndex() const { return length - 1; }

  constexpr bool OnDevice(uint16_t index, uint8_t version, uint8_t minVersion) const {
    return index < length && !(gap.AppliesTo(version, minVersion) && gap.Covers(index));
  }
  // Memory location (bank 0xB0) of image index `index` for that firmware; -1 when the device does
  // not have the byte.
  constexpr int Location(uint16_t index, uint8_t version, uint8_t minVersion) const {
    if (!OnDevice(index, version, minVersion)) return -1;
    const bool shifted = gap.AppliesTo(version, minVersion) && index >= gap.first + gap.count;
    return kImageFirstLocation + index - (shifted ? gap.count : 0);
  }
  // Image bytes the device of that firmware actually holds.
  constexpr uint16_t DeviceLength(uint8_t version, uint8_t minVersion) const {
    return length - (gap.AppliesTo(version, minVersion) ? gap.count : 0);
  }
};

constexpr ImageBlock Block(uint8_t repeat, std::initializer_list<uint8_t> widths) {
  ImageBlock b;
  b.repeat = repeat;
  for (uint8_t w : widths) b.widths[b.fieldCount++] = w;
  return b;
}

constexpr KindImage MakeKindImage(uint8_t deviceType, std::initializer_list<ImageBlock> blocks,
                                  uint8_t responseBlock, FirmwareGap gap = {}) {
  KindImage image;
  image.deviceType = deviceType;
  image.responseBlock = responseBlock;
  image.gap = gap;
  uint16_t index = 0;
  uint16_t offset = 0;
  for (ImageBlock b : blocks) {
    b.firstIndex = index;
    b.firstOffset = offset;
    for (uint8_t f = 0; f < b.fieldCount; ++f) {
      b.fieldIndex[f] = static_cast<uint8_t>(b.indexStride);
      b.fieldOffset[f] = b.offsetStride;
      b.indexStride += b.widths[f];
      b.offsetStride += b.widths[f] == kField16 ? 4 : 1;
    }
    for (uint16_t r = 0; r < b.repeat; ++r) {
      for (uint8_t f = 0; f < b.fieldCount; ++f) {
        const uint16_t at = b.firstOffset + r * b.offsetStride + b.fieldOffset[f];
        if (b.widths[f] == kField16) {
          image.cells[index++] = {at, ImagePart::Low};
          image.cells[index++] = {at, ImagePart::High};
        } else {
          image.cells[index++] = {at, ImagePart::Byte};
        }
      }
    }
    offset += b.repeat * b.offsetStride;
    image.blocks[image.blockCount++] = b;
  }
  image.length = index;
  image.recordBytes = offset;
  return image;
}

// Kind 129, push-button/switch inputs: four sequences of four steps, then 2 × 16 responses, then
// the input types and the enable bits.
namespace switch_image {
enum Block : uint8_t { kSequences, kOncs, kDevice };
// Step k's fields are at 5k + these; the sequence's own two bytes follow the four steps.
enum StepField : uint8_t { kAddress, kCommand, kIndicator12, kIndicator34, kTimeout, kStepFields };
inline constexpr uint8_t kRepeat = 4 * kStepFields;
inline constexpr uint8_t kResetFlags = kRepeat + 1;
enum OncField : uint8_t { kOncAddress, kOncMessage, kFlagsA, kFlagsB };
enum DeviceField : uint8_t { kType0, kType1, kButtonsEnabled };
}  // namespace switch_image

inline constexpr KindImage kSwitchImage =
    MakeKindImage(kKindSwitch,
                  {Block(4, {1, 1, 1, 1, 2, 1, 1, 1, 1, 2, 1, 1, 1, 1, 2, 1, 1, 1, 1, 2, 1, 1}),
                   Block(32, {1, 1, 1, 1}), Block(1, {1, 1, 1})},
                  switch_image::kOncs);

// Kind 131, motion sensor.
namespace pir_image {
enum Block : uint8_t { kCommands, kDevice, kOncs, kEnable };
enum CommandField : uint8_t { kLevel, kTimeout };
enum OncField : uint8_t { kOncAddress, kOncMessageIndex, kOncMessage, kOncLevel, kOncEnabled };
}  // namespace pir_image

inline constexpr KindImage kPirSensorImage = MakeKindImage(
    kKindPirSensor, {Block(3, {1, 2}), Block(1, {1}), Block(32, {1, 1, 1, 1, 1}), Block(1, {1})},
    pir_image::kOncs);

// Kind 133, light sensor. Firmware 1.000 and 1.001 have no Delta and Scale (indices 11 and 12).
namespace light_image {
enum Block : uint8_t { kDevice, kCaos, kOncs, kEnable };
enum DeviceField : uint8_t {
  kClosedLoop,
  kDefaultLevel,
  kOnLevel,
  kOffLevel,
  kOffTimeout,
  kMaxLevel,
  kMinLevel,
  kDelta,
  kScale
};
enum CaoField : uint8_t { kCmndAddress, kOffset };
enum OncField : uint8_t { kOncAddressByte, kOncMessageIndex, kOncMessage, kOncLevel, kOncZoneByte };
// Firmware 1.000..1.004 keep the response enable bit in the zone byte and have no zone fields.
constexpr bool OldResponseLayout(uint8_t version, uint8_t minVersion) {
  return version == 1 && minVersion < 5;
}
}  // namespace light_image

inline constexpr KindImage kLightSensorImage =
    MakeKindImage(kKindLightSensor,
                  {Block(1, {1, 2, 2, 2, 2, 1, 1, 1, 1}), Block(4, {1, 1}),
                   Block(32, {1, 1, 1, 2, 1}), Block(1, {1})},
                  light_image::kOncs, FirmwareGap{11, 2, 1, 2});

// Kind 142, combined motion and light sensor. Firmware 1.000 has no sequence 1 (indices 12..23).
namespace pir_light_image {
enum Block : uint8_t { kCommands, kDevice, kOncs, kEnable };
// Repetition 3q + c is command c of sequence q.
enum CommandField : uint8_t { kLevel, kTimeout };
enum DeviceField : uint8_t {
  kOnLevel,
  kOffLevel,
  kOffTimeout,
  kMaxLevel,
  kMinLevel,
  kCmndAddress,
  kDelta,
  kScale
};
enum OncField : uint8_t { kOncAddress, kOncMessageIndex, kOncMessage, kOncLevel, kOncFlags };
}  // namespace pir_light_image

inline constexpr KindImage kPirLightSensorImage =
    MakeKindImage(kKindPirLightSensor,
                  {Block(6, {2, 2}), Block(1, {2, 2, 2, 1, 1, 1, 1, 1}), Block(32, {1, 1, 1, 2, 1}),
                   Block(1, {1})},
                  pir_light_image::kOncs, FirmwareGap{12, 12, 1, 1});

// Kind 141, opto-relay: responses only.
namespace relay_image {
enum Block : uint8_t { kOncs, kEnable };
enum OncField : uint8_t {
  kOncAddress,
  kOncMessageIndex,
  kOncMessage,
  kOncOperator,
  kOncLevel,
  kOncRelayOn
};
}  // namespace relay_image

inline constexpr KindImage kOptoRelayImage = MakeKindImage(
    kKindOptoRelay, {Block(32, {1, 1, 1, 1, 2, 1}), Block(1, {1})}, relay_image::kOncs);

// The description of a kind code; nullptr for a kind without a layout.
constexpr const KindImage* KindImageFor(uint8_t deviceType) {
  switch (deviceType) {
    case kKindSwitch:
      return &kSwitchImage;
    case kKindPirSensor:
      return &kPirSensorImage;
    case kKindLightSensor:
      return &kLightSensorImage;
    case kKindOptoRelay:
      return &kOptoRelayImage;
    case kKindPirLightSensor:
      return &kPirLightSensorImage;
    default:
      return nullptr;
  }
}

// Bytes of the record area the kinds overlay.
inline constexpr uint16_t kControllerLayoutBytes = [] {
  uint16_t most = 0;
  for (const KindImage* k : {&kSwitchImage, &kPirSensorImage, &kLightSensorImage, &kOptoRelayImage,
                             &kPirLightSensorImage})
    if (k->recordBytes > most) most = k->recordBytes;
  return most;
}();

}  // namespace lumetra
