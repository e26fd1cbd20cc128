// The names of the control gear device types, as the editor and the report show them next to the
// type code.
#pragma once

#include <cstdint>
#include <string_view>

namespace lumetra {

// The type's name; empty for a type without one.
constexpr std::string_view DeviceTypeName(uint32_t type) {
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
