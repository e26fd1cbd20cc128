// Choosing between the program's folder and the user's data folder.
#include "documents/FileFolder.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <system_error>

namespace lumetra {

bool IsFolderWritable(const std::string& folder) {
  static std::atomic<unsigned> counter{0};
  const std::string probe =
      PathInFolder(folder, ".lumetra-write-test-" + std::to_string(::getpid()) + "-" +
                               std::to_string(counter.fetch_add(1)));
  const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  ::close(fd);
  ::unlink(probe.c_str());
  return true;
}

bool IsInstalledProgramFolder(const std::string& programFolder) {
  namespace fs = std::filesystem;
  if (programFolder.empty()) return false;
  fs::path folder(programFolder);
  if (!folder.has_filename()) folder = folder.parent_path();  // "…/bin/"
  if (folder.filename() != "bin") return false;
  std::error_code ignored;
  return fs::is_regular_file(folder.parent_path() / "share" / "applications" /
                                 (std::string(kApplicationId) + ".desktop"),
                             ignored);
}

std::string ChooseFileFolder(const std::string& programFolder, const std::string& dataFolder) {
  if (!programFolder.empty() && !IsInstalledProgramFolder(programFolder) &&
      IsFolderWritable(programFolder)) {
    return programFolder;
  }
  std::error_code ignored;
  std::filesystem::create_directories(dataFolder, ignored);
  return dataFolder;
}

std::string PathInFolder(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

}  // namespace lumetra
