// The report pages of the two editors: one page list per reported device, as plain text lines for
// a fixed-pitch font.
#pragma once

#include <cstdint>
#include <vector>

#include "documents/ConfigDocument.h"
#include "documents/ControllerSection.h"
#include "documents/ReportPages.h"
#include "model/BalastConfig.h"
#include "model/ControllerConfig.h"

namespace lumetra {

// The devices a report covers, in ascending slot order: the selected device when it is occupied;
// for a group, every occupied slot whose membership byte is exactly 1 (never read, 255, is not a
// member); for all devices, every occupied slot.
std::vector<uint8_t> ReportedSlots(const TConfig& table);

// Fills pages[0], pages[1], … with one control gear page each and returns how many it filled.
// Levels are shown as the table's mode shows them (percent or ARC); a value never read (255)
// leaves its field empty, an unset scene prints "---". The selection is as before afterwards.
int GearReportPages(TBalastConfig& table, ReportPages& pages,
                    const LocalTime& now = CurrentLocalTime());

// The same for control devices; each page holds the common lines and, where the device's kind has
// a report part, that kind's lines before the date line.
int ControllerReportPages(TControllerConfig& table, ReportPages& pages,
                          const KindSections& kinds = ProgramKindSections(),
                          const LocalTime& now = CurrentLocalTime());

}  // namespace lumetra
