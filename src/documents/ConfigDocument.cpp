// The document frame: root, stamp, the order of the sections, and opening without losing the open
// installation.
#include "documents/ConfigDocument.h"

#include <cstdio>
#include <ctime>
#include <memory>

#include "documents/GearSection.h"
#include "documents/ReplacingFile.h"
#include "ui/VersionInfo.h"

namespace lumetra {

LocalTime CurrentLocalTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
          local.tm_hour,        local.tm_min,     local.tm_sec};
}

DocumentStamp ProgramDocumentStamp() { return {TVersionInfo().FileVersion, CurrentLocalTime()}; }

std::string CreatedText(const LocalTime& t) {
  char text[64];
  std::snprintf(text, sizeof text, "%2d.%2d.%4d  %02d:%02d:%02d", t.day, t.month, t.year, t.hour,
                t.minute, t.second);
  return text;
}

std::string DocumentFileName(const std::string& chosen) { return WithExtension(chosen, ".dcf"); }

std::string DocumentText(TBalastConfig& gear, TControllerConfig& devices,
                         const DocumentStamp& stamp, const KindSections& kinds) {
  pugi::xml_document doc;
  AddDeclaration(doc);
  pugi::xml_node root = doc.append_child("lumetraconfigurator");
  root.append_attribute("version") = stamp.version.c_str();
  root.append_attribute("created") = CreatedText(stamp.created).c_str();
  SaveGearSection(doc, gear);
  SaveControllerSection(doc, devices, kinds);
  return XmlText(doc);
}

void SaveDocument(const std::string& path, TBalastConfig& gear, TControllerConfig& devices,
                  const DocumentStamp& stamp, const KindSections& kinds) {
  // Built in full before the file is touched: a section that fails leaves no file behind.
  const std::string text = DocumentText(gear, devices, stamp, kinds);
  ReplaceFileContent(path, text, "Konfiguráciu sa nepodarilo uložiť do súboru \"" + path + "\"");
}

void LoadDocument(const std::string& path, TBalastConfig& gear, TControllerConfig& devices,
                  const KindSections& kinds) {
  const XmlSource source(path, "Konfiguráciu sa nepodarilo otvoriť zo súboru \"" + path + "\"");
  const DocumentReader reader(source);

  // The open installation is replaced only by a document read to its end. The work copies start
  // as the open tables, so that what opening leaves alone (the editors' group slot) stays too.
  auto loadedGear = std::make_unique<TBalastConfig>();
  loadedGear->ReplaceWith(gear);
  loadedGear->Clear();
  loadedGear->ResetPositions();
  LoadGearSection(reader, *loadedGear);
  loadedGear->SetCurrentGroup(TConfig::kAllDevices);
  loadedGear->SetCurrentSlot(loadedGear->FirstUsedSlot());

  auto loadedDevices = std::make_unique<TControllerConfig>();
  loadedDevices->ReplaceWith(devices);
  loadedDevices->ClearControllers();
  loadedDevices->ResetPositions();
  LoadControllerSection(reader, *loadedDevices, kinds);
  loadedDevices->SetCurrentGroup(TConfig::kAllDevices);
  loadedDevices->SetCurrentSlot(loadedDevices->FirstUsedSlot());

  gear.ReplaceWith(*loadedGear);
  devices.ReplaceWith(*loadedDevices);
}

}  // namespace lumetra
