// The report names of the messages: one 24-character column whatever the letters.
#include "model/MessageNames.h"

#include <gtest/gtest.h>

#include <string>

#include "model/Utf.h"

namespace lumetra {
namespace {

TEST(MessageNamesTest, EveryNameFillsOneColumn) {
  const char* expected[] = {
      "                        ", "Tl. 1 stlačené / zapnuté", "Tl. 1 dlho stlačené     ",
      "Tl. 1 pustené / vypnuté ", "Tl. 2 stlačené / zapnuté", "Tl. 2 dlho stlačené     ",
      "Tl. 2 pustené / vypnuté ", "PIR alarm               ", "PIR kľud                ",
      "PIR stmievanie 1        ", "PIR stmievanie 2        ", "Úroveň svetla           ",
  };
  for (uint32_t i = 0; i < 12; ++i) {
    const std::string name(MessageNames(i));
    EXPECT_EQ(name, expected[i]) << "index " << i;
    EXPECT_EQ(Utf8Length(name), 24u) << "index " << i;
  }
}

TEST(MessageNamesTest, AnIndexOutsideTheTablePrintsEmpty) {
  for (uint32_t index : {12u, 0xFFu}) EXPECT_EQ(MessageNames(index), MessageNames(0));
}

}  // namespace
}  // namespace lumetra
