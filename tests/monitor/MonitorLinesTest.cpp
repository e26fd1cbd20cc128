// Record files: the file-name rule, the exact bytes written, what reading accepts, and that a
// failed save leaves an existing file as it was.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "model/Error.h"
#include "monitor/MonitorLines.h"
#include "support/TempFolder.h"

namespace lumetra {
namespace {

namespace fs = std::filesystem;

class MonitorFiles : public test::TempFolder {
 protected:
  static void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  static std::vector<std::string> Texts(const MonitorLines& lines) {
    std::vector<std::string> out;
    for (size_t i = 0; i < lines.Count(); ++i) out.emplace_back(lines.Line(i));
    return out;
  }
};

TEST(MonitorFileName, LmmIsAppendedUnlessTheFirstOneEndsTheName) {
  const std::pair<std::string, std::string> cases[] = {
      {"trace", "trace.lmm"},
      {"a.lmm", "a.lmm"},
      {"a.txt", "a.txt.lmm"},
      {"a.lmm.lmm", "a.lmm.lmm.lmm"},
      {"a.lmmx", "a.lmmx.lmm"},
      {"/home/x/trace", "/home/x/trace.lmm"},
      // Only the file's own name counts, not a folder on its way.
      {"/home/old.lmm/trace.lmm", "/home/old.lmm/trace.lmm"},
      {"/home/old.lmm/trace", "/home/old.lmm/trace.lmm"},
  };
  for (const auto& [chosen, expected] : cases) EXPECT_EQ(MonitorFileName(chosen), expected);
}

TEST_F(MonitorFiles, SavedLinesEndInCrLfAndReadBackTheSame) {
  MonitorLines lines;
  lines.Append("\t0B05\t\t\tA 05\tRECALL MAX LEVEL\t\t\t5\t10:20:30");
  lines.Append("");
  lines.Append("\tFF\t\t\t\tAnswer\t255\t10:20:31");
  SaveMonitorLines(Path("trace.lmm"), lines);
  EXPECT_EQ(Read(Path("trace.lmm")),
            "\t0B05\t\t\tA 05\tRECALL MAX LEVEL\t\t\t5\t10:20:30\r\n\r\n"
            "\tFF\t\t\t\tAnswer\t255\t10:20:31\r\n");
  EXPECT_EQ(Texts(LoadMonitorLines(Path("trace.lmm"))), Texts(lines));
  EXPECT_EQ(Entries(), std::vector<std::string>{"trace.lmm"}) << "no temporary file is left";

  SaveMonitorLines(Path("empty.lmm"), MonitorLines());
  EXPECT_EQ(Read(Path("empty.lmm")), "");
}

TEST_F(MonitorFiles, AnyTextFileOpens) {
  const std::pair<std::string, std::vector<std::string>> cases[] = {
      {"", {}},
      {"one\ntwo\n", {"one", "two"}},
      {"one\r\ntwo", {"one", "two"}},
      {"\n\n", {"", ""}},
      {"a\rb\r\n", {"a\rb"}},
      {"Príkaz / odpoveď\n", {"Príkaz / odpoveď"}},
  };
  for (const auto& [bytes, expected] : cases) {
    Write(Path("any.txt"), bytes);
    EXPECT_EQ(Texts(LoadMonitorLines(Path("any.txt"))), expected) << bytes;
  }
}

TEST_F(MonitorFiles, UnreadableFilesAreReportedInSlovak) {
  Write(Path("binary.lmm"), std::string("\t0B05\0\x01\x02", 8));
  fs::create_directory(Path("folder.lmm"));
  const std::pair<std::string, std::string> cases[] = {
      {Path("missing.lmm"), "(súbor alebo priečinok neexistuje)"},
      {Path("binary.lmm"), "(nie je to textový súbor)"},
      {Path("folder.lmm"), "(je to priečinok)"},
      {Path("binary.lmm/trace.lmm"), "(časť cesty nie je priečinok)"},
      {Path(std::string(300, 'x') + ".lmm"), "(názov je príliš dlhý)"},
  };
  for (const auto& [path, reason] : cases) {
    try {
      LoadMonitorLines(path);
      ADD_FAILURE() << path << " opened";
    } catch (const Error& e) {
      EXPECT_NE(std::string(e.what()).find("nepodarilo otvoriť"), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(reason), std::string::npos) << e.what();
    }
  }
}

TEST_F(MonitorFiles, FailedSaveLeavesTheExistingFile) {
  Write(Path("trace.lmm"), "old recording\r\n");
  MonitorLines lines;
  for (int i = 0; i < 5000; ++i)
    lines.Append("\t0B05\t\t\tA 05\tRECALL MAX LEVEL\t\t\t5\t10:20:30");

  // The disk "fills up" part way: the process may not write files beyond 4 KiB.
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  struct sigaction previous {};
  sigaction(SIGXFSZ, &ignore, &previous);
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = 4096;
  setrlimit(RLIMIT_FSIZE, &small);
  bool failed = false;
  try {
    SaveMonitorLines(Path("trace.lmm"), lines);
  } catch (const Error& e) {
    failed = true;
    EXPECT_NE(std::string(e.what()).find("nepodarilo uložiť"), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("(súbor je príliš veľký)"), std::string::npos) << e.what();
  }
  setrlimit(RLIMIT_FSIZE, &old);
  sigaction(SIGXFSZ, &previous, nullptr);

  EXPECT_TRUE(failed);
  EXPECT_EQ(Read(Path("trace.lmm")), "old recording\r\n");
  EXPECT_EQ(Entries(), std::vector<std::string>{"trace.lmm"}) << "the temporary file is removed";
}

TEST_F(MonitorFiles, SaveErrorsAreReportedInSlovak) {
  Write(Path("file"), "");
  const std::pair<std::string, std::string> cases[] = {
      {Path("no/such/trace.lmm"), "(súbor alebo priečinok neexistuje)"},
      {Path("file/trace.lmm"), "(časť cesty nie je priečinok)"},
      {Path(std::string(300, 'x') + ".lmm"), "(názov je príliš dlhý)"},
  };
  for (const auto& [path, reason] : cases) {
    try {
      SaveMonitorLines(path, MonitorLines());
      ADD_FAILURE() << path << " saved";
    } catch (const Error& e) {
      EXPECT_NE(std::string(e.what()).find("nepodarilo uložiť do súboru \"" + path + "\""),
                std::string::npos)
          << e.what();
      EXPECT_NE(std::string(e.what()).find(reason), std::string::npos) << e.what();
    }
  }
  EXPECT_EQ(Entries(), std::vector<std::string>{"file"});
}

}  // namespace
}  // namespace lumetra
