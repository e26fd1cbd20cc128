// Which folder the program keeps its own files in (the last configuration, the settings).
#pragma once

#include <string>

namespace lumetra {

// True when a file can be created in `folder`: tried for real, since permission bits say nothing
// for root or on a read-only mount.
bool IsFolderWritable(const std::string& folder);

// `programFolder` when it is writable; otherwise `dataFolder`, created when missing (the user's
// data folder the GUI takes from QStandardPaths::AppDataLocation). Returns `dataFolder` also when
// it cannot be created: saving there then reports why.
std::string ChooseFileFolder(const std::string& programFolder, const std::string& dataFolder);

// `folder` and `name` joined by one '/'.
std::string PathInFolder(const std::string& folder, const std::string& name);

}  // namespace lumetra
