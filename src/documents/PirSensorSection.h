// The motion sensor's part of a control device entry ("pirsensor") and its lines of the printed
// report.
#pragma once

#include <pugixml.hpp>

#include "documents/ControllerSection.h"
#include "documents/DocumentXml.h"
#include "documents/ReportPages.h"
#include "model/ControllerConfig.h"

namespace lumetra {

// Appends "pirsensor" to the entry for the table's selected slot: "enabled", "cmndaddress", the
// three "command" elements and the 32 "onc" elements, raw values.
void SavePirSensorSection(pugi::xml_node entry, TControllerConfig& table);
// Reads "pirsensor" back; "command" and "onc" children are taken in document order (their
// "index" is not read), further ones than the record holds are left out. A wait never set reads
// back as 4294967295, as it was written.
void LoadPirSensorSection(const DocumentReader& reader, pugi::xml_node entry,
                          TControllerConfig& table);
// The sensor's lines of the report for the selected slot, levels as the table's PercentMode shows
// them.
void AddPirSensorToReport(TControllerConfig& table, ReportPageList& lines);

inline KindSection PirSensorSection() {
  return {SavePirSensorSection, LoadPirSensorSection, AddPirSensorToReport};
}

}  // namespace lumetra
