// The groups and the position, written and read alike by both device sections.
#include "documents/SectionParts.h"

namespace lumetra {

void SaveGroups(pugi::xml_node entry, const TConfig& table) {
  pugi::xml_node groups = entry.append_child("groups");
  for (int g = 0; g < kDocumentGroups; ++g)
    AddNumber(groups, "group", table.Groups(g)).append_attribute("index") = g;
}

void SavePosition(pugi::xml_node entry, const TConfig& table) {
  pugi::xml_node position = entry.append_child("position");
  AddNumber(position, "top", table.Top());
  AddNumber(position, "left", table.Left());
}

void LoadPosition(const DocumentReader& reader, pugi::xml_node entry, TConfig& table) {
  const pugi::xml_node position = reader.Child(entry, "position");
  const int32_t top = reader.Signed32(position, "top");
  const int32_t left = reader.Signed32(position, "left");
  table.SetTop(top);
  table.SetLeft(left);
}

}  // namespace lumetra
