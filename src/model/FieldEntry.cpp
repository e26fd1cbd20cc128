// The strict reading of typed numbers, levels and waits.
#include "model/FieldEntry.h"

#include <algorithm>
#include <cstdio>

#include "model/Config.h"

namespace lumetra {

std::optional<int64_t> StrictNumber(std::string_view text, bool signedText) {
  const bool negative = signedText && !text.empty() && text.front() == '-';
  if (negative) text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = std::min(value * 10 + (c - '0'), kTooLarge);
  }
  return negative ? -value : value;
}

std::string OutOfRangeText(const FieldRange& range) {
  std::string text =
      "Hodnota mimo rozsahu " + std::to_string(range.low) + "\u2013" + std::to_string(range.high);
  if (!range.unit.empty()) text += " " + std::string(range.unit);
  return text;
}

FieldEntry ReadField(std::string_view text, const FieldRange& range, std::optional<int64_t> none,
                     bool signedText) {
  if (text.empty() && none) return {*none, {}};
  const std::optional<int64_t> v = StrictNumber(text, signedText);
  if (v && (range.Contains(*v) || v == none)) return {*v, {}};
  return {0, OutOfRangeText(range)};
}

FieldRange LightsNumberRange(bool group) { return {0, group ? 15 : 63, {}}; }

std::string LevelText(const TConfig& table, uint32_t level) {
  if (level >= kNoArcLevel) return {};
  return table.FormatLevel(static_cast<int32_t>(table.ConvertLevel(true, level)));
}

FieldEntry ReadLevel(const TConfig& table, std::string_view text) {
  if (text.empty()) return {kNoArcLevel, {}};
  const bool percent = table.PercentMode() != 0;
  const FieldRange range = percent ? FieldRange{0, 100, "%"} : FieldRange{0, 254, {}};
  // In arc, 255 is what the device holds for no level; a percentage has no such number.
  FieldEntry entry =
      ReadField(text, range, percent ? std::nullopt : std::optional<int64_t>(kNoArcLevel));
  if (!entry.Refused() && entry.value != kNoArcLevel) {
    entry.value = table.ConvertLevel(false, static_cast<uint32_t>(entry.value));
  }
  return entry;
}

WaitParts SplitWait(uint32_t seconds) {
  return {seconds / 3600, seconds % 3600 / 60, seconds % 60};
}

uint32_t JoinWait(const WaitParts& parts) {
  return parts.hours * 3600 + parts.minutes * 60 + parts.seconds;
}

std::array<std::string, 3> WaitTexts(uint32_t seconds) {
  if (seconds > kLongestWait) return {};
  const WaitParts p = SplitWait(seconds);
  char two[2][8];
  std::snprintf(two[0], sizeof two[0], "%02u", p.minutes);
  std::snprintf(two[1], sizeof two[1], "%02u", p.seconds);
  return {std::to_string(p.hours), two[0], two[1]};
}

FieldEntry ReadWait(std::string_view hours, std::string_view minutes, std::string_view seconds) {
  static constexpr FieldRange kPart{0, 59, {}};
  const std::string whole = "Hodnota mimo rozsahu 0\u201318:00:00";
  const FieldEntry h = ReadField(hours, {0, kLongestWait / 3600, {}}, 0);
  const FieldEntry m = ReadField(minutes, kPart, 0);
  const FieldEntry s = ReadField(seconds, kPart, 0);
  if (m.Refused() || s.Refused()) return {0, OutOfRangeText(kPart)};
  if (h.Refused()) return {0, whole};
  const int64_t total = h.value * 3600 + m.value * 60 + s.value;
  if (total > kLongestWait) return {0, whole};
  return {total, {}};
}

}  // namespace lumetra
