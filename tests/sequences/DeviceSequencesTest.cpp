// The control device editor's sequences against the simulated line: the requests byte for byte,
// what the devices on the line do with them, and what the table stores.
#include "sequences/DeviceSequences.h"

#include <cstring>

#include "SequenceLine.h"
#include "model/KindImage.h"

namespace lumetra {
namespace {

using test::Frame;
using test::SequenceLine;
using test::Wire;

constexpr uint8_t kAll = TConfig::kAllDevices;

Frame Device(uint8_t address, uint8_t opcode, uint8_t parameter) {
  return Wire(4, address, opcode, parameter);
}

// Devices 3 and 8 are in group 4, 8 also in group 9; 12 is in group 4 too, but the table has
// never read its groups; 20 is in group 1 only; 9 is an opto-relay in no group.
struct Unit {
  uint8_t address;
  uint16_t groups;
  uint8_t kind;
  bool groupsRead;
};
constexpr Unit kUnits[] = {
    {3, 1 << 4, kKindSwitch, true},
    {5, (1 << 0) | (1 << 3), kKindSwitch, true},
    {8, (1 << 4) | (1 << 9), kKindPirSensor, true},
    {9, 0, kKindOptoRelay, true},
    {12, 1 << 4, kKindSwitch, false},
    {20, 1 << 1, kKindLightSensor, true},
};

uint16_t InstalledGroups(uint8_t a) {
  for (const Unit& u : kUnits)
    if (u.address == a) return u.groups;
  return 0;
}

std::unique_ptr<SequenceLine> Installed() {
  sim::LineDescription d;
  for (const Unit& u : kUnits) {
    sim::DeviceDescription device;
    device.shortAddress = u.address;
    device.groups = u.groups;
    device.kind = u.kind;
    d.devices.push_back(device);
  }
  auto bus = std::make_unique<SequenceLine>(d);
  TControllerConfig& t = bus->devices;
  for (const Unit& u : kUnits) {
    t.SetCurrentSlot(u.address);
    t.SetShortAddress(u.address);
    t.SetDeviceType(u.kind);
    t.SetMultimaster(0);
    if (u.groupsRead) {
      for (uint32_t g = 0; g < 16; ++g) t.SetGroups(g, (u.groups >> g) & 1);
    }
  }
  t.SetCurrentSlot(5);
  return bus;
}

void SelectGroup(TControllerConfig& t, uint8_t g) {
  t.SetCurrentGroup(g);
  t.SetCurrentSlot(TConfig::kGroupSlot);
  t.ClearScratchSlot();
}

uint16_t TableGroups(TControllerConfig& t, uint8_t slot) {
  const uint8_t remembered = t.CurrentSlot();
  t.SetCurrentSlot(slot);
  uint16_t bits = 0;
  for (uint32_t g = 0; g < 16; ++g) {
    EXPECT_LE(t.Groups(g), 1) << "slot " << int(slot) << " group " << g;
    bits |= static_cast<uint16_t>((t.Groups(g) & 1) << g);
  }
  t.SetCurrentSlot(remembered);
  return bits;
}

TEST(DeviceAddressTest, IsTheSlotTheGroupOrAll) {
  TControllerConfig t;
  t.SetCurrentSlot(12);
  EXPECT_EQ(DeviceAddress(t), 12);
  SelectGroup(t, 3);
  EXPECT_EQ(DeviceAddress(t), 0x83);
  SelectGroup(t, kAll);
  EXPECT_EQ(DeviceAddress(t), 0xFF);
}

TEST(DeviceGroupsTest, OneDeviceTakesBothMasksAndStaysSelected) {
  auto bus = Installed();
  // Device 5 was in groups 0 and 3; it leaves 3 and joins 2 and 9.
  DeviceGroups groups{};
  groups[3] = false;
  groups[2] = true;
  groups[9] = true;
  std::vector<int> written;
  const SequenceResult result =
      WriteDeviceGroups(bus->session, bus->devices, groups, [&](int g) { written.push_back(g); });
  ASSERT_TRUE(result.Ok()) << result.Text();
  EXPECT_EQ(bus->Sent(), (std::vector<Frame>{Device(5, 10, 0x05), Device(5, 11, 0x02)}));
  EXPECT_EQ(bus->DeviceUnit(5).Groups(), 0x0205);
  EXPECT_EQ(TableGroups(bus->devices, 5), 0x0205);
  EXPECT_EQ(bus->devices.CurrentSlot(), 5);
  EXPECT_EQ(written.size(), 16u);
}

TEST(DeviceGroupsTest, OnlyTheHalfWithAChangeGoesOut) {
  auto bus = Installed();
  DeviceGroups groups{};
  groups[12] = true;
  ASSERT_TRUE(WriteDeviceGroups(bus->session, bus->devices, groups).Ok());
  EXPECT_EQ(bus->Sent(), (std::vector<Frame>{Device(5, 11, 0x10)}));
  EXPECT_EQ(bus->DeviceUnit(5).Groups(), 0x1009);
  EXPECT_EQ(TableGroups(bus->devices, 5), 0x1009);
}

TEST(DeviceGroupsTest, GroupModeCopiesTheGroupSlotIntoEveryMemberAndLeavesTheGroupLast) {
  auto bus = Installed();
  SelectGroup(bus->devices, 4);
  // A group's memberships start unknown: every box of a half sent is decided, here as "no" but
  // for groups 0 and 9, so its members end in exactly those, out of 4.
  DeviceGroups groups{};
  groups.fill(false);
  groups[0] = true;
  groups[9] = true;
  ASSERT_TRUE(WriteDeviceGroups(bus->session, bus->devices, groups).Ok());
  // The mask that takes the members out of group 4 goes last, or they would miss the other one.
  EXPECT_EQ(bus->Sent(), (std::vector<Frame>{Device(0x84, 11, 0x02), Device(0x84, 10, 0x01)}));
  for (uint8_t a : {3, 8, 12}) {
    EXPECT_EQ(bus->DeviceUnit(a).Groups(), 0x0201) << int(a);
    // Device 12's membership was never read: it may have heard the group, so it takes the copy.
    EXPECT_EQ(TableGroups(bus->devices, a), 0x0201) << int(a);
  }
  for (uint8_t a : {5, 9, 20}) {
    EXPECT_EQ(bus->DeviceUnit(a).Groups(), InstalledGroups(a)) << int(a);
    EXPECT_EQ(TableGroups(bus->devices, a), InstalledGroups(a)) << int(a);
  }
  EXPECT_EQ(bus->devices.CurrentSlot(), TConfig::kGroupSlot);
  EXPECT_EQ(TableGroups(bus->devices, TConfig::kGroupSlot), 0x0201);
}

TEST(DeviceGroupsTest, TheOrderOfTheMasksKeepsTheGroupListening) {
  struct Case {
    uint8_t group;
    std::vector<int> joined;
    uint8_t firstOpcode;
  };
  const Case cases[] = {
      {4, {0, 9}, 11},   // leaves 4 with the low mask: that one last
      {9, {0, 10}, 10},  // leaves 9 with the high mask, which goes last anyway
      {4, {4, 9}, 10},   // stays in 4: the usual order
  };
  for (const Case& c : cases) {
    auto bus = Installed();
    SelectGroup(bus->devices, c.group);
    DeviceGroups groups{};
    groups.fill(false);
    for (int g : c.joined) groups[static_cast<size_t>(g)] = true;
    ASSERT_TRUE(WriteDeviceGroups(bus->session, bus->devices, groups).Ok());
    const std::vector<Frame> sent = bus->Sent();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0][1], 0x80 | c.group);
    EXPECT_EQ(sent[0][2], c.firstOpcode) << "group " << int(c.group);
  }
}

