// The combined motion and light sensor's part of a control device entry ("pirlightsensor") and its
// lines of the printed report.
#pragma once

#include <pugixml.hpp>

#include "documents/ControllerSection.h"
#include "documents/DocumentXml.h"
#include "documents/ReportPages.h"
#include "model/ControllerConfig.h"

namespace lumetra {

// Appends "pirlightsensor" (enable, lights, the two sequences, the regulation values and the 32
// responses) to the entry of the selected slot.
void SavePirLightSensor(pugi::xml_node entry, TControllerConfig& table);
// Reads "pirlightsensor" of the entry into the selected slot; "sequence", "command" and "onc"
// children count in document order. A missing element or a bad number throws Error.
void LoadPirLightSensor(const DocumentReader& reader, pugi::xml_node entry,
                        TControllerConfig& table);
// The sensor's lines of the device's report page.
void AddPirLightSensorToReport(TControllerConfig& table, ReportPageList& lines);

KindSection PirLightSensorSection();

}  // namespace lumetra
