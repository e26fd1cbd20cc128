// The motion sensor, light sensor, combined sensor and opto-relay layouts, with their firmware
// variants.
#include <gtest/gtest.h>

#include "model/ControllerConfig.h"

namespace lumetra {
namespace {

// A table with one device of `kind` and firmware major.minor at short address 6.
class SensorTest : public ::testing::Test {
 protected:
  void Make(uint8_t kind, uint8_t major = 2, uint8_t minor = 0) {
    table.SetCurrentSlot(6);
    table.SetShortAddress(6);
    table.SetDeviceType(kind);
    table.SetVersion(major);
    table.SetMinVersion(minor);
  }
  TControllerConfig table;
};

TEST_F(SensorTest, FreshRecordsHaveEmptyResponsesAndErasedValues) {
  Make(kKindPirSensor);
  for (uint32_t j = 0; j < 32; ++j) {
    EXPECT_EQ(table.PirSensor().Oncs(j).Address(), 0xFF);
    EXPECT_EQ(table.PirSensor().Oncs(j).MessageIndex(), 0xFF);
    EXPECT_EQ(table.LightSensor().Oncs(j).MessageIndex(), 0xFF);
    EXPECT_EQ(table.LightSensor().Oncs(j).Level(), 0xFFFFFFFFu);
    EXPECT_EQ(table.PirLightSensor().Oncs(j).Address(), 0xFF);
    EXPECT_EQ(table.PirLightSensor().Oncs(j).Level(), 0xFFFFFFFFu);
    EXPECT_EQ(table.OptoRelay().Oncs(j).Address(), 0xFF);
    EXPECT_EQ(table.OptoRelay().Oncs(j).Level(), 0xFFFFFFFFu);
  }
  EXPECT_EQ(table.PirSensor().Commands(2).Timeout(), 0xFFFFFFFFu);
  EXPECT_EQ(table.LightSensor().OffTimeout(), 0xFFFFFFFFu);
  EXPECT_EQ(table.PirLightSensor().Sequences(1).Commands(2).Level(), 0xFFFFFFFFu);
  EXPECT_EQ(table.PirLightSensor().OnLevel(), 0xFFFFFFFFu);
}

TEST_F(SensorTest, MotionSensorTimeoutFromTwoImageBytes) {
  Make(kKindPirSensor);
  PirSensorLayout pir = table.PirSensor();
  pir.SetImageByte(1, 0x2C);
  pir.SetImageByte(2, 0x01);
  EXPECT_EQ(pir.Commands(0).Timeout(), 300u);
  pir.Commands(2).SetTimeout(0x0102);
  pir.SetCmndAddress(0x84);
  EXPECT_EQ(pir.ImageByte(7), 0x02);
  EXPECT_EQ(pir.ImageByte(8), 0x01);
  EXPECT_EQ(pir.ImageByte(9), 0x84);
  EXPECT_EQ(pir.ImageByte(10), 0);  // responses are not parameters
}

TEST_F(SensorTest, MotionSensorEnabledIsAWholeByte) {
  Make(kKindPirSensor);
  PirOnc onc = table.PirSensor().Oncs(4);
  struct Case {
    uint8_t stored, enabledReads;
  };
  for (const Case c : {Case{0, 1}, Case{1, 0}, Case{0x80, 0}, Case{0xFF, 0}}) {
    table.PirSensor().SetImageByte(4, 4, c.stored);
    EXPECT_EQ(onc.Enabled(), c.enabledReads) << int(c.stored);
  }
  onc.SetEnabled(0);
  EXPECT_EQ(table.PirSensor().ImageByte(4, 4), 1);
  onc.SetEnabled(7);
  EXPECT_EQ(table.PirSensor().ImageByte(4, 4), 0);
}

TEST_F(SensorTest, MessageIndexStoresIndexAndCode) {
  struct Case {
    uint32_t index;
    uint8_t storedIndex, code;
  };
  const Case cases[] = {Case{11, 11, 0xFE}, Case{0, 0, 0xFF}, Case{8, 8, 0x00},
                        Case{12, 0xFF, 0xFF}, Case{0x10B, 0xFF, 0xFF}};
  Make(kKindPirSensor);
  for (const Case c : cases) {
    table.PirSensor().Oncs(9).SetMessageIndex(c.index);
    EXPECT_EQ(table.PirSensor().Oncs(9).MessageIndex(), c.storedIndex) << c.index;
    EXPECT_EQ(table.PirSensor().Oncs(9).Message(), c.code) << c.index;
    EXPECT_EQ(table.PirSensor().ImageByte(9, 1), c.storedIndex);
    EXPECT_EQ(table.PirSensor().ImageByte(9, 2), c.code);
    table.LightSensor().Oncs(9).SetMessageIndex(c.index);
    EXPECT_EQ(table.LightSensor().Oncs(9).MessageIndex(), c.storedIndex);
    EXPECT_EQ(table.LightSensor().Oncs(9).Message(), c.code);
    table.PirLightSensor().Oncs(9).SetMessageIndex(c.index);
    EXPECT_EQ(table.PirLightSensor().Oncs(9).MessageIndex(), c.storedIndex);
    EXPECT_EQ(table.PirLightSensor().Oncs(9).Message(), c.code);
    table.OptoRelay().Oncs(9).SetMessageIndex(c.index);
    EXPECT_EQ(table.OptoRelay().Oncs(9).MessageIndex(), c.storedIndex);
    EXPECT_EQ(table.OptoRelay().ImageByte(9, 2), c.code);
  }
}

// Light sensor response packing by firmware: address byte, zone byte and what the fields read.
TEST_F(SensorTest, LightSensorResponseLayoutFollowsTheFirmware) {
  struct Case {
    uint8_t minor;
    uint8_t addressByte, zoneByte;  // stored image bytes
    uint8_t address, disabled, zone0, zone2;
  };
  for (const Case c : {
           Case{4, 0xC6, 0x26, 0xC6, 1, 0, 0},  // old: whole byte; enable = bit 0 of zone byte
           Case{4, 0x46, 0x27, 0x46, 0, 0, 0},
           Case{5, 0xC6, 0x26, 70, 0, 2, 2},  // new: bits 0-6; enable = bit 7
           Case{5, 0x46, 0x11, 70, 1, 1, 1},
       }) {
    Make(kKindLightSensor, 1, c.minor);
    LightSensorLayout light = table.LightSensor();
    light.SetImageByte(3, 0, c.addressByte);
    light.SetImageByte(3, 5, c.zoneByte);
    LightOnc onc = light.Oncs(3);
    EXPECT_EQ(onc.Address(), c.address) << int(c.minor) << " " << int(c.addressByte);
    EXPECT_EQ(onc.Enabled(), c.disabled) << int(c.minor) << " " << int(c.addressByte);
    EXPECT_EQ(onc.ZoneEnabled(0), c.zone0) << int(c.minor);
    EXPECT_EQ(onc.ZoneEnabled(2), c.zone2) << int(c.minor);
  }
}

TEST_F(SensorTest, LightSensorOldLayoutSettersTouchTheirOwnBits) {
  Make(kKindLightSensor, 1, 4);
  LightOnc onc = table.LightSensor().Oncs(0);
  table.LightSensor().SetImageByte(0, 5, 0xF0);
  onc.SetAddress(70);
  EXPECT_EQ(table.LightSensor().ImageByte(0, 0), 70);
  onc.SetAddress(0xC6);
  EXPECT_EQ(table.LightSensor().ImageByte(0, 0), 0xC6);
  onc.SetEnabled(0);
  EXPECT_EQ(table.LightSensor().ImageByte(0, 5), 0xF1);
  onc.SetZoneEnabled(1, 2);  // no zone fields in this firmware
  EXPECT_EQ(table.LightSensor().ImageByte(0, 5), 0xF1);
  EXPECT_EQ(table.LightSensor().ImageByte(0, 0), 0xC6);
}

TEST_F(SensorTest, LightSensorNewLayoutSettersTouchTheirOwnBits) {
  Make(kKindLightSensor, 1, 5);
  LightOnc onc = table.LightSensor().Oncs(31);
  table.LightSensor().SetImageByte(31, 0, 0x80);
  onc.SetAddress(0x1C6);  // only bits 0-6 are the address
  EXPECT_EQ(table.LightSensor().ImageByte(31, 0), 0xC6);
  onc.SetEnabled(1);
  EXPECT_EQ(table.LightSensor().ImageByte(31, 0), 0x46);
  table.LightSensor().SetImageByte(31, 5, 0x00);
  onc.SetZoneEnabled(2, 2);  // "zone3enabled"
  EXPECT_EQ(table.LightSensor().ImageByte(31, 5), 0x20);
  table.LightSensor().SetImageByte(31, 5, 0xFF);
  onc.SetZoneEnabled(2, 1);
  EXPECT_EQ(table.LightSensor().ImageByte(31, 5), 0xDF);
  onc.SetZoneEnabled(4, 0);  // no fifth zone
  EXPECT_EQ(table.LightSensor().ImageByte(31, 5), 0xDF);
}

TEST_F(SensorTest, LightSensorDeltaAndScaleExistFromFirmware1002) {
  struct Case {
    uint8_t major, minor;
    bool present;
  };
  for (const Case c : {Case{1, 0, false}, Case{1, 1, false}, Case{1, 2, true}, Case{2, 0, true},
                       Case{0, 0, true}}) {
    Make(kKindLightSensor, c.major, c.minor);
    LightSensorLayout light = table.LightSensor();
    light.SetImageByte(11, 0x22);
    light.SetImageByte(12, 0x33);
    EXPECT_EQ(light.Delta(), c.present ? 0x22 : 0) << int(c.major) << "." << int(c.minor);
    EXPECT_EQ(light.Scale(), c.present ? 0x33 : 0) << int(c.major) << "." << int(c.minor);
    light.SetDelta(5);
    EXPECT_EQ(light.ImageByte(11), c.present ? 5 : 0x22);
  }
}

TEST_F(SensorTest, LightSensorParameterIndices) {
  Make(kKindLightSensor);
  LightSensorLayout light = table.LightSensor();
  light.SetClosedLoop(1);
  light.SetDefaultLevel(0x0102);
  light.SetOffTimeout(0x0A0B);
  light.SetMinLevel(0x44);
  light.Caos(0).SetCmndAddress(0xFE);
  light.Caos(3).SetOffset(0x55);
  struct Case {
    uint32_t n;
    uint8_t value;
  };
  for (const Case c : {Case{0, 1}, Case{1, 0x02}, Case{2, 0x01}, Case{7, 0x0B}, Case{8, 0x0A},
                       Case{10, 0x44}, Case{13, 0xFE}, Case{20, 0x55}, Case{21, 0}}) {
    EXPECT_EQ(light.ImageByte(c.n), c.value) << c.n;
  }
}

TEST_F(SensorTest, CombinedSensorSequenceOneImage) {
  Make(kKindPirLightSensor, 1, 1);
  PirLightSensorLayout pl = table.PirLightSensor();
  pl.SetImageByte(22, 0x10);
  pl.SetImageByte(23, 0x0E);
  EXPECT_EQ(pl.Sequences(1).Commands(2).Timeout(), 3600u);
  pl.Sequences(1).Commands(0).SetLevel(0x0203);
  EXPECT_EQ(pl.ImageByte(12), 0x03);
  EXPECT_EQ(pl.ImageByte(13), 0x02);
  pl.SetScale(100);
  EXPECT_EQ(pl.ImageByte(34), 100);
}

TEST_F(SensorTest, CombinedSensorWithoutSequenceOneOnFirmware1000) {
  Make(kKindPirLightSensor, 1, 0);
  PirLightSensorLayout pl = table.PirLightSensor();
  pl.SetImageByte(22, 0x10);
  pl.SetImageByte(23, 0x0E);
  for (uint32_t c = 0; c < 3; ++c) {
    EXPECT_EQ(pl.Sequences(1).Commands(c).Level(), 0u);
    EXPECT_EQ(pl.Sequences(1).Commands(c).Timeout(), 0u);
  }
  pl.Sequences(1).Commands(2).SetTimeout(5);
  EXPECT_EQ(pl.ImageByte(22), 0x10);
  pl.Sequences(0).Commands(2).SetTimeout(5);  // sequence 0 is there
  EXPECT_EQ(pl.Sequences(0).Commands(2).Timeout(), 5u);
}

TEST_F(SensorTest, CombinedSensorFlagsKeepTheSequenceIndex) {
  Make(kKindPirLightSensor);
  PirLightOnc onc = table.PirLightSensor().Oncs(2);
  table.PirLightSensor().SetImageByte(2, 5, 0xFE);
  EXPECT_EQ(onc.Enabled(), 1);
  EXPECT_EQ(onc.SequenceIndex(), 0xF);
  onc.SetEnabled(0);  // bits 1-3 go with the flag
  EXPECT_EQ(table.PirLightSensor().ImageByte(2, 5), 0xF1);
  onc.SetSequenceIndex(1);
  EXPECT_EQ(table.PirLightSensor().ImageByte(2, 5), 0x11);
  onc.SetEnabled(1);
  EXPECT_EQ(table.PirLightSensor().ImageByte(2, 5), 0x10);

  PirLightSensorLayout pl = table.PirLightSensor();
  pl.SetSensorEnabled(0);  // erased byte: bits 4-7 stay
  EXPECT_EQ(table.Image(kPirLightSensorImage).ImageByteAt(227), 0xF0);
  EXPECT_EQ(pl.SensorEnabled(), 0);
  pl.SetSensorEnabled(1);
  EXPECT_EQ(table.Image(kPirLightSensorImage).ImageByteAt(227), 0xF1);
  EXPECT_EQ(pl.SensorEnabled(), 1);
  table.Image(kPirLightSensorImage).SetImageByteAt(227, 0x3E);  // as read from a device
  EXPECT_EQ(pl.SensorEnabled(), 0);
}

TEST_F(SensorTest, RelayActionAndOutputsShareOneByte) {
  Make(kKindOptoRelay);
  RelayOnc onc = table.OptoRelay().Oncs(30);
  struct Case {
    uint8_t relayOn, action, a, b, c, d;
  };
  for (const Case k : {Case{0x15, 1, 1, 0, 1, 0}, Case{0xF3, 0xFF, 1, 1, 0, 0},
                       Case{0xFF, 0xFF, 1, 1, 1, 1}, Case{0x08, 0, 0, 0, 0, 1}}) {
    onc.SetRelayOn(k.relayOn);
    EXPECT_EQ(onc.Action(), k.action) << int(k.relayOn);
    EXPECT_EQ(onc.Output1(), k.a) << int(k.relayOn);
    EXPECT_EQ(onc.Output2(), k.b) << int(k.relayOn);
    EXPECT_EQ(onc.Output3(), k.c) << int(k.relayOn);
    EXPECT_EQ(onc.Output4(), k.d) << int(k.relayOn);
  }
  onc.SetRelayOn(0xF5);
  onc.SetAction(1);  // "zapnúť"
  EXPECT_EQ(onc.RelayOn(), 0x15);
  onc.SetOutput2(1);
  onc.SetOutput1(0);
  EXPECT_EQ(onc.RelayOn(), 0x16);
  onc.SetAction(0xFF);  // the empty item: no action
  EXPECT_EQ(onc.RelayOn(), 0xF6);
  EXPECT_EQ(table.OptoRelay().ImageByte(30, 6), 0xF6);
}

TEST_F(SensorTest, RelayResponseImage) {
  Make(kKindOptoRelay);
  OptoRelayLayout relay = table.OptoRelay();
  relay.Oncs(1).SetAddress(5);
  relay.Oncs(1).SetOperator(3);
  relay.Oncs(1).SetLevel(400);
  struct Case {
    uint32_t n;
    uint8_t value;
  };
  for (const Case c : {Case{0, 5}, Case{3, 3}, Case{4, 400 & 0xFF}, Case{5, 400 >> 8}, Case{7, 0}})
    EXPECT_EQ(relay.ImageByte(1, c.n), c.value) << c.n;
  EXPECT_EQ(relay.ImageByte(0), 0);  // the relay has no parameter part
  EXPECT_EQ(relay.ImageByte(32, 0), 0);
  relay.SetRelayEnabled(1);
  EXPECT_EQ(table.Image(kOptoRelayImage).ImageByteAt(224), 1);
}

TEST_F(SensorTest, FlatImageFollowsTheSlotsFirmware) {
  Make(kKindLightSensor, 1, 1);
  KindRecord old = table.Image(kLightSensorImage);
  EXPECT_EQ(old.Location(11), -1);
  EXPECT_EQ(old.Location(13), 18);
  EXPECT_EQ(old.Location(213), 218);
  EXPECT_EQ(old.Location(214), -1);
  EXPECT_EQ(old.DeviceLength(), 212);
  old.SetImageByteAt(214, 1);  // beyond the image: nothing
  EXPECT_EQ(old.ImageByteAt(214), 0);

  table.SetMinVersion(2);
  KindRecord current = table.Image(kLightSensorImage);
  EXPECT_EQ(current.Location(13), 20);
  EXPECT_EQ(current.DeviceLength(), 214);
  current.SetImageByteAt(3, 0x34);
  current.SetImageByteAt(4, 0x12);
  EXPECT_EQ(table.LightSensor().OnLevel(), 0x1234u);
}

}  // namespace
}  // namespace lumetra
