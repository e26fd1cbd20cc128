// Report texts the light sensor and the combined sensor print alike.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <string>

namespace lumetra::sensor_report {

inline constexpr size_t kRuleWidth = 102;
inline constexpr size_t kCaptionWidth = 30;
// A response level of 65535 is no level; one never stored (all bits set) prints empty too.
inline constexpr uint32_t kNoLevel = 0xFFFF;

std::string Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// "%-30s" of a caption by characters, then `value`.
std::string Field(const char* caption, const std::string& value);

// "1", "0.1", "0.01" for Scale 1, 10, 100; "---" for a byte that is none of them.
std::string ScaleText(uint8_t scale);

// hours:minutes:seconds as "%d:%02d:%02d".
std::string Duration(uint32_t seconds);

// "     " for no level, else "%5u".
std::string ResponseLevel(uint32_t level);

}  // namespace lumetra::sensor_report
