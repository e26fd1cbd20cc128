// What the document tests share: a temporary folder of real files, filled tables, a small kind
// that registers its own section, and byte-for-byte table comparison.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "documents/ControllerSection.h"
#include "model/BalastConfig.h"
#include "model/ControllerConfig.h"
#include "support/TempFolder.h"

namespace lumetra::testing {

namespace fs = std::filesystem;

class TempFolder : public test::TempFolder {
 protected:
  static void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
};

// Runs fn while the process may not write files beyond `bytes`: the disk "fills up" part way.
template <typename Fn>
void WithFileSizeLimit(rlim_t bytes, Fn&& fn) {
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  struct sigaction previous {};
  sigaction(SIGXFSZ, &ignore, &previous);
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = bytes;
  setrlimit(RLIMIT_FSIZE, &small);
  try {
    fn();
  } catch (...) {
    setrlimit(RLIMIT_FSIZE, &old);
    sigaction(SIGXFSZ, &previous, nullptr);
    throw;
  }
  setrlimit(RLIMIT_FSIZE, &old);
  sigaction(SIGXFSZ, &previous, nullptr);
}

// A kind that exists only here: its section keeps the three motion-sensor commands (a byte and a
// 32-bit time-out each), enough to show the dispatch, the order and the 32-bit rule.
inline constexpr uint8_t kTestKind = 250;
inline constexpr int kTestKindCommands = 3;

inline KindSections TestKindSections() {
  KindSections kinds;
  kinds.Add(kTestKind,
            {[](pugi::xml_node entry, TControllerConfig& table) {
               pugi::xml_node section = entry.append_child("testkind");
               for (int c = 0; c < kTestKindCommands; ++c) {
                 pugi::xml_node command = section.append_child("command");
                 command.append_attribute("index") = c;
                 AddNumber(command, "level", table.PirSensor().Commands(c).Level());
                 AddNumber(command, "timeout", table.PirSensor().Commands(c).Timeout());
               }
             },
             [](const DocumentReader& reader, pugi::xml_node entry, TControllerConfig& table) {
               reader.ForEachChild(reader.Child(entry, "testkind"), kTestKindCommands,
                                   [&](pugi::xml_node command, int c) {
                                     auto cmd = table.PirSensor().Commands(c);
                                     cmd.SetLevel(reader.Byte(command, "level"));
                                     cmd.SetTimeout(reader.Unsigned32(command, "timeout"));
                                   });
             }});
  return kinds;
}

// Every byte of both tables, the selection and the mode.
struct TableBytes {
  std::vector<uint8_t> bytes;

  static void Add(std::vector<uint8_t>& out, const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    out.insert(out.end(), b, b + n);
  }
  static void AddBase(std::vector<uint8_t>& out, const TConfig& t) {
    for (uint32_t i = 0; i < TConfig::kSlotCount; ++i) {
      Add(out, t.SlotAt(i), sizeof(DeviceSlot));
      Add(out, t.PositionAt(i), sizeof(SlotPosition));
    }
    out.push_back(t.CurrentSlot());
    out.push_back(t.CurrentGroup());
    out.push_back(t.PercentMode());
  }
  static TableBytes Of(const TBalastConfig& gear, const TControllerConfig& devices) {
    TableBytes t;
    AddBase(t.bytes, gear);
    for (uint32_t i = 0; i < TConfig::kSlotCount; ++i)
      Add(t.bytes, gear.Record(i), sizeof(GearRecord));
    AddBase(t.bytes, devices);
    // The values, not where they came from: a document opens as set what a reading had as read.
    for (uint32_t i = 0; i < TConfig::kSlotCount; ++i) {
      const ControllerRecord* r = devices.Record(i);
      Add(t.bytes, r->Layout.data(), r->Layout.size());
      t.bytes.push_back(r->Multimaster);
    }
    return t;
  }
  bool operator==(const TableBytes&) const = default;
};

// Distinct values in every saved field of every slot, with not-read (255) values, every group
// state and negative positions among them. Raw levels: PercentMode is off while filling.
inline void FillGear(TBalastConfig& t, uint8_t slot) {
  t.SetCurrentSlot(slot);
  t.SetShortAddress(slot);
  t.SetDeviceType(slot % 5 == 0 ? 255 : slot % 9);
  t.SetVersion(slot % 7 == 0 ? 255 : 0x10 + slot);
  t.SetStatus(0x40 | slot);
  for (int g = 0; g < 16; ++g) t.SetGroups(g, (slot + g) % 3 == 2 ? 255 : (slot + g) % 3);
  t.SetPhysicalMinLevel(slot % 4 == 0 ? 255 : 80 + slot);
  t.SetMinLevel(90 + slot);
  t.SetMaxLevel(slot % 6 == 0 ? 255 : 254 - slot);
  t.SetPowerOnLevel(slot % 3 == 0 ? 255 : 150 + slot);
  t.SetFailureLevel(slot);
  t.SetFadeRate(slot % 2 == 0 ? 255 : slot % 16);
  t.SetFadeTime(15 - slot % 16);
  t.SetActualLevel(200);
  for (int s = 0; s < 16; ++s) t.SetScenes(s, (slot + s) % 4 == 0 ? 255 : 3 * s + slot);
  t.SetTop(slot % 2 ? -(slot * 1000 + 7) : slot * 11);
  t.SetLeft(slot == 63 ? INT32_MIN : slot == 62 ? INT32_MAX : -slot);
}

inline void FillDevice(TControllerConfig& t, uint8_t slot, uint8_t kind) {
  t.SetCurrentSlot(slot);
  t.SetShortAddress(slot);
  t.SetDeviceType(kind);
  t.SetVersion(slot % 7 == 0 ? 255 : 1 + slot % 3);
  t.SetMinVersion(slot % 5 == 0 ? 255 : slot);
  t.SetStatus(0x0F);
  for (int g = 0; g < 16; ++g) t.SetGroups(g, (slot * 3 + g) % 3 == 1 ? 255 : (slot + g) % 2);
  t.SetMultimaster(slot % 3 == 0 ? 255 : slot % 2);
  t.SetTop(-slot - 1);
  t.SetLeft(slot * 100000);
}

}  // namespace lumetra::testing
