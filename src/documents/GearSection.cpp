// Control gear entries: identity, groups, levels, fades, scenes and the floor-plan position.
#include "documents/GearSection.h"

#include <cstring>

#include "documents/SectionParts.h"

namespace lumetra {

namespace {

inline constexpr int kScenes = 16;

struct LevelElement {
  const char* name;
  uint32_t (TBalastConfig::*get)() const;
  void (TBalastConfig::*set)(uint32_t);
};

// In the order of the document.
constexpr LevelElement kLevels[] = {
    {"minphysicallevel", &TBalastConfig::PhysicalMinLevel, &TBalastConfig::SetPhysicalMinLevel},
    {"minlevel", &TBalastConfig::MinLevel, &TBalastConfig::SetMinLevel},
    {"maxlevel", &TBalastConfig::MaxLevel, &TBalastConfig::SetMaxLevel},
    {"poweronlevel", &TBalastConfig::PowerOnLevel, &TBalastConfig::SetPowerOnLevel},
    {"errorlevel", &TBalastConfig::FailureLevel, &TBalastConfig::SetFailureLevel},
};

}  // namespace

void SaveGearSection(pugi::xml_document& doc, TBalastConfig& table) {
  SectionWalk walk(table);
  pugi::xml_node section = doc.document_element().append_child("balasts");
  for (uint8_t i = 0; i < TConfig::kGroupSlot; ++i) {
    table.SetCurrentSlot(i);
    if (table.ShortAddress() == TConfig::kNone) continue;
    pugi::xml_node entry = section.append_child("balast");
    entry.append_attribute("index") = i;
    AddNumber(entry, "deviceaddress", table.ShortAddress());
    AddNumber(entry, "devicetype", table.DeviceType());
    AddNumber(entry, "version", table.Version());
    SaveGroups(entry, table);
    for (const LevelElement& level : kLevels) AddNumber(entry, level.name, (table.*level.get)());
    AddNumber(entry, "faderate", table.FadeRate());
    AddNumber(entry, "fadetime", table.FadeTime());
    pugi::xml_node scenes = entry.append_child("scenes");
    for (int s = 0; s < kScenes; ++s)
      AddNumber(scenes, "scene", table.Scenes(s)).append_attribute("index") = s;
    SavePosition(entry, table);
  }
}

void LoadGearSection(const DocumentReader& reader, TBalastConfig& table) {
  LoadSectionEntries(reader, "balasts", table, [&](pugi::xml_node entry) {
    table.SetDeviceType(reader.LowByteOfSigned(entry, "devicetype"));
    table.SetVersion(reader.LowByteOfSigned(entry, "version"));
    LoadGroups(reader, entry, table,
               [&](pugi::xml_node group) { return reader.LowByteOfSigned(group); });
    for (const LevelElement& level : kLevels)
      (table.*level.set)(reader.LowByteOfUnsigned(entry, level.name));
    table.SetFadeRate(reader.LowByteOfUnsigned(entry, "faderate"));
    table.SetFadeTime(reader.LowByteOfUnsigned(entry, "fadetime"));
    reader.ForEachChild(reader.Child(entry, "scenes"), kScenes, [&](pugi::xml_node scene, int j) {
      table.SetScenes(j, reader.LowByteOfUnsigned(scene));
    });
    LoadPosition(reader, entry, table);
    table.SetActualLevel(0);
    table.SetStatus(0);
  });
}

}  // namespace lumetra
