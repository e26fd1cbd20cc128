// The light sensor's part of a control device entry ("lightsensor") and its lines of the printed
// report.
#pragma once

#include <pugixml.hpp>

#include "documents/ControllerSection.h"
#include "documents/DocumentXml.h"
#include "documents/ReportPages.h"
#include "model/ControllerConfig.h"

namespace lumetra {

// Appends "lightsensor" (the regulation values, "caos" with the four zones and "oncs" with the 32
// responses) to the entry of the selected slot.
void SaveLightSensor(pugi::xml_node entry, TControllerConfig& table);
// Reads "lightsensor" of the entry into the selected slot, whose firmware version is already in
// the table (the responses' packing depends on it). The "cao" and "onc" children count in document
// order; a response's four zone states may be missing and then stay as they are. Any other
// missing element or bad number throws Error.
void LoadLightSensor(const DocumentReader& reader, pugi::xml_node entry, TControllerConfig& table);
// The sensor's lines of the device's report page.
void AddLightSensorToReport(TControllerConfig& table, ReportPageList& lines);

KindSection LightSensorSection();

}  // namespace lumetra
