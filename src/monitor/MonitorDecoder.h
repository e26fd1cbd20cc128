// Monitor records and their decoding into the tab-separated lines of the bus monitor: the name
// tables, the address filters and the link between a hidden query and its answer.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lumetra {

// One record of the monitor channel, exactly as it arrives.
using MonitorRecord = std::array<uint8_t, 5>;
inline constexpr size_t kMonitorRecordSize = 5;

// Record kinds: the low three bits of byte 0.
inline constexpr uint8_t kRecordGearFrame = 3;
inline constexpr uint8_t kRecordDeviceFrame = 4;
inline constexpr uint8_t kRecordAnswer = 2;
inline constexpr uint8_t kRecordAnswerAlt = 6;
inline constexpr uint8_t kRecordBusError = 7;

// What the monitor page's filter controls have set. Every field is 0 or 1.
struct MonitorFilter {
  uint8_t BalastFilterOn = 0;
  uint8_t ControllerFilterOn = 0;
  uint8_t BalastShowSelected = 0;  // 1 = "zobrazovať": the checked entries are the shown ones
  uint8_t ControllerShowSelected = 0;
  uint8_t BalastShowAll = 0;
  uint8_t ControllerShowAll = 0;
  std::array<uint8_t, 64> BalastAddressSelected{};
  std::array<uint8_t, 64> ControllerAddressSelected{};
  std::array<uint8_t, 16> BalastGroupSelected{};
  std::array<uint8_t, 16> ControllerGroupSelected{};
};

// Local time of arrival, stamped by the display.
struct ArrivalTime {
  int hour = 0;
  int minute = 0;
  int second = 0;
};

struct DecodedRecord {
  std::optional<std::string> line;  // with the time part; none when the record shows nothing
  bool skipNextAnswer = false;
};

// The line a record makes under `filter`, and the skip flag for the record after it.
// `skipNextAnswer` is the flag left by the record before: a hidden frame hides the answer that
// follows it.
DecodedRecord DecodeRecord(const MonitorRecord& record, const MonitorFilter& filter,
                           bool skipNextAnswer, const ArrivalTime& time);

// The same into `line` (cleared first), without allocating once `line` has grown: for the reader
// and the benchmarks. Returns whether a line was made.
bool DecodeRecordInto(std::string& line, const MonitorRecord& record, const MonitorFilter& filter,
                      bool& skipNextAnswer, const ArrivalTime& time);

