// The push-button and switch devices' (kind 129) part of a "ctrldevice" entry and of its report
// page: the four command sequences, the responses of both inputs, the input types and enable bits.
#pragma once

#include <pugixml.hpp>

#include "documents/ControllerSection.h"
#include "documents/DocumentXml.h"
#include "documents/ReportPages.h"
#include "model/ControllerConfig.h"

namespace lumetra {

// Appends "switch" to the entry, from the record of the table's selected slot.
void SaveSwitchSection(pugi::xml_node entry, TControllerConfig& table);
// Reads the entry's "switch" into the record of the selected slot. Lists are taken in document
// order, as far as the record has room (4 sequences of 4 steps, 2 inputs of 16 responses); a
// missing element or a bad number throws Error naming it, and what was stored before stays.
void LoadSwitchSection(const DocumentReader& reader, pugi::xml_node entry,
                       TControllerConfig& table);
// The switch's lines of its report page, both inputs, the second on a sheet of its own with the
// page head again. Levels follow the table's PercentMode.
void AddSwitchToReport(TControllerConfig& table, ReportPageList& lines);

// The three as the registry takes them.
KindSection SwitchKindSection();

}  // namespace lumetra
