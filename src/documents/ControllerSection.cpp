// Control device entries: identity, groups, multimaster, the kind's own part and the position.
#include "documents/ControllerSection.h"

#include <cstring>

#include "documents/LightSensorSection.h"
#include "documents/OptoRelaySection.h"
#include "documents/PirLightSensorSection.h"
#include "documents/PirSensorSection.h"
#include "documents/SectionParts.h"
#include "documents/SwitchSection.h"

namespace lumetra {

const KindSections& ProgramKindSections() {
  // Each kind with a document part adds its line here, as its section is written.
  static const KindSections sections = [] {
    KindSections s;
    s.Add(kKindSwitch, SwitchKindSection());
    s.Add(kKindPirSensor, PirSensorSection());
    s.Add(kKindOptoRelay, OptoRelaySection());
    s.Add(kKindLightSensor, LightSensorSection());
    s.Add(kKindPirLightSensor, PirLightSensorSection());
    return s;
  }();
  return sections;
}

void SaveControllerSection(pugi::xml_document& doc, TControllerConfig& table,
                           const KindSections& kinds) {
  SectionWalk walk(table);
  pugi::xml_node section = doc.document_element().append_child("ctrldevices");
  for (uint8_t i = 0; i < TConfig::kGroupSlot; ++i) {
    table.SetCurrentSlot(i);
    if (table.ShortAddress() == TConfig::kNone) continue;
    pugi::xml_node entry = section.append_child("ctrldevice");
    entry.append_attribute("index") = i;
    AddNumber(entry, "deviceaddress", table.ShortAddress());
    AddNumber(entry, "devicetype", table.DeviceType());
    AddNumber(entry, "maxversion", table.Version());
    AddNumber(entry, "minversion", table.MinVersion());
    SaveGroups(entry, table);
    AddNumber(entry, "multimaster", table.Multimaster());
    if (const KindSection* kind = kinds.Find(table.DeviceType())) kind->save(entry, table);
    SavePosition(entry, table);
  }
}

void LoadControllerSection(const DocumentReader& reader, TControllerConfig& table,
                           const KindSections& kinds) {
  LoadSectionEntries(reader, "ctrldevices", table, [&](pugi::xml_node entry) {
    table.SetDeviceType(reader.Byte(entry, "devicetype"));
    table.SetVersion(reader.Byte(entry, "maxversion"));
    table.SetMinVersion(reader.Byte(entry, "minversion"));
    LoadGroups(reader, entry, table, [&](pugi::xml_node group) { return reader.Byte(group); });
    // Any other non-zero value means "on"; 255 stays "never read", so that a document the program
    // wrote gives back the table it came from.
    const uint8_t multimaster = reader.Byte(entry, "multimaster");
    table.SetMultimaster(multimaster == 0 || multimaster == TConfig::kNone ? multimaster : 1);
    if (const KindSection* kind = kinds.Find(table.DeviceType())) kind->load(reader, entry, table);
    // What the document holds is set, to be written to the device; what it kept as erased was
    // never read nor set and stays unknown.
    if (const KindImage* image = KindImageFor(table.DeviceType())) {
      table.Image(*image).ForgetErased();
    }
    LoadPosition(reader, entry, table);
    table.SetStatus(0);
  });
}

}  // namespace lumetra
