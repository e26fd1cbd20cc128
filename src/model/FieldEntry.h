// What a kind editor's edits accept: the one strict reading of a typed number, the ranges with the
// status line's word on a value outside them, the level in percent or arc, and the wait in hours,
// minutes and seconds. The editors' widgets only pass texts here and show what comes back.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lumetra {

class TConfig;

// The whole text as a decimal integer, with one leading minus sign where `signedText`; none for
// anything else: "", "12.5", "1e3", "12a", "+5", " 5". More digits than any field holds saturate
// at kTooLarge, which every range refuses.
inline constexpr int64_t kTooLarge = 1'000'000'000'000;
std::optional<int64_t> StrictNumber(std::string_view text, bool signedText = false);

// The numbers a field takes, low..high, and the unit its refusal names ("", "%", "lx").
struct FieldRange {
  int64_t low;
  int64_t high;
  std::string_view unit;
  bool Contains(int64_t v) const { return v >= low && v <= high; }
};

// The status line's word on a refused entry: "Hodnota mimo rozsahu 0–100 %".
std::string OutOfRangeText(const FieldRange& range);

// A typed entry: the value to store, or why nothing is stored.
struct FieldEntry {
  int64_t value = 0;
  std::string refusal;
  bool Refused() const { return !refusal.empty(); }
};

// `text` read for a field of `range`. An empty text, and a typed `none`, give `none` (a field
// that can say "no value"); without one, an empty text is refused like any text that is not a
// number or not in the range.
FieldEntry ReadField(std::string_view text, const FieldRange& range,
                     std::optional<int64_t> none = std::nullopt, bool signedText = false);

// The number of the lights a sensor controls: a group 0..15 or a short address 0..63. A larger
// number would reach other lights than it names (the device keeps only its low bits).
FieldRange LightsNumberRange(bool group);

// ---- levels: raw arc levels 0..254, shown and typed through the table's PercentMode ----

inline constexpr uint32_t kNoArcLevel = 255;
// What a level edit shows of a stored arc level: empty for none (255), else the level as the table
// shows levels (percent or arc).
std::string LevelText(const TConfig& table, uint32_t level);
// The arc level a typed text stores: empty (or 255 in arc) is none; a number is 0..254 in arc or
// 0..100 in percent, converted once from what was typed; anything else is refused with the range.
FieldEntry ReadLevel(const TConfig& table, std::string_view text);

// ---- waits: seconds shown as hours, minutes and seconds ----

// The longest wait the devices count: 18:00:00.
inline constexpr uint32_t kLongestWait = 64800;
struct WaitParts {
  uint32_t hours;
  uint32_t minutes;
  uint32_t seconds;
};
WaitParts SplitWait(uint32_t seconds);
uint32_t JoinWait(const WaitParts& parts);
// The three edits' texts of a wait: the hours without padding ("5"), minutes and seconds in two
// digits ("05"); three empty texts for a wait never read or set (beyond 18:00:00).
std::array<std::string, 3> WaitTexts(uint32_t seconds);
// The wait the three texts give: each part a number (an empty one counts as 0), minutes and seconds
// 0..59, the whole at most 18:00:00; otherwise the refusal naming the range broken.
FieldEntry ReadWait(std::string_view hours, std::string_view minutes, std::string_view seconds);

}  // namespace lumetra