TEST(DeviceGroupsTest, AllDevicesReachesEveryOccupiedSlot) {
  auto bus = Installed();
  SelectGroup(bus->devices, kAll);
  DeviceGroups groups{};
  for (int g = 8; g < 16; ++g) groups[static_cast<size_t>(g)] = g == 15;
  ASSERT_TRUE(WriteDeviceGroups(bus->session, bus->devices, groups).Ok());
  EXPECT_EQ(bus->Sent(), (std::vector<Frame>{Device(0xFF, 11, 0x80)}));
  for (const Unit& u : kUnits) {
    EXPECT_EQ(bus->DeviceUnit(u.address).Groups(), (u.groups & 0x00FF) | 0x8000);
    if (u.groupsRead) {
      EXPECT_EQ(TableGroups(bus->devices, u.address), (u.groups & 0x00FF) | 0x8000);
    }
  }
  // A membership never read stays unknown where nothing was sent.
  bus->devices.SetCurrentSlot(12);
  EXPECT_EQ(bus->devices.Groups(15), 1);
  EXPECT_EQ(bus->devices.Groups(4), 255);
}

TEST(DeviceGroupsTest, AHalfNeverReadIsRefused) {
  auto bus = Installed();
  bus->devices.SetCurrentSlot(12);
  DeviceGroups groups{};
  groups[1] = true;
  const SequenceResult result = WriteDeviceGroups(bus->session, bus->devices, groups);
  EXPECT_EQ(result.result, kSequenceRefused);
  EXPECT_EQ(result.Text(), "Skupiny 01 až 08 ovládača nie sú prečítané: prečítajte jeho parametre");
  EXPECT_TRUE(bus->Sent().empty());
  EXPECT_EQ(bus->DeviceUnit(12).Groups(), InstalledGroups(12));
}

