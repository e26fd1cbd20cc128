// Every commissioning job and device read against fixed lines, compared request by request with the
// logs recorded in reference/: a change to the worker's bus code must leave the traffic as it was.
// LUMETRA_WRITE_REFERENCE=1 records the logs anew (then review the diff before committing it).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "commissioning/CommissioningFixture.h"
#include "model/KindImage.h"

namespace lumetra::test {
namespace {

std::string Hex(const Frame& f) {
  char text[16];
  std::snprintf(text, sizeof text, "%02X %02X %02X %02X %02X", f[0], f[1], f[2], f[3], f[4]);
  return text;
}

std::vector<std::string> ReadLog(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class ReferenceLogsTest : public CommissioningFixture {
 protected:
  // Compares what went out since `from` with reference/<name>.log.
  void ExpectLog(const std::string& name, size_t from = 0) {
    std::vector<std::string> sent;
    for (const Frame& f : Sent(from)) sent.push_back(Hex(f));
    const std::string path = std::string(LUMETRA_REFERENCE_DIR) + "/" + name + ".log";
    if (std::getenv("LUMETRA_WRITE_REFERENCE") != nullptr) {
      std::ofstream out(path);
      for (const std::string& line : sent) out << line << '\n';
      ASSERT_TRUE(out.good()) << path;
      return;
    }
    const std::vector<std::string> expected = ReadLog(path);
    ASSERT_FALSE(expected.empty()) << "no reference log " << path;
    size_t i = 0;
    while (i < sent.size() && i < expected.size() && sent[i] == expected[i]) ++i;
    EXPECT_EQ(sent.size(), expected.size()) << name << ": requests sent vs recorded";
    if (i < sent.size() || i < expected.size()) {
      ADD_FAILURE() << name << ": request " << i << " is "
                    << (i < sent.size() ? sent[i] : std::string("missing")) << ", recorded "
                    << (i < expected.size() ? expected[i] : std::string("none"));
    }
  }

  // After the first RANDOMISE pair of `kind`, the units at `units` hold one random address: the
  // search must find the clash and let them draw again.
  void ForceClashAfterFirstRandomise(uint8_t kind, std::vector<size_t> units) {
    afterRequest = [this, kind, units, seen = 0](const Frame& r) mutable {
      const bool randomise =
          kind == kGearFrame ? r == GearWire(0xA7, 0) : r == DeviceWire(0xFF, 34, 0);
      if (!randomise || ++seen != 2) return;
      for (size_t u : units) {
        if (kind == kGearFrame) {
          line->Gear()[u].randomAddress = 0x2A2A2A;
        } else {
          line->Devices()[u].randomAddress = 0x2A2A2A;
        }
      }
    };
  }

  static sim::LineDescription Mixed() {
    sim::LineDescription d;
    for (uint8_t a : {3, 10, 255, 255, 255, 255}) d.gear.push_back(GearAt(a));
    d.gear[0].groups = 0x0105;
    d.gear[0].scenes[2] = 77;
    d.gear[1].diagnostics = true;
    d.devices = {DeviceAt(2, kKindSwitch),
                 DeviceAt(5, kKindPirSensor),
                 DeviceAt(255, kKindLightSensor),
                 DeviceAt(255, kKindOptoRelay),
                 DeviceAt(255, kKindPirLightSensor),
                 DeviceAt(9, kKindSwitch, 1, 0),
                 DeviceAt(255, kKindLightSensor, 1, 1)};
    d.devices[1].groups = 0x8001;
    d.devices[1].multimaster = true;
    return d;
  }
};

TEST_F(ReferenceLogsTest, GearJobs) {
  const struct {
    const char* name;
    int job;
    bool clash;
  } cases[] = {
      {"gear-find", 0x10, false},
      {"gear-address-added", 0x20, true},
      {"gear-readdress-all", 0x30, false},
      {"gear-readdress-all-clash", 0x30, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Build(Mixed());
    if (c.clash) ForceClashAfterFirstRandomise(kGearFrame, {2, 4});
    const size_t from = Sent().size();
    RunJob(c.job);
    ExpectLog(c.name, from);
  }
}

TEST_F(ReferenceLogsTest, DeviceJobs) {
  const struct {
    const char* name;
    int job;
    bool clash;
  } cases[] = {
      {"device-find", 0x01, false},
      {"device-address-added", 0x02, true},
      {"device-readdress-all", 0x03, false},
      {"device-readdress-all-clash", 0x03, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Build(Mixed());
    if (c.clash) ForceClashAfterFirstRandomise(kDeviceFrame, {2, 3});
    const size_t from = Sent().size();
    RunJob(c.job);
    ExpectLog(c.name, from);
  }
}

TEST_F(ReferenceLogsTest, BothPopulationsReaddressedInOneJob) {
  Build(Mixed());
  RunJob(0x33);
  ExpectLog("both-readdress-all");
}

// A cancel lands between any two requests: the job still finishes its searches and terminates.
TEST_F(ReferenceLogsTest, CancelledJobs) {
  for (const int job : {0x20, 0x30, 0x02, 0x03}) {
    for (const int at : {20, 70, 75, 140}) {
      const std::string name = "cancel-" + std::to_string(job) + "-at-" + std::to_string(at);
      SCOPED_TRACE(name);
      Build(Mixed());
      afterRequest = [this, at, count = 0](const Frame&) mutable {
        if (++count == at) worker.SetJob(kJobCancel);
      };
      const size_t from = Sent().size();
      RunJob(job);
      ExpectLog(name, from);
    }
  }
}

TEST_F(ReferenceLogsTest, ReadingOneDevice) {
  Build(Mixed());
  EXPECT_EQ(worker.ReadGearParameters(0, 3), kExchangeReplied);
  EXPECT_EQ(worker.ReadGearParameters(1, 10), kExchangeReplied);
  for (int a : {2, 5, 9}) EXPECT_EQ(worker.ReadDeviceParameters(a), kExchangeReplied);
  ExpectLog("read-devices");
}

}  // namespace
}  // namespace lumetra::test
