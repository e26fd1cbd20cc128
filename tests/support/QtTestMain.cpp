// Test main for GUI tests: the real application object on the offscreen platform, and a folder of
// the program's own files for this process alone, so that no test reads the settings or the last
// document another one left.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "ui/LumetraApplication.h"

namespace {

// Every test starts with the folder empty, also when one process runs them all.
class EmptyFolderEachTest : public ::testing::EmptyTestEventListener {
 public:
  explicit EmptyFolderEachTest(std::filesystem::path folder) : folder_(std::move(folder)) {}
  void OnTestStart(const ::testing::TestInfo&) override {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder_, ignored)) {
      std::filesystem::remove_all(entry.path(), ignored);
    }
  }

 private:
  std::filesystem::path folder_;
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  std::string folder =
      (std::filesystem::temp_directory_path() / "lumetra-gui-test-XXXXXX").string();
  if (mkdtemp(folder.data()) == nullptr) return 2;
  setenv("LUMETRA_FOLDER", folder.c_str(), 1);
  ::testing::UnitTest::GetInstance()->listeners().Append(new EmptyFolderEachTest(folder));
  int result;
  {
    lumetra::TLumetraApplication app(argc, argv);
    result = RUN_ALL_TESTS();
  }
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  return result;
}
