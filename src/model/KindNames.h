// The names of the control device kinds, as the editor, the document and the report show them
// next to the kind code.
#pragma once

#include <cstdint>
#include <string_view>

#include "model/KindImage.h"

namespace lumetra {

struct KindName {
  uint8_t kind;
  std::string_view name;
};

inline constexpr KindName kKindNames[] = {
    {kKindSwitch, "Spínač"},
    {kKindPirSensor, "Pohybový senzor"},
    {kKindLightSensor, "Svetelný senzor"},
    {kKindOptoRelay, "Optorelé"},
    {kKindPirLightSensor, "Pohybový a svetelný senzor"},
};

// The kind's name; empty for a code no editor knows.
constexpr std::string_view ControllerKindName(uint32_t kind) {
  for (const KindName& k : kKindNames) {
    if (k.kind == kind) return k.name;
  }
  return {};
}

// The names of the DALI control gear device types, shown with the type number; empty for a type
// without one.
constexpr std::string_view GearTypeName(uint32_t type) {
  switch (type) {
    case 0:
      return "Fluorescenčné";
    case 1:
      return "Núdzové";
    case 2:
      return "Výbojkové";
    case 3:
      return "Halogénové";
    case 4:
      return "Žiarovky";
    case 6:
      return "LED";
    default:
      return {};
  }
}

}  // namespace lumetra
