// The kind image descriptions: lengths, device locations per firmware, the image bits of every
// named field, and a full round trip per kind and firmware through both kinds of accessor.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "model/ControllerConfig.h"
#include "model/MessageCodeTable.h"

namespace lumetra {
namespace {

TEST(ImageDescriptionTest, LengthsAndEnableByteLocations) {
  struct Case {
    const KindImage* image;
    uint16_t length, parameters;
    uint8_t responseBytes;
    int enableLocation;
  };
  for (const Case c :
       {Case{&kSwitchImage, 235, 104, 4, 241}, Case{&kPirSensorImage, 171, 10, 5, 177},
        Case{&kLightSensorImage, 214, 21, 6, 220}, Case{&kOptoRelayImage, 225, 0, 7, 231},
        Case{&kPirLightSensorImage, 228, 35, 6, 234}}) {
    EXPECT_EQ(c.image->length, c.length) << int(c.image->deviceType);
    EXPECT_EQ(c.image->ParameterCount(), c.parameters) << int(c.image->deviceType);
    EXPECT_EQ(c.image->ResponseBytes(), c.responseBytes) << int(c.image->deviceType);
    EXPECT_EQ(c.image->Location(c.image->EnableIndex(), 2, 0), c.enableLocation);
    EXPECT_LE(c.image->recordBytes, kControllerLayoutBytes);
    EXPECT_EQ(KindImageFor(c.image->deviceType), c.image);
  }
  EXPECT_EQ(KindImageFor(130), nullptr);
}

// Each image byte belongs to exactly one field, and no two fields share record memory.
TEST(ImageDescriptionTest, CellsNeverOverlap) {
  for (const KindImage* image : {&kSwitchImage, &kPirSensorImage, &kLightSensorImage,
                                 &kOptoRelayImage, &kPirLightSensorImage}) {
    std::set<uint16_t> used;
    for (uint16_t k = 0; k < image->length; ++k) {
      const ImageCell& cell = image->cells[k];
      if (cell.part == ImagePart::High) {
        ASSERT_GT(k, 0);
        EXPECT_EQ(image->cells[k - 1].part, ImagePart::Low) << k;
        EXPECT_EQ(image->cells[k - 1].offset, cell.offset) << k;
        continue;
      }
      const int width = cell.part == ImagePart::Low ? 4 : 1;
      for (int b = 0; b < width; ++b)
        EXPECT_TRUE(used.insert(cell.offset + b).second) << int(image->deviceType) << " " << k;
      EXPECT_LE(cell.offset + width, image->recordBytes);
    }
  }
}

TEST(ImageDescriptionTest, FirmwareGapsMoveLaterBytesDown) {
  struct Case {
    const KindImage* image;
    uint8_t major, minor;
    uint16_t index;
    int location;
  };
  for (const Case c : {
           Case{&kLightSensorImage, 1, 1, 10, 17},
           Case{&kLightSensorImage, 1, 1, 11, -1},
           Case{&kLightSensorImage, 1, 1, 12, -1},
           Case{&kLightSensorImage, 1, 1, 13, 18},
           Case{&kLightSensorImage, 1, 1, 213, 218},
           Case{&kLightSensorImage, 1, 2, 13, 20},
           Case{&kLightSensorImage, 2, 1, 11, 18},
           Case{&kPirLightSensorImage, 1, 0, 11, 18},
           Case{&kPirLightSensorImage, 1, 0, 12, -1},
           Case{&kPirLightSensorImage, 1, 0, 23, -1},
           Case{&kPirLightSensorImage, 1, 0, 24, 19},
           Case{&kPirLightSensorImage, 1, 0, 227, 222},
           Case{&kPirLightSensorImage, 1, 1, 227, 234},
           Case{&kSwitchImage, 1, 0, 232, 239},
           Case{&kPirSensorImage, 1, 0, 170, 177},
       }) {
    EXPECT_EQ(c.image->Location(c.index, c.major, c.minor), c.location)
        << int(c.image->deviceType) << " " << int(c.major) << "." << int(c.minor) << " " << c.index;
  }
  EXPECT_EQ(kLightSensorImage.DeviceLength(1, 1), 212);
  EXPECT_EQ(kPirLightSensorImage.DeviceLength(1, 0), 216);
  EXPECT_EQ(kPirLightSensorImage.DeviceLength(1, 1), 228);
}

// Distinct value for field number n of a given width (16-bit values get a non-zero high byte).
uint32_t Value8(uint32_t n, uint32_t mod = 256) { return (n * 37 + 11) % mod; }
uint32_t Value16(uint32_t n) { return 0x0100 + (n * 1237) % 0xFE00; }

// Sets every field of a kind through its accessors with distinct values and lists what each getter
// must then read (0 for fields the firmware lacks); or, when not filling, what the getters read.
class Fields {
 public:
  explicit Fields(bool fill) : fill_(fill) {}
  template <typename Get, typename Set>
  void Add(uint32_t value, Get get, Set set, bool present = true) {
    if (fill_) set(value);
    out_.push_back(fill_ ? (present ? value : 0) : get());
  }
  uint32_t Next() { return static_cast<uint32_t>(out_.size()); }
  std::vector<uint32_t> Take() { return std::move(out_); }

