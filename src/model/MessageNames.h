// The report names of the messages a control device reacts to: the combo-box texts of
// MessageCodeTable padded to one 24-character report column.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "model/MessageCodeTable.h"

namespace lumetra {

inline constexpr size_t kMessageNameWidth = 24;

namespace message_names_detail {

// Room for 24 characters of two UTF-8 bytes each.
struct PaddedName {
  std::array<char, 2 * kMessageNameWidth> bytes{};
  size_t size = 0;
};

// Pads by characters, not bytes, so a name with Slovak letters fills the same column.
constexpr PaddedName Pad(std::string_view text) {
  PaddedName name;
  size_t characters = 0;
  for (const char c : text) {
    name.bytes[name.size++] = c;
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++characters;
  }
  for (; characters < kMessageNameWidth; ++characters) name.bytes[name.size++] = ' ';
  return name;
}

constexpr std::array<PaddedName, MessageCodeTable.size()> Build() {
  std::array<PaddedName, MessageCodeTable.size()> names{};
  for (size_t i = 0; i < names.size(); ++i) names[i] = Pad(MessageCodeTable[i].Text);
  return names;
}

inline constexpr auto kNames = Build();

}  // namespace message_names_detail

// The name of MessageCodeTable index `index`; an index outside the table (a response whose
// message was never set) prints as the empty entry, so a report column never breaks.
constexpr std::string_view MessageNames(uint32_t index) {
  const auto& name = message_names_detail::kNames[index < MessageCodeTable.size() ? index : 0];
  return {name.bytes.data(), name.size};
}

}  // namespace lumetra
