// Opening record files that are not small text files: devices, pipes, huge and sparse files,
// binary content found part way, and the memory a file of empty lines costs.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>

#include "model/Error.h"
#include "monitor/MonitorLines.h"
#include "support/TempFolder.h"

namespace lumetra {
namespace {

namespace fs = std::filesystem;

class MonitorFileLimits : public test::TempFolder {
 protected:
  std::string Write(const std::string& name, const std::string& bytes) const {
    return WriteFile(name, bytes);
  }
  // A file of `size` bytes that takes no disk: `head` and then zeros, read as NUL bytes.
  std::string Sparse(const std::string& name, const std::string& head, off_t size) const {
    const std::string path = Write(name, head);
    EXPECT_EQ(::truncate(path.c_str(), size), 0);
    return path;
  }

  // The reason in the message, or "opened"; a load that blocks fails the test instead of
  // hanging it.
  static std::string Refusal(const std::string& path, uint64_t limit = kMaxMonitorFileBytes) {
    auto result = std::async(std::launch::async, [path, limit] {
      try {
        LoadMonitorLines(path, limit);
      } catch (const Error& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find("Záznam monitora sa nepodarilo otvoriť zo súboru \"" + path + "\""),
                  std::string::npos)
            << message;
        return message;
      } catch (const std::exception& e) {
        return std::string("not an Error: ") + e.what();
      }
      return std::string("opened");
    });
    if (result.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
      ADD_FAILURE() << path << " blocks";
      std::abort();  // the blocked thread cannot be joined
    }
    return result.get();
  }

  fs::path dir;
};

TEST_F(MonitorFileLimits, OnlyRegularFilesOfAtMostTheLimitAreRead) {
  ASSERT_EQ(::mkfifo(Path("fifo.lmm").c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", Path("zero.lmm"));
  const std::string sparse = Sparse("sparse.lmm", "\t0B05\r\n", off_t{3} << 30);
  const std::pair<std::string, std::string> cases[] = {
      {Path("fifo.lmm"), "(nie je to obyčajný súbor)"},
      {Path("zero.lmm"), "(nie je to obyčajný súbor)"},
      {"/dev/null", "(nie je to obyčajný súbor)"},
      {sparse, "(súbor je väčší ako 256 MiB)"},
  };
  for (const auto& [path, reason] : cases) {
    const std::string message = Refusal(path);
    EXPECT_NE(message.find(reason), std::string::npos) << path << " -> " << message;
  }
}

TEST_F(MonitorFileLimits, TheLimitIsCheckedWhileReadingToo) {
  // Exactly the limit opens; one byte more does not, whatever the file said its size was.
  const std::string text = std::string(1000, 'x') + "\r\n";
  Write("at.lmm", text);
  EXPECT_EQ(Refusal(Path("at.lmm"), text.size()), "opened");
  EXPECT_NE(Refusal(Path("at.lmm"), text.size() - 1).find("(súbor je väčší ako 1001 B)"),
            std::string::npos);
  EXPECT_NE(Refusal(Path("at.lmm"), 3u << 20).find("opened"), std::string::npos);
  EXPECT_NE(Refusal(Sparse("big.lmm", "", (3 << 20) + 1), 3u << 20).find("väčší ako 3 MiB"),
            std::string::npos);
}

TEST_F(MonitorFileLimits, BinaryContentIsFoundWhereverItStarts) {
  const std::string line = "\t0B05\t\t\tA 05\tRECALL MAX LEVEL\t\t\t5\t10:20:30\r\n";
  std::string longText;
  for (int i = 0; i < 20000; ++i) longText += line;  // over a megabyte: past the first read
  const std::pair<std::string, std::string> cases[] = {
      {std::string("\t0B05\0\x01", 7), "(nie je to textový súbor)"},
      {longText + std::string("\0", 1) + "tail", "(nie je to textový súbor)"},
      {"Príkaz \xE9 odpove\xEF\r\n", "(nie je to textový súbor v kódovaní UTF-8)"},
      {longText + "\xC3", "(nie je to textový súbor v kódovaní UTF-8)"},   // cut in a character
      {"\xC0\xAF", "(nie je to textový súbor v kódovaní UTF-8)"},          // overlong
      {"\xED\xA0\x80", "(nie je to textový súbor v kódovaní UTF-8)"},      // surrogate
      {"\xF4\x90\x80\x80", "(nie je to textový súbor v kódovaní UTF-8)"},  // beyond U+10FFFF
  };
  int n = 0;
  for (const auto& [bytes, reason] : cases) {
    const std::string path = Write("b" + std::to_string(n++) + ".lmm", bytes);
    const std::string message = Refusal(path);
    EXPECT_NE(message.find(reason), std::string::npos) << message;
  }
  // A sparse file under the limit: text, then holes that read as zeros.
  const std::string sparse = Sparse("holes.lmm", line, off_t{200} << 20);
  EXPECT_NE(Refusal(sparse).find("(nie je to textový súbor)"), std::string::npos);
}

TEST_F(MonitorFileLimits, CharactersAcrossReadsAndLineEndsAcrossReadsAreKept) {
  // 64 KiB reads: put a two-byte letter and a CR LF pair on every possible boundary nearby.
  for (size_t pad = 65530; pad < 65540; ++pad) {
    const std::string text = std::string(pad, 'a') + "ľ\r\nž\r\n";
    const MonitorLines lines = LoadMonitorLines(Write("edge.lmm", text));
    ASSERT_EQ(lines.Count(), 2u) << pad;
    EXPECT_EQ(lines.Line(0), std::string(pad, 'a') + "ľ") << pad;
    EXPECT_EQ(lines.Line(1), "ž") << pad;
  }
}

TEST(MonitorLinesStore, EmptyLinesCostAFewBytesEach) {
  MonitorLines lines;
  constexpr size_t kLines = 1 << 20;
  for (size_t i = 0; i < kLines; ++i) lines.Append("");
  EXPECT_LT(lines.Bytes(), kLines * 3) << "bytes for " << kLines << " empty lines";
  // Lines of every length, long ones among them, read back as written.
  MonitorLines mixed;
  std::vector<std::string> expected;
  for (size_t i = 0; i < 1000; ++i) {
    expected.push_back(
        std::string(i % 7 == 0 ? 300 + i : i % 255, static_cast<char>('a' + i % 26)));
    mixed.Append(expected.back());
  }
  ASSERT_EQ(mixed.Count(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) ASSERT_EQ(mixed.Line(i), expected[i]) << i;
}

}  // namespace
}  // namespace lumetra
