// The installation: `cmake --install` into a temporary prefix, the installed programs started
// from there (the configurator offscreen, as its desktop entry starts it), and the Debian package.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "ProgramRun.h"
#include "ServerProcess.h"
#include "support/TempFolder.h"
#include "ui/VersionInfo.h"

namespace lumetra::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kAppId = "sk.zorvik.LumetraConfigurator";

bool Available(const std::string& program) { return ::access(program.c_str(), X_OK) == 0; }

// The value of `key` in the desktop entry's main group.
std::string EntryValue(const std::string& entry, const std::string& key) {
  std::smatch m;
  const std::regex line("(^|\n)" + key + "=([^\n]*)");
  return std::regex_search(entry, m, line) ? m[2].str() : std::string();
}

class InstallTest : public TempFolder {
 protected:
  void Install() {
    prefix = Path("prefix");
    ProgramRun install;
    install.program = LUMETRA_CMAKE_COMMAND;
    install.arguments = {"--install", LUMETRA_BUILD_DIR, "--prefix", prefix};
    const ProgramResult r = RunProgram(install);
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
  }
  std::string InPrefix(const std::string& path) const { return prefix + "/" + path; }
  // The environment of a user who has the prefix on his PATH and a home of his own.
  std::vector<std::string> UserEnvironment() const {
    return {"PATH=" + prefix + "/bin:/usr/bin:/bin", "HOME=" + Path("home"),
            "XDG_DATA_HOME=" + Path("home/.local/share"), "XDG_RUNTIME_DIR=" + Path("home"),
            "QT_QPA_PLATFORM=offscreen", "LUMETRA_FOLDER", "DISPLAY"};
  }

  std::string prefix;
};

TEST_F(InstallTest, TheInstalledProgramsRunFromTheirPrefixAndKeepTheirFilesInTheDataFolder) {
  Install();
  const std::string svg = "share/icons/hicolor/scalable/apps/" + std::string(kAppId) + ".svg";
  std::vector<std::string> expected = {
      "bin/LumetraConfigurator",
      "bin/LumetraDaliBusServer",
      "bin/lumetra-cli",
      "libexec/lumetra-configurator/lumetra-report-pdf",
      "share/applications/" + std::string(kAppId) + ".desktop",
      "share/metainfo/" + std::string(kAppId) + ".metainfo.xml",
      svg,
      "share/man/man1/LumetraConfigurator.1",
      "share/man/man1/LumetraDaliBusServer.1",
      "share/man/man1/lumetra-cli.1",
  };
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    expected.push_back("share/icons/hicolor/" + std::to_string(size) + "x" + std::to_string(size) +
                       "/apps/" + kAppId + ".png");
  }
  for (const std::string& file : expected) {
    EXPECT_TRUE(fs::is_regular_file(InPrefix(file))) << file;
  }
  // Each PNG is square at its size: bytes 16..23 of the header are width and height.
  {
    std::ifstream png(InPrefix("share/icons/hicolor/48x48/apps/" + std::string(kAppId) + ".png"),
                      std::ios::binary);
    unsigned char header[24] = {};
    png.read(reinterpret_cast<char*>(header), sizeof header);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(header) + 1, 3), "PNG");
    EXPECT_EQ(header[19], 48);
    EXPECT_EQ(header[23], 48);
  }

  // The desktop entry starts the configurator by a name found on the PATH, with the icon that
  // was installed.
  const std::string entry = Read(InPrefix("share/applications/" + std::string(kAppId) + ".desktop"));
  EXPECT_EQ(EntryValue(entry, "Icon"), kAppId);
  const std::string exec = EntryValue(entry, "Exec");
  ASSERT_EQ(exec, "LumetraConfigurator");
  if (Available("/usr/bin/desktop-file-validate")) {
    ProgramRun validate;
    validate.program = "/usr/bin/desktop-file-validate";
    validate.arguments = {InPrefix("share/applications/" + std::string(kAppId) + ".desktop")};
    const ProgramResult r = RunProgram(validate);
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(r.out, "");
  }
  if (Available("/usr/bin/appstreamcli")) {
    ProgramRun validate;
    validate.program = "/usr/bin/appstreamcli";
    validate.arguments = {"validate", "--no-net",
                          InPrefix("share/metainfo/" + std::string(kAppId) + ".metainfo.xml")};
    const ProgramResult r = RunProgram(validate);
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
  }

  // --version without a display, from the prefix.
  for (const char* program : {"LumetraConfigurator", "LumetraDaliBusServer", "lumetra-cli"}) {
    ProgramRun version;
    version.program = InPrefix(std::string("bin/") + program);
    version.arguments = {"--version"};
    version.environment = {"DISPLAY", "QT_QPA_PLATFORM=xcb"};
    const ProgramResult r = RunProgram(version);
    EXPECT_EQ(r.exitCode, 0) << program << r.err;
    EXPECT_EQ(r.out, VersionText()) << program;
  }
  // lumetra-cli links no Qt; its report helper does.
  if (Available("/usr/bin/ldd")) {
    for (const auto& [program, qt] : {std::pair{"bin/lumetra-cli", false},
                                      {"libexec/lumetra-configurator/lumetra-report-pdf", true}}) {
      ProgramRun ldd;
      ldd.program = "/usr/bin/ldd";
      ldd.arguments = {InPrefix(program)};
      const ProgramResult r = RunProgram(ldd);
      EXPECT_EQ(r.out.find("libQt6") != std::string::npos, qt) << program << "\n" << r.out;
    }
  }

  // Started for real, as the desktop starts it: from the home folder, found on the PATH. SIGTERM
  // closes it as its close button does, and both its files are in the user's data folder, none
  // beside the program although the prefix can be written.
  fs::create_directories(Path("home"));
  const auto binBefore = std::distance(fs::directory_iterator(InPrefix("bin")), {});
  ProgramRun window;
  window.program = InPrefix("bin/" + exec);
  window.environment = UserEnvironment();
  window.folder = Path("home");
  window.terminateAfter = std::chrono::milliseconds(300);
  window.terminateWhenHandled = true;
  window.timeout = std::chrono::milliseconds(30000);
  const ProgramResult run = RunProgram(window);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  const std::string data = Path("home/.local/share/LumetraConfigurator");
  EXPECT_TRUE(fs::is_regular_file(data + "/LastDevicesConfig.dcf")) << run.err;
  EXPECT_TRUE(fs::is_regular_file(data + "/LumetraConfigurator.lmc")) << run.err;
  EXPECT_EQ(std::distance(fs::directory_iterator(InPrefix("bin")), {}), binBefore);
  EXPECT_FALSE(fs::exists(Path("home/LastDevicesConfig.dcf")));

  // The installed tool finds the bus server beside itself (there is none in the working folder)
  // and its report helper in libexec.
  ProgramRun commission;
  commission.program = InPrefix("bin/lumetra-cli");
  commission.arguments = {"commission", "--gear", "find", "--devices", "find", "--port-base",
                          std::to_string(ServerProcess::FreeBase()), "-o", "hala"};
  commission.environment = UserEnvironment();
  commission.folder = Path("home");
  const ProgramResult found = RunProgram(commission);
  EXPECT_EQ(found.exitCode, 0) << found.out << found.err;
  EXPECT_NE(found.out.find("Svietidlá: 10 ("), std::string::npos) << found.out;
  ASSERT_TRUE(fs::is_regular_file(Path("home/hala.dcf"))) << found.err;
  ProgramRun report = commission;
  report.arguments = {"report", "hala.dcf", "--pdf", "hala.pdf"};
  const ProgramResult pdf = RunProgram(report);
  EXPECT_EQ(pdf.exitCode, 0) << pdf.err;
  EXPECT_EQ(Read(Path("home/hala.pdf")).rfind("%PDF-", 0), 0u);
}

