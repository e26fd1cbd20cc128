// What the control gear and the control device sections share: the groups list, the position and
// keeping the table's selection and level mode while a section walks it.
#pragma once

#include <climits>
#include <cstdint>
#include <cstring>

#include <pugixml.hpp>

#include "documents/DocumentXml.h"
#include "model/Config.h"

namespace lumetra {

// Holds CurrentSlot and PercentMode and puts them back when the section is done, also when a
// reader stops it with an error; meanwhile levels are raw, as the document keeps them.
class SectionWalk {
 public:
  explicit SectionWalk(TConfig& table)
      : table_(table), slot_(table.CurrentSlot()), percent_(table.PercentMode()) {
    table.SetPercentMode(0);
  }
  ~SectionWalk() {
    table_.SetCurrentSlot(slot_);
    table_.SetPercentMode(percent_);
  }
  SectionWalk(const SectionWalk&) = delete;
  SectionWalk& operator=(const SectionWalk&) = delete;

 private:
  TConfig& table_;
  uint8_t slot_;
  uint8_t percent_;
};

inline constexpr int kDocumentGroups = 16;

// "groups" with 16 "group" children of the selected slot.
void SaveGroups(pugi::xml_node entry, const TConfig& table);
// "position" with "top" and "left" of the selected slot, signed.
void SavePosition(pugi::xml_node entry, const TConfig& table);

// The j-th "group" child gives Groups[j]; `read` turns an element into its byte.
template <typename Read>
void LoadGroups(const DocumentReader& reader, pugi::xml_node entry, TConfig& table, Read read) {
  reader.ForEachChild(reader.Child(entry, "groups"), kDocumentGroups,
                      [&](pugi::xml_node group, int j) { table.SetGroups(j, read(group)); });
}
void LoadPosition(const DocumentReader& reader, pugi::xml_node entry, TConfig& table);

// Walks the entries of section `name` under the root: each whose "deviceaddress" names a device
// slot (0..63) becomes the selected slot with that short address, and `load` reads the rest of it.
// An address that names no device slot leaves the entry out rather than writing it into the group
// slot or beyond. A root of another name, or no such section, loads nothing.
template <typename Load>
void LoadSectionEntries(const DocumentReader& reader, const char* name, TConfig& table, Load load) {
  const pugi::xml_node root = reader.Source().Document().document_element();
  if (std::strcmp(root.name(), "lumetraconfigurator") != 0) return;
  const pugi::xml_node section = root.child(name);
  if (!section) return;
  SectionWalk walk(table);
  reader.ForEachChild(section, INT32_MAX, [&](pugi::xml_node entry, int) {
    const int32_t address = reader.Signed32(entry, "deviceaddress");
    if (address < 0 || address >= TConfig::kGroupSlot) return;
    table.SetCurrentSlot(static_cast<uint8_t>(address));
    table.SetShortAddress(static_cast<uint32_t>(address));
    load(entry);
  });
}

}  // namespace lumetra
