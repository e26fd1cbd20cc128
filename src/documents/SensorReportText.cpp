// Report texts the light sensor and the combined sensor print alike.
#include "documents/SensorReportText.h"

#include "model/Utf.h"

namespace lumetra::sensor_report {

std::string Printf(const char* format, ...) {
  char text[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return text;
}

std::string Field(const char* caption, const std::string& value) {
  return PadRight(caption, kCaptionWidth) + value;
}

std::string ScaleText(uint8_t scale) {
  switch (scale) {
    case 1:
      return "1";
    case 10:
      return "0.1";
    case 100:
      return "0.01";
    default:
      return "---";
  }
}

std::string Duration(uint32_t seconds) {
  return Printf("%u:%02u:%02u", seconds / 3600, seconds % 3600 / 60, seconds % 60);
}

std::string ResponseLevel(uint32_t level) {
  return level >= kNoLevel ? std::string("     ") : Printf("%5u", level);
}

}  // namespace lumetra::sensor_report
