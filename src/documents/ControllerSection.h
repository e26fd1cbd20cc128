// The control device section of the configuration document ("ctrldevices") and the registry
// through which each control device kind adds its own part of an entry.
#pragma once

#include <array>
#include <cstdint>

#include <pugixml.hpp>

#include "documents/DocumentXml.h"
#include "documents/ReportPages.h"
#include "model/ControllerConfig.h"

namespace lumetra {

// A kind's part of a "ctrldevice" entry. `save` appends the kind's element (e.g. "switch") to the
// entry for the table's selected slot; `load` reads it back from the entry into that slot, with
// the reader's strict numbers. Both run with raw levels (PercentMode off). `addToReport` appends
// the kind's lines of the printed report for the selected slot, after the lines every control
// device has; a kind may leave it empty.
struct KindSection {
  void (*save)(pugi::xml_node entry, TControllerConfig& table) = nullptr;
  void (*load)(const DocumentReader& reader, pugi::xml_node entry,
               TControllerConfig& table) = nullptr;
  void (*addToReport)(TControllerConfig& table, ReportPageList& lines) = nullptr;
};

// Which kind (DeviceType) has a section. A device of a kind without one keeps only the elements
// every control device has.
class KindSections {
 public:
  void Add(uint8_t deviceType, KindSection section) { sections_[deviceType] = section; }
  const KindSection* Find(uint8_t deviceType) const {
    const KindSection& s = sections_[deviceType];
    return s.save && s.load ? &s : nullptr;
  }

 private:
  std::array<KindSection, 256> sections_{};
};

// The sections of the kinds this program knows.
const KindSections& ProgramKindSections();

// Appends "ctrldevices" to the root element: one "ctrldevice" per occupied slot with the common
// elements, the kind's section and the position. The table's selection and mode are as before
// afterwards.
void SaveControllerSection(pugi::xml_document& doc, TControllerConfig& table,
                           const KindSections& kinds = ProgramKindSections());

// Reads "ctrldevices" into a table the caller has emptied (ClearControllers, ResetPositions).
// Nothing is read when the root is not "lumetraconfigurator" or has no "ctrldevices". An entry
// whose "deviceaddress" is not 0..63 is skipped; any other missing element or bad number throws
// Error naming it.
void LoadControllerSection(const DocumentReader& reader, TControllerConfig& table,
                           const KindSections& kinds = ProgramKindSections());

}  // namespace lumetra
