// Control gear jobs against the simulated line: the search, re-addressing, reading, failures.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "commissioning/CommissioningFixture.h"
#include "model/KindImage.h"

namespace lumetra::test {
namespace {

using GearJobsTest = CommissioningFixture;

// Replays the SEARCH ADDRESS requests of a log: the search register the gear hold after each one.
uint32_t SearchRegisterBefore(const std::vector<Frame>& log, size_t end) {
  uint32_t value = 0xFFFFFF;
  for (size_t i = 0; i < end; ++i) {
    const Frame& r = log[i];
    if (r[0] != 0x83) continue;
    if (r[2] == 0xB1) value = (value & 0x00FFFF) | (uint32_t{r[3]} << 16);
    if (r[2] == 0xB3) value = (value & 0xFF00FF) | (uint32_t{r[3]} << 8);
    if (r[2] == 0xB5) value = (value & 0xFFFF00) | r[3];
  }
  return value;
}

size_t IndexOf(const std::vector<Frame>& log, const Frame& wanted, size_t from = 0) {
  for (size_t i = from; i < log.size(); ++i) {
    if (log[i] == wanted) return i;
  }
  return log.size();
}

TEST_F(GearJobsTest, OneNewGearIsFoundAtItsRandomAddressAndGetsAddressZero) {
  Build({"", {sim::GearDescription{}}, {}});
  afterRequest = [this](const Frame& r) {
    if (r == GearWire(0xA7, 0)) line->Gear()[0].randomAddress = 0x123456;
  };
  RunJob(0x20);  // "Adresovať pridané"

  const auto log = Sent();
  // INITIALIZE for gear without a short address, then 64 QUERY BALAST.
  ASSERT_GE(log.size(), 66u);
  EXPECT_EQ(log[0], GearWire(0xA5, 0xFF));
  EXPECT_EQ(log[1], GearWire(0xA5, 0xFF));
  EXPECT_EQ(log[2], GearWire(0x01, 0x91));
  EXPECT_EQ(log[65], GearWire(0x7F, 0x91));
  // RANDOMIZE twice, then the first probe sets all three bytes of 0x7FFFFF, low byte first.
  const size_t randomise = IndexOf(log, GearWire(0xA7, 0));
  ASSERT_EQ(randomise, 66u);
  EXPECT_EQ(log[67], GearWire(0xA7, 0));
  EXPECT_EQ(log[68], GearWire(0xB5, 0xFF));
  EXPECT_EQ(log[69], GearWire(0xB3, 0xFF));
  EXPECT_EQ(log[70], GearWire(0xB1, 0x7F));
  EXPECT_EQ(log[71], GearWire(0xA9, 0));

  const size_t program = IndexOf(log, GearWire(0xB7, 0x01));
  ASSERT_LT(program, log.size());
  EXPECT_EQ(SearchRegisterBefore(log, program), 0x123456u);
  EXPECT_EQ(log[program + 1], GearWire(0xBB, 0));
  EXPECT_EQ(log[program + 2], GearWire(0xAB, 0));     // WITHDRAW
  EXPECT_EQ(log[program + 3], GearWire(0x01, 0x99));  // then the full read of slot 0
  EXPECT_EQ(line->Gear()[0].shortAddress, 0);
  // Only changed bytes go out: no probe repeats a byte the gear already hold.
  for (size_t i = 72; i < program; ++i) {
    if (log[i][2] == 0xB5 || log[i][2] == 0xB3 || log[i][2] == 0xB1) {
      EXPECT_NE(SearchRegisterBefore(log, i + 1), SearchRegisterBefore(log, i)) << i;
    }
  }

  gear.SetCurrentSlot(0);
  EXPECT_EQ(gear.ShortAddress(), 0);
  EXPECT_EQ(gear.DeviceType(), 6);
  gear.SetPercentMode(0);
  EXPECT_EQ(gear.MaxLevel(), 254u);
  EXPECT_EQ(gear.CurrentGroup(), TConfig::kAllDevices);
  EXPECT_EQ(gear.CurrentSlot(), 0);
  // A yes pauses 25 ms each; TERMINATE ends the procedure before the check reads the result.
  EXPECT_GT(pauses, 0);
  EXPECT_EQ(pauses % 25, 0);
  EXPECT_LT(IndexOf(log, GearWire(0xA1, 0)), log.size());
  EXPECT_TRUE(worker.Problems().empty());
  EXPECT_EQ(progress.message, kMessageFinished);
  EXPECT_EQ(worker.GetJob(), kJobIdle);
}

TEST_F(GearJobsTest, NoGearAnsweringNarrowsToTheTopAndProgramsNothing) {
  Build({"", {}, {}});
  worker.SearchGear();
  const auto log = Sent();
  ASSERT_GE(log.size(), 4u);
  EXPECT_EQ(log[0], GearWire(0xA7, 0));
  EXPECT_EQ(log[1], GearWire(0xA7, 0));
  EXPECT_EQ(log.back(), GearWire(0xA9, 0));
  EXPECT_EQ(SearchRegisterBefore(log, log.size()), 0xFFFFFFu);
  EXPECT_EQ(IndexOf(log, GearWire(0xB7, 0x01)), log.size());
  size_t compares = 0;
  for (const Frame& r : log) compares += r == GearWire(0xA9, 0);
  EXPECT_EQ(compares, 25u);
  EXPECT_EQ(pauses, 0);
}

TEST_F(GearJobsTest, TwoGearWithTheSameRandomAddressAreRandomisedAgainAndBothAddressed) {
  Build({"", {sim::GearDescription{}, sim::GearDescription{}}, {}});
  int randomisations = 0;
  afterRequest = [&](const Frame& r) {
    if (r == GearWire(0xA7, 0) && ++randomisations <= 2) {
      for (auto& g : line->Gear()) g.randomAddress = 0x400000;
    }
  };
  RunJob(0x20);
  EXPECT_GE(randomisations, 4);  // the clash made them draw again
  // The clash shows at the final probe, 0x400000: nothing is programmed before they draw again.
  const auto log = Sent();
  const size_t second = IndexOf(log, GearWire(0xA7, 0), IndexOf(log, GearWire(0xA7, 0)) + 2);
  ASSERT_LT(second, log.size());
  for (size_t i = 0; i < second; ++i) EXPECT_NE(log[i][2], 0xB7) << i;
  EXPECT_EQ(SearchRegisterBefore(log, second), 0x400000u);
  std::vector<int> addresses;
  for (const auto& g : line->Gear()) addresses.push_back(g.shortAddress);
  std::sort(addresses.begin(), addresses.end());
  EXPECT_EQ(addresses, (std::vector<int>{0, 1}));
  EXPECT_EQ(gear.UsedSlotCount(), 2);
  EXPECT_TRUE(worker.Problems().empty());
}

TEST_F(GearJobsTest, ReaddressAllOrdersSlotsByRandomAddress) {
  Build({"", {GearAt(5), GearAt(9), GearAt(20)}, {}});
  afterRequest = [this](const Frame& r) {
    if (r == GearWire(0xA7, 0)) {
      line->Gear()[0].randomAddress = 0x300000;
      line->Gear()[1].randomAddress = 0x100000;
      line->Gear()[2].randomAddress = 0x200000;
    }
  };
  gear.SetCurrentGroup(4);
  RunJob(0x30);

  const auto log = Sent();
  std::vector<Frame> start = {GearWire(0xA5, 0), GearWire(0xA5, 0), GearWire(0xA3, 0xFF),
                              GearWire(0xFF, 0x80), GearWire(0xFF, 0x80)};
  for (uint8_t g = 0; g < 16; ++g) {
    start.push_back(GearWire(0xFF, 0x70 + g));
    start.push_back(GearWire(0xFF, 0x70 + g));
  }
  start.push_back(GearWire(0xA7, 0));
  ASSERT_GT(log.size(), start.size());
  EXPECT_EQ(std::vector<Frame>(log.begin(), log.begin() + static_cast<long>(start.size())), start);

  EXPECT_EQ(line->Gear()[1].shortAddress, 0);
  EXPECT_EQ(line->Gear()[2].shortAddress, 1);
  EXPECT_EQ(line->Gear()[0].shortAddress, 2);
  EXPECT_EQ(gear.UsedSlotCount(), 3);
  EXPECT_EQ(gear.CurrentGroup(), TConfig::kAllDevices);
  EXPECT_EQ(gear.CurrentSlot(), 0);
  EXPECT_EQ(progress.gearFound, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(progress.gearMarks.back(), 64);
}

TEST_F(GearJobsTest, FullAndQuickReads) {
  sim::GearDescription g = GearAt(5);
  g.fadeTime = 4;
  g.fadeRate = 7;
  g.groups = 0x0104;  // groups 2 and 8
  g.scenes[3] = 100;
  g.actualLevel = 77;
  Build({"", {g}, {}});
  gear.SetPercentMode(1);
  ASSERT_EQ(worker.ReadGearParameters(0, 5), kExchangeReplied);
  const auto log = Sent();
  std::vector<Frame> expected;
  for (uint8_t op : {0x99, 0x97, 0x9A, 0x90, 0xA0, 0xA2, 0xA1, 0xA3, 0xA4, 0xA5, 0xC0, 0xC1}) {
    expected.push_back(GearWire(0x0B, op));
  }
  for (uint8_t s = 0; s < 16; ++s) expected.push_back(GearWire(0x0B, 0xB0 + s));
  EXPECT_EQ(log, expected);
  EXPECT_EQ(gear.PercentMode(), 1);  // restored
  EXPECT_EQ(gear.CurrentSlot(), 5);
  gear.SetPercentMode(0);
  EXPECT_EQ(gear.FadeTime(), 4);
  EXPECT_EQ(gear.FadeRate(), 7);
  EXPECT_EQ(gear.Groups(2), 1);
  EXPECT_EQ(gear.Groups(8), 1);
  EXPECT_EQ(gear.Groups(3), 0);
  EXPECT_EQ(gear.Scenes(3), 100u);
  EXPECT_EQ(gear.ActualLevel(), 77u);
  // The message is "reading" meanwhile and back to what it was afterwards.
  progress.message = "pred";
  progress.messages.clear();
  line->Gear()[0].actualLevel = 12;
  line->Gear()[0].fadeTime = 9;
  ASSERT_EQ(worker.ReadGearParameters(1, 5), kExchangeReplied);
  EXPECT_EQ(Sent(log.size()), (std::vector<Frame>{GearWire(0x0B, 0x90), GearWire(0x0B, 0xA0)}));
  EXPECT_EQ(gear.ActualLevel(), 12u);
  EXPECT_EQ(gear.FadeTime(), 4);  // untouched by a quick read
  EXPECT_EQ(progress.messages, (std::vector<std::string>{kMessageReading, "pred"}));
}

TEST_F(GearJobsTest, DoubledShortAddressIsReportedAfterTheJob) {
  Build({"", {GearAt(3), GearAt(3), GearAt(6)}, {}});
  RunJob(0x10);  // "Čítať aktuálne adresy"
  EXPECT_EQ(worker.Problems(), std::vector<std::string>{"Adresa A 03: odpovedá viac zariadení"});
  EXPECT_EQ(progress.message,
            std::string(kMessageFinished) + " – Adresa A 03: odpovedá viac zariadení");
  EXPECT_FALSE(gear.IsSlotFree(3));  // in use: a later search does not hand it out again
  EXPECT_FALSE(gear.IsSlotFree(6));
}

TEST_F(GearJobsTest, LostGateStopsTheJobAtOnceAndTheWorkerTakesTheNextOne) {
  Build({"", {GearAt(0), GearAt(1)}, {}});
  peer.CloseAfter(20);
  RunJob(0x10);
  EXPECT_EQ(progress.message, "Adresovanie prerušené: Spojenie s DALI bolo prerušené");
  EXPECT_EQ(worker.GetJob(), kJobIdle);
  EXPECT_EQ(peer.Requests().size(), 20u);  // nothing more was tried after the loss

  client.Connect();
  com.SetClient(&client);
  ASSERT_TRUE(peer.WaitForConnections(2, std::chrono::seconds(2)));
  const size_t before = peer.Requests().size();
  RunJob(0x10);
  EXPECT_EQ(progress.message, kMessageFinished);
  EXPECT_EQ(gear.UsedSlotCount(), 2);
  EXPECT_GT(peer.Requests().size(), before);
}

TEST_F(GearJobsTest, AMisframedBusServerStreamStopsTheJobWithTheFaultInsteadOfFinishing) {
  const struct {
    const char* name;
    std::vector<uint8_t> atConnect;  // sent before the first request
    std::vector<uint8_t> afterEach;  // sent after every reply
  } cases[] = {
      {"three bytes at connect", {0x55, 0x55, 0x55}, {}},
      {"two extra bytes per reply", {}, {0xAA, 0xAA}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    // Each case on a connection of its own: nothing of the previous stream is left.
    client.Disconnect();
    const int connections = peer.Connections();
    Build({"", {GearAt(0), GearAt(1)}, {DeviceAt(0, kKindSwitch)}});
    com.SetStrictReplies(true);
    ASSERT_TRUE(peer.WaitForConnections(connections + 1, std::chrono::seconds(2)));
    peer.SetResponder([&](const Frame& r) -> std::optional<Frame> {
      const sim::Frame reply = line->Exchange(r).reply;
      std::vector<uint8_t> bytes(reply.begin(), reply.end());
      for (const uint8_t extra : c.afterEach) bytes.push_back(extra);
      peer.Send(bytes);
      return std::nullopt;
    });
    if (!c.atConnect.empty()) peer.Send(c.atConnect);
    RunJob(0x33);  // "Preadresovať všetky" for both
    EXPECT_EQ(progress.message, "Adresovanie prerušené: Chybná odpoveď brány (kontrolný súčet)");
    EXPECT_EQ(worker.FailureMessage(), progress.message);
    EXPECT_EQ(worker.GetJob(), kJobIdle);
    progress = RecordingProgress{};
  }
}

TEST_F(GearJobsTest, SilentGateStopsTheJobAfterOneTimeout) {
  Build({"", {GearAt(0)}, {}});
  size_t answered = 0;
  peer.SetResponder([&](const Frame& r) -> std::optional<Frame> {
    if (++answered > 5) return std::nullopt;
    return Frame(line->Exchange(r).reply);
  });
  const auto start = std::chrono::steady_clock::now();
  RunJob(0x10);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_EQ(peer.Requests().size(), 6u);
  EXPECT_EQ(progress.message, "Adresovanie prerušené: Zariadenie neodpovedá");
}

TEST_F(GearJobsTest, ATimeOutWithTheGateStillOpenEndsTheProcedureAndTheSelection) {
  // One request goes unanswered in the middle of the job; the gate stays open.
  const struct {
    int job;
    size_t silentAt;  // 0-based index of the request that gets no reply
    Frame terminate;
  } cases[] = {
      {0x20, 80, GearWire(0xA1, 0)},        // in the search of "Adresovať pridané"
      {0x30, 40, GearWire(0xA1, 0)},        // while "Preadresovať všetky" clears groups
      {0x30, 90, GearWire(0xA1, 0)},        // in its search
      {0x02, 30, DeviceWire(0xFF, 32, 0)},  // the devices' search
      {0x03, 60, DeviceWire(0xFF, 32, 0)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "job " << std::hex << c.job << std::dec << " silent at " << c.silentAt);
    Build({"",
           {sim::GearDescription{}, sim::GearDescription{}},
           {DeviceAt(sim::kNoShortAddress, kKindSwitch),
            DeviceAt(sim::kNoShortAddress, kKindSwitch)}});
    size_t seen = 0;
    peer.SetResponder([&](const Frame& r) -> std::optional<Frame> {
      if (seen++ == c.silentAt) return std::nullopt;
      return Frame(line->Exchange(r).reply);
    });
    const size_t before = peer.Requests().size();
    gear.SetCurrentGroup(3);
    devices.SetCurrentGroup(3);
    RunJob(c.job);
    const auto log = Sent(before);
    ASSERT_EQ(log.size(), c.silentAt + 2) << "TERMINATE follows the failed request, nothing else";
    EXPECT_EQ(log.back(), c.terminate);
    EXPECT_EQ(progress.message, "Adresovanie prerušené: Zariadenie neodpovedá");
    const TConfig& table = (c.job >> 4) != 0 ? static_cast<const TConfig&>(gear) : devices;
    EXPECT_EQ(table.CurrentGroup(), TConfig::kAllDevices);
    EXPECT_EQ(table.CurrentSlot(), table.FirstUsedSlot());
    const std::vector<int>& marks = (c.job >> 4) != 0 ? progress.gearMarks : progress.deviceMarks;
    ASSERT_FALSE(marks.empty());
    EXPECT_EQ(marks.back(), 64) << "no address is left marked as being worked on";
    EXPECT_EQ(worker.GetJob(), kJobIdle);
    EXPECT_EQ(worker.FailureMessage(), "Adresovanie prerušené: Zariadenie neodpovedá");
    progress = RecordingProgress{};
  }
}

TEST_F(GearJobsTest, TheCountGrowsAsGearAreFound) {
  Build({"", {GearAt(0), GearAt(4), GearAt(9)}, {}});
  progress.gearTable = &gear;
  RunJob(0x10);
  // Emptied at the start, one more with each gear found, and the end of the job.
  EXPECT_EQ(progress.gearCountsShown, (std::vector<int>{0, 1, 2, 3, 3}));
  EXPECT_TRUE(worker.FailureMessage().empty());
}

TEST_F(GearJobsTest, TheWorkerThreadCarriesItsName) {
  Build({"", {}, {}});
  worker.Start();
  // Linux keeps 15 characters of a thread's name; the worker's is cut to fit.
  auto named = [] {
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
      std::ifstream comm(task.path() / "comm");
      std::string name;
      std::getline(comm, name);
      if (name == "AddressingThrea") return true;
    }
    return false;
  };
  // The thread names itself as it starts.
  bool found = false;
  for (int i = 0; i < 2000 && !found; ++i) {
    found = named();
    if (!found) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  worker.Terminate();
  worker.WaitFor();
  EXPECT_TRUE(found);
}

TEST_F(GearJobsTest, CancelBeforeTheJobBeganKeepsTheTables) {
  Build({"", {}, {}});
  gear.SetCurrentSlot(4);
  gear.SetShortAddress(4);
  worker.SetJob(0x31);
  worker.SetJob(kJobCancel);
  worker.Pass();
  EXPECT_FALSE(gear.IsSlotFree(4));
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(progress.message, kMessageFinished);
  EXPECT_EQ(worker.GetJob(), kJobIdle);
}

}  // namespace
}  // namespace lumetra::test
