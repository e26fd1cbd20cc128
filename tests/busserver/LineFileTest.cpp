// The bus server and the file given to --line: the line's name in the start line, and what a
// broken or unusual file tells the user.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ServerProcess.h"
#include "busserver/Options.h"
#include "support/TempFolder.h"

namespace lumetra::test {
namespace {

namespace fs = std::filesystem;

TEST(PrintableText, ControlCharactersAndBrokenUtf8AreEscaped) {
  const std::pair<std::string, std::string> cases[] = {
      {"Hala 2 – Ukážková inštalácia", "Hala 2 – Ukážková inštalácia"},
      {"a\nb\r\tc", "a\\nb\\r\\tc"},
      {"\x1B[2J\x07\x7F", "\\x1B[2J\\x07\\x7F"},
      {"back\\slash", "back\\\\slash"},
      {"\xC2\x9B"
       "31m",
       "\\xC2\\x9B31m"},                         // C1 control (CSI)
      {"\xC3\x28", "\\xC3("},                    // a lead byte without its continuation
      {"\xC0\xAF", "\\xC0\\xAF"},                // overlong '/'
      {"\xED\xA0\x80", "\\xED\\xA0\\x80"},       // a surrogate
      {"\xF0\x9F\x92\xA1", "\xF0\x9F\x92\xA1"},  // a character outside the BMP stays
      {std::string("a\0b", 3), "a\\x00b"},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(busserver::PrintableText(text), expected) << text;
  }
}

class LineFile : public test::TempFolder {
 protected:
  std::string Write(const std::string& name, const std::string& text) const {
    return WriteFile(name, text);
  }
};

TEST_F(LineFile, ANameCannotWriteLogLinesOfItsOwn) {
  const std::string path =
      Write("line.xml",
            "<daliline name='Hala&#10;Brána: klient odpojený&#13;\x1B[31mčervená'><gear short='1'/>"
            "</daliline>");
  auto server = ServerProcess::StartListening({"--line", path});
  server->Signal(SIGTERM);
  ASSERT_EQ(server->Wait(), 0);
  const std::string out = server->Output();
  EXPECT_NE(out.find("linka \"Hala\\nBrána: klient odpojený\\r\\x1B[31mčervená\" (1 svietidiel"),
            std::string::npos)
      << out;
  EXPECT_EQ(out.find('\x1B'), std::string::npos) << out;
  EXPECT_EQ(out.find('\r'), std::string::npos) << out;
  EXPECT_EQ(out.find("\nBrána"), std::string::npos) << out;
}

TEST_F(LineFile, UnusableFilesAreReportedInSlovak) {
  const std::string fifo = (dir / "fifo.xml").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::pair<std::string, std::string> cases[] = {
      {dir.string(), "je priečinok, nie súbor"},
      {"/dev/zero", "nie je obyčajný súbor"},
      {fifo, "nie je obyčajný súbor"},
      {Write("bad.xml", "<daliline>\n  <gear short=1/>\n</daliline>\n"),
       "nie je platné XML: riadok 2, stĺpec 15: chybný atribút (Error parsing element attribute)"},
      {Write("twice.xml", "<daliline>\n  <gear short='1' short='70'/>\n</daliline>\n"),
       "svietidlo č. 1 (riadok 2): atribút \"short\" je dvakrát"},
  };
  for (const auto& [path, message] : cases) {
    ServerProcess server(
        {"--line", path, "--port-base", std::to_string(ServerProcess::FreeBase())});
    EXPECT_EQ(server.Wait(std::chrono::seconds(5)), 1) << path;
    EXPECT_NE(server.Errors().find("LumetraDaliBusServer: Popis linky " + path), std::string::npos)
        << server.Errors();
    EXPECT_NE(server.Errors().find(message), std::string::npos) << server.Errors();
  }
}

}  // namespace
}  // namespace lumetra::test
