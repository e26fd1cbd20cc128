// Which folder the program keeps its own files in (the last configuration, the settings).
#pragma once

#include <string>

namespace lumetra {

// True when a file can be created in `folder`: tried for real, since permission bits say nothing
// for root or on a read-only mount.
bool IsFolderWritable(const std::string& folder);

// The application's identifier: the name of its desktop entry, icon and AppStream file.
inline constexpr const char* kApplicationId = "sk.zorvik.LumetraConfigurator";

// True when `programFolder` is the bin folder of an installation: its parent holds the program's
// desktop entry in share/applications. Such a folder is shared by every user of the computer (or
// belongs to a package), so the program never keeps its own files there, writable or not.
bool IsInstalledProgramFolder(const std::string& programFolder);

// `programFolder` when it is writable and no installation's; otherwise `dataFolder`, created when missing (the user's
// data folder the GUI takes from QStandardPaths::AppDataLocation). Returns `dataFolder` also when
// it cannot be created: saving there then reports why.
std::string ChooseFileFolder(const std::string& programFolder, const std::string& dataFolder);

// `folder` and `name` joined by one '/'.
std::string PathInFolder(const std::string& folder, const std::string& name);

}  // namespace lumetra
