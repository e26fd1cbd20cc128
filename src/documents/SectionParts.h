// What the control gear and the control device sections share: the groups list, the position and
// keeping the table's selection and level mode while a section walks it.
#pragma once

#include <cstdint>

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

}  // namespace lumetra