 private:
  bool fill_;
  std::vector<uint32_t> out_;
};

std::vector<uint32_t> SwitchFields(TControllerConfig& t, bool fill) {
  Fields f(fill);
  SwitchLayout sw = t.Switch();
  for (uint32_t s = 0; s < 4; ++s) {
    SwitchSequence seq = sw.Sequences(s);
    for (uint32_t k = 0; k < 4; ++k) {
      SwitchStep st = seq.Steps(k);
      f.Add(
          Value8(f.Next()), [&] { return st.Address(); }, [&](uint32_t v) { st.SetAddress(v); });
      f.Add(
          Value8(f.Next()), [&] { return st.Command(); }, [&](uint32_t v) { st.SetCommand(v); });
      f.Add(
          Value8(f.Next(), 16), [&] { return st.Indicator1(); },
          [&](uint32_t v) { st.SetIndicator1(v); });
      f.Add(
          Value8(f.Next(), 16), [&] { return st.Indicator2(); },
          [&](uint32_t v) { st.SetIndicator2(v); });
      f.Add(
          Value8(f.Next(), 16), [&] { return st.Indicator3(); },
          [&](uint32_t v) { st.SetIndicator3(v); });
      f.Add(
          Value8(f.Next(), 16), [&] { return st.Indicator4(); },
          [&](uint32_t v) { st.SetIndicator4(v); });
      f.Add(
          Value16(f.Next()), [&] { return st.Timeout(); }, [&](uint32_t v) { st.SetTimeout(v); });
    }
    f.Add(
        Value8(f.Next()), [&] { return seq.Repeat(); }, [&](uint32_t v) { seq.SetRepeat(v); });
    f.Add(
        Value8(f.Next()), [&] { return seq.ResetFlags(); },
        [&](uint32_t v) { seq.SetResetFlags(v); });
  }
  for (uint32_t i = 0; i < 2; ++i) {
    for (uint32_t j = 0; j < 16; ++j) {
      SwitchOnc o = sw.Oncs(i, j);
      f.Add(
          Value8(f.Next()), [&] { return o.Address(); }, [&](uint32_t v) { o.SetAddress(v); });
      // Indices 1..6 only: 7 and 8 share codes with earlier ones and read back as those.
      f.Add(
          1 + Value8(f.Next(), 6), [&] { return o.MessageIndex(); },
          [&](uint32_t v) { o.SetMessageIndex(v); });
      f.Add(
          Value8(f.Next(), 2), [&] { return o.Enabled(); }, [&](uint32_t v) { o.SetEnabled(v); });
      f.Add(
          Value8(f.Next(), 2), [&] { return o.StopSequence(); },
          [&](uint32_t v) { o.SetStopSequence(v); });
      f.Add(
          Value8(f.Next(), 4), [&] { return o.StartSequence(); },
          [&](uint32_t v) { o.SetStartSequence(v); });
      f.Add(
          Value8(f.Next(), 8), [&] { return o.Indicator1(); },
          [&](uint32_t v) { o.SetIndicator1(v); });
      f.Add(
          Value8(f.Next(), 8), [&] { return o.Indicator2(); },
          [&](uint32_t v) { o.SetIndicator2(v); });
      f.Add(
          Value8(f.Next(), 8), [&] { return o.Indicator3(); },
          [&](uint32_t v) { o.SetIndicator3(v); });
      f.Add(
          Value8(f.Next(), 8), [&] { return o.Indicator4(); },
          [&](uint32_t v) { o.SetIndicator4(v); });
    }
  }
  f.Add(
      0, [&] { return sw.Type0(); }, [&](uint32_t v) { sw.SetType0(v); });
  f.Add(
      2, [&] { return sw.Type1(); }, [&](uint32_t v) { sw.SetType1(v); });
  f.Add(
      2, [&] { return sw.ButtonsEnabled(); }, [&](uint32_t v) { sw.SetButtonsEnabled(v); });
  return f.Take();
}

uint32_t SwitchByIndex(TControllerConfig& t, uint16_t k, int value) {
  SwitchLayout sw = t.Switch();
  if (k < 104) {
    if (value >= 0) sw.SetImageByte(k / 26, k % 26, value);
    return sw.ImageByte(k / 26, k % 26);
  }
  if (k < 232) {
    const uint32_t r = (k - 104) / 4, n = (k - 104) % 4;
    if (value >= 0) sw.SetImageByte(r / 16, r % 16, n, value);
    return sw.ImageByte(r / 16, r % 16, n);
  }
  // The types and the enable byte travel through their field accessors.
  switch (k) {
    case 232:
      value >= 0 ? sw.SetType0(value) : void();
      return sw.Type0();
    case 233:
      value >= 0 ? sw.SetType1(value) : void();
      return sw.Type1();
    default:
      value >= 0 ? sw.SetButtonsEnabled(value) : void();
      return sw.ButtonsEnabled();
  }
}

std::vector<uint32_t> PirFields(TControllerConfig& t, bool fill) {
  Fields f(fill);
  PirSensorLayout p = t.PirSensor();
  for (uint32_t c = 0; c < 3; ++c) {
    PirCommand cmd = p.Commands(c);
    f.Add(
        Value8(f.Next()), [&] { return cmd.Level(); }, [&](uint32_t v) { cmd.SetLevel(v); });
    f.Add(
        Value16(f.Next()), [&] { return cmd.Timeout(); }, [&](uint32_t v) { cmd.SetTimeout(v); });
  }
  f.Add(
      Value8(f.Next()), [&] { return p.CmndAddress(); }, [&](uint32_t v) { p.SetCmndAddress(v); });
  for (uint32_t j = 0; j < 32; ++j) {
    PirOnc o = p.Oncs(j);
    f.Add(
        Value8(f.Next()), [&] { return o.Address(); }, [&](uint32_t v) { o.SetAddress(v); });
    f.Add(
        Value8(f.Next(), 12), [&] { return o.MessageIndex(); },
        [&](uint32_t v) { o.SetMessageIndex(v); });
    f.Add(
        MessageCodeOf(Value8(f.Next() - 1, 12)), [&] { return o.Message(); }, [](uint32_t) {});
    f.Add(
        Value8(f.Next()), [&] { return o.Level(); }, [&](uint32_t v) { o.SetLevel(v); });
    f.Add(
        Value8(f.Next(), 2), [&] { return o.Enabled(); }, [&](uint32_t v) { o.SetEnabled(v); });
  }
  f.Add(
      1, [&] { return p.SensorEnabled(); }, [&](uint32_t v) { p.SetSensorEnabled(v); });
  return f.Take();
}

template <typename Layout>
uint32_t ResponseByIndex(Layout layout, uint16_t k, int value, void (Layout::*setEnable)(uint32_t),
                         uint8_t (Layout::*getEnable)() const) {
  const KindImage& image = layout.Image();
  if (k < image.ParameterCount()) {
    if (value >= 0) layout.SetImageByte(k, value);
    return layout.ImageByte(k);
  }
  if (k < image.EnableIndex()) {
    const uint32_t r = (k - image.ParameterCount()) / image.ResponseBytes();
    const uint32_t n = (k - image.ParameterCount()) % image.ResponseBytes();
    if (value >= 0) layout.SetImageByte(r, n, value);
    return layout.ImageByte(r, n);
  }
  if (value >= 0) (layout.*setEnable)(value);
  return (layout.*getEnable)();
}

std::vector<uint32_t> LightFields(TControllerConfig& t, bool fill) {
  Fields f(fill);
  LightSensorLayout l = t.LightSensor();
  const bool deltaScale = !(t.Version() == 1 && t.MinVersion() < 2);
  const bool zones = !(t.Version() == 1 && t.MinVersion() < 5);
  f.Add(
      Value8(f.Next()), [&] { return l.ClosedLoop(); }, [&](uint32_t v) { l.SetClosedLoop(v); });
  f.Add(
      Value16(f.Next()), [&] { return l.DefaultLevel(); },
      [&](uint32_t v) { l.SetDefaultLevel(v); });
  f.Add(
      Value16(f.Next()), [&] { return l.OnLevel(); }, [&](uint32_t v) { l.SetOnLevel(v); });
  f.Add(
      Value16(f.Next()), [&] { return l.OffLevel(); }, [&](uint32_t v) { l.SetOffLevel(v); });
  f.Add(
      Value16(f.Next()), [&] { return l.OffTimeout(); }, [&](uint32_t v) { l.SetOffTimeout(v); });
  f.Add(
      Value8(f.Next()), [&] { return l.MaxLevel(); }, [&](uint32_t v) { l.SetMaxLevel(v); });
  f.Add(
      Value8(f.Next()), [&] { return l.MinLevel(); }, [&](uint32_t v) { l.SetMinLevel(v); });
  f.Add(
      Value8(f.Next()), [&] { return l.Delta(); }, [&](uint32_t v) { l.SetDelta(v); }, deltaScale);
  f.Add(
      Value8(f.Next()), [&] { return l.Scale(); }, [&](uint32_t v) { l.SetScale(v); }, deltaScale);
  for (uint32_t z = 0; z < 4; ++z) {
    LightCao cao = l.Caos(z);
    f.Add(
        Value8(f.Next()), [&] { return cao.CmndAddress(); },
        [&](uint32_t v) { cao.SetCmndAddress(v); });
    f.Add(
        Value8(f.Next()), [&] { return cao.Offset(); }, [&](uint32_t v) { cao.SetOffset(v); });
  }
  for (uint32_t j = 0; j < 32; ++j) {
    LightOnc o = l.Oncs(j);
    f.Add(
        Value8(f.Next(), zones ? 128 : 256), [&] { return o.Address(); },
        [&](uint32_t v) { o.SetAddress(v); });
    f.Add(
        Value8(f.Next(), 12), [&] { return o.MessageIndex(); },
        [&](uint32_t v) { o.SetMessageIndex(v); });
    f.Add(
        Value16(f.Next()), [&] { return o.Level(); }, [&](uint32_t v) { o.SetLevel(v); });
    f.Add(
        Value8(f.Next(), 2), [&] { return o.Enabled(); }, [&](uint32_t v) { o.SetEnabled(v); });
    for (uint32_t z = 0; z < 4; ++z) {
      f.Add(
          Value8(f.Next(), 3), [&] { return o.ZoneEnabled(z); },
          [&](uint32_t v) { o.SetZoneEnabled(z, v); }, zones);
    }
  }
  f.Add(
      1, [&] { return l.SensorEnabled(); }, [&](uint32_t v) { l.SetSensorEnabled(v); });
  return f.Take();
}

std::vector<uint32_t> PirLightFields(TControllerConfig& t, bool fill) {
  Fields f(fill);
  PirLightSensorLayout p = t.PirLightSensor();
  const bool sequence1 = !(t.Version() == 1 && t.MinVersion() == 0);
  for (uint32_t q = 0; q < 2; ++q) {
    for (uint32_t c = 0; c < 3; ++c) {
      PirLightCommand cmd = p.Sequences(q).Commands(c);
      f.Add(
          Value16(f.Next()), [&] { return cmd.Level(); }, [&](uint32_t v) { cmd.SetLevel(v); },
          q == 0 || sequence1);
      f.Add(
          Value16(f.Next()), [&] { return cmd.Timeout(); }, [&](uint32_t v) { cmd.SetTimeout(v); },
          q == 0 || sequence1);
    }
  }
  f.Add(
      Value16(f.Next()), [&] { return p.OnLevel(); }, [&](uint32_t v) { p.SetOnLevel(v); });
  f.Add(
      Value16(f.Next()), [&] { return p.OffLevel(); }, [&](uint32_t v) { p.SetOffLevel(v); });
  f.Add(
      Value16(f.Next()), [&] { return p.OffTimeout(); }, [&](uint32_t v) { p.SetOffTimeout(v); });
  f.Add(
      Value8(f.Next()), [&] { return p.MaxLevel(); }, [&](uint32_t v) { p.SetMaxLevel(v); });
  f.Add(
      Value8(f.Next()), [&] { return p.MinLevel(); }, [&](uint32_t v) { p.SetMinLevel(v); });
  f.Add(
      Value8(f.Next()), [&] { return p.CmndAddress(); }, [&](uint32_t v) { p.SetCmndAddress(v); });
  f.Add(
      Value8(f.Next()), [&] { return p.Delta(); }, [&](uint32_t v) { p.SetDelta(v); });
  f.Add(
      Value8(f.Next()), [&] { return p.Scale(); }, [&](uint32_t v) { p.SetScale(v); });
  for (uint32_t j = 0; j < 32; ++j) {
    PirLightOnc o = p.Oncs(j);
    f.Add(
        Value8(f.Next()), [&] { return o.Address(); }, [&](uint32_t v) { o.SetAddress(v); });
    f.Add(
        Value8(f.Next(), 12), [&] { return o.MessageIndex(); },
        [&](uint32_t v) { o.SetMessageIndex(v); });
    f.Add(
        Value16(f.Next()), [&] { return o.Level(); }, [&](uint32_t v) { o.SetLevel(v); });
    f.Add(
        Value8(f.Next(), 2), [&] { return o.Enabled(); }, [&](uint32_t v) { o.SetEnabled(v); });
    f.Add(
        Value8(f.Next(), 16), [&] { return o.SequenceIndex(); },
        [&](uint32_t v) { o.SetSequenceIndex(v); });
  }
  f.Add(
      1, [&] { return p.SensorEnabled(); }, [&](uint32_t v) { p.SetSensorEnabled(v); });
  return f.Take();
}

std::vector<uint32_t> RelayFields(TControllerConfig& t, bool fill) {
  Fields f(fill);
  OptoRelayLayout r = t.OptoRelay();
  for (uint32_t j = 0; j < 32; ++j) {
    RelayOnc o = r.Oncs(j);
    f.Add(
        Value8(f.Next()), [&] { return o.Address(); }, [&](uint32_t v) { o.SetAddress(v); });
    f.Add(
        Value8(f.Next(), 12), [&] { return o.MessageIndex(); },
        [&](uint32_t v) { o.SetMessageIndex(v); });
    f.Add(
        Value8(f.Next(), 4), [&] { return o.Operator(); }, [&](uint32_t v) { o.SetOperator(v); });
    f.Add(
        Value16(f.Next()), [&] { return o.Level(); }, [&](uint32_t v) { o.SetLevel(v); });
    f.Add(
        Value8(f.Next(), 2), [&] { return o.Action(); }, [&](uint32_t v) { o.SetAction(v); });
    f.Add(
        Value8(f.Next(), 2), [&] { return o.Output1(); }, [&](uint32_t v) { o.SetOutput1(v); });
    f.Add(
        Value8(f.Next(), 2), [&] { return o.Output2(); }, [&](uint32_t v) { o.SetOutput2(v); });
    f.Add(
        Value8(f.Next(), 2), [&] { return o.Output3(); }, [&](uint32_t v) { o.SetOutput3(v); });
    f.Add(
        Value8(f.Next(), 2), [&] { return o.Output4(); }, [&](uint32_t v) { o.SetOutput4(v); });
  }
  f.Add(
      1, [&] { return r.RelayEnabled(); }, [&](uint32_t v) { r.SetRelayEnabled(v); });
  return f.Take();
}

struct RoundTripCase {
  const char* name;
  const KindImage* image;
  uint8_t major, minor;
  std::vector<uint32_t> (*fields)(TControllerConfig&, bool);
  uint32_t (*byIndex)(TControllerConfig&, uint16_t, int);
};

uint32_t PirByIndex(TControllerConfig& t, uint16_t k, int v) {
  return ResponseByIndex(t.PirSensor(), k, v, &PirSensorLayout::SetSensorEnabled,
                         &PirSensorLayout::SensorEnabled);
}
uint32_t LightByIndex(TControllerConfig& t, uint16_t k, int v) {
  return ResponseByIndex(t.LightSensor(), k, v, &LightSensorLayout::SetSensorEnabled,
                         &LightSensorLayout::SensorEnabled);
}
uint32_t PirLightByIndex(TControllerConfig& t, uint16_t k, int v) {
  return ResponseByIndex(t.PirLightSensor(), k, v, &PirLightSensorLayout::SetSensorEnabled,
                         &PirLightSensorLayout::SensorEnabled);
}
uint32_t RelayByIndex(TControllerConfig& t, uint16_t k, int v) {
  return ResponseByIndex(t.OptoRelay(), k, v, &OptoRelayLayout::SetRelayEnabled,
                         &OptoRelayLayout::RelayEnabled);
}

void PrintTo(const RoundTripCase& c, std::ostream* os) { *os << c.name; }

class ImageRoundTripTest : public ::testing::TestWithParam<RoundTripCase> {
 protected:
  void Occupy(uint8_t slot) {
    const RoundTripCase& c = GetParam();
    table.SetCurrentSlot(slot);
    table.SetShortAddress(slot);
    table.SetDeviceType(c.image->deviceType);
    table.SetVersion(c.major);
    table.SetMinVersion(c.minor);
  }
  TControllerConfig table;
};

// Every field set through its accessor, the image read byte by byte through the by-index
// accessors and written into a fresh record the same way, must read back field for field. Any
// drift between an accessor and the image order shows up as a mismatch or an overwritten field.
TEST_P(ImageRoundTripTest, FieldsSurviveTheImage) {
  const RoundTripCase& c = GetParam();
  Occupy(10);
  const std::vector<uint32_t> expected = c.fields(table, true);
  ASSERT_EQ(c.fields(table, false), expected) << "accessors disagree before any transfer";

  std::vector<uint32_t> image;
  for (uint16_t k = 0; k < c.image->length; ++k) image.push_back(c.byIndex(table, k, -1));
  // The flat view the device transfers use yields the same bytes. The enable byte is left out:
  // its field accessor may be a bit field of it (combined sensor).
  KindRecord flat = table.Image(*c.image);
  for (uint16_t k = 0; k < c.image->EnableIndex(); ++k)
    EXPECT_EQ(flat.ImageByteAt(k), image[k]) << k;

  Occupy(11);
  for (uint16_t k = 0; k < c.image->length; ++k) c.byIndex(table, k, static_cast<int>(image[k]));
  EXPECT_EQ(c.fields(table, false), expected);
}

INSTANTIATE_TEST_SUITE_P(
    ImageKinds, ImageRoundTripTest,
    ::testing::Values(
        RoundTripCase{"Switch", &kSwitchImage, 1, 1, SwitchFields, SwitchByIndex},
        RoundTripCase{"PirSensor", &kPirSensorImage, 1, 0, PirFields, PirByIndex},
        RoundTripCase{"LightSensor_1_001", &kLightSensorImage, 1, 1, LightFields, LightByIndex},
        RoundTripCase{"LightSensor_1_004", &kLightSensorImage, 1, 4, LightFields, LightByIndex},
        RoundTripCase{"LightSensor_1_005", &kLightSensorImage, 1, 5, LightFields, LightByIndex},
        RoundTripCase{"LightSensor_2_000", &kLightSensorImage, 2, 0, LightFields, LightByIndex},
        RoundTripCase{"PirLightSensor_1_000", &kPirLightSensorImage, 1, 0, PirLightFields,
                      PirLightByIndex},
        RoundTripCase{"PirLightSensor_1_001", &kPirLightSensorImage, 1, 1, PirLightFields,
                      PirLightByIndex},
        RoundTripCase{"OptoRelay", &kOptoRelayImage, 1, 0, RelayFields, RelayByIndex}),
    [](const ::testing::TestParamInfo<RoundTripCase>& info) {
      return std::string(info.param.name);
    });

// The bits of one image byte a setter must store: the byte reads (background & ~bits) | stored.
struct ByteChange {
  uint16_t index;
  uint8_t bits, stored;
};

// One named field of a view: what its setter stores and where. No changes: the firmware lacks
// the field and nothing is stored.
template <typename View>
struct FieldRow {
  FieldRow(const char* name, void (View::*set)(uint32_t), uint32_t value,
           std::vector<ByteChange> changes)
      : name(name), store([set, value](View v) { (v.*set)(value); }), changes(std::move(changes)) {}
  FieldRow(const char* name, std::function<void(View)> store, std::vector<ByteChange> changes)
      : name(name), store(std::move(store)), changes(std::move(changes)) {}
  const char* name;
  std::function<void(View)> store;
  std::vector<ByteChange> changes;
};

// Where every named field sits. The round trip above passes as long as setter and getter agree,
// even with two fields swapped; these tables pin each field to its image bytes and bits. Values
// wider than a field show that the setter cuts them. Each row runs on a record of all zeros and on
// one of all ones, so a setter that touches any bit but its own changes a byte that must not.
class NamedFieldTest : public ::testing::Test {
 protected:
  template <typename View>
  void Check(const KindImage& image, uint8_t major, uint8_t minor, View (*view)(TControllerConfig&),
             std::initializer_list<FieldRow<View>> rows) {
    for (const FieldRow<View>& row : rows) {
      for (const uint8_t background : {uint8_t{0x00}, uint8_t{0xFF}}) {
        TControllerConfig table;
        table.SetCurrentSlot(12);
        table.SetShortAddress(12);
        table.SetDeviceType(image.deviceType);
        table.SetVersion(major);
        table.SetMinVersion(minor);
        KindRecord flat = table.Image(image);
        for (uint16_t k = 0; k < image.length; ++k) flat.SetImageByteAt(k, background);

        row.store(view(table));
        for (uint16_t k = 0; k < image.length; ++k) {
          uint8_t expected = background;
          for (const ByteChange& c : row.changes)
            if (c.index == k) expected = static_cast<uint8_t>((background & ~c.bits) | c.stored);
          EXPECT_EQ(flat.ImageByteAt(k), expected)
              << row.name << " of kind " << int(image.deviceType) << " " << int(major) << "."
              << int(minor) << ": image index " << k << " on a record of 0x" << std::hex
              << int(background);
        }
      }
    }
  }
};

TEST_F(NamedFieldTest, EachSetterStoresExactlyItsOwnBits) {
  // Kind 129: step 3 of sequence 2 at image index 70, response 5 of input 1 at 188.
  Check<SwitchStep>(
      kSwitchImage, 1, 1, [](TControllerConfig& t) { return t.Switch().Sequences(2).Steps(3); },
      {
          {"Address", &SwitchStep::SetAddress, 0x1A5, {{70, 0xFF, 0xA5}}},
          {"Command", &SwitchStep::SetCommand, 0x5A, {{71, 0xFF, 0x5A}}},
          {"Indicator1", &SwitchStep::SetIndicator1, 0x15, {{72, 0x0F, 0x05}}},
          {"Indicator2", &SwitchStep::SetIndicator2, 0x1A, {{72, 0xF0, 0xA0}}},
          {"Indicator3", &SwitchStep::SetIndicator3, 0x1A, {{73, 0x0F, 0x0A}}},
          {"Indicator4", &SwitchStep::SetIndicator4, 0x15, {{73, 0xF0, 0x50}}},
          {"Timeout", &SwitchStep::SetTimeout, 0xC35A, {{74, 0xFF, 0x5A}, {75, 0xFF, 0xC3}}},
      });
  Check<SwitchSequence>(
      kSwitchImage, 1, 1, [](TControllerConfig& t) { return t.Switch().Sequences(2); },
      {
          {"Repeat", &SwitchSequence::SetRepeat, 0x3C, {{76, 0xFF, 0x3C}}},
          {"ResetFlags", &SwitchSequence::SetResetFlags, 0xC3, {{77, 0xFF, 0xC3}}},
      });
  Check<SwitchOnc>(kSwitchImage, 1, 1, [](TControllerConfig& t) { return t.Switch().Oncs(1, 5); },
                   {
                       {"Address", &SwitchOnc::SetAddress, 0x96, {{188, 0xFF, 0x96}}},
                       {"MessageIndex", &SwitchOnc::SetMessageIndex, 11, {{189, 0xFF, 0xFE}}},
                       {"Enabled", &SwitchOnc::SetEnabled, 0, {{190, 0x01, 0x01}}},
                       {"StopSequence", &SwitchOnc::SetStopSequence, 3, {{190, 0x02, 0x02}}},
                       {"Indicator2", &SwitchOnc::SetIndicator2, 0xD, {{190, 0x1C, 0x14}}},
                       {"Indicator1", &SwitchOnc::SetIndicator1, 0xA, {{190, 0xE0, 0x40}}},
                       {"StartSequence", &SwitchOnc::SetStartSequence, 6, {{191, 0x03, 0x02}}},
                       {"Indicator4", &SwitchOnc::SetIndicator4, 0xA, {{191, 0x1C, 0x08}}},
                       {"Indicator3", &SwitchOnc::SetIndicator3, 0xD, {{191, 0xE0, 0xA0}}},
                   });
  Check<SwitchLayout>(
      kSwitchImage, 1, 1, [](TControllerConfig& t) { return t.Switch(); },
      {
          {"Type0", &SwitchLayout::SetType0, 0x12, {{232, 0xFF, 0x12}}},
          {"Type1", &SwitchLayout::SetType1, 0x21, {{233, 0xFF, 0x21}}},
          {"ButtonsEnabled", &SwitchLayout::SetButtonsEnabled, 0x1E1, {{234, 0xFF, 0xE1}}},
          {"ButtonEnabled0", [](SwitchLayout l) { l.SetButtonEnabled(0, true); }, {{234, 1, 1}}},
          {"ButtonEnabled1", [](SwitchLayout l) { l.SetButtonEnabled(1, false); }, {{234, 2, 0}}},
      });

  // Kind 131: command 2 at 6, response 7 at 45.
  Check<PirCommand>(
      kPirSensorImage, 1, 0, [](TControllerConfig& t) { return t.PirSensor().Commands(2); },
      {
          {"Level", &PirCommand::SetLevel, 0x1A5, {{6, 0xFF, 0xA5}}},
          {"Timeout", &PirCommand::SetTimeout, 0x3CA5, {{7, 0xFF, 0xA5}, {8, 0xFF, 0x3C}}},
      });
  Check<PirOnc>(
      kPirSensorImage, 1, 0, [](TControllerConfig& t) { return t.PirSensor().Oncs(7); },
      {
          {"Address", &PirOnc::SetAddress, 0x96, {{45, 0xFF, 0x96}}},
          {"MessageIndex", &PirOnc::SetMessageIndex, 11, {{46, 0xFF, 11}, {47, 0xFF, 0xFE}}},
          {"Level", &PirOnc::SetLevel, 0x69, {{48, 0xFF, 0x69}}},
          {"Enabled", &PirOnc::SetEnabled, 0, {{49, 0xFF, 0x01}}},
      });
  Check<PirSensorLayout>(
      kPirSensorImage, 1, 0, [](TControllerConfig& t) { return t.PirSensor(); },
      {
          {"CmndAddress", &PirSensorLayout::SetCmndAddress, 0x84, {{9, 0xFF, 0x84}}},
          {"SensorEnabled", &PirSensorLayout::SetSensorEnabled, 0x5A, {{170, 0xFF, 0x5A}}},
      });

  // Kind 133: zone 3 at 19, response 4 at 45. Delta and Scale from firmware 1.002; the response
  // packing changes at 1.005.
  using L = LightSensorLayout;
  Check<L>(kLightSensorImage, 1, 2, [](TControllerConfig& t) { return t.LightSensor(); },
           {
               {"ClosedLoop", &L::SetClosedLoop, 0x5A, {{0, 0xFF, 0x5A}}},
               {"DefaultLevel", &L::SetDefaultLevel, 0x1234, {{1, 0xFF, 0x34}, {2, 0xFF, 0x12}}},
               {"OnLevel", &L::SetOnLevel, 0x3456, {{3, 0xFF, 0x56}, {4, 0xFF, 0x34}}},
               {"OffLevel", &L::SetOffLevel, 0x5678, {{5, 0xFF, 0x78}, {6, 0xFF, 0x56}}},
               {"OffTimeout", &L::SetOffTimeout, 0x789A, {{7, 0xFF, 0x9A}, {8, 0xFF, 0x78}}},
               {"MaxLevel", &L::SetMaxLevel, 0xFE, {{9, 0xFF, 0xFE}}},
               {"MinLevel", &L::SetMinLevel, 0x01, {{10, 0xFF, 0x01}}},
               {"Delta", &L::SetDelta, 0x33, {{11, 0xFF, 0x33}}},
               {"Scale", &L::SetScale, 0xCC, {{12, 0xFF, 0xCC}}},
               {"SensorEnabled", &L::SetSensorEnabled, 0xA5, {{213, 0xFF, 0xA5}}},
           });
  Check<L>(kLightSensorImage, 1, 1, [](TControllerConfig& t) { return t.LightSensor(); },
           {
               {"Delta", &L::SetDelta, 0x33, {}},
               {"Scale", &L::SetScale, 0xCC, {}},
           });
  Check<LightCao>(kLightSensorImage, 2, 0,
                  [](TControllerConfig& t) { return t.LightSensor().Caos(3); },
                  {
                      {"CmndAddress", &LightCao::SetCmndAddress, 0x96, {{19, 0xFF, 0x96}}},
                      {"Offset", &LightCao::SetOffset, 0x69, {{20, 0xFF, 0x69}}},
                  });
  Check<LightOnc>(
      kLightSensorImage, 1, 5, [](TControllerConfig& t) { return t.LightSensor().Oncs(4); },
      {
          {"Address", &LightOnc::SetAddress, 0x1C6, {{45, 0x7F, 0x46}}},
          {"MessageIndex", &LightOnc::SetMessageIndex, 10, {{46, 0xFF, 10}, {47, 0xFF, 0x04}}},
          {"Level", &LightOnc::SetLevel, 0x9ABC, {{48, 0xFF, 0xBC}, {49, 0xFF, 0x9A}}},
          {"Enabled", &LightOnc::SetEnabled, 0, {{45, 0x80, 0x80}}},
          {"ZoneEnabled0", [](LightOnc o) { o.SetZoneEnabled(0, 6); }, {{50, 0x03, 0x02}}},
          {"ZoneEnabled1", [](LightOnc o) { o.SetZoneEnabled(1, 5); }, {{50, 0x0C, 0x04}}},
          {"ZoneEnabled2", [](LightOnc o) { o.SetZoneEnabled(2, 2); }, {{50, 0x30, 0x20}}},
          {"ZoneEnabled3", [](LightOnc o) { o.SetZoneEnabled(3, 1); }, {{50, 0xC0, 0x40}}},
      });
  Check<LightOnc>(kLightSensorImage, 1, 4,
                  [](TControllerConfig& t) { return t.LightSensor().Oncs(4); },
                  {
                      {"Address", &LightOnc::SetAddress, 0x1C6, {{45, 0xFF, 0xC6}}},
                      {"Enabled", &LightOnc::SetEnabled, 0, {{50, 0x01, 0x01}}},
                      {"ZoneEnabled1", [](LightOnc o) { o.SetZoneEnabled(1, 2); }, {}},
                  });

  // Kind 142: sequence 0 command 2 at 8, sequence 1 command 1 at 16 (not on firmware 1.000),
  // response 6 at 71.
  using PL = PirLightSensorLayout;
  using Command = PirLightCommand;
  Check<Command>(
      kPirLightSensorImage, 1, 1,
      [](TControllerConfig& t) { return t.PirLightSensor().Sequences(0).Commands(2); },
      {
          {"Level", &Command::SetLevel, 0x1234, {{8, 0xFF, 0x34}, {9, 0xFF, 0x12}}},
          {"Timeout", &Command::SetTimeout, 0x5678, {{10, 0xFF, 0x78}, {11, 0xFF, 0x56}}},
      });
  Check<Command>(
      kPirLightSensorImage, 1, 1,
      [](TControllerConfig& t) { return t.PirLightSensor().Sequences(1).Commands(1); },
      {
          {"Level", &Command::SetLevel, 0x9ABC, {{16, 0xFF, 0xBC}, {17, 0xFF, 0x9A}}},
          {"Timeout", &Command::SetTimeout, 0xDEF0, {{18, 0xFF, 0xF0}, {19, 0xFF, 0xDE}}},
      });
  Check<Command>(kPirLightSensorImage, 1, 0,
                 [](TControllerConfig& t) { return t.PirLightSensor().Sequences(1).Commands(1); },
                 {
                     {"Level", &Command::SetLevel, 0x9ABC, {}},
                     {"Timeout", &Command::SetTimeout, 0xDEF0, {}},
                 });
  Check<PL>(kPirLightSensorImage, 1, 1, [](TControllerConfig& t) { return t.PirLightSensor(); },
            {
                {"OnLevel", &PL::SetOnLevel, 0x1357, {{24, 0xFF, 0x57}, {25, 0xFF, 0x13}}},
                {"OffLevel", &PL::SetOffLevel, 0x2468, {{26, 0xFF, 0x68}, {27, 0xFF, 0x24}}},
                {"OffTimeout", &PL::SetOffTimeout, 0x0E10, {{28, 0xFF, 0x10}, {29, 0xFF, 0x0E}}},
                {"MaxLevel", &PL::SetMaxLevel, 0xFE, {{30, 0xFF, 0xFE}}},
                {"MinLevel", &PL::SetMinLevel, 0x01, {{31, 0xFF, 0x01}}},
                {"CmndAddress", &PL::SetCmndAddress, 0x84, {{32, 0xFF, 0x84}}},
                {"Delta", &PL::SetDelta, 0x33, {{33, 0xFF, 0x33}}},
                {"Scale", &PL::SetScale, 0xCC, {{34, 0xFF, 0xCC}}},
                {"SensorEnabled", &PL::SetSensorEnabled, 1, {{227, 0x0F, 0x01}}},
            });
  Check<PirLightOnc>(
      kPirLightSensorImage, 1, 1, [](TControllerConfig& t) { return t.PirLightSensor().Oncs(6); },
      {
          {"Address", &PirLightOnc::SetAddress, 0x96, {{71, 0xFF, 0x96}}},
          {"MessageIndex", &PirLightOnc::SetMessageIndex, 9, {{72, 0xFF, 9}, {73, 0xFF, 0x02}}},
          {"Level", &PirLightOnc::SetLevel, 0x4321, {{74, 0xFF, 0x21}, {75, 0xFF, 0x43}}},
          {"Enabled", &PirLightOnc::SetEnabled, 0, {{76, 0x0F, 0x01}}},
          {"SequenceIndex", &PirLightOnc::SetSequenceIndex, 0x1A, {{76, 0xF0, 0xA0}}},
      });

  // Kind 141: response 9 at 63.
  Check<RelayOnc>(
      kOptoRelayImage, 1, 0, [](TControllerConfig& t) { return t.OptoRelay().Oncs(9); },
      {
          {"Address", &RelayOnc::SetAddress, 0x96, {{63, 0xFF, 0x96}}},
          {"MessageIndex", &RelayOnc::SetMessageIndex, 1, {{64, 0xFF, 1}, {65, 0xFF, 0x20}}},
          {"Operator", &RelayOnc::SetOperator, 0x103, {{66, 0xFF, 0x03}}},
          {"Level", &RelayOnc::SetLevel, 0x0190, {{67, 0xFF, 0x90}, {68, 0xFF, 0x01}}},
          {"RelayOn", &RelayOnc::SetRelayOn, 0x1A5, {{69, 0xFF, 0xA5}}},
          {"Action", &RelayOnc::SetAction, 0x15, {{69, 0xF0, 0x50}}},
          {"Output1", &RelayOnc::SetOutput1, 2, {{69, 0x01, 0x01}}},
          {"Output2", &RelayOnc::SetOutput2, 0, {{69, 0x02, 0x00}}},
          {"Output3", &RelayOnc::SetOutput3, 1, {{69, 0x04, 0x04}}},
          {"Output4", &RelayOnc::SetOutput4, 0, {{69, 0x08, 0x00}}},
      });
  Check<OptoRelayLayout>(
      kOptoRelayImage, 1, 0, [](TControllerConfig& t) { return t.OptoRelay(); },
      {
          {"RelayEnabled", &OptoRelayLayout::SetRelayEnabled, 0x5A, {{224, 0xFF, 0x5A}}},
      });
}

}  // namespace
}  // namespace lumetra