TEST_F(InstallTest, TheDebianPackageHoldsTheInstallationAndDependsOnTheStacksPackages) {
  if (!Available("/usr/bin/dpkg-deb")) GTEST_SKIP() << "dpkg-deb";
  ProgramRun cpack;
  cpack.program = LUMETRA_CPACK_COMMAND;
  cpack.arguments = {"--config", LUMETRA_BUILD_DIR "/CPackConfig.cmake", "-G", "DEB", "-B",
                     Path("package")};
  const ProgramResult packed = RunProgram(cpack);
  ASSERT_EQ(packed.exitCode, 0) << packed.out << packed.err;
  std::string deb;
  for (const auto& e : fs::directory_iterator(Path("package"))) {
    if (e.path().extension() == ".deb") deb = e.path();
  }
  ASSERT_FALSE(deb.empty()) << packed.out;
  EXPECT_EQ(fs::path(deb).filename(),
            "lumetra-configurator_" + TVersionInfo().FileVersion + "_amd64.deb");

  ProgramRun fields;
  fields.program = "/usr/bin/dpkg-deb";
  fields.arguments = {"-f", deb, "Depends"};
  const std::string depends = RunProgram(fields).out;
  for (const char* package : {"libqt6core6", "libqt6gui6", "libqt6widgets6", "libqt6printsupport6",
                              "libqt6svg6", "qt6-qpa-plugins", "libpugixml1v5", "libstdc++6",
                              "libc6", "fonts-liberation"}) {
    const std::string name = std::regex_replace(package, std::regex("\\+"), "\\+");
    EXPECT_TRUE(std::regex_search(depends, std::regex("(^|, )" + name + "( |,|\n|$)")))
        << package << " in " << depends;
  }
  ProgramRun contents;
  contents.program = "/usr/bin/dpkg-deb";
  contents.arguments = {"-c", deb};
  const std::string listing = RunProgram(contents).out;
  for (const char* file : {"./usr/bin/LumetraConfigurator", "./usr/bin/LumetraDaliBusServer",
                           "./usr/bin/lumetra-cli",
                           "./usr/libexec/lumetra-configurator/lumetra-report-pdf",
                           "./usr/share/applications/sk.zorvik.LumetraConfigurator.desktop",
                           "./usr/share/man/man1/lumetra-cli.1"}) {
    EXPECT_NE(listing.find(std::string(file) + "\n"), std::string::npos) << file << "\n" << listing;
  }
}

}  // namespace
}  // namespace lumetra::test
