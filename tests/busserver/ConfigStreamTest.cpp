// The configuration channel's packet decoding and the server's command line, in-process.
#include <gtest/gtest.h>

#include <random>

#include "buslink/ConfigPacket.h"
#include "busserver/ConfigStream.h"
#include "busserver/Options.h"

namespace lumetra::busserver {
namespace {

std::vector<uint8_t> Bytes(const ConfigPacket& p) { return {p.begin(), p.end()}; }

TEST(ConfigStream, PacketsAreFoundAmongGarbageAndAcrossPieces) {
  const auto usb = Bytes(BuildConfigPacket(kInterfaceUsb, "COM10", "", ""));
  const auto wifi = Bytes(BuildConfigPacket(kInterfaceWifi, "", "192.168.100.200", "4001"));
  std::vector<uint8_t> stream = {0x00, 0x01, 0x02, 0x7F};  // garbage, one byte looks like a start
  stream.insert(stream.end(), usb.begin(), usb.end());
  stream.insert(stream.end(), wifi.begin(), wifi.end());

  ConfigStream s;
  std::vector<ConfigStream::Event> events;
  // Fed one byte at a time, the worst TCP could do.
  for (uint8_t b : stream) {
    for (auto& e : s.Feed(&b, 1)) events.push_back(std::move(e));
  }
  size_t skipped = 0;
  std::vector<ConfigInfo> packets;
  for (const auto& e : events) {
    if (e.packet) {
      packets.push_back(e.info);
    } else {
      skipped += e.skippedBytes;
    }
  }
  EXPECT_EQ(skipped, 4u);
  ASSERT_EQ(packets.size(), 2u);
  EXPECT_EQ(packets[0], (ConfigInfo{kInterfaceUsb, "COM10", "", 0}));
  EXPECT_EQ(packets[1], (ConfigInfo{kInterfaceWifi, "", "192.168.100.200", 4001}));
  EXPECT_EQ(packets[1].Describe(), "WiFi / DALI, 192.168.100.200:4001");
  EXPECT_EQ(s.Pending(), 0u);
}

TEST(ConfigStream, MalformedPacketsAreNotTakenForPackets) {
  const auto good = Bytes(BuildConfigPacket(kInterfaceUsb, "COM3", "", ""));
  struct Case {
    const char* what;
    size_t offset;
    uint8_t value;
  };
  const Case cases[] = {
      {"interface 2", kConfigInterfaceOffset, 2},
      {"name without terminator", kConfigSerialOffset + 12, 'X'},
      {"byte after the terminator", kConfigSerialOffset + 10, 'Y'},
      {"an IP text in a USB packet", kConfigIpOffset, '1'},
      {"a control character", kConfigSerialOffset, 0x07},
  };
  for (const Case& c : cases) {
    auto bad = good;
    bad[c.offset] = c.value;
    ConfigInfo info;
    EXPECT_FALSE(DecodeConfigPacket(bad.data(), info)) << c.what;
    ConfigStream s;
    auto events = s.Feed(bad.data(), bad.size());
    for (const auto& e : events) EXPECT_FALSE(e.packet) << c.what;
  }
  ConfigInfo info;
  EXPECT_TRUE(DecodeConfigPacket(good.data(), info));
  EXPECT_EQ(info.Describe(), "USB / DALI, port COM3");
}

TEST(ConfigStream, RandomBytesAreSkippedWithoutLosingAFollowingPacket) {
  std::mt19937 random(5);
  ConfigStream s;
  size_t skipped = 0;
  for (int i = 0; i < 20000; ++i) {
    // Many starts of a packet, so that the decoder keeps looking at candidates.
    const uint8_t chunk[7] = {1, static_cast<uint8_t>(random()), 0, 1, 0,
                              0, static_cast<uint8_t>(random())};
    for (const auto& e : s.Feed(chunk, sizeof chunk)) skipped += e.packet ? 0 : e.skippedBytes;
    ASSERT_LT(s.Pending(), kConfigPacketSize);
  }
  const auto usb = Bytes(BuildConfigPacket(kInterfaceUsb, "COM3", "", ""));
  std::vector<ConfigStream::Event> events = s.Feed(usb.data(), usb.size());
  ASSERT_FALSE(events.empty());
  EXPECT_TRUE(events.back().packet);
  EXPECT_EQ(events.back().info.serialPort, "COM3");
  EXPECT_GT(skipped, 0u);
}

TEST(ServerOptions, DefaultsServeTheDemoOnTheConfiguratorsPorts) {
  const Options o = ParseOptions({});
  EXPECT_EQ(o.host, "127.0.0.1");
  EXPECT_EQ(o.portBase, 50000);
  EXPECT_TRUE(o.lineFile.empty());
  EXPECT_EQ(o.timing, Timing::kNone);
  EXPECT_EQ(o.faults, sim::FaultSettings{});

  const Options set = ParseOptions({"--port-base=51000", "--timing", "dali", "--seed", "42",
                                    "--drop-reply-rate", "0.25", "--delay-reply-ms=7",
                                    "--close-after", "9", "--line", "x.xml", "--log"});
  EXPECT_EQ(set.portBase, 51000);
  EXPECT_EQ(set.timing, Timing::kDali);
  EXPECT_EQ(set.seed, 42u);
  EXPECT_EQ(set.faults, (sim::FaultSettings{0.25, 7, 9}));
  EXPECT_EQ(set.lineFile, "x.xml");
  EXPECT_TRUE(set.log);
  for (const auto& bad : std::vector<std::vector<std::string>>{
           {"--seed", "-1"}, {"--close-after", "x"}, {"--port-base", "0"}, {"--line", ""}}) {
    EXPECT_THROW(ParseOptions(bad), UsageError) << bad[0];
  }
}

}  // namespace
}  // namespace lumetra::busserver
