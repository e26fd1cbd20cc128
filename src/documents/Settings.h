// The application settings file ("LumetraConfigurator.lmc"): how the program reached the bus and
// how it shows levels, remembered between runs.
#pragma once

#include <string>
#include <string_view>

namespace lumetra {

inline constexpr const char* kSettingsFile = "LumetraConfigurator.lmc";

// The values of the navigation's controls the file mirrors; the navigation applies them.
struct Settings {
  int Interface = 0;  // RadioGroupInterface: 0 "USB / DALI", 1 "WiFi / DALI", 2 "Riadiaca jednotka"
  int Port = 0;       // ComboBoxPort: 0 "COM1" .. 9 "COM10", -1 for a typed name not in the list
  std::string IpAddress;           // EditIPAddress
  std::string IpPort = "50000";    // EditPort
  int PercentArc = 0;              // RadioGroupPercentArc: 0 "percentách", 1 "ARC"
  bool AutoRefreshBalast = false;  // CheckBoxReadActualBalastData
  bool AutoRefreshCtrl = false;    // CheckBoxReadActualControllerData

  bool operator==(const Settings&) const = default;
};

Settings DefaultSettings();

// The ComboBoxPort item a shown text stands for: "COM1".."COM10" give 0..9; any other text (a
// name the user typed) gives -1, which is saved as such and comes back as no selection.
int PortItemIndex(std::string_view text);

// Reads the file. Never fails: a missing or unreadable file, another root (letter case counts), a
// missing element other than "ipport" or a text that is not a decimal number gives the defaults
// for everything. An item index outside its control's range gives that control's default.
Settings LoadSettings(const std::string& path);

// Writes the file, replacing the old one only once the new one is complete on disk. Throws Error
// with a Slovak message; the old file is then as it was.
void SaveSettings(const std::string& path, const Settings& settings, const std::string& version);

}  // namespace lumetra
