// A monitor line read back into its record (RecordOfLine): every line of the decoder's reference
// comes back as a record that decodes to the very same line, and what the decoder never makes is
// refused.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "monitor/MonitorDecoder.h"

namespace lumetra {
namespace {

TEST(MonitorLineRecord, EveryReferenceLineComesBackAsItsRecord) {
  std::ifstream in(LUMETRA_REFERENCE_DIR "/decoder-lines.txt");
  ASSERT_TRUE(in) << "reference/decoder-lines.txt";
  std::string entry;
  size_t lines = 0;
  while (std::getline(in, entry)) {
    // "63 00 01 05 00 " and the decoded line, its tabs written as \t.
    ASSERT_GT(entry.size(), 15u);
    std::string line;
    for (size_t i = 15; i < entry.size(); ++i) {
      if (entry[i] == '\\' && i + 1 < entry.size() && entry[i + 1] == 't') {
        line += '\t';
        ++i;
      } else {
        line += entry[i];
      }
    }
    const uint8_t kind = static_cast<uint8_t>(std::stoi(entry.substr(0, 2), nullptr, 16) & 7);
    const std::optional<TracedRecord> traced = RecordOfLine(line);
    ASSERT_TRUE(traced) << entry;
    EXPECT_EQ(traced->record[0], kind == kRecordAnswerAlt ? kRecordAnswer : kind) << entry;
    const DecodedRecord again = DecodeRecord(traced->record, MonitorFilter{}, false, traced->time);
    ASSERT_TRUE(again.line) << entry;
    EXPECT_EQ(*again.line, line) << entry;
    ++lines;
  }
  EXPECT_GT(lines, 1000u);
}

TEST(MonitorLineRecord, LinesTheDecoderNeverMakesAreRefused) {
  const std::string good = "\t0105\t\t\tA 00\tRECALL MAX LEVEL\t\t\t5\t09:05:07";
  ASSERT_TRUE(RecordOfLine(good));
  const struct {
    const char* what;
    std::string line;
  } cases[] = {
      {"empty", ""},
      {"no leading tab", good.substr(1)},
      {"lower-case hex", "\t01a5\t\t\tA 00\tRESERVED\t\t165\t09:05:07"},
      {"odd hex length", "\t010\t\t\tA 00\tOFF\t\t\t0\t09:05:07"},
      {"a name that does not belong to the code", "\t0105\t\t\tA 00\tRECALL MIN LEVEL\t\t\t5\t09:05:07"},
      {"another address", "\t0105\t\t\tA 01\tRECALL MAX LEVEL\t\t\t5\t09:05:07"},
      {"no time", "\t0105\t\t\tA 00\tRECALL MAX LEVEL\t\t\t5"},
      {"time out of range", "\t0105\t\t\tA 00\tRECALL MAX LEVEL\t\t\t5\t09:65:07"},
      {"trailing text", good + " "},
      {"CR left on the line", good + "\r"},
      {"text", "Toto nie je riadok monitora, aj keď je dosť dlhý"},
  };
  for (const auto& c : cases) EXPECT_FALSE(RecordOfLine(c.line)) << c.what;
}

}  // namespace
}  // namespace lumetra
