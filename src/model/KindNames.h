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

}  // namespace lumetra
