// Control gear on the simulated line: addressing, configuration commands, levels and memory.
#include <gtest/gtest.h>

#include "LineFixture.h"

namespace lumetra::sim::test {
namespace {

class GearAddressing : public LineFixture {
 protected:
  void SetUp() override {
    // Two gear without a short address, one with address 4.
    Build({"",
           {GearAt(kNoShortAddress, 0x123456), GearAt(kNoShortAddress, 0x200000), GearAt(4)},
           {}});
  }
};

TEST_F(GearAddressing, CompareIsYesUpToTheRandomAddressAndNotAfterWithdraw) {
  GearTwice(0xA5, 0xFF);  // only the two without a short address
  SetSearch(0x123455);
  EXPECT_EQ(Gear(0xA9, 0), kNone);
  SetSearch(0x123456);
  EXPECT_EQ(Gear(0xA9, 0), 0xFF) << "random == search compares yes";
  SetSearch(0x200000);
  EXPECT_EQ(Gear(0xA9, 0), kCollision) << "two gear at or below the search address";
  EXPECT_EQ(records.back(), (Frame{0x67, 0, 0, kErrorReceive, 0}));

  SetSearch(0x123456);
  Gear(0xAB, 0);  // WITHDRAW the selected one
  SetSearch(0xFFFFFF);
  EXPECT_EQ(Gear(0xA9, 0), 0xFF) << "only the second gear is left";
  EXPECT_EQ(line->Gear()[0].initialise, Initialise::kWithdrawn);
}

TEST_F(GearAddressing, ProgramShortAddressReachesOnlyTheSelectedGear) {
  GearTwice(0xA5, 0x00);  // all gear
  SetSearch(0x200000);
  Gear(0xB7, 2 * 9 + 1);
  EXPECT_EQ(Gear(0xBB, 0), 2 * 9 + 1) << "QUERY SHORT ADDRESS from the selected gear";
  EXPECT_EQ(line->Gear()[1].shortAddress, 9);
  EXPECT_EQ(line->Gear()[0].shortAddress, kNoShortAddress);
  EXPECT_EQ(line->Gear()[2].shortAddress, 4);
  EXPECT_EQ(Gear(0xB9, 2 * 9 + 1), 0xFF) << "VERIFY SHORT ADDRESS";
  EXPECT_EQ(Gear(0xB9, 2 * 8 + 1), kNone);

  Gear(0xB7, 0xFF);  // deletes
  EXPECT_EQ(line->Gear()[1].shortAddress, kNoShortAddress);
  EXPECT_EQ(Gear(0xBB, 0), 0xFF) << "no short address answers MASK";
  Gear(0xA1, 0);  // TERMINATE: nothing reacts to the procedure any more
  EXPECT_EQ(Gear(0xBB, 0), kNone);
  Gear(0xB7, 2 * 9 + 1);
  EXPECT_EQ(line->Gear()[1].shortAddress, kNoShortAddress);
}

// Gear read a short address in a data byte as 2a+1 and 0xFF as "none"; any other byte names no
// address and changes nothing. The same reading serves PROGRAM, STORE DTR AS SHORT ADDRESS,
// VERIFY and the answer to QUERY SHORT ADDRESS.
TEST_F(GearAddressing, DataByteNamesAShortAddressAs2aPlus1) {
  struct Case {
    uint8_t data;
    uint8_t address;  // what the selected gear (at 9) and gear 4 keep or take
    bool verifies;
  };
  const Case cases[] = {
      {2 * 7 + 1, 7, true},
      {0xFF, kNoShortAddress, false},  // deletes, but verifies nobody, not even the unaddressed
      {2 * 7, 9, false},               // even: an arc power address byte
      {0x81, 9, false},                // bit 7: a group address byte
      {0xFE, 9, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.data));
    SetUp();
    GearTwice(0xA5, 0x00);
    SetSearch(0x200000);
    Gear(0xB7, 2 * 9 + 1);
    Gear(0xB7, c.data);  // PROGRAM SHORT ADDRESS to the selected gear
    EXPECT_EQ(line->Gear()[1].shortAddress, c.address);
    EXPECT_EQ(Gear(0xBB, 0),
              c.address == kNoShortAddress ? 0xFF : 2 * c.address + 1);  // QUERY SHORT ADDRESS
    EXPECT_EQ(Gear(0xB9, c.data), c.verifies ? 0xFF : kNone);            // VERIFY SHORT ADDRESS

    Gear(0xA3, c.data);
    GearTwice(2 * 4 + 1, 0x80);  // STORE DTR AS SHORT ADDRESS to the gear at 4
    EXPECT_EQ(line->Gear()[2].shortAddress, c.address == 9 ? 4 : c.address);
  }
}

TEST_F(GearAddressing, InitializeSelectsByItsData) {
  struct Case {
    uint8_t data;
    bool twice;
    std::array<bool, 3> entered;
  };
  const Case cases[] = {
      {0x00, true, {true, true, true}},        {0xFF, true, {true, true, false}},
      {2 * 4 + 1, true, {false, false, true}}, {2 * 5 + 1, true, {false, false, false}},
      {0x00, false, {false, false, false}},  // sent once it is ignored
  };
  for (const Case& c : cases) {
    SetUp();
    if (c.twice) {
      GearTwice(0xA5, c.data);
    } else {
      Gear(0xA5, c.data);
    }
    for (size_t i = 0; i < 3; ++i) {
      EXPECT_EQ(line->Gear()[i].initialise == Initialise::kEnabled, c.entered[i])
          << "data " << int(c.data) << " gear " << i;
    }
  }
}

TEST_F(GearAddressing, RandomizeIsSeededAndOnlyForGearInTheProcedure) {
  auto randoms = [](uint64_t seed) {
    SimulatedLine l({"", {GearAt(kNoShortAddress), GearAt(kNoShortAddress), GearAt(4)}, {}}, seed);
    // INITIALIZE FFh twice, then RANDOMIZE twice.
    for (const Frame& f : {MakeFrame(0x83, 0, 0xA5, 0xFF), MakeFrame(0x83, 0, 0xA5, 0xFF),
                           MakeFrame(0x83, 0, 0xA7, 0), MakeFrame(0x83, 0, 0xA7, 0)}) {
      l.Exchange(f);
    }
    std::vector<uint32_t> r;
    for (const ControlGear& g : l.Gear()) r.push_back(g.randomAddress);
    return r;
  };
  const auto a = randoms(7);
  EXPECT_EQ(a, randoms(7));
  EXPECT_NE(a, randoms(8));
  EXPECT_NE(a[0], a[1]);
  EXPECT_LE(a[0], 0xFFFFFFu);
  EXPECT_EQ(a[2], kUnsetRandomAddress) << "gear 4 has an address and stayed out";
}

class GearConfig : public LineFixture {
 protected:
  void SetUp() override {
    GearDescription g = GearAt(3);
    g.physicalMin = 20;
    Build({"", {g, GearAt(5)}, {}});
  }
};

TEST_F(GearConfig, ConfigurationCommandsActOnlyOnTheSecondOfTwoIdenticalFrames) {
  Gear(0xA3, 100);
  ToGear(3, 0x2A);  // STORE DTR AS MAX LEVEL once
  EXPECT_EQ(ToGear(3, 0xA1), 254);
  ToGear(3, 0x2A);
  ToGear(5, 0x90);  // another frame between the two
  ToGear(3, 0x2A);
  EXPECT_EQ(ToGear(3, 0xA1), 254);
  ToGear(3, 0x2A);
  ToGear(3, 0x2A);
  EXPECT_EQ(ToGear(3, 0xA1), 100);
  EXPECT_EQ(ToGear(5, 0xA1), 254) << "addressed to 3 only";
}

TEST_F(GearConfig, SecondFrameLaterThan100msOpensANewPair) {
  double now = 0;
  line->SetClock([&now] { return now; });
  Gear(0xA3, 100);
  ToGear(3, 0x2A);
  now += 150000;
  ToGear(3, 0x2A);
  EXPECT_EQ(ToGear(3, 0xA1), 254);
  ToGear(3, 0x2A);
  now += 90000;
  ToGear(3, 0x2A);
  EXPECT_EQ(ToGear(3, 0xA1), 100);
}

TEST_F(GearConfig, StoresTakeTheDtrWithinTheirLimits) {
  struct Case {
    uint8_t store, query, dtr;
    int expected;
  };
  const Case cases[] = {
      {0x2A, 0xA1, 200, 200},  // max
      {0x2A, 0xA1, 10, 20},    // max not below min (= physical min 20)
      {0x2B, 0xA2, 50, 50},    // min
      {0x2B, 0xA2, 5, 20},     // min not below the physical minimum
      {0x2C, 0xA4, 77, 77},    // failure
      {0x2D, 0xA3, 0, 0},      // power on
      {0x2E, 0xA5, 4, 0x47},   // fade time 4, rate 7
      {0x2F, 0xA5, 0, 0x01},   // fade rate at least 1
      {0x2F, 0xA5, 40, 0x0F},  // fade rate at most 15
  };
  for (const Case& c : cases) {
    SetUp();
    StoreDtr(3, c.dtr, c.store);
    EXPECT_EQ(ToGear(3, c.query), c.expected) << "store " << int(c.store) << " dtr " << int(c.dtr);
  }
}

TEST_F(GearConfig, ResetRestoresTheFactoryValues) {
  StoreDtr(3, 100, 0x2A);
  StoreDtr(3, 30, 0x2B);
  StoreDtr(3, 5, 0x2E);
  StoreDtr(3, 50, 0x41);
  GearTwice(2 * 3 + 1, 0x62);
  EXPECT_EQ(ToGear(3, 0x95), kNone) << "not in reset state any more";

  GearTwice(2 * 3 + 1, 0x20);
  EXPECT_EQ(ToGear(3, 0xA1), 254);
  EXPECT_EQ(ToGear(3, 0xA2), 20);
  EXPECT_EQ(ToGear(3, 0xA3), 254);
  EXPECT_EQ(ToGear(3, 0xA4), 254);
  EXPECT_EQ(ToGear(3, 0xA5), 0x07);
  EXPECT_EQ(ToGear(3, 0xC0), 0);
  EXPECT_EQ(ToGear(3, 0xB1), 255);
  EXPECT_EQ(ToGear(3, 0x95), 0xFF);
  EXPECT_EQ(ToGear(3, 0x90) & 0x20, 0x20) << "status bit 5: reset state";
}

TEST_F(GearConfig, GroupsAndScenesReachTheirMembers) {
  GearTwice(2 * 3 + 1, 0x60 + 2);  // gear 3 joins group 2
  GearTwice(2 * 3 + 1, 0x60 + 9);
  EXPECT_EQ(ToGear(3, 0xC0), 0x04);
  EXPECT_EQ(ToGear(3, 0xC1), 0x02);
  EXPECT_EQ(ToGear(5, 0xC0), 0);

  Gear(0xA3, 120);
  GearTwice(0x81 + 2 * 2, 0x40 + 7);  // STORE DTR AS SCENE 7 to group 2
  EXPECT_EQ(ToGear(3, 0xB7), 120);
  EXPECT_EQ(ToGear(5, 0xB7), 255);
  Gear(0xFF, 0x10 + 7);  // GO TO SCENE 7 to all: only gear with the scene move
  EXPECT_EQ(ToGear(3, 0xA0), 120);
  EXPECT_EQ(ToGear(5, 0xA0), 0);

  Gear(0x80 + 2 * 9, 60);  // direct arc power to group 9
  EXPECT_EQ(ToGear(3, 0xA0), 60);
  GearTwice(2 * 3 + 1, 0x70 + 9);
  Gear(0x80 + 2 * 9, 80);
  EXPECT_EQ(ToGear(3, 0xA0), 60) << "left group 9";
  GearTwice(2 * 3 + 1, 0x50 + 7);
  EXPECT_EQ(ToGear(3, 0xB7), 255);
  EXPECT_EQ(Gear(0xFF, 0x91), kCollision) << "a broadcast query answered by both";
}

TEST_F(GearConfig, LevelsAndStatusBits) {
  EXPECT_EQ(ToGear(3, 0x90), 0x20) << "fresh: reset state only";
  Gear(2 * 3, 250);
  EXPECT_EQ(ToGear(3, 0xA0), 250);
  StoreDtr(3, 200, 0x2A);
  EXPECT_EQ(ToGear(3, 0xA0), 200) << "a lower maximum pulls the level down";
  Gear(2 * 3, 254);
  EXPECT_EQ(ToGear(3, 0xA0), 200);
  EXPECT_EQ(ToGear(3, 0x94), 0xFF) << "limit error";
  EXPECT_EQ(ToGear(3, 0x90), 0x04 | 0x08);
  Gear(2 * 3, 5);
  EXPECT_EQ(ToGear(3, 0xA0), 20) << "below min goes to min";
  ToGear(3, 0x03);  // STEP UP
  EXPECT_EQ(ToGear(3, 0xA0), 21);
  ToGear(3, 0x07);  // STEP DOWN AND OFF
  ToGear(3, 0x07);
  EXPECT_EQ(ToGear(3, 0xA0), 0);
  ToGear(3, 0x03);  // STEP UP does not switch on
  EXPECT_EQ(ToGear(3, 0xA0), 0);
  ToGear(3, 0x08);  // ON AND STEP UP
  EXPECT_EQ(ToGear(3, 0xA0), 20);
  ToGear(3, 0x05);
  EXPECT_EQ(ToGear(3, 0xA0), 200);
  ToGear(3, 0x02);  // DOWN: 200 ms at fade rate 7
  EXPECT_EQ(ToGear(3, 0xA0), 191);
  ToGear(3, 0x00);
  EXPECT_EQ(ToGear(3, 0x93), kNone);
}

TEST(GearStatus, FaultsFromTheLineDescription) {
  GearDescription lamp;
  lamp.shortAddress = 1;
  lamp.status = 0x02 | 0x80;
  GearDescription unaddressed;
  SimulatedLine line({"", {lamp, unaddressed}, {}});
  auto ask = [&](uint8_t address, uint8_t opcode) {
    return AnswerOf(line.Exchange(MakeFrame(0x83, 0, address, opcode)).reply);
  };
  EXPECT_EQ(ask(3, 0x90), 0x02 | 0x20 | 0x80);
  EXPECT_EQ(ask(3, 0x92), 0xFF);
  EXPECT_EQ(ask(3, 0x9B), 0xFF);
  ask(2, 100);  // an arc power command ends the power failure state
  EXPECT_EQ(ask(3, 0x9B), kNone);
  EXPECT_EQ(ask(0xFF, 0x96), 0xFF) << "only the gear without a short address answers";
  EXPECT_EQ(ask(0xFD, 0x90), 0x20 | 0x40) << "broadcast to gear without a short address";
}

class Diagnostics : public LineFixture {
 protected:
  void SetUp() override {
    GearDescription g = GearAt(2);
    g.diagnostics = true;
    g.diagnosticMemory = {120, 45, 10, 20, 36, 180, 48, 230, 195};
    g.actualLevel = 254;
    Build({"", {g, GearAt(6)}, {}});
  }
  std::vector<int> ReadAll() {
    Gear(0xA3, 0);
    std::vector<int> bytes;
    for (int i = 0; i < 9; ++i) bytes.push_back(ToGear(2, 0xC5));
    return bytes;
  }
};

TEST_F(Diagnostics, ReadMemoryLocationAnswersTheByteAtDtrAndAdvances) {
  const auto bytes = ReadAll();
  EXPECT_EQ((std::vector<int>(bytes.begin(), bytes.begin() + 4)),
            (std::vector<int>{120, 45, 10, 20}));
  const int nominal[] = {36, 180, 48, 230, 195};
  for (int i = 4; i < 9; ++i) EXPECT_NEAR(bytes[i], nominal[i - 4], 2) << "location " << i;
  EXPECT_EQ(ToGear(2, 0xC5), kNone) << "past the nine bytes";
  EXPECT_EQ(ToGear(2, 0x98), 10) << "DTR advanced once per read";
  Gear(0xA3, 0);
  EXPECT_EQ(ToGear(6, 0xC5), kNone) << "ordinary gear have no such memory";

  ToGear(2, 0x00);  // lamp off: the lamp voltage falls to 0
  EXPECT_EQ(ReadAll()[5], 0);
  bool moved = false;
  for (int i = 0; i < 10 && !moved; ++i) moved = ReadAll()[7] != 230;
  EXPECT_TRUE(moved) << "live measurements change over time";
}

TEST_F(Diagnostics, WriteMemoryNeedsEnableAndStoresOnlyTheSettings) {
  Gear(0xA3, 0);
  Gear(0xC7, 99);  // not enabled: ignored
  EXPECT_EQ(ReadAll()[0], 120);

  Gear(0xA3, 0);
  ToGear(2, 0x81);  // ENABLE_WRITE_MEMORY, once, as the diagnostics page sends it
  EXPECT_EQ(Gear(0xC7, 1), 1);
  EXPECT_EQ(Gear(0xC7, 2), 2);
  EXPECT_EQ(Gear(0xC7, 3), 3);
  EXPECT_EQ(Gear(0xC7, 4), 4);
  EXPECT_EQ(Gear(0xC7, 5), kNone) << "location 4 is a measurement";
  const auto bytes = ReadAll();
  EXPECT_EQ((std::vector<int>(bytes.begin(), bytes.begin() + 4)), (std::vector<int>{1, 2, 3, 4}));

  Gear(0xA3, 0);
  ToGear(2, 0x81);
  ToGear(6, 0x90);  // any other command ends the write enable
  Gear(0xC7, 77);
  EXPECT_EQ(ReadAll()[0], 1);
}

}  // namespace
}  // namespace lumetra::sim::test
