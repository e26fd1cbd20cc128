// The configuration document (".dcf"): both device tables with their floor-plan positions in one
// XML file.
#pragma once

#include <string>

#include "documents/ControllerSection.h"
#include "model/BalastConfig.h"
#include "model/ControllerConfig.h"

namespace lumetra {

inline constexpr const char* kLastDevicesDocument = "LastDevicesConfig.dcf";

struct LocalTime {
  int year = 0;
  int month = 0;  // 1..12
  int day = 0;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
};

LocalTime CurrentLocalTime();

// What the root element says about the saving: the program's file version and when it was saved.
struct DocumentStamp {
  std::string version;
  LocalTime created;
};

// The running program's version and the current local time.
DocumentStamp ProgramDocumentStamp();

// "%2d.%2d.%4d  %02d:%02d:%02d": day and month padded with a blank, two blanks before the time.
std::string CreatedText(const LocalTime& time);

// The name a document is saved under: ".dcf" is appended unless the first ".dcf" of the file's
// name (case-sensitive) stands at its very end.
std::string DocumentFileName(const std::string& chosen);

// The whole document as text: declaration, root "lumetraconfigurator" with "version" and
// "created", then "balasts" and "ctrldevices", both always present.
std::string DocumentText(TBalastConfig& gear, TControllerConfig& devices,
                         const DocumentStamp& stamp,
                         const KindSections& kinds = ProgramKindSections());

// Writes the document to `path`, replacing the file there only once the new one is complete on
// disk. Throws Error with a Slovak message; the old file is then as it was.
void SaveDocument(const std::string& path, TBalastConfig& gear, TControllerConfig& devices,
                  const DocumentStamp& stamp = ProgramDocumentStamp(),
                  const KindSections& kinds = ProgramKindSections());

// Opens the document at `path` into fresh tables and, only when all of it loaded, replaces the
// contents of `gear` and `devices` with them (their PercentMode stays): all devices selected as
// the group, the lowest occupied slot (64 when none) as the current slot. A root of another name
// gives empty tables. Any failure throws Error naming the element and its line, and both tables
// are then exactly as they were.
void LoadDocument(const std::string& path, TBalastConfig& gear, TControllerConfig& devices,
                  const KindSections& kinds = ProgramKindSections());

}  // namespace lumetra
