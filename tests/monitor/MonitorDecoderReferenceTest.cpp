// Every code of every record kind and address class against the lines recorded in
// reference/decoder-lines.txt: a change to the decoder's tables must leave every line as it was.
// LUMETRA_WRITE_REFERENCE=1 records the lines anew (then review the diff before committing it).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "monitor/MonitorDecoder.h"

namespace lumetra {
namespace {

// A walk over one byte of a record, the other bytes fixed.
struct Walk {
  const char* what;
  MonitorRecord (*record)(uint8_t code);
};

const Walk kWalks[] = {
    {"gear opcode to a short address",
     [](uint8_t c) {
       return MonitorRecord{0x63, 0, 0x01, c, 0};
     }},
    {"gear opcode to a group",
     [](uint8_t c) {
       return MonitorRecord{0x63, 0, 0x87, c, 0};
     }},
    {"gear opcode to all",
     [](uint8_t c) {
       return MonitorRecord{0x63, 0, 0xFF, c, 0};
     }},
    // 0x0F is 2 * 7 + 1: PROGRAM and VERIFY SHORT ADDRESS show 7, every other command 15.
    {"gear address byte",
     [](uint8_t a) {
       return MonitorRecord{0x63, 0, a, 0x0F, 0};
     }},
    {"special command parameter",
     [](uint8_t c) {
       return MonitorRecord{0x63, 0, 0xB7, c, 0};
     }},
    {"device opcode",
     [](uint8_t o) {
       return MonitorRecord{0x64, 0x05, o, 0x21, 0};
     }},
    {"device data-less command",
     [](uint8_t v) {
       return MonitorRecord{0x64, 0x05, 0, v, 0};
     }},
    {"device address byte",
     [](uint8_t d) {
       return MonitorRecord{0x64, d, 0x03, 0x07, 0};
     }},
    {"answer",
     [](uint8_t v) {
       return MonitorRecord{0x62, 0, 0, v, 0};
     }},
    {"bus error",
     [](uint8_t e) {
       return MonitorRecord{0x67, 0, 0, e, 0};
     }},
};

// Tabs written out, so that the file shows the columns in a diff.
std::string Visible(const std::string& line) {
  std::string out;
  for (char ch : line) {
    if (ch == '\t') {
      out += "\\t";
    } else {
      out += ch;
    }
  }
  return out;
}

std::vector<std::string> DecodedLines() {
  std::vector<std::string> lines;
  std::string line;
  for (const Walk& walk : kWalks) {
    for (int code = 0; code < 256; ++code) {
      const MonitorRecord r = walk.record(static_cast<uint8_t>(code));
      bool skip = false;
      char bytes[20];
      std::snprintf(bytes, sizeof bytes, "%02X %02X %02X %02X %02X", r[0], r[1], r[2], r[3], r[4]);
      const bool shown = DecodeRecordInto(line, r, MonitorFilter(), skip, ArrivalTime{9, 5, 7});
      lines.push_back(std::string(bytes) + " " + (shown ? Visible(line) : "(nothing)"));
    }
  }
  return lines;
}

TEST(MonitorDecoderReference, EveryCodeMakesTheRecordedLine) {
  const std::vector<std::string> decoded = DecodedLines();
  const std::string path = std::string(LUMETRA_REFERENCE_DIR) + "/decoder-lines.txt";
  if (std::getenv("LUMETRA_WRITE_REFERENCE") != nullptr) {
    std::ofstream out(path);
    for (const std::string& line : decoded) out << line << '\n';
    ASSERT_TRUE(out.good()) << path;
    return;
  }
  std::ifstream in(path);
  std::vector<std::string> expected;
  for (std::string line; std::getline(in, line);) expected.push_back(line);
  ASSERT_EQ(decoded.size(), expected.size()) << "lines decoded vs recorded in " << path;
  for (size_t i = 0; i < decoded.size(); ++i) {
    EXPECT_EQ(decoded[i], expected[i]) << kWalks[i / 256].what << ", code " << i % 256;
  }
}

}  // namespace
}  // namespace lumetra
