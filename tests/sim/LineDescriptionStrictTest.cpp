// What a line-description file may not contain beyond bad values: stray attributes, elements and
// text, doubled attributes and roots; comments inside memory bytes; files that are not files; and
// how XML errors are reported.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <future>

#include "model/Error.h"
#include "sim/LineDescription.h"
#include "support/TempFolder.h"

namespace lumetra::sim {
namespace {

namespace fs = std::filesystem;

std::string MessageOf(std::string_view xml) {
  try {
    ParseLineDescription(xml, "x.xml");
  } catch (const Error& e) {
    return e.what();
  }
  return "accepted";
}

TEST(LineDescriptionStrict, WhatTheFormatDoesNotHaveIsAnError) {
  struct Case {
    const char* xml;
    const char* message;  // part of the message
  };
  const Case cases[] = {
      {"<daliline nme='x'/>", "neznámy atribút \"nme\""},
      {"<daliline name='a' name='b'/>", "atribút \"name\" je dvakrát"},
      {"<daliline><gear short='1' short='70'/></daliline>", "atribút \"short\" je dvakrát"},
      {"<daliline><device kind='129' kind='131'/></daliline>", "atribút \"kind\" je dvakrát"},
      {"<daliline><device><memory offset='7' offset='8'>00</memory></device></daliline>",
       "atribút \"offset\" je dvakrát"},
      {"<daliline><gear><scene/></gear></daliline>", "neznámy prvok <scene>"},
      {"<daliline><gear>254</gear></daliline>", "text \"254\""},
      {"<daliline><gear><![CDATA[1]]></gear></daliline>", "text \"1\""},
      {"<daliline><device>x<memory offset='7'>00</memory></device></daliline>", "text \"x\""},
      {"<daliline>free text<gear/></daliline>", "text \"free text\""},
      {"<daliline><device><memory offset='7'>00<b/>01</memory></device></daliline>",
       "neznámy prvok <b>"},
      {"<daliline/><daliline/>", "druhý koreňový prvok <daliline>"},
      {"<daliline/><gear/>", "druhý koreňový prvok <gear>"},
  };
  for (const Case& c : cases) {
    const std::string message = MessageOf(c.xml);
    EXPECT_NE(message.find(c.message), std::string::npos) << c.xml << " -> " << message;
    EXPECT_NE(message.find("x.xml"), std::string::npos) << message;
  }
}

TEST(LineDescriptionStrict, ErrorsNameTheLineOfTheElement) {
  const std::string message =
      MessageOf("<daliline>\n  <gear/>\n  <gear\n    short='99'/>\n</daliline>");
  EXPECT_NE(message.find("svietidlo č. 2 (riadok 3)"), std::string::npos) << message;
}

TEST(LineDescriptionStrict, CommentsInsideMemoryBytesSeparateThem) {
  const LineDescription line = ParseLineDescription(
      "<daliline><device><memory offset='7'>0B<!-- x -->05 F0<![CDATA[ 1A]]>\n2B</memory>"
      "</device></daliline>",
      "x.xml");
  ASSERT_EQ(line.devices.size(), 1u);
  ASSERT_EQ(line.devices[0].memory.size(), 1u);
  EXPECT_EQ(line.devices[0].memory[0].bytes, (std::vector<uint8_t>{0x0B, 0x05, 0xF0, 0x1A, 0x2B}));
}

TEST(LineDescriptionStrict, XmlErrorsAreSlovakWithLineAndColumn) {
  struct Case {
    const char* xml;
    const char* message;
  };
  const Case cases[] = {
      {"", "nie je platné XML: chýba koreňový prvok"},
      {"<daliline>\n  <gear short='1'>\n",
       "nie je platné XML: riadok 2, stĺpec 19: text skončil pred koncovou značkou"},
      {"<daliline>\n <gear short=1/>\n</daliline>",
       "riadok 2, stĺpec 14: chybný atribút (Error parsing element attribute)"},
      {"<daliline>\n  </gear>", "riadok 2, stĺpec 5: koncová značka nepatrí k otvorenému prvku"},
      {"<daliline>\n<!-- x </daliline>", "riadok 2, stĺpec 18: chybný komentár"},
  };
  for (const Case& c : cases) {
    const std::string message = MessageOf(c.xml);
    EXPECT_NE(message.find(c.message), std::string::npos) << c.xml << " -> " << message;
  }
}

class LineDescriptionFiles : public test::TempFolder {
 protected:
  static std::string LoadMessage(const std::string& path) {
    // A load that blocks would hang the test, so it runs apart and is given a few seconds.
    auto result = std::async(std::launch::async, [path] {
      try {
        LoadLineDescription(path);
      } catch (const Error& e) {
        return std::string(e.what());
      }
      return std::string("accepted");
    });
    if (result.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
      ADD_FAILURE() << path << " blocks";
      std::abort();  // the blocked thread cannot be joined
    }
    return result.get();
  }
};

TEST_F(LineDescriptionFiles, OnlyRegularFilesAreRead) {
  ASSERT_EQ(::mkfifo(Path("fifo.xml").c_str(), 0600), 0);
  fs::create_directory(Path("folder.xml"));
  fs::create_symlink("/dev/zero", Path("zero.xml"));
  const std::pair<std::string, std::string> cases[] = {
      {Path("folder.xml"), "je priečinok, nie súbor"},
      {Path("fifo.xml"), "nie je obyčajný súbor"},
      {"/dev/zero", "nie je obyčajný súbor"},
      {Path("zero.xml"), "nie je obyčajný súbor"},
      {Path("missing.xml"), "sa nedá otvoriť (súbor alebo priečinok neexistuje)"},
  };
  for (const auto& [path, reason] : cases) {
    const std::string message = LoadMessage(path);
    EXPECT_NE(message.find("Popis linky " + path + " " + reason), std::string::npos)
        << path << " -> " << message;
  }
}

TEST_F(LineDescriptionFiles, AHugeFileIsRefusedBeforeItIsRead) {
  const std::string path = Path("huge.xml");
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, off_t{3} << 30), 0);  // sparse: costs no disk
  ::close(fd);
  const std::string message = LoadMessage(path);
  EXPECT_NE(message.find("je väčší ako 16 MiB"), std::string::npos) << message;
}

}  // namespace
}  // namespace lumetra::sim