TEST(DeviceGroupsTest, AGroupSendsOnlyHalvesWhoseEveryBoxWasDecided) {
  auto bus = Installed();
  SelectGroup(bus->devices, 4);
  DeviceGroups groups{};
  groups[1] = true;
  const SequenceResult result = WriteDeviceGroups(bus->session, bus->devices, groups);
  EXPECT_EQ(result.result, kSequenceRefused);
  EXPECT_EQ(result.Text(),
            "Skupiny 01 až 08 nie sú všetky zvolené: ovládače ich berú po ôsmich naraz");
  EXPECT_TRUE(bus->Sent().empty());
}

TEST(DeviceGroupsTest, AFailedMaskStopsTheWriteAndIsNotStored) {
  auto bus = Installed();
  DeviceGroups groups{};
  groups[1] = true;
  groups[8] = true;
  std::vector<int> written;
  bus->LoseRequest(2);
  const SequenceResult result =
      WriteDeviceGroups(bus->session, bus->devices, groups, [&](int g) { written.push_back(g); });
  EXPECT_EQ(result.result, kExchangeLost);
  EXPECT_EQ(result.step, "CONTROL GROUP ASSIGNMENT 8-15 C 05");
  // The low mask reached the device and the table; the high one neither.
  EXPECT_EQ(bus->DeviceUnit(5).Groups(), 0x000B);
  EXPECT_EQ(TableGroups(bus->devices, 5), 0x000B);
  EXPECT_EQ(written, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
}

TEST(MultimasterTest, EnableAndDisableReachTheDevicesAndTheTable) {
  auto bus = Installed();
  ASSERT_TRUE(WriteMultimaster(bus->session, bus->devices, true).Ok());
  EXPECT_EQ(bus->Sent(), (std::vector<Frame>{Device(5, 0, 4)}));
  EXPECT_TRUE(bus->DeviceUnit(5).Multimaster());
  EXPECT_EQ(bus->devices.Multimaster(), 1);

  // All devices: every slot takes the setting.
  SelectGroup(bus->devices, kAll);
  ASSERT_TRUE(WriteMultimaster(bus->session, bus->devices, false).Ok());
  EXPECT_EQ(bus->Sent().back(), Device(0xFF, 0, 3));
  for (const Unit& u : kUnits) {
    EXPECT_FALSE(bus->DeviceUnit(u.address).Multimaster());
    bus->devices.SetCurrentSlot(u.address);
    EXPECT_EQ(bus->devices.Multimaster(), 0);
  }
}

TEST(MultimasterTest, AnOptoRelayIsRefused) {
  auto bus = Installed();
  bus->devices.SetCurrentSlot(9);
  const SequenceResult result = WriteMultimaster(bus->session, bus->devices, true);
  EXPECT_EQ(result.result, kSequenceRefused);
  EXPECT_EQ(result.Text(), "Optorelé nemá nastavenie multimaster");
  EXPECT_TRUE(bus->Sent().empty());
  EXPECT_FALSE(bus->DeviceUnit(9).Multimaster());
}

TEST(DeviceAddressChangeTest, MovesTheDeviceAndItsRecord) {
  auto bus = Installed();
  TControllerConfig& t = bus->devices;
  t.SetCurrentSlot(3);
  t.SetMultimaster(1);
  std::vector<uint8_t> record(sizeof(ControllerRecord));
  std::memcpy(record.data(), t.Record(3), record.size());
  ASSERT_TRUE(ChangeDeviceShortAddress(bus->session, t, 7).Ok());
  EXPECT_EQ(bus->Sent(), (std::vector<Frame>{Device(3, 41, 7)}));
  EXPECT_EQ(bus->DeviceUnit(7).Groups(), InstalledGroups(3));
  EXPECT_TRUE(t.IsSlotFree(3));
  EXPECT_FALSE(t.IsSlotFree(7));
  EXPECT_EQ(t.CurrentSlot(), 7);
  EXPECT_EQ(std::memcmp(t.Record(7), record.data(), record.size()), 0);
  EXPECT_EQ(TableGroups(t, 7), InstalledGroups(3));
}

TEST(DeviceAddressChangeTest, TwoHundredFiftyFiveDeletesTheAddress) {
  auto bus = Installed();
  TControllerConfig& t = bus->devices;
  t.SetCurrentSlot(3);
  ASSERT_TRUE(ChangeDeviceShortAddress(bus->session, t, 255).Ok());
  EXPECT_EQ(bus->Sent(), (std::vector<Frame>{Device(3, 41, 255)}));
  EXPECT_TRUE(t.IsSlotFree(3));
  // The lowest other device is selected.
  EXPECT_EQ(t.CurrentSlot(), 5);
  // The device is still on the line, without an address.
  EXPECT_EQ(bus->DeviceUnit(255).Groups(), InstalledGroups(3));
}

TEST(DeviceAddressChangeTest, RefusalsSendNothingAndSayWhy) {
  struct Case {
    uint8_t slot;
    int newAddress;
    const char* reason;
  };
  const Case cases[] = {
      {3, 3, "Ovládač už má adresu 3"},
      {3, 5, "Adresa 5 je už obsadená"},
      {3, 64, "Adresa 64 nie je platná (0 až 63, 255 adresu zmaže)"},
      {3, -1, "Adresa -1 nie je platná (0 až 63, 255 adresu zmaže)"},
      {30, 31, "Adresu je možné zmeniť len jednému ovládaču"},
      {TConfig::kGroupSlot, 31, "Adresu je možné zmeniť len jednému ovládaču"},
  };
  for (const Case& c : cases) {
    auto bus = Installed();
    bus->devices.SetCurrentSlot(c.slot);
    const SequenceResult result =
        ChangeDeviceShortAddress(bus->session, bus->devices, c.newAddress);
    EXPECT_EQ(result.result, kSequenceRefused) << c.reason;
    EXPECT_EQ(result.Text(), c.reason);
    EXPECT_TRUE(bus->Sent().empty()) << c.reason;
    EXPECT_FALSE(bus->devices.IsSlotFree(3));
  }
}

TEST(LocateDeviceTest, IdentifiesTheSelection) {
  struct Case {
    uint8_t slot;
    uint8_t group;
    uint8_t address;
  };
  const Case cases[] = {
      {12, 0, 12}, {TConfig::kGroupSlot, 3, 0x83}, {TConfig::kGroupSlot, kAll, 0xFF}};
  for (const Case& c : cases) {
    auto bus = Installed();
    bus->devices.SetCurrentGroup(c.group);
    bus->devices.SetCurrentSlot(c.slot);
    ASSERT_TRUE(LocateDevice(bus->session, bus->devices).Ok());
    EXPECT_EQ(bus->Sent(), (std::vector<Frame>{Device(c.address, 0, 1)}));
  }
  auto bus = Installed();
  bus->devices.SetCurrentSlot(12);
  ASSERT_TRUE(LocateDevice(bus->session, bus->devices).Ok());
  EXPECT_TRUE(bus->DeviceUnit(12).identifying);
  EXPECT_FALSE(bus->DeviceUnit(5).identifying);
}

TEST(ResetDeviceTest, GoesTwiceAndBringsBackTheFactorySettings) {
  auto bus = Installed();
  DeviceGroups groups{};
  groups[6] = true;
  ASSERT_TRUE(WriteDeviceGroups(bus->session, bus->devices, groups).Ok());
  ASSERT_NE(bus->DeviceUnit(5).Groups(), InstalledGroups(5));
  const size_t before = bus->Sent().size();
  ASSERT_TRUE(ResetDevice(bus->session, bus->devices).Ok());
  const std::vector<Frame> sent = bus->Sent();
  EXPECT_EQ(std::vector<Frame>(sent.begin() + static_cast<long>(before), sent.end()),
            (std::vector<Frame>{Device(5, 2, 2), Device(5, 2, 2)}));
  // Out of the factory a device is in no group.
  EXPECT_EQ(bus->DeviceUnit(5).Groups(), 0);
  // The table keeps what it holds until the device is read again.
  EXPECT_EQ(TableGroups(bus->devices, 5), 0x0049);
}

TEST(ResetDeviceTest, TheSecondRequestFailingNamesTheStep) {
  auto bus = Installed();
  bus->SilenceRequest(2);
  const SequenceResult result = ResetDevice(bus->session, bus->devices);
  EXPECT_EQ(result.result, kExchangeNoReply);
  EXPECT_EQ(result.step, "RESET C 05");
  EXPECT_EQ(bus->Sent().size(), 2u);
}

TEST(DeviceMemoryTest, WritesTheBytesInOrderBetweenEnableAndDisable) {
  auto bus = Installed();
  bus->devices.SetCurrentSlot(3);
  std::vector<int> counts;
  const SequenceResult result = WriteDeviceMemory(bus->session, bus->devices, 7, {0x11, 0x22, 0x33},
                                                  [&](int n) { counts.push_back(n); });
  ASSERT_TRUE(result.Ok()) << result.Text();
  EXPECT_EQ(bus->Sent(), (std::vector<Frame>{Device(3, 5, 0xB0), Device(3, 3, 7), Device(3, 0, 6),
                                             Device(3, 7, 0x11), Device(3, 7, 0x22),
                                             Device(3, 7, 0x33), Device(3, 0, 5)}));
  const sim::ControlDevice unit = bus->DeviceUnit(3);
  EXPECT_EQ(unit.config[7], 0x11);
  EXPECT_EQ(unit.config[8], 0x22);
  EXPECT_EQ(unit.config[9], 0x33);
  EXPECT_FALSE(unit.writeEnabled);
  EXPECT_EQ(counts, (std::vector<int>{1, 2, 3}));
}

TEST(DeviceMemoryTest, AFailedByteStopsTheWriteAndStillDisablesWriting) {
  auto bus = Installed();
  bus->devices.SetCurrentSlot(3);
  bus->SilenceRequest(5);
  const SequenceResult result = WriteDeviceMemory(bus->session, bus->devices, 7, {1, 2, 3});
  EXPECT_EQ(result.result, kExchangeNoReply);
  EXPECT_EQ(result.step, "WRITE MEMORY SINGLE BYTE C 03");
  const std::vector<Frame> sent = bus->Sent();
  ASSERT_EQ(sent.size(), 6u);
  EXPECT_EQ(sent.back(), Device(3, 0, 5));
  EXPECT_FALSE(bus->DeviceUnit(3).writeEnabled);
}

TEST(DeviceMemoryTest, NothingIsEnabledWhenTheBankDoesNotGoThrough) {
  auto bus = Installed();
  bus->devices.SetCurrentSlot(3);
  bus->SilenceRequest(1);
  EXPECT_EQ(WriteDeviceMemory(bus->session, bus->devices, 7, {1}).step, "SET BANK C 03");
  EXPECT_EQ(bus->Sent().size(), 1u);
  bus->devices.SetCurrentSlot(30);
  EXPECT_EQ(WriteDeviceMemory(bus->session, bus->devices, 7, {1}).result, kSequenceRefused);
}

TEST(DeviceSequencesTest, AFreeSlotIsRefused) {
  auto bus = Installed();
  bus->devices.SetCurrentSlot(30);
  EXPECT_EQ(LocateDevice(bus->session, bus->devices).result, kSequenceRefused);
  EXPECT_EQ(ResetDevice(bus->session, bus->devices).result, kSequenceRefused);
  EXPECT_EQ(WriteMultimaster(bus->session, bus->devices, true).result, kSequenceRefused);
  DeviceGroups groups{};
  groups[0] = true;
  EXPECT_EQ(WriteDeviceGroups(bus->session, bus->devices, groups).result, kSequenceRefused);
  EXPECT_TRUE(bus->Sent().empty());
}

}  // namespace
}  // namespace lumetra
