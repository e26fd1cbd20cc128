// Monitor records and their decoding into the tab-separated lines of the bus monitor: the name
// tables, the address filters and the link between a hidden query and its answer.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "buslink/Commands.h"

namespace lumetra {

// One record of the monitor channel, exactly as it arrives.
using MonitorRecord = std::array<uint8_t, 5>;
inline constexpr size_t kMonitorRecordSize = 5;

// Record kinds: the low three bits of byte 0. The simulated line writes the same values under the
// same names from its own definitions.
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

// A monitor line read back: the record it shows and when it arrived. Every line the decoder makes
// carries the frame's bytes (or the answer or error code) in its second column, so the lines of a
// record file can be decoded once more, under another filter, or counted.
struct TracedRecord {
  MonitorRecord record{};
  ArrivalTime time;
};

// The record behind `line`; none when `line` is no line the decoder makes from a record: decoding
// the result without a filter gives `line` again, character for character. Answers come back as
// kRecordAnswer whichever of the two answer kinds made them.
std::optional<TracedRecord> RecordOfLine(std::string_view line);

namespace monitor_names {

// How the data column shows a frame's data byte.
enum class DataColumn : uint8_t {
  kByte,
  // A row that spans scenes or groups: the number is the code's place in the row.
  kNumberInRow,
  // The data byte codes a short address as 2a + 1: a is shown.
  kShortAddress,
};

// What a code shows in the command and data columns.
struct CommandColumn {
  std::string_view name;
  // Without a command column the line lacks even its tab.
  bool shown = false;
  DataColumn data = DataColumn::kByte;
  uint8_t rowCode = 0;  // the first code of the row, for kNumberInRow
};

// The lookup arrays are built from the command tables at compile time, so that the monitor names
// every command exactly as the senders know it and a decoded record costs one index.
namespace detail {

inline constexpr std::string_view kReserved = "RESERVED";

constexpr CommandColumn ColumnOf(const BusCommand& row) {
  CommandColumn column{row.name, true, DataColumn::kByte, row.code};
  if (row.span > 1) {
    column.data = DataColumn::kNumberInRow;
  } else if ((row.flags & kAddressData) != 0) {
    column.data = DataColumn::kShortAddress;
  }
  return column;
}

// Codes the monitor knows but no row names.
template <size_t N>
constexpr void Reserve(std::array<CommandColumn, N>& table, size_t first, size_t last) {
  for (size_t i = first; i <= last; ++i) table[i] = {kReserved, true};
}

// Every code of every row at index (code - first) / step. A code outside the table does not
// compile; neither does a code off the step or one that two rows claim.
template <size_t N, size_t M>
constexpr void Place(std::array<CommandColumn, N>& table, const BusCommand (&rows)[M],
                     unsigned first = 0, unsigned step = 1) {
  for (const BusCommand& row : rows) {
    for (unsigned code = row.code; code < row.code + row.span; ++code) {
      if (code < first || (code - first) % step != 0) throw "code outside the table's codes";
      CommandColumn& column = table[(code - first) / step];
      if (column.shown && column.name != kReserved) throw "two rows for one code";
      column = ColumnOf(row);
    }
  }
}

}  // namespace detail

// Addressed control gear commands, by opcode. Every opcode has a name.
inline constexpr std::array<CommandColumn, 256> GearCommands = [] {
  std::array<CommandColumn, 256> t{};
  detail::Reserve(t, 0, 255);
  detail::Place(t, gear::kCommands);
  return t;
}();

// Special commands by their address byte, odd values kFirstSpecial..kLastSpecial; index
// (byte - kFirstSpecial) / 2. Every one of them has a name.
inline constexpr size_t kSpecialCount = (gear::kLastSpecial - gear::kFirstSpecial) / 2 + 1;
inline constexpr std::array<CommandColumn, kSpecialCount> SpecialCommands = [] {
  std::array<CommandColumn, kSpecialCount> t{};
  detail::Reserve(t, 0, kSpecialCount - 1);
  detail::Place(t, gear::kSpecialCommands, gear::kFirstSpecial, 2);
  return t;
}();

// Control device commands, by opcode. The standard block 0..69 and the event block 128..142 show
// RESERVED for a code without a row; any other code without one has no command column.
inline constexpr std::array<CommandColumn, 256> DeviceCommands = [] {
  std::array<CommandColumn, 256> t{};
  detail::Reserve(t, 0, 69);
  detail::Reserve(t, 128, 142);
  detail::Place(t, device::kCommands);
  return t;
}();

// Opcode 0 by its data byte; a data byte without a row has an empty name.
inline constexpr std::array<CommandColumn, 256> DataLessCommands = [] {
  std::array<CommandColumn, 256> t{};
  detail::Place(t, device::kDataLessCommands);
  return t;
}();

// Bus errors are the gateway's reports, not commands, so their names live here. Indexed by the
// error code; a code beyond the table has an empty name.
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
