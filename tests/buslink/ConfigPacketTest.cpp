// The bus server's configuration packet and where the three channels are.
#include <gtest/gtest.h>

#include "buslink/ConfigPacket.h"
#include "model/Error.h"

namespace lumetra {
namespace {

TEST(ConfigPacketTest, UsbCarriesTheSerialPortInUtf16AtOffset37) {
  const ConfigPacket packet = BuildConfigPacket(kInterfaceUsb, "COM3", "127.0.0.9", "4000");
  ConfigPacket expected{};
  expected[0] = 1;
  const uint8_t com3[] = {'C', 0, 'O', 0, 'M', 0, '3', 0};
  std::copy(std::begin(com3), std::end(com3), expected.begin() + 37);
  expected[51] = 0;
  EXPECT_EQ(packet, expected);
}

TEST(ConfigPacketTest, WifiCarriesAddressAndLittleEndianPort) {
  const ConfigPacket packet = BuildConfigPacket(kInterfaceWifi, "COM3", "127.0.0.15", "50123");
  ConfigPacket expected{};
  expected[0] = 1;
  const std::string ip = "127.0.0.15";
  for (size_t i = 0; i < ip.size(); ++i) expected[1 + 2 * i] = static_cast<uint8_t>(ip[i]);
  expected[35] = 50123 & 0xFF;
  expected[36] = 50123 >> 8;
  expected[51] = 1;
  EXPECT_EQ(packet, expected);
}

TEST(ConfigPacketTest, FieldsAtTheirLimitFitAndLongerOnesAreRefused) {
  // Six characters of port name and sixteen of address still leave room for the NUL.
  const ConfigPacket usb = BuildConfigPacket(kInterfaceUsb, "COM123", "", "");
  EXPECT_EQ(usb[37 + 10], '3');
  EXPECT_EQ(usb[37 + 12], 0);
  const ConfigPacket wifi = BuildConfigPacket(kInterfaceWifi, "", "127.000.000.0001", "1");
  EXPECT_EQ(wifi[1 + 30], '1');
  EXPECT_EQ(wifi[33], 0);

  try {
    BuildConfigPacket(kInterfaceUsb, "COM1234", "", "");
    FAIL();
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "Názov sériového portu \"COM1234\" je dlhší ako 6 znakov");
  }
  EXPECT_THROW(BuildConfigPacket(kInterfaceWifi, "", "127.000.000.00001", "1"), Error);
  // Characters, not bytes, count: "ČOM12" is five characters in seven bytes.
  EXPECT_NO_THROW(BuildConfigPacket(kInterfaceUsb, "ČOM12", "", ""));
}

TEST(ConfigPacketTest, PortValueTakesLeadingDigits) {
  const struct {
    const char* text;
    uint16_t value;
  } cases[] = {{"50000", 50000}, {"", 0}, {"abc", 0}, {"40x1", 40}, {"65535", 65535}, {"0", 0}};
  for (const auto& c : cases) EXPECT_EQ(PortValue(c.text), c.value) << c.text;
  EXPECT_THROW(PortValue("65536"), Error);
  EXPECT_THROW(PortValue("99999999999999999999"), Error);
}

TEST(ConfigPacketTest, ChannelEndpoints) {
  const struct {
    int interfaceIndex;
    const char* ip;
    const char* port;
    uint16_t channel;
    const char* host;
    uint16_t expectedPort;
  } cases[] = {
      {kInterfaceUsb, "127.0.0.5", "4000", kGateChannel, "127.0.0.1", 50001},
      {kInterfaceWifi, "127.0.0.5", "4000", kMonitorChannel, "127.0.0.1", 50002},
      {kInterfaceControlUnit, "127.0.0.5", "4000", kGateChannel, "127.0.0.5", 4001},
      {kInterfaceControlUnit, "127.0.0.5", "4000", kMonitorChannel, "127.0.0.5", 4002},
      {kInterfaceControlUnit, "127.0.0.5", "65535", kGateChannel, "127.0.0.5", 0},
      {kInterfaceControlUnit, "127.0.0.5", "65535", kMonitorChannel, "127.0.0.5", 1},
      {kInterfaceControlUnit, "127.0.0.5", "x", kGateChannel, "127.0.0.5", 1},
  };
  for (const auto& c : cases) {
    const Endpoint e = ChannelEndpoint(c.interfaceIndex, c.ip, c.port, c.channel);
    EXPECT_EQ(e.host, c.host);
    EXPECT_EQ(e.port, c.expectedPort) << c.port << " + " << c.channel;
  }
}

}  // namespace
}  // namespace lumetra
