// The control gear section of the configuration document ("balasts").
#pragma once

#include <pugixml.hpp>

#include "documents/DocumentXml.h"
#include "model/BalastConfig.h"

namespace lumetra {

// Appends "balasts" to the root element: one "balast" per occupied slot, raw arc levels whatever
// the table's PercentMode. The table's selection and mode are as before afterwards.
void SaveGearSection(pugi::xml_document& doc, TBalastConfig& table);

// Reads "balasts" into a table the caller has emptied (Clear, ResetPositions). Nothing is read
// when the root is not "lumetraconfigurator" or has no "balasts". An entry whose "deviceaddress"
// is not 0..63 is skipped; any other missing element or bad number throws Error naming it, with
// the table then holding what was read so far.
void LoadGearSection(const DocumentReader& reader, TBalastConfig& table);

}  // namespace lumetra
