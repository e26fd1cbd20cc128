// Control device jobs against the simulated line: memory images by kind and firmware, finding,
// searching, and jobs that cover both populations.
#include <gtest/gtest.h>

#include "commissioning/CommissioningFixture.h"
#include "model/KindImage.h"

#include <atomic>
#include <future>
#include <mutex>

namespace lumetra::test {
namespace {

using DeviceJobsTest = CommissioningFixture;

class RecordingOwner : public TJobOwner {
 public:
  void AddressingFinished() override { ++finished; }
  void ShowGearGroups() override { ++gearGroups; }
  void ShowDeviceGroups() override { ++deviceGroups; }
  int finished = 0, gearGroups = 0, deviceGroups = 0;
};

// The memory locations read with READ DIRECT MEMORY BYTE after the bank 0xB0 identity bytes.
std::vector<int> ImageLocations(const std::vector<Frame>& log) {
  std::vector<int> locations;
  bool configBank = false;
  for (const Frame& r : log) {
    if (r[2] == 5) configBank = r[3] == 0xB0;
    if (configBank && r[2] == 9 && r[3] >= 7) locations.push_back(r[3]);
  }
  return locations;
}

// An editor's sequence on the running worker: its exchanges counted, its result handed over, one
// at a time, and a cancel stopping it before its next exchange.
TEST_F(DeviceJobsTest, ATaskRunsOnTheWorkerOneAtATimeAndCanBeCancelled) {
  Build({"", {}, {DeviceAt(4, kKindSwitch)}});
  worker.Start();
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  std::mutex mutex;
  std::vector<int> counts;
  std::promise<SequenceResult> first;
  const bool started =
      worker.StartTask({[&](BusSession& session) {
                          return RunSequence([&] {
                            session.DeviceDataLess(BusTarget::Device(4), device::kIdentifyDevice);
                            session.Device(BusTarget::Device(4), device::kSetBank, 0x90);
                            released.wait();
                            session.Device(BusTarget::Device(4), device::kReadDirectMemoryByte, 2);
                          });
                        },
                        [&](int n) {
                          std::lock_guard lock(mutex);
                          counts.push_back(n);
                        },
                        [&](const SequenceResult& r) { first.set_value(r); }});
  ASSERT_TRUE(started);
  EXPECT_TRUE(worker.TaskRunning());
  // Busy: a second task is refused and never runs.
  bool secondRan = false;
  EXPECT_FALSE(worker.StartTask({[&](BusSession&) {
                                   secondRan = true;
                                   return SequenceResult{};
                                 },
                                 {},
                                 {}}));
  release.set_value();
  const SequenceResult result = first.get_future().get();
  EXPECT_TRUE(result.Ok()) << result.Text();
  EXPECT_FALSE(secondRan);
  {
    std::lock_guard lock(mutex);
    EXPECT_EQ(counts.size(), 3u);
  }
  // Idle before the result was handed over.
  EXPECT_TRUE(worker.Idle());
  EXPECT_FALSE(worker.TaskRunning());

  // Cancelled while it runs: the next exchange does not go out.
  std::promise<void> cancelled;
  std::promise<void> resume;
  std::promise<SequenceResult> second;
  const size_t before = peer.Requests().size();
  ASSERT_TRUE(worker.StartTask({[&](BusSession& session) {
                                  return RunSequence([&] {
                                    session.Device(BusTarget::Device(4), device::kSetBank, 0x90);
                                    cancelled.set_value();
                                    resume.get_future().wait();
                                    session.Device(BusTarget::Device(4), device::kSetBank, 0xB0);
                                  });
                                },
                                {},
                                [&](const SequenceResult& r) { second.set_value(r); }}));
  cancelled.get_future().wait();
  EXPECT_TRUE(worker.CancelTask());
  resume.set_value();
  EXPECT_EQ(second.get_future().get().result, kSequenceCancelled);
  EXPECT_EQ(peer.Requests().size(), before + 1);
  // An idle worker is left alone by a cancel.
  EXPECT_FALSE(worker.CancelTask());
  EXPECT_TRUE(worker.Idle());
  worker.Terminate();
  worker.WaitFor();
}

// A device that does not answer gives no values: the gate's reply to an unanswered query only
// echoes the request, which must not pass for the device's kind, groups or image.
TEST_F(DeviceJobsTest, AnUnansweredReadingLeavesEveryValueUnknown) {
  Build({"", {}, {DeviceAt(4, kKindSwitch)}});
  ASSERT_EQ(worker.ReadDeviceParameters(9), kExchangeReplied);
  devices.SetCurrentSlot(9);
  EXPECT_FALSE(devices.IsSlotFree(9));
  for (uint8_t value :
       {devices.DeviceType(), devices.Version(), devices.MinVersion(), devices.Status(),
        devices.Groups(0), devices.Groups(15), devices.Multimaster()}) {
    EXPECT_EQ(value, TConfig::kNone);
  }
}

TEST_F(DeviceJobsTest, ImagesAreReadByKindAndFirmware) {
  const struct {
    uint8_t kind, major, minor;
    int reads;                // image bytes read before the enable byte
    int enableAt;             // location of the enable byte
    int total;                // the counter's total
    int zeroFrom, zeroCount;  // image bytes the firmware lacks
  } cases[] = {
      {kKindLightSensor, 1, 1, 211, 218, 213, 11, 2},
      {kKindLightSensor, 1, 4, 213, 220, 213, 0, 0},
      {kKindPirLightSensor, 1, 0, 215, 222, 227, 12, 12},
      {kKindPirLightSensor, 1, 1, 227, 234, 227, 0, 0},
      {kKindSwitch, 1, 5, 234, 241, 234, 0, 0},
      {kKindPirSensor, 1, 5, 170, 177, 170, 0, 0},
      {kKindOptoRelay, 1, 5, 224, 231, 224, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.kind) << " " << int(c.major) << "." << int(c.minor));
    sim::DeviceDescription d = DeviceAt(4, c.kind, c.major, c.minor);
    // Every location holds its own number, so each image byte shows where it was read from.
    std::vector<uint8_t> memory;
    for (int loc = 7; loc <= c.enableAt; ++loc) memory.push_back(static_cast<uint8_t>(loc));
    d.memory = {{7, memory}};
    TControllerConfig fresh;
    Build({"", {}, {d}});
    worker.SetConfigs(&gear, &fresh);
    const size_t before = peer.Requests().size();
    ASSERT_EQ(worker.ReadDeviceParameters(4), kExchangeReplied);
    const auto log = Sent(before);
    const auto locations = ImageLocations(log);
    ASSERT_EQ(static_cast<int>(locations.size()), c.reads + 1);
    EXPECT_EQ(locations.back(), c.enableAt);
    EXPECT_EQ(log.size(), 10u + c.reads + 1);

    fresh.SetCurrentSlot(4);
    EXPECT_EQ(fresh.DeviceType(), c.kind);
    KindRecord image = fresh.Image(*KindImageFor(c.kind));
    for (int i = 0; i < c.total; ++i) {
      const bool missing = i >= c.zeroFrom && i < c.zeroFrom + c.zeroCount;
      const int location = 7 + i - (i >= c.zeroFrom + c.zeroCount ? c.zeroCount : 0);
      ASSERT_EQ(image.ImageByteAt(i), missing ? 0 : location) << "image byte " << i;
    }
    EXPECT_EQ(image.ImageByteAt(c.total), c.enableAt);
    char last[64];
    std::snprintf(last, sizeof last, "%s %3d / %d", kMessageReading, c.reads, c.total);
    ASSERT_GE(progress.messages.size(), 2u);
    EXPECT_EQ(progress.messages[progress.messages.size() - 2], last);
    progress.messages.clear();
  }
}

TEST_F(DeviceJobsTest, UnknownKindIsReadUpToTheMultimasterBit) {
  sim::DeviceDescription d = DeviceAt(6, 130);
  d.multimaster = true;
  d.groups = 0x0201;
  Build({"", {}, {d}});
  ASSERT_EQ(worker.ReadDeviceParameters(6), kExchangeReplied);
  EXPECT_EQ(Sent(),
            (std::vector<Frame>{DeviceWire(6, 5, 0x90), DeviceWire(6, 9, 2), DeviceWire(6, 9, 0),
                                DeviceWire(6, 9, 1), DeviceWire(6, 5, 0xA0), DeviceWire(6, 9, 0),
                                DeviceWire(6, 5, 0xB0), DeviceWire(6, 9, 1), DeviceWire(6, 9, 2),
                                DeviceWire(6, 9, 6)}));
  devices.SetCurrentSlot(6);
  EXPECT_EQ(devices.DeviceType(), 130);
  EXPECT_EQ(devices.Multimaster(), 1);
  EXPECT_EQ(devices.Groups(0), 1);
  EXPECT_EQ(devices.Groups(9), 1);
  EXPECT_EQ(devices.Groups(1), 0);
}

TEST_F(DeviceJobsTest, FindDevicesReadsExactlyTheAddressedOnes) {
  Build({"", {}, {DeviceAt(3, 130), DeviceAt(9, 130)}});
  worker.FindDevices();
  EXPECT_EQ(Sent()[0], DeviceWire(0xFF, 3, 0));
  EXPECT_EQ(progress.deviceFound, (std::vector<int>{3, 9}));
  EXPECT_EQ(devices.UsedSlotCount(), 2);
  EXPECT_EQ(devices.CurrentSlot(), 3);
  EXPECT_EQ(devices.CurrentGroup(), TConfig::kAllDevices);
}

TEST_F(DeviceJobsTest, SearchWithNobodyAnsweringStopsAfterTenCompares) {
  Build({"", {}, {}});
  worker.SearchDevices();
  std::vector<Frame> expected = {DeviceWire(0xFF, 34, 0), DeviceWire(0xFF, 34, 0),
                                 DeviceWire(0xFF, 39, 0xFF), DeviceWire(0xFF, 38, 0xFF),
                                 DeviceWire(0xFF, 37, 0xFF)};
  for (int k = 0; k < 10; ++k) expected.push_back(DeviceWire(0xFF, 35, 0));
  EXPECT_EQ(Sent(), expected);
  EXPECT_EQ(progress.deviceMarks, std::vector<int>{64});
}

TEST_F(DeviceJobsTest, AddressAddedDevicesKeepsAddressedOnesAndAddressesTheRest) {
  Build({"",
         {},
         {DeviceAt(0, 130), DeviceAt(sim::kNoShortAddress, 130),
          DeviceAt(sim::kNoShortAddress, kKindPirSensor)}});
  RunJob(0x02);
  std::vector<int> addresses;
  for (const auto& d : line->Devices()) addresses.push_back(d.shortAddress);
  EXPECT_EQ(addresses[0], 0);
  std::sort(addresses.begin(), addresses.end());
  EXPECT_EQ(addresses, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(devices.UsedSlotCount(), 3);
  EXPECT_TRUE(worker.Problems().empty());
  EXPECT_EQ(progress.message, kMessageFinished);
}

TEST_F(DeviceJobsTest, ReaddressAllDevicesStartsTheAddressesFromZero) {
  Build({"",
         {},
         {DeviceAt(7, 130), DeviceAt(sim::kNoShortAddress, kKindPirSensor), DeviceAt(30, 130)}});
  RunJob(0x03);
  const auto log = Sent();
  ASSERT_GE(log.size(), 9u);
  EXPECT_EQ(std::vector<Frame>(log.begin(), log.begin() + 9),
            (std::vector<Frame>{
                DeviceWire(0xFF, 33, 0), DeviceWire(0xFF, 33, 0), DeviceWire(0xFF, 40, 255),
                DeviceWire(0xFF, 10, 0), DeviceWire(0xFF, 11, 0), DeviceWire(0xFF, 10, 0),
                DeviceWire(0xFF, 11, 0), DeviceWire(0xFF, 34, 0), DeviceWire(0xFF, 34, 0)}));
  std::vector<int> addresses;
  for (const auto& d : line->Devices()) addresses.push_back(d.shortAddress);
  std::sort(addresses.begin(), addresses.end());
  EXPECT_EQ(addresses, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(devices.UsedSlotCount(), 3);
  // TERMINATE after the finishing step; then only the check's presence queries.
  const auto terminate = std::find(log.begin(), log.end(), DeviceWire(0xFF, 32, 0));
  ASSERT_NE(terminate, log.end());
  EXPECT_EQ(log.end() - terminate - 1, 6);
  for (auto r = terminate + 1; r != log.end(); ++r) EXPECT_TRUE((*r)[2] == 3 || (*r)[2] == 4);
  EXPECT_TRUE(worker.Problems().empty());
}

TEST_F(DeviceJobsTest, CombinedJobRunsGearFirstAfterEmptyingBothTables) {
  Build({"", {GearAt(2)}, {DeviceAt(5, 130)}});
  RecordingOwner owner;
  worker.SetTabsFrame(&owner);
  for (TConfig* t : {static_cast<TConfig*>(&gear), static_cast<TConfig*>(&devices)}) {
    t->SetCurrentSlot(40);
    t->SetShortAddress(40);
  }
  RunJob(0x31);
  EXPECT_TRUE(gear.IsSlotFree(40));
  EXPECT_TRUE(devices.IsSlotFree(40));
  EXPECT_EQ(gear.UsedSlotCount(), 1);
  EXPECT_EQ(devices.UsedSlotCount(), 1);
  // Every gear frame goes before the first device frame.
  const auto log = Sent();
  const auto firstDevice =
      std::find_if(log.begin(), log.end(), [](const Frame& r) { return r[0] == 0x84; });
  EXPECT_TRUE(std::all_of(firstDevice, log.end(), [](const Frame& r) { return r[0] == 0x84; }));
  EXPECT_EQ(owner.finished, 1);
  EXPECT_EQ(owner.gearGroups, 1);
  EXPECT_GE(owner.deviceGroups, 1);
  EXPECT_EQ(worker.GetJob(), kJobIdle);
}

TEST_F(DeviceJobsTest, CancelDuringTheGearPartSkipsTheDevicePart) {
  Build({"", {GearAt(0), GearAt(1)}, {DeviceAt(5, 130)}});
  RecordingOwner owner;
  worker.SetTabsFrame(&owner);
  int queries = 0;
  afterRequest = [&](const Frame& r) {
    if (r[2] % 2 == 1 && r[3] == 0x91 && ++queries == 10) worker.SetJob(kJobCancel);
  };
  RunJob(0x11);
  EXPECT_EQ(devices.UsedSlotCount(), 0);
  for (const Frame& r : Sent()) EXPECT_NE(r[0], 0x84);
  EXPECT_EQ(progress.message, kMessageFinished);
  EXPECT_EQ(worker.GetJob(), kJobIdle);
  EXPECT_EQ(owner.finished, 1);
}

TEST_F(DeviceJobsTest, CancelInTheMiddleOfEitherSearchStillTerminatesAndFinishes) {
  // Cancelled at the fifth COMPARE of the first pass: no device is programmed, the procedure is
  // still closed on the line, and the selection is put on all devices.
  const struct {
    int job;
    uint8_t compare;
    Frame terminate;
  } cases[] = {
      {0x30, 0xA9, GearWire(0xA1, 0)},
      {0x20, 0xA9, GearWire(0xA1, 0)},
      {0x03, 35, DeviceWire(0xFF, 32, 0)},
      {0x02, 35, DeviceWire(0xFF, 32, 0)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.job);
    Build({"", {GearAt(sim::kNoShortAddress)}, {DeviceAt(sim::kNoShortAddress, 130)}});
    const size_t start = peer.Requests().size();
    int compares = 0;
    afterRequest = [&](const Frame& r) {
      if (r[2] == c.compare && ++compares == 5) worker.SetJob(kJobCancel);
    };
    gear.SetCurrentGroup(3);
    devices.SetCurrentGroup(3);
    RunJob(c.job);
    afterRequest = nullptr;
    const auto log = Sent(start);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), c.terminate);
    // Nothing is programmed after the cancel (255 is the re-addressing's "delete all").
    const uint8_t program = c.job >= 0x10 ? 0xB7 : 40;
    for (const Frame& r : log) EXPECT_FALSE(r[2] == program && r[3] != 255);
    EXPECT_EQ((c.job >= 0x10 ? static_cast<TConfig&>(gear) : devices).CurrentGroup(),
              TConfig::kAllDevices);
    EXPECT_EQ(progress.message, kMessageFinished);
    EXPECT_EQ(worker.GetJob(), kJobIdle);
  }
}

TEST_F(DeviceJobsTest, DevicesSharingARandomAddressDrawAgainAndAreBothAddressed) {
  Build({"", {}, {DeviceAt(sim::kNoShortAddress, 130), DeviceAt(sim::kNoShortAddress, 130)}});
  int randomisations = 0;
  afterRequest = [&](const Frame& r) {
    if (r == DeviceWire(0xFF, 34, 0) && ++randomisations <= 2) {
      for (auto& d : line->Devices()) d.randomAddress = 0x400000;
    }
  };
  RunJob(0x02);
  EXPECT_GE(randomisations, 4);
  std::vector<int> addresses;
  for (const auto& d : line->Devices()) addresses.push_back(d.shortAddress);
  std::sort(addresses.begin(), addresses.end());
  EXPECT_EQ(addresses, (std::vector<int>{0, 1}));
  EXPECT_EQ(devices.UsedSlotCount(), 2);
  EXPECT_TRUE(worker.Problems().empty());
}

TEST(ProblemSummary, GroupsTheAddressesByWhatIsWrong) {
  using P = AddressProblem;
  const struct {
    std::vector<AddressProblem> problems;
    const char* summary;
  } cases[] = {
      {{}, ""},
      {{{'A', 5, P::kSeveral}}, "Adresa A 05: odpovedá viac zariadení"},
      {{{'A', 7, P::kSilent}}, "Adresa A 07: zariadenie neodpovedá"},
      {{{'A', 5, P::kSeveral}, {'A', 7, P::kSilent}, {'C', 2, P::kSeveral}},
       "Adresy A 05, C 02: odpovedá viac zariadení; Adresa A 07: zariadenie neodpovedá"},
      {{{'C', 0, P::kSilent}, {'C', 63, P::kSilent}}, "Adresy C 00, C 63: zariadenie neodpovedá"},
  };
  for (const auto& c : cases) EXPECT_EQ(ProblemSummary(c.problems), c.summary);
}

TEST_F(DeviceJobsTest, AbsentAndDoubledDevicesAreReportedAfterTheJob) {
  // Two devices share address 4; the one at 6 is taken off the line once it has been read.
  Build({"", {}, {DeviceAt(4, 130), DeviceAt(4, 130), DeviceAt(6, 130)}});
  afterRequest = [&](const Frame& r) {
    if (r == DeviceWire(0xFF, 32, 0) && line->Devices().size() == 3) line->Devices().pop_back();
  };
  RunJob(0x02);
  EXPECT_EQ(worker.Problems(), (std::vector<std::string>{"Adresa C 04: odpovedá viac zariadení",
                                                         "Adresa C 06: zariadenie neodpovedá"}));
  EXPECT_EQ(progress.message, std::string(kMessageFinished) +
                                  " – Adresa C 04: odpovedá viac zariadení; Adresa C 06: "
                                  "zariadenie neodpovedá");
}

TEST_F(DeviceJobsTest, BothNothingDoesNothing) {
  Build({"", {GearAt(0)}, {}});
  RunJob(0x00);
  EXPECT_TRUE(Sent().empty());
  EXPECT_TRUE(progress.messages.empty());
}

TEST_F(DeviceJobsTest, WorkerThreadRunsAJobAndEndsWhenTold) {
  Build({"", {GearAt(0), GearAt(7)}, {}});
  RecordingOwner owner;
  worker.SetTabsFrame(&owner);
  worker.Start();
  worker.SetJob(0x10);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!worker.Idle() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  EXPECT_TRUE(worker.Idle());
  worker.Terminate();
  worker.WaitFor();
  EXPECT_TRUE(worker.Finished());
  EXPECT_EQ(gear.UsedSlotCount(), 2);
}

}  // namespace
}  // namespace lumetra::test
