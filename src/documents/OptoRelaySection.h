// The opto-relay's part of a control device entry ("optorelay") and its lines of the printed
// report.
#pragma once

#include <pugixml.hpp>

#include "documents/ControllerSection.h"
#include "documents/DocumentXml.h"
#include "documents/ReportPages.h"
#include "model/ControllerConfig.h"

namespace lumetra {

// Appends "optorelay" ("enabled", and "oncs" with the 32 responses) to the entry of the selected
// slot.
void SaveOptoRelay(pugi::xml_node entry, TControllerConfig& table);
// Reads "optorelay" of the entry into the selected slot: the "onc" children in document order give
// responses 0..31, further ones are left out. A missing element or a bad number throws Error.
void LoadOptoRelay(const DocumentReader& reader, pugi::xml_node entry, TControllerConfig& table);
// The relay's lines of the device's report page: the enable setting and a line per response.
void AddOptoRelayToReport(TControllerConfig& table, ReportPageList& lines);

KindSection OptoRelaySection();

}  // namespace lumetra
