// Report texts the kind sections print alike: the light sensor and the combined sensor, and the
// columns every kind leaves blank for a value never programmed.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <string>

#include "documents/ReportPages.h"

namespace lumetra::sensor_report {

inline constexpr size_t kRuleWidth = 102;
inline constexpr size_t kCaptionWidth = 30;

std::string Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// "%-30s" of a caption by characters, then `value`.
std::string Field(const char* caption, const std::string& value);

// "1", "0.1", "0.01" for Scale 1, 10, 100; "---" for a byte that is none of them.
std::string ScaleText(uint8_t scale);

// hours:minutes:seconds as "%d:%02d:%02d" after a caption; nothing for a wait never programmed.
std::string Duration(uint32_t seconds);

// "%5u" of a response level; "     " for no level (65535, or all bits set as never stored).
std::string ResponseLevel(uint32_t level);

// `text` after a caption, or nothing where its value was never programmed.
std::string Value(bool erased, const std::string& text);
// `text` as a column of a line, or as many blanks (by characters) where its value was never
// programmed, so the columns after it stay in place; `text` is then best formed from 0.
std::string Column(bool erased, const std::string& text);
// A wait as a column: `format` of hours, minutes and seconds (three unsigned conversions), blank
// above 18:00:00.
std::string WaitColumn(const char* format, uint32_t seconds);

// The controlled lights: "Všetky", "GA gg" or "A aa"; nothing for an address byte that names no
// lights (erased, or a group beyond 15).
std::string LightsText(uint8_t b);

// "Úroveň maximálneho svietenia:" and "Úroveň minimálneho svietenia:" as "%3d %"; blank where
// never programmed.
void AddLightOutputLines(uint8_t maxLevel, uint8_t minLevel, ReportPageList& lines);
// "Odchýlka regulácie:" in `deltaFormat` and "Citlivosť merania:" with its unit; blank where never
// programmed.
void AddRegulationLines(uint8_t delta, uint8_t scale, const char* deltaFormat,
                        ReportPageList& lines);

}  // namespace lumetra::sensor_report
