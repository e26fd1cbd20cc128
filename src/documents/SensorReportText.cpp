// Report texts the light sensor and the combined sensor print alike.
#include "documents/SensorReportText.h"

#include "model/ErasedValues.h"
#include "model/LightsAddress.h"
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
  return Value(ErasedWait(seconds),
               Printf("%u:%02u:%02u", seconds / 3600, seconds % 3600 / 60, seconds % 60));
}

std::string ResponseLevel(uint32_t level) {
  const bool erased = ErasedWide(level);
  return Column(erased, Printf("%5u", erased ? 0u : level));
}

std::string Value(bool erased, const std::string& text) { return erased ? std::string() : text; }

std::string Column(bool erased, const std::string& text) {
  return erased ? std::string(Utf8Length(text), ' ') : text;
}

std::string WaitColumn(const char* format, uint32_t seconds) {
  const bool erased = ErasedWait(seconds);
  if (erased) seconds = 0;
  char text[64];
  std::snprintf(text, sizeof text, format, seconds / 3600, seconds % 3600 / 60, seconds % 60);
  return Column(erased, text);
}

std::string LightsText(uint8_t b) {
  const LightsAddress lights = DecodeLightsAddress(b);
  switch (lights.kind) {
    case LightsKind::All:
      return "Všetky";
    case LightsKind::Group:
      return Printf("GA %02u", static_cast<unsigned>(lights.number));
    case LightsKind::Device:
      return Printf("A %02u", static_cast<unsigned>(lights.number));
    default:
      return {};
  }
}

void AddLightOutputLines(uint8_t maxLevel, uint8_t minLevel, ReportPageList& lines) {
  const auto level = [](uint8_t value) {
    return Value(ErasedByte(value), Printf("%3d %%", static_cast<int>(value)));
  };
  lines.push_back(Field("Úroveň maximálneho svietenia:", level(maxLevel)));
  lines.push_back(Field("Úroveň minimálneho svietenia:", level(minLevel)));
}

void AddRegulationLines(uint8_t delta, uint8_t scale, const char* deltaFormat,
                        ReportPageList& lines) {
  char text[32];
  std::snprintf(text, sizeof text, deltaFormat, static_cast<int>(delta));
  lines.push_back(Field("Odchýlka regulácie:", Value(ErasedByte(delta), text)));
  lines.push_back(Field("Citlivosť merania:", Value(ErasedByte(scale), ScaleText(scale) + " lx")));
}

}  // namespace lumetra::sensor_report