namespace monitor_names {

// The names as the view shows them, spellings included. They are data, not switch arms, so that one
// decoder serves every command.
namespace detail {
template <size_t N>
constexpr void Fill(std::array<std::string_view, N>& table, size_t first,
                    std::initializer_list<std::string_view> names) {
  size_t i = first;
  for (std::string_view name : names) table[i++] = name;
}
template <size_t N>
constexpr void FillRange(std::array<std::string_view, N>& table, size_t first, size_t last,
                         std::string_view name) {
  for (size_t i = first; i <= last; ++i) table[i] = name;
}
}  // namespace detail

// Indexed by the opcode of a control gear command.
inline constexpr std::array<std::string_view, 256> GearCommandNames = [] {
  std::array<std::string_view, 256> t{};
  detail::FillRange(t, 0, 255, "RESERVED");
  detail::Fill(t, 0,
               {"OFF", "UP", "DOWN", "STEP UP", "STEP DOWN", "RECALL MAX LEVEL", "RECALL MIN LEVEL",
                "STEP DOWN AND OFF", "ON AND STEP UP"});
  detail::FillRange(t, 16, 31, "GO TO SCENE");
  detail::Fill(t, 32, {"RESET", "ACTUAL LEVEL TO DTR"});
  detail::Fill(t, 42,
               {"STORE DTR AS MAX LEVEL", "STORE DTR AS MIN LEVEL", "STORE DTR AS FAILURE LEVEL",
                "STORE DTR AS POWER ON LEVEL", "STORE DTR AS FADE TIME", "STORE DTR AS FADE RATE"});
  detail::FillRange(t, 64, 79, "STORE DTR AS SCENE");
  detail::FillRange(t, 80, 95, "REMOVE FROM SCENE");
  detail::FillRange(t, 96, 111, "ADD TO GROUP");
  detail::FillRange(t, 112, 127, "REMOVE FROM GROUP");
  detail::Fill(t, 128, {"STORE DTR AS SHORT ADDRESS", "ENABLE_WRITE_MEMORY"});
  detail::Fill(
      t, 144,
      {"QUERY STATUS", "QUERY BALAST", "QUERY LAMP FAILURE", "QUERY LAMP POWER ON",
       "QUERY LIMIT ERROR", "QUERY RESET STATE", "QUERY MISSING SHORT", "QUERY VERSION NUMBER",
       "QUERY CONTENT DTR", "QUERY DEVICE TYPE", "QUERY PHYSICAL MIN", "QUERY POWER FAILURE"});
  detail::Fill(t, 160,
               {"QUERY ACTUAL LEVEL", "QUERY MAX LEVEL", "QUERY MIN LEVEL", "QUERY POWER ON LEVEL",
                "QUERY FAILURE LEVEL", "QUERY FADE TIME RATE"});
  detail::FillRange(t, 176, 191, "QUERY SCENE LEVEL");
  detail::Fill(t, 192,
               {"QUERY GROUPS 0-7", "QUERY GROUPS 8-15", "QUERY RANDOME ADDRESS H",
                "QUERY RANDOME ADDRESS M", "QUERY RANDOME ADDRESS L", "READ MEMORY LOCATION"});
  return t;
}();

// Special commands by their address byte, odd values 0xA1..0xDF; index (byte - 0xA1) / 2.
inline constexpr uint8_t kFirstSpecial = 0xA1;
inline constexpr uint8_t kLastSpecial = 0xDF;
inline constexpr std::array<std::string_view, 32> SpecialCommandNames = {
    "TERMINATE",
    "DTR",
    "INITIALIZE",
    "RANDOMIZE",
    "COMPARE",
    "WITHDRAW",
    "RESERVED",
    "RESERVED",
    "SEARCH ADDRESS H",
    "SEARCH ADDRESS M",
    "SEARCH ADDRESS L",
    "PROGRAM SHORT ADDRESS",
    "VERIFY SHORT ADDRESS",
    "QUERY SHORT ADDRESS",
    "PHYSICAL SELECTION",
    "RESERVED",
    "ENABLE DEVICE TYPE X",
    "RESERVED",
    "RESERVED",
    "WRITE MEMORY LOCATION",
    "RESERVED",
    "RESERVED",
    "RESERVED",
    "RESERVED",
    "SWITCH TO BOOTLOADER",
    "RESERVED",
    "RESERVED",
    "RESERVED",
    "RESERVED",
    "RESERVED",
    "RESERVED",
    "RESERVED",
};

// Indexed by the opcode of a control device frame; opcode 0 takes its name from DataLessNames.
inline constexpr std::array<std::string_view, 70> DeviceCommandNames = [] {
  std::array<std::string_view, 70> t{};
  detail::FillRange(t, 0, 69, "RESERVED");
  detail::Fill(
      t, 0,
      {"DATA LESS COMMANDS", "COLLISION TEST REQUEST", "RESET", "SET DTR", "QUERY DTR", "SET BANK",
       "QUERY BANK", "WRITE MEMORY SINGLE BYTE", "READ MEMORY", "READ DIRECT MEMORY BYTE",
       "CONTROL GROUP ASSIGNMENT 0-7", "CONTROL GROUP ASSIGNMENT 8-15", "ADD TO CONTROL GROUP N",
       "REMOVE FROM CONTROL GROUP N", "QUERY CONTROL GROUP ASSIGNMENT"});
  detail::Fill(t, 32,
               {"TERMINATE", "INITIALIZE", "RANDOMIZE", "COMPARE", "WITHDRAW",
                "SET SEARCH ADDRESS H", "SET SEARCH ADDRESS M", "SET SEARCH ADDRESS L",
                "PROGRAM SHORT ADDRESS", "SAVE SHORT ADDRESS", "VERIFY SHORT ADDRESS",
                "QUERY SHORT ADDRESS", "PHYSICAL SELECTION", "QUERY RANDOM ADDRESS BYTE"});
  detail::Fill(
      t, 64,
      {"SET CURRENT PARAMETER BANK", "QUERY CURRENT PARAMETER BANK", "TRANSMIT ENABLE TRESHOLD",
       "QUERY TRANSMIT ENABLE TRESHOLD", "LOAD SHED LEVEL", "QUERY LOAD SHED LEVEL"});
  return t;
}();

// Indexed by the data byte of opcode 0; a data byte beyond the table has an empty name.
inline constexpr std::array<std::string_view, 15> DataLessNames = {
    "TEST MESSAGE",
    "IDENTIFY_DEVICE",
    "IDENTIFY SELECTED DEVICE",
    "DISABLE MULTIMASTER",
    "ENABLE MULTIMASTER",
    "DISABLE WRITE MEMORY",
    "ENABLE WRITE MEMORY",
    "DISABLE 2 BYTE WRITE MEMORY",
    "ENABLE 2 BYTE WRITE MEMORY",
    "DISABLE RESEND PARAMETER BANK",
    "ENABLE RESEND PARAMETER BANK",
    "DISABLE LOAD SHED",
    "ENABLE LOAD SHED",
    "DISABLE MFGR COMMANDS",
    "ENABLE MFGR COMMANDS",
};

// Opcodes 128..142 of a control device frame.
inline constexpr uint8_t kFirstDeviceEvent = 128;
inline constexpr std::array<std::string_view, 15> DeviceEventNames = {
    "DATA LESS TYPE SPEC CMND",
    "QUERY CURRENT STATE",
    "PRESS-RELEASE-SWITCH ON",
    "HOLD-FORCE",
    "RELEASE-CLEAR-SWITCH OFF",
    "QUERY STATE",
    "SEND STATE",
    "CLEAR STATUS",
    "QUERY QUEUE-CHANGE",
    "RESERVED",
    "RESERVED",
    "RESERVED",
    "QUERY INDICATOR",
    "SET INDICATOR",
    "SET INDICATOR TO DTR",
};

// Opcodes 193..195 of a control device frame.
inline constexpr uint8_t kFirstDeviceExtra = 193;
inline constexpr std::array<std::string_view, 3> DeviceExtraNames = {"SWITCH TO BOOTLOADER",
                                                                     "SET DTR1", "QUERY DTR1"};

// Indexed by the error code; a code beyond the table has an empty name.
inline constexpr std::array<std::string_view, 13> BusErrorNames = {"ERROR - Back frame",
                                                                   "ERROR - Check sum",
                                                                   "ERROR - Short in",
                                                                   "ERROR - Receive",
                                                                   "",
                                                                   "",
                                                                   "",
                                                                   "",
                                                                   "",
                                                                   "",
                                                                   "",
                                                                   "",
                                                                   "ERROR - Short out"};

}  // namespace monitor_names

}  // namespace lumetra
